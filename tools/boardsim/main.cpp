// orvanta-sim: a simulated treadmill board. It answers the controller's frames on a new
// pseudo-terminal (or on a given serial device) as the board does, with optional faults, and
// prints every frame with its answer and the board's state.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/boardsim/boardprotocol.h"
#include "tools/boardsim/boardsimulator.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kRunError = 1;
constexpr char kSignalled = 's';
constexpr char kFramesDone = 'f';
constexpr char kCablePulled = 'p';

// Signals and board-thread events reach the main thread through this pipe.
int gWakePipe[2] = {-1, -1};

void Notify(char what)
{
    const int saved = errno;
    [[maybe_unused]] const ssize_t n = ::write(gWakePipe[1], &what, 1);
    errno = saved;
}

void OnSignal(int)
{
    Notify(kSignalled);
}

int Fail(int code, const QString &message)
{
    std::fprintf(stderr, "orvanta-sim: %s\n", qPrintable(message));
    return code;
}

// One --script item: ok, nak, silent, delay:MS, late[:MS], split, noise, pull.
bool ParseStep(const QString &text, TFaultStep &step)
{
    const QString item = text.trimmed().toLower();
    const QString name = item.section(':', 0, 0);
    const bool hasValue = item.contains(':');
    bool numeric = true;
    const int value = hasValue ? item.section(':', 1).toInt(&numeric) : 0;
    if (!numeric || value < 0) {
        return false;
    }
    step = TFaultStep();
    step.delayMs = value;
    if (name == "delay" && hasValue) {
        step.fault = TBoardFault::Delay;
    } else if (name == "late") {
        step.fault = TBoardFault::Late;
    } else if (hasValue) {
        return false;
    } else if (name == "ok") {
        step.fault = TBoardFault::None;
    } else if (name == "nak") {
        step.fault = TBoardFault::Nak;
    } else if (name == "silent") {
        step.fault = TBoardFault::Silence;
    } else if (name == "split") {
        step.fault = TBoardFault::Split;
    } else if (name == "noise") {
        step.fault = TBoardFault::Noise;
    } else if (name == "pull") {
        step.fault = TBoardFault::CablePull;
    } else {
        return false;
    }
    return true;
}

QString StepName(const TFaultStep &step)
{
    switch (step.fault) {
        case TBoardFault::None: return {};
        case TBoardFault::Silence: return QStringLiteral("silent");
        case TBoardFault::Nak: return QStringLiteral("forced NAK");
        case TBoardFault::Delay: return QStringLiteral("delay %1 ms").arg(step.delayMs);
        case TBoardFault::Late:
            return QStringLiteral("late %1 ms").arg(step.delayMs > 0 ? step.delayMs : 1000);
        case TBoardFault::Split: return QStringLiteral("split");
        case TBoardFault::Noise: return QStringLiteral("noise");
        case TBoardFault::CablePull: return QStringLiteral("cable pull");
    }
    return {};
}

QString Calibration(int value)
{
    return value < 0 ? QStringLiteral("-") : QString::number(value);
}

QString FrameLine(int number, const TFrameRecord &record, const TBoardState &state,
                  const TFaultStep &step)
{
    const QString answer = record.answer == TBoardProtocol::Ack   ? QStringLiteral("ACK ")
                           : record.answer == TBoardProtocol::Nak ? QStringLiteral("NAK ")
                                                                  : QStringLiteral("none");
    QString line =
        QStringLiteral(
            "#%1  %2  %3  speed %4 (%5 km/h)  incline %6 (%7 %)  calibration "
            "speed %8 incline %9")
            .arg(number)
            .arg(QString::fromLatin1(record.frame.toHex(' ')), answer)
            .arg(state.speedCode)
            .arg(TBoardProtocol::SpeedKmh(state.speedCode), 0, 'f', 1)
            .arg(state.inclineCode)
            .arg(TBoardProtocol::InclinePercent(state.inclineCode))
            .arg(Calibration(state.speedCalibration), Calibration(state.inclineCalibration));
    if (state.calibrationArmed) {
        line += QStringLiteral("  armed");
    }
    const QString fault = StepName(step);
    if (!fault.isEmpty()) {
        line += QStringLiteral("  [%1]").arg(fault);
    }
    return line;
}

const char *kDescription =
    "A simulated Orvanta Kestrova treadmill board. It opens a new pseudo-terminal (or the\n"
    "serial device given with --device), prints the device path to open as the board's port,\n"
    "answers every frame STX <letter> <value> with ACK or NAK as the board does and prints\n"
    "one line per frame: the bytes in hex, the answer and the board's state after it.\n"
    "It runs until SIGINT/SIGTERM (Ctrl+C) or until --frames frames were answered, or\n"
    "until the cable is pulled.\n"
    "\n"
    "Faults: at most one of --silent, --nak, --delay, --late, --split, --noise applies to\n"
    "every frame; --script sets the faults of the first frames one by one, then the\n"
    "standing fault applies; --pull-after N pulls the cable on the N-th frame.\n"
    "Script items: ok, nak, silent, delay:MS, late:MS (late alone = 1000 ms), split,\n"
    "noise, pull.\n"
    "\n"
    "Examples:\n"
    "  orvanta-sim                              board on a new pty, answers every frame\n"
    "  orvanta-sim --link /tmp/orvanta          also reachable as /tmp/orvanta\n"
    "  orvanta-sim --device /dev/ttyUSB0        board on a real serial line (9600 8E1)\n"
    "  orvanta-sim --delay 300 --frames 10      answers 300 ms late, stops after 10 answers\n"
    "  orvanta-sim --late 1200                  every answer after the 800 ms time-out\n"
    "  orvanta-sim --silent                     never answers\n"
    "  orvanta-sim --nak --quiet                answers NAK to everything, prints no frames\n"
    "  orvanta-sim --split                      answers in pieces: 41 42 <ans> <opposite> 43\n"
    "  orvanta-sim --noise                      the same bytes in one write\n"
    "  orvanta-sim --pull-after 5               pulls the cable on the 5th frame\n"
    "  orvanta-sim --script ok,silent,delay:900,nak,pull\n"
    "                                           one step per frame, then plain answers\n"
    "\n"
    "Then, for the controller's port 3:  export KESTROVA_COM3=<printed path>";

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-sim"));
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    const QCommandLineOption deviceOption(
        "device", "Run the board on this serial device instead of a new pseudo-terminal.", "PATH");
    const QCommandLineOption linkOption(
        "link", "Create a symbolic link PATH to the device (removed at exit; PATH must not exist).",
        "PATH");
    const QCommandLineOption framesOption("frames", "Exit after N frames were answered.", "N");
    const QCommandLineOption silentOption("silent", "Never answer (frames are not applied).");
    const QCommandLineOption nakOption("nak",
                                       "Answer NAK to every frame (frames are not applied).");
    const QCommandLineOption delayOption("delay", "Answer every frame MS milliseconds late.", "MS");
    const QCommandLineOption lateOption(
        "late", "Answer every frame after MS milliseconds, beyond the 800 ms time-out.", "MS");
    const QCommandLineOption splitOption(
        "split", "Send each answer with noise around it, one byte every ~3 ms.");
    const QCommandLineOption noiseOption(
        "noise", "Send each answer as 41 42 <answer> <opposite answer> 43 in one write.");
    const QCommandLineOption pullOption("pull-after",
                                        "Pull the cable on the N-th frame (no answer to it).", "N");
    const QCommandLineOption scriptOption(
        "script",
        "Comma-separated faults for the next frames, one per frame: ok, nak, silent, delay:MS, "
        "late:MS, split, noise, pull.",
        "LIST");
    const QCommandLineOption quietOption("quiet", "Print no line per frame.");
    parser.addOptions({deviceOption, linkOption, framesOption, silentOption, nakOption, delayOption,
                       lateOption, splitOption, noiseOption, pullOption, scriptOption,
                       quietOption});
    parser.process(app);

    if (!parser.positionalArguments().isEmpty()) {
        return Fail(kUsageError, QStringLiteral("unexpected argument %1; see --help")
                                     .arg(parser.positionalArguments().first()));
    }
    auto number = [&](const QCommandLineOption &option, int minimum, int &value) {
        bool ok = false;
        value = parser.value(option).toInt(&ok);
        return ok && value >= minimum;
    };

    TFaultStep standing;
    int standingCount = 0;
    const QList<std::pair<const QCommandLineOption *, TBoardFault>> flags = {
        {&silentOption, TBoardFault::Silence},
        {&nakOption, TBoardFault::Nak},
        {&splitOption, TBoardFault::Split},
        {&noiseOption, TBoardFault::Noise}};
    for (const auto &[option, fault] : flags) {
        if (parser.isSet(*option)) {
            standing.fault = fault;
            ++standingCount;
        }
    }
    for (const auto &[option, fault] :
         {std::pair{&delayOption, TBoardFault::Delay}, std::pair{&lateOption, TBoardFault::Late}}) {
        if (parser.isSet(*option)) {
            if (!number(*option, 0, standing.delayMs)) {
                return Fail(kUsageError, QStringLiteral("--%1 needs a number of milliseconds")
                                             .arg(option->names().first()));
            }
            standing.fault = fault;
            ++standingCount;
        }
    }
    if (standingCount > 1) {
        return Fail(kUsageError,
                    "choose at most one of --silent, --nak, --delay, --late, --split, --noise");
    }

    QList<TFaultStep> script;
    if (parser.isSet(scriptOption)) {
        for (const QString &item : parser.value(scriptOption).split(',')) {
            TFaultStep step;
            if (!ParseStep(item, step)) {
                return Fail(kUsageError, QStringLiteral("unknown script step \"%1\"").arg(item));
            }
            script.append(step);
        }
    }
    if (parser.isSet(pullOption)) {
        int pullAfter = 0;
        if (!number(pullOption, 1, pullAfter)) {
            return Fail(kUsageError, "--pull-after needs a frame number from 1");
        }
        while (script.size() < pullAfter) {
            script.append(standing);
        }
        script[pullAfter - 1] = TFaultStep{TBoardFault::CablePull, 0};
    }
    int framesWanted = 0;
    if (parser.isSet(framesOption) && !number(framesOption, 1, framesWanted)) {
        return Fail(kUsageError, "--frames needs a number from 1");
    }
    const bool quiet = parser.isSet(quietOption);
    const QString linkPath = parser.value(linkOption);
    struct stat existing {};
    if (!linkPath.isEmpty() && ::lstat(linkPath.toLocal8Bit().constData(), &existing) == 0) {
        return Fail(kUsageError, QStringLiteral("%1 already exists").arg(linkPath));
    }

    if (::pipe2(gWakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return Fail(kRunError,
                    QStringLiteral("cannot create a pipe: %1").arg(std::strerror(errno)));
    }
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    TBoardSimulator board;
    board.SetFault(standing);
    board.SetScript(script);
    // Frame lines and counters live on the board thread; the main thread only waits.
    int frameNumber = 0;
    board.SetFrameObserver([&](const TFrameRecord &record) {
        const TFaultStep step = frameNumber < script.size() ? script[frameNumber] : standing;
        ++frameNumber;
        if (!quiet) {
            std::printf("%s\n", qPrintable(FrameLine(frameNumber, record, board.State(), step)));
        }
        board.ClearLog();  // the lines are the log; keeps a long run's memory flat
        if (step.fault == TBoardFault::CablePull) {
            Notify(kCablePulled);
        }
    });
    std::atomic<int> answered{0};
    board.SetAnswerObserver([&](const TFrameRecord &) {
        if (++answered == framesWanted) {
            Notify(kFramesDone);
        }
    });

    QString error;
    const bool started = parser.isSet(deviceOption)
                             ? board.StartOnDevice(parser.value(deviceOption), &error)
                             : board.Start(&error);
    if (!started) {
        return Fail(kRunError, error);
    }
    const QString path = board.DevicePath();
    bool linked = false;
    if (!linkPath.isEmpty()) {
        if (::symlink(path.toLocal8Bit().constData(), linkPath.toLocal8Bit().constData()) != 0) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            board.Stop();
            return Fail(kRunError, QStringLiteral("cannot link %1: %2").arg(linkPath, reason));
        }
        linked = true;
    }
    std::printf("orvanta-sim: board on %s\n", qPrintable(path));
    if (linked) {
        std::printf("orvanta-sim: linked as %s\n", qPrintable(linkPath));
    }
    std::printf("orvanta-sim: for port 3: export KESTROVA_COM3=%s\n",
                qPrintable(linked ? linkPath : path));

    int exitCode = 0;
    QSocketNotifier wake(gWakePipe[0], QSocketNotifier::Read);
    QObject::connect(&wake, &QSocketNotifier::activated, &app, [&] {
        char what = 0;
        while (::read(gWakePipe[0], &what, 1) == 1) {
            if (what == kCablePulled) {
                std::printf("orvanta-sim: cable pulled\n");
            }
            app.quit();
        }
    });
    // A device that vanishes (a USB adapter pulled) leaves the board without a line.
    QTimer lineCheck;
    QObject::connect(&lineCheck, &QTimer::timeout, &app, [&] {
        if (board.CablePulled() && exitCode == 0) {
            exitCode = kRunError;
            std::fprintf(stderr, "orvanta-sim: the line to %s was lost\n", qPrintable(path));
            app.quit();
        }
    });
    const bool pullScripted = std::any_of(script.cbegin(), script.cend(), [](const TFaultStep &s) {
        return s.fault == TBoardFault::CablePull;
    });
    if (!pullScripted) {
        lineCheck.start(250);
    }
    app.exec();

    if (exitCode == 0)
        board.WaitUntilAnswersRead(1000);  // the last answer reaches the port before hang-up
    board.Stop();
    if (linked) {
        // Remove the link only while it is still ours.
        char target[4096] = {};
        const QByteArray link = linkPath.toLocal8Bit();
        const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
        if (n > 0 && QByteArray(target, int(n)) == path.toLocal8Bit()) {
            ::unlink(link.constData());
        }
    }
    std::printf("orvanta-sim: stopped after %d frame(s), %d answered\n", frameNumber,
                answered.load());
    return exitCode;
}
