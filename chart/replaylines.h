#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <memory>

#include "chart/linerasterizer.h"
#include "platform/canvas.h"

class QColor;
class QPainter;
class TReplayCache;
class TCommandStore;

// Line records of one replay on the screen (internal to the chart library). With the fast path,
// solid lines on a plain canvas over a 32-bit image skip the canvas' per-segment painter:
// one-pixel pens are written straight into the image (TLineRasterizer), wider pens go through
// one painter set up as the canvas sets up its own. Any other canvas sees every call.
class TReplayLines {
public:
    // cache (may be null) keeps the pixel operations of thin runs between replays; avx2 lets
    // their walk use AVX2 when the processor has it.
    TReplayLines(TCanvas &canvas, const QRect &clip, bool fast, TReplayCache *cache = nullptr,
                 bool avx2 = true);
    ~TReplayLines();
    TReplayLines(const TReplayLines &) = delete;
    TReplayLines &operator=(const TReplayLines &) = delete;

    // True when a run of line records with this pen can go through DrawRun.
    bool FastThin(const TCanvas::TPen &pen) const;
    // Draws the run of line records at pos (see TLineRasterizer::DrawLineRun); returns the
    // position after it.
    qsizetype DrawRun(const TCommandStore &store, qsizetype pos, const TCanvas::TPen &pen,
                      const TLineRasterizer::TMapping &mapping);
    // One line from the canvas pen to `to`.
    void Line(QPoint to, const TCanvas::TPen &pen);
    // Ends the painter of a run of wide segments (before the canvas paints on the image).
    void Flush();

private:
    void WideSegment(QPoint a, QPoint b, const QColor &colour, int width);

    TCanvas &FCanvas;
    QRect FClip;
    bool FFast;
    TReplayCache *FCache;
    bool FAvx2;
    std::unique_ptr<QPainter> FPainter;
};
