#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "kestrova_somatochart_export.h"
#include "platform/canvas.h"
#include "platform/color.h"
#include "platform/event.h"
#include "platform/rect.h"
#include "somatochart/colecaodepontos.h"

// The somatochart's legend: a framed box drawn on the chart's canvas with one row per point (its
// marker and its text). The box sits at (CoordIniX, CoordIniY) and sizes itself to its rows; when
// it shrinks, OnFundoPrecisaRepaint asks the owner to repaint the background it uncovered.
// Erasing fills the box with clNone, which the canvas paints as it paints that marker.
//
// The canvas and the collection are not owned (a destroyed collection counts as empty);
// AjustarCanvas re-targets the legend when the
// owner's backing image changes. Main (GUI) thread only.
class KESTROVA_SOMATOCHART_EXPORT TLegendaSomatocarta : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visivel READ Visivel WRITE AjustarFbVisivel)
    Q_PROPERTY(bool MostrarCoord READ MostrarCoord WRITE AjustarFbMostrarCoord)
    Q_PROPERTY(int CoordIniX READ CoordIniX WRITE AjustarFiCoordIniX)
    Q_PROPERTY(int CoordIniY READ CoordIniY WRITE AjustarFiCoordIniY)
    Q_PROPERTY(int OffsetBorda READ OffsetBorda WRITE AjustarFiOffsetBorda)
    Q_PROPERTY(int LargDaPaginaNaTela READ LargDaPaginaNaTela WRITE AjustarFiLargDaPaginaNaTela)
    Q_PROPERTY(TColor CorDaBorda READ CorDaBorda WRITE AjustarFcCorDaBorda)
    Q_PROPERTY(TColor CorDeFundo READ CorDeFundo WRITE AjustarFcCorDeFundo)
    Q_PROPERTY(TColor CorDaFonte READ CorDaFonte WRITE AjustarFcCorDaFonte)
    Q_PROPERTY(int TamDaFonte READ TamDaFonte WRITE AjustarFiTamDaFonte)
    Q_PROPERTY(QString NomeDaFonte READ NomeDaFonte WRITE AjustarFsNomeDaFonte)
    Q_CLASSINFO("default:Visivel", "true")
    Q_CLASSINFO("default:MostrarCoord", "true")
    Q_CLASSINFO("default:CoordIniX", "0")
    Q_CLASSINFO("default:CoordIniY", "0")
    Q_CLASSINFO("default:OffsetBorda", "5")
    Q_CLASSINFO("default:LargDaPaginaNaTela", "504")
    Q_CLASSINFO("default:CorDaBorda", "clNone")
    Q_CLASSINFO("default:CorDeFundo", "clNone")
    Q_CLASSINFO("default:CorDaFonte", "clBlack")
    Q_CLASSINFO("default:TamDaFonte", "8")

public:
    // Gap in pixels (before scaling) between a row's marker and its text.
    static constexpr int kEspacoMarcadorTexto = 3;

    TLegendaSomatocarta(TCanvas *canvas, TColecaoDePontos *pontos, QObject *parent = nullptr);
    ~TLegendaSomatocarta() override;

    // The chart re-targets the legend when its backing image changes (nullptr: draw nowhere).
    void AjustarCanvas(TCanvas *canvas);
    TCanvas *Canvas() const { return FCanvas; }

    // Draws the box and its rows. With forcarRecalculo, or while the size is zero, erases the
    // old box and computes the size first; an empty size draws nothing.
    void Desenhar(bool forcarRecalculo);
    // Fills the box with clNone.
    void Apagar();
    // Computes the size from the rows with the legend's font; fires OnFundoPrecisaRepaint when
    // the box became narrower or lower.
    void CalcularTamanho();

    // The text of a point's row: "(X; Y) - Descricao", or the description alone.
    QString TextoDaLinha(double x, double y, const QString &descricao) const;
    // The font height in pixels (negative: character height) at the canvas' pixels per inch.
    int AlturaDaFonte() const;
    // The box in canvas pixels.
    TRect Retangulo() const;

    int Largura() const { return FiLargura; }
    int Altura() const { return FiAltura; }
    float Escala() const { return FEscala; }

    bool Visivel() const { return FbVisivel; }
    bool MostrarCoord() const { return FbMostrarCoord; }
    int CoordIniX() const { return FiCoordIniX; }
    int CoordIniY() const { return FiCoordIniY; }
    int OffsetBorda() const { return FiOffsetBorda; }
    int LargDaPaginaNaTela() const { return FiLargDaPaginaNaTela; }
    TColor CorDaBorda() const { return FcCorDaBorda; }
    TColor CorDeFundo() const { return FcCorDeFundo; }
    TColor CorDaFonte() const { return FcCorDaFonte; }
    int TamDaFonte() const { return FiTamDaFonte; }
    QString NomeDaFonte() const { return FsNomeDaFonte; }

    void AjustarFbVisivel(bool value);
    void AjustarFbMostrarCoord(bool value);
    void AjustarFiCoordIniX(int value);
    void AjustarFiCoordIniY(int value);
    void AjustarFiOffsetBorda(int value);
    // Stored only; values below 1 are ignored.
    void AjustarFiLargDaPaginaNaTela(int value);
    void AjustarFcCorDaBorda(TColor value);
    void AjustarFcCorDeFundo(TColor value);
    void AjustarFcCorDaFonte(TColor value);
    void AjustarFiTamDaFonte(int value);
    void AjustarFsNomeDaFonte(const QString &value);

    TNotifyEvent OnFundoPrecisaRepaint;

private:
    void AjustarFonte();
    void RedesenharRecalculando();
    void MoverPara(int &campo, int value);
    void DesenharLinha(int x0, int y, int th, const QString &texto, TColor cor, int forma);
    void AvisarFundo();
    bool TemPontos() const;

    TCanvas *FCanvas;
    QPointer<TColecaoDePontos> FPontos;
    bool FbVisivel = true;
    bool FbMostrarCoord = true;
    int FiCoordIniX = 250;
    int FiCoordIniY = 5;
    int FiOffsetBorda = 5;
    int FiLargDaPaginaNaTela = 504;
    TColor FcCorDaBorda = clNone;
    TColor FcCorDeFundo = clNone;
    TColor FcCorDaFonte = clBlack;
    int FiTamDaFonte = 8;
    QString FsNomeDaFonte = QStringLiteral("Times New Roman");
    float FEscala = 1.0f;
    int FiLargura = 0;
    int FiAltura = 0;
};
