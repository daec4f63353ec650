#include "canvas.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "platform/exception.h"

namespace {

constexpr int kDefaultPpi = 96;

// On/off run lengths of the 1-pixel styled pens, in pixels.
QList<int> DashPattern(TCanvas::TPenStyle style)
{
    switch (style) {
        case TCanvas::psDash: return {18, 6};
        case TCanvas::psDot: return {3, 3};
        case TCanvas::psDashDot: return {9, 6, 3, 6};
        case TCanvas::psDashDotDot: return {9, 3, 3, 3, 3, 3};
        default: return {};
    }
}

bool IsOnAt(const QList<int> &pattern, qint64 counter)
{
    if (pattern.isEmpty())
        return true;
    int total = 0;
    for (int run : pattern)
        total += run;
    qint64 pos = counter % total;
    for (int i = 0; i < pattern.size(); ++i) {
        if (pos < pattern[i])
            return i % 2 == 0;
        pos -= pattern[i];
    }
    return true;
}

// The raster operation of a pen mode; pmCopy, pmBlack, pmWhite and pmNotCopy draw a plain colour.
QPainter::CompositionMode RasterOp(TCanvas::TPenMode mode)
{
    switch (mode) {
        case TCanvas::pmNot: return QPainter::RasterOp_NotDestination;
        case TCanvas::pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
        case TCanvas::pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
        case TCanvas::pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
        case TCanvas::pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
        case TCanvas::pmMerge: return QPainter::RasterOp_SourceOrDestination;
        case TCanvas::pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
        case TCanvas::pmMask: return QPainter::RasterOp_SourceAndDestination;
        case TCanvas::pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
        case TCanvas::pmXor: return QPainter::RasterOp_SourceXorDestination;
        case TCanvas::pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
        default: return QPainter::CompositionMode_SourceOver;
    }
}

// The colour a pen or brush actually puts down under a mode that ignores the destination.
QColor ModeColor(TCanvas::TPenMode mode, TColor color)
{
    switch (mode) {
        case TCanvas::pmBlack: return Qt::black;
        case TCanvas::pmWhite: return Qt::white;
        case TCanvas::pmNotCopy: return TColor(~quint32(color.ToRgb()) & 0xFFFFFF).ToQColor();
        default: return color.ToQColor();
    }
}

Qt::BrushStyle HatchStyle(TCanvas::TBrushStyle style)
{
    switch (style) {
        case TCanvas::bsSolid: return Qt::SolidPattern;
        case TCanvas::bsHorizontal: return Qt::HorPattern;
        case TCanvas::bsVertical: return Qt::VerPattern;
        case TCanvas::bsFDiagonal: return Qt::FDiagPattern;
        case TCanvas::bsBDiagonal: return Qt::BDiagPattern;
        case TCanvas::bsCross: return Qt::CrossPattern;
        case TCanvas::bsDiagCross: return Qt::DiagCrossPattern;
        default: return Qt::NoBrush;
    }
}

// Coordinates are limited to 27 bits, as on the classic API, so that every computation below
// fits in 64 bits and no rectangle width overflows.
constexpr int kCoordLimit = 1 << 27;

int Lim(int v)
{
    return qBound(-kCoordLimit, v, kCoordLimit);
}

TRect Limited(const TRect &r)
{
    return TRect{Lim(r.Left), Lim(r.Top), Lim(r.Right), Lim(r.Bottom)}.Normalized();
}

// ceil(n / d) for d > 0.
qint64 CeilDiv(qint64 n, qint64 d)
{
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}

// Walks the pixels of the line from a up to, not including, b that lie inside bounds. Pixel i
// (from 0) is i steps along the major axis and round(i * dminor / dmajor) (halves away from the
// start) along the minor one. Only the visible range of i is walked, so far-away end points cost
// nothing. Calls put(pixel, i) and returns the number of pixels of the whole line.
template <typename Put>
qint64 WalkLine(QPoint a, QPoint b, const QRect &bounds, Put put)
{
    const qint64 ax = Lim(a.x()), ay = Lim(a.y()), bx = Lim(b.x()), by = Lim(b.y());
    const bool xMajor = qAbs(bx - ax) >= qAbs(by - ay);
    const qint64 a0 = xMajor ? ax : ay, a1 = xMajor ? ay : ax;
    const qint64 dMaj = xMajor ? bx - ax : by - ay, dMin = xMajor ? by - ay : bx - ax;
    const qint64 steps = qAbs(dMaj), run = qAbs(dMin);
    const int sMaj = dMaj < 0 ? -1 : 1, sMin = dMin < 0 ? -1 : 1;
    if (steps == 0 || bounds.isEmpty())
        return steps;
    const qint64 loMaj = xMajor ? bounds.left() : bounds.top();
    const qint64 hiMaj = xMajor ? bounds.right() : bounds.bottom();
    const qint64 loMin = xMajor ? bounds.top() : bounds.left();
    const qint64 hiMin = xMajor ? bounds.bottom() : bounds.right();
    // Range of i from the major axis, then from the minor offset k(i) = floor((2 i run + steps) /
    // (2 steps)), which grows with i.
    qint64 first = qMax<qint64>(0, sMaj > 0 ? loMaj - a0 : a0 - hiMaj);
    qint64 last = qMin<qint64>(steps - 1, sMaj > 0 ? hiMaj - a0 : a0 - loMaj);
    const qint64 kLo = sMin > 0 ? loMin - a1 : a1 - hiMin;
    const qint64 kHi = sMin > 0 ? hiMin - a1 : a1 - loMin;
    if (run == 0) {
        if (kLo > 0 || kHi < 0)
            return steps;
    } else {
        first = qMax(first, CeilDiv(2 * steps * kLo - steps, 2 * run));
        last = qMin(last, CeilDiv(2 * steps * (kHi + 1) - steps, 2 * run) - 1);
    }
    for (qint64 i = first; i <= last; ++i) {
        const qint64 k = (2 * i * run + steps) / (2 * steps);
        const qint64 major = a0 + sMaj * i, minor = a1 + sMin * k;
        put(xMajor ? QPoint(int(major), int(minor)) : QPoint(int(minor), int(major)), i);
    }
    return steps;
}

// The pixels [*left, *right] of row y of the ellipse inscribed in r: those whose centres lie in
// the ellipse touching the outer edges of the box, widened so that the row(s) nearest the centre
// span the whole box and every row holds at least its middle pixel(s); so the ellipse always
// touches all four sides. Mirror-symmetric in both directions.
bool EllipseSpan(const TRect &r, int y, int *left, int *right)
{
    if (y < r.Top || y >= r.Bottom)
        return false;
    const double w = r.Width(), h = r.Height();
    const double sx = double(r.Left) + r.Right - 1, sy = double(r.Top) + r.Bottom;
    const double dy = (2.0 * y + 1 - sy) / h;
    const double dyMin = r.Height() % 2 ? 0.0 : 1.0 / h;
    double half = w * std::sqrt(qMax(0.0, 1 - dy * dy) / (1 - dyMin * dyMin));
    half = qMax(half, r.Width() % 2 ? 0.0 : 1.0);
    *left = int(std::ceil((sx - half) / 2));
    *right = int(std::floor((sx + half) / 2));
    return *left <= *right;
}

// The pixel of the ellipse through box at the parametric angle (degrees).
QPoint EllipsePoint(const QRectF &box, qreal degrees)
{
    const qreal t = qDegreesToRadians(degrees);
    return QPoint(int(std::floor(box.center().x() + box.width() / 2 * std::cos(t))),
                  int(std::floor(box.center().y() - box.height() / 2 * std::sin(t))));
}

// Angle in degrees of the radial from the ellipse centre towards (x, y), as the parametric angle
// Qt's arc functions take (counter-clockwise on screen, 0 at three o'clock).
qreal ArcAngle(const QRectF &box, int x, int y)
{
    const qreal dx = x - box.center().x() + 0.5;
    const qreal dy = box.center().y() - 0.5 - y;
    const qreal a = qMax<qreal>(box.width() / 2, 0.5);
    const qreal b = qMax<qreal>(box.height() / 2, 0.5);
    return qRadiansToDegrees(std::atan2(dy / b, dx / a));
}

QString StripPrefix(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        out.append(text[i]);
    }
    return out;
}

}  // namespace

// The painter of the surface for one operation: opened on the image (or saved state of the
// external painter), clip applied, optional raster operation of the pen mode.
class TCanvas::TPaintScope {
public:
    TPaintScope(const TCanvas &canvas, bool useMode)
    {
        if (canvas.FPainter) {
            if (!canvas.FPainter->isActive())
                throw Exception(QStringLiteral("Canvas does not allow drawing"));
            FPainter = canvas.FPainter;
            FPainter->save();
        } else if (canvas.FImage && !canvas.FImage->isNull()) {
            // Some formats (indexed, mono) cannot be painted on; begin() then fails.
            FOwn.emplace();
            if (!FOwn->begin(canvas.FImage))
                throw Exception(QStringLiteral("Canvas does not allow drawing"));
            FPainter = &*FOwn;
        } else {
            throw Exception(QStringLiteral("Canvas does not allow drawing"));
        }
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        FPainter->setClipRegion(canvas.FClip);
        FPainter->setClipping(canvas.FHasClip);
        FRaster =
            FPainter->paintEngine() && FPainter->paintEngine()->type() == QPaintEngine::Raster;
        if (useMode && FRaster)
            FPainter->setCompositionMode(RasterOp(canvas.FPen.Mode));
    }
    ~TPaintScope()
    {
        if (FOwn)
            FOwn->end();
        else
            FPainter->restore();
    }
    TPaintScope(const TPaintScope &) = delete;
    TPaintScope &operator=(const TPaintScope &) = delete;

    QPainter &Painter() { return *FPainter; }
    bool Raster() const { return FRaster; }

private:
    std::optional<QPainter> FOwn;
    QPainter *FPainter = nullptr;
    bool FRaster = false;
};

// ---- TFont ----------------------------------------------------------------------------------

int TCanvas::TFont::PixelHeight(int ppi) const
{
    if (FHeight < 0)
        return -FHeight;
    if (FHeight > 0) {
        QFont probe(Name);
        probe.setPixelSize(100);
        probe.setBold(Bold);
        probe.setItalic(Italic);
        const QFontMetricsF m(probe);
        const qreal cell = m.ascent() + m.descent();
        return qMax(1, cell > 0 ? qRound(FHeight * 100.0 / cell) : FHeight);
    }
    // In 64 bits: a size read from a stored font may be any int.
    const qint64 pixels = (qint64(FSize) * ppi + 36) / 72;
    return int(std::clamp<qint64>(pixels, 1, std::numeric_limits<int>::max()));
}

QFont TCanvas::TFont::ToQFont(int ppi) const
{
    QFont f(Name);
    f.setPixelSize(PixelHeight(ppi));
    f.setBold(Bold);
    f.setItalic(Italic);
    f.setUnderline(Underline);
    f.setStrikeOut(StrikeOut);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

TCanvas::TFont TCanvas::TFont::FromQFont(const QFont &font, TColor color)
{
    TFont f;
    f.Name = font.family();
    f.Color = color;
    f.Bold = font.bold();
    f.Italic = font.italic();
    f.Underline = font.underline();
    f.StrikeOut = font.strikeOut();
    // A stored font may carry any size; beyond kMaiorTamanho points it would not fit an int.
    constexpr qreal kMaiorTamanho = 32767;
    if (font.pointSizeF() > 0)
        f.SetSize(qRound(qMin(font.pointSizeF(), kMaiorTamanho)));
    else
        f.SetHeight(-font.pixelSize());
    return f;
}

// ---- surfaces and state ---------------------------------------------------------------------

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QImage *image) : FImage(image) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetImage(QImage *image)
{
    FImage = image;
    FPainter = nullptr;
}

void TCanvas::SetPainter(QPainter *painter)
{
    FPainter = painter;
    FImage = nullptr;
}

bool TCanvas::RasterSurface() const
{
    if (FPainter)
        return FPainter->paintEngine() && FPainter->paintEngine()->type() == QPaintEngine::Raster;
    return FImage != nullptr;
}

bool TCanvas::HasSurface() const
{
    return FPainter ? FPainter->isActive() : FImage && !FImage->isNull();
}

unsigned TCanvas::SetTextAlign(unsigned flags)
{
    const unsigned old = FTextAlign;
    FTextAlign = flags;
    return old;
}

void TCanvas::SetClipRect(const TRect &rect)
{
    FClip = QRegion(Limited(rect).ToQRect());
    FHasClip = true;
}

void TCanvas::SetClipRegion(const QRegion &region)
{
    FClip = region;
    FHasClip = true;
}

void TCanvas::ResetClip()
{
    FClip = QRegion();
    FHasClip = false;
}

void TCanvas::SetPixelsPerInch(int x, int y)
{
    FPpiX = qMax(0, x);
    FPpiY = qMax(0, y);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange();
}

// ---- lines -----------------------------------------------------------------------------------

void TCanvas::DrawLinePixels(QPainter &p, QPoint from, QPoint to, qint64 *styleCounter) const
{
    QRect bounds(0, 0, p.device()->width(), p.device()->height());
    if (FHasClip)
        bounds &= FClip.boundingRect();
    const QList<int> pattern = DashPattern(FPen.Style);
    QPolygon on, off;
    const qint64 base = *styleCounter;
    *styleCounter += WalkLine(from, to, bounds, [&](QPoint px, qint64 i) {
        (IsOnAt(pattern, base + i) ? on : off).append(px);
    });
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ModeColor(FPen.Mode, FPen.Color), 0));
    p.drawPoints(on);
    if (!off.isEmpty() && FBrush.Style == bsSolid) {
        p.setPen(QPen(ModeColor(FPen.Mode, FBrush.Color), 0));
        p.drawPoints(off);
    }
}

void TCanvas::DrawWideLine(QPainter &p, const QList<QPoint> &points, bool closed) const
{
    QPolygonF poly;
    for (const QPoint &pt : points)
        poly.append(QPointF(pt) + QPointF(0.5, 0.5));
    QPen pen(ModeColor(FPen.Mode, FPen.Color), qMax(1, FPen.Width), Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (closed)
        p.drawPolygon(poly);
    else
        p.drawPolyline(poly);
}

// The pen along the points: exact pixels for 1-pixel pens on images, vector lines elsewhere.
void TCanvas::StrokeOutline(QPainter &p, const QList<QPoint> &points, bool closed) const
{
    if (FPen.Style == psClear || FPen.Mode == pmNop || points.isEmpty())
        return;
    if (FPen.Width > 1) {
        DrawWideLine(p, points, closed);
        return;
    }
    const bool raster = p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster;
    if (!raster) {
        QPen pen(ModeColor(FPen.Mode, FPen.Color), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        const QList<int> pattern = DashPattern(FPen.Style);
        if (!pattern.isEmpty())
            pen.setDashPattern(QList<qreal>(pattern.begin(), pattern.end()));
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        QPolygonF poly;
        for (const QPoint &pt : points)
            poly.append(QPointF(pt) + QPointF(0.5, 0.5));
        closed ? p.drawPolygon(poly) : p.drawPolyline(poly);
        return;
    }
    qint64 counter = 0;
    for (qsizetype i = 1; i < points.size(); ++i)
        DrawLinePixels(p, points[i - 1], points[i], &counter);
    if (closed && points.size() > 1)
        DrawLinePixels(p, points.last(), points.first(), &counter);
}

void TCanvas::MoveTo(int x, int y)
{
    FPenPos = QPoint(x, y);
}

// Solid 1-pixel copy-mode lines on a 32-bit image with at most a rectangular clip are written
// straight into the pixels: the same walk as StrokeOutline, without opening a painter.
bool TCanvas::WriteLineDirect(QPoint from, QPoint to)
{
    if (FPainter || !FImage || FPen.Width > 1 || FPen.Style != psSolid || FPen.Mode != pmCopy)
        return false;
    const QImage::Format format = FImage->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return false;
    if (FHasClip && FClip.rectCount() > 1)
        return false;
    QRect bounds = FImage->rect();
    if (FHasClip)
        bounds &= FClip.boundingRect();
    const QRgb color = FPen.Color.ToQColor().rgb();
    WalkLine(from, to, bounds, [this, color](QPoint p, qint64) {
        reinterpret_cast<QRgb *>(FImage->scanLine(p.y()))[p.x()] = color;
    });
    return true;
}

void TCanvas::LineTo(int x, int y)
{
    if (!WriteLineDirect(FPenPos, QPoint(x, y))) {
        TPaintScope scope(*this, true);
        StrokeOutline(scope.Painter(), {FPenPos, QPoint(x, y)}, false);
    }
    FPenPos = QPoint(x, y);
    Changed();
}

void TCanvas::Polyline(const QList<QPoint> &points)
{
    {
        TPaintScope scope(*this, true);
        StrokeOutline(scope.Painter(), points, false);
    }
    Changed();
}

// ---- filled shapes ---------------------------------------------------------------------------

void TCanvas::FillShape(QPainter &p, const QPainterPath &path) const
{
    if (FBrush.Style == bsClear || FPen.Mode == pmNop)
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(ModeColor(FPen.Mode, FBrush.Color), HatchStyle(FBrush.Style)));
    p.drawPath(path);
}

void TCanvas::Polygon(const QList<QPoint> &points)
{
    {
        TPaintScope scope(*this, true);
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        QPolygonF poly;
        for (const QPoint &pt : points)
            poly.append(QPointF(pt) + QPointF(0.5, 0.5));
        path.addPolygon(poly);
        path.closeSubpath();
        FillShape(scope.Painter(), path);
        StrokeOutline(scope.Painter(), points, true);
    }
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    const TRect r = Limited(TRect{x1, y1, x2, y2});
    if (r.IsEmpty())
        return;
    {
        TPaintScope scope(*this, true);
        const bool pen = FPen.Style != psClear;
        // Without a pen the filled area is one pixel smaller on the right and bottom.
        const QRect inner = pen ? QRect(r.Left + 1, r.Top + 1, r.Width() - 2, r.Height() - 2)
                                : QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
        QPainterPath path;
        if (inner.isValid())
            path.addRect(inner);
        FillShape(scope.Painter(), path);
        StrokeOutline(scope.Painter(),
                      {QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Top),
                       QPoint(r.Right - 1, r.Bottom - 1), QPoint(r.Left, r.Bottom - 1)},
                      true);
    }
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    ArcShape(3, x1, y1, x2, y2, 0, 0, 0, 0);
}

// A 1-pixel ellipse row by row: the rows' spans come from EllipseSpan, the pen takes the pixels
// of each span that are not covered by both neighbouring rows (a closed, symmetric outline), the
// brush the rest (when fill). Only pixels that keep accepts are used (all when it is empty). The
// brush part is drawn here; the pen pixels are returned, to be drawn once with the straight
// edges of a pie or chord.
QPolygon TCanvas::EllipseSpans(QPainter &p, const TRect &r, bool fill,
                               const std::function<bool(int, int)> &keep) const
{
    QRect bounds(0, 0, p.device()->width(), p.device()->height());
    if (FHasClip)
        bounds &= FClip.boundingRect();
    const bool pen = FPen.Style != psClear;
    const QBrush brush(ModeColor(FPen.Mode, FBrush.Color), HatchStyle(FBrush.Style));
    const bool brushVisible = fill && FBrush.Style != bsClear;
    QPolygon penPixels;
    auto run = [&](int y, int from, int to, bool outline) {
        from = qMax(from, bounds.left());
        to = qMin(to, bounds.right());
        for (int x = from; x <= to; ++x) {
            // A run of accepted pixels from x.
            int end = x;
            while (end <= to && (!keep || keep(end, y)))
                ++end;
            if (end > x && outline) {
                for (int i = x; i < end; ++i)
                    penPixels << QPoint(i, y);
            } else if (end > x && brushVisible) {
                p.fillRect(QRect(x, y, end - x, 1), brush);
            }
            x = end;
        }
    };
    const int yFrom = qMax(r.Top, bounds.top()), yTo = qMin(r.Bottom - 1, bounds.bottom());
    for (int y = yFrom; y <= yTo; ++y) {
        int l = 0, rt = 0, lp = 0, rp = -1, ln = 0, rn = -1;
        EllipseSpan(r, y, &l, &rt);
        const bool inner = EllipseSpan(r, y - 1, &lp, &rp) && EllipseSpan(r, y + 1, &ln, &rn);
        const int il = !pen ? l : inner ? qMax(l + 1, qMax(lp, ln)) : rt + 1;
        const int ir = !pen ? rt : inner ? qMin(rt - 1, qMin(rp, rn)) : rt;
        if (il > ir) {
            run(y, l, rt, true);
            continue;
        }
        run(y, il, ir, false);
        run(y, l, il - 1, true);
        run(y, ir + 1, rt, true);
    }
    return penPixels;
}

// Arc (kind 0), pie (1), chord (2) or whole ellipse (3) with a 1-pixel solid or clear pen: the
// parts of the ellipse of EllipseSpans between the radials (pie, arc) or beyond the chord, plus
// the straight edges, each pen pixel set once.
void TCanvas::DrawEllipsePart(QPainter &p, const TRect &r, int kind, qreal start, qreal sweep) const
{
    const QRectF box(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
    const bool whole = kind == 3 || sweep >= 360;
    const QPoint s = EllipsePoint(box, start), e = EllipsePoint(box, start + sweep);
    const QPoint m = EllipsePoint(box, start + sweep / 2);
    auto cross = [s, e](int x, int y) {
        return qint64(e.x() - s.x()) * (y - s.y()) - qint64(e.y() - s.y()) * (x - s.x());
    };
    const bool arcSide = cross(m.x(), m.y()) > 0;
    std::function<bool(int, int)> keep;
    if (!whole && kind == 2) {
        keep = [&](int x, int y) {
            const qint64 c = cross(x, y);
            return c == 0 || (c > 0) == arcSide;
        };
    } else if (!whole) {
        keep = [&](int x, int y) {
            qreal a = ArcAngle(box, x, y) - start;
            while (a < 0)
                a += 360;
            return a <= sweep;
        };
    }
    QPolygon pen = EllipseSpans(p, r, kind != 0, keep);
    if (FPen.Style != psClear && !whole && kind != 0) {
        const QPoint c(int(std::floor(box.center().x())), int(std::floor(box.center().y())));
        QRect bounds(0, 0, p.device()->width(), p.device()->height());
        auto edge = [&](QPoint from, QPoint to) {
            WalkLine(from, to, bounds, [&pen](QPoint px, qint64) { pen << px; });
            pen << to;
        };
        if (kind == 1) {
            edge(c, s);
            edge(c, e);
        } else {
            edge(s, e);
        }
    }
    if (FPen.Style == psClear || pen.isEmpty())
        return;
    std::sort(pen.begin(), pen.end(), [](const QPoint &a, const QPoint &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    pen.erase(std::unique(pen.begin(), pen.end()), pen.end());
    p.setPen(QPen(ModeColor(FPen.Mode, FPen.Color), 0));
    p.setBrush(Qt::NoBrush);
    p.drawPoints(pen);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    ArcShape(0, x1, y1, x2, y2, x3, y3, x4, y4);
}

bool TCanvas::ExactOutline() const
{
    return FPen.Width <= 1 &&
           (FPen.Style == psSolid || FPen.Style == psClear || FPen.Style == psInsideFrame) &&
           RasterSurface();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    ArcShape(1, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    ArcShape(2, x1, y1, x2, y2, x3, y3, x4, y4);
}

// kind: 0 arc, 1 pie, 2 chord, 3 whole ellipse. The ellipse runs through the centres of the
// border pixels of the box, so its extreme pixels are the box's first and last column and row.
void TCanvas::ArcShape(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const TRect r = Limited(TRect{x1, y1, x2, y2});
    if (r.IsEmpty())
        return;
    const QRectF box(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
    qreal start = 0, sweep = 360;
    if (kind != 3) {
        start = ArcAngle(box, x3, y3);
        sweep = ArcAngle(box, x4, y4) - start;
        while (sweep <= 0)
            sweep += 360;
        while (sweep > 360)
            sweep -= 360;
    }
    if (ExactOutline()) {
        if (FPen.Mode != pmNop) {
            TPaintScope scope(*this, true);
            DrawEllipsePart(scope.Painter(), r, kind, start, sweep);
        }
        Changed();
        return;
    }
    QPainterPath path;
    if (kind == 1)
        path.moveTo(box.center());
    else
        path.arcMoveTo(box, start);
    path.arcTo(box, start, sweep);
    if (kind != 0)
        path.closeSubpath();
    {
        TPaintScope scope(*this, true);
        QPainter &p = scope.Painter();
        if (kind != 0)
            FillShape(p, path);
        if (FPen.Style != psClear && FPen.Mode != pmNop) {
            QPen pen(ModeColor(FPen.Mode, FPen.Color), FPen.Width > 1 ? FPen.Width : 0);
            const QList<int> pattern = FPen.Width > 1 ? QList<int>() : DashPattern(FPen.Style);
            if (!pattern.isEmpty())
                pen.setDashPattern(QList<qreal>(pattern.begin(), pattern.end()));
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
        }
    }
    Changed();
}

void TCanvas::FillRect(const TRect &rect)
{
    PaintRegion(QRegion(Limited(rect).ToQRect()));
}

void TCanvas::FillRegion(const QRegion &region)
{
    PaintRegion(region);
}

void TCanvas::PaintRegion(const QRegion &region)
{
    {
        TPaintScope scope(*this, false);
        if (FBrush.Style != bsClear) {
            QPainterPath path;
            path.addRegion(region);
            scope.Painter().fillPath(path,
                                     QBrush(FBrush.Color.ToQColor(), HatchStyle(FBrush.Style)));
        }
    }
    Changed();
}

void TCanvas::FrameRect(const TRect &rect)
{
    const TRect r = Limited(rect);
    if (r.IsEmpty())
        return;
    QRegion frame(r.ToQRect());
    if (r.Width() > 2 && r.Height() > 2)
        frame -= QRegion(r.Left + 1, r.Top + 1, r.Width() - 2, r.Height() - 2);
    PaintRegion(frame);
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (FPainter || !FImage || !FImage->valid(x, y))
        return clNone;
    return TColor::FromQColor(FImage->pixelColor(x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    {
        TPaintScope scope(*this, false);
        scope.Painter().fillRect(QRect(x, y, 1, 1), color.ToQColor());
    }
    Changed();
}

// ---- text ------------------------------------------------------------------------------------

QSize TCanvas::TextExtent(const QString &text) const
{
    const QFontMetrics m(FFont.ToQFont(PixelsPerInchY()));
    return QSize(m.horizontalAdvance(text), m.ascent() + m.descent());
}

TCanvas::TTextMetric TCanvas::TextMetrics() const
{
    const QFontMetrics m(FFont.ToQFont(PixelsPerInchY()));
    return {m.ascent() + m.descent(), m.ascent(), m.descent()};
}

// Text at (x, y) placed by the text alignment, with an opaque cell under a solid brush.
void TCanvas::DrawTextAt(QPainter &p, int x, int y, const QString &text, unsigned align,
                         bool opaque) const
{
    const TTextMetric tm = TextMetrics();
    const int width = TextWidth(text);
    int left = x;
    switch (align & taHorizontalMask) {
        case taRight: left = x - width; break;
        case taCenter: left = x - width / 2; break;
        default: break;
    }
    int baseline = y + tm.Ascent;
    switch (align & taVerticalMask) {
        case taBottom: baseline = y - tm.Descent; break;
        case taBaseline: baseline = y; break;
        default: break;
    }
    if (opaque)
        p.fillRect(QRect(left, baseline - tm.Ascent, width, tm.Height), FBrush.Color.ToQColor());
    p.setFont(FFont.ToQFont(PixelsPerInchY()));
    p.setPen(FFont.Color.ToQColor());
    p.drawText(QPoint(left, baseline), text);
}

void TCanvas::TextOut(int x, int y, const QString &text)
{
    {
        TPaintScope scope(*this, false);
        DrawTextAt(scope.Painter(), x, y, text, FTextAlign, FBrush.Style == bsSolid);
    }
    FPenPos = QPoint(x + TextWidth(text), y);
    Changed();
}

void TCanvas::TextRect(const TRect &rect, int x, int y, const QString &text)
{
    {
        TPaintScope scope(*this, false);
        QPainter &p = scope.Painter();
        const QRegion box(Limited(rect).ToQRect());
        p.setClipRegion(FHasClip ? FClip.intersected(box) : box);
        if (FBrush.Style == bsSolid)
            p.fillRect(Limited(rect).ToQRect(), FBrush.Color.ToQColor());
        DrawTextAt(p, x, y, text, FTextAlign, false);
    }
    Changed();
}

QList<QString> TCanvas::BreakLines(const QString &text, const TRect &rect, unsigned flags) const
{
    const int width = Limited(rect).Width();
    QString t = (flags & dtNoPrefix) ? text : StripPrefix(text);
    if (flags & dtExpandTabs)
        t.replace(u'\t', QStringLiteral("        "));
    QStringList paragraphs;
    if (flags & dtSingleLine) {
        paragraphs << QString(t)
                          .replace(QLatin1String("\r\n"), QLatin1String(" "))
                          .replace(u'\n', u' ')
                          .replace(u'\r', u' ');
    } else {
        paragraphs = QString(t)
                         .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                         .replace(u'\r', u'\n')
                         .split(u'\n');
    }
    if (!(flags & dtWordBreak) || (flags & dtSingleLine))
        return paragraphs;
    QList<QString> lines;
    for (const QString &para : paragraphs) {
        QString line;
        qsizetype i = 0;
        while (i < para.size()) {
            // The next word with the spaces in front of it.
            qsizetype j = i;
            while (j < para.size() && para[j] == u' ')
                ++j;
            while (j < para.size() && para[j] != u' ')
                ++j;
            const QString piece = para.mid(i, j - i);
            const QString candidate = line + piece;
            if (line.isEmpty() || TextWidth(candidate.trimmed()) <= width) {
                line = line.isEmpty() ? piece.trimmed() : candidate;
            } else {
                lines << line;
                line = piece.trimmed();
            }
            i = j;
        }
        lines << line;
    }
    return lines;
}

int TCanvas::DrawText(TRect &rect, const QString &text, unsigned flags)
{
    rect = {Lim(rect.Left), Lim(rect.Top), Lim(rect.Right), Lim(rect.Bottom)};
    const QList<QString> lines = BreakLines(text, rect, flags);
    const TTextMetric tm = TextMetrics();
    int widest = 0;
    for (const QString &line : lines)
        widest = qMax(widest, TextWidth(line));
    const int height = int(lines.size()) * tm.Height;
    if (flags & dtCalcRect) {
        rect.Right = rect.Left + widest;
        rect.Bottom = rect.Top + height;
        return height;
    }
    {
        TPaintScope scope(*this, false);
        QPainter &p = scope.Painter();
        if (!(flags & dtNoClip)) {
            const QRegion box(Limited(rect).ToQRect());
            p.setClipRegion(FHasClip ? FClip.intersected(box) : box);
        }
        int y = rect.Top;
        if (flags & dtSingleLine) {
            if (flags & dtVCenter)
                y = rect.Top + (rect.Height() - tm.Height) / 2;
            else if (flags & dtBottom)
                y = rect.Bottom - tm.Height;
        }
        for (const QString &line : lines) {
            const int w = TextWidth(line);
            int x = rect.Left;
            if (flags & dtCenter)
                x = rect.Left + (rect.Width() - w) / 2;
            else if (flags & dtRight)
                x = rect.Right - w;
            DrawTextAt(p, x, y, line, taLeft | taTop, FBrush.Style == bsSolid);
            y += tm.Height;
        }
    }
    Changed();
    return height;
}

// ---- images and device -----------------------------------------------------------------------

void TCanvas::Draw(int x, int y, const QImage &image)
{
    {
        TPaintScope scope(*this, false);
        scope.Painter().drawImage(QPoint(x, y), image);
    }
    Changed();
}

void TCanvas::StretchDraw(const TRect &rect, const QImage &image)
{
    {
        TPaintScope scope(*this, false);
        scope.Painter().drawImage(Limited(rect).ToQRect(), image);
    }
    Changed();
}

int TCanvas::DeviceCaps(TDeviceCap cap) const
{
    const QPaintDevice *device = FPainter ? FPainter->device() : FImage;
    switch (cap) {
        case LogPixelsX: return FPpiX ? FPpiX : device ? device->logicalDpiX() : kDefaultPpi;
        case LogPixelsY: return FPpiY ? FPpiY : device ? device->logicalDpiY() : kDefaultPpi;
        case HorzRes: return device ? device->width() : 0;
        case VertRes: return device ? device->height() : 0;
        case HorzSize: return device ? device->widthMM() : 0;
        case VertSize: return device ? device->heightMM() : 0;
        default: return 0;
    }
}
