// Period accuracy of TVtxTimer beside a QTimer with Qt::PreciseTimer, both running in the same
// process at the same time: the error of each period against its nominal length (p50, p99, max)
// and the drift over the run (last tick - first tick - (ticks - 1) x period).

#include <time.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "bench/latencystats.h"
#include "components/vtxtimer.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFullTicks = 100;
constexpr int kQuickTicks = 10;
constexpr double kP99BarMs = 1.0;
// Drift is cumulative error; within this it is the jitter of the last tick, not accumulation.
constexpr double kDriftBarMs = 1.0;

// Tick times of one timer, written by whichever thread runs its callback.
class TRecorder {
public:
    TRecorder(const char *name, int period, int ticks) : Name(name), Period(period), FTimes(ticks)
    {
    }

    // False once the wanted number of ticks has been recorded.
    bool Record()
    {
        const int index = FCount.load(std::memory_order_relaxed);
        if (index >= int(FTimes.size())) {
            return false;
        }
        FTimes[std::size_t(index)] = Clock::now();
        FCount.store(index + 1, std::memory_order_release);
        return index + 1 < int(FTimes.size());
    }

    bool Done() const { return FCount.load(std::memory_order_acquire) >= int(FTimes.size()); }

    std::vector<double> PeriodErrors() const
    {
        std::vector<double> errors;
        for (std::size_t i = 1; i < FTimes.size(); ++i) {
            errors.push_back(std::fabs(Ms(FTimes[i - 1], FTimes[i]) - Period));
        }
        return errors;
    }

    // |tick k - (first tick + k x period)|: the error against the schedule the first tick set.
    std::vector<double> GridErrors() const
    {
        std::vector<double> errors;
        for (std::size_t i = 1; i < FTimes.size(); ++i) {
            errors.push_back(std::fabs(Ms(FTimes.front(), FTimes[i]) - double(i) * Period));
        }
        return errors;
    }

    double Drift() const
    {
        return Ms(FTimes.front(), FTimes.back()) - double(FTimes.size() - 1) * Period;
    }

    const char *Name;
    const int Period;

private:
    static double Ms(Clock::time_point a, Clock::time_point b)
    {
        return std::chrono::duration<double, std::milli>(b - a).count();
    }

    std::vector<Clock::time_point> FTimes;
    std::atomic<int> FCount{0};
};

struct TRow {
    TLatencyStats stats;
    TLatencyStats grid;
    double drift = 0;
};

TRow Summarise(const TRecorder &recorder)
{
    return {TLatencyStats::Of(recorder.PeriodErrors()), TLatencyStats::Of(recorder.GridErrors()),
            recorder.Drift()};
}

void PrintRow(const char *name, int period, const TRow &row)
{
    std::printf("| %-9s | %5d ms | %8.3f | %8.3f | %8.3f | %8.3f | %8.3f | %+9.3f |\n", name,
                period, row.stats.median, row.stats.p99, row.stats.max, row.grid.median,
                row.grid.p99, row.drift);
}

// The platform's floor: a bare thread sleeping to absolute deadlines (clock_nanosleep), at the
// normal priority like the timer threads, recording like the timers do.
std::thread StartFloor(TRecorder &recorder)
{
    return std::thread([&recorder] {
        timespec next{};
        ::clock_gettime(CLOCK_MONOTONIC, &next);
        do {
            next.tv_nsec += long(recorder.Period) * 1000000L;
            next.tv_sec += next.tv_nsec / 1000000000L;
            next.tv_nsec %= 1000000000L;
            while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
            }
        } while (recorder.Record());
    });
}

double Ratio(double a, double b)
{
    return b > 0 ? a / b : 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("TVtxTimer period error beside QTimer (Qt::PreciseTimer)");
    const QCommandLineOption quick("quick", "Record fewer periods (smoke run).");
    parser.addOption(quick);
    parser.addHelpOption();
    parser.process(app);
    const int ticks = parser.isSet(quick) ? kQuickTicks : kFullTicks;

    std::vector<std::unique_ptr<TRecorder>> recorders;
    std::vector<std::unique_ptr<TVtxTimer>> vtxTimers;
    std::vector<std::unique_ptr<QTimer>> qtTimers;
    for (const int period : {100, 1000}) {
        auto vtx = std::make_unique<TRecorder>("TVtxTimer", period, ticks);
        auto qt = std::make_unique<TRecorder>("QTimer", period, ticks);
        TRecorder *vtxRecorder = vtx.get();
        TRecorder *qtRecorder = qt.get();
        auto timer = std::make_unique<TVtxTimer>(
            nullptr, period, [vtxRecorder](QObject *) { vtxRecorder->Record(); });
        auto precise = std::make_unique<QTimer>();
        precise->setTimerType(Qt::PreciseTimer);
        precise->setInterval(period);
        QTimer *raw = precise.get();
        QObject::connect(raw, &QTimer::timeout, raw, [raw, qtRecorder] {
            if (!qtRecorder->Record()) {
                raw->stop();
            }
        });
        vtxTimers.push_back(std::move(timer));
        qtTimers.push_back(std::move(precise));
        recorders.push_back(std::move(vtx));
        recorders.push_back(std::move(qt));
        recorders.push_back(std::make_unique<TRecorder>("floor", period, ticks));
    }

    std::printf("bench_timer_period: %d ticks per timer, all timers at once\n", ticks);
    std::fflush(stdout);
    std::vector<std::thread> floors;
    for (std::size_t i = 0; i < vtxTimers.size(); ++i) {
        vtxTimers[i]->AjustarFbHabilitado(true);
        qtTimers[i]->start();
        floors.push_back(StartFloor(*recorders[3 * i + 2]));
    }
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        for (const auto &recorder : recorders) {
            if (!recorder->Done()) {
                return;
            }
        }
        app.quit();
    });
    poll.start(20);
    app.exec();
    for (const auto &timer : vtxTimers) {
        timer->AjustarFbHabilitado(false);
    }
    for (std::thread &floor : floors) {
        floor.join();
    }

    std::printf(
        "\nin ms: |period - nominal| (p50, p99, max), |tick k - (first + k x period)|"
        " (p50, p99), drift = last - first - %d x period\n",
        ticks - 1);
    std::printf("| timer | period | p50 | p99 | max | grid p50 | grid p99 | drift |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    bool barsMet = true;
    for (std::size_t i = 0; i < recorders.size(); i += 3) {
        const TRow vtx = Summarise(*recorders[i]);
        const TRow qt = Summarise(*recorders[i + 1]);
        const TRow floor = Summarise(*recorders[i + 2]);
        const int period = recorders[i]->Period;
        PrintRow(recorders[i]->Name, period, vtx);
        PrintRow(recorders[i + 1]->Name, period, qt);
        PrintRow(recorders[i + 2]->Name, period, floor);
        std::printf(
            "| TVtxTimer/QTimer | %5d ms | %7.2fx | %7.2fx | %7.2fx | %7.2fx | %7.2fx | |\n",
            period, Ratio(vtx.stats.median, qt.stats.median), Ratio(vtx.stats.p99, qt.stats.p99),
            Ratio(vtx.stats.max, qt.stats.max), Ratio(vtx.grid.median, qt.grid.median),
            Ratio(vtx.grid.p99, qt.grid.p99));
        barsMet = barsMet && vtx.stats.p99 < kP99BarMs && std::fabs(vtx.drift) < kDriftBarMs;
    }
    std::printf("\nbars (TVtxTimer p99 < %.1f ms, |drift| < %.1f ms): %s\n", kP99BarMs, kDriftBarMs,
                barsMet ? "met" : "NOT met");
    return 0;
}
