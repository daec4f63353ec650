#include "fuzz/geometrycanvas.h"

// Clipping keeps the base canvas' state (the components read it back); drawing only moves the
// pen where the real canvas would.

void TGeometryCanvas::SetClipRect(const TRect &rect)
{
    TCanvas::SetClipRect(rect);
}

void TGeometryCanvas::SetClipRegion(const QRegion &region)
{
    TCanvas::SetClipRegion(region);
}

void TGeometryCanvas::ResetClip()
{
    TCanvas::ResetClip();
}

void TGeometryCanvas::MoveTo(int x, int y)
{
    SetPenPos(QPoint(x, y));
}

void TGeometryCanvas::LineTo(int x, int y)
{
    SetPenPos(QPoint(x, y));
}

void TGeometryCanvas::Polyline(const QList<QPoint> &) {}

void TGeometryCanvas::Polygon(const QList<QPoint> &) {}

void TGeometryCanvas::Rectangle(int, int, int, int) {}

void TGeometryCanvas::Ellipse(int, int, int, int) {}

void TGeometryCanvas::Arc(int, int, int, int, int, int, int, int) {}

void TGeometryCanvas::Pie(int, int, int, int, int, int, int, int) {}

void TGeometryCanvas::Chord(int, int, int, int, int, int, int, int) {}

void TGeometryCanvas::RoundRect(int, int, int, int, int, int) {}

void TGeometryCanvas::FillRect(const TRect &) {}

void TGeometryCanvas::FillRegion(const QRegion &) {}

void TGeometryCanvas::FrameRect(const TRect &) {}

void TGeometryCanvas::SetPixel(int, int, TColor) {}

void TGeometryCanvas::TextOut(int x, int y, const QString &text)
{
    SetPenPos(QPoint(x + TextWidth(text), y));
}

void TGeometryCanvas::TextRect(const TRect &, int, int, const QString &) {}

void TGeometryCanvas::Draw(int, int, const QImage &) {}

void TGeometryCanvas::StretchDraw(const TRect &, const QImage &) {}
