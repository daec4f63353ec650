#pragma once

#include "platform/recordingcanvas.h"

// A canvas for the fuzz entries: the components run all their geometry against it, with the
// recording canvas' fixed text metrics, but nothing is drawn or kept. Drawing and recording cost
// more than the code under test; the chart store's entry rasterises where pixels matter.
class TGeometryCanvas : public TRecordingCanvas {
public:
    using TCanvas::Ellipse;
    using TCanvas::Rectangle;
    void SetClipRect(const TRect &rect) override;
    void SetClipRegion(const QRegion &region) override;
    void ResetClip() override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const QList<QPoint> &points) override;
    void Polygon(const QList<QPoint> &points) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) override;
    void FillRect(const TRect &rect) override;
    void FillRegion(const QRegion &region) override;
    void FrameRect(const TRect &rect) override;
    void SetPixel(int x, int y, TColor color) override;
    void TextOut(int x, int y, const QString &text) override;
    void TextRect(const TRect &rect, int x, int y, const QString &text) override;
    void Draw(int x, int y, const QImage &image) override;
    void StretchDraw(const TRect &rect, const QImage &image) override;
};
