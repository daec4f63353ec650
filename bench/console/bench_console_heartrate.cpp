// The console with a heart-rate strap: a test at real time on the simulated board, once without
// a strap and once with one sending 4 readings a second (each with an RR interval, as a strap
// with a fast notification rate does). For each: the window thread's work per second (from
// the event dispatcher's awake/about-to-block), the lateness of a 10 ms timer on it (what the
// operator feels as the window's responsiveness), and the runner's exchanges, from the frame
// written to its answer taken (the device's own trace lines). Ratios with the strap against
// without, in the same run.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <vector>

#include "bench/latencystats.h"
#include "console/fconsole.h"
#include "heartrate/fontereproducao.h"
#include "platform/trace.h"
#include "protocol/executorprotocolo.h"
#include "protocol/relogio.h"
#include "session/bancosessoes.h"
#include "tools/boardsim/boardsimulator.h"

using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Round trips from the device's trace: "ENVIOU" on the runner's thread just after the write,
// "RECEBEU" where the answer is taken. An answer can be traced before its frame's "ENVIOU" line:
// that exchange took less than the trace line's own time, and counts as 0.
struct TTrocas {
    std::mutex mutex;
    Clock::time_point enviado{};
    bool respondidoAntes = false;
    std::vector<double> idaEVolta;

    static TTrocas *Atual;
    static void Registrar(QtMsgType, const QMessageLogContext &, const QString &texto)
    {
        const Clock::time_point agora = Clock::now();
        const std::lock_guard trava(Atual->mutex);
        if (texto.startsWith(QLatin1String("ENVIOU"))) {
            if (std::exchange(Atual->respondidoAntes, false))
                Atual->idaEVolta.push_back(0);
            else
                Atual->enviado = agora;
        } else if (texto.startsWith(QLatin1String("RECEBEU"))) {
            if (Atual->enviado != Clock::time_point{})
                Atual->idaEVolta.push_back(Ms(agora - std::exchange(Atual->enviado, {})));
            else
                Atual->respondidoAntes = true;
        }
    }
};
TTrocas *TTrocas::Atual = nullptr;

struct TResultado {
    TLatencyStats trabalhoPorSegundo, atraso, troca;
    int leituras = 0, falhas = 0;
};

TTracoCardiaco TracoA4Hz(int segundos)
{
    QByteArray csv("tempo_s,fc,rr_ms\n");
    for (int q = -40; q <= segundos * 4 + 40; ++q)
        csv += QByteArray::number(q / 4.0) + ',' + QByteArray::number(100 + q % 7) + ",600\n";
    QString erro;
    return *TTracoCardiaco::Ler(csv, &erro);
}

TResultado Medir(TBancoSessoes &banco, bool comCinta, int segundos)
{
    TfrmConsole janela(&banco);
    janela.resize(1280, 860);
    janela.show();
    janela.findChild<QLineEdit *>(QStringLiteral("edt_nome"))->setText(QStringLiteral("Bench"));
    TResultado r;
    if (comCinta) {
        auto fonte = std::make_unique<TFonteReproducao>(TracoA4Hz(segundos), QStringLiteral("4 Hz"),
                                                        std::make_shared<TRelogioMonotonico>());
        QObject::connect(fonte.get(), &TFonteCardiaca::Leitura, [&r] { ++r.leituras; });
        janela.AjustarFonteCardiaca(std::move(fonte));
    }
    // The window thread's work: from waking up to going back to sleep.
    std::vector<double> trabalho;
    double acumulado = 0;
    Clock::time_point acordou = Clock::now(), segundo = Clock::now();
    auto *despachante = QAbstractEventDispatcher::instance();
    auto a = QObject::connect(despachante, &QAbstractEventDispatcher::awake,
                              [&] { acordou = Clock::now(); });
    auto b = QObject::connect(despachante, &QAbstractEventDispatcher::aboutToBlock, [&] {
        const Clock::time_point agora = Clock::now();
        acumulado += Ms(agora - acordou);
        if (agora - segundo >= std::chrono::seconds(1)) {
            trabalho.push_back(acumulado);
            acumulado = 0;
            segundo = agora;
        }
    });
    std::vector<double> atrasos;
    QTimer pulso;
    pulso.setTimerType(Qt::PreciseTimer);
    Clock::time_point esperado = Clock::now() + std::chrono::milliseconds(10);
    QObject::connect(&pulso, &QTimer::timeout, [&] {
        const Clock::time_point agora = Clock::now();
        atrasos.push_back(std::max(0.0, Ms(agora - esperado)));
        esperado = agora + std::chrono::milliseconds(10);
    });
    TTrocas trocas;
    TTrocas::Atual = &trocas;
    const QtMessageHandler anterior = qInstallMessageHandler(&TTrocas::Registrar);
    EnableTrace(true);
    janela.IniciarTeste();
    QObject::connect(
        janela.Executor(), &TExecutorProtocolo::Evento,
        [&r](const TEventoExecucao &e) { r.falhas += e.tipo == TEventoExecucao::TTipo::Falha; });
    pulso.start(10);
    QEventLoop laco;  // a real loop, which blocks between events as the program's does
    QTimer::singleShot((segundos + 3) * 1000, &laco, &QEventLoop::quit);
    laco.exec();
    pulso.stop();
    EnableTrace(false);
    qInstallMessageHandler(anterior);
    QObject::disconnect(a);
    QObject::disconnect(b);
    {
        const std::lock_guard trava(trocas.mutex);
        r.troca = TLatencyStats::Of(trocas.idaEVolta);
        TTrocas::Atual = nullptr;
    }
    r.trabalhoPorSegundo = TLatencyStats::Of(trabalho);
    r.atraso = TLatencyStats::Of(atrasos);
    return r;
}

void Linha(const char *nome, const TLatencyStats &sem, const TLatencyStats &com)
{
    std::printf("%-34s %8.3f %8.3f %8.3f | %8.3f %8.3f %8.3f | %5.2fx %5.2fx\n", nome, sem.median,
                sem.p99, sem.max, com.median, com.p99, com.max,
                sem.median > 0 ? com.median / sem.median : 0, sem.p99 > 0 ? com.p99 / sem.p99 : 0);
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser opcoes;
    const QCommandLineOption duracao(QStringLiteral("seconds"),
                                     QStringLiteral("Seconds of test in each run (default 20)."),
                                     QStringLiteral("N"), QStringLiteral("20"));
    opcoes.addOption(duracao);
    opcoes.addHelpOption();
    opcoes.process(app);
    const int segundos = std::max(5, opcoes.value(duracao).toInt());

    TBoardSimulator placa;
    if (!placa.Start()) {
        std::fprintf(stderr, "the simulated board did not start\n");
        return 1;
    }
    qputenv("KESTROVA_COM1", placa.DevicePath().toLocal8Bit());
    QTemporaryDir pasta;
    TBancoSessoes banco;
    QString erro;
    if (!banco.Abrir(pasta.filePath(QStringLiteral("bench.db")), &erro)) {
        std::fprintf(stderr, "%s\n", qPrintable(erro));
        return 1;
    }
    Medir(banco, false, 3);  // warm-up: the first exchanges after the board starts are slow
    const TResultado sem = Medir(banco, false, segundos);
    const TResultado com = Medir(banco, true, segundos);
    std::printf(
        "bench_console_heartrate: %d s at real time each, without a strap | with one at 4 Hz"
        " (%d readings)\n",
        segundos, com.leituras);
    std::printf("%-34s %8s %8s %8s | %8s %8s %8s | ratio (median, p99)\n", "ms", "median", "p99",
                "max", "median", "p99", "max");
    Linha("window thread's work per second", sem.trabalhoPorSegundo, com.trabalhoPorSegundo);
    Linha("lateness of a 10 ms timer", sem.atraso, com.atraso);
    Linha("exchange, frame to answer", sem.troca, com.troca);
    std::printf("failed exchanges: %d without, %d with\n", sem.falhas, com.falhas);
    // The bar: the strap costs the window thread less than 5 ms a second at the median, and no
    // exchange fails in either run.
    const bool ok = sem.falhas == 0 && com.falhas == 0 && com.leituras >= segundos * 4 &&
                    com.trabalhoPorSegundo.median - sem.trabalhoPorSegundo.median < 5.0;
    std::printf("%s\n", ok ? "ok" : "MISSED");
    return ok ? 0 : 1;
}
