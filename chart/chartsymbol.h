#pragma once

#include "kestrova_chart_export.h"
#include "platform/canvas.h"
#include "platform/color.h"

// The chart's plotting symbol: its style and look, and how it is drawn on a canvas. Styles are
// the ordinals of TvtxGraph::TSymbolStyle (0 circle ... 7 star); other values draw nothing.
class KESTROVA_CHART_EXPORT TChartSymbol {
public:
    enum TStyle : quint8 { Circle, Square, TriangleUp, TriangleDown, Diamond, Plus, Cross, Star };

    quint8 Style = Square;
    int PenWidth = 1;
    TColor BorderColor = clBlack;
    TColor FillColor = clWhite;
    TCanvas::TBrushStyle FillStyle = TCanvas::bsSolid;
    int HalfHeight = 5;

    // Draws the symbol centred on (x, y), six-fold on paper with printerPenWidth as its pen, and
    // leaves the canvas pen at (x, y) with its pen and brush as they were.
    void Draw(TCanvas &canvas, int x, int y, bool printer, int printerPenWidth) const;

    // The width a pen is drawn with: the absolute value, at most kMaxPenWidth.
    static int DrawWidth(int width);
    // Sizes read from a store or a setter are limited when drawing (a foreign store may hold any
    // int32).
    static constexpr int kMaxPenWidth = 1000;
    static constexpr int kMaxHalfHeight = 10000;

private:
    static void DrawPlus(TCanvas &canvas, int x, int y, int a);
    static void DrawCross(TCanvas &canvas, int x, int y, int a);
};
