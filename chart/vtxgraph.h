#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "chart/axis.h"
#include "chart/chartlayout.h"
#include "chart/chartreplay.h"
#include "chart/chartsymbol.h"
#include "chart/commandstore.h"
#include "chart/paperlayout.h"
#include "kestrova_chart_export.h"
#include "platform/canvas.h"
#include "platform/color.h"
#include "platform/customproperties.h"
#include "platform/event.h"
#include "platform/rect.h"

class TReplayCache;

// An X/Y chart: a plot area with a linear X axis and one or two linear Y axes, each a fixed number
// of divisions of DivisionWidth pixels. The control sizes itself around the plot area (margins for
// the title, numbers, captions and tic marks); it does not stretch.
//
// Plotting commands (MoveScaledTo, LineScaledTo, DrawSymbolScaled, ...) draw at once on the
// control's backing image and are recorded, in real axis values, in a command store; painting and
// printing replay the store against the current layout. A line drawn with a pen mode other than
// pmCopy is not recorded (it serves for rubber-band cursors) and the mode falls back to pmCopy
// after it. Imprime prints the whole chart on the current printer; PrintGrids prints only the
// frame and grid so that later commands, with the print flag set, draw straight onto paper.
//
// Main (GUI) thread only.
class KESTROVA_CHART_EXPORT TvtxGraph : public QWidget, public TCustomProperties {
    Q_OBJECT
    Q_PROPERTY(bool AtualizarControles READ AtualizarControles WRITE SetAtualizarControles)
    Q_PROPERTY(bool Border READ Border WRITE SetBorder)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TColor HighlightColor READ HighlightColor WRITE SetHighlightColor)
    Q_PROPERTY(bool MajorGrid READ MajorGrid WRITE SetMajorGrid)
    Q_PROPERTY(TColor MajorGridColor READ MajorGridColor WRITE SetMajorGridColor)
    Q_PROPERTY(bool MinorGrid READ MinorGrid WRITE SetMinorGrid)
    Q_PROPERTY(TColor MinorGridColor READ MinorGridColor WRITE SetMinorGridColor)
    // Another name of MinorXGridDivisions (one value), so it is not streamed twice.
    Q_PROPERTY(
        int MinorGridDivisions READ MinorXGridDivisions WRITE SetMinorXGridDivisions STORED false)
    Q_PROPERTY(int MinorXGridDivisions READ MinorXGridDivisions WRITE SetMinorXGridDivisions)
    Q_PROPERTY(int MinorYGridDivisions READ MinorYGridDivisions WRITE SetMinorYGridDivisions)
    Q_PROPERTY(int PenWidth READ PenWidth WRITE SetPenWidth)
    Q_PROPERTY(TColor PenColor READ PenColor WRITE SetPenColor)
    Q_PROPERTY(TCanvas::TPenMode PenMode READ PenMode WRITE SetPenMode)
    Q_PROPERTY(TCanvas::TPenStyle PenStyle READ PenStyle WRITE SetPenStyle)
    Q_PROPERTY(TColor PlotAreaColor READ PlotAreaColor WRITE SetPlotAreaColor)
    Q_PROPERTY(TPlotDestination PlotDestination READ PlotDestination WRITE SetPlotDestination)
    Q_PROPERTY(int PrinterMajorGridWidth MEMBER FPrinterMajorGridWidth)
    Q_PROPERTY(int PrinterMinorGridWidth MEMBER FPrinterMinorGridWidth)
    Q_PROPERTY(int PrinterPenWidth READ PrinterPenWidth WRITE SetPrinterPenWidth)
    Q_PROPERTY(bool SecondYaxis READ SecondYaxis WRITE SetSecondYaxis)
    Q_PROPERTY(bool ScreenEnabled MEMBER FScreenEnabled)
    Q_PROPERTY(TColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int TBmargin READ TBmargin WRITE SetTBmargin)
    Q_PROPERTY(int LRmargin READ LRmargin WRITE SetLRmargin)
    // Streamed as the custom entry "Title", not as a property.
    Q_PROPERTY(QString Title READ Title WRITE SetTitle STORED false)
    Q_PROPERTY(QFont TitleFont READ TitleFont WRITE SetTitleFont)
    Q_PROPERTY(int TitleOffset READ TitleOffset WRITE SetTitleOffset)
    Q_PROPERTY(bool UseSecondYAxis READ UseSecondYAxis WRITE SetUseSecondYAxis)
    Q_PROPERTY(TAxis *XAxis READ XAxis CONSTANT)
    Q_PROPERTY(TAxis *YAxis READ YAxis CONSTANT)
    Q_PROPERTY(TAxis *YAxis2 READ YAxis2 CONSTANT)
    Q_PROPERTY(int Xorigin READ Xorigin)
    Q_PROPERTY(int Yorigin READ Yorigin)
    Q_PROPERTY(int Xend READ Xend)
    Q_PROPERTY(int Yend READ Yend)
    Q_CLASSINFO("palette", "Kestrova")
    Q_CLASSINFO("default:AtualizarControles", "true")
    Q_CLASSINFO("default:Border", "true")
    Q_CLASSINFO("default:Color", "clSilver")
    Q_CLASSINFO("default:HighlightColor", "clBtnHighlight")
    Q_CLASSINFO("default:MajorGrid", "true")
    Q_CLASSINFO("default:MajorGridColor", "clBlack")
    Q_CLASSINFO("default:MinorGrid", "true")
    Q_CLASSINFO("default:MinorGridColor", "clSilver")
    Q_CLASSINFO("default:MinorXGridDivisions", "4")
    Q_CLASSINFO("default:MinorYGridDivisions", "4")
    Q_CLASSINFO("default:PenWidth", "1")
    Q_CLASSINFO("default:PenColor", "clRed")
    Q_CLASSINFO("default:PenMode", "pmCopy")
    Q_CLASSINFO("default:PenStyle", "psSolid")
    Q_CLASSINFO("default:PlotAreaColor", "clWhite")
    Q_CLASSINFO("default:PlotDestination", "ScreenOnly")
    Q_CLASSINFO("default:PrinterMajorGridWidth", "3")
    Q_CLASSINFO("default:PrinterMinorGridWidth", "1")
    Q_CLASSINFO("default:PrinterPenWidth", "0")
    Q_CLASSINFO("default:SecondYaxis", "false")
    Q_CLASSINFO("default:ScreenEnabled", "true")
    Q_CLASSINFO("default:ShadowColor", "clGray")
    Q_CLASSINFO("default:TBmargin", "10")
    Q_CLASSINFO("default:LRmargin", "10")
    Q_CLASSINFO("default:TitleOffset", "5")
    Q_CLASSINFO("default:UseSecondYAxis", "false")

public:
    enum TPlotDestination { ScreenOnly, PrinterOnly, Both };
    Q_ENUM(TPlotDestination)
    enum TSymbolStyle : quint8 {
        Circle,
        Square,
        TriangleUp,
        TriangleDown,
        Diamond,
        Plus,
        Cross,
        Star
    };
    Q_ENUM(TSymbolStyle)

    using TMouseEvent = TEvent<Qt::MouseButton, Qt::KeyboardModifiers, int, int>;
    using TMouseMoveEvent = TEvent<Qt::KeyboardModifiers, int, int>;

    explicit TvtxGraph(QWidget *Owner = nullptr);
    ~TvtxGraph() override;

    // --- Layout and mapping -------------------------------------------------------------------

    // Computes the plot rectangle and the margins from the axes, title and fonts, and gives the
    // control its size (plot area plus equal margins left/right and top/bottom).
    void CalculaDimensoes();
    // Canvas pixel of a real x / y (against the selected Y axis), running the layout if stale.
    int RealX2Canvas(float x);
    int RealY2Canvas(float y);
    // Real values at a canvas pixel (0, 0 outside the plot area, and 0 on an axis whose
    // DivisionWidth is 0); dx, dy are the offsets from the plot origin, always set.
    void GetValues(int x, int y, float &realX, float &realY, int &dx, int &dy) const;
    bool CursorInPlotArea(int x, int y) const;
    // (Xorigin, Yend, Xend, Yorigin).
    TRect PlotArea() const;
    // Layout after a property change; repaints in design mode.
    void Invalida(QObject *Sender);

    int Xorigin() const { return FLayout.Xorigin(); }
    int Yorigin() const { return FLayout.Yorigin(); }
    int Xend() const { return FLayout.Xend(); }
    int Yend() const { return FLayout.Yend(); }
    float ScaleX() const { return FLayout.ScaleX(); }
    float ScaleY() const { return FLayout.ScaleY(); }
    const TChartLayout &Layout() const { return FLayout; }

    // --- Plotting commands (recorded) ---------------------------------------------------------

    void MoveScaledTo(float x, float y);
    void LineScaledTo(float x, float y);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void DrawSymbolScaled(float x, float y);
    void DrawSymbol(int x, int y);
    void PolyLine(const QList<QPoint> &points);
    void PolyLineScaled(const QList<QPoint> &points);
    void PolySymbol(const QList<QPoint> &points, bool joined);
    void PolySymbolScaled(const QList<QPoint> &points, bool joined);
    void SetSymbolStyle(TSymbolStyle style, int halfHeight, int penWidth, TColor borderColor,
                        TColor fillColor, TCanvas::TBrushStyle fillStyle);
    // Draws the current symbol centred on (x, y) on canvas (the printer's draws it six-fold) and
    // leaves the canvas pen there.
    void SymbolOut(int x, int y, TCanvas &canvas);

    // Empties the store (and selects the first Y axis) and repaints. Refresh is the same.
    void Clear();
    void Refresh();
    // Layout, store walk, repaint.
    void Atualiza();
    // Walks the store keeping the Y scale in step with the axis records; the stored real
    // coordinates are left as they are, since every replay maps them anew.
    void RecalculaPontos();
    // Replays the store on a screen canvas (clipped to the plot area).
    void DesenhaGrafico(TCanvas &canvas);
    // Draws the whole control (background, border, title, grid, annotation, then the replayed
    // store or, in design mode, a sample curve) on its canvas, and fires OnPaint.
    void Paint();

    // --- Printing and export ------------------------------------------------------------------

    // Prints the chart (frame, title, grid, annotation, replayed store) on the current printer's
    // canvas, in a rectangle given in inches. The caller begins and ends the document. Printer
    // failures are absorbed; the print flag and ScreenEnabled are restored in every case.
    void Imprime(float left, float top, float width, float height);
    // Prints only the frame and grid, width in inches (0: the control's screen size); then
    // commands plotted with the print flag set land on that grid.
    void PrintGrids(float left, float top, float width);
    void SetPrintFlag(bool value) { FPrinting = value; }
    bool PrintFlag() const { return FPrinting; }
    // Appends the store as source-like text lines, with the locale's decimal separator.
    void getComandos(QStringList &lines) const;
    // Draws a styled (dash/dot) line from start to end with solid strokes, the pattern measured
    // in millimetres at the canvas font's pixels per inch.
    void SimularDashDot(TCanvas &canvas, QPoint end, QPoint start);

    // --- Store and canvas access --------------------------------------------------------------

    const QByteArray &Store() const { return FStore.Bytes(); }
    // Takes foreign bytes as the store (read with bounds checks) and repaints.
    void SetStore(const QByteArray &bytes);
    // The canvas the control draws on: its backing image's, or one set for inspection.
    TCanvas &Canvas() { return *FCanvas; }
    // Draws on canvas instead of the backing image (nullptr: back to the image).
    void SetCanvas(TCanvas *canvas);
    // The canvas printing draws on: the current printer's, or one set here (nullptr: back to
    // the printer's). Resolutions are read from that canvas when one is set.
    void SetPrinterCanvas(TCanvas *canvas);
    TCanvas *PrinterCanvas() const;
    // The backing image at the control's size. While the chart draws on another canvas it is
    // allocated only when asked for here.
    const QImage &Image() const;
    bool DesignMode() const { return FDesignMode; }
    void SetDesignMode(bool value);
    // Whether a replay joins runs of line records into single polylines (same pixels, faster).
    bool ReplayBatching() const { return FReplayBatching; }
    void SetReplayBatching(bool value) { FReplayBatching = value; }
    // Whether a batched replay takes line records eight at a time on AVX2 when the processor
    // has it (the default); off, four at a time on SSE2 (same pixels).
    bool ReplayAvx2() const { return FReplayAvx2; }
    void SetReplayAvx2(bool value) { FReplayAvx2 = value; }

    // --- Properties ---------------------------------------------------------------------------

    bool AtualizarControles() const { return FAtualizarControles; }
    bool Border() const { return FBorder; }
    TColor Color() const { return FColor; }
    TColor HighlightColor() const { return FHighlightColor; }
    bool MajorGrid() const { return FMajorGrid; }
    TColor MajorGridColor() const { return FMajorGridColor; }
    bool MinorGrid() const { return FMinorGrid; }
    TColor MinorGridColor() const { return FMinorGridColor; }
    int MinorXGridDivisions() const { return FMinorXGridDivisions; }
    int MinorYGridDivisions() const { return FMinorYGridDivisions; }
    int PenWidth() const { return FPenWidth; }
    TColor PenColor() const { return FPenColor; }
    TCanvas::TPenMode PenMode() const { return FPenMode; }
    TCanvas::TPenStyle PenStyle() const { return FPenStyle; }
    TColor PlotAreaColor() const { return FPlotAreaColor; }
    TPlotDestination PlotDestination() const { return FPlotDestination; }
    int PrinterPenWidth() const { return FPrinterPenWidth; }
    bool SecondYaxis() const { return FSecondYaxis; }
    bool ScreenEnabled() const { return FScreenEnabled; }
    TColor ShadowColor() const { return FShadowColor; }
    int TBmargin() const { return FTBmargin; }
    int LRmargin() const { return FLRmargin; }
    QString Title() const { return FTitle; }
    QFont TitleFont() const { return FTitleFont; }
    int TitleOffset() const { return FTitleOffset; }
    bool UseSecondYAxis() const { return FUseSecondYAxis; }
    TAxis *XAxis() const { return FXAxis; }
    TAxis *YAxis() const { return FYAxis; }
    TAxis *YAxis2() const { return FYAxis2; }
    TSymbolStyle SymbolStyle() const { return TSymbolStyle(FSymbol.Style); }
    int PrinterMajorGridWidth() const { return FPrinterMajorGridWidth; }
    int PrinterMinorGridWidth() const { return FPrinterMinorGridWidth; }
    void SetPrinterMajorGridWidth(int value) { FPrinterMajorGridWidth = value; }
    void SetPrinterMinorGridWidth(int value) { FPrinterMinorGridWidth = value; }
    void SetScreenEnabled(bool value) { FScreenEnabled = value; }

    void SetAtualizarControles(bool value);
    void SetBorder(bool value);
    void SetColor(TColor value);
    void SetHighlightColor(TColor value);
    void SetMajorGrid(bool value);
    void SetMajorGridColor(TColor value);
    void SetMinorGrid(bool value);
    void SetMinorGridColor(TColor value);
    void SetMinorXGridDivisions(int value);
    void SetMinorYGridDivisions(int value);
    // Records the width (its absolute value) while ScreenEnabled.
    void SetPenWidth(int value);
    // Records the colour while ScreenEnabled; the printer pen follows at once.
    void SetPenColor(TColor value);
    // Never recorded: a mode other than pmCopy lasts one line.
    void SetPenMode(TCanvas::TPenMode value);
    void SetPenStyle(TCanvas::TPenStyle value);
    void SetPlotAreaColor(TColor value);
    void SetPlotDestination(TPlotDestination value);
    void SetPrinterPenWidth(int value);
    void SetSecondYaxis(bool value);
    void SetShadowColor(TColor value);
    void SetTBmargin(int value);
    void SetLRmargin(int value);
    void SetTitle(const QString &value);
    void SetTitleFont(const QFont &value);
    void SetTitleOffset(int value);
    // Selects the Y axis later commands map against; recorded.
    void SetUseSecondYAxis(bool value);

    // Streams Title as the custom entry "Title".
    void WriteCustom(QJsonObject &json) const override;
    void ReadCustom(const QJsonObject &json) override;
    // While the properties are read the layout is left stale; it is computed once at the end.
    void BeginRead() override;
    void EndRead() override;

    // --- Events -------------------------------------------------------------------------------

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    // Fired at the end of Paint (an empty handler by default).
    TNotifyEvent OnPaint;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    template <typename T>
    void Assign(T &field, const T &value);

    // Layout helpers.
    int NumberWidth(const TAxis &axis, int divisions);
    int NumberHeight(const TAxis &axis);
    int LabelHeight(const TAxis &axis);
    const TAxis &SelectedYAxis() const;
    void UpdateScaleY();
    // ScaleY and the paper Y scale for the selected Y axis.
    void UpdateScales();
    void LayoutIfStale();
    TCanvas::TFont CanvasFont(const QFont &font) const;

    // Screen drawing helpers.
    void PaintImage();
    void SizeImage() const;
    void EnsureImage();
    void Invalidate();
    bool ScreenActive() const;
    bool Recording() const;
    QRect ScreenClip() const;
    void ScreenLine(TCanvas &c, QPoint to);
    void ScreenSymbol(QPoint p);
    void SymbolOutOn(int x, int y, TCanvas &canvas, bool printer);

    // Store helpers.
    qsizetype CompleteStoreSize() const;
    void Replay(TCanvas &canvas, bool printer);
    // Real values of a pixel against the Y axis commands map with (0, 0 outside the plot).
    QPointF PixelToReal(int x, int y) const;
    // A command recorded but not drawn (AtualizarControles false): the next repaint redraws.
    void NotDrawnYet();
    bool IsPrinterCanvas(const TCanvas &canvas) const;

    // Printer helpers.
    int PrinterCaps(TCanvas::TDeviceCap cap) const;
    QPoint RealToPaper(float x, float y) const;
    void PaperMove(QPoint p);
    void PaperLine(QPoint p);
    void PaperLineOn(TCanvas &c, QPoint to);
    void PaperSymbol(QPoint p);
    void PlacePaperChart(int x0, int y0, int w, int h);
    void PaperGrid(TCanvas &c);
    void PaperFrame(TCanvas &c);

    TAxis *FXAxis;
    TAxis *FYAxis;
    TAxis *FYAxis2;
    mutable QImage FImage;
    std::unique_ptr<TCanvas> FImageCanvas;
    TCanvas *FCanvas;
    TCommandStore FStore;
    std::unique_ptr<TReplayCache> FReplayCache;

    bool FAtualizarControles = true;
    bool FBorder = true;
    TColor FColor = clBtnFace;
    TColor FHighlightColor = clBtnHighlight;
    bool FMajorGrid = true;
    TColor FMajorGridColor = clBlack;
    bool FMinorGrid = true;
    TColor FMinorGridColor = clSilver;
    int FMinorXGridDivisions = 5;
    int FMinorYGridDivisions = 5;
    int FPenWidth = 1;
    TColor FPenColor = clRed;
    TCanvas::TPenMode FPenMode = TCanvas::pmCopy;
    TCanvas::TPenStyle FPenStyle = TCanvas::psSolid;
    TColor FPlotAreaColor = clWhite;
    TPlotDestination FPlotDestination = ScreenOnly;
    int FPrinterMajorGridWidth = 3;
    int FPrinterMinorGridWidth = 1;
    int FPrinterPenWidth = 1;
    bool FSecondYaxis = false;
    bool FScreenEnabled = true;
    TColor FShadowColor = clBtnShadow;
    int FTBmargin = 10;
    int FLRmargin = 10;
    QString FTitle;
    QFont FTitleFont;
    int FTitleOffset = 5;
    bool FUseSecondYAxis = false;
    TChartSymbol FSymbol;
    TChartReplay::TState FStart;

    TChartLayout FLayout;
    bool FLayoutStale = true;
    mutable bool FImageStale = true;
    int FReadsInProgress = 0;
    bool FLayoutOwed = false;
    bool FDesignMode = false;
    bool FReplayBatching = true;
    bool FReplayAvx2 = true;
    TCanvas *FPrinterCanvasOverride = nullptr;

    // Printing state (printer pixels).
    bool FPrinting = false;
    int FDpiX = 0, FDpiY = 0;
    TPaperLayout FPaper;
};
