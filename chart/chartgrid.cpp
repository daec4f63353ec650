#include "chart/chartgrid.h"

#include <QStringList>
#include <algorithm>

#include "chart/linerasterizer.h"
#include "chart/vtxgraph.h"

namespace {

int Trunc(double v)
{
    return TLineRasterizer::Trunc(v);
}

TCanvas::TFont CanvasFont(const QFont &font)
{
    return TCanvas::TFont::FromQFont(font, clBlack);
}

// Minor grid divisions over an extent of pixels, in 64 bits: beyond 2 x extent + 1 divisions
// every pixel between the ends already holds a line, so more only cost time.
int LineCount(int perDivision, int divisions, int extent)
{
    const qint64 n = qint64(perDivision) * divisions;
    return int(std::min<qint64>(n, 2 * qint64(std::max(extent, 0)) + 1));
}

}  // namespace

TChartGrid::TChartGrid(const TvtxGraph &chart, const TTarget &target)
    : FChart(chart), FTarget(target)
{
}

void TChartGrid::Draw()
{
    TCanvas &c = *FTarget.Canvas;
    const int l = FTarget.Left, t = FTarget.Top;
    const int r = l + FTarget.Width, b = t + FTarget.Height;
    c.Pen() = TCanvas::TPen{FChart.PlotAreaColor(), 1, TCanvas::psSolid, TCanvas::pmCopy};
    c.Brush() = TCanvas::TBrush{FChart.PlotAreaColor(), TCanvas::bsSolid};
    c.Rectangle(l, t, r, b);
    c.Brush().Color = FChart.Color();
    if (FChart.MinorGrid())
        DrawMinor();
    if (FChart.MajorGrid())
        DrawMajor();
}

void TChartGrid::DrawMinor()
{
    TCanvas &c = *FTarget.Canvas;
    const int l = FTarget.Left, t = FTarget.Top;
    const int r = l + FTarget.Width, b = t + FTarget.Height;
    c.Pen().Width = FTarget.Printer ? FChart.PrinterMinorGridWidth() : 1;
    c.Pen().Color = FChart.MinorGridColor();
    int n = LineCount(FChart.MinorYGridDivisions(), FChart.YAxis()->NumberOfDivisions(),
                      FTarget.Height);
    const float step = float(FTarget.Height) / float(std::max(n, 1));
    float y = float(t);
    for (int k = 1; k < n; ++k) {
        y += step;
        const int yy = Trunc(double(y) + 0.5);
        c.MoveTo(l + 1, yy);
        c.LineTo(r, yy);
    }
    n = LineCount(FChart.MinorXGridDivisions(), FChart.XAxis()->NumberOfDivisions(), FTarget.Width);
    for (int k = 1; k < n; ++k) {
        const int xx = Trunc(l + double(k) * FTarget.Width / n + 0.5);
        c.MoveTo(xx, b - 1);
        c.LineTo(xx, t);
    }
}

void TChartGrid::DrawMajor()
{
    TCanvas &c = *FTarget.Canvas;
    const int l = FTarget.Left, t = FTarget.Top;
    const int r = l + FTarget.Width, b = t + FTarget.Height;
    const TAxis &xAxis = *FChart.XAxis(), &yAxis = *FChart.YAxis();
    c.Pen().Width = FTarget.Printer ? FChart.PrinterMajorGridWidth() : 1;
    c.Pen().Color = FChart.MajorGridColor();
    int tx = xAxis.TicLength(), ty = yAxis.TicLength();
    int ty2 = FChart.SecondYaxis() ? FChart.YAxis2()->TicLength() : 0;
    if (FTarget.Printer) {
        tx = Trunc(tx * FTarget.RatioY);
        ty = Trunc(ty * FTarget.RatioX);
        ty2 = Trunc(ty2 * FTarget.RatioX);
    }
    const int ny = yAxis.NumberOfDivisions();
    float step = float(FTarget.Height) / float(ny);
    float y = float(t);
    for (int i = 0; i <= ny; ++i) {
        const int yy = Trunc(double(y) + 0.5);
        c.MoveTo(l - ty, yy);
        c.LineTo(r + ty2, yy);
        y += step;
    }
    const int nx = xAxis.NumberOfDivisions();
    step = float(FTarget.Width) / float(nx);
    float x = float(l);
    for (int j = 0; j <= nx; ++j) {
        const int xx = Trunc(double(x) + 0.5);
        c.MoveTo(xx, b + tx);
        c.LineTo(xx, t);
        x += step;
    }
    AnnotateX(b + 1);
    AnnotateY(yAxis, false);
    if (FChart.SecondYaxis())
        AnnotateY(*FChart.YAxis2(), true);
}

void TChartGrid::AnnotateX(int bottom)
{
    const TAxis &axis = *FChart.XAxis();
    if (axis.UseCustomAnnotation())
        return;
    TCanvas &c = *FTarget.Canvas;
    const int n = axis.NumberOfDivisions();
    const int p = Trunc(double(FTarget.Width) / n + 0.5);
    const double s =
        FTarget.Printer && axis.DivisionWidth() != 0 ? double(p) / axis.DivisionWidth() : 1;
    c.Font() = CanvasFont(axis.Font());
    const QStringList texts = axis.NumberTexts();
    const int top = Trunc(bottom + (axis.TicLength() + axis.NumberOffset()) * s);
    int tallest = 0;
    for (int i = 0; i <= n; ++i) {
        const QSize e = c.TextExtent(texts[i]);
        tallest = std::max(tallest, e.height());
        c.TextOut(FTarget.Left + i * p - e.width() / 2, top, texts[i]);
    }
    if (axis.AxisLabel().isEmpty())
        return;
    const int labelWidth = c.TextWidth(axis.AxisLabel());  // measured in the numbers' font
    c.Font() = CanvasFont(axis.LabelFont());
    c.TextOut((FTarget.Left + FTarget.Left + FTarget.Width - labelWidth) / 2,
              Trunc(top + tallest + axis.AxisLabelOffset() * s), axis.AxisLabel());
}

void TChartGrid::AnnotateY(const TAxis &axis, bool right)
{
    if (axis.UseCustomAnnotation())
        return;
    TCanvas &c = *FTarget.Canvas;
    // The right axis follows the left axis' divisions.
    const int n = FChart.YAxis()->NumberOfDivisions();
    const int dw = FChart.YAxis()->DivisionWidth();
    const int p = Trunc(double(FTarget.Height) / n + 0.5);
    const double s = FTarget.Printer && dw != 0 ? double(p) / dw : 1;
    const int b = FTarget.Top + FTarget.Height;
    const double reach = (axis.TicLength() + axis.NumberOffset()) * s;
    const int x = right ? Trunc(FTarget.Left + FTarget.Width + reach) : Trunc(FTarget.Left - reach);
    c.Font() = CanvasFont(axis.Font());
    const QStringList texts = axis.NumberTexts(n);
    int hN = 0;
    for (int i = 0; i <= n; ++i)
        hN = std::max(hN, c.TextHeight(texts[i]));
    const unsigned old = c.SetTextAlign(right ? TCanvas::taLeft : TCanvas::taRight);
    int highest = b;
    for (int i = 0; i <= n; ++i) {
        highest = b - hN / 2 - i * p;
        c.TextOut(x, highest, texts[i]);
    }
    c.SetTextAlign(TCanvas::taLeft);
    if (!axis.AxisLabel().isEmpty()) {
        const int hL = c.TextHeight(axis.AxisLabel());  // measured in the numbers' font
        c.Font() = CanvasFont(axis.LabelFont());
        c.SetTextAlign(right ? TCanvas::taRight : TCanvas::taLeft);
        c.TextOut(x, Trunc(highest - hL / 2.0 - axis.AxisLabelOffset() * s), axis.AxisLabel());
    }
    c.SetTextAlign(old & ~TCanvas::taHorizontalMask);
}
