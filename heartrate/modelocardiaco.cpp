#include "heartrate/modelocardiaco.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kVo2RepousoPorMet = 3.5;  // ml/kg/min: one MET

}  // namespace

TModeloCardiaco::TModeloCardiaco(const TParametros &parametros) : FParametros(parametros) {}

double TModeloCardiaco::Vo2(double velocidadeKmh, double inclinacaoPct) const
{
    const double s = std::max(velocidadeKmh, 0.0) * 1000.0 / 60.0;  // m/min
    const double g = std::max(inclinacaoPct, 0.0) / 100.0;
    if (velocidadeKmh >= FParametros.velocidadeCorridaKmh)
        return 0.2 * s + 0.9 * s * g + kVo2RepousoPorMet;
    return 0.1 * s + 1.8 * s * g + kVo2RepousoPorMet;
}

double TModeloCardiaco::FcEstavel(double velocidadeKmh, double inclinacaoPct) const
{
    const double mets = Vo2(velocidadeKmh, inclinacaoPct) / kVo2RepousoPorMet;
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
