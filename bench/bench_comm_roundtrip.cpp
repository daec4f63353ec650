// Round-trip latency and idle cost of the serial component, over a pseudo-terminal whose far end
// answers every 3-byte frame with ACK. A plain-descriptor exchange on the same pty, measured in
// the same run, is the floor the component is compared with.

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>
#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/latencystats.h"
#include "comm/advancedcom.h"
#include "comm/ptypair.h"
#include "platform/exception.h"

using Clock = std::chrono::steady_clock;
using kestrova::comm::TPtyPair;

namespace {

constexpr char kAck = 0x06;
constexpr int kFrameSize = 3;
constexpr char kFrame[kFrameSize] = {0x02, 0x51, 0x01};
constexpr quint32 kPort = 1;
constexpr int kAnswerDeadlineMs = 2000;
constexpr int kWarmUp = 20;
constexpr int kClosedWindowMaxSeconds = 2;
constexpr double kMedianBarMs = 1.0;
constexpr double kIdleCpuBarPercent = 0.1;

double MsBetween(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The far end of the cable: one ACK for every complete frame. It blocks in poll() between frames,
// so it costs nothing while the line is idle.
class TAckPeer {
public:
    explicit TAckPeer(TPtyPair &pty) : FPty(pty), FStop(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    {
        if (FStop < 0) {
            throw std::runtime_error("eventfd failed");
        }
        FThread = std::thread([this] { Run(); });
    }
    ~TAckPeer()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(FStop, &one, sizeof one);
        FThread.join();
        ::close(FStop);
    }
    TAckPeer(const TAckPeer &) = delete;
    TAckPeer &operator=(const TAckPeer &) = delete;

    bool Failed() const { return FFailed; }

private:
    void Run()
    {
        std::size_t pending = 0;
        char buffer[256];
        for (;;) {
            pollfd fds[2] = {{FPty.Master(), POLLIN, 0}, {FStop, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                FFailed = true;
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
            const ssize_t n = ::read(FPty.Master(), buffer, sizeof buffer);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            if (n <= 0) {
                FFailed = true;
                return;
            }
            for (pending += std::size_t(n); pending >= kFrameSize; pending -= kFrameSize) {
                if (!FPty.Send(std::string(1, kAck))) {
                    FFailed = true;
                    return;
                }
            }
        }
    }

    TPtyPair &FPty;
    int FStop;
    std::atomic<bool> FFailed{false};
    std::thread FThread;
};

// Write the frame to the slave descriptor, poll() and read() the answer. Returns false (with the
// reason printed) when an answer is missing or wrong.
bool MeasureRaw(const std::string &path, int exchanges, std::vector<double> &samples)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "raw: cannot open %s\n", path.c_str());
        return false;
    }
    termios attributes{};
    ::tcgetattr(fd, &attributes);
    ::cfmakeraw(&attributes);
    ::tcsetattr(fd, TCSANOW, &attributes);

    bool ok = true;
    for (int i = 0; ok && i < kWarmUp + exchanges; ++i) {
        const auto start = Clock::now();
        const auto deadline = start + std::chrono::milliseconds(kAnswerDeadlineMs);
        if (::write(fd, kFrame, kFrameSize) != kFrameSize) {
            std::fprintf(stderr, "raw: exchange %d: write failed\n", i);
            ok = false;
            break;
        }
        char answer = 0;
        ssize_t n = 0;
        while (n != 1) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd in{fd, POLLIN, 0};
            if (left.count() < 0 || ::poll(&in, 1, int(left.count())) == 0) {
                std::fprintf(stderr, "raw: exchange %d: no answer within %d ms\n", i,
                             kAnswerDeadlineMs);
                ok = false;
                break;
            }
            n = ::read(fd, &answer, 1);
        }
        const auto end = Clock::now();
        if (ok && answer != kAck) {
            std::fprintf(stderr, "raw: exchange %d: answer 0x%02x instead of ACK\n", i,
                         unsigned(static_cast<unsigned char>(answer)));
            ok = false;
        }
        if (ok && i >= kWarmUp) {
            samples.push_back(MsBetween(start, end));
        }
    }
    ::close(fd);
    return ok;
}

// What the packet handler has seen of the current exchange.
struct TAnswer {
    QEventLoop *loop = nullptr;
    QByteArray bytes;
    Clock::time_point at;
};

// Time from Write to the handler that gets the answer, waiting in an event loop as an
// application does.
bool MeasureComponent(TAdvancedCom &com, TAnswer &answer, int exchanges,
                      std::vector<double> &samples)
{
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    answer.loop = &loop;
    bool ok = true;
    for (int i = 0; ok && i < kWarmUp + exchanges; ++i) {
        answer.bytes.clear();
        deadline.start(kAnswerDeadlineMs);
        const auto start = Clock::now();
        try {
            com.Write(kFrame, kFrameSize);
        } catch (const Exception &error) {
            std::fprintf(stderr, "component: exchange %d: %s\n", i, error.what());
            ok = false;
            break;
        }
        const bool timedOut = loop.exec() != 0;
        deadline.stop();
        if (timedOut) {
            std::fprintf(stderr, "component: exchange %d: no answer within %d ms\n", i,
                         kAnswerDeadlineMs);
            ok = false;
        } else if (answer.bytes != QByteArray(1, kAck)) {
            std::fprintf(stderr, "component: exchange %d: answer %s instead of ACK\n", i,
                         answer.bytes.toHex(' ').constData());
            ok = false;
        } else if (i >= kWarmUp) {
            samples.push_back(MsBetween(start, answer.at));
        }
    }
    answer.loop = nullptr;
    return ok;
}

double CpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) {
        return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct TIdle {
    double wallMs = 0;
    double cpuMs = 0;
    double Percent() const { return wallMs > 0 ? 100.0 * cpuMs / wallMs : 0; }
};

// Process CPU time while the main thread sits in an event loop for the given time.
TIdle MeasureIdle(int seconds)
{
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    const double cpuBefore = CpuMs();
    const auto start = Clock::now();
    loop.exec();
    TIdle idle;
    idle.wallMs = MsBetween(start, Clock::now());
    idle.cpuMs = CpuMs() - cpuBefore;
    return idle;
}

int PositiveValue(const QCommandLineParser &parser, const QCommandLineOption &option, int fallback)
{
    if (!parser.isSet(option)) {
        return fallback;
    }
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 1) {
        std::fprintf(stderr, "--%s needs a positive whole number\n",
                     qPrintable(option.names().constFirst()));
        std::exit(2);
    }
    return value;
}

void PrintRow(const char *label, const TLatencyStats &stats)
{
    std::printf("  %-26s %9.3f %9.3f %9.3f\n", label, stats.median, stats.p99, stats.max);
}

void PrintVerdict(bool pass, const QString &text)
{
    std::printf("%s  %s\n", pass ? "PASS" : "FAIL", qPrintable(text));
}

// The whole run; returns the exit status.
int Run(int exchanges, int idleSeconds)
{
    const int closedSeconds = std::min(idleSeconds, kClosedWindowMaxSeconds);
    TPtyPair pty;
    TAckPeer peer(pty);
    qputenv(("KESTROVA_COM" + std::to_string(kPort)).c_str(),
            QByteArray::fromStdString(pty.SlavePath()));
    std::printf("pty %s (port %u), far end answers each 3-byte frame with 06\n",
                pty.SlavePath().c_str(), unsigned(kPort));
    std::printf("%d timed exchanges per method after %d warm-up, answer deadline %d ms\n\n",
                exchanges, kWarmUp, kAnswerDeadlineMs);

    std::vector<double> raw;
    std::vector<double> component;
    bool ok = MeasureRaw(pty.SlavePath(), exchanges, raw);

    TAdvancedCom com;
    com.SetPort(kPort);
    com.SetBaud(9600);
    com.SetParity(TComThread::even);
    com.SetPacketSize(80);
    com.SetTimeout(100);
    TAnswer answer;
    com.OnPacketReceived = [&answer](QObject *, QByteArray &bytes) {
        answer.at = Clock::now();
        answer.bytes += bytes;
        if (answer.loop) {
            answer.loop->quit();
        }
    };
    com.ComInit();
    if (!com.Opened()) {
        std::fprintf(stderr, "ComInit failed: %s\n", qPrintable(com.ErrorMessage()));
        return 1;
    }
    ok = MeasureComponent(com, answer, exchanges, component) && ok;
    const TIdle idleOpen = MeasureIdle(idleSeconds);
    com.ComClose();
    const TIdle idleClosed = MeasureIdle(closedSeconds);
    if (peer.Failed()) {
        std::fprintf(stderr, "the far end stopped on a pty failure\n");
        ok = false;
    }

    const TLatencyStats rawStats = TLatencyStats::Of(raw);
    const TLatencyStats comStats = TLatencyStats::Of(component);
    std::printf("round trip (ms)              median       p99       max\n");
    PrintRow("raw fd, poll()+read()", rawStats);
    PrintRow("TAdvancedCom (9600 8E1)", comStats);
    if (rawStats.median > 0 && rawStats.p99 > 0) {
        std::printf("  %-26s %8.1fx %8.1fx\n", "ratio component/raw",
                    comStats.median / rawStats.median, comStats.p99 / rawStats.p99);
    }
    std::printf("\nidle process CPU (%% of one core)\n");
    std::printf("  %-26s %9.4f %%  (%.3f ms CPU in %.3f s)\n", "port open, reader idle",
                idleOpen.Percent(), idleOpen.cpuMs, idleOpen.wallMs / 1e3);
    std::printf("  %-26s %9.4f %%  (%.3f ms CPU in %.3f s)\n\n", "port closed (baseline)",
                idleClosed.Percent(), idleClosed.cpuMs, idleClosed.wallMs / 1e3);

    if (!ok || component.size() != std::size_t(exchanges)) {
        std::printf("FAIL  exchanges lost: %zu of %d raw and %zu of %d component answers timed\n",
                    raw.size(), exchanges, component.size(), exchanges);
        return 1;
    }
    PrintVerdict(comStats.median <= kMedianBarMs,
                 QString("component median %1 ms, bar at most %2 ms")
                     .arg(comStats.median, 0, 'f', 3)
                     .arg(kMedianBarMs, 0, 'f', 3));
    PrintVerdict(idleOpen.Percent() < kIdleCpuBarPercent,
                 QString("idle reader CPU %1 %, bar under %2 %")
                     .arg(idleOpen.Percent(), 0, 'f', 4)
                     .arg(kIdleCpuBarPercent));
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Round trip and idle CPU of TAdvancedCom over a pseudo-terminal, against plain "
        "descriptors.");
    parser.addHelpOption();
    const QCommandLineOption exchangesOption("exchanges", "Timed exchanges per method (1000).",
                                             "N");
    const QCommandLineOption idleOption("idle-seconds", "Idle window with the port open (10).",
                                        "D");
    const QCommandLineOption quickOption("quick", "Short run: 200 exchanges, 2 s idle window.");
    parser.addOptions({exchangesOption, idleOption, quickOption});
    parser.process(app);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // keeps the report in order with error lines
    const bool quick = parser.isSet(quickOption);
    const int exchanges = PositiveValue(parser, exchangesOption, quick ? 200 : 1000);
    const int idleSeconds = PositiveValue(parser, idleOption, quick ? 2 : 10);

    try {
        return Run(exchanges, idleSeconds);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
