#include "chart/chartlayout.h"

#include <algorithm>

namespace {

int Extent(const TAxis &axis)
{
    const qint64 pixels = qint64(axis.NumberOfDivisions()) * axis.DivisionWidth();
    return int(std::clamp<qint64>(pixels, 0, TChartLayout::kMaxPlotExtent));
}

int Margin(qint64 pixels)
{
    return int(std::clamp<qint64>(pixels, 0, TChartLayout::kMaxMargin));
}

}  // namespace

void TChartLayout::Compute(const TAxis &x, const TAxis &y, const TAxis &selectedY,
                           const TMargins &margins)
{
    FPlotWidth = Extent(x);
    FPlotHeight = Extent(y);
    FScaleX = float(x.DivisionWidth() / x.ScalePerDivision());
    SetScaleY(y, selectedY);
    const int v = Margin(std::max(margins.Top, margins.Bottom));
    const int h = Margin(std::max(margins.Left, margins.Right)) + 2;
    FXorigin = h;
    FYend = v + 2;
    FXend = h + FPlotWidth;
    FYorigin = FPlotHeight + v + 2;
}

void TChartLayout::SetScaleY(const TAxis &y, const TAxis &selectedY)
{
    FScaleY = float(y.DivisionWidth() / selectedY.ScalePerDivision());
}

QSize TChartLayout::ControlSize() const
{
    return QSize(FXorigin + FXend, FYend + FYorigin);
}

int TChartLayout::MapX(float x, double originX) const
{
    return FXorigin + TLineRasterizer::Trunc((double(x) - originX) * FScaleX + 0.5);
}

int TChartLayout::MapY(float y, double originY) const
{
    return FYorigin - TLineRasterizer::Trunc(double(FScaleY) * (double(y) - originY) + 0.5);
}

TLineRasterizer::TMapping TChartLayout::Mapping(double originX, double originY, float scaleY) const
{
    return TLineRasterizer::TMapping{originX, double(FScaleX), FXorigin,
                                     originY, double(scaleY),  FYorigin};
}

void TChartLayout::GetValues(int x, int y, const TAxis &xAxis, const TAxis &yDivisions,
                             const TAxis &yScale, float &realX, float &realY, int &dx,
                             int &dy) const
{
    dx = x - FXorigin;
    dy = FYorigin - y;
    realX = realY = 0;
    if (!Contains(x, y))
        return;
    // An axis of zero-width divisions has no real scale: its value reads 0.
    if (xAxis.DivisionWidth() != 0)
        realX = float(float(double(dx) / xAxis.DivisionWidth()) * xAxis.ScalePerDivision() +
                      xAxis.OriginValue());
    if (yDivisions.DivisionWidth() != 0)
        realY = float(float(double(dy) / yDivisions.DivisionWidth()) * yScale.ScalePerDivision() +
                      yScale.OriginValue());
}

bool TChartLayout::Contains(int x, int y) const
{
    return FXorigin <= x && x <= FXend && FYend <= y && y <= FYorigin;
}

QRect TChartLayout::PlotRect() const
{
    return QRect(QPoint(FXorigin, FYend), QPoint(FXend, FYorigin));
}
