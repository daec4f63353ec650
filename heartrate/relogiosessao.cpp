#include "heartrate/relogiosessao.h"

#include <cmath>

TRelogioSessao::TRelogioSessao(std::shared_ptr<TRelogio> relogio)
    : FRelogio(std::move(relogio)), FAncoraRelogio(FRelogio->AgoraMs())
{
}

qint64 TRelogioSessao::AgoraMs() const
{
    return FAncoraSessao +
           qint64(std::floor(double(FRelogio->AgoraMs() - FAncoraRelogio) * FEscala));
}

void TRelogioSessao::Ancorar(qint64 tempoSessaoMs)
{
    FAncoraRelogio = FRelogio->AgoraMs();
    FAncoraSessao = tempoSessaoMs;
}

void TRelogioSessao::AjustarEscala(double escala)
{
    if (!(escala > 0) || !std::isfinite(escala))
        return;
    Ancorar(AgoraMs());
    FEscala = escala;
}

qint64 TRelogioSessao::EsperaAteMs(qint64 tempoSessaoMs) const
{
    const qint64 falta = tempoSessaoMs - AgoraMs();
    return falta <= 0 ? 0 : qint64(std::ceil(double(falta) / FEscala));
}
