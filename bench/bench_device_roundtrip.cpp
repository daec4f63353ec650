// Set-speed round trip through TOrvanta against the in-process simulated board over a pty,
// beside a plain-descriptor exchange with the same board in the same run, and the CPU the
// waiting thread spends while the board takes its time to answer.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/latencystats.h"
#include "device/orvanta.h"
#include "platform/exception.h"
#include "tools/boardsim/boardsimulator.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWarmUp = 20;
constexpr int kAnswerDeadlineMs = 2000;
constexpr double kAddedMedianBarMs = 0.3;
constexpr double kWaitCpuBarPercent = 1.0;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool ReadAck(int fd)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(kAnswerDeadlineMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd in{fd, POLLIN, 0};
        if (left.count() < 0 || ::poll(&in, 1, int(left.count())) <= 0)
            return false;
        char answer = 0;
        if (::read(fd, &answer, 1) == 1)
            return answer == TOrvanta::ACK;
    }
}

// The same frame written to a raw descriptor, its answer read with poll() and read().
bool MeasureRaw(const QString &path, int exchanges, std::vector<double> &samples)
{
    const int fd = ::open(qPrintable(path), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    termios attributes{};
    ::tcgetattr(fd, &attributes);
    ::cfmakeraw(&attributes);
    ::tcsetattr(fd, TCSANOW, &attributes);
    const char frame[3] = {TOrvanta::STX, 'Q', char(TOrvanta::ConverterVelocidade(5.0))};
    bool ok = true;
    for (int i = 0; ok && i < kWarmUp + exchanges; ++i) {
        const auto start = Clock::now();
        ok = ::write(fd, frame, 3) == 3 && ReadAck(fd);
        if (ok && i >= kWarmUp)
            samples.push_back(MsSince(start));
    }
    ::close(fd);
    return ok;
}

bool MeasureDevice(TOrvanta &board, int exchanges, std::vector<double> &samples)
{
    for (int i = 0; i < kWarmUp + exchanges; ++i) {
        const auto start = Clock::now();
        try {
            board.AjustarVelocidade(5.0);
        } catch (const Exception &error) {
            std::fprintf(stderr, "device: exchange %d: %s\n", i, qUtf8Printable(error.Message()));
            return false;
        }
        if (i >= kWarmUp)
            samples.push_back(MsSince(start));
    }
    return true;
}

double ThreadCpuMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// CPU of the waiting (main) thread while a slow board answers each frame after delayMs.
double WaitCpuPercent(TBoardSimulator &sim, TOrvanta &board, int exchanges, int delayMs)
{
    sim.SetFault({TBoardFault::Delay, delayMs});
    const double cpuStart = ThreadCpuMs();
    const auto start = Clock::now();
    for (int i = 0; i < exchanges; ++i)
        board.AjustarVelocidade(5.0);
    const double wallMs = MsSince(start);
    sim.SetFault({});
    return 100.0 * (ThreadCpuMs() - cpuStart) / wallMs;
}

void PrintRow(const char *label, const TLatencyStats &stats)
{
    std::printf("  %-28s %9.3f %9.3f %9.3f\n", label, stats.median, stats.p99, stats.max);
}

int Run(int exchanges, int slowExchanges)
{
    TBoardSimulator sim;
    QString error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qUtf8Printable(error));
        return 1;
    }
    std::vector<double> raw, device;
    if (!MeasureRaw(sim.DevicePath(), exchanges, raw)) {
        std::fprintf(stderr, "raw exchange failed\n");
        return 1;
    }
    qputenv("KESTROVA_COM3", sim.DevicePath().toLocal8Bit());
    TOrvanta board(nullptr, 3);
    if (!MeasureDevice(board, exchanges, device))
        return 1;
    const double waitCpu = WaitCpuPercent(sim, board, slowExchanges, 50);

    const TLatencyStats rawStats = TLatencyStats::Of(raw), deviceStats = TLatencyStats::Of(device);
    std::printf("set-speed round trip, %d exchanges each, simulated board on %s\n\n", exchanges,
                qPrintable(sim.DevicePath()));
    std::printf("round trip (ms)                  median       p99       max\n");
    PrintRow("raw descriptor", rawStats);
    PrintRow("TOrvanta::AjustarVelocidade", deviceStats);
    const double added = deviceStats.median - rawStats.median;
    std::printf("  %-28s %9.3f %9.3f   (ratio %.2fx)\n", "added by TOrvanta", added,
                deviceStats.p99 - rawStats.p99, deviceStats.median / rawStats.median);
    std::printf("\nwaiting thread CPU, board answering after 50 ms: %.3f %% of one core\n\n",
                waitCpu);
    const bool fast = added <= kAddedMedianBarMs;
    const bool idle = waitCpu < kWaitCpuBarPercent;
    std::printf("%s  TOrvanta adds %.3f ms to the median round trip (bar %.1f ms)\n",
                fast ? "PASS" : "FAIL", added, kAddedMedianBarMs);
    std::printf("%s  the wait uses %.3f %% of a core (bar %.0f %%)\n", idle ? "PASS" : "FAIL",
                waitCpu, kWaitCpuBarPercent);
    return fast && idle ? 0 : 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("TOrvanta round trip against the simulated board.");
    parser.addHelpOption();
    const QCommandLineOption exchangesOption("exchanges", "Timed exchanges per method.", "N",
                                             "1000");
    const QCommandLineOption quickOption("quick", "A short run (200 exchanges).");
    parser.addOptions({exchangesOption, quickOption});
    parser.process(app);
    const int exchanges = parser.isSet(quickOption) ? 200 : parser.value(exchangesOption).toInt();
    if (exchanges < 1) {
        std::fprintf(stderr, "--exchanges needs a positive whole number\n");
        return 2;
    }
    return Run(exchanges, parser.isSet(quickOption) ? 10 : 40);
}
