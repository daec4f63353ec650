#include "chart/dashline.h"

#include <QList>
#include <algorithm>
#include <cmath>

#include "chart/linerasterizer.h"

namespace {

constexpr double kMillimetresPerInch = 25.4;

int Trunc(double v)
{
    return TLineRasterizer::Trunc(v);
}

}  // namespace

void TDashLine::Draw(TCanvas &canvas, QPoint end, QPoint start, bool printer)
{
    const TCanvas::TPenStyle style = canvas.Pen().Style;
    const bool withDots = style == TCanvas::psDashDot || style == TCanvas::psDashDotDot;
    const double scale = printer ? 1.0 : 4.0;
    const int ppi = canvas.PixelsPerInchY();
    // At least one pixel per segment: a low-resolution canvas would otherwise never advance.
    auto pixels = [&](double mm) {
        return std::max(1, Trunc(ppi * mm * scale / kMillimetresPerInch + 0.5));
    };
    const int dash = pixels(4), dot = pixels(0.5), gap = pixels(withDots ? 1.8 : 3);
    QList<int> pattern;  // even index: drawn, odd index: gap
    switch (style) {
        case TCanvas::psDash: pattern = {dash, gap}; break;
        case TCanvas::psDot: pattern = {dot, gap}; break;
        case TCanvas::psDashDot: pattern = {dash, gap, dot, gap}; break;
        case TCanvas::psDashDotDot: pattern = {dash, gap, dot, gap, dot, gap}; break;
        default:
            canvas.MoveTo(start.x(), start.y());
            canvas.LineTo(end.x(), end.y());
            return;
    }
    if (start == end)
        return;
    canvas.Pen().Style = TCanvas::psSolid;
    canvas.MoveTo(start.x(), start.y());
    const double dx = double(end.x()) - start.x(), dy = double(end.y()) - start.y();
    const int sx = dx > 0 ? 1 : dx < 0 ? -1 : 0;
    const int sy = dy > 0 ? 1 : dy < 0 ? -1 : 0;
    const bool xLeads = std::abs(dy) < std::abs(dx);
    double x = start.x(), y = start.y();
    bool last = false;
    for (qsizetype k = 0; !last; k = (k + 1) % pattern.size()) {
        const int length = pattern[k];
        if (xLeads) {
            x += length * sx;
            y += length * std::abs(dy / dx) * sy;
        } else {
            y += length * sy;
            x += length * std::abs(dx / dy) * sx;
        }
        if ((sx > 0 && x > end.x()) || (sx < 0 && x < end.x()) || (sy > 0 && y > end.y()) ||
            (sy < 0 && y < end.y())) {
            x = end.x();
            y = end.y();
            last = true;
        }
        const int px = Trunc(x + 0.5), py = Trunc(y + 0.5);
        if (k % 2 == 0 || last)
            canvas.LineTo(px, py);
        else
            canvas.MoveTo(px, py);
    }
    canvas.Pen().Style = style;
}
