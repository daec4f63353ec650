#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPoint>
#include <QPolygon>
#include <QRegion>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

#include "kestrova_platform_export.h"
#include "platform/color.h"
#include "platform/rect.h"

class QPainter;
class QPainterPath;
class TArcSweep;

// A drawing surface with the classic desktop GDI conventions, drawn through QPainter. It keeps a
// pen (with a pen position), a brush, a font, a text alignment and a clip region, and draws with
// integer coordinates and no antialiasing:
//   - Rectangle, Ellipse, RoundRect, FillRect, FrameRect, Arc/Pie/Chord bounding boxes exclude the
//     right and bottom edge: Rectangle(0, 0, 4, 3) covers columns 0..3 and rows 0..2.
//   - LineTo draws from the pen position up to, but not including, its end point, and moves the
//     pen there; Polyline/Polygon follow the same rule per segment.
//   - Arc, Pie and Chord run counter-clockwise (as seen on the screen) from the radial through the
//     start point to the radial through the end point; equal radials give the whole ellipse.
//   - TextOut places the text relative to (x, y) by the text alignment (left/right/centre against
//     top/baseline/bottom) and moves the pen to the end of the text.
//   - 1-pixel pens (width 0 or 1) on images: line pixel i lies i steps along the major axis and
//     round(i * minor / major) along the other; solid ellipses are mirror-symmetric and touch
//     all four sides of their box, and arcs, pies and chords follow the same ellipse (a
//     pixel is in the sweep when the parametric angle of its centre is, see TArcSweep); the
//     corners of a rounded rectangle are the quadrants of the ellipse in a corner-sized box. Styled
//     1-pixel pens draw the classic patterns (dash 18/6, dot 3/3, dash-dot 9/6/3/6, dash-dot-dot
//     9/3/3/3/3/3); wider pens are always solid with round ends, as GDI's CreatePen makes them.
//     With a solid brush the gaps of styled lines and the cells of text are filled with the brush
//     colour (opaque background).
//   - Pen modes other than pmCopy (xor, not, merge, ...) work on image surfaces; a printer or PDF
//     surface draws them as pmCopy.
//
// Coordinates are limited to +-2^27 when drawing, as on the classic API.
//
// The surface is a QImage (a painter is opened for each operation, so the image may be read or
// replaced between calls) or an active QPainter owned elsewhere (the printer's). A canvas without
// a surface measures text but raises Exception on drawing. The canvas is used on one thread.
class KESTROVA_PLATFORM_EXPORT TCanvas {
    Q_GADGET

public:
    enum TPenStyle : unsigned char {
        psSolid,
        psDash,
        psDot,
        psDashDot,
        psDashDotDot,
        psClear,
        psInsideFrame
    };
    Q_ENUM(TPenStyle)

    enum TPenMode : unsigned char {
        pmBlack,
        pmWhite,
        pmNop,
        pmNot,
        pmCopy,
        pmNotCopy,
        pmMergePenNot,
        pmMaskPenNot,
        pmMergeNotPen,
        pmMaskNotPen,
        pmMerge,
        pmNotMerge,
        pmMask,
        pmNotMask,
        pmXor,
        pmNotXor
    };
    Q_ENUM(TPenMode)

    enum TBrushStyle : unsigned char {
        bsSolid,
        bsClear,
        bsHorizontal,
        bsVertical,
        bsFDiagonal,
        bsBDiagonal,
        bsCross,
        bsDiagCross
    };
    Q_ENUM(TBrushStyle)

    // Text alignment flags (SetTextAlign): one horizontal value or'ed with one vertical value.
    enum TTextAlign : unsigned {
        taLeft = 0,
        taRight = 2,
        taCenter = 6,
        taTop = 0,
        taBottom = 8,
        taBaseline = 24,
        taHorizontalMask = 6,
        taVerticalMask = 24
    };

    // DrawText format flags, with the classic numeric values (0x510 = calc rect + no clip + word
    // break).
    enum TDrawTextFlag : unsigned {
        dtLeft = 0x0,
        dtCenter = 0x1,
        dtRight = 0x2,
        dtVCenter = 0x4,
        dtBottom = 0x8,
        dtWordBreak = 0x10,
        dtSingleLine = 0x20,
        dtExpandTabs = 0x40,
        dtNoClip = 0x100,
        dtCalcRect = 0x400,
        dtNoPrefix = 0x800
    };

    // Device capabilities, with the classic index values.
    enum TDeviceCap : int {
        HorzSize = 4,           // printable width in millimetres
        VertSize = 6,           // printable height in millimetres
        HorzRes = 8,            // printable width in device pixels
        VertRes = 10,           // printable height in device pixels
        LogPixelsX = 88,        // pixels per inch, horizontally
        LogPixelsY = 90,        // pixels per inch, vertically
        PhysicalWidth = 110,    // whole page width in device pixels (0 on non-printers)
        PhysicalHeight = 111,   // whole page height in device pixels (0 on non-printers)
        PhysicalOffsetX = 112,  // unprintable left margin in device pixels (0 on non-printers)
        PhysicalOffsetY = 113   // unprintable top margin in device pixels (0 on non-printers)
    };

    struct TPen {
        TColor Color = clBlack;
        int Width = 1;  // 0 and 1 both mean one pixel
        TPenStyle Style = psSolid;
        TPenMode Mode = pmCopy;
        bool operator==(const TPen &) const = default;
    };

    struct TBrush {
        TColor Color = clWhite;
        TBrushStyle Style = bsSolid;
        bool operator==(const TBrush &) const = default;
    };

    // A font description, resolved against the canvas' pixels per inch when drawn: the size in
    // points scales with the device (a 9-point font is larger in printer pixels), a height in
    // pixels does not. Height < 0 is the character height (em) in pixels, Height > 0 the cell
    // height (ascent + descent), Height == 0 means "use Size".
    class KESTROVA_PLATFORM_EXPORT TFont {
    public:
        QString Name = QStringLiteral("Arial");
        TColor Color = clBlack;
        bool Bold = false;
        bool Italic = false;
        bool Underline = false;
        bool StrikeOut = false;

        int Size() const { return FSize; }
        int Height() const { return FHeight; }
        void SetSize(int points)
        {
            FSize = points;
            FHeight = 0;
        }
        void SetHeight(int pixels) { FHeight = pixels; }

        // The character height in pixels at ppi (at least 1); a positive (cell) Height is
        // returned as is, negated, since only the font engine can split it.
        int PixelHeight(int ppi) const;
        // Qt font with the pixel size resolved at ppi (positive heights are mapped so that
        // ascent + descent matches them).
        QFont ToQFont(int ppi) const;
        // Family, point or pixel size, weight and style of a QFont.
        static TFont FromQFont(const QFont &font, TColor color = clBlack);
        bool operator==(const TFont &) const = default;

    private:
        int FSize = 8;
        int FHeight = 0;
    };

    struct TTextMetric {
        int Height = 0;  // ascent + descent, the line height of TextHeight and DrawText
        int Ascent = 0;
        int Descent = 0;
        bool operator==(const TTextMetric &) const = default;
    };

    TCanvas();
    explicit TCanvas(QImage *image);
    virtual ~TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    // Surfaces. The canvas never owns them; the image must outlive the canvas or be detached
    // with SetImage(nullptr). A painter must be active whenever drawing happens.
    void SetImage(QImage *image);
    void SetPainter(QPainter *painter);
    QImage *Image() const { return FImage; }
    bool HasSurface() const;

    // State. Pen, brush and font are plain values read at each drawing call.
    TPen &Pen() { return FPen; }
    const TPen &Pen() const { return FPen; }
    TBrush &Brush() { return FBrush; }
    const TBrush &Brush() const { return FBrush; }
    TFont &Font() { return FFont; }
    const TFont &Font() const { return FFont; }
    QPoint PenPos() const { return FPenPos; }
    void SetPenPos(QPoint pos) { FPenPos = pos; }
    unsigned TextAlign() const { return FTextAlign; }
    // Returns the previous alignment.
    unsigned SetTextAlign(unsigned flags);

    // Clipping: drawing is limited to the region; ResetClip removes the limit.
    virtual void SetClipRect(const TRect &rect);
    virtual void SetClipRegion(const QRegion &region);
    virtual void ResetClip();
    bool HasClip() const { return FHasClip; }
    const QRegion &ClipRegion() const { return FClip; }

    // Lines and shapes.
    virtual void MoveTo(int x, int y);
    virtual void LineTo(int x, int y);
    virtual void Polyline(const QList<QPoint> &points);
    virtual void Polygon(const QList<QPoint> &points);
    virtual void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect &r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    virtual void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect &r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    virtual void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    virtual void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // A rectangle with rounded corners, each a quadrant of the ellipse inscribed in an x3 x y3
    // box (limited to the rectangle; 0 gives square corners, the rectangle's size its ellipse).
    virtual void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    // Brush only, no pen: the whole rectangle / region.
    virtual void FillRect(const TRect &rect);
    virtual void FillRegion(const QRegion &region);
    // A one-pixel frame just inside the rectangle, in the brush colour.
    virtual void FrameRect(const TRect &rect);
    virtual TColor Pixel(int x, int y) const;
    virtual void SetPixel(int x, int y, TColor color);

    // Text.
    virtual void TextOut(int x, int y, const QString &text);
    // TextOut clipped to rect (within the current clip).
    virtual void TextRect(const TRect &rect, int x, int y, const QString &text);
    // Formats text in rect with dt* flags. With dtCalcRect nothing is drawn and rect receives the
    // bounds the text needs (Right grows or shrinks to the widest line, Bottom to the last line).
    // Returns the height of the text.
    virtual int DrawText(TRect &rect, const QString &text, unsigned flags);
    virtual QSize TextExtent(const QString &text) const;
    int TextWidth(const QString &text) const { return TextExtent(text).width(); }
    int TextHeight(const QString &text) const { return TextExtent(text).height(); }
    virtual TTextMetric TextMetrics() const;

    // Images: at their own size with the top-left at (x, y), or stretched (nearest pixel) into
    // rect.
    virtual void Draw(int x, int y, const QImage &image);
    virtual void StretchDraw(const TRect &rect, const QImage &image);

    // Device capabilities of the surface (a QImage: its size and dots per meter). A non-zero
    // value set here replaces the surface's pixels per inch (in both directions).
    virtual int DeviceCaps(TDeviceCap cap) const;
    int PixelsPerInchX() const { return DeviceCaps(LogPixelsX); }
    int PixelsPerInchY() const { return DeviceCaps(LogPixelsY); }
    void SetPixelsPerInch(int x, int y);

    // Called after every drawing operation (e.g. to schedule a widget update).
    std::function<void()> OnChange;

protected:
    // The painter of the surface with pen mode and clip set up, or raises when there is none.
    class TPaintScope;
    // Text layout shared by DrawText and its recording: the lines of text in rect's width after
    // prefix removal, line breaks and word breaking.
    QList<QString> BreakLines(const QString &text, const TRect &rect, unsigned flags) const;
    int OverridePpiX() const { return FPpiX; }
    int OverridePpiY() const { return FPpiY; }
    void Changed();

private:
    bool WritesImageDirect() const;
    bool WriteLineDirect(QPoint from, QPoint to);
    void DrawLinePixels(QPainter &p, QPoint from, QPoint to, qint64 *styleCounter) const;
    void DrawWideLine(QPainter &p, const QList<QPoint> &points, bool closed) const;
    void StrokeOutline(QPainter &p, const QList<QPoint> &points, bool closed) const;
    void FillShape(QPainter &p, const QPainterPath &path) const;
    void PaintRegion(const QRegion &region);
    bool RasterSurface() const;
    bool ExactOutline() const;
    bool WritesShapesDirect() const;
    void DrawExactShape(QPainter *p, const TRect &r, int kind, TArcSweep *sweep,
                        QSize corner) const;
    void DrawExactEdges(QPainter *p, const TRect &r, int kind, bool whole, QPoint s, QPoint e,
                        const QRect &bounds, const QRect &device, uchar *bits, qsizetype stride,
                        QPolygon &penPixels) const;
    void ArcShape(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void DrawTextAt(QPainter &p, int x, int y, const QString &text, unsigned align,
                    bool opaque) const;
    // The font at the canvas' pixels per inch and its metrics, resolved again only when the
    // font or the pixels per inch change (resolving and measuring cost more than most texts).
    struct TResolvedFont {
        TFont Font;
        int Ppi = 0;
        QFont QtFont;
        QFontMetrics Metrics;
    };
    const TResolvedFont &ResolvedFont() const;

    QImage *FImage = nullptr;
    QPainter *FPainter = nullptr;
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    QPoint FPenPos;
    unsigned FTextAlign = taLeft | taTop;
    QRegion FClip;
    bool FHasClip = false;
    int FPpiX = 0;
    int FPpiY = 0;
    mutable std::optional<TResolvedFont> FResolvedFont;
};
