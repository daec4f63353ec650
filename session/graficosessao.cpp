#include "session/graficosessao.h"

#include <algorithm>

#include "chart/vtxgraph.h"

namespace {

constexpr double kVelocidadeMaximaEixo = 20;  // km/h, also heart rate / 10
constexpr double kPassosMinutos[] = {1, 2, 3, 6, 9, 12, 18, 24, 36, 48};

}  // namespace

TGraficoSessao::TGraficoSessao(TvtxGraph &grafico) : FGrafico(grafico) {}

QList<TGraficoSessao::TLinha> TGraficoSessao::Linhas()
{
    return {{QStringLiteral("Velocidade (km/h)"), clRed, TCanvas::psSolid},
            {QStringLiteral("Inclinação (%)"), clBlue, TCanvas::psDash}};
}

TChartSymbol TGraficoSessao::SimboloFrequencia()
{
    return TChartSymbol{TChartSymbol::Circle, 1, clMaroon, clFuchsia, TCanvas::bsSolid, 3};
}

QString TGraficoSessao::NomeFrequencia()
{
    return QStringLiteral("FC ÷ 10");
}

void TGraficoSessao::Preparar(qint64 duracaoPrevistaMs)
{
    FGrafico.SetTitle(QStringLiteral("Velocidade e inclinação"));
    FGrafico.SetSecondYaxis(true);
    TAxis *x = FGrafico.XAxis();
    x->SetNumberOfDivisions(kDivisoesX);
    x->SetNumberOfDecimals(0);
    x->SetAxisLabel(QStringLiteral("Tempo (min)"));
    TAxis *y = FGrafico.YAxis();
    y->SetOriginValue(0);
    y->SetNumberOfDivisions(10);
    y->SetScalePerDivision(kVelocidadeMaximaEixo / 10);
    y->SetNumberOfDecimals(0);
    y->SetAxisLabel(QStringLiteral("km/h  (FC ÷ 10)"));
    TAxis *y2 = FGrafico.YAxis2();
    y2->SetOriginValue(0);
    y2->SetNumberOfDivisions(10);
    y2->SetScalePerDivision(2.5);
    y2->SetNumberOfDecimals(1);
    y2->SetAxisLabel(QStringLiteral("Inclinação (%)"));
    x->SetScalePerDivision(kPassosMinutos[0]);
    Estender(duracaoPrevistaMs / 60000.0);
    FGrafico.SetUseSecondYAxis(false);
    FGrafico.Clear();
    FbTemAnterior = false;
    FUltimoMs = 0;
}

double TGraficoSessao::MinutosNoEixo() const
{
    return FGrafico.XAxis()->ScalePerDivision() * kDivisoesX;
}

void TGraficoSessao::Estender(double minutos)
{
    if (minutos <= MinutosNoEixo())
        return;
    double passo = kPassosMinutos[std::size(kPassosMinutos) - 1];
    for (double p : kPassosMinutos)
        if (p * kDivisoesX >= minutos) {
            passo = p;
            break;
        }
    while (passo * kDivisoesX < minutos)
        passo *= 2;
    FGrafico.XAxis()->SetScalePerDivision(passo);
}

void TGraficoSessao::Segmento(double t0, double v0, double t1, double v1, bool segundoEixo,
                              TColor cor, TCanvas::TPenStyle estilo)
{
    // A target holds until the next one: a step, not a slope between two samples.
    FGrafico.SetUseSecondYAxis(segundoEixo);
    FGrafico.SetPenColor(cor);
    FGrafico.SetPenStyle(estilo);
    FGrafico.MoveScaledTo(float(t0), float(v0));
    FGrafico.LineScaledTo(float(t1), float(v0));
    if (v1 != v0)
        FGrafico.LineScaledTo(float(t1), float(v1));
}

void TGraficoSessao::Desenhar(qint64 tempoMs, double velocidade, double inclinacao)
{
    const double t0 = FAnterior.tempoMs / 60000.0, t = tempoMs / 60000.0;
    const QList<TLinha> linhas = Linhas();
    FGrafico.SetPenWidth(2);
    Segmento(t0, FAnterior.velocidadeAlvo, t, velocidade, false, linhas[0].cor, linhas[0].estilo);
    Segmento(t0, FAnterior.inclinacaoAlvo, t, inclinacao, true, linhas[1].cor, linhas[1].estilo);
    FGrafico.SetUseSecondYAxis(false);
}

void TGraficoSessao::Fechar()
{
    if (FbTemAnterior && FUltimoMs > FAnterior.tempoMs)
        Desenhar(FUltimoMs, FAnterior.velocidadeAlvo, FAnterior.inclinacaoAlvo);
}

void TGraficoSessao::Avancar(qint64 tempoMs, double velocidade, double inclinacao)
{
    Estender(tempoMs / 60000.0);
    const bool seguinte = FbTemAnterior && tempoMs >= FAnterior.tempoMs;
    if (FbAgrupar && seguinte && velocidade == FAnterior.velocidadeAlvo &&
        inclinacao == FAnterior.inclinacaoAlvo) {
        FUltimoMs = tempoMs;
        return;
    }
    if (seguinte)
        Desenhar(tempoMs, velocidade, inclinacao);
    else
        Fechar();  // time went back: the pending run ends where it had reached
    FAnterior.tempoMs = FUltimoMs = tempoMs;
    FAnterior.velocidadeAlvo = velocidade;
    FAnterior.inclinacaoAlvo = inclinacao;
    FbTemAnterior = true;
}

void TGraficoSessao::Amostra(const TAmostraRegistro &a)
{
    Avancar(a.tempoMs, a.velocidadeAlvo, a.inclinacaoAlvo);
}

void TGraficoSessao::Evento(const TEventoRegistro &e)
{
    const double t = e.tempoMs / 60000.0;
    if (e.tipo == QLatin1String("alvo")) {
        // A target sent: the step is drawn at the moment it went out, not at the next sample.
        Avancar(e.tempoMs, e.velocidade, e.inclinacao);
    } else if (e.tipo == QLatin1String("estagio")) {
        Estender(t);
        FGrafico.SetPenWidth(1);
        Segmento(t, 0, t, kVelocidadeMaximaEixo, false, clGray, TCanvas::psSolid);
    } else if (e.tipo == QLatin1String("fc")) {
        Estender(t);
        FGrafico.SetUseSecondYAxis(false);
        const TChartSymbol s = SimboloFrequencia();
        FGrafico.SetSymbolStyle(TvtxGraph::TSymbolStyle(s.Style), s.HalfHeight, s.PenWidth,
                                s.BorderColor, s.FillColor, s.FillStyle);
        FGrafico.DrawSymbolScaled(float(t), float(std::min(e.valor1 / 10, kVelocidadeMaximaEixo)));
    }
}

void TGraficoSessao::Redesenhar(const QList<TAmostraRegistro> &amostras,
                                const QList<TEventoRegistro> &eventos)
{
    qint64 fim = amostras.isEmpty() ? 0 : amostras.last().tempoMs;
    for (const TEventoRegistro &e : eventos)
        fim = std::max(fim, e.tempoMs);
    Preparar(fim);
    FbAgrupar = true;
    // Both in time order, a sample before an event of the same millisecond, as they arrived
    // live (the countdown's samples come before the first target, all at 0 ms).
    qsizetype a = 0, e = 0;
    while (a < amostras.size() || e < eventos.size()) {
        if (e < eventos.size() &&
            (a == amostras.size() || eventos.at(e).tempoMs < amostras.at(a).tempoMs))
            Evento(eventos.at(e++));
        else
            Amostra(amostras.at(a++));
    }
    Fechar();
    FbAgrupar = false;
}
