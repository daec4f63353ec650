#include "components/interfaceimpressora.h"

#include <chrono>
#include <cmath>
#include <optional>
#include <utility>

#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/printer.h"
#include "platform/trace.h"

namespace {

// Screen units are pixels at this resolution; the text is measured at it too.
constexpr int kScreenPpi = 96;
// Drawing coordinates stay within the canvas' limits, so no product overflows an int.
constexpr double kMaxCoordinate = double(1 << 27);
// Larger point sizes would overflow the canvas' pixel computations.
constexpr double kMaxPoints = 100000;

TInterfaceImpressora::TFonteDaLargura &PageWidthSource()
{
    static TInterfaceImpressora::TFonteDaLargura source;
    return source;
}

// The last page width read from the source and when it was read.
struct TLarguraLida {
    double Valor = 0;
    std::chrono::steady_clock::time_point Quando;
};

std::optional<TLarguraLida> &CachedPageWidth()
{
    static std::optional<TLarguraLida> cached;
    return cached;
}

int Truncated(double value, double limit)
{
    if (std::isnan(value))
        return 0;
    return int(std::trunc(qBound(-limit, value, limit)));
}

// The font's size in points: its point size, or its pixel size read at the screen resolution.
double PointSize(const QFont &font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() * 72.0 / kScreenPpi;
}

}  // namespace

TInterfaceImpressora::TInterfaceImpressora(TEditImp *edit, QObject *parent)
    : QObject(parent), FEdit(edit)
{
}

TInterfaceImpressora::~TInterfaceImpressora() = default;

void TInterfaceImpressora::AjustarFonte(const QFont &fonte)
{
    FFonte = fonte;
}

void TInterfaceImpressora::AjustarAlinhamento(TAlignment alinhamento)
{
    FAlinhamento = alinhamento;
    FuFormato = TCanvas::dtCalcRect | TCanvas::dtNoClip | TCanvas::dtWordBreak;
    if (alinhamento == taRightJustify)
        FuFormato |= TCanvas::dtRight;
    else if (alinhamento == taCenter)
        FuFormato |= TCanvas::dtCenter;
}

void TInterfaceImpressora::AjustarLargura(int largura)
{
    FiLargura = largura;
}

void TInterfaceImpressora::AjustarAltura(int altura)
{
    FiAltura = altura;
}

void TInterfaceImpressora::AjustarLargDaPaginaNaTela(int largura)
{
    FiLargDaPaginaNaTela = largura;
}

TInterfaceImpressora::TMedida TInterfaceImpressora::Medir(const QString &texto) const
{
    TMedida medida;
    medida.Razao = Razao();
    const double pontos = std::trunc(PointSize(FFonte) * medida.Razao + 0.5);
    medida.TamanhoDaFonte = int(qBound(0.0, pontos, kMaxPoints));

    TCanvas canvas;
    canvas.SetPixelsPerInch(kScreenPpi, kScreenPpi);
    canvas.Font() = TCanvas::TFont::FromQFont(FFonte);
    canvas.Font().SetSize(medida.TamanhoDaFonte);

    const int largura = Truncated(FiLargura * medida.Razao, kMaxCoordinate);
    const int altura = Truncated(FiAltura * medida.Razao, kMaxCoordinate);
    medida.Caixa = TRect::Bounds(0, 0, largura, altura);
    medida.Desenho = medida.Caixa;
    canvas.DrawText(medida.Desenho, texto, FuFormato);
    medida.Cabe = altura >= medida.Desenho.Bottom && largura >= medida.Desenho.Right;
    return medida;
}

double TInterfaceImpressora::Razao() const
{
    // A page of zero or negative width on the screen cannot scale anything: measure unscaled.
    if (FiLargDaPaginaNaTela <= 0)
        return 1;
    const double razao = LarguraDaPagina() / FiLargDaPaginaNaTela;
    return std::isfinite(razao) && razao > 0 ? razao : 1;
}

double TInterfaceImpressora::LarguraDaPagina()
{
    const auto now = std::chrono::steady_clock::now();
    std::optional<TLarguraLida> &cached = CachedPageWidth();
    if (cached && now - cached->Quando < std::chrono::milliseconds(kValidadeDaLarguraMs))
        return cached->Valor;
    const TFonteDaLargura &source = PageWidthSource();
    const double largura = source ? source() : LarguraDaImpressora();
    cached = TLarguraLida{largura, now};
    return largura;
}

void TInterfaceImpressora::EsquecerLarguraDaPagina()
{
    CachedPageWidth().reset();
}

TInterfaceImpressora::TFonteDaLargura TInterfaceImpressora::AjustarFonteDaLargura(
    TFonteDaLargura fonte)
{
    EsquecerLarguraDaPagina();
    return std::exchange(PageWidthSource(), std::move(fonte));
}

double TInterfaceImpressora::LarguraDaImpressora()
{
    if (TPrinter::Printers().isEmpty())
        return LarguraA4;
    // The test runs inside key and paste handlers, where an exception must not escape: a printer
    // that cannot be reached measures as the A4 page.
    try {
        return Printer()->DeviceCaps(TCanvas::PhysicalWidth);
    } catch (const Exception &e) {
        Trace(QStringLiteral("TInterfaceImpressora: printer unavailable (%1); A4 width used")
                  .arg(e.Message()));
        return LarguraA4;
    }
}
