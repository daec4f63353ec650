#pragma once

#include <QImage>
#include <QJsonObject>
#include <QPointF>
#include <QWidget>
#include <memory>

#include "kestrova_somatochart_export.h"
#include "platform/canvas.h"
#include "platform/color.h"
#include "platform/customproperties.h"
#include "platform/rect.h"
#include "somatochart/colecaodepontos.h"
#include "somatochart/figurassomatocarta.h"
#include "somatochart/legendasomatocarta.h"

// A somatotype chart: a rounded triangle (three circular arcs of radius b) on which points with
// X from -6 to +6 and Y from -6 to +12 are placed, optional axes with ticks and labels, optional
// internal lines, the three figures (or their labels) at the corners, a frame and a legend.
//
// The control draws at once, from every setter and notification, on its backing image (or on a
// canvas set with SetCanvas); paintEvent only copies the image to the screen. Adding a point
// draws only that point and the legend over the picture; editing or deleting redraws the whole
// chart. ImprimirSomatocarta draws the chart (without the legend) on the current print job.
//
// Layout: T = TamanhoDaCarta; u = trunc(0.045 T) (font unit), m = trunc(u x
// OffsetCartaMultiplicador) (margin), a = trunc(1.5 u) or 0 without axes (axis band), b = T - 2m
// - a (triangle side, arc radius), h = b sqrt(3) / 2 (triangle height). Every real value becomes
// an integer pixel by truncation toward zero, saturated at +-2^28 so no sum overflows.
//
// Points stream with the control's properties as the custom entry "Pontos" (an array of objects
// with X, Y, Forma, Tamanho, Cor, Descricao, each omitted when 0 or empty).
//
// Main (GUI) thread only.
class TSomatocartaPontosRapidos;

class KESTROVA_SOMATOCHART_EXPORT TSomatocarta : public QWidget, public TCustomProperties {
    Q_OBJECT
    Q_PROPERTY(double OffsetCartaMultiplicador READ OffsetCartaMultiplicador WRITE
                   AjustarFdOffsetCartaMultiplicador)
    Q_PROPERTY(int LargDaPaginaNaTela READ LargDaPaginaNaTela WRITE AjustarFiLargDaPaginaNaTela)
    Q_PROPERTY(int TamanhoDaCarta READ TamanhoDaCarta WRITE AjustarTamanhoDaCarta)
    Q_PROPERTY(int TamanhoDaCartaMM READ TamanhoDaCartaMM WRITE AjustarTamanhoDaCartaMM)
    Q_PROPERTY(bool MostrarEixos READ MostrarEixos WRITE AjustarFbMostrarEixos)
    Q_PROPERTY(bool MostrarCoord READ MostrarCoord WRITE AjustarFbMostrarCoord)
    // Streamed as the custom entry "Pontos".
    Q_PROPERTY(TColecaoDePontos *Pontos READ Pontos STORED false)
    // The points as compact JSON text, the array streamed as "Pontos" (and only there), so that
    // Qt Designer keeps them in a form.
    Q_PROPERTY(QString PontosJson READ PontosJson WRITE AjustarPontosJson)
    Q_PROPERTY(TColor CorDeFundo READ CorDeFundo WRITE AjustarFcCorDeFundo)
    Q_PROPERTY(TColor CorDosEixos READ CorDosEixos WRITE AjustarFcCorDosEixos)
    Q_PROPERTY(TColor CorDaFonte READ CorDaFonte WRITE AjustarFcCorDaFonte)
    Q_PROPERTY(TColor CorDaCarta READ CorDaCarta WRITE AjustarFcCorDaCarta)
    Q_PROPERTY(TColor CorDaBorda READ CorDaBorda WRITE AjustarFcCorDaBorda)
    Q_PROPERTY(
        bool MostrarLinhasInternas READ MostrarLinhasInternas WRITE AjustarFbMostrarLinhasInternas)
    Q_PROPERTY(QObject *Legenda READ LegendaObjeto CONSTANT)
    Q_PROPERTY(bool MostrarFiguras READ MostrarFiguras WRITE AjustarFbMostrarFiguras)
    Q_PROPERTY(QObject *Figuras READ FigurasObjeto CONSTANT)
    Q_CLASSINFO("palette", "CompsKpr")
    Q_CLASSINFO("default:OffsetCartaMultiplicador", "0")
    Q_CLASSINFO("default:LargDaPaginaNaTela", "504")
    Q_CLASSINFO("default:TamanhoDaCarta", "300")
    Q_CLASSINFO("default:TamanhoDaCartaMM", "79")
    Q_CLASSINFO("default:MostrarEixos", "true")
    Q_CLASSINFO("default:MostrarCoord", "true")
    Q_CLASSINFO("default:CorDeFundo", "clWhite")
    Q_CLASSINFO("default:CorDosEixos", "clBlack")
    Q_CLASSINFO("default:CorDaFonte", "clBlue")
    Q_CLASSINFO("default:CorDaCarta", "clRed")
    Q_CLASSINFO("default:CorDaBorda", "clRed")
    Q_CLASSINFO("default:MostrarLinhasInternas", "true")
    Q_CLASSINFO("default:MostrarFiguras", "true")

public:
    // Sizes outside 1..kTamanhoMaximo pixels are refused (the old value stays).
    static constexpr int kTamanhoMaximo = 1 << 20;
    // Page width in millimetres when there is no printer (A4).
    static constexpr int kLarguraPadraoMM = 210;

    explicit TSomatocarta(QWidget *Owner = nullptr);
    ~TSomatocarta() override;

    // --- Drawing --------------------------------------------------------------------------------

    // The whole chart: background (cut around a visible legend), axes, arcs, internal lines,
    // figures or labels, points, frame.
    void PlotarSomatocarta();
    void PlotarEixos();
    // One point's marker and coordinate text; nothing for a point off the client rectangle or
    // with a coordinate that is not a finite number.
    void PlotarPonto(const TPonto &ponto);
    void PlotarFiguraEndo(QObject *Sender);
    void PlotarFiguraMeso(QObject *Sender);
    void PlotarFiguraEcto(QObject *Sender);
    // PlotarSomatocarta, then the legend (when visible) without recomputation.
    void Paint();

    // Collection and legend notifications.
    void OnPontoAdicionado(QObject *Sender);
    void OnFPontosAlterado(QObject *Sender);
    void OnRepaintDevidoLegenda(QObject *Sender);

    // Prints the chart (not the legend) on the current printer's canvas while a print job is in
    // progress; nothing otherwise. unidade 10: x, y in millimetres from the page's edge; any
    // other value: screen-page units (LargDaPaginaNaTela per page width).
    void ImprimirSomatocarta(int x, int y, int unidade);

    // Width of the printed page in millimetres used by the size conversions: HORZSIZE of an
    // information context of the current printer, 210 without a printer or when it answers 0.
    static int LarguraDaPaginaMM();

    // --- Layout and print state -----------------------------------------------------------------

    int U() const { return FiU; }
    int M() const { return FiM; }
    int A() const { return FiA; }
    int B() const { return FiB; }
    double H() const { return FdH; }
    // Vertices with the print offset (P1 top, P2 lower left, P3 lower right).
    QPoint P1() const;
    QPoint P2() const;
    QPoint P3() const;
    // Pixel of a chart coordinate, before the offset (may lie off the client rectangle).
    QPoint PosicaoDoPonto(double x, double y) const;
    int OffsetX() const { return FiOx; }
    int OffsetY() const { return FiOy; }
    float Escala() const { return FEscala; }

    // --- Canvas ---------------------------------------------------------------------------------

    // The canvas the control draws on: its backing image's, one set with SetCanvas, or the
    // printer's while printing.
    TCanvas &Canvas() { return *FCanvas; }
    // Draws (the legend too) on canvas instead of the backing image; nullptr: back to the image.
    void SetCanvas(TCanvas *canvas);
    // The canvas printing draws on: the current printer's, or one set here (nullptr: back to the
    // printer's). Device capabilities are read from that canvas.
    void SetPrinterCanvas(TCanvas *canvas);
    const QImage &Image() const { return FImage; }
    // Point texts kept by the repaint of the backing image (0 before the first such repaint).
    int TextosGuardados() const;

    // --- Properties -----------------------------------------------------------------------------

    double OffsetCartaMultiplicador() const { return FdOffsetCartaMultiplicador; }
    int LargDaPaginaNaTela() const { return FiLargDaPaginaNaTela; }
    int TamanhoDaCarta() const { return FiTamanhoDaCarta; }
    int TamanhoDaCartaMM() const { return FiTamanhoDaCartaMM; }
    bool MostrarEixos() const { return FbMostrarEixos; }
    bool MostrarCoord() const { return FbMostrarCoord; }
    TColecaoDePontos *Pontos() const { return FPontos; }
    TColor CorDeFundo() const { return FcCorDeFundo; }
    TColor CorDosEixos() const { return FcCorDosEixos; }
    TColor CorDaFonte() const { return FcCorDaFonte; }
    TColor CorDaCarta() const { return FcCorDaCarta; }
    TColor CorDaBorda() const { return FcCorDaBorda; }
    bool MostrarLinhasInternas() const { return FbMostrarLinhasInternas; }
    TLegendaSomatocarta *Legenda() const { return FLegenda; }
    bool MostrarFiguras() const { return FbMostrarFiguras; }
    TFigurasSomatocarta *Figuras() const { return FFiguras; }
    QObject *LegendaObjeto() const { return FLegenda; }
    QObject *FigurasObjeto() const { return FFiguras; }

    // Values below 0, above 5 or not a number are ignored.
    void AjustarFdOffsetCartaMultiplicador(double value);
    // Stored only; values below 1 are ignored (it divides the size and print conversions).
    void AjustarFiLargDaPaginaNaTela(int value);
    void AjustarTamanhoDaCarta(int value);
    void AjustarTamanhoDaCartaMM(int value);
    void AjustarFbMostrarEixos(bool value);
    void AjustarFbMostrarCoord(bool value);
    void AjustarFcCorDeFundo(TColor value);
    void AjustarFcCorDosEixos(TColor value);
    void AjustarFcCorDaFonte(TColor value);
    void AjustarFcCorDaCarta(TColor value);
    void AjustarFcCorDaBorda(TColor value);
    void AjustarFbMostrarLinhasInternas(bool value);
    void AjustarFbMostrarFiguras(bool value);

    // The points as the compact JSON array streamed under "Pontos" ("[]" without points).
    QString PontosJson() const;
    // Replaces the points with those of a JSON array and redraws; a text that is not a JSON
    // array leaves them unchanged.
    void AjustarPontosJson(const QString &json);

    // Recomputes u, m, a, b, h and redraws.
    void DepoisAjusteTamanhoDaCarta();

    // Streams the points; restores TamanhoDaCarta and TamanhoDaCartaMM exactly as written.
    void WriteCustom(QJsonObject &json) const override;
    void ReadCustom(const QJsonObject &json) override;
    // While the properties are read, nothing is drawn; the chart is drawn once at the end.
    void BeginRead() override;
    void EndRead() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void CalcularLayout();
    int CalcularA() const;
    int S(double value) const;
    TRect RetanguloDoCliente() const;
    TRect RetanguloDaFigura(double left, double top, double right, double bottom) const;
    void AjustarFonte(TCanvas &c) const;
    void PlotarFundo(TCanvas &c);
    void PlotarArcos(TCanvas &c);
    void PlotarLinhasInternas(TCanvas &c);
    void PlotarRotulos(TCanvas &c);
    void PlotarFigura(const QImage &image, const TRect &rect);
    void PlotarMoldura(TCanvas &c);
    void PlotarPontos();
    void PlotarPontoEm(const TPonto &ponto, TSomatocartaPontosRapidos *rapido);
    bool PosicaoVisivel(const TPonto &ponto, QPoint *p) const;
    static QString TextoDoPonto(const TPonto &ponto);
    void EixoX(TCanvas &c, int yb, int w);
    void EixoY(TCanvas &c, int yb);
    void DesenharLegenda(bool forcarRecalculo);
    void Redesenhar();
    TCanvas *PrinterCanvas() const;
    void GarantirImagem();
    // True while the properties are read: the drawing asked for is owed until the end.
    bool AdiarDesenho();

    QImage FImage;
    std::unique_ptr<TCanvas> FImageCanvas;
    TCanvas *FCanvas;
    TCanvas *FCanvasDeTela;
    TCanvas *FPrinterCanvasOverride = nullptr;
    TColecaoDePontos *FPontos;
    TLegendaSomatocarta *FLegenda;
    TFigurasSomatocarta *FFiguras;

    double FdOffsetCartaMultiplicador = 2.5;
    int FiLargDaPaginaNaTela = 504;
    int FiTamanhoDaCarta = 300;
    int FiTamanhoDaCartaMM = 79;
    bool FbMostrarEixos = true;
    bool FbMostrarCoord = true;
    TColor FcCorDeFundo = clWhite;
    TColor FcCorDosEixos = clBlack;
    TColor FcCorDaFonte = clBlue;
    TColor FcCorDaCarta = clRed;
    TColor FcCorDaBorda = clRed;
    bool FbMostrarLinhasInternas = true;
    bool FbMostrarFiguras = true;

    // Layout.
    int FiU = 0, FiM = 0, FiA = 0, FiB = 0;
    double FdH = 0;
    // Print state: offset in chart pixels and scale.
    int FiOx = 0, FiOy = 0;
    float FEscala = 1.0f;
    bool FImagemPendente = true;
    int FLeiturasEmCurso = 0;
    bool FDesenhoAdiado = false;
    std::unique_ptr<TSomatocartaPontosRapidos> FPontosRapidos;
};
