#pragma once

#include <QRect>
#include <QSize>

#include "chart/axis.h"
#include "chart/linerasterizer.h"
#include "kestrova_chart_export.h"

// The plot-area arithmetic of the chart: where the plot area lies in the control, given the axes
// and the margins measured around it, the real-to-pixel scales, and the mapping both ways.
// Pure arithmetic (no canvas, no widget), so it can be checked on its own.
class KESTROVA_CHART_EXPORT TChartLayout {
public:
    // Pixels measured around the plot area: Top for the title band, Bottom for the X numbers,
    // label and tics, Left and Right for the Y numbers and tics (Right 0 without a second axis).
    struct TMargins {
        qint64 Top = 0, Bottom = 0, Left = 0, Right = 0;
    };
    // Bounds that keep every coordinate, the control's size and its image within reach: a plot
    // extent (divisions x division width, computed in 64 bits) and a margin beyond them is cut.
    static constexpr qint64 kMaxPlotExtent = 16384;
    static constexpr qint64 kMaxMargin = 4096;

    // Places the plot area (x divisions by y divisions) inside the margins; the scales follow
    // the axes, ScaleY against selectedY's scale per division.
    void Compute(const TAxis &x, const TAxis &y, const TAxis &selectedY, const TMargins &margins);
    // ScaleY for another selected Y axis (y gives the division width).
    void SetScaleY(const TAxis &y, const TAxis &selectedY);

    // The control's size: the plot area with equal margins left/right and top/bottom.
    QSize ControlSize() const;
    // Canvas pixel of a real x (against originX) and a real y (against originY).
    int MapX(float x, double originX) const;
    int MapY(float y, double originY) const;
    // The same mapping as one value, for the replay.
    TLineRasterizer::TMapping Mapping(double originX, double originY, float scaleY) const;
    // Real values at a pixel against xAxis and yScale (divisions of yDivisions); 0, 0 outside
    // the plot area and 0 on an axis whose DivisionWidth is 0. dx, dy are always set.
    void GetValues(int x, int y, const TAxis &xAxis, const TAxis &yDivisions, const TAxis &yScale,
                   float &realX, float &realY, int &dx, int &dy) const;
    bool Contains(int x, int y) const;
    // (Xorigin, Yend) - (Xend, Yorigin), both ends included.
    QRect PlotRect() const;

    int Xorigin() const { return FXorigin; }
    int Yorigin() const { return FYorigin; }
    int Xend() const { return FXend; }
    int Yend() const { return FYend; }
    int PlotWidth() const { return FPlotWidth; }
    int PlotHeight() const { return FPlotHeight; }
    float ScaleX() const { return FScaleX; }
    float ScaleY() const { return FScaleY; }

private:
    int FXorigin = 0, FYorigin = 0, FXend = 0, FYend = 0;
    int FPlotWidth = 0, FPlotHeight = 0;
    float FScaleX = 0, FScaleY = 0;
};
