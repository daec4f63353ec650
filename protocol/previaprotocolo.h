#pragma once

#include <QList>
#include <QStringList>
#include <functional>

#include "kestrova_protocol_export.h"
#include "protocol/faixaesteira.h"
#include "protocol/protocolo.h"

// What the board will receive when a protocol runs, for showing before it runs: every target
// at the protocol time the runner sends it, walked on the runner's own plan (TPlanoExecucao)
// and fitted with its own functions (TFaixaEsteira::VelocidadeEnviada/InclinacaoEnviada), so
// it is the run's targets, not a second computation of them. Nothing here talks to a board.
class KESTROVA_PROTOCOL_EXPORT TPreviaProtocolo {
public:
    // METs of a speed (km/h) and grade (%); the console passes the clinical library's
    // equations (TEquacoesMetabolicas::Mets). Without one the METs read 0.
    using TFuncaoMets = std::function<double(double velocidadeKmh, double inclinacaoPct)>;

    // One target: the protocol time it goes out, what the board receives and the plan's value
    // before fitting to the board and the limits.
    struct TPonto {
        qint64 tempoMs = 0;
        double velocidade = 0, inclinacao = 0;
        double velocidadeProtocolo = 0, inclinacaoProtocolo = 0;
        int etapa = 0;  // index in Etapas()
        double mets = 0;
        bool Limitado() const;
    };
    // One step on the time line with the METs of what the board receives at its start and end,
    // and the board's clamping of its values (TFaixaEsteira::LimitacoesDoPasso).
    struct TEtapa {
        TEtapaProtocolo etapa;
        double velocidadeInicial = 0, inclinacaoInicial = 0;  // as sent
        double velocidadeFinal = 0, inclinacaoFinal = 0;
        double metsInicial = 0, metsFinal = 0;
        QStringList limitacoes;
    };

    TPreviaProtocolo() = default;
    // The limits are the test's maximum speed and grade (the runner's AjustarLimites); the
    // clamping lines say speeds in `unidade`.
    explicit TPreviaProtocolo(const TProtocolo &protocolo, const TFuncaoMets &mets = {},
                              double velocidadeMaxima = TFaixaEsteira::kVelocidadeMaxima,
                              double inclinacaoMaxima = TFaixaEsteira::kInclinacaoMaxima,
                              const TUnidadeVelocidade &unidade = TUnidadeVelocidade());

    const QList<TPonto> &Pontos() const { return FPontos; }
    const QList<TEtapa> &Etapas() const { return FEtapas; }
    qint64 DuracaoMs() const { return FDuracaoMs; }  // the stop goes out then
    double VelocidadePico() const { return FVelocidadePico; }
    double InclinacaoPico() const { return FInclinacaoPico; }
    double MetsPico() const { return FMetsPico; }
    // Every clamp the board's range imposes (TFaixaEsteira::Limitacoes' lines).
    const QStringList &Limitacoes() const { return FLimitacoes; }
    // The target the board holds at protocol time t (the last point at or before t).
    TPonto PontoEm(qint64 tMs) const;

private:
    QList<TPonto> FPontos;
    QList<TEtapa> FEtapas;
    QStringList FLimitacoes;
    qint64 FDuracaoMs = 0;
    double FVelocidadePico = 0, FInclinacaoPico = 0, FMetsPico = 0;
};
