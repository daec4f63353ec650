#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <map>
#include <utility>

#include "platform/canvas.h"
#include "platform/color.h"

// Draws the markers and coordinate texts of points on a 32-bit raster image with exactly the
// pixels TCanvas gives (1-pixel pens, no clip, scale 1), without the canvas' cost per call. Each
// marker shape and each text is drawn once (the marker through a TCanvas, the text with the
// canvas' font and placement) into a mask, kept, and stamped in its colour: a repaint of many
// points only copies pixels. Both drawings are the same under whole-pixel translation, so the
// stamp equals drawing in place.
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

    int TextosGuardados() const { return int(FTextos.size()); }

private:
    // The runs of set pixels of a drawing, relative to its reference point.
    struct TTrecho {
        int Y, X0, X1;  // X1 exclusive
    };
    struct TMascara {
        QList<TTrecho> Trechos;
    };

    const TMascara &Carimbo(int forma, int tamanho);
    const TMascara &MascaraDoTexto(const QString &text);
    static TMascara ParaBits(const QImage &argb, QPoint origem);
    static void Carimbar(QImage &image, const TMascara &mascara, int x, int y, QRgb rgb);

    TCanvas::TFont FFonteDoCanvas;
    int FPpi;
    QFont FFont;
    QFontMetrics FMetrics;
    QRgb FCor;
    std::map<std::pair<int, int>, TMascara> FCarimbos;
    QHash<QString, TMascara> FTextos;
};
