// The board's exchanges while the main (window) thread is busy. For each way of taking the
// answers (on the port's reader thread, as the console and orvanta-ctl do; on the main loop, the
// port's default) and each state of the main thread (idle in its event loop; busy 900 ms of
// every second, longer than an answer's time-out): the round trip of a set-speed exchange made on another thread, and the stop
// latency of the protocol runner (Parar, then the main thread busy). Ratios against the idle
// main thread of the same run. With --load-seconds, a two-stage protocol at real time with every
// core kept busy by spinning threads, counting failed exchanges.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/latencystats.h"
#include "device/orvanta.h"
#include "platform/messagebox.h"
#include "protocol/executorprotocolo.h"
#include "tools/boardsim/boardsimulator.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double MsSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void Pump(std::chrono::milliseconds ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms.count())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The main thread for the duration: idle in its event loop, or blocked 900 ms of every second.
void MainThread(bool busy, std::chrono::milliseconds duration, const std::atomic<bool> &done)
{
    const auto end = Clock::now() + duration;
    while (Clock::now() < end && !done) {
        if (busy)
            std::this_thread::sleep_for(900ms);
        Pump(busy ? 100ms : 250ms);
    }
}

struct TRoundTrips {
    TLatencyStats stats;
    int failures = 0;
};

TRoundTrips RoundTrips(TOrvanta &board, bool busy, int count)
{
    std::vector<double> samples;
    std::atomic<int> failures{0};
    std::atomic<bool> done{false};
    std::thread exchanges([&] {
        for (int i = 0; i < count; ++i) {
            const auto start = Clock::now();
            try {
                board.AjustarVelocidade(i % 2 ? 2.7 : 3.0);
                samples.push_back(MsSince(start));
            } catch (...) {
                ++failures;
            }
            std::this_thread::sleep_for(20ms);
        }
        done = true;
    });
    MainThread(busy, 600s, done);
    exchanges.join();
    Pump(1s);  // late answers of failed exchanges arrive and are dropped
    return {TLatencyStats::Of(samples), failures};
}

// Parar on the main thread, which is then busy for 1.9 s (or idle): ms to the stop frame.
TLatencyStats StopLatencies(TOrvanta &board, std::atomic<qint64> &stopAt, bool busy, int count)
{
    TExecutorProtocolo runner(&board);
    TProtocolo p;
    p.id = p.nome = QStringLiteral("longo");
    p.exercicio = {TPasso::Estagio(3600000, 2.7, 0)};
    runner.AjustarProtocolo(p);
    runner.AjustarEscalaTempo(100);  // the countdown in 30 ms
    runner.AjustarPeriodoMs(20);     // exchanges in flight most of the time
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        runner.Iniciar();
        Pump(100ms + std::chrono::milliseconds(i % 7));
        stopAt = 0;
        const auto start = Clock::now();
        runner.Parar();
        if (busy)
            std::this_thread::sleep_for(1900ms);
        while (!stopAt && MsSince(start) < 5000)
            Pump(1ms);
        if (stopAt)
            samples.push_back(double(stopAt - start.time_since_epoch().count()) / 1e6);
        Pump(50ms);
    }
    return TLatencyStats::Of(samples);
}

// A whole two-stage protocol at real time with every core spinning; returns failed exchanges.
int UnderLoad(TOrvanta &board, int seconds)
{
    std::atomic<bool> stop{false};
    std::vector<std::thread> burners;
    for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
        burners.emplace_back([&stop] {
            volatile unsigned long spin = 0;
            while (!stop)
                spin = spin + 1;
        });
    TExecutorProtocolo runner(&board);
    TProtocolo p;
    p.id = p.nome = QStringLiteral("carga");
    p.exercicio = {TPasso::Estagio(seconds * 500, 2.7, 5), TPasso::Estagio(seconds * 500, 4.0, 8)};
    runner.AjustarProtocolo(p);
    runner.AjustarRecuperacao(0, 0, 0);
    int failures = 0;
    QObject::connect(&runner, &TExecutorProtocolo::Evento, [&](const TEventoExecucao &e) {
        if (e.tipo == TEventoExecucao::TTipo::Falha) {
            ++failures;
            std::printf("  falha: %s\n", qPrintable(e.texto));
        }
    });
    runner.Iniciar();
    QElapsedTimer timer;
    timer.start();
    while (runner.Estado() != TEstadoExecucao::Concluido &&
           timer.elapsed() < seconds * 1000 + 20000)
        Pump(100ms);
    stop = true;
    for (std::thread &t : burners)
        t.join();
    return runner.Estado() == TEstadoExecucao::Concluido ? failures : failures + 1;
}

int Run(int exchanges, int stops, int loadSeconds)
{
    SetErrorMessageHook(
        [](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    TBoardSimulator sim;
    QString error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qUtf8Printable(error));
        return 1;
    }
    std::atomic<qint64> stopAt{0};
    sim.SetFrameObserver([&stopAt](const TFrameRecord &r) {
        if (r.frame.at(1) == 'T' && !stopAt)
            stopAt = Clock::now().time_since_epoch().count();
    });
    qputenv("KESTROVA_COM3", sim.DevicePath().toLocal8Bit());
    bool pass = true;
    std::printf("%-22s %-6s %9s %9s %9s %9s %8s\n", "answers", "main", "median", "p99", "max",
                "ratio", "failed");
    for (const auto respostas :
         {TOrvanta::TRespostas::NaLeitura, TOrvanta::TRespostas::NoLacoPrincipal}) {
        const bool reader = respostas == TOrvanta::TRespostas::NaLeitura;
        TOrvanta board(nullptr, 3, respostas);
        const TRoundTrips idle = RoundTrips(board, false, exchanges);
        // On the main loop most busy exchanges time out (800 ms each): fewer of them.
        const TRoundTrips busy =
            RoundTrips(board, true, reader ? exchanges : std::min(exchanges, 20));
        for (const auto &[name, r] : {std::pair{"idle", idle}, std::pair{"busy", busy}})
            std::printf("%-22s %-6s %9.3f %9.3f %9.3f %8.2fx %8d\n",
                        reader ? "exchange, reader" : "exchange, main loop", name, r.stats.median,
                        r.stats.p99, r.stats.max, r.stats.median / idle.stats.median, r.failures);
        const TLatencyStats stopIdle = StopLatencies(board, stopAt, false, stops);
        const TLatencyStats stopBusy = StopLatencies(board, stopAt, true, stops);
        for (const auto &[name, s] : {std::pair{"idle", stopIdle}, std::pair{"busy", stopBusy}})
            std::printf("%-22s %-6s %9.3f %9.3f %9.3f %8.2fx\n",
                        reader ? "stop, reader" : "stop, main loop", name, s.median, s.p99, s.max,
                        s.median / stopIdle.median);
        if (reader) {
            const bool ok = busy.failures == 0 && idle.failures == 0 &&
                            stopBusy.max < TOrvanta::kTempoRespostaMs;
            std::printf(
                "%s  reader thread: no failed exchange with the main thread busy, stop "
                "within one exchange (%.1f ms < %u ms)\n",
                ok ? "PASS" : "FAIL", stopBusy.max, TOrvanta::kTempoRespostaMs);
            pass = pass && ok;
            if (loadSeconds > 0) {
                const int failures = UnderLoad(board, loadSeconds);
                std::printf(
                    "%s  %d s protocol at real time, every core busy: %d failed "
                    "exchange(s)\n",
                    failures == 0 ? "PASS" : "FAIL", loadSeconds, failures);
                pass = pass && failures == 0;
            }
        }
    }
    return pass ? 0 : 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Exchanges and stops with the main thread busy.");
    parser.addHelpOption();
    const QCommandLineOption exchangesOption("exchanges", "Exchanges per case.", "N", "200");
    const QCommandLineOption stopsOption("stops", "Stops per case.", "N", "10");
    const QCommandLineOption loadOption("load-seconds", "Run a protocol under load.", "S", "0");
    const QCommandLineOption quickOption("quick", "A short run (40 exchanges, 3 stops).");
    parser.addOptions({exchangesOption, stopsOption, loadOption, quickOption});
    parser.process(app);
    const bool quick = parser.isSet(quickOption);
    return Run(quick ? 40 : parser.value(exchangesOption).toInt(),
               quick ? 3 : parser.value(stopsOption).toInt(), parser.value(loadOption).toInt());
}
