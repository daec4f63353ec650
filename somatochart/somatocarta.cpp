#include "somatochart/somatocarta.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/eventguard.h"
#include "platform/exception.h"
#include "platform/numbertext.h"
#include "platform/printer.h"
#include "somatochart/somatocartapontosrapidos.h"

namespace {

// Pixels stay within +-2^28, so a sum of a few of them never overflows an int (and the canvas
// limits drawing to +-2^27 anyway).
constexpr double kLimitePixel = double(1 << 28);
const double kRaiz3 = std::sqrt(3.0);

// Truncation toward zero, saturated, NaN as 0.
int Trunc(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, -kLimitePixel, kLimitePixel));
}

QJsonValue DoubleParaJson(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    return value;
}

bool DoubleDeJson(const QJsonValue &json, double *value)
{
    if (json.isDouble()) {
        *value = json.toDouble();
        return true;
    }
    const QString text = json.toString();
    if (text == QLatin1String("NaN"))
        *value = std::nan("");
    else if (text == QLatin1String("Infinity"))
        *value = HUGE_VAL;
    else if (text == QLatin1String("-Infinity"))
        *value = -HUGE_VAL;
    else
        return false;
    return true;
}

bool IntDeJson(const QJsonValue &json, int *value)
{
    if (!json.isDouble())
        return false;
    const double d = json.toDouble();
    if (d != std::trunc(d) || d < double(INT_MIN) || d > double(INT_MAX))
        return false;
    *value = int(d);
    return true;
}

bool CorDeJson(const QJsonValue &json, TColor *value)
{
    if (json.isDouble()) {
        const double d = json.toDouble();
        if (d != std::trunc(d) || d < 0 || d > double(UINT_MAX))
            return false;
        *value = TColor(quint32(d));
        return true;
    }
    return json.isString() && TColor::FromString(json.toString(), value);
}

// The points as the array streamed under "Pontos": one object per point, members at 0 or empty
// omitted.
QJsonArray EscreverPontos(const TColecaoDePontos &colecao)
{
    QJsonArray pontos;
    for (int i = 0; i < colecao.Count(); ++i) {
        const TPonto &p = colecao.Items(i);
        QJsonObject item;
        if (p.X != 0)
            item.insert(QStringLiteral("X"), DoubleParaJson(p.X));
        if (p.Y != 0)
            item.insert(QStringLiteral("Y"), DoubleParaJson(p.Y));
        if (p.Forma != 0)
            item.insert(QStringLiteral("Forma"), p.Forma);
        if (p.Tamanho != 0)
            item.insert(QStringLiteral("Tamanho"), p.Tamanho);
        if (p.Cor != 0)
            item.insert(QStringLiteral("Cor"), p.Cor.ToString());
        if (!p.Descricao.isEmpty())
            item.insert(QStringLiteral("Descricao"), p.Descricao);
        pontos.append(item);
    }
    return pontos;
}

// Replaces the points with those of the array (without notifications); members of the wrong
// type keep the new point's zero.
void LerPontos(TColecaoDePontos &colecao, const QJsonArray &pontos)
{
    colecao.Clear();
    for (const QJsonValue &v : pontos) {
        const QJsonObject item = v.toObject();
        TPonto &p = colecao.Add();
        DoubleDeJson(item.value(QStringLiteral("X")), &p.X);
        DoubleDeJson(item.value(QStringLiteral("Y")), &p.Y);
        IntDeJson(item.value(QStringLiteral("Forma")), &p.Forma);
        IntDeJson(item.value(QStringLiteral("Tamanho")), &p.Tamanho);
        CorDeJson(item.value(QStringLiteral("Cor")), &p.Cor);
        p.Descricao = item.value(QStringLiteral("Descricao")).toString();
    }
}

}  // namespace

TSomatocarta::TSomatocarta(QWidget *Owner)
    : QWidget(Owner),
      FImage(375, 305, QImage::Format_RGB32),
      FImageCanvas(std::make_unique<TCanvas>(&FImage)),
      FCanvas(FImageCanvas.get()),
      FCanvasDeTela(FImageCanvas.get())
{
    FImage.fill(Qt::white);
    FImageCanvas->SetPixelsPerInch(logicalDpiX(), logicalDpiY());
    FImageCanvas->OnChange = [this] { update(); };

    FPontos = new TColecaoDePontos(this);
    FPontos->setObjectName(QStringLiteral("Pontos"));
    FPontos->OnPontoAcrescentado = [this](QObject *sender) { OnPontoAdicionado(sender); };
    FPontos->OnPontoEditado = [this](QObject *sender) { OnFPontosAlterado(sender); };
    FPontos->OnPontoExcluido = [this](QObject *sender) { OnFPontosAlterado(sender); };

    FLegenda = new TLegendaSomatocarta(FCanvas, FPontos, this);
    FLegenda->setObjectName(QStringLiteral("Legenda"));
    FLegenda->OnFundoPrecisaRepaint = [this](QObject *sender) { OnRepaintDevidoLegenda(sender); };

    FFiguras = new TFigurasSomatocarta(this);
    FFiguras->setObjectName(QStringLiteral("Figuras"));
    FFiguras->OnFiguraEndoAlterada = [this](QObject *sender) { PlotarFiguraEndo(sender); };
    FFiguras->OnFiguraMesoAlterada = [this](QObject *sender) { PlotarFiguraMeso(sender); };
    FFiguras->OnFiguraEctoAlterada = [this](QObject *sender) { PlotarFiguraEcto(sender); };

    const int ppi = std::max(logicalDpiX(), 1);
    FiTamanhoDaCartaMM = Trunc(25.4 / ppi * 300 + 0.5);
    CalcularLayout();
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(375, 305);
}

TSomatocarta::~TSomatocarta()
{
    // Collection, legend, figures, in that order; their events must not reach a dying control.
    FPontos->OnPontoAcrescentado = nullptr;
    FPontos->OnPontoEditado = nullptr;
    FPontos->OnPontoExcluido = nullptr;
    delete FPontos;
    FLegenda->OnFundoPrecisaRepaint = nullptr;
    delete FLegenda;
    FFiguras->OnFiguraEndoAlterada = nullptr;
    FFiguras->OnFiguraMesoAlterada = nullptr;
    FFiguras->OnFiguraEctoAlterada = nullptr;
    delete FFiguras;
}

// ---- layout ---------------------------------------------------------------------------------

void TSomatocarta::CalcularLayout()
{
    FiU = Trunc(FiTamanhoDaCarta * 0.045);
    FiM = Trunc(FiU * FdOffsetCartaMultiplicador);
    FiA = CalcularA();
    FiB = FiTamanhoDaCarta - 2 * FiM - FiA;
    FdH = kRaiz3 * FiB * 0.5;
}

int TSomatocarta::CalcularA() const
{
    return FbMostrarEixos ? Trunc(FiU * 1.5) : 0;
}

int TSomatocarta::S(double value) const
{
    return Trunc(value * double(FEscala));
}

QPoint TSomatocarta::P1() const
{
    return QPoint(FiM + FiB / 2 + FiA + FiOx, FiM + FiOy);
}

QPoint TSomatocarta::P2() const
{
    const QPoint p1 = P1();
    return QPoint(p1.x() - FiB / 2, Trunc(p1.y() + FdH));
}

QPoint TSomatocarta::P3() const
{
    const QPoint p1 = P1();
    return QPoint(p1.x() + FiB / 2, Trunc(p1.y() + FdH));
}

QPoint TSomatocarta::PosicaoDoPonto(double x, double y) const
{
    return QPoint(Trunc(FiB * (x + 6) / 12 + FiM + FiA), Trunc(FiM + FdH - (y + 6) * FdH / 18));
}

TRect TSomatocarta::RetanguloDoCliente() const
{
    return TRect{S(FiOx), S(FiOy), S(double(FiOx) + width()), S(double(FiOy) + height())};
}

TRect TSomatocarta::RetanguloDaFigura(double left, double top, double right, double bottom) const
{
    return TRect{S(left), S(top), S(right), S(bottom)};
}

void TSomatocarta::DepoisAjusteTamanhoDaCarta()
{
    CalcularLayout();
    PlotarSomatocarta();
}

int TSomatocarta::LarguraDaPaginaMM()
{
    if (TPrinter::Printers().isEmpty())
        return kLarguraPadraoMM;
    int mm = 0;
    try {
        mm = Printer()->CreateInformationContext()->DeviceCaps(TCanvas::HorzSize);
    } catch (const Exception &) {
        mm = 0;
    }
    return mm > 0 ? mm : kLarguraPadraoMM;
}

// ---- canvas ---------------------------------------------------------------------------------

void TSomatocarta::SetCanvas(TCanvas *canvas)
{
    FCanvasDeTela = canvas ? canvas : FImageCanvas.get();
    FCanvas = FCanvasDeTela;
    FLegenda->AjustarCanvas(FCanvas);
}

void TSomatocarta::SetPrinterCanvas(TCanvas *canvas)
{
    FPrinterCanvasOverride = canvas;
}

TCanvas *TSomatocarta::PrinterCanvas() const
{
    return FPrinterCanvasOverride ? FPrinterCanvasOverride : &Printer()->Canvas();
}

int TSomatocarta::TextosGuardados() const
{
    return FPontosRapidos ? FPontosRapidos->TextosGuardados() : 0;
}

void TSomatocarta::GarantirImagem()
{
    if (FImage.size() != size()) {
        FImage = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        FImage.fill(Qt::white);
        FImageCanvas->SetImage(&FImage);
        FImagemPendente = true;
    }
    if (FImagemPendente && FCanvas == FImageCanvas.get()) {
        FImagemPendente = false;
        Paint();
    }
}

void TSomatocarta::resizeEvent(QResizeEvent *)
{
    TEventGuard::Run("TSomatocarta::resizeEvent", [this] { GarantirImagem(); });
}

void TSomatocarta::paintEvent(QPaintEvent *)
{
    // Drawing may raise (a canvas or a figure that fails): the window shows what was drawn.
    TEventGuard::Run("TSomatocarta::paintEvent", [this] { GarantirImagem(); });
    QPainter painter(this);
    painter.drawImage(0, 0, FImage);
}

// ---- drawing --------------------------------------------------------------------------------

void TSomatocarta::Paint()
{
    PlotarSomatocarta();
    if (FLegenda->Visivel())
        FLegenda->Desenhar(false);
}

void TSomatocarta::AjustarFonte(TCanvas &c) const
{
    TCanvas::TFont font;
    font.Name = QStringLiteral("Times New Roman");
    font.SetHeight(S(FiU));
    font.Color = FcCorDaFonte;
    c.Font() = font;
}

void TSomatocarta::PlotarSomatocarta()
{
    if (AdiarDesenho())
        return;
    TCanvas &c = *FCanvas;
    c.ResetClip();
    PlotarFundo(c);
    PlotarEixos();
    AjustarFonte(c);
    c.Pen() = TCanvas::TPen{FcCorDaCarta, Trunc(FEscala), TCanvas::psSolid, TCanvas::pmCopy};
    c.Brush().Style = TCanvas::bsClear;
    PlotarArcos(c);
    if (FbMostrarLinhasInternas)
        PlotarLinhasInternas(c);
    if (FbMostrarFiguras) {
        PlotarFiguraEndo(this);
        PlotarFiguraMeso(this);
        PlotarFiguraEcto(this);
    } else {
        PlotarRotulos(c);
    }
    PlotarPontos();
    PlotarMoldura(c);
}

void TSomatocarta::PlotarFundo(TCanvas &c)
{
    c.Brush() = TCanvas::TBrush{FcCorDeFundo, TCanvas::bsSolid};
    const TRect cliente = RetanguloDoCliente();
    if (!FLegenda->Visivel()) {
        c.FillRect(cliente);
        return;
    }
    const double e = FEscala;
    const TRect legenda{Trunc(FLegenda->CoordIniX() * e), Trunc(FLegenda->CoordIniY() * e),
                        Trunc((double(FLegenda->CoordIniX()) + FLegenda->Largura()) * e),
                        Trunc((double(FLegenda->CoordIniY()) + FLegenda->Altura()) * e)};
    c.FillRegion(QRegion(cliente.ToQRect()).subtracted(QRegion(legenda.ToQRect())));
}

void TSomatocarta::PlotarArcos(TCanvas &c)
{
    const double b = FiB, h = FdH;
    const QPoint centros[3] = {P1(), P2(), P3()};
    // Start and end of each counter-clockwise arc: the lower arc (centre P1), the right arc
    // (centre P2), the left arc (centre P3).
    const QPointF ini[3] = {{-b * 0.5, h}, {b, 0}, {-b * 0.5, -h}};
    const QPointF fim[3] = {{b * 0.5, h}, {b * 0.5, -h}, {-b, 0}};
    for (int i = 0; i < 3; ++i) {
        const double x = centros[i].x(), y = centros[i].y();
        c.Arc(S(x - b), S(y - b), S(x + b), S(y + b), S(x + ini[i].x()), S(y + ini[i].y()),
              S(x + fim[i].x()), S(y + fim[i].y()));
    }
}

void TSomatocarta::PlotarLinhasInternas(TCanvas &c)
{
    c.Pen().Style = TCanvas::psDot;
    c.Pen().Width = 1;
    const QPoint p1 = P1();
    c.MoveTo(S(p1.x()), S(p1.y()));
    c.LineTo(S(p1.x()), S(double(FiM) + FiOy + FiB));
    const double esq = double(FiOx) + FiA + FiM, dir = esq + FiB;
    const double base = double(FiOy) + FiM + FdH, alto = base - kRaiz3 * FiB / 3;
    c.MoveTo(S(esq), S(base));
    c.LineTo(S(dir), S(alto));
    c.MoveTo(S(dir), S(base));
    c.LineTo(S(esq), S(alto));
    c.Pen().Style = TCanvas::psSolid;
    c.Pen().Width = Trunc(FEscala);
}

void TSomatocarta::PlotarRotulos(TCanvas &c)
{
    c.Brush().Style = TCanvas::bsClear;
    const double esq = double(FiOx) + FiA + FiM;
    const double base = double(FiOy) + FiM + FdH;
    const unsigned old = c.SetTextAlign(TCanvas::taRight | TCanvas::taTop);
    c.TextOut(S(esq), S(base), QStringLiteral("ENDO"));
    c.SetTextAlign(TCanvas::taCenter | TCanvas::taBottom);
    c.TextOut(S(esq + FiB / 2), S(double(FiOy) + FiM), QStringLiteral("MESO"));
    c.SetTextAlign(TCanvas::taLeft | TCanvas::taTop);
    c.TextOut(S(esq + FiB), S(base), QStringLiteral("ECTO"));
    c.SetTextAlign(old);
}

void TSomatocarta::PlotarMoldura(TCanvas &c)
{
    if (AdiarDesenho())
        return;
    c.Brush() = TCanvas::TBrush{FcCorDaBorda, TCanvas::bsSolid};
    c.FrameRect(RetanguloDoCliente());
}

void TSomatocarta::PlotarEixos()
{
    if (AdiarDesenho() || !FbMostrarEixos)
        return;
    TCanvas &c = *FCanvas;
    c.Pen() = TCanvas::TPen{FcCorDosEixos, Trunc(FEscala), TCanvas::psSolid, TCanvas::pmCopy};
    c.Brush() = TCanvas::TBrush{FcCorDeFundo, TCanvas::bsSolid};
    AjustarFonte(c);
    const int yb = 2 * FiM + FiB;
    const unsigned old = c.TextAlign();
    EixoX(c, yb, FiB + FiA + 2 * FiM);
    EixoY(c, yb);
    c.SetTextAlign(old);
}

void TSomatocarta::EixoX(TCanvas &c, int yb, int w)
{
    const double ox = FiOx, oy = FiOy;
    c.MoveTo(S(ox + FiA), S(oy + yb));
    c.LineTo(S(ox + w), S(oy + yb));
    c.SetTextAlign(TCanvas::taRight | TCanvas::taBottom);
    c.TextOut(S(ox + w), S(oy + yb - 1), QStringLiteral("X"));
    c.SetTextAlign(TCanvas::taCenter | TCanvas::taTop);
    for (int n = 0; n <= 12; ++n) {
        const int xt = Trunc(FiA + FiM + FiB * n / 12.0);
        c.MoveTo(S(ox + xt), S(oy + yb + 2));
        c.LineTo(S(ox + xt), S(oy + yb));
        const TRect r{S(ox + xt - FiU / 2), S(oy + yb + 2), S(ox + xt + FiU / 2),
                      S(oy + yb + 2 + FiU)};
        c.TextRect(r, S(ox + xt), r.Top, QString::number(n - 6));
    }
}

void TSomatocarta::EixoY(TCanvas &c, int yb)
{
    const double ox = FiOx, oy = FiOy;
    c.MoveTo(S(ox + FiA), S(oy + yb));
    c.LineTo(S(ox + FiA), S(oy + 1));
    c.SetTextAlign(TCanvas::taLeft | TCanvas::taTop);
    c.TextOut(S(ox + FiA + 1), S(oy + 1), QStringLiteral("Y"));
    c.SetTextAlign(TCanvas::taRight | TCanvas::taTop);
    const int base = Trunc(FiM + FdH);
    for (int i = 0; i <= 18; i += 2) {
        const int yt = Trunc(base - i * FdH / 18);
        c.MoveTo(S(ox + FiA - 2), S(oy + yt));
        c.LineTo(S(ox + FiA), S(oy + yt));
        const TRect r{S(ox + FiA - 2 - FiU), S(oy + yt - FiU / 2), S(ox + FiA - 2),
                      S(oy + yt + FiU / 2)};
        c.TextRect(r, r.Right, r.Top, QString::number(i - 6));
    }
}

void TSomatocarta::PlotarPontos()
{
    // On its own image at scale 1 the chart stamps markers and texts kept from earlier paints
    // (the same pixels, without a painter per call); elsewhere every point goes through the
    // canvas.
    TSomatocartaPontosRapidos *rapido = nullptr;
    if (FCanvas == FImageCanvas.get() && FEscala == 1.0f && FiOx == 0 && FiOy == 0 &&
        FImage.format() == QImage::Format_RGB32 && !FCanvas->HasClip() && FPontos->Count() > 0) {
        const int ppi = FCanvas->PixelsPerInchY();
        if (!FPontosRapidos || !FPontosRapidos->MesmaFonte(FCanvas->Font(), ppi))
            FPontosRapidos = std::make_unique<TSomatocartaPontosRapidos>(FCanvas->Font(), ppi);
        rapido = FPontosRapidos.get();
    }
    for (int i = 0; i < FPontos->Count(); ++i)
        PlotarPontoEm(FPontos->Items(i), rapido);
    if (rapido)
        update();
}

bool TSomatocarta::PosicaoVisivel(const TPonto &ponto, QPoint *p) const
{
    // A coordinate that is not a finite number has no pixel.
    if (!std::isfinite(ponto.X) || !std::isfinite(ponto.Y))
        return false;
    *p = PosicaoDoPonto(ponto.X, ponto.Y);
    return p->x() >= 0 && p->x() <= width() && p->y() >= 0 && p->y() <= height();
}

QString TSomatocarta::TextoDoPonto(const TPonto &ponto)
{
    return u'(' + TNumberText::General(ponto.X) + QLatin1String("; ") +
           TNumberText::General(ponto.Y) + u')';
}

void TSomatocarta::PlotarPonto(const TPonto &ponto)
{
    if (AdiarDesenho())
        return;
    // Called alone (a point just added), the canvas may still hold the legend's font.
    AjustarFonte(*FCanvas);
    PlotarPontoEm(ponto, nullptr);
}

void TSomatocarta::PlotarPontoEm(const TPonto &ponto, TSomatocartaPontosRapidos *rapido)
{
    QPoint p;
    if (!PosicaoVisivel(ponto, &p))
        return;
    if (rapido && rapido->Marcador(FImage, p.x(), p.y(), ponto.Forma, ponto.Tamanho, ponto.Cor)) {
        if (FbMostrarCoord)
            rapido->Texto(FImage, p.x(), Trunc(double(p.y()) + ponto.Tamanho), TextoDoPonto(ponto));
        return;
    }
    TCanvas &c = *FCanvas;
    const double x = double(FiOx) + p.x(), y = double(FiOy) + p.y();
    const double t = std::clamp(double(ponto.Tamanho), -kLimitePixel, kLimitePixel);
    c.Pen() = TCanvas::TPen{ponto.Cor, Trunc(FEscala), TCanvas::psSolid, TCanvas::pmCopy};
    if (ponto.Forma == 0) {
        c.Brush() = TCanvas::TBrush{ponto.Cor, TCanvas::bsSolid};
        c.Ellipse(S(x - t), S(y - t), S(x + t), S(y + t));
    } else if (ponto.Forma == 1) {
        c.MoveTo(S(x), S(y - t));
        c.LineTo(S(x), Trunc((y + t) * FEscala + 1));
        c.MoveTo(S(x - t), S(y));
        c.LineTo(Trunc((x + t) * FEscala + 1), S(y));
    }
    if (!FbMostrarCoord)
        return;
    c.Brush().Style = TCanvas::bsClear;
    const unsigned old = c.SetTextAlign(TCanvas::taCenter | TCanvas::taTop);
    c.TextOut(S(x), S(y + t), TextoDoPonto(ponto));
    c.SetTextAlign(old);
}

void TSomatocarta::PlotarFigura(const QImage &image, const TRect &rect)
{
    FCanvas->StretchDraw(rect, image);
}

void TSomatocarta::PlotarFiguraEndo(QObject *)
{
    const double ox = FiOx, oy = FiOy, m = FiM, a = FiA, h = FdH;
    PlotarFigura(FFiguras->FiguraEndo(), RetanguloDaFigura(ox + a + 0.1 * m, oy + m + h,
                                                           ox + a + 0.9 * m, oy + h + 1.8 * m));
}

void TSomatocarta::PlotarFiguraMeso(QObject *)
{
    const double ox = FiOx, oy = FiOy, m = FiM, a = FiA, meio = FiB / 2;
    PlotarFigura(FFiguras->FiguraMeso(), RetanguloDaFigura(ox + a + 0.6 * m + meio, oy + 0.1 * m,
                                                           ox + a + 1.4 * m + meio, oy + 0.9 * m));
}

void TSomatocarta::PlotarFiguraEcto(QObject *)
{
    const double ox = FiOx, oy = FiOy, m = FiM, a = FiA, b = FiB, h = FdH;
    PlotarFigura(FFiguras->FiguraEcto(), RetanguloDaFigura(ox + a + 1.1 * m + b, oy + m + h,
                                                           ox + a + 1.9 * m + b, oy + h + 1.8 * m));
}

// ---- notifications --------------------------------------------------------------------------

void TSomatocarta::DesenharLegenda(bool forcarRecalculo)
{
    if (FLegenda->Visivel())
        FLegenda->Desenhar(forcarRecalculo);
}

void TSomatocarta::OnPontoAdicionado(QObject *)
{
    if (FPontos->Count() > 0)
        PlotarPonto(FPontos->Items(FPontos->Count() - 1));
    DesenharLegenda(true);
}

void TSomatocarta::OnFPontosAlterado(QObject *)
{
    PlotarSomatocarta();
    DesenharLegenda(true);
}

void TSomatocarta::OnRepaintDevidoLegenda(QObject *)
{
    PlotarSomatocarta();
}

void TSomatocarta::Redesenhar()
{
    PlotarSomatocarta();
    DesenharLegenda(true);
}

// ---- printing -------------------------------------------------------------------------------

void TSomatocarta::ImprimirSomatocarta(int x, int y, int unidade)
{
    if (!Printer()->Printing())
        return;
    TCanvas *papel = PrinterCanvas();
    int largura = papel->DeviceCaps(TCanvas::PhysicalWidth);
    if (largura <= 0)
        largura = papel->DeviceCaps(TCanvas::HorzRes);
    if (largura <= 0)
        return;
    const float escala = float(largura) / float(FiLargDaPaginaNaTela);
    const double margemX = papel->DeviceCaps(TCanvas::PhysicalOffsetX) / double(escala);
    const double margemY = papel->DeviceCaps(TCanvas::PhysicalOffsetY) / double(escala);
    double ox = double(x) - margemX, oy = double(y) - margemY;
    if (unidade == 10) {
        int mm = papel->DeviceCaps(TCanvas::HorzSize);
        if (mm <= 0)
            mm = kLarguraPadraoMM;
        ox = double(x) * FiLargDaPaginaNaTela / mm - margemX;
        oy = double(y) * FiLargDaPaginaNaTela / mm - margemY;
    }
    FiOx = Trunc(ox + 0.5);
    FiOy = Trunc(oy + 0.5);
    FEscala = escala;
    FCanvas = papel;
    try {
        PlotarSomatocarta();
    } catch (...) {
        FEscala = 1.0f;
        FiOx = FiOy = 0;
        FCanvas = FCanvasDeTela;
        throw;
    }
    FEscala = 1.0f;
    FiOx = FiOy = 0;
    FCanvas = FCanvasDeTela;
}

// ---- properties -----------------------------------------------------------------------------

void TSomatocarta::AjustarFdOffsetCartaMultiplicador(double value)
{
    if (!(value >= 0 && value <= 5))
        return;
    FdOffsetCartaMultiplicador = value;
    DepoisAjusteTamanhoDaCarta();
}

void TSomatocarta::AjustarFiLargDaPaginaNaTela(int value)
{
    if (value < 1)
        return;
    FiLargDaPaginaNaTela = value;
}

void TSomatocarta::AjustarTamanhoDaCarta(int value)
{
    if (value < 1 || value > kTamanhoMaximo)
        return;
    FiTamanhoDaCarta = value;
    const double mm = double(LarguraDaPaginaMM()) * value / FiLargDaPaginaNaTela + 0.5;
    FiTamanhoDaCartaMM = Trunc(mm);
    DepoisAjusteTamanhoDaCarta();
}

void TSomatocarta::AjustarTamanhoDaCartaMM(int value)
{
    if (value < 1)
        return;
    const double t = double(value) * FiLargDaPaginaNaTela / LarguraDaPaginaMM() + 0.5;
    if (t < 1 || t > kTamanhoMaximo)
        return;
    FiTamanhoDaCartaMM = value;
    FiTamanhoDaCarta = int(t);
    DepoisAjusteTamanhoDaCarta();
}

void TSomatocarta::AjustarFbMostrarEixos(bool value)
{
    FbMostrarEixos = value;
    FiA = CalcularA();
    PlotarSomatocarta();
}

void TSomatocarta::AjustarFbMostrarCoord(bool value)
{
    FbMostrarCoord = value;
    PlotarSomatocarta();
}

void TSomatocarta::AjustarFcCorDeFundo(TColor value)
{
    FcCorDeFundo = value;
    PlotarSomatocarta();
}

void TSomatocarta::AjustarFcCorDosEixos(TColor value)
{
    FcCorDosEixos = value;
    PlotarEixos();
}

void TSomatocarta::AjustarFcCorDaFonte(TColor value)
{
    FcCorDaFonte = value;
    PlotarSomatocarta();
}

void TSomatocarta::AjustarFcCorDaCarta(TColor value)
{
    FcCorDaCarta = value;
    PlotarSomatocarta();
}

void TSomatocarta::AjustarFcCorDaBorda(TColor value)
{
    FcCorDaBorda = value;
    PlotarMoldura(*FCanvas);
}

void TSomatocarta::AjustarFbMostrarLinhasInternas(bool value)
{
    FbMostrarLinhasInternas = value;
    PlotarSomatocarta();
}

void TSomatocarta::AjustarFbMostrarFiguras(bool value)
{
    FbMostrarFiguras = value;
    PlotarSomatocarta();
}

// ---- streaming ------------------------------------------------------------------------------

void TSomatocarta::WriteCustom(QJsonObject &json) const
{
    // The points go out once, as the structured entry; PontosJson is the same array as text for
    // Qt Designer's forms.
    json.remove(QStringLiteral("PontosJson"));
    const QJsonArray pontos = EscreverPontos(*FPontos);
    if (!pontos.isEmpty())
        json.insert(QStringLiteral("Pontos"), pontos);
}

void TSomatocarta::ReadCustom(const QJsonObject &json)
{
    // The two sizes derive each other through their setters (rounding both ways), so after the
    // properties were read they are set back to the values written.
    int tamanho = 300, mm = 79;
    IntDeJson(json.value(QStringLiteral("TamanhoDaCarta")), &tamanho);
    IntDeJson(json.value(QStringLiteral("TamanhoDaCartaMM")), &mm);
    if (tamanho >= 1 && tamanho <= kTamanhoMaximo && mm >= 1) {
        FiTamanhoDaCarta = tamanho;
        FiTamanhoDaCartaMM = mm;
        CalcularLayout();
    }

    const QJsonValue lista = json.value(QStringLiteral("Pontos"));
    if (lista.isUndefined() || lista.isArray())
        LerPontos(*FPontos, lista.toArray());
    Redesenhar();
}

void TSomatocarta::BeginRead()
{
    // The legend draws itself on the chart's canvas; without one it only keeps its settings.
    if (FLeiturasEmCurso++ == 0)
        FLegenda->AjustarCanvas(nullptr);
}

void TSomatocarta::EndRead()
{
    if (FLeiturasEmCurso == 0 || --FLeiturasEmCurso > 0)
        return;
    FLegenda->AjustarCanvas(FCanvas);
    if (FDesenhoAdiado) {
        FDesenhoAdiado = false;
        Redesenhar();
    }
}

bool TSomatocarta::AdiarDesenho()
{
    if (FLeiturasEmCurso == 0)
        return false;
    FDesenhoAdiado = true;
    return true;
}

QString TSomatocarta::PontosJson() const
{
    return QString::fromUtf8(
        QJsonDocument(EscreverPontos(*FPontos)).toJson(QJsonDocument::Compact));
}

void TSomatocarta::AjustarPontosJson(const QString &json)
{
    QJsonParseError erro;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8(), &erro);
    if (erro.error != QJsonParseError::NoError || !doc.isArray())
        return;
    LerPontos(*FPontos, doc.array());
    Redesenhar();
}
