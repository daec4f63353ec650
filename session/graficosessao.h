#pragma once

#include <QList>
#include <QString>

#include "kestrova_session_export.h"
#include "platform/canvas.h"
#include "platform/color.h"
#include "session/eixotempo.h"
#include "session/registrossessao.h"

class TvtxGraph;

// The unit a chart and a report show speeds in. The record stays in km/h; session/ sits below
// protocol/, so a program passes what its TUnidadeVelocidade says: the symbol, the value of
// 1 km/h in the unit and the decimals that tell the board's 0.1 km/h steps apart.
struct TEscalaVelocidade {
    QString simbolo = QStringLiteral("km/h");
    double porKmh = 1;
    int casas = 1;

    double Valor(double kmh) const { return kmh * porKmh; }
    QString Numero(double kmh) const { return QString::number(Valor(kmh), 'f', casas); }
};

// Draws a session on a TvtxGraph: target speed (red, solid, left axis, in the escala's unit:
// 0-20 km/h, 0-15 mph) and grade (blue, dashed, right axis, %) against time in minutes, as steps
// at the moments the targets were sent, and stage boundaries as grey vertical lines. The heart
// rate has a chart of its own (TGraficoCardiaco) under this one, on the same time axis
// (TEixoTempo): it grows in steps (10, 20, 30, 60, 90, 120, 180... minutes) as the test goes on,
// with every sample and event, so a 1 Hz update normally draws two segments.
//
// The dashes show on paper, where the report's printer pen (wider than one pixel) draws them in
// millimetres; the screen's 2-pixel pens draw solid, as wide pens do, and colour tells them apart.
class KESTROVA_SESSION_EXPORT TGraficoSessao {
public:
    static constexpr int kDivisoesX = TEixoTempo::kDivisoes;

    // A line as it is drawn, named for a legend.
    struct TLinha {
        QString nome;
        TColor cor;
        TCanvas::TPenStyle estilo;
    };
    // Speed, then grade.
    static QList<TLinha> Linhas(const TEscalaVelocidade &escala = {});

    explicit TGraficoSessao(TvtxGraph &grafico, const TEscalaVelocidade &escala = {});
    // Takes effect at the next Preparar or Redesenhar.
    void AjustarEscala(const TEscalaVelocidade &escala) { FEscala = escala; }
    const TEscalaVelocidade &Escala() const { return FEscala; }
    // Axes and captions, an empty store, the X axis sized for `duracaoPrevistaMs`.
    void Preparar(qint64 duracaoPrevistaMs = 0);
    void Amostra(const TAmostraRegistro &amostra);
    void Evento(const TEventoRegistro &evento);
    // A recorded session, samples and events in time order. Each run of unchanged targets is one
    // segment, so a dashed line keeps its pattern along it.
    void Redesenhar(const QList<TAmostraRegistro> &amostras, const QList<TEventoRegistro> &eventos);
    double MinutosNoEixo() const;

private:
    void Estender(double minutos);
    void Avancar(qint64 tempoMs, double velocidade, double inclinacao);
    // Draws both lines from the last drawn point to `tempoMs`, stepping to the new targets.
    void Desenhar(qint64 tempoMs, double velocidade, double inclinacao);
    // Draws the run still pending while redrawing a record.
    void Fechar();
    void Segmento(double t0, double v0, double t1, double v1, bool segundoEixo, TColor cor,
                  TCanvas::TPenStyle estilo);

    double TopoEixo() const;

    TvtxGraph &FGrafico;
    TEscalaVelocidade FEscala;
    bool FbTemAnterior = false;
    TAmostraRegistro FAnterior;
    // While redrawing a record: unchanged targets only move this on; the run is drawn at the next
    // change or at the end.
    bool FbAgrupar = false;
    qint64 FUltimoMs = 0;
};
