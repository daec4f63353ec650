// CPU cost of the controller window: the window connected to the in-process simulated board with
// the belt running and polling every second, beside a baseline of the same window shown and not
// connected, for the same duration. Prints both as % of one core (process CPU time, user +
// system, from getrusage, so the simulated board's thread counts too). Bar: under 1 %.
//
// bench_app_cpu [--seconds N]   (default 30 s per phase; offscreen unless QT_QPA_PLATFORM is set)

#include <sys/resource.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/fcontrolaorvanta.h"
#include "tools/boardsim/boardsimulator.h"

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the event loop for the given time; returns the CPU used as % of one core.
double MeasurePhase(int seconds)
{
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = CpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = CpuSeconds() - cpu0;
    return 100.0 * cpu / (double(wall.nsecsElapsed()) / 1e9);
}

template <typename T = QAbstractButton>
T *Child(QWidget &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name));
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption secondsOption(QStringLiteral("seconds"),
                                           QStringLiteral("Duration of each phase."),
                                           QStringLiteral("N"), QStringLiteral("30"));
    options.addOption(secondsOption);
    options.process(app);
    const int seconds = std::max(1, options.value(secondsOption).toInt());

    TBoardSimulator board;
    QString error;
    if (!board.Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }
    // Settings of their own: the window opens on port 1, and the user's last port is untouched.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("KESTROVA_COM1", board.DevicePath().toLocal8Bit());
    TfrmControlaOrvanta window;
    window.show();
    Child<QLineEdit>(window, "edtCom")->setText(QStringLiteral("1"));

    const double idle = MeasurePhase(seconds);

    Child(window, "btnOnline")->click();
    for (int i = 0; i < 36; ++i)  // 5.00 km/h
        Child(window, "btnAumentarVelocidade")->click();
    const int framesBefore = int(board.Frames().size());
    const double running = MeasurePhase(seconds);
    const int polls = (int(board.Frames().size()) - framesBefore) / 2;
    const QString status = Child<QLabel>(window, "lblMensagem")->text();

    std::printf("bench_app_cpu: %d s per phase, polling period 1000 ms\n", seconds);
    std::printf("  idle, window shown, not connected : %6.3f %% of one core\n", idle);
    std::printf("  connected, belt running, polling  : %6.3f %% of one core (%d polls, \"%s\")\n",
                running, polls, qPrintable(status));
    std::printf("  difference                        : %6.3f %% of one core (bar: under 1 %%)\n",
                running - idle);
    std::printf("  verdict: %s\n", running < 1.0 ? "PASS" : "FAIL");
    return 0;
}
