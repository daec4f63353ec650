#include "chart/linerasterizer.h"

#include "chart/commandstore.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define KESTROVA_AVX2_WALK 1

#endif

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

// A little-endian float32 field, decoded inline: the replay reads two per record.
inline float LoadF32(const char *field)
{
    const quint32 bits = qFromLittleEndian<quint32>(field);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

#ifdef __SSE2__
// The x and y of two records, each 8 bytes from a and b: x(a), y(a), x(b), y(b) (x86 is
// little-endian, as the store).
inline __m128 PairsOfPoints(const char *a, const char *b)
{
    quint64 first, second;
    std::memcpy(&first, a, 8);
    std::memcpy(&second, b, 8);
    return _mm_castsi128_ps(_mm_set_epi64x(qint64(second), qint64(first)));
}
#endif

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

namespace {

// The float interval [Lo, Hi] holding exactly the floats of a TInputRange (empty: Lo > Hi), so
// that a stored value is tested without converting it.
struct TFloatRange {
    float Lo = 1, Hi = 0;
    bool Contains(float v) const { return v >= Lo && v <= Hi; }
};

TFloatRange FloatRange(const TInputRange &r)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (!(r.Lo <= r.Hi) || r.Lo < -kMax || r.Hi > kMax)
        return {};
    float lo = float(r.Lo), hi = float(r.Hi);
    if (double(lo) < r.Lo)
        lo = std::nextafter(lo, std::numeric_limits<float>::infinity());
    if (double(hi) > r.Hi)
        hi = std::nextafter(hi, -std::numeric_limits<float>::infinity());
    return {lo, hi};
}

#ifdef KESTROVA_AVX2_WALK
// Line records eight at a time on AVX2 (chosen at run time). The result of a sequence of whole
// blocks of eight, all line records in the column with a finite y: the smallest and largest y
// of all but the last record, and the last one's y (End == the start: none taken).
struct TWideBlocks {
    qsizetype End;
    float Min, Max, Last;
};

// Whether the record at r is a line whose x is in the column (its y is not looked at).
inline bool LineInColumn(const char *r, const TFloatRange &column)
{
    return r[0] == 2 && column.Contains(LoadF32(r + 1));
}

// The (x, y) pairs of the records at r, r + 9, r + 18 and r + 27 (r at their x), in order:
// each pair broadcast from memory (a load alone), three blends.
__attribute__((target("avx2"))) inline __m256 FourPairs(const char *r)
{
    quint64 a, b, c, d;
    std::memcpy(&a, r, 8);
    std::memcpy(&b, r + 9, 8);
    std::memcpy(&c, r + 18, 8);
    std::memcpy(&d, r + 27, 8);
    const __m256i ab =
        _mm256_blend_epi32(_mm256_set1_epi64x(qint64(a)), _mm256_set1_epi64x(qint64(b)), 0x0C);
    const __m256i cd =
        _mm256_blend_epi32(_mm256_set1_epi64x(qint64(c)), _mm256_set1_epi64x(qint64(d)), 0xC0);
    return _mm256_castsi256_ps(_mm256_blend_epi32(ab, cd, 0xF0));
}

// The type bytes of a block: bytes 0, 9, 18, 27 of its first 32 and 4, 13, 22, 31 of its next
// 32; Lines, a line's type there.
struct TTypeMasks {
    __m256i Mask0, Mask1, Lines0, Lines1;
};

__attribute__((target("avx2"))) inline TTypeMasks TypeMasks()
{
    const __m256i mask0 = _mm256_setr_epi8(-1, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0,
                                           -1, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0);
    const __m256i mask1 = _mm256_setr_epi8(0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0,
                                           0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, 0, -1);
    const __m256i line = _mm256_set1_epi8(2);
    return {mask0, mask1, _mm256_and_si256(mask0, line), _mm256_and_si256(mask1, line)};
}

// One step: blocks of eight records from r into the extremes (low, high: all but the held
// block), NaN lanes into nan and, when Typed, the type bytes that are not a line's into wrong.
// Within a run the store's index holds, the types are known and not loaded.
template <bool Typed>
__attribute__((target("avx2"))) inline void Step(const char *r, int blocks, const TTypeMasks &types,
                                                 __m256 &low, __m256 &high, __m256 &held,
                                                 __m256 &nan, __m256i &wrong)
{
    for (int k = 0; k < blocks; ++k, r += 72) {
        __builtin_prefetch(r + 2048);  // the store is read once, front to back
        const __m256 first = FourPairs(r + 1), second = FourPairs(r + 37);
        if constexpr (Typed) {
            const __m256i t0 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(r));
            const __m256i t1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(r + 32));
            wrong = _mm256_or_si256(
                wrong,
                _mm256_or_si256(_mm256_xor_si256(_mm256_and_si256(t0, types.Mask0), types.Lines0),
                                _mm256_xor_si256(_mm256_and_si256(t1, types.Mask1), types.Lines1)));
        }
        nan = _mm256_or_ps(nan, _mm256_cmp_ps(first, second, _CMP_UNORD_Q));
        low = _mm256_min_ps(low, _mm256_min_ps(held, first));
        high = _mm256_max_ps(high, _mm256_max_ps(held, first));
        held = second;
    }
}

// Takes blocks of eight records from pos in steps of one, two, four, eight, then 16 blocks, each
// step tested once at its end: every type byte a line's (not tested before lines, the end of the
// run the store's index holds from pos), every x in the column, no NaN, every y
// finite (the pairs' extremes against (Lo, -max) and (Hi, max) lane by lane). A step that fails
// is dropped and retried one block at a time; a block that fails ends the walk, and the caller
// takes its records on the narrower paths. Within a step no branch depends on the data: loads,
// blends, the type bytes' masks, minima and maxima.
__attribute__((target("avx2"))) TWideBlocks WideBlocks(const char *data, qsizetype pos,
                                                       qsizetype size, qsizetype lines,
                                                       TFloatRange column)
{
    constexpr qsizetype kBlock = 72;
    constexpr int kLongest = 16;  // blocks a step
    const TWideBlocks none{pos, 0, 0, 0};
    if (!(column.Lo <= column.Hi) || size - pos < kBlock)
        return none;
    constexpr float kMax = std::numeric_limits<float>::max();
    const __m256 lo =
        _mm256_setr_ps(column.Lo, -kMax, column.Lo, -kMax, column.Lo, -kMax, column.Lo, -kMax);
    const __m256 hi =
        _mm256_setr_ps(column.Hi, kMax, column.Hi, kMax, column.Hi, kMax, column.Hi, kMax);
    const TTypeMasks types = TypeMasks();
    // low and high: the lane-wise extremes of every block but the last, held (its last pair is
    // the last point); held starts as the first block's first half, which is taken with it.
    __m256 low = _mm256_set1_ps(std::numeric_limits<float>::infinity());
    __m256 high = _mm256_set1_ps(-std::numeric_limits<float>::infinity());
    __m256 held = FourPairs(data + pos + 1);
    qsizetype at = pos;
    for (int step = 1;;) {
        const qsizetype left = (size - at) / kBlock;
        if (left == 0)
            break;
        int blocks = int(std::min<qsizetype>(step, left));
        // A step is shortened until its last record is a line in the column: with x rising
        // through the columns, as a trace's, a column's last records are then reached without
        // a failed step.
        while (blocks > 1 && !LineInColumn(data + at + blocks * kBlock - 9, column))
            blocks /= 2;
        if (blocks == 1 && !LineInColumn(data + at + kBlock - 9, column))
            break;
        __m256 stepLow = low, stepHigh = high, stepHeld = held;
        __m256 nan = _mm256_setzero_ps();
        __m256i wrong = _mm256_setzero_si256();
        if (at + blocks * kBlock <= lines)
            Step<false>(data + at, blocks, types, stepLow, stepHigh, stepHeld, nan, wrong);
        else
            Step<true>(data + at, blocks, types, stepLow, stepHigh, stepHeld, nan, wrong);
        const __m256 inside =
            _mm256_and_ps(_mm256_cmp_ps(_mm256_min_ps(stepLow, stepHeld), lo, _CMP_GE_OQ),
                          _mm256_cmp_ps(_mm256_max_ps(stepHigh, stepHeld), hi, _CMP_LE_OQ));
        if (_mm256_movemask_ps(inside) != 0xFF || !_mm256_testz_si256(wrong, wrong) ||
            _mm256_movemask_ps(nan) != 0) {
            if (blocks == 1)
                break;
            step = 1;
            continue;
        }
        low = stepLow;
        high = stepHigh;
        held = stepHeld;
        at += blocks * kBlock;
        step = std::min(2 * blocks, kLongest);
    }
    if (at == pos)
        return none;
    alignas(32) float l[8], h[8], last[8];
    _mm256_store_ps(l, low);
    _mm256_store_ps(h, high);
    _mm256_store_ps(last, held);
    // The y's are the odd lanes; the held block's last pair is the last point.
    TWideBlocks taken{at, std::min(last[1], std::min(last[3], last[5])),
                      std::max(last[1], std::max(last[3], last[5])), last[7]};
    for (int lane = 1; lane < 8; lane += 2) {
        taken.Min = std::min(taken.Min, l[lane]);
        taken.Max = std::max(taken.Max, h[lane]);
    }
    return taken;
}

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

// The walk of one run of line records. Segments inside one pixel column are merged into one
// span of rows per column. Consecutive points whose x surely maps into the pen's column are
// taken as a batch by their real y alone: the mapping to rows is monotone (non-increasing) in
// y, so the rows of the batch's smallest and largest y and of its last point give exactly the
// rows its vertical segments cover, without mapping each point.
class TRunWalker {
public:
    TRunWalker(QImage &image, const QRect &clip, QRgb colour,
               const TLineRasterizer::TMapping &mapping, QPoint pen,
               std::vector<TLineRasterizer::TOp> *ops)
        : FImage(image),
          FClip(clip),
          FArea(clip & image.rect()),
          FColour(colour),
          FMapping(mapping),
          FOps(ops),
          FAx(pen.x()),
          FAy(pen.y()),
          FSpanX(pen.x()),
          FBatchable(std::isfinite(mapping.ScaleY) && mapping.ScaleY >= 0)
    {
        UpdateColumnRange();
    }

    // Points taken by their real y alone: the smallest and largest y of all but the last one,
    // and the last one (NaN: none). Kept by the caller's loop in registers.
    struct TBatch {
        float Min = std::numeric_limits<float>::infinity();
        float Max = -std::numeric_limits<float>::infinity();
        float Last = std::numeric_limits<float>::quiet_NaN();
        // std::min/max keep the first operand when the second is NaN.
        void Add(float y)
        {
            Min = std::min(Min, Last);
            Max = std::max(Max, Last);
            Last = y;
        }
        // Add of every y of a sequence of records: min and max of all but the last, last.
        void AddSequence(float min, float max, float last)
        {
            Min = std::min(Min, std::min(min, Last));
            Max = std::max(Max, std::max(max, Last));
            Last = last;
        }
#ifdef __SSE2__
        // Add of every y of a sequence of blocks of four in turn (finite values): low and high
        // are the lane-wise extremes of all blocks but the last, held. The same extremes (only
        // a zero's sign may differ, which maps to the same row).
        void AddBlocks(__m128 low, __m128 high, __m128 held)
        {
            // The held block's first three join the extremes; its fourth is the last point.
            const __m128 three = _mm_shuffle_ps(held, held, _MM_SHUFFLE(2, 2, 1, 0));
            low = _mm_min_ps(low, three);
            high = _mm_max_ps(high, three);
            low = _mm_min_ps(low, _mm_movehl_ps(low, low));
            high = _mm_max_ps(high, _mm_movehl_ps(high, high));
            low = _mm_min_ss(low, _mm_shuffle_ps(low, low, _MM_SHUFFLE(1, 1, 1, 1)));
            high = _mm_max_ss(high, _mm_shuffle_ps(high, high, _MM_SHUFFLE(1, 1, 1, 1)));
            Min = std::min(Min, std::min(_mm_cvtss_f32(low), Last));
            Max = std::max(Max, std::max(_mm_cvtss_f32(high), Last));
            Last = _mm_cvtss_f32(_mm_shuffle_ps(held, held, _MM_SHUFFLE(3, 3, 3, 3)));
        }
#endif
    };

    // The x values that surely map into the pen's column (empty when batches are off).
    const TFloatRange &Column() const
    {
        return FColumn;
    }

    // The segments pen -> q1 -> ... -> qm of a batch, records [from, to) of the store: every
    // row from the lowest to the highest of pen, q1 ... qm, except qm's row unless a segment
    // covers it. It is covered when it lies strictly inside that range or is the pen's row;
    // when it is an end of the range reached only by the q's, it is covered only if the path
    // left it before qm, which the rows' extremes do not tell. That row is then left out and
    // owed: the pen leaving it later draws it anyway (every segment includes its start), and a
    // run that ends first walks the batch again to decide.
    void Flush(const TBatch &b, qsizetype from, qsizetype to)
    {
        if (std::isnan(b.Last))
            return;
        const int last = Row(b.Last);
        int lo = FAy, hi = FAy;
        if (b.Min <= b.Max) {
            lo = std::min(lo, Row(b.Max));
            hi = std::max(hi, Row(b.Min));
        }
        if (lo == hi) {
            Vertical(last);
            return;
        }
        if ((last != lo && last != hi) || last == FAy) {
            Extend(std::min(lo, last + 1), std::max(hi, last - 1));
        } else {
            Extend(last == lo ? lo + 1 : lo, last == hi ? hi - 1 : hi);
            FOwed = {true, from, to, FAy, last};
        }
        FAy = last;
    }

    // A segment from the pen to a mapped point. Leaving the column ends its span: a later
    // visit to the same column starts a span of its own, or the rows between would be filled.
    void Segment(QPoint b)
    {
        if (b.x() == FAx) {
            Vertical(b.y());
            return;
        }
        FlushSpan();
        FOwed.Pending = false;  // the line includes its start, the owed row
        TLineRasterizer::DrawThinLine(FImage, QPoint(FAx, FAy), b, FClip, FColour);
        if (FOps)
            FOps->push_back({false, QPoint(FAx, FAy), b});
        FAx = b.x();
        FAy = b.y();
        UpdateColumnRange();
    }

    // Ends the walk over the store's bytes; returns the pen.
    QPoint Finish(const char *data)
    {
        if (FOwed.Pending && OwedRowCovered(data))
            Extend(FOwed.Row, FOwed.Row);
        FlushSpan();
        return QPoint(FAx, FAy);
    }

private:
    static constexpr int kEmptyLo = std::numeric_limits<int>::max();
    static constexpr int kEmptyHi = std::numeric_limits<int>::min();

    // A batch's last row left out by Flush (see there).
    struct TOwedRow {
        bool Pending = false;
        qsizetype From = 0, To = 0;
        int PenRow = 0, Row = 0;
    };

    // Whether the batch's path left the owed row before its end: a segment from it elsewhere.
    bool OwedRowCovered(const char *data) const
    {
        int previous = FOwed.PenRow;
        for (qsizetype pos = FOwed.From; pos < FOwed.To; pos += 9) {
            const int row = Row(LoadF32(data + pos + 5));
            if (previous == FOwed.Row && row != FOwed.Row)
                return true;
            previous = row;
        }
        return false;
    }

    int Row(float y) const
    {
        return FMapping.Map(0, y).y();
    }

    // The vertical segment from the pen's row to row `to` in the pen's column, end excluded.
    void Vertical(int to)
    {
        if (to == FAy)
            return;
        Extend(std::min(FAy, to + 1), std::max(FAy, to - 1));
        FAy = to;
    }

    void Extend(int lo, int hi)
    {
        FOwed.Pending = false;  // the range reaches the pen's row: the pen leaves it
        if (FSpanX != FAx) {
            FlushSpan();
            FSpanX = FAx;
        }
        FSpanLo = std::min(FSpanLo, lo);
        FSpanHi = std::max(FSpanHi, hi);
    }

    void FlushSpan()
    {
        if (FSpanLo > FSpanHi)
            return;
        FillColumn(FImage, FArea, FSpanX, FSpanLo, FSpanHi, FColour);
        if (FOps)
            FOps->push_back({true, QPoint(FSpanX, FSpanLo), QPoint(FSpanX, FSpanHi)});
        FSpanLo = kEmptyLo;
        FSpanHi = kEmptyHi;
    }

    void UpdateColumnRange()
    {
        const qint64 column = qint64(FAx) - FMapping.BaseX;
        FColumn = FBatchable
                      ? FloatRange(InputRange(FMapping.OriginX, FMapping.ScaleX, column, column))
                      : TFloatRange{};
    }

    QImage &FImage;
    QRect FClip, FArea;
    QRgb FColour;
    const TLineRasterizer::TMapping &FMapping;
    std::vector<TLineRasterizer::TOp> *FOps;
    int FAx, FAy;
    int FSpanX, FSpanLo = kEmptyLo, FSpanHi = kEmptyHi;
    TOwedRow FOwed;
    bool FBatchable;
    TFloatRange FColumn;
};

}  // namespace

qsizetype TLineRasterizer::DrawLineRun(QImage &image, const QRect &clip, QRgb colour,
                                       const TCommandStore &commands, qsizetype pos,
                                       const TMapping &mapping, QPoint &pen, std::vector<TOp> *ops,
                                       bool avx2)
{
    constexpr int kRecord = 9;
    constexpr char kLine = 2;
    const QByteArray &store = commands.Bytes();
    const char *data = store.constData();
    const qsizetype lastStart = store.size() - kRecord;
    constexpr float kMaxFloat = std::numeric_limits<float>::max();
    TRunWalker walker(image, clip, colour, mapping, pen, ops);
    TRunWalker::TBatch batch;
    qsizetype batchStart = pos;
    TFloatRange column = walker.Column();
#ifdef KESTROVA_AVX2_WALK
    const bool wide = avx2 && HasAvx2();
#else
    (void)avx2;
#endif
    for (;; pos += kRecord) {
#ifdef KESTROVA_AVX2_WALK
        // Only where the sixteenth record ahead is a line in the column too: sparse data, a
        // column every few records, gains nothing there and would pay for the call.
        if (wide && store.size() - pos >= 16 * kRecord &&
            LineInColumn(data + pos + 15 * kRecord, column)) {
            const TWideBlocks taken =
                WideBlocks(data, pos, store.size(), commands.LineRunEnd(pos), column);
            if (taken.End != pos) {
                batch.AddSequence(taken.Min, taken.Max, taken.Last);
                pos = taken.End;
            }
        }
#endif
#ifdef __SSE2__
        // Four line records at a time while all four stay in the pen's column with a finite y:
        // then they only widen the batch. Dense data spends most of its records here. A
        // record's x and y are adjacent: one 8-byte load takes both.
        const __m128 lo = _mm_set1_ps(column.Lo), hi = _mm_set1_ps(column.Hi);
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
        const __m128 largest = _mm_set1_ps(kMaxFloat);
        __m128 low = _mm_set1_ps(std::numeric_limits<float>::infinity());
        __m128 high = _mm_set1_ps(-std::numeric_limits<float>::infinity());
        __m128 heldLow = low, heldHigh = high;
        const qsizetype lastBlock = store.size() - 4 * kRecord;
        while (pos <= lastBlock && data[pos] == kLine && data[pos + kRecord] == kLine &&
               data[pos + 2 * kRecord] == kLine && data[pos + 3 * kRecord] == kLine) {
            const char *r = data + pos;
            const __m128 p = PairsOfPoints(r + 1, r + 1 + kRecord);
            const __m128 q = PairsOfPoints(r + 1 + 2 * kRecord, r + 1 + 3 * kRecord);
            const __m128 xs = _mm_shuffle_ps(p, q, _MM_SHUFFLE(2, 0, 2, 0));
            const __m128 ys = _mm_shuffle_ps(p, q, _MM_SHUFFLE(3, 1, 3, 1));
            const __m128 in = _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(xs, lo), _mm_cmple_ps(xs, hi)),
                                         _mm_cmple_ps(_mm_and_ps(ys, magnitude), largest));
            if (_mm_movemask_ps(in) != 0xF)
                break;
            __builtin_prefetch(r + 2048);  // the store is read once, front to back
            low = _mm_min_ps(low, heldLow);
            high = _mm_max_ps(high, heldHigh);
            heldLow = heldHigh = ys;
            pos += 4 * kRecord;
        }
        if (_mm_movemask_ps(_mm_cmple_ps(heldLow, heldHigh)) != 0)  // a block was taken
            batch.AddBlocks(low, high, heldLow);
#endif
        if (pos > lastStart || data[pos] != kLine)
            break;
        __builtin_prefetch(data + pos + 2048);
        const float x = LoadF32(data + pos + 1), y = LoadF32(data + pos + 5);
        if (column.Contains(x) && std::abs(y) <= kMaxFloat) {
            batch.Add(y);
            continue;
        }
        walker.Flush(batch, batchStart, pos);
        batch = TRunWalker::TBatch{};
        walker.Segment(mapping.Map(x, y));
        column = walker.Column();
        batchStart = pos + kRecord;
    }
    walker.Flush(batch, batchStart, pos);
    pen = walker.Finish(data);
    return pos;
}

void TLineRasterizer::DrawOps(QImage &image, const QRect &clip, QRgb colour,
                              const std::vector<TOp> &ops)
{
    const QRect area = clip & image.rect();
    for (const TOp &op : ops) {
        if (op.Column)
            FillColumn(image, area, op.A.x(), op.A.y(), op.B.y(), colour);
        else
            DrawThinLine(image, op.A, op.B, clip, colour);
    }
}
