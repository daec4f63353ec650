#include "arcsweep.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

// A pixel within this angle (radians, as a sine) of a radial is decided by the angles. The
// angles' rounding is below 1e-14 radians, so everywhere else the signs give their answer.
constexpr qreal kNear = 1e-9;
// Radials closer than this are taken as one (or as opposite) radial: then every pixel between
// them lies within kNear of both.
constexpr qreal kSameRadial = kNear / 2;

// floor(n / d) for d != 0.
qint64 FloorDiv(qint64 n, qint64 d)
{
    const qint64 q = n / d;
    return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

}  // namespace

TArcSweep::TArcSweep(const TRect &box, QPoint start, QPoint end)
    : FBox(box),
      FC0(2 * qint64(box.Left) + box.Width() - 1),
      FD0(2 * qint64(box.Top) + box.Height() - 1)
{
    FStart = Angle(box, start.x(), start.y());
    qreal sweep = Angle(box, end.x(), end.y()) - FStart;
    while (sweep <= 0)
        sweep += 360;
    while (sweep > 360)
        sweep -= 360;
    FSweep = sweep;
    FA = qMax(box.Width() - 1, 1);
    FB = qMax(box.Height() - 1, 1);
    FS = RadialOf(start.x(), start.y());
    FE = RadialOf(end.x(), end.y());
    // The radials as the angles see them (scaled to a circle).
    const qreal su = FS.X / FA, sv = FS.Y / FB, eu = FE.X / FA, ev = FE.Y / FB;
    FSLength = std::hypot(su, sv);
    FELength = std::hypot(eu, ev);
    const qreal cross = su * ev - sv * eu;
    if (std::abs(cross) <= kSameRadial * FSLength * FELength)
        FClass = su * eu + sv * ev > 0 ? scSame : scHalf;
    else
        FClass = cross > 0 ? scNarrow : scWide;
    // A pixel's scaled radial is at most sqrt(2) long, so no pixel with a larger |cross| (in
    // doubled units, scaled by FA FB) is near the radial.
    FNearS = kNear * M_SQRT2 * FSLength * FA * FB * (1 + 1e-6);
    FNearE = kNear * M_SQRT2 * FELength * FA * FB * (1 + 1e-6);
    // Below 1 no pixel off a radial's line is near it: a cross product is an integer.
    FFine = FNearS < 1 && FNearE < 1;
    SetUpCrossing(FS, FCrossS);
    SetUpCrossing(FE, FCrossE);
    FRowsByCrossings = FFine && !Whole();
    for (int sp = 0; sp < 2; ++sp) {
        for (int pe = 0; pe < 2; ++pe)
            FAnswer[sp][pe] = Decide(sp ? 1 : -1, pe ? 1 : -1);
    }
}

void TArcSweep::SetUpCrossing(const TRadial &r, TCrossing &c) const
{
    c.XSign = r.X > 0 ? 1 : -1;
    c.Horizontal = r.Y == 0;
    if (r.Y == 0)
        return;
    // cross(r, p) = r.X dy - r.Y (2x - c0) is 0 at x = (r.X dy + c0 r.Y) / (2 r.Y); a row down,
    // dy is 2 less.
    c.Sign = r.Y > 0 ? 1 : -1;
    c.Den = 2 * r.Y * c.Sign;
    const qint64 step = -2 * r.X * c.Sign;
    c.StepQ = FloorDiv(step, c.Den);
    c.StepM = step - c.StepQ * c.Den;
}

void TArcSweep::SetRow(int y)
{
    for (int i = 0; i < 2; ++i) {
        const TRadial &r = i == 0 ? FS : FE;
        TCrossing &c = i == 0 ? FCrossS : FCrossE;
        if (r.Y == 0)
            continue;
        // Below 2^63: |r.X dy| < 2^61, |c0 r.Y| < 2^62.
        const qint64 num = (r.X * (FD0 - 2 * qint64(y)) + FC0 * r.Y) * c.Sign;
        c.Q = FloorDiv(num, c.Den);
        c.M = num - c.Q * c.Den;
    }
}

qreal TArcSweep::Angle(const TRect &r, int x, int y)
{
    const QRectF box(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
    const qreal dx = x - box.center().x() + 0.5;
    const qreal dy = box.center().y() - 0.5 - y;
    const qreal a = qMax<qreal>(box.width() / 2, 0.5);
    const qreal b = qMax<qreal>(box.height() / 2, 0.5);
    return qRadiansToDegrees(std::atan2(dy / b, dx / a));
}

bool TArcSweep::AngleContains(int x, int y) const
{
    qreal a = Angle(FBox, x, y) - FStart;
    while (a < 0)
        a += 360;
    return a <= FSweep;
}

bool TArcSweep::NearRadial(TRadial p, qint64 cross, qreal radialLength, qreal nearLimit) const
{
    const qreal c = std::abs(qreal(cross));
    if (c > nearLimit)
        return false;
    if (cross == 0)
        return true;
    return c <= kNear * std::hypot(p.X / FA, p.Y / FB) * radialLength * FA * FB;
}

bool TArcSweep::Contains(int x, int y) const
{
    return Whole() || Decision(x, y);
}

bool TArcSweep::NearDecision(int x, int y, TRadial p, qint64 sp, qint64 pe) const
{
    const bool near =
        FFine ? sp == 0 || pe == 0
              : NearRadial(p, sp, FSLength, FNearS) || NearRadial(p, pe, FELength, FNearE);
    return near ? AngleContains(x, y) : Decide(sp, pe);
}

void TArcSweep::Keep(int from, int to, size_t first, std::vector<TRun> &out)
{
    if (out.size() > first && out.back().To + 1 == from)
        out.back().To = to;
    else
        out.push_back({from, to});
}

void TArcSweep::AppendRuns(int y, int from, int to, std::vector<TRun> &out)
{
    if (from > to)
        return;
    if (Whole()) {
        out.push_back({from, to});
        return;
    }
    const qint64 dy = FD0 - 2 * qint64(y);
    if (!FFine) {
        AppendNearRuns(y, dy, from, to, out);
        return;
    }
    // Only pixels exactly on a radial's line are near it, and the answer changes only where a
    // pixel's radial passes the start or end radial (not their opposites: a pixel's angle
    // changes continuously along a row). So the row is cut where the start or end radial
    // crosses it, and a pixel exactly there is a piece of its own. Each piece is decided by its
    // first pixel.
    SeekRow(y);
    int cuts[6];
    int count = 0;
    auto cut = [&](qint64 x) {
        if (x > from && x <= to)
            cuts[count++] = int(x);
    };
    for (int i = 0; i < 2; ++i) {
        const TRadial &r = i == 0 ? FS : FE;
        const TCrossing &c = i == 0 ? FCrossS : FCrossE;
        // A radial reaches the rows on its own side of the centre only.
        if (dy == 0 || r.Y == 0 || (dy > 0) != (r.Y > 0))
            continue;
        if (c.M == 0)
            cut(c.Q);
        cut(c.Q + 1);
    }
    // In the centre row the radials of the pixels point left, then right (the centre pixel's
    // too), also for a horizontal radial, whose line is the whole row.
    if (dy == 0 && FC0 % 2 == 0) {
        cut(FC0 / 2);
        cut(FC0 / 2 + 1);
    } else if (dy == 0) {
        cut((FC0 + 1) / 2);
    }
    for (int i = 1; i < count; ++i) {
        for (int j = i; j > 0 && cuts[j - 1] > cuts[j]; --j)
            std::swap(cuts[j - 1], cuts[j]);
    }
    const size_t first = out.size();
    int start = from;
    for (int i = 0; i <= count; ++i) {
        const int end = (i < count ? cuts[i] : to + 1) - 1;
        if (end < start)
            continue;
        if (Decision(start, y))
            Keep(start, end, first, out);
        start = end + 1;
    }
}

bool TArcSweep::Window(const TRadial &r, qreal nearLimit, qint64 dy, int from, int to, int *lo,
                       int *hi) const
{
    // cross(p, r) along the row is 2 r.Y x - (c0 r.Y + dy r.X): linear in x.
    if (r.Y == 0) {
        if (std::abs(qreal(dy) * qreal(r.X)) > nearLimit)
            return false;
        *lo = from;
        *hi = to;
        return true;
    }
    const qreal c0 = 2 * qreal(FBox.Left) + FBox.Width() - 1;
    const qreal crossing = (qreal(dy) * qreal(r.X) / qreal(r.Y) + c0) / 2;
    const qreal half = nearLimit / (2 * std::abs(qreal(r.Y))) + 2;
    const qreal first = std::floor(crossing - half), last = std::ceil(crossing + half);
    if (last < from || first > to)
        return false;
    *lo = first > from ? int(first) : from;
    *hi = last < to ? int(last) : to;
    return true;
}

void TArcSweep::AppendNearRuns(int y, qint64 dy, int from, int to, std::vector<TRun> &out) const
{
    // Every pixel that may be near a radial lies in a window around its line's crossing and is
    // decided alone; between the windows the signs do not change.
    int windows[2][2];
    int count = 0;
    if (Window(FS, FNearS, dy, from, to, &windows[0][0], &windows[0][1]))
        ++count;
    if (Window(FE, FNearE, dy, from, to, &windows[count][0], &windows[count][1]))
        ++count;
    if (count == 2 && windows[1][0] < windows[0][0])
        std::swap(windows[0], windows[1]);
    const size_t first = out.size();
    int x = from;
    for (int i = 0; i < count; ++i) {
        const int lo = qMax(windows[i][0], x), hi = windows[i][1];
        if (lo > x && Contains(x, y))
            Keep(x, lo - 1, first, out);
        for (int px = lo; px <= hi; ++px) {
            if (Contains(px, y))
                Keep(px, px, first, out);
        }
        x = qMax(x, hi + 1);
    }
    if (x <= to && Contains(x, y))
        Keep(x, to, first, out);
}
