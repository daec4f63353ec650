#include "session/graficocardiaco.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

#include "chart/vtxgraph.h"
#include "session/eixotempo.h"

namespace {

constexpr int kDivisoesY = 8;
// The bpm axis to begin with, 40-200; a wider range takes the first of these steps that holds
// it, from a multiple of the step (then doubling).
constexpr double kFcMinimaEixo = 40, kFcMaximaEixo = 200;
constexpr double kPassosFc[] = {20, 25, 30, 40, 50};
// The pressure axis, 0-320 mmHg, holds every value an entry takes (up to 300 systolic); stage
// lines are drawn against it, so they span the plot however far the bpm axis grew.
constexpr double kPassoPressao = 40, kPressaoMaxima = kPassoPressao * kDivisoesY;

}  // namespace

TGraficoCardiaco::TGraficoCardiaco(TvtxGraph &grafico) : FGrafico(grafico) {}

QList<TGraficoCardiaco::TLinha> TGraficoCardiaco::Linhas()
{
    return {
        {QCoreApplication::translate("TGraficoCardiaco", "FC medida"), clRed, TCanvas::psSolid}};
}

QList<TGraficoCardiaco::TSimbolo> TGraficoCardiaco::Simbolos()
{
    return {
        {QCoreApplication::translate("TGraficoCardiaco", "FC anotada"),
         TChartSymbol{TChartSymbol::Circle, 1, clMaroon, clFuchsia, TCanvas::bsSolid, 3}},
        {QCoreApplication::translate("TGraficoCardiaco", "PA sistólica"),
         TChartSymbol{TChartSymbol::TriangleDown, 1, clNavy, clBlue, TCanvas::bsSolid, 4}},
        {QCoreApplication::translate("TGraficoCardiaco", "PA diastólica"),
         TChartSymbol{TChartSymbol::TriangleUp, 1, clNavy, clWhite, TCanvas::bsSolid, 4}},
    };
}

bool TGraficoCardiaco::TemDados(const QList<TAmostraRegistro> &amostras,
                                const QList<TEventoRegistro> &eventos)
{
    return std::any_of(amostras.begin(), amostras.end(),
                       [](const TAmostraRegistro &a) { return a.frequenciaCardiaca > 0; }) ||
           std::any_of(eventos.begin(), eventos.end(), [](const TEventoRegistro &e) {
               return e.tipo == QLatin1String("fc") || e.tipo == QLatin1String("pa");
           });
}

TGraficoCardiaco::TLinha TGraficoCardiaco::LinhaAlvo()
{
    return {QCoreApplication::translate("TGraficoCardiaco", "FC alvo"), clGreen, TCanvas::psDash};
}

void TGraficoCardiaco::AjustarAlvo(std::optional<double> bpm)
{
    FAlvo = bpm;
    FAlvoDesdeMs.reset();
}

void TGraficoCardiaco::Preparar(qint64 duracaoPrevistaMs)
{
    FAlvoDesdeMs.reset();
    FGrafico.SetTitle(
        QCoreApplication::translate("TGraficoCardiaco", "Frequência cardíaca e pressão arterial"));
    FGrafico.SetSecondYaxis(true);
    TEixoTempo::Preparar(*FGrafico.XAxis(), duracaoPrevistaMs);
    TAxis *y = FGrafico.YAxis();
    y->SetOriginValue(kFcMinimaEixo);
    y->SetNumberOfDivisions(kDivisoesY);
    y->SetScalePerDivision(kPassosFc[0]);
    FFcMinima = kFcMinimaEixo;
    FFcMaxima = kFcMaximaEixo;
    y->SetNumberOfDecimals(0);
    y->SetAxisLabel(QCoreApplication::translate("TGraficoCardiaco", "FC (bpm)"));
    TAxis *y2 = FGrafico.YAxis2();
    y2->SetOriginValue(0);
    y2->SetNumberOfDivisions(kDivisoesY);
    y2->SetScalePerDivision(kPassoPressao);
    y2->SetNumberOfDecimals(0);
    y2->SetAxisLabel(QCoreApplication::translate("TGraficoCardiaco", "PA (mmHg)"));
    FGrafico.SetUseSecondYAxis(false);
    FGrafico.Clear();
    FbTemPonto = FbCaneta = false;
}

double TGraficoCardiaco::MinutosNoEixo() const
{
    return TEixoTempo::Minutos(*FGrafico.XAxis());
}

void TGraficoCardiaco::Estender(qint64 tempoMs)
{
    if (TEixoTempo::Estender(*FGrafico.XAxis(), tempoMs / 60000.0))
        FbCaneta = false;
}

void TGraficoCardiaco::Abranger(double bpm)
{
    TAxis &y = *FGrafico.YAxis();
    if (bpm >= y.OriginValue() && bpm <= y.OriginValue() + y.ScalePerDivision() * kDivisoesY)
        return;
    FFcMinima = std::min(FFcMinima, bpm);
    FFcMaxima = std::max(FFcMaxima, bpm);
    auto origem = [&](double passo) { return std::floor(FFcMinima / passo) * passo; };
    auto cabe = [&](double passo) { return origem(passo) + passo * kDivisoesY >= FFcMaxima; };
    double passo = 0;
    for (double p : kPassosFc)
        if (cabe(passo = p))
            break;
    while (!cabe(passo))
        passo *= 2;
    y.SetOriginValue(origem(passo));
    y.SetScalePerDivision(passo);
    FbCaneta = false;
}

void TGraficoCardiaco::Simbolo(const TChartSymbol &s, double minutos, double valor)
{
    FGrafico.SetSymbolStyle(TvtxGraph::TSymbolStyle(s.Style), s.HalfHeight, s.PenWidth,
                            s.BorderColor, s.FillColor, s.FillStyle);
    FGrafico.DrawSymbolScaled(float(minutos), float(valor));
    FbCaneta = false;
}

void TGraficoCardiaco::Vertical(double minutos, double de, double ate, TColor cor)
{
    FGrafico.SetPenWidth(1);
    FGrafico.SetPenColor(cor);
    FGrafico.SetPenStyle(TCanvas::psSolid);
    FGrafico.MoveScaledTo(float(minutos), float(de));
    FGrafico.LineScaledTo(float(minutos), float(ate));
    FbCaneta = false;
}

void TGraficoCardiaco::Amostra(const TAmostraRegistro &a)
{
    Estender(a.tempoMs);
    if (FAlvo) {
        Abranger(*FAlvo);
        if (FAlvoDesdeMs && a.tempoMs > *FAlvoDesdeMs) {
            const TLinha alvo = LinhaAlvo();
            FGrafico.SetUseSecondYAxis(false);
            FGrafico.SetPenWidth(1);
            FGrafico.SetPenColor(alvo.cor);
            FGrafico.SetPenStyle(alvo.estilo);
            FGrafico.MoveScaledTo(float(*FAlvoDesdeMs / 60000.0), float(*FAlvo));
            FGrafico.LineScaledTo(float(a.tempoMs / 60000.0), float(*FAlvo));
            FbCaneta = false;
        }
        if (!FAlvoDesdeMs || a.tempoMs > *FAlvoDesdeMs)
            FAlvoDesdeMs = a.tempoMs;
    }
    // Time going back (a new run's countdown) starts the curve afresh, as a gap does.
    const bool continua = FbTemPonto && a.tempoMs >= FPontoMs;
    FbTemPonto = a.frequenciaCardiaca > 0;
    if (!FbTemPonto) {
        FbCaneta = false;
        return;
    }
    Abranger(a.frequenciaCardiaca);
    const double t = a.tempoMs / 60000.0;
    if (continua) {
        if (!FbCaneta) {
            const TLinha curva = Linhas().constFirst();
            FGrafico.SetUseSecondYAxis(false);
            FGrafico.SetPenWidth(2);
            FGrafico.SetPenColor(curva.cor);
            FGrafico.SetPenStyle(curva.estilo);
            FGrafico.MoveScaledTo(float(FPontoMs / 60000.0), float(FPontoFc));
        }
        FGrafico.LineScaledTo(float(t), float(a.frequenciaCardiaca));
    }
    FbCaneta = continua;
    FPontoMs = a.tempoMs;
    FPontoFc = a.frequenciaCardiaca;
}

void TGraficoCardiaco::Evento(const TEventoRegistro &e)
{
    // Every event moves the axis on, as on the belt chart, so the two keep the same steps.
    Estender(e.tempoMs);
    const double t = e.tempoMs / 60000.0;
    const QList<TSimbolo> simbolos = Simbolos();
    if (e.tipo == QLatin1String("estagio")) {
        FGrafico.SetUseSecondYAxis(true);
        Vertical(t, 0, kPressaoMaxima, clGray);
        FGrafico.SetUseSecondYAxis(false);
    } else if (e.tipo == QLatin1String("fc") && e.valor1 > 0) {
        Abranger(e.valor1);
        FGrafico.SetUseSecondYAxis(false);
        Simbolo(simbolos.at(0).simbolo, t, e.valor1);
    } else if (e.tipo == QLatin1String("pa") && e.valor1 > 0) {
        const double sistolica = std::min(e.valor1, kPressaoMaxima);
        const double diastolica = std::clamp(e.valor2, 0.0, sistolica);
        FGrafico.SetUseSecondYAxis(true);
        Vertical(t, diastolica, sistolica, simbolos.at(1).simbolo.BorderColor);
        Simbolo(simbolos.at(1).simbolo, t, sistolica);
        if (e.valor2 > 0)
            Simbolo(simbolos.at(2).simbolo, t, diastolica);
        FGrafico.SetUseSecondYAxis(false);
    }
}

void TGraficoCardiaco::Redesenhar(const QList<TAmostraRegistro> &amostras,
                                  const QList<TEventoRegistro> &eventos)
{
    Preparar(TEixoTempo::Fim(amostras, eventos));
    // The bpm axis at its final size before anything is drawn: no replay along the way.
    double minima = FFcMinima, maxima = FFcMaxima;
    auto incluir = [&](double bpm) {
        minima = std::min(minima, bpm);
        maxima = std::max(maxima, bpm);
    };
    for (const TAmostraRegistro &a : amostras)
        if (a.frequenciaCardiaca > 0)
            incluir(a.frequenciaCardiaca);
    for (const TEventoRegistro &e : eventos)
        if (e.tipo == QLatin1String("fc") && e.valor1 > 0)
            incluir(e.valor1);
    Abranger(minima);
    Abranger(maxima);
    TEixoTempo::Percorrer(
        amostras, eventos, [this](const TAmostraRegistro &a) { Amostra(a); },
        [this](const TEventoRegistro &e) { Evento(e); });
}
