#include "chart/paperlayout.h"

#include <algorithm>

namespace {

int Trunc(double v)
{
    return TLineRasterizer::Trunc(v);
}

}  // namespace

float TPaperLayout::PrintScale(int pixels, const TAxis &divisions, const TAxis &scale)
{
    return float(double(pixels) / divisions.NumberOfDivisions() / scale.ScalePerDivision());
}

void TPaperLayout::Place(int x0, int y0, int w, int h, const TChartLayout &screen, QSize control,
                         const TAxis &x, const TAxis &y, const TAxis &selectedY)
{
    FX0 = x0;
    FY0 = y0;
    FW = w;
    FH = h;
    FPPW = Trunc(double(screen.PlotWidth()) * w / std::max(control.width(), 1) + 0.5);
    FPPH = Trunc(double(screen.PlotHeight()) * h / std::max(control.height(), 1) + 0.5);
    FPL = (w - FPPW) / 2 + x0;
    FPT = (h - FPPH) / 2 + y0;
    FPR = FPL + FPPW;
    FPB = FPT + FPPH;
    FScaleX = PrintScale(FPPW, x, x);
    SetScaleY(y, selectedY);
    FRatioX = screen.PlotWidth() ? double(FPPW) / screen.PlotWidth() : 1.0;
    FRatioY = screen.PlotHeight() ? double(FPPH) / screen.PlotHeight() : 1.0;
}

void TPaperLayout::SetScaleY(const TAxis &y, const TAxis &selectedY)
{
    FScaleY = PrintScale(FPPH, y, selectedY);
}

QPoint TPaperLayout::Map(float x, float y, double originX, double originY) const
{
    return QPoint(FPL + Trunc((double(x) - originX) * FScaleX + 0.5),
                  FPB - Trunc(double(FScaleY) * (double(y) - originY) + 0.5));
}

TLineRasterizer::TMapping TPaperLayout::Mapping(double originX, const TAxis &y,
                                                const TAxis &axis) const
{
    return TLineRasterizer::TMapping{
        originX, double(FScaleX), FPL, axis.OriginValue(), double(PrintScale(FPPH, y, axis)), FPB};
}

QRect TPaperLayout::ChartRect() const
{
    return QRect(FX0, FY0, std::max(FW, 1), std::max(FH, 1));
}

QRect TPaperLayout::PlotRect() const
{
    return QRect(QPoint(FPL, FPT), QPoint(FPR, FPB));
}
