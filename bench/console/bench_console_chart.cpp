// The console's 1 Hz chart update at the end of a 60-minute session: a simulated session feeds
// 3540 samples (a stage every 3 minutes, a heart rate every minute) into the live chart, then
// the last 60 updates are timed, each the drawing of the new sample plus the repaint of the
// widget. The baseline is a full replay of the same chart (what an update that redrew everything
// would cost).

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <vector>

#include "bench/latencystats.h"
#include "chart/vtxgraph.h"
#include "console/fconsole.h"
#include "session/bancosessoes.h"
#include "session/graficosessao.h"

namespace {

TAmostraRegistro Amostra(int segundo)
{
    TAmostraRegistro a;
    a.tempoMs = segundo * 1000LL;
    a.fase = 1;
    a.estagio = segundo / 180 + 1;
    a.velocidadeAlvo = a.velocidadeConfirmada = 2.7 + 0.4 * (segundo / 180);
    a.inclinacaoAlvo = a.inclinacaoConfirmada = std::min(25.0, 2.0 * (segundo / 180));
    return a;
}

void Eventos(TGraficoSessao &desenho, int segundo)
{
    TEventoRegistro e;
    e.tempoMs = segundo * 1000LL;
    if (segundo % 180 == 0) {
        e.tipo = QStringLiteral("estagio");
        desenho.Evento(e);
    }
    if (segundo % 60 == 30) {
        e.tipo = QStringLiteral("fc");
        e.valor1 = 80 + segundo / 40;
        desenho.Evento(e);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The chart as the console window shows it (its own division widths and size).
    TBancoSessoes banco;
    TfrmConsole janela(&banco);
    janela.resize(1280, 860);
    janela.show();
    QCoreApplication::processEvents();
    TvtxGraph &grafico = *janela.Grafico();
    TGraficoSessao desenho(grafico);
    desenho.Preparar(60 * 60000);
    constexpr int kFim = 3600, kMedidas = 60;
    for (int s = 0; s < kFim - kMedidas; ++s) {
        Eventos(desenho, s);
        desenho.Amostra(Amostra(s));
    }
    grafico.repaint();
    std::vector<double> atualizacoes;
    QElapsedTimer t;
    for (int s = kFim - kMedidas; s < kFim; ++s) {
        t.start();
        Eventos(desenho, s);
        desenho.Amostra(Amostra(s));
        grafico.repaint();
        atualizacoes.push_back(t.nsecsElapsed() / 1e6);
    }
    const qlonglong bytes = grafico.Store().size();
    std::vector<double> completas;
    for (int i = 0; i < 10; ++i) {
        t.start();
        grafico.Atualiza();  // lays out again and replays the whole store
        grafico.repaint();
        completas.push_back(t.nsecsElapsed() / 1e6);
    }
    const TLatencyStats a = TLatencyStats::Of(atualizacoes);
    const TLatencyStats c = TLatencyStats::Of(completas);
    std::printf("store %lld bytes, X axis %.0f min\n", bytes, desenho.MinutosNoEixo());
    std::printf("1 Hz update at minute 59-60: median %.3f ms, p99 %.3f ms, max %.3f ms\n", a.median,
                a.p99, a.max);
    std::printf("baseline full redraw:        median %.3f ms (ratio %.1fx)\n", c.median,
                c.median / std::max(a.median, 1e-9));
    return a.median < 2.0 ? 0 : 1;
}
