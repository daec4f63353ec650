#pragma once

#include <QPoint>
#include <QRect>

#include "chart/chartsymbol.h"
#include "chart/commandstore.h"
#include "chart/linerasterizer.h"
#include "kestrova_chart_export.h"
#include "platform/canvas.h"

class TReplayCache;

// Replays a chart's command store on a canvas: the screen (clipped to the plot area) or paper.
// The replay keeps a drawing state of its own (pen, symbol, Y-axis selection) that starts from
// the state at the chart's last Clear, so the chart's state is never touched, and the canvas
// clip is removed on every path, including a canvas call that raises.
class KESTROVA_CHART_EXPORT TChartReplay {
public:
    // The pen and symbol a replay starts from.
    struct TState {
        TColor PenColor = clRed;
        int PenWidth = 1;
        TCanvas::TPenStyle PenStyle = TCanvas::psSolid;
        TChartSymbol Symbol;
    };
    struct TTarget {
        TCanvas *Canvas = nullptr;
        QRect Clip;          // the plot rectangle, both ends included
        bool Paper = false;  // printer pen width, emulated dashes, six-fold symbols
        bool Fast = false;   // solid lines may be written straight into the canvas' image
        bool Avx2 = true;    // runs of thin lines may be walked on AVX2 (when the CPU has it)
        int PrinterPenWidth = 1;
        QRect PaperArea;  // the chart rectangle on paper (far segments are cut around it)
        // Real to pixel against the first and the second Y axis.
        TLineRasterizer::TMapping First{}, Second{};
        TReplayCache *Cache = nullptr;  // pixel operations kept between screen replays
    };

    TChartReplay(const TTarget &target, const TState &start);
    void Run(const TCommandStore &store);

    // A line on paper from the canvas pen to `to` with pen (its width is the printer pen
    // width): cut to a margin around area, emulated dashes for a styled pen wider than 1.
    static void PaperLine(TCanvas &canvas, QPoint to, const TCanvas::TPen &pen, int printerPenWidth,
                          const QRect &area);

private:
    QPoint Map(const TCommandStore::TRecord &r) const;

    TTarget FTarget;
    TState FState;
    bool FSecond = false;
};
