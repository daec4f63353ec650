#include "chart/chartsymbol.h"

#include <QList>
#include <QPoint>
#include <algorithm>
#include <climits>
#include <cstdlib>

int TChartSymbol::DrawWidth(int width)
{
    return std::min(std::abs(width == INT_MIN ? INT_MAX : width), kMaxPenWidth);
}

void TChartSymbol::Draw(TCanvas &canvas, int x, int y, bool printer, int printerPenWidth) const
{
    const TCanvas::TPen savedPen = canvas.Pen();
    const TCanvas::TBrush savedBrush = canvas.Brush();
    canvas.Pen() = TCanvas::TPen{BorderColor, DrawWidth(printer ? printerPenWidth : PenWidth),
                                 TCanvas::psSolid, TCanvas::pmCopy};
    canvas.Brush() = TCanvas::TBrush{FillColor, FillStyle};
    const int h = std::min(std::abs(HalfHeight == INT_MIN ? 0 : HalfHeight), kMaxHalfHeight);
    const int a = printer ? 6 * h : h;
    const int t1 = printer ? 4 * h : (2 * h) / 3;
    const int t2 = printer ? 8 * h : 2 * h - t1;
    switch (Style) {
        case Circle: canvas.Ellipse(x - a, y - a, x + a + 1, y + a + 1); break;
        case Square: canvas.Rectangle(x - a, y - a, x + a + 1, y + a + 1); break;
        case TriangleUp:
            canvas.Polygon({QPoint(x, y - t2), QPoint(x - a, y + t1), QPoint(x + a, y + t1)});
            break;
        case TriangleDown:
            canvas.Polygon({QPoint(x, y + t2), QPoint(x - a, y - t1), QPoint(x + a, y - t1)});
            break;
        case Diamond:
            canvas.Polygon(
                {QPoint(x, y - a), QPoint(x - a, y), QPoint(x, y + a), QPoint(x + a, y)});
            break;
        case Plus: DrawPlus(canvas, x, y, a); break;
        case Cross: DrawCross(canvas, x, y, a); break;
        case Star:
            DrawPlus(canvas, x, y, a);
            DrawCross(canvas, x, y, a);
            break;
        default: break;
    }
    canvas.Pen() = savedPen;
    canvas.Brush() = savedBrush;
    canvas.MoveTo(x, y);
}

void TChartSymbol::DrawPlus(TCanvas &canvas, int x, int y, int a)
{
    canvas.MoveTo(x, y - a);
    canvas.LineTo(x, y + a + 1);
    canvas.MoveTo(x - a, y);
    canvas.LineTo(x + a, y);
}

void TChartSymbol::DrawCross(TCanvas &canvas, int x, int y, int a)
{
    canvas.MoveTo(x - a, y - a);
    canvas.LineTo(x + a + 1, y + a + 1);
    canvas.MoveTo(x - a, y + a);
    canvas.LineTo(x + a + 1, y - a - 1);
}
