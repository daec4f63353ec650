#include "protocol/previaprotocolo.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

#include "protocol/planoexecucao.h"

bool TPreviaProtocolo::TPonto::Limitado() const
{
    return std::abs(velocidade - velocidadeProtocolo) > 1e-9 ||
           std::abs(inclinacao - inclinacaoProtocolo) > 1e-9;
}

TPreviaProtocolo::TPreviaProtocolo(const TProtocolo &protocolo, const TFuncaoMets &mets,
                                   double velocidadeMaxima, double inclinacaoMaxima,
                                   const TUnidadeVelocidade &unidade)
{
    const TPlanoExecucao plano(protocolo);
    FDuracaoMs = plano.DuracaoMs();
    FLimitacoes = TFaixaEsteira::Limitacoes(protocolo, unidade);
    auto metsDe = [&](double v, double i) { return mets ? mets(v, i) : 0.0; };
    auto enviado = [&](const TPlanoExecucao::TAlvo &alvo, qint64 t, int etapa) {
        TPonto p;
        p.tempoMs = t;
        p.etapa = etapa;
        p.velocidadeProtocolo = alvo.velocidade;
        p.inclinacaoProtocolo = alvo.inclinacao;
        p.velocidade = TFaixaEsteira::VelocidadeEnviada(alvo.velocidade, velocidadeMaxima);
        p.inclinacao = TFaixaEsteira::InclinacaoEnviada(alvo.inclinacao, inclinacaoMaxima);
        p.mets = metsDe(p.velocidade, p.inclinacao);
        return p;
    };

    // The runner's rule (TMaquinaExecucao::AtualizarEtapa): a target goes out when the step
    // changes or the plan's target changes, at the plan's next change after the last one.
    std::optional<qint64> t = FDuracaoMs > 0 ? std::optional<qint64>(0) : std::nullopt;
    int indice = -1;
    TPlanoExecucao::TAlvo anterior;
    while (t && *t < FDuracaoMs) {
        const int i = plano.IndiceEm(*t);
        const TPlanoExecucao::TAlvo alvo = plano.AlvoEm(*t);
        if (i != indice || !(alvo == anterior))
            FPontos.append(enviado(alvo, *t, i));
        indice = i;
        anterior = alvo;
        t = plano.ProximaMudanca(*t);
    }

    for (int i = 0; i < plano.Etapas().size(); ++i) {
        const TEtapaProtocolo &e = plano.Etapas()[i];
        TEtapa etapa;
        etapa.etapa = e;
        const TPonto inicio = enviado(plano.AlvoEm(e.inicioMs), e.inicioMs, i);
        // The value it holds in its last millisecond: the end value of a ramp.
        const TPonto fim = enviado(plano.AlvoEm(e.FimMs() - 1), e.FimMs() - 1, i);
        etapa.velocidadeInicial = inicio.velocidade;
        etapa.inclinacaoInicial = inicio.inclinacao;
        etapa.velocidadeFinal = fim.velocidade;
        etapa.inclinacaoFinal = fim.inclinacao;
        etapa.metsInicial = inicio.mets;
        etapa.metsFinal = fim.mets;
        etapa.limitacoes = TFaixaEsteira::LimitacoesDoPasso(
            e.passo, QCoreApplication::translate("TPreviaProtocolo", "Estágio %1").arg(e.estagio),
            unidade);
        FEtapas.append(etapa);
    }
    for (const TPonto &p : std::as_const(FPontos)) {
        FVelocidadePico = std::max(FVelocidadePico, p.velocidade);
        FInclinacaoPico = std::max(FInclinacaoPico, p.inclinacao);
        FMetsPico = std::max(FMetsPico, p.mets);
    }
}

TPreviaProtocolo::TPonto TPreviaProtocolo::PontoEm(qint64 tMs) const
{
    TPonto ponto;
    for (const TPonto &p : FPontos) {
        if (p.tempoMs > tMs)
            break;
        ponto = p;
    }
    return ponto;
}
