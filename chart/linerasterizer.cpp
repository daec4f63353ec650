#include "chart/linerasterizer.h"

#include "chart/commandstore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

bool TLineRasterizer::LimitSegment(QPoint &a, QPoint &b, const QRect &area, int margin)
{
    const QRect wide = area.adjusted(-margin, -margin, margin, margin);
    if (wide.contains(a) && wide.contains(b))
        return true;
    // Liang-Barsky against the enlarged area, in doubles (ends may be far out).
    const double x0 = a.x(), y0 = a.y();
    const double dx = double(b.x()) - x0, dy = double(b.y()) - y0;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - wide.left(), wide.right() - x0, y0 - wide.top(), wide.bottom() - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const QPoint na(int(std::lround(x0 + t0 * dx)), int(std::lround(y0 + t0 * dy)));
    const QPoint nb(int(std::lround(x0 + t1 * dx)), int(std::lround(y0 + t1 * dy)));
    a = na;
    b = nb;
    return true;
}

bool TLineRasterizer::CanWrite(const QImage &image)
{
    switch (image.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied: return !image.isNull();
        default: return false;
    }
}

namespace {

// The canvas keeps coordinates within this range; the walk below does the same.
constexpr int kCoordLimit = 1 << 27;

qint64 Lim(int v)
{
    return std::clamp(v, -kCoordLimit, kCoordLimit);
}

// ceil(n / d) for d > 0.
qint64 CeilDiv(qint64 n, qint64 d)
{
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}

}  // namespace

// Pixel i (from 0) of the line lies i steps along the major axis and round(i * dminor / dmajor)
// (halves away from the start) along the minor one; only the range of i inside the clip is
// walked, so far end points cost nothing.
void TLineRasterizer::DrawThinLine(QImage &image, QPoint a, QPoint b, const QRect &clip,
                                   QRgb colour)
{
    const QRect area = clip & image.rect();
    const qint64 ax = Lim(a.x()), ay = Lim(a.y()), bx = Lim(b.x()), by = Lim(b.y());
    const bool xMajor = std::abs(bx - ax) >= std::abs(by - ay);
    const qint64 a0 = xMajor ? ax : ay, a1 = xMajor ? ay : ax;
    const qint64 dMaj = xMajor ? bx - ax : by - ay, dMin = xMajor ? by - ay : bx - ax;
    const qint64 steps = std::abs(dMaj), run = std::abs(dMin);
    const int sMaj = dMaj < 0 ? -1 : 1, sMin = dMin < 0 ? -1 : 1;
    if (steps == 0 || area.isEmpty())
        return;
    const qint64 loMaj = xMajor ? area.left() : area.top();
    const qint64 hiMaj = xMajor ? area.right() : area.bottom();
    const qint64 loMin = xMajor ? area.top() : area.left();
    const qint64 hiMin = xMajor ? area.bottom() : area.right();
    qint64 first = std::max<qint64>(0, sMaj > 0 ? loMaj - a0 : a0 - hiMaj);
    qint64 last = std::min<qint64>(steps - 1, sMaj > 0 ? hiMaj - a0 : a0 - loMaj);
    const qint64 kLo = sMin > 0 ? loMin - a1 : a1 - hiMin;
    const qint64 kHi = sMin > 0 ? hiMin - a1 : a1 - loMin;
    if (run == 0) {
        if (kLo > 0 || kHi < 0)
            return;
    } else {
        first = std::max(first, CeilDiv(2 * steps * kLo - steps, 2 * run));
        last = std::min(last, CeilDiv(2 * steps * (kHi + 1) - steps, 2 * run) - 1);
    }
    uchar *bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (qint64 i = first; i <= last; ++i) {
        const qint64 k = (2 * i * run + steps) / (2 * steps);
        const qint64 major = a0 + sMaj * i, minor = a1 + sMin * k;
        const qint64 x = xMajor ? major : minor, y = xMajor ? minor : major;
        reinterpret_cast<QRgb *>(bits + y * stride)[x] = colour;
    }
}

namespace {

void FillColumn(QImage &image, const QRect &area, int x, int lo, int hi, QRgb colour)
{
    if (x < area.left() || x > area.right())
        return;
    lo = std::max(lo, area.top());
    hi = std::min(hi, area.bottom());
    uchar *bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    for (int y = lo; y <= hi; ++y)
        reinterpret_cast<QRgb *>(bits + y * stride)[x] = colour;
}

}  // namespace

namespace {

// A closed interval of real inputs v for which trunc((v - origin) * scale + 0.5) is sure to lie
// in qLo..qHi, whatever the rounding of the double operations: the exact boundaries shrunk by a
// margin (1e-9 of the magnitudes involved) far above that rounding. Empty (Lo > Hi) when no
// such interval is worth having. NaN is in no interval.
struct TInputRange {
    double Lo = 1, Hi = 0;
    bool Contains(float v) const { return double(v) >= Lo && double(v) <= Hi; }
};

TInputRange InputRange(double origin, double scale, qint64 qLo, qint64 qHi)
{
    constexpr qint64 kLimit = 100000000;
    if (!(scale > 0) || !std::isfinite(scale) || !std::isfinite(origin) || qLo > qHi ||
        qLo < -kLimit || qHi > kLimit)
        return {};
    // trunc(A) >= qLo: A >= qLo for qLo >= 1, A > qLo - 1 otherwise; trunc(A) <= qHi likewise.
    const double aLo = qLo >= 1 ? double(qLo) : double(qLo) - 1;
    const double aHi = qHi >= 0 ? double(qHi) + 1 : double(qHi);
    const double roughLo = (aLo - 0.5) / scale + origin;
    const double roughHi = (aHi - 0.5) / scale + origin;
    const double magnitude =
        1 + scale * (std::abs(origin) + std::max(std::abs(roughLo), std::abs(roughHi))) +
        std::max(std::abs(aLo), std::abs(aHi));
    const double margin = 1e-9 * magnitude;
    if (!std::isfinite(magnitude) || aHi - aLo <= 4 * margin)
        return {};
    return {(aLo + margin - 0.5) / scale + origin, (aHi - margin - 0.5) / scale + origin};
}

}  // namespace

qsizetype TLineRasterizer::DrawLineRun(QImage &image, const QRect &clip, QRgb colour,
                                       const QByteArray &store, qsizetype pos,
                                       const TMapping &mapping, QPoint &pen)
{
    constexpr int kRecord = 9;
    constexpr char kLine = 2;
    constexpr int kEmptyLo = std::numeric_limits<int>::max();
    constexpr int kEmptyHi = std::numeric_limits<int>::min();
    const QRect area = clip & image.rect();
    const char *data = store.constData();
    const qsizetype size = store.size();
    int ax = pen.x(), ay = pen.y();
    // The merged vertical segments of column spanX: rows spanLo..spanHi (empty when lo > hi).
    int spanX = ax, spanLo = kEmptyLo, spanHi = kEmptyHi;
    // While the pen is inside the span, a record whose point maps into the span too (same column,
    // a row of the span) draws nothing new: it is recognised from its real values, against the
    // input ranges of the span, without mapping it. Only the last such point is mapped, when
    // the pen position is needed again.
    bool penInSpan = false;
    TInputRange columnRange, rowRange;
    int rangeX = 0, rangeLo = kEmptyLo, rangeHi = kEmptyHi;
    const char *skipped = nullptr;
    const qsizetype lastStart = size - kRecord;
    while (pos <= lastStart && data[pos] == kLine) {
        const char *p = data + pos + 1;
        pos += kRecord;
        const float xf = TCommandStore::ReadFloat(p), yf = TCommandStore::ReadFloat(p + 4);
        if (penInSpan && columnRange.Contains(xf) && rowRange.Contains(yf)) {
            skipped = p;
            continue;
        }
        if (skipped) {
            const QPoint last = mapping.Map(TCommandStore::ReadFloat(skipped),
                                            TCommandStore::ReadFloat(skipped + 4));
            ax = last.x();
            ay = last.y();
            skipped = nullptr;
        }
        const QPoint b = mapping.Map(xf, yf);
        const int bx = b.x(), by = b.y();
        if (bx == ax) {
            if (by != ay) {
                // A vertical segment sets ay up to, not including, by.
                if (spanX != ax) {
                    if (spanLo <= spanHi)
                        FillColumn(image, area, spanX, spanLo, spanHi, colour);
                    spanX = ax;
                    spanLo = kEmptyLo;
                    spanHi = kEmptyHi;
                }
                spanLo = std::min(spanLo, std::min(ay, by + 1));
                spanHi = std::max(spanHi, std::max(ay, by - 1));
            }
        } else {
            DrawThinLine(image, QPoint(ax, ay), b, clip, colour);
        }
        ax = bx;
        ay = by;
        penInSpan = spanLo <= spanHi && ax == spanX && ay >= spanLo && ay <= spanHi;
        if (penInSpan && (spanX != rangeX || spanLo != rangeLo || spanHi != rangeHi)) {
            rangeX = spanX;
            rangeLo = spanLo;
            rangeHi = spanHi;
            columnRange = InputRange(mapping.OriginX, mapping.ScaleX, qint64(spanX) - mapping.BaseX,
                                     qint64(spanX) - mapping.BaseX);
            rowRange = InputRange(mapping.OriginY, mapping.ScaleY, qint64(mapping.BaseY) - spanHi,
                                  qint64(mapping.BaseY) - spanLo);
        }
    }
    if (skipped) {
        const QPoint last =
            mapping.Map(TCommandStore::ReadFloat(skipped), TCommandStore::ReadFloat(skipped + 4));
        ax = last.x();
        ay = last.y();
    }
    if (spanLo <= spanHi)
        FillColumn(image, area, spanX, spanLo, spanHi, colour);
    pen = QPoint(ax, ay);
    return pos;
}
