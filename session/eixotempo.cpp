#include "session/eixotempo.h"

#include <QCoreApplication>
#include <algorithm>

#include "chart/axis.h"

namespace {

constexpr double kPassosMinutos[] = {1, 2, 3, 6, 9, 12, 18, 24, 36, 48};

}  // namespace

void TEixoTempo::Preparar(TAxis &eixo, qint64 duracaoPrevistaMs)
{
    eixo.SetNumberOfDivisions(kDivisoes);
    eixo.SetNumberOfDecimals(0);
    eixo.SetAxisLabel(QCoreApplication::translate("TEixoTempo", "Tempo (min)"));
    eixo.SetOriginValue(0);
    eixo.SetScalePerDivision(kPassosMinutos[0]);
    Estender(eixo, duracaoPrevistaMs / 60000.0);
}

double TEixoTempo::Minutos(const TAxis &eixo)
{
    return eixo.ScalePerDivision() * kDivisoes;
}

bool TEixoTempo::Estender(TAxis &eixo, double minutos)
{
    if (minutos <= Minutos(eixo))
        return false;
    double passo = kPassosMinutos[std::size(kPassosMinutos) - 1];
    for (double p : kPassosMinutos)
        if (p * kDivisoes >= minutos) {
            passo = p;
            break;
        }
    while (passo * kDivisoes < minutos)
        passo *= 2;
    eixo.SetScalePerDivision(passo);
    return true;
}

qint64 TEixoTempo::Fim(const QList<TAmostraRegistro> &amostras,
                       const QList<TEventoRegistro> &eventos)
{
    qint64 fim = amostras.isEmpty() ? 0 : amostras.last().tempoMs;
    for (const TEventoRegistro &e : eventos)
        fim = std::max(fim, e.tempoMs);
    return fim;
}

void TEixoTempo::Percorrer(const QList<TAmostraRegistro> &amostras,
                           const QList<TEventoRegistro> &eventos,
                           const std::function<void(const TAmostraRegistro &)> &amostra,
                           const std::function<void(const TEventoRegistro &)> &evento)
{
    qsizetype a = 0, e = 0;
    while (a < amostras.size() || e < eventos.size()) {
        if (e < eventos.size() &&
            (a == amostras.size() || eventos.at(e).tempoMs < amostras.at(a).tempoMs))
            evento(eventos.at(e++));
        else
            amostra(amostras.at(a++));
    }
}
