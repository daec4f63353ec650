#include "chart/vtxgraph.h"

#include <QJsonObject>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <typeinfo>

#include "chart/chartgrid.h"
#include "chart/chartreplay.h"
#include "chart/dashline.h"
#include "chart/linerasterizer.h"
#include "chart/paperlayout.h"
#include "chart/replaycache.h"
#include "platform/exception.h"
#include "platform/printer.h"

namespace {

int Trunc(double v)
{
    return TLineRasterizer::Trunc(v);
}

int DrawWidth(int width)
{
    return TChartSymbol::DrawWidth(width);
}

// Runs an event handler's work; an exception must never reach Qt's event loop (it would end
// the program), so it is reported on the warning channel instead.
template <typename F>
void Guarded(const char *what, F &&work)
{
    try {
        work();
    } catch (const std::exception &e) {
        qWarning("TvtxGraph %s: %s", what, e.what());
    } catch (...) {
        qWarning("TvtxGraph %s: unknown exception", what);
    }
}

}  // namespace

TvtxGraph::TvtxGraph(QWidget *Owner)
    : QWidget(Owner),
      FXAxis(new TAxis(TAxis::XAxisKind, this)),
      FYAxis(new TAxis(TAxis::LeftYAxisKind, this)),
      FYAxis2(new TAxis(TAxis::RightYAxisKind, this)),
      FImageCanvas(std::make_unique<TCanvas>(&FImage)),
      FCanvas(FImageCanvas.get()),
      FReplayCache(std::make_unique<TReplayCache>()),
      FTitle(QStringLiteral("Título do Gráfico")),
      FTitleFont(QStringLiteral("Arial"), 10, QFont::Bold)
{
    FXAxis->setObjectName(QStringLiteral("XAxis"));
    FYAxis->setObjectName(QStringLiteral("YAxis"));
    FYAxis2->setObjectName(QStringLiteral("YAxis2"));
    for (TAxis *axis : {FXAxis, FYAxis, FYAxis2})
        axis->OnChange = [this](QObject *sender) { Invalida(sender); };
    FImageCanvas->SetPixelsPerInch(logicalDpiX(), logicalDpiY());
    FImageCanvas->OnChange = [this] { update(); };
    OnPaint = [](QObject *) {};
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(300, 300);
}

TvtxGraph::~TvtxGraph() = default;

// ---- layout -----------------------------------------------------------------------------------

TCanvas::TFont TvtxGraph::CanvasFont(const QFont &font) const
{
    return TCanvas::TFont::FromQFont(font, clBlack);
}

int TvtxGraph::NumberWidth(const TAxis &axis, int divisions)
{
    if (axis.UseCustomAnnotation())
        return 0;
    FCanvas->Font() = CanvasFont(axis.Font());
    int widest = 0;
    for (const QString &text : axis.NumberTexts(divisions))
        widest = std::max(widest, FCanvas->TextWidth(text));
    return widest + axis.NumberOffset();
}

int TvtxGraph::NumberHeight(const TAxis &axis)
{
    if (axis.UseCustomAnnotation())
        return 0;
    FCanvas->Font() = CanvasFont(axis.Font());
    // A line of text is as tall as its font whatever it says: one number measures them all
    // (an axis may have thousands).
    return FCanvas->TextHeight(axis.NumberTexts(0).constFirst()) + axis.NumberOffset();
}

int TvtxGraph::LabelHeight(const TAxis &axis)
{
    if (axis.AxisLabel().isEmpty())
        return 0;
    FCanvas->Font() = CanvasFont(axis.LabelFont());
    return FCanvas->TextHeight(axis.AxisLabel()) + axis.AxisLabelOffset();
}

const TAxis &TvtxGraph::SelectedYAxis() const
{
    return FUseSecondYAxis ? *FYAxis2 : *FYAxis;
}

void TvtxGraph::UpdateScaleY()
{
    FLayout.SetScaleY(*FYAxis, SelectedYAxis());
}

void TvtxGraph::CalculaDimensoes()
{
    TChartLayout::TMargins m;
    if (!FTitle.isEmpty()) {
        FCanvas->Font() = CanvasFont(FTitleFont);
        m.Top = qint64(FCanvas->TextHeight(FTitle)) + FTitleOffset;
    }
    m.Top += FTBmargin;
    m.Bottom =
        qint64(NumberHeight(*FXAxis)) + FTBmargin + LabelHeight(*FXAxis) + FXAxis->TicLength();
    m.Left =
        qint64(NumberWidth(*FYAxis, FYAxis->NumberOfDivisions())) + FLRmargin + FYAxis->TicLength();
    // The right axis is drawn with the left axis' divisions, so it is measured with them too.
    if (FSecondYaxis)
        m.Right = qint64(NumberWidth(*FYAxis2, FYAxis->NumberOfDivisions())) + FLRmargin +
                  FYAxis2->TicLength();
    FLayout.Compute(*FXAxis, *FYAxis, SelectedYAxis(), m);
    const QSize size = FLayout.ControlSize();
    if (this->size() != size || minimumSize() != size || maximumSize() != size)
        setFixedSize(size);
    // A chart drawing on another canvas does not hold an image the control's size (up to
    // 16,384 pixels a side) until one is asked for.
    if (FCanvas == FImageCanvas.get())
        SizeImage();
    FLayoutStale = false;
}

void TvtxGraph::SizeImage() const
{
    if (FImage.size() == size())
        return;
    FImage = QImage(size(), QImage::Format_RGB32);
    FImageCanvas->SetImage(&FImage);
    FImageStale = true;
}

const QImage &TvtxGraph::Image() const
{
    SizeImage();
    return FImage;
}

void TvtxGraph::LayoutIfStale()
{
    if (FLayoutStale)
        CalculaDimensoes();
}

int TvtxGraph::RealX2Canvas(float x)
{
    LayoutIfStale();
    return FLayout.MapX(x, FXAxis->OriginValue());
}

int TvtxGraph::RealY2Canvas(float y)
{
    LayoutIfStale();
    return FLayout.MapY(y, SelectedYAxis().OriginValue());
}

QPointF TvtxGraph::PixelToReal(int x, int y) const
{
    float rx, ry;
    int dx, dy;
    FLayout.GetValues(x, y, *FXAxis, *FYAxis, SelectedYAxis(), rx, ry, dx, dy);
    return QPointF(rx, ry);
}

void TvtxGraph::NotDrawnYet()
{
    if (FScreenEnabled && !FAtualizarControles)
        FImageStale = true;
}

void TvtxGraph::GetValues(int x, int y, float &realX, float &realY, int &dx, int &dy) const
{
    const TAxis &yAxis = FSecondYaxis && FUseSecondYAxis ? *FYAxis2 : *FYAxis;
    FLayout.GetValues(x, y, *FXAxis, *FYAxis, yAxis, realX, realY, dx, dy);
}

bool TvtxGraph::CursorInPlotArea(int x, int y) const
{
    return FLayout.Contains(x, y);
}

TRect TvtxGraph::PlotArea() const
{
    return TRect{FLayout.Xorigin(), FLayout.Yend(), FLayout.Xend(), FLayout.Yorigin()};
}

void TvtxGraph::Invalida(QObject *)
{
    if (FReadsInProgress > 0) {
        FLayoutStale = true;
        FLayoutOwed = true;
        return;
    }
    CalculaDimensoes();
    Invalidate();
}

void TvtxGraph::Invalidate()
{
    FImageStale = true;
    update();
}

// ---- painting ---------------------------------------------------------------------------------

void TvtxGraph::SetCanvas(TCanvas *canvas)
{
    FCanvas = canvas ? canvas : FImageCanvas.get();
    FLayoutStale = true;
    Invalidate();
}

void TvtxGraph::SetDesignMode(bool value)
{
    FDesignMode = value;
    Invalidate();
}

void TvtxGraph::EnsureImage()
{
    if (FImageStale && FCanvas == FImageCanvas.get())
        PaintImage();
}

void TvtxGraph::PaintImage()
{
    LayoutIfStale();
    if (FImage.isNull())  // too large to allocate: nothing can be drawn
        return;
    FImageStale = false;
    Paint();
}

void TvtxGraph::paintEvent(QPaintEvent *)
{
    Guarded("paint", [this] {
        LayoutIfStale();
        EnsureImage();
    });
    QPainter painter(this);
    if (FImage.isNull())
        painter.fillRect(rect(), FColor.ToQColor());
    else
        painter.drawImage(0, 0, FImage);
}

void TvtxGraph::Paint()
{
    CalculaDimensoes();
    if (FCanvas == FImageCanvas.get())
        FImageStale = false;
    TCanvas &c = *FCanvas;
    const int w = width(), h = height();
    c.ResetClip();
    c.Pen() = TCanvas::TPen{FColor, 1, TCanvas::psSolid, TCanvas::pmCopy};
    c.Brush() = TCanvas::TBrush{FColor, TCanvas::bsSolid};
    c.Rectangle(0, 0, w, h);
    if (FBorder) {
        c.Pen().Color = FHighlightColor;
        c.MoveTo(0, h - 1);
        c.LineTo(0, 0);
        c.LineTo(w - 1, 0);
        c.Pen().Color = FShadowColor;
        c.LineTo(w - 1, h - 1);
        c.LineTo(0, h - 1);
    }
    if (!FTitle.isEmpty()) {
        c.Font() = CanvasFont(FTitleFont);
        const QSize extent = c.TextExtent(FTitle);
        c.TextOut((w - extent.width()) / 2, FLayout.Yend() - extent.height() - FTitleOffset,
                  FTitle);
    }
    TChartGrid(*this, TChartGrid::TTarget{&c, false, FLayout.Xorigin(), FLayout.Yend(),
                                          FLayout.PlotWidth(), FLayout.PlotHeight()})
        .Draw();
    if (FDesignMode) {
        const int pw = FLayout.PlotWidth(), ph = FLayout.PlotHeight();
        c.Pen() = TCanvas::TPen{FPenColor, DrawWidth(FPenWidth), FPenStyle, TCanvas::pmCopy};
        c.MoveTo(FLayout.Xorigin() + 1, FLayout.Yorigin() - 1);
        c.LineTo(pw / 3 + FLayout.Xorigin() + 1, FLayout.Yend() + 1);
        c.LineTo(pw / 2 + FLayout.Xorigin() + 1, ph * 2 / 3 + FLayout.Yend() + 1);
        c.LineTo(pw * 2 / 3 + FLayout.Xorigin() + 1, FLayout.Yend() + 1);
        c.LineTo(FLayout.Xend() - 1, FLayout.Yorigin() - 1);
        c.Pen().Width = 1;
    } else {
        if (!FStore.IsEmpty())
            Replay(c, false);
        if (OnPaint)
            OnPaint(this);
    }
}

// ---- plotting commands ------------------------------------------------------------------------

bool TvtxGraph::ScreenActive() const
{
    // The control's image may be null when the plot is too large to allocate.
    return FScreenEnabled && FAtualizarControles &&
           (FCanvas != FImageCanvas.get() || !FImage.isNull());
}

bool TvtxGraph::Recording() const
{
    return FScreenEnabled && FPenMode == TCanvas::pmCopy;
}

QRect TvtxGraph::ScreenClip() const
{
    return QRect(QPoint(FLayout.Xorigin(), FLayout.Yend()),
                 QPoint(FLayout.Xend(), FLayout.Yorigin()));
}

void TvtxGraph::ScreenLine(TCanvas &c, QPoint to)
{
    const QRect clip = ScreenClip();
    c.SetClipRect(TRect::FromQRect(clip));
    c.Pen() = TCanvas::TPen{FPenColor, DrawWidth(FPenWidth), FPenStyle, FPenMode};
    c.LineTo(to.x(), to.y());
    c.ResetClip();
}

// Symbols are clipped to the plot area as a repaint clips them, so both show the same.
void TvtxGraph::ScreenSymbol(QPoint p)
{
    FCanvas->SetClipRect(TRect::FromQRect(ScreenClip()));
    SymbolOutOn(p.x(), p.y(), *FCanvas, false);
    FCanvas->ResetClip();
}

void TvtxGraph::MoveScaledTo(float x, float y)
{
    LayoutIfStale();
    if (ScreenActive()) {
        EnsureImage();
        FCanvas->MoveTo(RealX2Canvas(x), RealY2Canvas(y));
    }
    if (FPrinting)
        PaperMove(RealToPaper(x, y));
    if (Recording())
        FStore.AppendPoint(TCommandStore::rtMove, x, y);
}

void TvtxGraph::LineScaledTo(float x, float y)
{
    LayoutIfStale();
    if (ScreenActive()) {
        EnsureImage();
        ScreenLine(*FCanvas, QPoint(RealX2Canvas(x), RealY2Canvas(y)));
    }
    if (FPrinting)
        PaperLine(RealToPaper(x, y));
    if (FPenMode != TCanvas::pmCopy) {
        FPenMode = TCanvas::pmCopy;
    } else if (FScreenEnabled) {
        FStore.AppendPoint(TCommandStore::rtLine, x, y);
        NotDrawnYet();
    }
}

void TvtxGraph::MoveTo(int x, int y)
{
    LayoutIfStale();
    if (ScreenActive()) {
        EnsureImage();
        FCanvas->MoveTo(x, y);
    }
    if (FPrinting)
        PaperMove(QPoint(x, y));
    if (Recording()) {
        const QPointF r = PixelToReal(x, y);
        FStore.AppendPoint(TCommandStore::rtMove, float(r.x()), float(r.y()));
    }
}

void TvtxGraph::LineTo(int x, int y)
{
    LayoutIfStale();
    if (ScreenActive()) {
        EnsureImage();
        ScreenLine(*FCanvas, QPoint(x, y));
    }
    if (FPrinting)
        PaperLine(QPoint(x, y));
    if (FPenMode != TCanvas::pmCopy) {
        FPenMode = TCanvas::pmCopy;
    } else if (FScreenEnabled) {
        const QPointF r = PixelToReal(x, y);
        FStore.AppendPoint(TCommandStore::rtLine, float(r.x()), float(r.y()));
        NotDrawnYet();
    }
}

void TvtxGraph::DrawSymbolScaled(float x, float y)
{
    LayoutIfStale();
    if (ScreenActive()) {
        EnsureImage();
        ScreenSymbol(QPoint(RealX2Canvas(x), RealY2Canvas(y)));
    }
    if (FPrinting)
        PaperSymbol(RealToPaper(x, y));
    if (Recording()) {
        FStore.AppendPoint(TCommandStore::rtSymbol, x, y);
        NotDrawnYet();
    }
}

void TvtxGraph::DrawSymbol(int x, int y)
{
    LayoutIfStale();
    if (ScreenActive()) {
        EnsureImage();
        ScreenSymbol(QPoint(x, y));
    }
    if (FPrinting)
        PaperSymbol(QPoint(x, y));
    if (Recording()) {
        const QPointF r = PixelToReal(x, y);
        FStore.AppendPoint(TCommandStore::rtSymbol, float(r.x()), float(r.y()));
        NotDrawnYet();
    }
}

void TvtxGraph::PolyLine(const QList<QPoint> &points)
{
    if (points.isEmpty())
        return;
    MoveTo(points.first().x(), points.first().y());
    for (qsizetype i = 1; i < points.size(); ++i)
        LineTo(points[i].x(), points[i].y());
}

void TvtxGraph::PolyLineScaled(const QList<QPoint> &points)
{
    if (points.isEmpty())
        return;
    MoveScaledTo(float(points.first().x()), float(points.first().y()));
    for (qsizetype i = 1; i < points.size(); ++i)
        LineScaledTo(float(points[i].x()), float(points[i].y()));
}

void TvtxGraph::PolySymbol(const QList<QPoint> &points, bool joined)
{
    if (joined)
        PolyLine(points);
    for (const QPoint &p : points)
        DrawSymbol(p.x(), p.y());
}

void TvtxGraph::PolySymbolScaled(const QList<QPoint> &points, bool joined)
{
    if (joined)
        PolyLineScaled(points);
    for (const QPoint &p : points)
        DrawSymbolScaled(float(p.x()), float(p.y()));
}

void TvtxGraph::SetSymbolStyle(TSymbolStyle style, int halfHeight, int penWidth, TColor borderColor,
                               TColor fillColor, TCanvas::TBrushStyle fillStyle)
{
    FSymbol = TChartSymbol{style, penWidth, borderColor, fillColor, fillStyle, halfHeight};
    FStore.AppendSymbolStyle(style, penWidth, qint32(quint32(borderColor)),
                             qint32(quint32(fillColor)), fillStyle, halfHeight);
}

void TvtxGraph::SymbolOut(int x, int y, TCanvas &canvas)
{
    SymbolOutOn(x, y, canvas, IsPrinterCanvas(canvas));
}

void TvtxGraph::SymbolOutOn(int x, int y, TCanvas &canvas, bool printer)
{
    FSymbol.Draw(canvas, x, y, printer, FPrinterPenWidth);
}

// ---- store ------------------------------------------------------------------------------------

void TvtxGraph::Clear()
{
    FUseSecondYAxis = false;
    UpdateScales();
    FStart = TChartReplay::TState{FPenColor, FPenWidth, FPenStyle, FSymbol};
    FStore.Clear();
    FReplayCache->Clear();
    Invalidate();
}

void TvtxGraph::Refresh()
{
    Clear();
}

void TvtxGraph::Atualiza()
{
    CalculaDimensoes();
    RecalculaPontos();
    Invalidate();
}

qsizetype TvtxGraph::CompleteStoreSize() const
{
    qsizetype pos = 0;
    TCommandStore::TRecord r;
    while (FStore.Read(pos, r)) {
    }
    return pos;
}

void TvtxGraph::RecalculaPontos()
{
    const bool current = FUseSecondYAxis;
    qsizetype pos = 0;
    TCommandStore::TRecord r;
    while (FStore.Read(pos, r)) {
        if (r.Type == TCommandStore::rtFirstYAxis || r.Type == TCommandStore::rtSecondYAxis) {
            FUseSecondYAxis = r.Type == TCommandStore::rtSecondYAxis;
            UpdateScaleY();
        }
    }
    // A record cut short would swallow the bytes of the records appended after it.
    if (pos < FStore.Size()) {
        FStore.SetBytes(FStore.Bytes().left(pos));
        FReplayCache->Clear();
    }
    FUseSecondYAxis = current;
    UpdateScaleY();
}

void TvtxGraph::SetStore(const QByteArray &bytes)
{
    FStore.SetBytes(bytes);
    FReplayCache->Clear();
    const qsizetype complete = CompleteStoreSize();
    if (complete < FStore.Size())
        FStore.SetBytes(bytes.left(complete));
    Invalidate();
}

void TvtxGraph::getComandos(QStringList &lines) const
{
    FStore.Export(lines, QLocale());
}

void TvtxGraph::DesenhaGrafico(TCanvas &canvas)
{
    Replay(canvas, IsPrinterCanvas(canvas));
}

void TvtxGraph::UpdateScales()
{
    UpdateScaleY();
    FPaper.SetScaleY(*FYAxis, SelectedYAxis());
}

// Replays the store on canvas against the current layout (or the paper rectangle), with the
// pen and symbol in force at the last Clear; the chart's own state is left as it is.
void TvtxGraph::Replay(TCanvas &canvas, bool printer)
{
    LayoutIfStale();
    TChartReplay::TTarget t;
    t.Canvas = &canvas;
    t.Paper = printer;
    t.Fast = FReplayBatching;
    t.Avx2 = FReplayAvx2;
    t.Cache = FReplayCache.get();
    t.PrinterPenWidth = FPrinterPenWidth;
    const double ox = FXAxis->OriginValue();
    if (printer) {
        t.Clip = FPaper.PlotRect();
        t.PaperArea = FPaper.ChartRect();
        t.First = FPaper.Mapping(ox, *FYAxis, *FYAxis);
        t.Second = FPaper.Mapping(ox, *FYAxis, *FYAxis2);
    } else {
        t.Clip = ScreenClip();
        auto screen = [&](const TAxis &axis) {
            return FLayout.Mapping(ox, axis.OriginValue(),
                                   float(FYAxis->DivisionWidth() / axis.ScalePerDivision()));
        };
        t.First = screen(*FYAxis);
        t.Second = screen(*FYAxis2);
    }
    TChartReplay(t, FStart).Run(FStore);
}

// ---- printing ---------------------------------------------------------------------------------

void TvtxGraph::SetPrinterCanvas(TCanvas *canvas)
{
    FPrinterCanvasOverride = canvas;
}

// Without a canvas set for printing, a canvas on an image or one that reports no physical page
// is a screen canvas: no need to create the process-wide printer (a print-system query) just to
// compare it.
bool TvtxGraph::IsPrinterCanvas(const TCanvas &canvas) const
{
    if (FPrinterCanvasOverride)
        return &canvas == FPrinterCanvasOverride;
    if (&canvas == FImageCanvas.get() || canvas.Image() ||
        canvas.DeviceCaps(TCanvas::PhysicalWidth) == 0)
        return false;
    return &canvas == PrinterCanvas();
}

TCanvas *TvtxGraph::PrinterCanvas() const
{
    return FPrinterCanvasOverride ? FPrinterCanvasOverride : &Printer()->Canvas();
}

int TvtxGraph::PrinterCaps(TCanvas::TDeviceCap cap) const
{
    return FPrinterCanvasOverride ? FPrinterCanvasOverride->DeviceCaps(cap)
                                  : Printer()->DeviceCaps(cap);
}

QPoint TvtxGraph::RealToPaper(float x, float y) const
{
    return FPaper.Map(x, y, FXAxis->OriginValue(), SelectedYAxis().OriginValue());
}

void TvtxGraph::PaperMove(QPoint p)
{
    try {
        PrinterCanvas()->MoveTo(p.x(), p.y());
    } catch (const Exception &) {
    }
}

void TvtxGraph::PaperLine(QPoint p)
{
    try {
        PaperLineOn(*PrinterCanvas(), p);
    } catch (const Exception &) {
    }
}

void TvtxGraph::PaperLineOn(TCanvas &c, QPoint to)
{
    TChartReplay::PaperLine(c, to, TCanvas::TPen{FPenColor, 1, FPenStyle, TCanvas::pmCopy},
                            FPrinterPenWidth, FPaper.ChartRect());
}

void TvtxGraph::PaperSymbol(QPoint p)
{
    try {
        TCanvas &c = *PrinterCanvas();
        c.Pen().Width = DrawWidth(FPrinterPenWidth);
        SymbolOutOn(p.x(), p.y(), c, true);
    } catch (const Exception &) {
    }
}

void TvtxGraph::PlacePaperChart(int x0, int y0, int w, int h)
{
    FPaper.Place(x0, y0, w, h, FLayout, size(), *FXAxis, *FYAxis, SelectedYAxis());
}

// Background and border of the chart rectangle on paper.
void TvtxGraph::PaperFrame(TCanvas &c)
{
    c.ResetClip();
    c.Pen() = TCanvas::TPen{FColor, 1, TCanvas::psSolid, TCanvas::pmCopy};
    c.Brush() = TCanvas::TBrush{FColor, TCanvas::bsSolid};
    const int x0 = FPaper.X0(), y0 = FPaper.Y0(), x1 = x0 + FPaper.W(), y1 = y0 + FPaper.H();
    c.Rectangle(x0, y0, x1, y1);
    if (FBorder) {
        c.Pen().Color = FHighlightColor;
        c.MoveTo(x0, y1);
        c.LineTo(x0, y0);
        c.LineTo(x1, y0);
        c.Pen().Color = FShadowColor;
        c.LineTo(x1, y1);
        c.LineTo(x0, y1);
    }
}

void TvtxGraph::PaperGrid(TCanvas &c)
{
    TChartGrid(*this, TChartGrid::TTarget{&c, true, FPaper.PlotLeft(), FPaper.PlotTop(),
                                          FPaper.PlotWidth(), FPaper.PlotHeight(), FPaper.RatioX(),
                                          FPaper.RatioY()})
        .Draw();
}

void TvtxGraph::Imprime(float left, float top, float width, float height)
{
    const bool savedPrinting = FPrinting, savedScreen = FScreenEnabled;
    FScreenEnabled = false;
    FPrinting = true;
    try {
        LayoutIfStale();
        TCanvas &c = *PrinterCanvas();
        FDpiX = PrinterCaps(TCanvas::LogPixelsX);
        FDpiY = PrinterCaps(TCanvas::LogPixelsY);
        PlacePaperChart(Trunc(double(FDpiX) * left + 0.5), Trunc(double(FDpiY) * top + 0.5),
                        Trunc(double(FDpiX) * width + 0.5), Trunc(double(FDpiY) * height + 0.5));
        PaperFrame(c);
        if (!FTitle.isEmpty()) {
            c.Font() = CanvasFont(FTitleFont);
            const QSize e = c.TextExtent(FTitle);
            c.TextOut((FPaper.W() - e.width()) / 2 + FPaper.X0(),
                      Trunc(FPaper.PlotTop() - e.height() - FTitleOffset * FPaper.RatioY()),
                      FTitle);
        }
        PaperGrid(c);
        c.Pen().Width = DrawWidth(FPrinterPenWidth);
        Replay(c, true);
    } catch (const Exception &) {
    }
    FPrinting = savedPrinting;
    FScreenEnabled = savedScreen;
}

void TvtxGraph::PrintGrids(float left, float top, float width)
{
    try {
        LayoutIfStale();
        TCanvas &c = *PrinterCanvas();
        const int dpi = PrinterCaps(TCanvas::LogPixelsX);
        FDpiX = FDpiY = dpi;
        int w, h;
        if (width != 0) {
            w = Trunc(double(width) * dpi + 0.5);
            h = Trunc(double(w) * this->height() / std::max(this->width(), 1) + 0.5);
        } else {
            const double screenPpi = std::max(FImageCanvas->PixelsPerInchX(), 1);
            w = Trunc(this->width() / screenPpi * dpi);
            h = Trunc(this->height() / screenPpi * dpi);
        }
        PlacePaperChart(Trunc(double(dpi) * left + 0.5), Trunc(double(dpi) * top + 0.5), w, h);
        PaperFrame(c);
        PaperGrid(c);
        c.Pen().Style = TCanvas::psSolid;
    } catch (const Exception &) {
    }
}

void TvtxGraph::SimularDashDot(TCanvas &canvas, QPoint end, QPoint start)
{
    TDashLine::Draw(canvas, end, start, IsPrinterCanvas(canvas));
}

// ---- properties -------------------------------------------------------------------------------

void TvtxGraph::SetAtualizarControles(bool value)
{
    FAtualizarControles = value;
}

template <typename T>
void TvtxGraph::Assign(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    Invalida(this);
}

void TvtxGraph::SetBorder(bool value)
{
    Assign(FBorder, value);
}
void TvtxGraph::SetColor(TColor value)
{
    Assign(FColor, value);
}
void TvtxGraph::SetHighlightColor(TColor value)
{
    Assign(FHighlightColor, value);
}
void TvtxGraph::SetMajorGrid(bool value)
{
    Assign(FMajorGrid, value);
}
void TvtxGraph::SetMajorGridColor(TColor value)
{
    Assign(FMajorGridColor, value);
}
void TvtxGraph::SetMinorGrid(bool value)
{
    Assign(FMinorGrid, value);
}
void TvtxGraph::SetMinorGridColor(TColor value)
{
    Assign(FMinorGridColor, value);
}
void TvtxGraph::SetMinorXGridDivisions(int value)
{
    Assign(FMinorXGridDivisions, std::abs(value));
}
void TvtxGraph::SetMinorYGridDivisions(int value)
{
    Assign(FMinorYGridDivisions, std::abs(value));
}
void TvtxGraph::SetPlotAreaColor(TColor value)
{
    Assign(FPlotAreaColor, value);
}
void TvtxGraph::SetSecondYaxis(bool value)
{
    Assign(FSecondYaxis, value);
}
void TvtxGraph::SetShadowColor(TColor value)
{
    Assign(FShadowColor, value);
}
void TvtxGraph::SetTBmargin(int value)
{
    Assign(FTBmargin, std::abs(value));
}
void TvtxGraph::SetLRmargin(int value)
{
    Assign(FLRmargin, std::abs(value));
}
void TvtxGraph::SetTitle(const QString &value)
{
    Assign(FTitle, value);
}
void TvtxGraph::SetTitleFont(const QFont &value)
{
    Assign(FTitleFont, value);
}
void TvtxGraph::SetTitleOffset(int value)
{
    Assign(FTitleOffset, std::abs(value));
}

void TvtxGraph::SetPenWidth(int value)
{
    FPenWidth = DrawWidth(value);
    if (!FScreenEnabled)
        return;
    if (FDesignMode)
        Invalidate();
    // Recorded as given, as stores written by earlier versions hold it; drawing uses the size.
    FStore.AppendInt(TCommandStore::rtPenWidth, value);
}

void TvtxGraph::SetPenColor(TColor value)
{
    FPenColor = value;
    if (FPrinting) {
        try {
            PrinterCanvas()->Pen().Color = value;
        } catch (const Exception &) {
        }
    }
    if (!FScreenEnabled)
        return;
    if (FDesignMode)
        Invalidate();
    FStore.AppendInt(TCommandStore::rtPenColor, qint32(quint32(value)));
}

void TvtxGraph::SetPenStyle(TCanvas::TPenStyle value)
{
    FPenStyle = value;
    if (!FScreenEnabled)
        return;
    if (FDesignMode)
        Invalidate();
    FStore.AppendByte(TCommandStore::rtPenStyle, quint8(value));
}

void TvtxGraph::SetPenMode(TCanvas::TPenMode value)
{
    FPenMode = value;
}

void TvtxGraph::SetPlotDestination(TPlotDestination value)
{
    if (value == FPlotDestination)
        return;
    FPlotDestination = value;
    FScreenEnabled = value != PrinterOnly;
    FPrinting = value != ScreenOnly;
}

void TvtxGraph::SetPrinterPenWidth(int value)
{
    if (value == FPrinterPenWidth)
        return;
    FPrinterPenWidth = value;
    if (!FPrinting)
        return;
    try {
        PrinterCanvas()->Pen().Width = DrawWidth(value);
    } catch (const Exception &) {
    }
}

void TvtxGraph::SetUseSecondYAxis(bool value)
{
    if (value == FUseSecondYAxis)
        return;
    FUseSecondYAxis = value;
    if (FDesignMode)
        return;
    UpdateScales();
    FStore.AppendAxis(value);
}

void TvtxGraph::WriteCustom(QJsonObject &json) const
{
    json.insert(QStringLiteral("Title"), FTitle);
}

void TvtxGraph::BeginRead()
{
    ++FReadsInProgress;
}

void TvtxGraph::EndRead()
{
    if (FReadsInProgress == 0 || --FReadsInProgress > 0 || !FLayoutOwed)
        return;
    FLayoutOwed = false;
    Invalida(this);
}

void TvtxGraph::ReadCustom(const QJsonObject &json)
{
    const QJsonValue title = json.value(QStringLiteral("Title"));
    if (title.isString())
        SetTitle(title.toString());
}

// ---- mouse ------------------------------------------------------------------------------------

void TvtxGraph::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    Guarded("mouse press", [&] {
        if (OnMouseDown)
            OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    });
}

void TvtxGraph::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    Guarded("mouse move", [&] {
        if (OnMouseMove)
            OnMouseMove(this, event->modifiers(), p.x(), p.y());
    });
}

void TvtxGraph::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    Guarded("mouse release", [&] {
        if (OnMouseUp)
            OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
    });
    Guarded("click", [&] {
        if (event->button() == Qt::LeftButton && rect().contains(p) && OnClick)
            OnClick(this);
    });
}

void TvtxGraph::mouseDoubleClickEvent(QMouseEvent *event)
{
    Guarded("double click", [&] {
        if (OnDblClick)
            OnDblClick(this);
    });
    QWidget::mouseDoubleClickEvent(event);
}
