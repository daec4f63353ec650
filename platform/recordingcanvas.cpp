#include "recordingcanvas.h"

#include <QStringList>
#include <algorithm>
#include <limits>

namespace {

// The largest character height of the fixed model: the canvas' coordinate limit, so that a
// height and an ascent still add up inside an int.
constexpr qint64 kLargestEm = qint64(1) << 27;

QList<int> RectArgs(const TRect &r)
{
    return {r.Left, r.Top, r.Right, r.Bottom};
}

int SaturatedInt(qint64 v)
{
    return int(
        std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

QString TRecordingCanvas::TCall::ToString() const
{
    QStringList parts;
    for (int a : Args)
        parts << QString::number(a);
    QString s = Op + u'(' + parts.join(QLatin1String(", ")) + u')';
    if (!Text.isNull())
        s += QLatin1String(" \"") + Text + u'"';
    return s;
}

TRecordingCanvas::TRecordingCanvas(TMetricsModel metrics) : FMetrics(metrics) {}

QList<TRecordingCanvas::TCall> TRecordingCanvas::CallsNamed(const QString &op) const
{
    QList<TCall> out;
    for (const TCall &call : FCalls) {
        if (call.Op == op)
            out << call;
    }
    return out;
}

void TRecordingCanvas::Record(const QString &op, const QList<int> &args, const QString &text,
                              QSize imageSize)
{
    TCall call;
    call.Op = op;
    call.Args = args;
    call.Text = text;
    call.PenPos = PenPos();
    call.Pen = Pen();
    call.Brush = Brush();
    call.Font = Font();
    call.TextAlign = TextAlign();
    call.Clipped = HasClip();
    call.Clip = ClipRegion();
    call.ImageSize = imageSize;
    FCalls << call;
}

QList<int> TRecordingCanvas::Flatten(const QList<QPoint> &points)
{
    QList<int> out;
    out.reserve(points.size() * 2);
    for (const QPoint &p : points)
        out << p.x() << p.y();
    return out;
}

void TRecordingCanvas::SetClipRect(const TRect &rect)
{
    Record(QStringLiteral("SetClipRect"), RectArgs(rect));
    TCanvas::SetClipRect(rect);
}

void TRecordingCanvas::SetClipRegion(const QRegion &region)
{
    Record(QStringLiteral("SetClipRegion"), RectArgs(TRect::FromQRect(region.boundingRect())));
    TCanvas::SetClipRegion(region);
}

void TRecordingCanvas::ResetClip()
{
    Record(QStringLiteral("ResetClip"), {});
    TCanvas::ResetClip();
}

void TRecordingCanvas::MoveTo(int x, int y)
{
    Record(QStringLiteral("MoveTo"), {x, y});
    TCanvas::MoveTo(x, y);
}

void TRecordingCanvas::LineTo(int x, int y)
{
    Record(QStringLiteral("LineTo"), {x, y});
    if (HasSurface())
        TCanvas::LineTo(x, y);
    else
        SetPenPos(QPoint(x, y));
}

void TRecordingCanvas::Polyline(const QList<QPoint> &points)
{
    Record(QStringLiteral("Polyline"), Flatten(points));
    if (HasSurface())
        TCanvas::Polyline(points);
}

void TRecordingCanvas::Polygon(const QList<QPoint> &points)
{
    Record(QStringLiteral("Polygon"), Flatten(points));
    if (HasSurface())
        TCanvas::Polygon(points);
}

void TRecordingCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Record(QStringLiteral("Rectangle"), {x1, y1, x2, y2});
    if (HasSurface())
        TCanvas::Rectangle(x1, y1, x2, y2);
}

void TRecordingCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Record(QStringLiteral("Ellipse"), {x1, y1, x2, y2});
    if (HasSurface())
        TCanvas::Ellipse(x1, y1, x2, y2);
}

void TRecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Record(QStringLiteral("Arc"), {x1, y1, x2, y2, x3, y3, x4, y4});
    if (HasSurface())
        TCanvas::Arc(x1, y1, x2, y2, x3, y3, x4, y4);
}

void TRecordingCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Record(QStringLiteral("Pie"), {x1, y1, x2, y2, x3, y3, x4, y4});
    if (HasSurface())
        TCanvas::Pie(x1, y1, x2, y2, x3, y3, x4, y4);
}

void TRecordingCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Record(QStringLiteral("Chord"), {x1, y1, x2, y2, x3, y3, x4, y4});
    if (HasSurface())
        TCanvas::Chord(x1, y1, x2, y2, x3, y3, x4, y4);
}

void TRecordingCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    Record(QStringLiteral("RoundRect"), {x1, y1, x2, y2, x3, y3});
    if (HasSurface())
        TCanvas::RoundRect(x1, y1, x2, y2, x3, y3);
}

void TRecordingCanvas::FillRect(const TRect &rect)
{
    Record(QStringLiteral("FillRect"), RectArgs(rect));
    if (HasSurface())
        TCanvas::FillRect(rect);
}

void TRecordingCanvas::FillRegion(const QRegion &region)
{
    QList<int> args;
    for (const QRect &r : region)
        args << RectArgs(TRect::FromQRect(r));
    Record(QStringLiteral("FillRegion"), args);
    if (HasSurface())
        TCanvas::FillRegion(region);
}

void TRecordingCanvas::FrameRect(const TRect &rect)
{
    Record(QStringLiteral("FrameRect"), RectArgs(rect));
    if (HasSurface())
        TCanvas::FrameRect(rect);
}

void TRecordingCanvas::SetPixel(int x, int y, TColor color)
{
    Record(QStringLiteral("SetPixel"), {x, y, int(quint32(color))});
    if (HasSurface())
        TCanvas::SetPixel(x, y, color);
}

void TRecordingCanvas::TextOut(int x, int y, const QString &text)
{
    Record(QStringLiteral("TextOut"), {x, y}, text);
    if (HasSurface())
        TCanvas::TextOut(x, y, text);
    else
        SetPenPos(QPoint(x + TextWidth(text), y));
}

void TRecordingCanvas::TextRect(const TRect &rect, int x, int y, const QString &text)
{
    Record(QStringLiteral("TextRect"), RectArgs(rect) << x << y, text);
    if (HasSurface())
        TCanvas::TextRect(rect, x, y, text);
}

int TRecordingCanvas::DrawText(TRect &rect, const QString &text, unsigned flags)
{
    Record(QStringLiteral("DrawText"), RectArgs(rect) << int(flags), text);
    if (HasSurface() || (flags & dtCalcRect))
        return TCanvas::DrawText(rect, text, flags);
    return int(BreakLines(text, rect, flags).size()) * TextMetrics().Height;
}

QSize TRecordingCanvas::TextExtent(const QString &text) const
{
    if (FMetrics == FontMetrics)
        return TCanvas::TextExtent(text);
    const qint64 em = TextMetrics().Ascent;
    const qint64 charWidth = (em + 1) / 2 + (Font().Bold ? 1 : 0);
    return QSize(SaturatedInt(qint64(text.size()) * charWidth), TextMetrics().Height);
}

TCanvas::TTextMetric TRecordingCanvas::TextMetrics() const
{
    if (FMetrics == FontMetrics)
        return TCanvas::TextMetrics();
    // In 64 bits and bounded: a font read from a form may have any size.
    const qint64 h = Font().Height();
    qint64 ascent = 0, descent = 0;
    if (h > 0) {
        ascent = qMax<qint64>(1, h * 4 / 5);
        descent = h - ascent;
    } else {
        ascent = h < 0 ? -h : qMax<qint64>(1, (qint64(Font().Size()) * PixelsPerInchY() + 36) / 72);
        descent = (ascent + 3) / 4;
    }
    ascent = qMin(ascent, kLargestEm);
    descent = qMin(descent, kLargestEm);
    return {int(ascent + descent), int(ascent), int(descent)};
}

void TRecordingCanvas::Draw(int x, int y, const QImage &image)
{
    Record(QStringLiteral("Draw"), {x, y}, QString(), image.size());
    if (HasSurface())
        TCanvas::Draw(x, y, image);
}

void TRecordingCanvas::StretchDraw(const TRect &rect, const QImage &image)
{
    Record(QStringLiteral("StretchDraw"), RectArgs(rect), QString(), image.size());
    if (HasSurface())
        TCanvas::StretchDraw(rect, image);
}
