#include "somatochart/somatocartapontosrapidos.h"

#include <QPainter>
#include <algorithm>

TSomatocartaPontosRapidos::TSomatocartaPontosRapidos(const TCanvas::TFont &font, int ppi)
    : FFonteDoCanvas(font),
      FPpi(ppi),
      FFont(font.ToQFont(ppi)),
      FMetrics(FFont),
      FCor(font.Color.ToQColor().rgb())
{
}

bool TSomatocartaPontosRapidos::MesmaFonte(const TCanvas::TFont &font, int ppi) const
{
    return font == FFonteDoCanvas && ppi == FPpi;
}

TSomatocartaPontosRapidos::TMascara TSomatocartaPontosRapidos::ParaBits(const QImage &argb,
                                                                        QPoint origem)
{
    TMascara m;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *linha = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width();) {
            if (qAlpha(linha[x]) == 0) {
                ++x;
                continue;
            }
            const int inicio = x;
            while (x < argb.width() && qAlpha(linha[x]) != 0)
                ++x;
            m.Trechos.append(TTrecho{y - origem.y(), inicio - origem.x(), x - origem.x()});
        }
    }
    return m;
}

void TSomatocartaPontosRapidos::Carimbar(QImage &image, const TMascara &mascara, int x, int y,
                                         QRgb rgb)
{
    const int largura = image.width(), altura = image.height();
    uchar *bits = image.bits();
    const qsizetype passo = image.bytesPerLine();
    for (const TTrecho &t : mascara.Trechos) {
        const int iy = y + t.Y;
        if (iy < 0 || iy >= altura)
            continue;
        const int x0 = std::max(x + t.X0, 0), x1 = std::min(x + t.X1, largura);
        if (x0 < x1)
            std::fill(reinterpret_cast<QRgb *>(bits + iy * passo) + x0,
                      reinterpret_cast<QRgb *>(bits + iy * passo) + x1, rgb);
    }
}

const TSomatocartaPontosRapidos::TMascara &TSomatocartaPontosRapidos::Carimbo(int forma,
                                                                              int tamanho)
{
    const auto chave = std::make_pair(forma, tamanho);
    auto it = FCarimbos.find(chave);
    if (it != FCarimbos.end())
        return it->second;
    // The calls the chart makes for a point at (t, t), on a transparent image.
    const int t = tamanho;
    QImage argb(2 * t + 2, 2 * t + 2, QImage::Format_ARGB32);
    argb.fill(Qt::transparent);
    TCanvas c(&argb);
    c.Pen() = TCanvas::TPen{clBlack, 1, TCanvas::psSolid, TCanvas::pmCopy};
    c.Brush() = TCanvas::TBrush{clBlack, TCanvas::bsSolid};
    if (forma == 0) {
        c.Ellipse(0, 0, 2 * t, 2 * t);
    } else {
        c.MoveTo(t, 0);
        c.LineTo(t, 2 * t + 1);
        c.MoveTo(0, t);
        c.LineTo(2 * t + 1, t);
    }
    return FCarimbos.emplace(chave, ParaBits(argb, QPoint(t, t))).first->second;
}

bool TSomatocartaPontosRapidos::Marcador(QImage &image, int x, int y, int forma, int tamanho,
                                         TColor cor)
{
    if (forma != 0 && forma != 1)
        return true;
    if (tamanho < 0 || tamanho > kTamanhoMaximo)
        return false;
    Carimbar(image, Carimbo(forma, tamanho), x, y, cor.ToQColor().rgb());
    return true;
}

const TSomatocartaPontosRapidos::TMascara &TSomatocartaPontosRapidos::MascaraDoTexto(
    const QString &text)
{
    auto it = FTextos.constFind(text);
    if (it != FTextos.constEnd())
        return *it;
    if (FTextos.size() >= kTextosMaximo)
        FTextos.clear();
    // As TCanvas::TextOut with centre/top alignment and a clear brush, for x = 0 and y = 0,
    // shifted into a margin that holds every ink pixel.
    const int esquerda = -FMetrics.horizontalAdvance(text) / 2;
    const QRect tinta = FMetrics.boundingRect(text).translated(esquerda, FMetrics.ascent());
    const QRect caixa =
        tinta.united(QRect(esquerda, 0, 1, FMetrics.height())).adjusted(-4, -4, 4, 4);
    QImage argb(caixa.size(), QImage::Format_ARGB32_Premultiplied);
    argb.fill(Qt::transparent);
    QPainter p(&argb);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(FFont);
    p.setPen(QColor(Qt::black));
    p.drawText(QPoint(esquerda, FMetrics.ascent()) - caixa.topLeft(), text);
    p.end();
    return *FTextos.insert(text, ParaBits(argb, -caixa.topLeft()));
}

void TSomatocartaPontosRapidos::Texto(QImage &image, int x, int y, const QString &text)
{
    Carimbar(image, MascaraDoTexto(text), x, y, FCor);
}
