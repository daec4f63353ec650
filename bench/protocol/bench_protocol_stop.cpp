// Stop latency of the protocol runner: from TExecutorProtocolo::Parar on the main thread to the
// stop frame's arrival at the simulated board, while the runner keeps exchanges going. With a
// board that answers: median and p99, beside the round trip of one idle stop exchange (the
// baseline). With a silent board and an exchange in flight: the worst case, bounded by one
// exchange time-out.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/latencystats.h"
#include "device/orvanta.h"
#include "platform/eventpump.h"
#include "platform/exception.h"
#include "protocol/embutidos.h"
#include "protocol/executorprotocolo.h"
#include "tools/boardsim/boardsimulator.h"

using Clock = std::chrono::steady_clock;

namespace {

// A few frame times at 9600 baud (a 3-byte frame takes 3.4 ms on the wire).
constexpr double kMedianBarMs = 10.0;
// The exchange in flight times out, then the line may have to settle (at most another time-out)
// before the stop frame is written.
constexpr double kWorstBarMs = 2.0 * TOrvanta::kTempoRespostaMs + 100.0;

// Time of the latest stop frame and of the latest other frame seen by the board.
struct TWire {
    std::atomic<qint64> stopNs{0}, otherNs{0};
    std::atomic<int> others{0};
};

qint64 NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// Pumps the main thread's events (the device's answers are delivered there) until done.
template <typename F>
bool PumpUntil(F done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// Starts the run and waits until it has sent a few frames past the countdown.
bool Start(TExecutorProtocolo &runner, TWire &wire)
{
    runner.Iniciar();
    const int before = wire.others;
    return PumpUntil([&] { return wire.others >= before + 3; }, 5000);
}

// One stop: returns the latency in ms, or a negative value on a time-out.
double Stop(TExecutorProtocolo &runner, TWire &wire)
{
    wire.stopNs = 0;
    const qint64 start = NowNs();
    runner.Parar();
    if (!PumpUntil([&] { return wire.stopNs != 0; }, 5000))
        return -1;
    const double ms = double(wire.stopNs - start) / 1e6;
    PumpUntil([&] { return runner.Estado() == TEstadoExecucao::Parado; }, 5000);
    return ms;
}

std::vector<double> Answering(TExecutorProtocolo &runner, TWire &wire, int stops)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> pause(0, 8);
    std::vector<double> samples;
    for (int i = 0; i < stops; ++i) {
        if (!Start(runner, wire))
            return {};
        // A random moment: idle, or an exchange on its way.
        const auto until = Clock::now() + std::chrono::milliseconds(pause(random));
        PumpUntil([&] { return Clock::now() >= until; }, 100);
        const double ms = Stop(runner, wire);
        if (ms < 0)
            return {};
        samples.push_back(ms);
    }
    return samples;
}

std::vector<double> Silent(TBoardSimulator &sim, TExecutorProtocolo &runner, TWire &wire, int stops)
{
    std::vector<double> samples;
    for (int i = 0; i < stops; ++i) {
        sim.SetFault({});
        if (!Start(runner, wire))
            return {};
        sim.SetFault({TBoardFault::Silence});
        // Stop just after a frame reached the silent board: its whole time-out is ahead.
        const int before = wire.others;
        if (!PumpUntil([&] { return wire.others > before; }, 5000))
            return {};
        const double ms = Stop(runner, wire);
        if (ms < 0)
            return {};
        samples.push_back(ms);
    }
    sim.SetFault({});
    return samples;
}

double IdleStopMs(TOrvanta &board, int count)
{
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        board.Parar();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return TLatencyStats::Of(samples).median;
}

int Run(int stops, int silentStops)
{
    TBoardSimulator sim;
    QString error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qUtf8Printable(error));
        return 1;
    }
    TWire wire;
    sim.SetFrameObserver([&wire](const TFrameRecord &record) {
        if (record.frame.at(1) == 'T') {
            wire.stopNs = NowNs();
        } else {
            wire.otherNs = NowNs();
            ++wire.others;
        }
    });
    qputenv("KESTROVA_COM3", sim.DevicePath().toLocal8Bit());
    TOrvanta board(nullptr, 3);
    const double baseline = IdleStopMs(board, 50);
    TExecutorProtocolo runner(&board);
    runner.AjustarProtocolo(TEmbutidos::Todos().first());
    runner.AjustarEscalaTempo(1000);  // the countdown takes 3 ms
    runner.AjustarPeriodoMs(2);       // exchanges nearly back to back
    const TLatencyStats answering = TLatencyStats::Of(Answering(runner, wire, stops));
    const TLatencyStats silent = TLatencyStats::Of(Silent(sim, runner, wire, silentStops));
    if (answering.median == 0 || silent.max == 0) {
        std::fprintf(stderr, "a run or a stop did not happen in time\n");
        return 1;
    }
    std::printf("stop latency, Parar() to the stop frame at the board (ms)\n\n");
    std::printf("  %-36s %9s %9s %9s\n", "", "median", "p99", "max");
    std::printf("  %-36s %9.3f %9.3f %9.3f\n", "answering board, runner busy", answering.median,
                answering.p99, answering.max);
    std::printf("  %-36s %9.3f %9.3f %9.3f\n", "silent board, exchange in flight", silent.median,
                silent.p99, silent.max);
    std::printf("  %-36s %9.3f   (ratio median/baseline %.2fx)\n",
                "baseline: one idle stop exchange", baseline, answering.median / baseline);
    std::printf("\n%d stops with an answering board, %d with a silent one\n\n", stops, silentStops);
    const bool fast = answering.median <= kMedianBarMs;
    const bool bounded = silent.max <= kWorstBarMs;
    std::printf("%s  median %.3f ms with an answering board (bar %.1f ms)\n",
                fast ? "PASS" : "FAIL", answering.median, kMedianBarMs);
    std::printf("%s  worst %.1f ms with a silent board (bar two time-outs + 100 ms = %.0f ms)\n",
                bounded ? "PASS" : "FAIL", silent.max, kWorstBarMs);
    return fast && bounded ? 0 : 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Protocol runner stop latency against the simulated board.");
    parser.addHelpOption();
    const QCommandLineOption stopsOption("stops", "Stops with an answering board.", "N", "500");
    const QCommandLineOption quickOption("quick", "A short run (100 and 5 stops).");
    parser.addOptions({stopsOption, quickOption});
    parser.process(app);
    const int stops = parser.isSet(quickOption) ? 100 : parser.value(stopsOption).toInt();
    if (stops < 1) {
        std::fprintf(stderr, "--stops needs a positive whole number\n");
        return 2;
    }
    return Run(stops, parser.isSet(quickOption) ? 5 : 20);
}
