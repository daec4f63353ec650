#include "heartrate/fontecardiaca.h"

TFonteCardiaca::TFonteCardiaca(std::shared_ptr<TRelogio> relogio, QObject *parent)
    : QObject(parent), FRelogioSessao(std::move(relogio))
{
    qRegisterMetaType<TLeituraCardiaca>();
}

TFonteCardiaca::~TFonteCardiaca() = default;

void TFonteCardiaca::AncorarTeste(qint64 tempoSessaoMs, double escala)
{
    FRelogioSessao.AjustarEscala(escala);
    FRelogioSessao.Ancorar(tempoSessaoMs);
}
