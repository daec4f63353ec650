#pragma once

#include <QRect>

// A rectangle with the drawing API's edge rule: Left/Top are inside, Right/Bottom are the first
// column/row outside, so Width() = Right - Left. (QRect's right() is inclusive; convert with
// ToQRect/FromQRect, never by hand.)
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect &) const = default;

    // The rectangle with Left <= Right and Top <= Bottom.
    TRect Normalized() const
    {
        return {qMin(Left, Right), qMin(Top, Bottom), qMax(Left, Right), qMax(Top, Bottom)};
    }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect &r)
    {
        return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
    }
    static TRect Bounds(int left, int top, int width, int height)
    {
        return {left, top, left + width, top + height};
    }
};
