#include "clinical/equacoesmetabolicas.h"

#include <algorithm>

namespace {

double MetrosPorMinuto(double velocidadeKmh)
{
    return std::max(velocidadeKmh, 0.0) * 1000.0 / 60.0;
}

double Fracao(double inclinacaoPct)
{
    return std::max(inclinacaoPct, 0.0) / 100.0;
}

}  // namespace

double TEquacoesMetabolicas::Vo2Caminhada(double velocidadeKmh, double inclinacaoPct)
{
    const double s = MetrosPorMinuto(velocidadeKmh);
    return kVo2PorMet + 0.1 * s + 1.8 * s * Fracao(inclinacaoPct);
}

double TEquacoesMetabolicas::Vo2Corrida(double velocidadeKmh, double inclinacaoPct)
{
    const double s = MetrosPorMinuto(velocidadeKmh);
    return kVo2PorMet + 0.2 * s + 0.9 * s * Fracao(inclinacaoPct);
}

double TEquacoesMetabolicas::Vo2(double velocidadeKmh, double inclinacaoPct)
{
    return velocidadeKmh >= kVelocidadeCorridaKmh ? Vo2Corrida(velocidadeKmh, inclinacaoPct)
                                                  : Vo2Caminhada(velocidadeKmh, inclinacaoPct);
}

double TEquacoesMetabolicas::Mets(double velocidadeKmh, double inclinacaoPct)
{
    return Vo2(velocidadeKmh, inclinacaoPct) / kVo2PorMet;
}
