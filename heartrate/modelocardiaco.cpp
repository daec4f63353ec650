#include "heartrate/modelocardiaco.h"

#include <algorithm>
#include <cmath>

#include "clinical/equacoesmetabolicas.h"

TModeloCardiaco::TModeloCardiaco(const TParametros &parametros) : FParametros(parametros) {}

double TModeloCardiaco::Vo2(double velocidadeKmh, double inclinacaoPct) const
{
    // The walking/running switch is the model's own parameter, ACSM's 8 km/h by default.
    return velocidadeKmh >= FParametros.velocidadeCorridaKmh
               ? TEquacoesMetabolicas::Vo2Corrida(velocidadeKmh, inclinacaoPct)
               : TEquacoesMetabolicas::Vo2Caminhada(velocidadeKmh, inclinacaoPct);
}

double TModeloCardiaco::FcEstavel(double velocidadeKmh, double inclinacaoPct) const
{
    const double mets = Vo2(velocidadeKmh, inclinacaoPct) / TEquacoesMetabolicas::kVo2PorMet;
    return std::min(FParametros.fcRepouso + FParametros.bpmPorMet * (mets - 1),
                    FParametros.fcMaxima);
}

double TModeloCardiaco::Avancar(double fc, double velocidadeKmh, double inclinacaoPct,
                                double dtS) const
{
    if (dtS <= 0)
        return fc;
    const double alvo = FcEstavel(velocidadeKmh, inclinacaoPct);
    const double tau = alvo > fc ? FParametros.tauSubidaS : FParametros.tauDescidaS;
    return alvo + (fc - alvo) * std::exp(-dtS / tau);
}
