#pragma once

#include "kestrova_chart_export.h"
#include "platform/canvas.h"

class TAxis;
class TvtxGraph;

// Draws a chart's plot-area fill, minor and major grid, tic marks, axis numbers and axis labels
// on one target: the control's canvas or a rectangle on paper (printer grid widths and tics
// scaled by the paper-to-screen ratios).
class KESTROVA_CHART_EXPORT TChartGrid {
public:
    struct TTarget {
        TCanvas *Canvas;
        bool Printer;
        int Left, Top, Width, Height;
        double RatioX = 1, RatioY = 1;  // paper pixels per screen pixel (printer only)
    };

    TChartGrid(const TvtxGraph &chart, const TTarget &target);
    void Draw();

private:
    void DrawMinor();
    void DrawMajor();
    void AnnotateX(int bottom);
    void AnnotateY(const TAxis &axis, bool right);

    const TvtxGraph &FChart;
    TTarget FTarget;
};
