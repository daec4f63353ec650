#include "session/graficosessao.h"

#include <QCoreApplication>
#include <cmath>

#include "chart/vtxgraph.h"

namespace {

constexpr double kVelocidadeMaximaEixo = 20;  // km/h

QString NomeVelocidade(const TEscalaVelocidade &escala)
{
    return QCoreApplication::translate("TGraficoSessao", "Velocidade (%1)").arg(escala.simbolo);
}

}  // namespace

TGraficoSessao::TGraficoSessao(TvtxGraph &grafico, const TEscalaVelocidade &escala)
    : FGrafico(grafico), FEscala(escala)
{
}

QList<TGraficoSessao::TLinha> TGraficoSessao::Linhas(const TEscalaVelocidade &escala)
{
    return {
        {NomeVelocidade(escala), clRed, TCanvas::psSolid},
        {QCoreApplication::translate("TGraficoSessao", "Inclinação (%)"), clBlue, TCanvas::psDash}};
}

void TGraficoSessao::Preparar(qint64 duracaoPrevistaMs)
{
    FGrafico.SetTitle(QCoreApplication::translate("TGraficoSessao", "Velocidade e inclinação"));
    FGrafico.SetSecondYaxis(true);
    TAxis *y = FGrafico.YAxis();
    y->SetOriginValue(0);
    y->SetNumberOfDivisions(10);
    const double divisao = TopoEixo() / 10;
    y->SetScalePerDivision(divisao);
    y->SetNumberOfDecimals(divisao == std::floor(divisao) ? 0 : 1);
    y->SetAxisLabel(NomeVelocidade(FEscala));
    TAxis *y2 = FGrafico.YAxis2();
    y2->SetOriginValue(0);
    y2->SetNumberOfDivisions(10);
    y2->SetScalePerDivision(2.5);
    y2->SetNumberOfDecimals(1);
    y2->SetAxisLabel(QCoreApplication::translate("TGraficoSessao", "Inclinação (%)"));
    TEixoTempo::Preparar(*FGrafico.XAxis(), duracaoPrevistaMs);
    FGrafico.SetUseSecondYAxis(false);
    FGrafico.Clear();
    FbTemAnterior = false;
    FUltimoMs = 0;
}

// 20 km/h, in another unit the next multiple of 5 above it (15 mph): ten round divisions.
double TGraficoSessao::TopoEixo() const
{
    return std::ceil(FEscala.Valor(kVelocidadeMaximaEixo) / 5) * 5;
}

double TGraficoSessao::MinutosNoEixo() const
{
    return TEixoTempo::Minutos(*FGrafico.XAxis());
}

void TGraficoSessao::Estender(double minutos)
{
    TEixoTempo::Estender(*FGrafico.XAxis(), minutos);
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
    Segmento(t0, FEscala.Valor(FAnterior.velocidadeAlvo), t, FEscala.Valor(velocidade), false,
             linhas[0].cor, linhas[0].estilo);
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
    // Every event moves the axis on, as on the heart-rate chart, so the two keep the same steps.
    Estender(t);
    if (e.tipo == QLatin1String("alvo")) {
        // A target sent: the step is drawn at the moment it went out, not at the next sample.
        Avancar(e.tempoMs, e.velocidade, e.inclinacao);
    } else if (e.tipo == QLatin1String("estagio")) {
        FGrafico.SetPenWidth(1);
        Segmento(t, 0, t, TopoEixo(), false, clGray, TCanvas::psSolid);
    }
}

void TGraficoSessao::Redesenhar(const QList<TAmostraRegistro> &amostras,
                                const QList<TEventoRegistro> &eventos)
{
    Preparar(TEixoTempo::Fim(amostras, eventos));
    FbAgrupar = true;
    TEixoTempo::Percorrer(
        amostras, eventos, [this](const TAmostraRegistro &a) { Amostra(a); },
        [this](const TEventoRegistro &e) { Evento(e); });
    Fechar();
    FbAgrupar = false;
}
