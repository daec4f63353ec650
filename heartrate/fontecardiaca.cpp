#include "heartrate/fontecardiaca.h"

TFonteCardiaca::TFonteCardiaca(std::shared_ptr<TRelogio> relogio, QObject *parent)
    : QObject(parent), FRelogioSessao(std::move(relogio))
{
    qRegisterMetaType<TLeituraCardiaca>();
}

TFonteCardiaca::~TFonteCardiaca() = default;
