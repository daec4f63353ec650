#include "chart/chartreplay.h"

#include "chart/dashline.h"
#include "chart/replaylines.h"

namespace {

// Removes the canvas clip when the replay ends, however it ends.
class TClipGuard {
public:
    TClipGuard(TCanvas &canvas, const QRect &clip) : FCanvas(canvas)
    {
        FCanvas.SetClipRect(TRect::FromQRect(clip));
    }
    ~TClipGuard() { FCanvas.ResetClip(); }
    TClipGuard(const TClipGuard &) = delete;
    TClipGuard &operator=(const TClipGuard &) = delete;

private:
    TCanvas &FCanvas;
};

}  // namespace

TChartReplay::TChartReplay(const TTarget &target, const TState &start)
    : FTarget(target), FState(start)
{
}

QPoint TChartReplay::Map(const TCommandStore::TRecord &r) const
{
    return (FSecond ? FTarget.Second : FTarget.First).Map(r.X, r.Y);
}

void TChartReplay::PaperLine(TCanvas &c, QPoint to, const TCanvas::TPen &pen, int printerPenWidth,
                             const QRect &area)
{
    c.Pen() = TCanvas::TPen{pen.Color, TChartSymbol::DrawWidth(printerPenWidth), pen.Style,
                            TCanvas::pmCopy};
    QPoint a = c.PenPos(), b = to;
    if (TLineRasterizer::LimitSegment(a, b, area, area.width() + area.height())) {
        c.MoveTo(a.x(), a.y());
        if (printerPenWidth != 1 && pen.Style != TCanvas::psSolid)
            TDashLine::Draw(c, b, a, true);
        else
            c.LineTo(b.x(), b.y());
    }
    c.MoveTo(to.x(), to.y());
}

void TChartReplay::Run(const TCommandStore &store)
{
    TCanvas &canvas = *FTarget.Canvas;
    const TClipGuard clip(canvas, FTarget.Clip);
    TReplayLines lines(canvas, FTarget.Clip, !FTarget.Paper && FTarget.Fast,
                       FTarget.Paper ? nullptr : FTarget.Cache, FTarget.Avx2);
    const int penWidth = TChartSymbol::DrawWidth(FState.PenWidth);
    FState.PenWidth = penWidth;
    qsizetype pos = 0;
    TCommandStore::TRecord r;
    while (store.Read(pos, r)) {
        switch (r.Type) {
            case TCommandStore::rtMove: {
                const QPoint p = Map(r);
                canvas.MoveTo(p.x(), p.y());
            } break;
            case TCommandStore::rtLine: {
                const TCanvas::TPen pen{FState.PenColor, FState.PenWidth, FState.PenStyle,
                                        TCanvas::pmCopy};
                if (FTarget.Paper) {
                    canvas.SetClipRect(TRect::FromQRect(FTarget.Clip));
                    PaperLine(canvas, Map(r), pen, FTarget.PrinterPenWidth, FTarget.PaperArea);
                } else if (lines.FastThin(pen)) {
                    pos = lines.DrawRun(store, pos - 9, pen,
                                        FSecond ? FTarget.Second : FTarget.First);
                } else {
                    lines.Line(Map(r), pen);
                }
                break;
            }
            case TCommandStore::rtFirstYAxis:
            case TCommandStore::rtSecondYAxis:
                FSecond = r.Type == TCommandStore::rtSecondYAxis;
                break;
            case TCommandStore::rtPenColor: FState.PenColor = TColor(quint32(r.Value)); break;
            case TCommandStore::rtPenStyle: FState.PenStyle = TCanvas::TPenStyle(r.Style); break;
            case TCommandStore::rtPenWidth:
                FState.PenWidth = TChartSymbol::DrawWidth(r.Value);
                break;
            case TCommandStore::rtSymbol: {
                lines.Flush();
                const QPoint p = Map(r);
                FState.Symbol.Draw(canvas, p.x(), p.y(), FTarget.Paper, FTarget.PrinterPenWidth);
                break;
            }
            case TCommandStore::rtSymbolStyle:
                FState.Symbol = TChartSymbol{r.Style,
                                             r.SymbolPenWidth,
                                             TColor(quint32(r.BorderColor)),
                                             TColor(quint32(r.FillColor)),
                                             TCanvas::TBrushStyle(r.FillStyle),
                                             r.HalfHeight};
                break;
            default: break;
        }
    }
    lines.Flush();
}
