#include "protocol/planoexecucao.h"

#include <algorithm>
#include <cmath>

#include "protocol/faixaesteira.h"

namespace {

double Quantizar(double valor, double quantum)
{
    return std::round(valor / quantum) * quantum;
}

// Slices of a ramp from inicio to fim in quanta (0 for a flat ramp).
qint64 Fatias(double inicio, double fim, double quantum)
{
    return std::llround(std::abs(Quantizar(fim, quantum) - Quantizar(inicio, quantum)) / quantum);
}

// First time within a ramp after t at which a value moving n quanta changes (n + 1 slices).
qint64 ProximaFatia(qint64 n, qint64 tMs, qint64 duracaoMs)
{
    if (n == 0)
        return duracaoMs;
    const qint64 k = (n + 1) * tMs / duracaoMs + 1;  // the next slice
    return std::min(duracaoMs, (k * duracaoMs + n) / (n + 1));
}

}  // namespace

TPlanoExecucao::TPlanoExecucao(const TProtocolo &protocolo)
{
    for (const TEtapaProtocolo &etapa : protocolo.Etapas())
        if (etapa.passo.duracaoMs > 0)
            FEtapas.append(etapa);
}

qint64 TPlanoExecucao::DuracaoMs() const
{
    return FEtapas.isEmpty() ? 0 : FEtapas.last().FimMs();
}

int TPlanoExecucao::IndiceEm(qint64 tMs) const
{
    if (FEtapas.isEmpty() || tMs < 0)
        return -1;
    for (int i = 0; i < FEtapas.size(); ++i)
        if (tMs < FEtapas[i].FimMs())
            return i;
    return int(FEtapas.size()) - 1;
}

int TPlanoExecucao::PrimeiroDaFase(TFase fase) const
{
    for (int i = 0; i < FEtapas.size(); ++i)
        if (FEtapas[i].fase == fase)
            return i;
    return -1;
}

TPlanoExecucao::TAlvo TPlanoExecucao::AlvoEm(qint64 tMs) const
{
    const int i = IndiceEm(tMs);
    if (i < 0)
        return {};
    const TEtapaProtocolo &etapa = FEtapas[i];
    const qint64 dentro = std::clamp<qint64>(tMs - etapa.inicioMs, 0, etapa.passo.duracaoMs);
    const TPasso &p = etapa.passo;
    return {ValorRampa(p.velocidadeInicial, p.velocidadeFinal, TFaixaEsteira::kPassoVelocidade,
                       dentro, p.duracaoMs),
            ValorRampa(p.inclinacaoInicial, p.inclinacaoFinal, TFaixaEsteira::kPassoInclinacao,
                       dentro, p.duracaoMs)};
}

std::optional<qint64> TPlanoExecucao::ProximaMudanca(qint64 tMs) const
{
    if (tMs >= DuracaoMs())
        return std::nullopt;
    if (tMs < 0)
        return 0;
    const TEtapaProtocolo &etapa = FEtapas[IndiceEm(tMs)];
    const TPasso &p = etapa.passo;
    const qint64 dentro = tMs - etapa.inicioMs;
    qint64 proxima = p.duracaoMs;
    if (p.tipo == TPasso::TTipo::Rampa) {
        const qint64 nv =
            Fatias(p.velocidadeInicial, p.velocidadeFinal, TFaixaEsteira::kPassoVelocidade);
        const qint64 ni =
            Fatias(p.inclinacaoInicial, p.inclinacaoFinal, TFaixaEsteira::kPassoInclinacao);
        proxima =
            std::min(ProximaFatia(nv, dentro, p.duracaoMs), ProximaFatia(ni, dentro, p.duracaoMs));
    }
    return etapa.inicioMs + proxima;
}

double TPlanoExecucao::ValorRampa(double inicio, double fim, double quantum, qint64 tMs,
                                  qint64 duracaoMs)
{
    const double de = Quantizar(inicio, quantum);
    const qint64 n = Fatias(inicio, fim, quantum);
    if (n == 0 || duracaoMs <= 0)
        return de;
    const qint64 k = std::clamp<qint64>((n + 1) * tMs / duracaoMs, 0, n);
    const double sentido = fim >= inicio ? 1.0 : -1.0;
    return Quantizar(de + sentido * double(k) * quantum, quantum);
}
