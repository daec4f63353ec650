#include "legendasomatocarta.h"

#include <cmath>
#include <limits>

#include "platform/numbertext.h"

namespace {

constexpr int kAlturaMaximaDaFonte = 32767;

// Truncation toward zero that stays defined for values an int cannot hold (saturates) and for
// NaN (0): font sizes and offsets come from streamed properties.
int Trunc(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}

}  // namespace

TLegendaSomatocarta::TLegendaSomatocarta(TCanvas *canvas, TColecaoDePontos *pontos, QObject *parent)
    : QObject(parent), FCanvas(canvas), FPontos(pontos)
{
    CalcularTamanho();
}

TLegendaSomatocarta::~TLegendaSomatocarta() = default;

void TLegendaSomatocarta::AjustarCanvas(TCanvas *canvas)
{
    FCanvas = canvas;
}

bool TLegendaSomatocarta::TemPontos() const
{
    return FPontos && FPontos->Count() > 0;
}

QString TLegendaSomatocarta::TextoDaLinha(double x, double y, const QString &descricao) const
{
    if (!FbMostrarCoord)
        return descricao;
    return u'(' + TNumberText::General(x) + QLatin1String("; ") + TNumberText::General(y) +
           QLatin1String(") - ") + descricao;
}

int TLegendaSomatocarta::AlturaDaFonte() const
{
    const int ppi = FCanvas ? FCanvas->PixelsPerInchY() : 96;
    const int altura = Trunc(-double(FiTamDaFonte) * ppi / 72.0 * double(FEscala));
    // A streamed size can be anything; keep the height one the font engine can take.
    return qBound(-kAlturaMaximaDaFonte, altura, kAlturaMaximaDaFonte);
}

TRect TLegendaSomatocarta::Retangulo() const
{
    const int x = Trunc(FiCoordIniX * double(FEscala));
    const int y = Trunc(FiCoordIniY * double(FEscala));
    return {x, y, Trunc(double(x) + FiLargura), Trunc(double(y) + FiAltura)};
}

void TLegendaSomatocarta::AjustarFonte()
{
    TCanvas::TFont &font = FCanvas->Font();
    font.Color = FcCorDaFonte;
    font.Name = FsNomeDaFonte;
    font.SetHeight(AlturaDaFonte());
}

void TLegendaSomatocarta::AvisarFundo()
{
    if (OnFundoPrecisaRepaint)
        OnFundoPrecisaRepaint(this);
}

void TLegendaSomatocarta::CalcularTamanho()
{
    const int larguraAntiga = FiLargura;
    const int alturaAntiga = FiAltura;
    if (!FCanvas || !TemPontos()) {
        FiLargura = 0;
        FiAltura = 0;
    } else {
        AjustarFonte();
        int maisLarga = 0;
        double soma = 0;
        for (int i = 0; i < FPontos->Count(); ++i) {
            const TPonto &p = FPontos->Items(i);
            const QSize extent = FCanvas->TextExtent(TextoDaLinha(p.X, p.Y, p.Descricao));
            maisLarga = qMax(maisLarga, extent.width());
            soma += extent.height();
        }
        const int meioMarcador = FCanvas->TextHeight(FPontos->Items(0).Descricao) / 2;
        FiLargura = Trunc((2.0 * FiOffsetBorda + kEspacoMarcadorTexto) * double(FEscala) +
                          meioMarcador + maisLarga);
        FiAltura = Trunc(soma + 2.0 * FiOffsetBorda * double(FEscala));
    }
    if (FiLargura < larguraAntiga || FiAltura < alturaAntiga)
        AvisarFundo();
}

void TLegendaSomatocarta::Apagar()
{
    if (!FCanvas)
        return;
    FCanvas->Brush().Style = TCanvas::bsSolid;
    FCanvas->Brush().Color = clNone;
    FCanvas->FillRect(Retangulo());
}

void TLegendaSomatocarta::Desenhar(bool forcarRecalculo)
{
    if (!FCanvas)
        return;
    if (forcarRecalculo || FiLargura <= 0 || FiAltura <= 0) {
        Apagar();
        CalcularTamanho();
        // The repaint handler may have re-targeted the legend.
        if (!FCanvas || FiLargura <= 0 || FiAltura <= 0)
            return;
    }
    const int n = FPontos ? FPontos->Count() : 0;
    AjustarFonte();
    const int x0 = Trunc((double(FiCoordIniX) + FiOffsetBorda) * double(FEscala));
    int y = Trunc((double(FiCoordIniY) + FiOffsetBorda) * double(FEscala));

    const TRect caixa = Retangulo();
    FCanvas->Brush().Style = TCanvas::bsSolid;
    FCanvas->Brush().Color = FcCorDeFundo;
    FCanvas->FillRect(caixa);
    FCanvas->Brush().Color = FcCorDaBorda;
    FCanvas->FrameRect(caixa);

    const unsigned alinhamento = FCanvas->SetTextAlign(TCanvas::taLeft | TCanvas::taTop);
    for (int i = 0; i < n; ++i) {
        const TPonto &p = FPontos->Items(i);
        if (p.Forma != 0 && p.Forma != 1)
            continue;
        const QString texto = TextoDaLinha(p.X, p.Y, p.Descricao);
        const int th = FCanvas->TextHeight(texto);
        DesenharLinha(x0, y, th, texto, p.Cor, p.Forma);
        y = Trunc(double(y) + th);
    }
    FCanvas->SetTextAlign(alinhamento);
}

void TLegendaSomatocarta::DesenharLinha(int x0, int y, int th, const QString &texto, TColor cor,
                                        int forma)
{
    const double escala = FEscala;
    TCanvas &c = *FCanvas;
    c.Pen().Style = TCanvas::psSolid;
    c.Pen().Color = cor;
    c.Pen().Width = Trunc(escala);
    if (forma == 0) {
        c.Brush().Style = TCanvas::bsSolid;
        c.Brush().Color = cor;
        c.Ellipse(x0, Trunc(y + th / 4.0), Trunc(x0 + th / 2.0), Trunc(y + 3.0 * th / 4.0));
    } else {
        const int meio = Trunc(y + th / 2.0);
        c.MoveTo(x0, meio);
        c.LineTo(Trunc(x0 + th / 2.0 + 1), meio);
        const int xv = Trunc(x0 + th / 4.0);
        c.MoveTo(xv, Trunc(y + th / 4.0));
        c.LineTo(xv, Trunc(y + 3.0 * th / 4.0 + 1));
    }
    c.Brush().Style = TCanvas::bsClear;
    const int xt = Trunc(x0 + th / 2.0 + kEspacoMarcadorTexto * escala);
    const int tw = c.TextWidth(texto);
    c.TextRect({xt, y, Trunc(double(xt) + tw), Trunc(double(y) + th)}, xt, y, texto);
}

void TLegendaSomatocarta::RedesenharRecalculando()
{
    if (FbVisivel)
        Desenhar(true);  // erases at the old size first
}

void TLegendaSomatocarta::MoverPara(int &campo, int value)
{
    if (!FbVisivel) {
        campo = value;
        return;
    }
    Apagar();
    campo = value;
    AvisarFundo();
    Desenhar(false);
}

void TLegendaSomatocarta::AjustarFbVisivel(bool value)
{
    const bool estava = FbVisivel;
    FbVisivel = value;
    if (value) {
        // Setters only store while hidden, so the size may be stale: compute it before drawing.
        if (!estava)
            CalcularTamanho();
        Desenhar(false);
    } else if (estava) {
        Apagar();
        AvisarFundo();
    }
}

void TLegendaSomatocarta::AjustarFbMostrarCoord(bool value)
{
    FbMostrarCoord = value;
    RedesenharRecalculando();
}

void TLegendaSomatocarta::AjustarFiCoordIniX(int value)
{
    MoverPara(FiCoordIniX, value);
}

void TLegendaSomatocarta::AjustarFiCoordIniY(int value)
{
    MoverPara(FiCoordIniY, value);
}

void TLegendaSomatocarta::AjustarFiOffsetBorda(int value)
{
    FiOffsetBorda = value;
    RedesenharRecalculando();
}

void TLegendaSomatocarta::AjustarFiLargDaPaginaNaTela(int value)
{
    if (value >= 1)
        FiLargDaPaginaNaTela = value;
}

void TLegendaSomatocarta::AjustarFcCorDaBorda(TColor value)
{
    FcCorDaBorda = value;
    if (!FbVisivel || !FCanvas || FiLargura <= 0 || FiAltura <= 0)
        return;
    FCanvas->Brush().Style = TCanvas::bsSolid;
    FCanvas->Brush().Color = value;
    FCanvas->FrameRect(Retangulo());
}

void TLegendaSomatocarta::AjustarFcCorDeFundo(TColor value)
{
    FcCorDeFundo = value;
    if (FbVisivel)
        Desenhar(false);
}

void TLegendaSomatocarta::AjustarFcCorDaFonte(TColor value)
{
    FcCorDaFonte = value;
    if (FbVisivel)
        Desenhar(false);
}

void TLegendaSomatocarta::AjustarFiTamDaFonte(int value)
{
    FiTamDaFonte = value;
    RedesenharRecalculando();
}

void TLegendaSomatocarta::AjustarFsNomeDaFonte(const QString &value)
{
    FsNomeDaFonte = value;
    RedesenharRecalculando();
}
