#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <array>
#include <map>
#include <memory>
#include <utility>

#include "platform/canvas.h"
#include "platform/color.h"

// Draws the markers and coordinate texts of points on a 32-bit raster image with exactly the
// pixels TCanvas gives (1-pixel pens, no clip, scale 1), without the canvas' cost per call. Each
// marker shape and each text is drawn once (the marker through a TCanvas, the text with the
// canvas' font and placement) into a mask, kept, and stamped in its colour: a repaint of many
// points only copies pixels. Both drawings are the same under whole-pixel translation, so the
// stamp equals drawing in place.
//
// A new coordinate text costs no text layout: texts of digits, signs, separators and brackets
// are kept as glyph masks (one per character and fractional pen position, shared by all texts)
// placed at the advances the font gives each pair of characters, which is where the whole text's
// layout puts them; the glyphs' pixels together are the text's. Any other character lays the
// text out whole.
class TSomatocartaPontosRapidos {
public:
    // Largest marker half-size kept as a stamp; larger ones go through the canvas.
    static constexpr int kTamanhoMaximo = 64;
    // Texts kept at most; the cache starts afresh beyond it.
    static constexpr int kTextosMaximo = 20000;

    // font is the chart's canvas font, resolved at ppi.
    TSomatocartaPontosRapidos(const TCanvas::TFont &font, int ppi);

    // Whether this object draws with that font.
    bool MesmaFonte(const TCanvas::TFont &font, int ppi) const;

    // The marker of shape forma and half-size tamanho centred on (x, y). Returns false, drawing
    // nothing, when the size has no stamp.
    bool Marcador(QImage &image, int x, int y, int forma, int tamanho, TColor cor);
    // text centred on x with its top at y, transparent background, in the font's colour.
    void Texto(QImage &image, int x, int y, const QString &text);
    // The same text laid out and drawn whole, never put together from glyphs: the reference the
    // composed texts must equal.
    void TextoInteiro(QImage &image, int x, int y, const QString &text);

    int TextosGuardados() const { return int(FTextos.size()); }

private:
    // The runs of set pixels of a drawing, relative to its reference point.
    struct TTrecho {
        int Y, X0, X1;  // X1 exclusive
    };
    struct TMascara {
        QList<TTrecho> Trechos;
    };
    // A glyph's mask (kept in FGlifos) and its whole-pixel offset in a text.
    struct TPeca {
        const TMascara *Mascara;
        int Dx;
    };
    // A kept text: its glyphs when put together, else its whole mask.
    struct TTexto {
        QList<TPeca> Pecas;
        TMascara Inteira;
    };

    const TMascara &Carimbo(int forma, int tamanho);
    const TTexto &TextoGuardado(const QString &text);
    TMascara MascaraInteira(const QString &text) const;
    // The text's glyphs and offsets; false when a character is outside the alphabet.
    bool Composicao(const QString &text, QList<TPeca> *pecas);
    // Pen advance in 1/64 pixel of character a (alphabet index) followed by b (-1: last).
    qint64 Avanco(int a, int b);
    const TMascara &Glifo(int c, int fracao);
    static TMascara ParaBits(const QImage &argb, QPoint origem);
    static void Carimbar(QImage &image, const TMascara &mascara, int x, int y, QRgb rgb);

    TCanvas::TFont FFonteDoCanvas;
    int FPpi;
    QFont FFont;
    QFontMetrics FMetrics;
    QRgb FCor;
    std::map<std::pair<int, int>, TMascara> FCarimbos;
    QHash<QString, TTexto> FTextos;
    // Alphabet of the composed texts; advances by pair (the last column: no next character),
    // -1 until measured; glyph masks by character and 1/64-pixel pen fraction.
    static constexpr char kAlfabeto[] = "0123456789+-.,;() e";
    static constexpr int kLetras = int(sizeof kAlfabeto) - 1;
    qint64 FAvancos[kLetras][kLetras + 1];
    std::array<std::unique_ptr<TMascara>, size_t(kLetras) * 64> FGlifos;
};
