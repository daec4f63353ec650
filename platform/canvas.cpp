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
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/arcsweep.h"
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
// touches all four sides. Mirror-symmetric in both directions. The terms that do not depend on
// the row are worked out once per ellipse (the same operations, so the same values).
struct TEllipseRows {
    explicit TEllipseRows(const TRect &box)
        : r(box),
          w(box.Width()),
          h(box.Height()),
          sx(double(box.Left) + box.Right - 1),
          sy(double(box.Top) + box.Bottom),
          dyMin(box.Height() % 2 ? 0.0 : 1.0 / h),
          scale(1 - dyMin * dyMin),
          least(box.Width() % 2 ? 0.0 : 1.0)
    {
    }
    bool Span(int y, int *left, int *right) const
    {
        if (y < r.Top || y >= r.Bottom)
            return false;
        const double dy = (2.0 * y + 1 - sy) / h;
        double half = w * std::sqrt(qMax(0.0, 1 - dy * dy) / scale);
        half = qMax(half, least);
        // ceil and floor by truncation: exact, the values are well inside 64 bits.
        const double l = (sx - half) / 2, rt = (sx + half) / 2;
        qint64 cl = qint64(l), fr = qint64(rt);
        cl += double(cl) < l ? 1 : 0;
        fr -= double(fr) > rt ? 1 : 0;
        *left = int(cl);
        *right = int(fr);
        return *left <= *right;
    }

    TRect r;
    double w, h, sx, sy, dyMin, scale, least;
};

bool EllipseSpan(const TRect &r, int y, int *left, int *right)
{
    return TEllipseRows(r).Span(y, left, right);
}

// The pixel of the ellipse through box at the parametric angle (degrees).
QPoint EllipsePoint(const QRectF &box, qreal degrees)
{
    const qreal t = qDegreesToRadians(degrees);
    return QPoint(int(std::floor(box.center().x() + box.width() / 2 * std::cos(t))),
                  int(std::floor(box.center().y() - box.height() / 2 * std::sin(t))));
}

// Sets count pixels from p to rgb, four at a time where the processor has 16-byte stores.
void FillPixels(QRgb *p, qsizetype count, QRgb rgb)
{
#ifdef __SSE2__
    const __m128i four = _mm_set1_epi32(int(rgb));
    for (; count >= 4; count -= 4, p += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), four);
#endif
    for (; count > 0; --count)
        *p++ = rgb;
}

// The pixels [*left, *right] of row y of the rounded rectangle r whose corners are the quadrants
// of the ellipse inscribed in a corner-sized box (EllipseSpan), joined by straight edges: the
// corner box's upper rows above the straight stretch, its lower rows below it, each widened by the
// straight length. Mirror-symmetric; with the corner as large as r it is r's ellipse.
bool RoundRectSpan(const TRect &r, QSize corner, int y, int *left, int *right)
{
    if (y < r.Top || y >= r.Bottom)
        return false;
    const int half = corner.height() / 2;
    const int top = y - r.Top, bottom = r.Bottom - 1 - y;
    const TRect ellipse = TRect::Bounds(r.Left, r.Top, corner.width(), corner.height());
    if (corner.width() < 1 || (top >= half && bottom >= half)) {
        *left = r.Left;
        *right = r.Right - 1;
        return true;
    }
    EllipseSpan(ellipse, top < half ? r.Top + top : r.Top + corner.height() - 1 - bottom, left,
                right);
    *right += r.Width() - corner.width();
    return true;
}

// The side of the chord s -> e the pixel (x, y) lies on: > 0 left of it as seen on the screen.
qint64 ChordCross(QPoint s, QPoint e, int x, int y)
{
    return (qint64(e.x()) - s.x()) * (qint64(y) - s.y()) -
           (qint64(e.y()) - s.y()) * (qint64(x) - s.x());
}

// floor(n / d) for d != 0.
qint64 FloorDiv(qint64 n, qint64 d)
{
    const qint64 q = n / d;
    return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

// Appends the pixels from..to of row y on the arc's side of the chord s -> e (ChordCross > 0 when
// arcSide, < 0 otherwise) or on it. ChordCross is linear along the row: c(x) = k - d x.
void ChordRun(QPoint s, QPoint e, bool arcSide, int y, int from, int to,
              std::vector<TArcSweep::TRun> &out)
{
    if (from > to)
        return;
    const qint64 d = qint64(e.y()) - s.y();
    const qint64 k = ChordCross(s, e, 0, y);
    // Kept: sk - sd x >= 0.
    const qint64 sk = arcSide ? k : -k, sd = arcSide ? d : -d;
    qint64 first = from, last = to;
    if (sd == 0) {
        if (sk < 0)
            return;
    } else if (sd > 0) {
        last = qMin(last, FloorDiv(sk, sd));
    } else {
        first = qMax(first, -FloorDiv(-sk, sd));
    }
    if (first <= last)
        out.push_back({int(first), int(last)});
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

// Whether drawing may write straight into the image: a 32-bit image as the surface, at most a
// rectangular clip (painting sets exactly those pixels in copy mode).
bool TCanvas::WritesImageDirect() const
{
    if (FPainter || !FImage)
        return false;
    const QImage::Format format = FImage->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        return false;
    return !FHasClip || FClip.rectCount() <= 1;
}

// 1-pixel copy-mode lines, solid or styled, are written straight into a direct image: the same
// walk and pattern as StrokeOutline (the gaps of a styled pen in a solid brush's colour),
// without opening a painter.
bool TCanvas::WriteLineDirect(QPoint from, QPoint to)
{
    if (FPen.Width > 1 || FPen.Style == psClear || FPen.Style == psInsideFrame ||
        FPen.Mode != pmCopy || !WritesImageDirect())
        return false;
    QRect bounds = FImage->rect();
    if (FHasClip)
        bounds &= FClip.boundingRect();
    const QRgb color = FPen.Color.ToQColor().rgb();
    uchar *bits = FImage->bits();
    const qsizetype stride = FImage->bytesPerLine();
    const QList<int> pattern = DashPattern(FPen.Style);
    if (pattern.isEmpty()) {
        WalkLine(from, to, bounds, [=](QPoint p, qint64) {
            reinterpret_cast<QRgb *>(bits + p.y() * stride)[p.x()] = color;
        });
        return true;
    }
    const bool gaps = FBrush.Style == bsSolid;
    const QRgb gap = FBrush.Color.ToQColor().rgb();
    WalkLine(from, to, bounds, [&](QPoint p, qint64 i) {
        if (IsOnAt(pattern, i))
            reinterpret_cast<QRgb *>(bits + p.y() * stride)[p.x()] = color;
        else if (gaps)
            reinterpret_cast<QRgb *>(bits + p.y() * stride)[p.x()] = gap;
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

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    ArcShape(4, x1, y1, x2, y2, x3, y3, 0, 0);
}

// Exact shapes in copy mode with a solid or clear brush are written straight into a direct image.
bool TCanvas::WritesShapesDirect() const
{
    return FPen.Mode == pmCopy && (FBrush.Style == bsSolid || FBrush.Style == bsClear) &&
           WritesImageDirect();
}

// Arc (kind 0), pie (1), chord (2), ellipse (3) or rounded rectangle (4) with a 1-pixel solid or
// clear pen, row by row: the rows' spans come from EllipseSpan (RoundRectSpan), the pen takes the
// pixels of each span that are not covered by both neighbouring rows (a closed, symmetric
// outline), the brush the rest; of an arc or pie only the pixels in the sweep, of a chord those
// on the arc's side of the chord; then the straight edges of a pie or chord. Through p each pen
// pixel is drawn once, after the brush; with p null the pixels are written into the image.
void TCanvas::DrawExactShape(QPainter *p, const TRect &r, int kind, TArcSweep *sweep,
                             QSize corner) const
{
    const QRect device =
        p ? QRect(0, 0, p->device()->width(), p->device()->height()) : FImage->rect();
    QRect bounds = device;
    if (FHasClip)
        bounds &= FClip.boundingRect();
    const QRectF box(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
    const bool pen = FPen.Style != psClear;
    const bool whole = !sweep || sweep->Whole();
    const bool brushVisible = kind != 0 && FBrush.Style != bsClear;
    QPoint s, e;
    bool arcSide = false;
    if (!whole && kind != 0) {
        const qreal start = sweep->Start(), span = sweep->Sweep();
        s = EllipsePoint(box, start);
        e = EllipsePoint(box, start + span);
        const QPoint m = EllipsePoint(box, start + span / 2);
        arcSide = ChordCross(s, e, m.x(), m.y()) > 0;
    }

    uchar *bits = p ? nullptr : FImage->bits();
    const qsizetype stride = p ? 0 : FImage->bytesPerLine();
    const QRgb penRgb = FPen.Color.ToQColor().rgb(), brushRgb = FBrush.Color.ToQColor().rgb();
    const QBrush brush(ModeColor(FPen.Mode, FBrush.Color), HatchStyle(FBrush.Style));
    QPolygon penPixels;
    auto put = [&](bool outline, int y, int from, int to) {
        if (!p) {
            QRgb *line = reinterpret_cast<QRgb *>(bits + y * stride);
            const QRgb rgb = outline ? penRgb : brushRgb;
            if (to - from < 4) {
                for (int x = from; x <= to; ++x)
                    line[x] = rgb;
            } else {
                FillPixels(line + from, to - from + 1, rgb);
            }
        } else if (outline) {
            for (int x = from; x <= to; ++x)
                penPixels << QPoint(x, y);
        } else {
            p->fillRect(QRect(from, y, to - from + 1, 1), brush);
        }
    };
    const int left = bounds.left(), right = bounds.right();
    const int yFrom = qMax(r.Top, bounds.top()), yTo = qMin(r.Bottom - 1, bounds.bottom());
    if (yFrom > yTo) {
        DrawExactEdges(p, r, kind, whole, s, e, bounds, device, bits, stride, penPixels);
        return;
    }
    // The spans of rows yFrom - 1 .. yTo + 1, worked out before the rows are drawn (so that the
    // rows' square roots overlap); an ellipse's row below its middle is its upper twin's.
    struct TSpan {
        int Left = 0, Right = -1;
        bool Valid = false;
    };
    const int firstRow = yFrom - 1;
    std::vector<TSpan> spans(size_t(yTo - yFrom + 3));
    const TEllipseRows ellipse(r);
    const qint64 mirror = qint64(r.Top) + r.Bottom - 1;
    for (size_t i = 0; i < spans.size(); ++i) {
        const int y = firstRow + int(i);
        const qint64 twin = mirror - y;
        TSpan &row = spans[i];
        if (kind != 4 && twin >= firstRow && twin < y)
            row = spans[size_t(twin - firstRow)];
        else
            row.Valid = kind == 4 ? RoundRectSpan(r, corner, y, &row.Left, &row.Right)
                                  : ellipse.Span(y, &row.Left, &row.Right);
    }

    std::vector<TArcSweep::TRun> runs;
    for (int y = yFrom; y <= yTo; ++y) {
        const TSpan &above = spans[size_t(y - firstRow - 1)], &row = spans[size_t(y - firstRow)],
                    &below = spans[size_t(y - firstRow + 1)];
        const int l = row.Left, rt = row.Right, lp = above.Left, rp = above.Right, ln = below.Left,
                  rn = below.Right;
        const bool inner = above.Valid && below.Valid;
        // Minima and maxima of values (not references) compile without branches.
        const auto lo = [](int a, int b) { return a < b ? a : b; };
        const auto hi = [](int a, int b) { return a < b ? b : a; };
        const int il = !pen ? l : inner ? hi(l + 1, hi(lp, ln)) : rt + 1;
        const int ir = !pen ? rt : inner ? lo(rt - 1, lo(rp, rn)) : rt;
        // The row's stretches (brush, then pen), each cut to the pixels in the sweep (or beyond the
        // chord).
        struct TStretch {
            int From, To;
            bool Outline;
        } stretches[3];
        int count = 0;
        if (il > ir) {
            stretches[count++] = {l, rt, true};
        } else {
            if (brushVisible)
                stretches[count++] = {il, ir, false};
            stretches[count++] = {l, il - 1, true};
            stretches[count++] = {ir + 1, rt, true};
        }
        for (int i = 0; i < count; ++i) {
            const int a = hi(stretches[i].From, left), b = lo(stretches[i].To, right);
            if (a > b)
                continue;
            const int answer = whole ? 1 : kind == 2 ? -1 : sweep->RowAnswer(y, a, b);
            if (answer > 0 && !p && b - a < 4) {
                // Up to four pixels without a loop: the last one is written again as needed.
                QRgb *line = reinterpret_cast<QRgb *>(bits + y * stride);
                const QRgb rgb = stretches[i].Outline ? penRgb : brushRgb;
                line[a] = rgb;
                line[lo(a + 1, b)] = rgb;
                line[lo(a + 2, b)] = rgb;
                line[b] = rgb;
            } else if (answer > 0) {
                put(stretches[i].Outline, y, a, b);
            } else if (answer < 0) {
                runs.clear();
                if (kind == 2)
                    ChordRun(s, e, arcSide, y, a, b, runs);
                else
                    sweep->AppendRuns(y, a, b, runs);
                for (const TArcSweep::TRun &run : runs)
                    put(stretches[i].Outline, y, run.From, run.To);
            }
        }
    }
    DrawExactEdges(p, r, kind, whole, s, e, bounds, device, bits, stride, penPixels);
}

// The straight edges of a pie or chord of DrawExactShape, then (through p) the pen pixels.
void TCanvas::DrawExactEdges(QPainter *p, const TRect &r, int kind, bool whole, QPoint s, QPoint e,
                             const QRect &bounds, const QRect &device, uchar *bits,
                             qsizetype stride, QPolygon &penPixels) const
{
    const bool pen = FPen.Style != psClear;
    const QRgb penRgb = FPen.Color.ToQColor().rgb();
    if (pen && !whole && kind != 0) {
        const QRectF box(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
        const QPoint c(int(std::floor(box.center().x())), int(std::floor(box.center().y())));
        auto plot = [&](QPoint px) {
            if (p)
                penPixels << px;
            else if (bounds.contains(px))
                reinterpret_cast<QRgb *>(bits + px.y() * stride)[px.x()] = penRgb;
        };
        auto edge = [&](QPoint from, QPoint to) {
            WalkLine(from, to, device, [&plot](QPoint px, qint64) { plot(px); });
            plot(to);
        };
        if (kind == 1) {
            edge(c, s);
            edge(c, e);
        } else {
            edge(s, e);
        }
    }
    if (!p || !pen || penPixels.isEmpty())
        return;
    std::sort(penPixels.begin(), penPixels.end(), [](const QPoint &a, const QPoint &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    penPixels.erase(std::unique(penPixels.begin(), penPixels.end()), penPixels.end());
    p->setPen(QPen(ModeColor(FPen.Mode, FPen.Color), 0));
    p->setBrush(Qt::NoBrush);
    p->drawPoints(penPixels);
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

// kind: 0 arc, 1 pie, 2 chord, 3 whole ellipse, 4 rounded rectangle (x3 x y3 its corners'
// ellipse). The ellipse runs through the centres of the border pixels of the box, so its extreme
// pixels are the box's first and last column and row.
void TCanvas::ArcShape(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const TRect r = Limited(TRect{x1, y1, x2, y2});
    if (r.IsEmpty())
        return;
    const QRectF box(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
    std::optional<TArcSweep> sweep;
    qreal start = 0, span = 360;
    if (kind < 3) {
        sweep.emplace(r, QPoint(x3, y3), QPoint(x4, y4));
        start = sweep->Start();
        span = sweep->Sweep();
    }
    const QSize corner =
        kind == 4 ? QSize(qBound(0, x3, r.Width()), qBound(0, y3, r.Height())) : QSize();
    if (ExactOutline()) {
        if (FPen.Mode != pmNop) {
            if (WritesShapesDirect()) {
                DrawExactShape(nullptr, r, kind, sweep ? &*sweep : nullptr, corner);
            } else {
                TPaintScope scope(*this, true);
                DrawExactShape(&scope.Painter(), r, kind, sweep ? &*sweep : nullptr, corner);
            }
        }
        Changed();
        return;
    }
    QPainterPath path;
    if (kind == 4) {
        path.addRoundedRect(box, qMax(0.0, (corner.width() - 1) / 2.0),
                            qMax(0.0, (corner.height() - 1) / 2.0));
    } else {
        if (kind == 1)
            path.moveTo(box.center());
        else
            path.arcMoveTo(box, start);
        path.arcTo(box, start, span);
        if (kind != 0)
            path.closeSubpath();
    }
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
    // A solid brush on a direct image: the region's rectangles, as filling their path sets them.
    if (FBrush.Style == bsSolid && WritesImageDirect()) {
        QRect bounds = FImage->rect();
        if (FHasClip)
            bounds &= FClip.boundingRect();
        const QRgb rgb = FBrush.Color.ToQColor().rgb();
        uchar *bits = FImage->bits();
        const qsizetype stride = FImage->bytesPerLine();
        for (const QRect &rect : region) {
            const QRect r = rect & bounds;
            for (int y = r.top(); y <= r.bottom(); ++y)
                FillPixels(reinterpret_cast<QRgb *>(bits + y * stride) + r.left(), r.width(), rgb);
        }
        Changed();
        return;
    }
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

const TCanvas::TResolvedFont &TCanvas::ResolvedFont() const
{
    const int ppi = PixelsPerInchY();
    if (!FResolvedFont || FResolvedFont->Ppi != ppi || !(FResolvedFont->Font == FFont)) {
        const QFont font = FFont.ToQFont(ppi);
        FResolvedFont.emplace(TResolvedFont{FFont, ppi, font, QFontMetrics(font)});
    }
    return *FResolvedFont;
}

QSize TCanvas::TextExtent(const QString &text) const
{
    const QFontMetrics &m = ResolvedFont().Metrics;
    return QSize(m.horizontalAdvance(text), m.ascent() + m.descent());
}

TCanvas::TTextMetric TCanvas::TextMetrics() const
{
    const QFontMetrics &m = ResolvedFont().Metrics;
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
    p.setFont(ResolvedFont().QtFont);
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
