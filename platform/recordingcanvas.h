#pragma once

#include <QList>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>

#include "kestrova_platform_export.h"
#include "platform/canvas.h"

// A TCanvas that records every drawing and clipping call, with its arguments as passed (after
// the TRect overloads resolve to four integers) and the state in effect, so tests can assert
// exact geometry. When it has a surface (SetImage), it also draws there.
//
// Text metrics come from a fixed model by default, the same on every machine: with E the
// character height in pixels (from Size at the canvas' pixels per inch, or -Height; a positive
// Height h gives E = h * 4 / 5), ascent = E, descent = (E + 3) / 4 (h - E for a positive h), and
// every character is (E + 1) / 2 pixels wide, one more in bold. FontMetrics uses the real
// QFontMetrics of the font instead.
class KESTROVA_PLATFORM_EXPORT TRecordingCanvas : public TCanvas {
public:
    enum TMetricsModel { FixedMetrics, FontMetrics };

    struct TCall {
        QString Op;       // the member's name: "LineTo", "Rectangle", "TextOut", ...
        QList<int> Args;  // integer arguments in order; points as x, y pairs
        QString Text;     // the text of text calls
        QPoint PenPos;    // pen position before the call
        TPen Pen;
        TBrush Brush;
        TFont Font;
        unsigned TextAlign = 0;
        bool Clipped = false;
        QRegion Clip;
        QSize ImageSize;  // Draw/StretchDraw

        // "Op(a, b, ...)" plus the text in quotes, for failure messages.
        QString ToString() const;
    };

    explicit TRecordingCanvas(TMetricsModel metrics = FixedMetrics);

    const QList<TCall> &Calls() const { return FCalls; }
    // The recorded calls with the given name, in order.
    QList<TCall> CallsNamed(const QString &op) const;
    void ClearCalls() { FCalls.clear(); }
    TMetricsModel Metrics() const { return FMetrics; }

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
    int DrawText(TRect &rect, const QString &text, unsigned flags) override;
    QSize TextExtent(const QString &text) const override;
    TTextMetric TextMetrics() const override;
    void Draw(int x, int y, const QImage &image) override;
    void StretchDraw(const TRect &rect, const QImage &image) override;

private:
    void Record(const QString &op, const QList<int> &args, const QString &text = QString(),
                QSize imageSize = QSize());
    static QList<int> Flatten(const QList<QPoint> &points);

    TMetricsModel FMetrics;
    QList<TCall> FCalls;
};
