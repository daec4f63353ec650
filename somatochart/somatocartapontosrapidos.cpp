#include "somatochart/somatocartapontosrapidos.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

TSomatocartaPontosRapidos::TSomatocartaPontosRapidos(const TCanvas::TFont &font, int ppi)
    : FFonteDoCanvas(font),
      FPpi(ppi),
      FFont(font.ToQFont(ppi)),
      FMetrics(FFont),
      FCor(font.Color.ToQColor().rgb())
{
    for (auto &linha : FAvancos)
        std::fill(std::begin(linha), std::end(linha), qint64(-1));
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

const TSomatocartaPontosRapidos::TTexto &TSomatocartaPontosRapidos::TextoGuardado(
    const QString &text)
{
    auto it = FTextos.constFind(text);
    if (it != FTextos.constEnd())
        return *it;
    if (FTextos.size() >= kTextosMaximo)
        FTextos.clear();
    TTexto guardado;
    if (!Composicao(text, &guardado.Pecas))
        guardado.Inteira = MascaraInteira(text);
    return *FTextos.insert(text, std::move(guardado));
}

TSomatocartaPontosRapidos::TMascara TSomatocartaPontosRapidos::MascaraInteira(
    const QString &text) const
{
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
    return ParaBits(argb, -caixa.topLeft());
}

qint64 TSomatocartaPontosRapidos::Avanco(int a, int b)
{
    qint64 &avanco = FAvancos[a][b < 0 ? kLetras : b];
    if (avanco >= 0)
        return avanco;
    // Widths are sums of advances in 1/64 pixel; a's advance before b (kerning included) is the
    // pair's width less b's.
    const QFontMetricsF metrics(FFont);
    const QString letra{QLatin1Char(kAlfabeto[a])};
    qreal largura = metrics.horizontalAdvance(letra);
    if (b >= 0) {
        const QString seguinte{QLatin1Char(kAlfabeto[b])};
        largura = metrics.horizontalAdvance(letra + seguinte) - metrics.horizontalAdvance(seguinte);
    }
    avanco = std::max<qint64>(0, qRound64(largura * 64));
    return avanco;
}

const TSomatocartaPontosRapidos::TMascara &TSomatocartaPontosRapidos::Glifo(int c, int fracao)
{
    std::unique_ptr<TMascara> &guardado = FGlifos[size_t(c * 64 + fracao)];
    if (guardado)
        return *guardado;
    // The character alone, its pen at (fracao / 64, baseline) of a pixel whose top-left corner
    // is the reference point.
    const QString letra{QLatin1Char(kAlfabeto[c])};
    const QRect tinta = FMetrics.boundingRect(letra).translated(0, FMetrics.ascent());
    const QRect caixa = tinta.united(QRect(0, 0, 1, FMetrics.height())).adjusted(-4, -4, 5, 4);
    QImage argb(caixa.size(), QImage::Format_ARGB32_Premultiplied);
    argb.fill(Qt::transparent);
    QPainter p(&argb);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(FFont);
    p.setPen(QColor(Qt::black));
    p.drawText(QPointF(fracao / 64.0, FMetrics.ascent()) - QPointF(caixa.topLeft()), letra);
    p.end();
    guardado = std::make_unique<TMascara>(ParaBits(argb, -caixa.topLeft()));
    return *guardado;
}

bool TSomatocartaPontosRapidos::Composicao(const QString &text, QList<TPeca> *pecas)
{
    // Underline and strike-out run under the whole text, not glyph by glyph.
    const qsizetype n = text.size();
    int indices[64];
    if (n == 0 || n > qsizetype(std::size(indices)) || FFont.underline() || FFont.strikeOut())
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        const char *achado = c < 128 && c != 0 ? std::strchr(kAlfabeto, char(c)) : nullptr;
        if (!achado)
            return false;
        indices[i] = int(achado - kAlfabeto);
    }
    qint64 avancos[64], largura = 0;
    for (qsizetype i = 0; i < n; ++i) {
        avancos[i] = Avanco(indices[i], i + 1 < n ? indices[i + 1] : -1);
        largura += avancos[i];
    }
    // QFontMetrics::horizontalAdvance rounds the width; the text is centred on it.
    qint64 caneta = qint64(-int(std::lround(double(largura) / 64)) / 2) * 64;
    pecas->resize(n);
    for (qsizetype i = 0; i < n; ++i) {
        const qint64 inteiro = caneta >= 0 ? caneta / 64 : -((63 - caneta) / 64);
        (*pecas)[i] = TPeca{&Glifo(indices[i], int(caneta - inteiro * 64)), int(inteiro)};
        caneta += avancos[i];
    }
    return true;
}

void TSomatocartaPontosRapidos::Texto(QImage &image, int x, int y, const QString &text)
{
    const TTexto &guardado = TextoGuardado(text);
    if (guardado.Pecas.isEmpty())
        Carimbar(image, guardado.Inteira, x, y, FCor);
    for (const TPeca &peca : guardado.Pecas)
        Carimbar(image, *peca.Mascara, x + peca.Dx, y, FCor);
}
void TSomatocartaPontosRapidos::TextoInteiro(QImage &image, int x, int y, const QString &text)
{
    Carimbar(image, MascaraInteira(text), x, y, FCor);
}
