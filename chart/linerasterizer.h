#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <vector>

class TCommandStore;

// Line helpers for the chart's drawing and replay (internal to the chart library).
//
// LimitSegment keeps far-away end points (a store may hold any float) from costing a walk over
// millions of off-page pixels in the emulated dash patterns on paper: a segment reaching more than
// `margin` pixels beyond `area` is cut to the enlarged area first.
//
// DrawThinLine writes the pixels of a one-pixel solid line straight into a 32-bit image: the same
// walk as TCanvas::LineTo (end pixel excluded, only the part inside clip visited), so the pixels
// are the canvas' own. It is the fast path of the replay, many times cheaper than opening a
// painter per segment. The chart's tests compare both pixel for pixel.
class TLineRasterizer {
public:
    // Canvas coordinates are kept well inside int so that symbol corners and differences never
    // overflow, whatever real values a store holds.
    static constexpr double kCoordinateLimit = 1.0e9;

    // trunc toward zero of a real limited to +-kCoordinateLimit; NaN gives -kCoordinateLimit
    // (far off the plot).
    static int Trunc(double v)
    {
        if (v > -kCoordinateLimit && v < kCoordinateLimit)
            return int(v);
        return v > 0 ? int(kCoordinateLimit) : -int(kCoordinateLimit);
    }

    // Real to canvas mapping of the chart: x' = BaseX + trunc((x - OriginX) * ScaleX + 0.5),
    // y' = BaseY - trunc(ScaleY * (y - OriginY) + 0.5).
    struct TMapping {
        double OriginX, ScaleX;
        int BaseX;
        double OriginY, ScaleY;
        int BaseY;
        QPoint Map(float x, float y) const
        {
            return QPoint(BaseX + Trunc((double(x) - OriginX) * ScaleX + 0.5),
                          BaseY - Trunc(ScaleY * (double(y) - OriginY) + 0.5));
        }
    };

    // One pixel operation of a drawn run: a column span (x = A.x, rows A.y..B.y) or a thin line
    // A -> B (B excluded). Replaying a run's operations sets exactly the pixels the run set.
    struct TOp {
        bool Column;
        QPoint A, B;
    };

    // Draws the run of consecutive line records (type byte 2, x and y float32) of a command store
    // that starts at pos, from pen, as one-pixel solid lines; returns the position after the run
    // and leaves pen at its last point. Within a pixel column, the vertical segments of the run
    // are merged into one span (the same pixels, a fraction of the writes): dense data, many
    // records per column, costs little more than decoding it. With avx2 and a processor that
    // has it, such records are taken eight at a time on AVX2 (within a run the store's index
    // holds, without testing their types), else four at a time on SSE2.
    static qsizetype DrawLineRun(QImage &image, const QRect &clip, QRgb colour,
                                 const TCommandStore &store, qsizetype pos, const TMapping &mapping,
                                 QPoint &pen, std::vector<TOp> *ops = nullptr, bool avx2 = true);
    // Sets the pixels of recorded operations again (clip as for the run that recorded them).
    static void DrawOps(QImage &image, const QRect &clip, QRgb colour, const std::vector<TOp> &ops);

    // Margin used for screen and paper segments.
    static constexpr int kMargin = 1024;

    // Clips a->b to area enlarged by margin when an end lies outside it. False when nothing of
    // the segment lies inside the enlarged area.
    static bool LimitSegment(QPoint &a, QPoint &b, const QRect &area, int margin = kMargin);

    // True when image is a format DrawThinLine writes (32-bit RGB/ARGB).
    static bool CanWrite(const QImage &image);
    // Pixels of a..b (b excluded) inside clip, set to colour (0xAARRGGBB).
    static void DrawThinLine(QImage &image, QPoint a, QPoint b, const QRect &clip, QRgb colour);
};
