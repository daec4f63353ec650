#include "chart/replaylines.h"

#include <QPainter>
#include <typeinfo>

#include "chart/commandstore.h"
#include "chart/replaycache.h"

TReplayLines::TReplayLines(TCanvas &canvas, const QRect &clip, bool fast, TReplayCache *cache,
                           bool avx2)
    // Only a plain canvas: a derived one (a recording canvas) must see every call.
    : FCanvas(canvas),
      FClip(clip),
      FFast(fast && typeid(canvas) == typeid(TCanvas) && canvas.Image() &&
            TLineRasterizer::CanWrite(*canvas.Image())),
      FCache(cache),
      FAvx2(avx2)
{
}

TReplayLines::~TReplayLines()
{
    Flush();
}

bool TReplayLines::FastThin(const TCanvas::TPen &pen) const
{
    return FFast && pen.Width <= 1 && pen.Style == TCanvas::psSolid &&
           pen.Mode == TCanvas::pmCopy && pen.Color.ToQColor().alpha() == 255;
}

qsizetype TReplayLines::DrawRun(const TCommandStore &store, qsizetype pos, const TCanvas::TPen &pen,
                                const TLineRasterizer::TMapping &mapping)
{
    Flush();
    QImage &image = *FCanvas.Image();
    const QRgb colour = pen.Color.ToQColor().rgba();
    QPoint at = FCanvas.PenPos();
    if (!FCache) {
        pos = TLineRasterizer::DrawLineRun(image, FClip, colour, store, pos, mapping, at, nullptr,
                                           FAvx2);
        FCanvas.MoveTo(at.x(), at.y());
        return pos;
    }
    const TReplayCache::TKey key{pos, at, mapping, FClip, image.size()};
    std::vector<TLineRasterizer::TOp> ops;
    if (TReplayCache::TEntry *entry = FCache->Find(key)) {
        TLineRasterizer::DrawOps(image, FClip, colour, entry->Ops);
        pos = entry->End;
        at = entry->EndPen;
        // Records appended to the run since: drawn, and added to the entry.
        if (pos < store.Size() && store.Bytes().at(pos) == char(TCommandStore::rtLine)) {
            pos = TLineRasterizer::DrawLineRun(image, FClip, colour, store, pos, mapping, at, &ops,
                                               FAvx2);
            FCache->Extend(*entry, pos, at, ops);
        }
    } else {
        pos = TLineRasterizer::DrawLineRun(image, FClip, colour, store, pos, mapping, at, &ops,
                                           FAvx2);
        FCache->Keep(key, pos, at, std::move(ops));
    }
    FCanvas.MoveTo(at.x(), at.y());
    return pos;
}

void TReplayLines::Line(QPoint to, const TCanvas::TPen &pen)
{
    const QPoint a = FCanvas.PenPos(), b = to;
    const QColor colour = pen.Color.ToQColor();
    const bool opaque = colour.alpha() == 255 && pen.Mode == TCanvas::pmCopy;
    if (FFast && opaque && pen.Width <= 1 && pen.Style == TCanvas::psSolid) {
        Flush();
        TLineRasterizer::DrawThinLine(*FCanvas.Image(), a, b, FClip, colour.rgba());
        FCanvas.MoveTo(to.x(), to.y());
    } else if (FFast && opaque && pen.Width > 1) {
        if (pen.Style != TCanvas::psClear)
            WideSegment(a, b, colour, pen.Width);
        FCanvas.MoveTo(to.x(), to.y());
    } else {
        Flush();
        FCanvas.Pen() = pen;
        FCanvas.LineTo(to.x(), to.y());
    }
}

void TReplayLines::Flush()
{
    if (FPainter) {
        FPainter->end();
        FPainter.reset();
    }
}

// As the canvas draws a wide pen: round caps and joins, pixel centres, no antialiasing.
void TReplayLines::WideSegment(QPoint a, QPoint b, const QColor &colour, int width)
{
    if (!FPainter) {
        FPainter = std::make_unique<QPainter>(FCanvas.Image());
        FPainter->setRenderHint(QPainter::Antialiasing, false);
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        FPainter->setClipRegion(FCanvas.ClipRegion());
        FPainter->setClipping(FCanvas.HasClip());
        FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        FPainter->setBrush(Qt::NoBrush);
    }
    const QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (FPainter->pen() != pen)
        FPainter->setPen(pen);
    const QPointF half(0.5, 0.5);
    FPainter->drawPolyline(QPolygonF{QPointF(a) + half, QPointF(b) + half});
}
