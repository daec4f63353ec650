#pragma once

#include "kestrova_session_export.h"
#include "session/registrossessao.h"

class TvtxGraph;

// Draws a session on a TvtxGraph: target speed (red, left axis, km/h) and grade (blue, right axis,
// %) against time in minutes, as steps at the moments the targets were sent, stage boundaries as
// grey vertical lines, heart-rate entries as symbols on the left axis at a tenth of their value.
// The X axis grows in steps (10, 20, 30, 60, 90, 120, 180... minutes) as the test goes on, so a 1
// Hz update normally draws two segments.
class KESTROVA_SESSION_EXPORT TGraficoSessao {
public:
    static constexpr int kDivisoesX = 10;

    explicit TGraficoSessao(TvtxGraph &grafico);
    // Axes and captions, an empty store, the X axis sized for `duracaoPrevistaMs`.
    void Preparar(qint64 duracaoPrevistaMs = 0);
    void Amostra(const TAmostraRegistro &amostra);
    void Evento(const TEventoRegistro &evento);
    // A recorded session, samples and events in time order.
    void Redesenhar(const QList<TAmostraRegistro> &amostras, const QList<TEventoRegistro> &eventos);
    double MinutosNoEixo() const;

private:
    void Estender(double minutos);
    void Avancar(qint64 tempoMs, double velocidade, double inclinacao);
    void Segmento(double t0, double v0, double t1, double v1, bool segundoEixo, unsigned cor);

    TvtxGraph &FGrafico;
    bool FbTemAnterior = false;
    TAmostraRegistro FAnterior;
};
