#pragma once

#include <QFont>
#include <QObject>
#include <QString>
#include <functional>

#include "kestrova_components_export.h"
#include "platform/rect.h"

class TEditImp;

// The printed box of a TEditImp: the font, the alignment and the size of the box the text will be
// printed in, and the test whether a text fits it.
//
// Sizes are screen units (pixels at 96 dpi) on a page LargDaPaginaNaTela wide. The test scales
// them to printer pixels with ratio = page width in printer pixels / LargDaPaginaNaTela, scales
// the font's point size by the same ratio, word-wraps the text at 96 dpi into a box of
// trunc(Largura x ratio) by trunc(Altura x ratio) and says whether the wrapped text stays inside.
//
// Main (GUI) thread only.
class KESTROVA_COMPONENTS_EXPORT TInterfaceImpressora : public QObject {
    Q_OBJECT
    Q_PROPERTY(QFont Fonte READ Fonte WRITE AjustarFonte)
    Q_PROPERTY(TAlignment Alinhamento READ Alinhamento WRITE AjustarAlinhamento)
    Q_PROPERTY(int Largura READ Largura WRITE AjustarLargura)
    Q_PROPERTY(int Altura READ Altura WRITE AjustarAltura)
    Q_PROPERTY(int LargDaPaginaNaTela READ LargDaPaginaNaTela WRITE AjustarLargDaPaginaNaTela)
    Q_CLASSINFO("default:Alinhamento", "taLeftJustify")
    Q_CLASSINFO("default:Largura", "400")
    Q_CLASSINFO("default:Altura", "60")
    Q_CLASSINFO("default:LargDaPaginaNaTela", "504")

public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

    // Page width without an installed printer: A4 (210 mm) at 300 dpi.
    static constexpr double LarguraA4 = 2480.3149606;

    // Where the page width in printer pixels comes from. Empty: the current printer's physical
    // page width, or LarguraA4 when no printer is installed.
    using TFonteDaLargura = std::function<double()>;

    // What the fit test computed for one text.
    struct TMedida {
        double Razao = 1;        // printer pixels per screen unit
        int TamanhoDaFonte = 0;  // scaled point size the text was measured with
        TRect Caixa;             // the scaled box
        TRect Desenho;           // the rectangle the wrapped text needs
        bool Cabe = true;
    };

    // The edit is the one this box serves; it is not owned and may be null.
    explicit TInterfaceImpressora(TEditImp *edit, QObject *parent = nullptr);
    ~TInterfaceImpressora() override;

    TEditImp *Edit() const { return FEdit; }
    QFont Fonte() const { return FFonte; }
    TAlignment Alinhamento() const { return FAlinhamento; }
    int Largura() const { return FiLargura; }
    int Altura() const { return FiAltura; }
    int LargDaPaginaNaTela() const { return FiLargDaPaginaNaTela; }
    // DrawText flags of the test: calc rect | no clip | word break, plus the alignment.
    unsigned FormatoDoTexto() const { return FuFormato; }

    void AjustarFonte(const QFont &fonte);
    // Also sets the draw format: 0x510, + 2 for taRightJustify, + 1 for taCenter.
    void AjustarAlinhamento(TAlignment alinhamento);
    void AjustarLargura(int largura);
    void AjustarAltura(int altura);
    // Any value is kept; zero or a negative width measures unscaled (ratio 1).
    void AjustarLargDaPaginaNaTela(int largura);

    // The fit test: page width, ratio, scaled font, wrapped rectangle, comparison.
    TMedida Medir(const QString &texto) const;
    bool TextoCabe(const QString &texto) const { return Medir(texto).Cabe; }

    // How long a page width read from the source is reused. Asking the printer system may cost
    // milliseconds or more (a print server), too much for every key press.
    static constexpr int kValidadeDaLarguraMs = 2000;

    // Page width in printer pixels from the current source; the value read is reused for
    // kValidadeDaLarguraMs or until EsquecerLarguraDaPagina.
    static double LarguraDaPagina();
    // Makes the next LarguraDaPagina ask the source again (a TEditImp does it when it gains
    // focus; call it after changing the current printer or its paper).
    static void EsquecerLarguraDaPagina();
    // Replaces the page width source for every instance and returns the previous one; the new
    // source is asked at the next test.
    static TFonteDaLargura AjustarFonteDaLargura(TFonteDaLargura fonte);

private:
    static double LarguraDaImpressora();
    double Razao() const;

    TEditImp *FEdit = nullptr;
    QFont FFonte;
    TAlignment FAlinhamento = taLeftJustify;
    int FiLargura = 400;
    int FiAltura = 60;
    int FiLargDaPaginaNaTela = 504;
    unsigned FuFormato = 0x510;
};
