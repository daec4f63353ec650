#pragma once

#include <QPoint>
#include <QRectF>
#include <QtGlobal>
#include <vector>

#include "kestrova_platform_export.h"
#include "platform/rect.h"

// Which pixels of a box lie in the counter-clockwise sweep of an arc or pie of the ellipse
// inscribed in it, from the radial through a start point to the radial through an end point (as
// TCanvas::Arc takes them; equal radials give the whole ellipse).
//
// The angles are those the canvas has always used: the parametric angle of a pixel centre on
// the ellipse through the centres of the box's border pixels, in degrees (Angle), with the sweep
// from Start to Start + Sweep inclusive. A pixel is decided without any angle, by the signs of
// exact integer cross products of its radial against the start and end radials (the ellipse's
// scaling keeps those signs), except where that answer could differ from the angles' rounding:
// pixels within 1e-9 radians of the start or end radial (those exactly on a radial among them)
// are decided by the angles, as before, so every pixel is the same as with the angles.
//
// Pixels are those of the box (the box within the canvas' coordinate limit of +-2^27); start
// and end may be any points.
class KESTROVA_PLATFORM_EXPORT TArcSweep {
public:
    // Pixels From..To (inclusive) of one row.
    struct TRun {
        int From = 0;
        int To = 0;
        bool operator==(const TRun &) const = default;
    };

    // box: normalized and not empty.
    TArcSweep(const TRect &box, QPoint start, QPoint end);

    // The parametric angle of the pixel (x, y) in degrees, (-180, 180], counter-clockwise on the
    // screen from three o'clock.
    static qreal Angle(const TRect &box, int x, int y);

    qreal Start() const { return FStart; }
    // In (0, 360]; 360 when both radials have the same angle.
    qreal Sweep() const { return FSweep; }
    bool Whole() const { return FSweep >= 360; }

    bool Contains(int x, int y) const;
    // Appends to out the runs of pixels of row y between from and to (inclusive) that Contains
    // accepts, left to right. The cost is a few pixels' decisions per row, not one per pixel;
    // rows taken from the top down cost least (the radials' crossings with the row are carried
    // from one row to the next).
    void AppendRuns(int y, int from, int to, std::vector<TRun> &out);
    // 1 when every pixel from..to of row y is in the sweep, 0 when none is, -1 when that takes
    // a closer look (AppendRuns). Cheap: the common case of a stretch neither radial crosses.
    int RowAnswer(int y, int from, int to)
    {
        if (!FRowsByCrossings)
            return Whole() ? 1 : -1;
        if (from > to)
            return -1;
        SeekRow(y);
        int sp = 0, ep = 0;
        if (FRowDy == 0 || !SideOf(FCrossS, from, to, &sp) || !SideOf(FCrossE, from, to, &ep))
            return -1;
        return FAnswer[sp > 0][ep < 0];
    }

private:
    // Radial of a pixel or point, doubled so that it is an integer: (2x - 2 Left - Width + 1,
    // 2 Top + Height - 1 - 2y), the centre taken as pointing right (as atan2(0, 0) = 0).
    struct TRadial {
        qint64 X = 0;
        qint64 Y = 0;
    };
    enum TSweepClass : unsigned char { scNarrow, scWide, scHalf, scSame };
    // Where the line of a radial r (r.Y != 0) crosses the current row: at x = Q + M / Den
    // (0 <= M < Den), kept exactly from row to row by adding StepQ + StepM / Den.
    struct TCrossing {
        qint64 Den = 1;
        qint64 StepQ = 0;
        qint64 StepM = 0;
        qint64 Q = 0;
        qint64 M = 0;
        // 64-bit, like every field read per row: pixel stores (32-bit) cannot alias them.
        qint64 Sign = 0;   // of r.Y
        qint64 XSign = 0;  // of r.X
        bool Horizontal = false;
    };

    TRadial RadialOf(qint64 x, qint64 y) const
    {
        TRadial r{2 * x - FC0, FD0 - 2 * y};
        if (r.X == 0 && r.Y == 0)
            r.X = 1;
        return r;
    }
    // a x b; each coordinate of a pixel's radial is below 2^28 and of a point's below 2^33.
    static qint64 Cross(const TRadial &a, const TRadial &b) { return a.X * b.Y - a.Y * b.X; }
    // The answer of the signs of cross(start, p) and cross(p, end) for a pixel p near neither.
    bool Decide(qint64 sp, qint64 pe) const
    {
        switch (FClass) {
            case scNarrow: return sp >= 0 && pe >= 0;
            case scWide: return sp >= 0 || pe >= 0;
            case scHalf: return sp >= 0;
            default: return FSweep > 180;
        }
    }
    // Contains for a pixel of the box.
    bool Decision(int x, int y) const
    {
        const TRadial p = RadialOf(x, y);
        const qint64 sp = Cross(FS, p), pe = Cross(p, FE);
        if (FFine && sp != 0 && pe != 0)
            return Decide(sp, pe);
        return NearDecision(x, y, p, sp, pe);
    }
    bool NearDecision(int x, int y, TRadial p, qint64 sp, qint64 pe) const;
    // Whether p may lie within 1e-9 radians of the radial whose cross product with it is cross.
    bool NearRadial(TRadial p, qint64 cross, qreal radialLength, qreal nearLimit) const;
    bool AngleContains(int x, int y) const;
    // The pixels of row y around the one where the line of radial r crosses it, from..to: the
    // pixels that may lie near r; false when none does.
    bool Window(const TRadial &r, qreal nearLimit, qint64 dy, int from, int to, int *lo,
                int *hi) const;
    // AppendRuns when pixels off a radial's line may be near it (very large boxes or far
    // points); dy is the row's radial Y.
    void AppendNearRuns(int y, qint64 dy, int from, int to, std::vector<TRun> &out) const;
    // Appends from..to to out, joined to the last run when it follows it (and is not before
    // index first).
    static void Keep(int from, int to, size_t first, std::vector<TRun> &out);
    void SetUpCrossing(const TRadial &r, TCrossing &c) const;
    // Moves the crossings to row y (r.Y != 0 for c's radial).
    static void StepCrossing(TCrossing &c)
    {
        // Without a branch: the carry follows the slope's digits, which no predictor guesses.
        const qint64 m = c.M + c.StepM;
        const qint64 carry = m >= c.Den ? 1 : 0;
        c.M = m - carry * c.Den;
        c.Q += c.StepQ + carry;
    }
    void SeekRow(int y)
    {
        if (FRowSet && y == FRow)
            return;
        if (FRowSet && y == FRow + 1) {
            if (!FCrossS.Horizontal)
                StepCrossing(FCrossS);
            if (!FCrossE.Horizontal)
                StepCrossing(FCrossE);
        } else {
            SetRow(y);
        }
        FRow = y;
        FRowSet = true;
        FRowDy = FD0 - 2 * qint64(y);
    }
    void SetRow(int y);
    // The sign of cross(r, p) for the pixels p from..to of the current row (not the centre row),
    // when it is the same non-zero sign for all of them or the radial does not reach the row
    // (then its sign at from); false otherwise.
    bool SideOf(const TCrossing &c, int from, int to, int *sign) const
    {
        const bool up = FRowDy > 0;
        if (c.Horizontal) {
            *sign = (c.XSign > 0) == up ? 1 : -1;
            return true;
        }
        // cross(r, p) = -2 r.Y (x - crossing): -Sign right of the crossing, Sign left of it.
        if (from > c.Q) {
            *sign = int(-c.Sign);
            return true;
        }
        // A radial reaches the rows on its own side of the centre only; there the whole stretch
        // must lie on one side of the crossing.
        if ((from == c.Q && c.M == 0) ||
            ((c.Sign > 0) == up && (to > c.Q || (to == c.Q && c.M == 0))))
            return false;
        *sign = int(c.Sign);
        return true;
    }

    TRect FBox;
    qint64 FC0 = 0;  // a pixel's doubled radial is (2x - FC0, FD0 - 2y)
    qint64 FD0 = 0;
    qreal FStart = 0;
    qreal FSweep = 360;
    qreal FA = 1;  // doubled half axes, at least 1
    qreal FB = 1;
    TRadial FS, FE;
    TSweepClass FClass = scSame;
    // Lengths of the start and end radials scaled to a circle (as the angles see them).
    qreal FSLength = 1;
    qreal FELength = 1;
    // |cross| of a pixel's radial with FS or FE at or below which the pixel may be near that
    // radial (for every pixel of the box).
    qreal FNearS = 0;
    qreal FNearE = 0;
    // Both below 1: only pixels exactly on a radial's line are near it.
    bool FFine = true;
    TCrossing FCrossS, FCrossE;
    qint64 FRow = 0;
    bool FRowSet = false;
    qint64 FRowDy = 0;  // the current row's radial Y
    // RowAnswer can use the crossings (fine, not whole); its answers by the signs of
    // cross(start, p) > 0 and cross(p, end) > 0.
    bool FRowsByCrossings = false;
    bool FAnswer[2][2] = {};
};
