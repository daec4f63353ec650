#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "chart/chartsymbol.h"
#include "kestrova_session_export.h"
#include "session/graficosessao.h"
#include "session/registrossessao.h"

class TvtxGraph;

// Draws a session's heart rate on a TvtxGraph of its own, meant to sit under the belt chart
// (TGraficoSessao) and sharing its time axis (TEixoTempo): the rate measured each second as a
// curve on the left axis (bpm), broken wherever a second has none (never a line across a gap);
// the operator's heart-rate entries as circles at their bpm; blood-pressure entries on the right
// axis (mmHg) as a thin vertical bar from the diastolic (open triangle up) to the systolic
// (filled triangle down), the way an anaesthesia chart marks them; stage boundaries as grey
// vertical lines. The bpm axis spans 40-200 and grows, never shrinks, to hold every rate drawn.
//
// A 1 Hz update draws the new second's segment only: one line command while nothing else was
// drawn since the last one. The axes changing (a longer test, a rate off the scale) replays the
// chart's store.
class KESTROVA_SESSION_EXPORT TGraficoCardiaco {
public:
    using TLinha = TGraficoSessao::TLinha;
    // A symbol as it is drawn, named for a legend.
    struct TSimbolo {
        QString nome;
        TChartSymbol simbolo;
    };
    // The measured rate.
    static QList<TLinha> Linhas();
    // The heart-rate entries, the systolic pressure, the diastolic pressure.
    static QList<TSimbolo> Simbolos();
    // Whether a record holds anything this chart draws: a measured rate, a heart-rate or a
    // blood-pressure entry.
    static bool TemDados(const QList<TAmostraRegistro> &amostras,
                         const QList<TEventoRegistro> &eventos);

    // The target heart rate's line.
    static TLinha LinhaAlvo();

    explicit TGraficoCardiaco(TvtxGraph &grafico);
    // From the next sample on, a dashed line at the target heart rate (none: no line). Kept
    // across Preparar.
    void AjustarAlvo(std::optional<double> bpm);
    // Axes and captions, an empty store, the X axis sized for `duracaoPrevistaMs`.
    void Preparar(qint64 duracaoPrevistaMs = 0);
    void Amostra(const TAmostraRegistro &amostra);
    void Evento(const TEventoRegistro &evento);
    // A recorded session, samples and events in time order, the bpm axis sized for it first.
    void Redesenhar(const QList<TAmostraRegistro> &amostras, const QList<TEventoRegistro> &eventos);
    double MinutosNoEixo() const;

private:
    void Estender(qint64 tempoMs);
    // Widens the bpm axis to hold `bpm`.
    void Abranger(double bpm);
    void Simbolo(const TChartSymbol &simbolo, double minutos, double valor);
    void Vertical(double minutos, double de, double ate, TColor cor);

    TvtxGraph &FGrafico;
    // The last measured point, while the curve runs (no gap since).
    // The rates the bpm axis holds.
    double FFcMinima = 0, FFcMaxima = 0;
    bool FbTemPonto = false;
    qint64 FPontoMs = 0;
    int FPontoFc = 0;
    // The chart's pen is set for the curve and stands at the last point: the next second is a
    // single line command.
    bool FbCaneta = false;
    std::optional<double> FAlvo;
    std::optional<qint64> FAlvoDesdeMs;  // where the target's line has reached
};
