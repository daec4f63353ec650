#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "chart/axis.h"
#include "chart/chartlayout.h"
#include "chart/linerasterizer.h"
#include "kestrova_chart_export.h"

// Where a chart lies on paper (printer pixels): the chart rectangle, the plot rectangle centred
// in it at the control's proportions, the real-to-paper scales and the paper-to-screen ratios.
// Pure arithmetic, like TChartLayout.
class KESTROVA_CHART_EXPORT TPaperLayout {
public:
    // Places the chart rectangle (x0, y0, w, h) for a control of size `control` laid out as
    // screen; the Y scale follows selectedY.
    void Place(int x0, int y0, int w, int h, const TChartLayout &screen, QSize control,
               const TAxis &x, const TAxis &y, const TAxis &selectedY);
    // The Y scale for another selected Y axis (y gives the divisions).
    void SetScaleY(const TAxis &y, const TAxis &selectedY);
    // Printer pixels per real unit of `scale` over `pixels` split in divisions' divisions.
    static float PrintScale(int pixels, const TAxis &divisions, const TAxis &scale);

    // Paper pixel of a real point against the X origin and a Y origin.
    QPoint Map(float x, float y, double originX, double originY) const;
    // The same mapping as one value, against axis (y gives the divisions), for the replay.
    TLineRasterizer::TMapping Mapping(double originX, const TAxis &y, const TAxis &axis) const;
    // The chart rectangle (at least 1 x 1) and the plot rectangle (both ends included).
    QRect ChartRect() const;
    QRect PlotRect() const;

    int X0() const { return FX0; }
    int Y0() const { return FY0; }
    int W() const { return FW; }
    int H() const { return FH; }
    int PlotLeft() const { return FPL; }
    int PlotTop() const { return FPT; }
    int PlotWidth() const { return FPPW; }
    int PlotHeight() const { return FPPH; }
    double RatioX() const { return FRatioX; }
    double RatioY() const { return FRatioY; }

private:
    int FX0 = 0, FY0 = 0, FW = 0, FH = 0;
    int FPL = 0, FPT = 0, FPR = 0, FPB = 0, FPPW = 0, FPPH = 0;
    float FScaleX = 1, FScaleY = 1;
    double FRatioX = 1, FRatioY = 1;
};
