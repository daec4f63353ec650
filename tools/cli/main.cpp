// orvanta-ctl: drives an Orvanta Kestrova board from the command line, one exchange per command,
// the way the controller window does it.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "comm/portname.h"
#include "device/orvanta.h"
#include "platform/exception.h"
#include "platform/idioma.h"
#include "platform/messagebox.h"
#include "platform/trace.h"
#include "portcommands.h"
#include "tools/cli/heartratecommands.h"
#include "tools/cli/protocolcommands.h"
#include "tools/cli/reportcommand.h"

namespace {

enum TExitCode { kOk = 0, kBoardFailure = 1, kUsage = 2, kPortUnavailable = 3 };

const char *const kDescription = R"(Drives an Orvanta Kestrova treadmill board over a serial port.

Commands:
  speed KMH                 set the belt speed (0, or 1.5 to 18.0 km/h)
  incline PERCENT           set the incline (0 to 25 %, steps of 0.5)
  stop                      stop the belt (also the window's reset)
  calibrate-speed COUNT     send the PWM internal-timer count (0 to 255)
  calibrate-incline COUNT   send the optical-disk pulse count (0 to 255)
  poll --speed KMH --incline PERCENT --period MS --ticks N
                            re-send speed then incline every period, as the window's
                            polling does, printing each outcome; ticks missed while
                            an exchange waits fold into one; stops (status 1) when
                            the device is lost
  ports                     list the serial ports found and the port numbers mapped to them
  map N DEVICE              map port number N to DEVICE in the settings shared with the
                            window (a USB adapter is stored by its /dev/serial/by-id name);
                            DEVICE - removes the mapping
  protocols                 list the built-in and user exercise-test protocols
  show NAME [--mph]         print a protocol's steps, the values the board receives and
                            their METs (ACSM)
  run NAME [--mph] [--max-speed KMH] [--max-grade PCT] [--recovery MIN] [--accept-clamp]
           [--time-scale X] [--csv FILE] [--hr-file FILE]
           [--database FILE --patient NAME --birth DD/MM/YYYY --sex F|M
            [--beta-blocker] [--resting-hr BPM] [--resting-bp SYS/DIA]]
                            run a protocol, printing each event with the elapsed time;
                            Ctrl+C stops the belt; a lost link stops it too;
                            --hr-file replays a heart-rate trace (CSV tempo_s,fc[,rr_ms])
                            on the run's clock, its rate in the CSV's last columns;
                            --database records the run as a session of orvanta-teste's
                            database (resting rate 30-250 bpm, pressure 50-300/20-200 mmHg)
  report --database FILE [--session ID] [--json] [--pdf FILE [--mph]]
                            a recorded session's clinical results as one JSON object, or its
                            printed report as a PDF; the latest session without --session
  hr-decode HEX...           decode one heart-rate strap notification (Heart Rate
                            Measurement bytes as a trace prints them): bpm, contact,
                            energy, RR intervals in ms
  hr-scan [--seconds N]     list the Bluetooth LE heart-rate straps heard in N s (10):
                            name, address and signal in dBm, strongest first
  hr [--sensor ADDRESS] --seconds N [--trace]
                            print a strap's readings for N s (without --sensor, the
                            strap remembered by orvanta-teste); --trace adds every
                            notification's bytes, as hr-decode reads them
  NAME may be a protocol file (*.json), or "ramp" with --start-speed KMH
  [--start-grade PCT] --peak-speed KMH --peak-grade PCT [--duration MIN] (8 to 12)

--mph: the speeds typed (--max-speed, --start-speed, --peak-speed) and printed are in miles
per hour; a typed speed goes to the board as km/h rounded to the nearest 0.1 km/h. The CSV,
the JSON and the database stay in km/h.

Numbers take '.' or ',' as the decimal separator. Exit status: 0 success, 1 the board
failed (the reason, e.g. "Retornou NAK", on standard error), 2 usage error, 3 the port
could not be opened, 130 a run stopped by Ctrl+C. A run exits with 0 when its recovery
ended and 1 when a board failure stopped it or its session could not be started. report
exits with 1 for a missing file, one that is not a session database, no such session or a
PDF that could not be written.

Examples:
  orvanta-sim --link /tmp/orvanta &          # a simulated board
  orvanta-ctl --device /tmp/orvanta speed 5.3
  orvanta-ctl map 3 /dev/ttyUSB0              # port 3 is the USB adapter from now on
  orvanta-ctl --port 3 --trace stop          # port 3 = $KESTROVA_COM3, the map, /dev/ttyS2
  orvanta-ctl --device /dev/ttyUSB0 calibrate-speed 106
  orvanta-ctl --device /tmp/orvanta poll --speed 6 --incline 2.5 --period 1000 --ticks 10
  orvanta-ctl --device /tmp/orvanta run bruce --time-scale 60
  orvanta-ctl --device /tmp/orvanta run bruce --database /tmp/testes.sqlite \
      --patient "Ana Souza" --birth 12/03/1971 --sex F --resting-hr 72 --resting-bp 124/78
  orvanta-ctl report --database /tmp/testes.sqlite --json
  orvanta-ctl report --database /tmp/testes.sqlite --session 3 --pdf /tmp/teste3.pdf
  orvanta-ctl hr-decode 16 48 02 03
  orvanta-ctl hr-scan
  orvanta-ctl hr --sensor A0:9E:1A:12:34:56 --seconds 30 --trace)";

void PrintError(const QString &text)
{
    QString oneLine = text;
    oneLine.replace(QStringLiteral("\n\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), ' ');
    std::fprintf(stderr, "orvanta-ctl: %s\n", qUtf8Printable(oneLine));
}

void PrintLine(const QString &text)
{
    std::printf("%s\n", qUtf8Printable(text));
    std::fflush(stdout);
}

std::optional<double> ParseNumber(QString text)
{
    bool ok = false;
    const double value = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseInteger(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

class TUsageError : public Exception {
public:
    using Exception::Exception;
};

double RequireNumber(const QString &text, const char *what)
{
    const auto value = ParseNumber(text);
    if (!value)
        throw TUsageError(QStringLiteral("%1: not a number: \"%2\"").arg(what, text));
    return *value;
}

int RequireInteger(const QString &text, const char *what)
{
    const auto value = ParseInteger(text);
    if (!value)
        throw TUsageError(QStringLiteral("%1: not an integer: \"%2\"").arg(what, text));
    return *value;
}

// Sleeps in an event loop so that received data is still delivered meanwhile.
void SleepUntil(std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(int(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

struct TPollOptions {
    double speed = 0;
    double incline = 0;
    int periodMs = 1000;
    int ticks = 1;
};

TPollOptions ParsePollOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions({{"speed", "Wanted speed.", "KMH", "0"},
                       {"incline", "Wanted incline.", "PERCENT", "0"},
                       {"period", "Polling period.", "MS", "1000"},
                       {"ticks", "Number of ticks.", "N", "1"}});
    if (!parser.parse(arguments))
        throw TUsageError(parser.errorText());
    TPollOptions options;
    options.speed = RequireNumber(parser.value("speed"), "--speed");
    options.incline = RequireNumber(parser.value("incline"), "--incline");
    options.periodMs = RequireInteger(parser.value("period"), "--period");
    options.ticks = RequireInteger(parser.value("ticks"), "--ticks");
    if (options.periodMs < 1 || options.ticks < 1)
        throw TUsageError(QStringLiteral("poll: --period and --ticks must be at least 1"));
    return options;
}

// The time of the tick after one that was due at due: one period later, or, when that has
// already passed (a tick ran past the next ones), the latest tick due by now. Missed ticks fold
// into one that fires at once, as the window's timer folds them.
std::chrono::steady_clock::time_point NextTick(std::chrono::steady_clock::time_point due,
                                               std::chrono::milliseconds period)
{
    const auto now = std::chrono::steady_clock::now();
    due += period;
    if (due < now)
        due += ((now - due) / period) * period;
    return due;
}

int Poll(TOrvanta &board, const TPollOptions &options)
{
    using namespace std::chrono;
    const milliseconds period(options.periodMs);
    auto due = steady_clock::now() + period;
    int failures = 0;
    for (int tick = 1; tick <= options.ticks; ++tick, due = NextTick(due, period)) {
        SleepUntil(due);
        QString outcome = QStringLiteral("Velocidade ou Inclinação: OK");
        try {
            board.AjustarVelocidade(options.speed);
            board.AjustarInclinacao(options.incline);
        } catch (const Exception &error) {
            outcome = QStringLiteral("Velocidade ou Inclinação: ") + error.Message();
            ++failures;
        }
        PrintLine(QStringLiteral("tick %1: %2").arg(tick).arg(outcome));
        if (DeviceLost(board)) {
            PrintError(QStringLiteral("device lost (%1): polling stopped")
                           .arg(board.Porta()->ErrorMessage()));
            return kBoardFailure;
        }
    }
    return failures == 0 ? kOk : kBoardFailure;
}

QString Describe(unsigned char code)
{
    return QStringLiteral("code %1 (0x%2)")
        .arg(code)
        .arg(QString::number(code, 16).toUpper().rightJustified(2, '0'));
}

int RunCommand(TOrvanta &board, const QStringList &words, unsigned calibrationTimeoutMs)
{
    const QString command = words.value(0);
    auto argument = [&](const char *what) {
        if (words.size() != 2)
            throw TUsageError(QStringLiteral("%1 takes one argument: %2").arg(command, what));
        return words.at(1);
    };
    if (command == "speed") {
        const double kmh = RequireNumber(argument("KMH"), "speed");
        const unsigned char code = TOrvanta::ConverterVelocidade(kmh);
        board.AjustarVelocidade(kmh);
        PrintLine(QStringLiteral("speed %1 km/h: OK, %2").arg(kmh).arg(Describe(code)));
    } else if (command == "incline") {
        const double percent = RequireNumber(argument("PERCENT"), "incline");
        const unsigned char code = TOrvanta::ConverterInclinacao(float(percent));
        board.AjustarInclinacao(percent);
        PrintLine(QStringLiteral("incline %1 %: OK, %2").arg(percent).arg(Describe(code)));
    } else if (command == "stop") {
        if (words.size() != 1)
            throw TUsageError(QStringLiteral("stop takes no argument"));
        board.Parar();
        PrintLine(QStringLiteral("stop: OK"));
    } else if (command == "calibrate-speed" || command == "calibrate-incline") {
        const int value = RequireInteger(argument("COUNT"), "COUNT");
        if (value < 0 || value > 255)
            throw TUsageError(QStringLiteral("%1: COUNT must be between 0 and 255, not %2")
                                  .arg(command)
                                  .arg(value));
        const auto count = static_cast<unsigned char>(value);
        if (command == "calibrate-speed")
            board.CalibrarVelocidade(count, calibrationTimeoutMs);
        else
            board.CalibrarInclinacao(count, calibrationTimeoutMs);
        PrintLine(QStringLiteral("%1: OK, value %2 sent").arg(command).arg(count));
    } else if (command == "poll") {
        return Poll(board, ParsePollOptions(QStringList{"poll"} + words.mid(1)));
    } else {
        throw TUsageError(command.isEmpty() ? QStringLiteral("no command given (see --help)")
                                            : QStringLiteral("unknown command: ") + command);
    }
    return kOk;
}

struct TConnection {
    int port = 3;
    QString device;
};

// --device PATH stands for a port number whose mapping names that device.
int SelectPort(const TConnection &connection)
{
    if (!connection.device.isEmpty())
        qputenv(qPrintable(QStringLiteral("KESTROVA_COM%1").arg(connection.port)),
                connection.device.toLocal8Bit());
    return connection.port;
}

int Run(const TConnection &connection, const QStringList &words, unsigned calibrationTimeoutMs)
{
    if (const std::optional<int> status = RunPortCommand(words))
        return *status;
    QString openFailure;
    const TErrorMessageHook previous =
        SetErrorMessageHook([&](const QString &text) { openFailure = text; });
    const int port = SelectPort(connection);
    TOrvanta board(nullptr, port);
    SetErrorMessageHook(previous);
    if (!openFailure.isEmpty()) {
        const QString device = QString::fromStdString(kestrova::comm::PortDeviceName(port));
        PrintError(QStringLiteral("%1 (port %2 = %3: %4)")
                       .arg(openFailure)
                       .arg(port)
                       .arg(device, board.Porta()->ErrorMessage()));
        std::fprintf(stderr, "%s\n", qUtf8Printable(OpenFailureDetailsOf(board)));
        return kPortUnavailable;
    }
    return RunCommand(board, words, calibrationTimeoutMs);
}

QStringList WithoutLanguageOption(const QStringList &arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--")) {
            kept += arguments.mid(i);
            break;
        }
        if (argument == QLatin1String("--lang") || argument == QLatin1String("-lang"))
            ++i;  // and its value
        else if (!argument.startsWith(QLatin1String("--lang=")))
            kept << argument;
    }
    return kept;
}

}  // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::unique_ptr<QCoreApplication> app =
        reportcli::IsReportCommand(argc, argv) ? reportcli::CreateApplication(argv)
                                               : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-ctl"));
    try {
        // Messages follow --lang, else the system's language; the board's answers and the
        // machine-readable output (CSV, JSON, "tick", "speed ... OK") never change.
        PrepararIdioma(*app);
    } catch (const Exception &error) {
        PrintError(error.Message());
        return kUsage;
    }
    // --lang may stand anywhere, also among a command's own options: it was applied above.
    arguments = WithoutLanguageOption(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addHelpOption();
    parser.addOptions({
        {"port",
         "Port number N (1..8): $KESTROVA_COM<N>, else the device mapped to N, else "
         "/dev/ttyS<N-1>.",
         "N", "3"},
        {"device", "Serial device to use instead of a port number.", "PATH"},
        {"trace", "Print the frames sent and the bytes received on standard error."},
        {"calibration-timeout", "Answer time-out of each calibration frame.", "MS", "4000"},
        OpcaoIdioma(),
    });
    parser.addPositionalArgument("command",
                                 "speed, incline, stop, calibrate-speed, "
                                 "calibrate-incline, poll, ports, map, protocols, show, "
                                 "run, report, hr-decode, hr-scan or hr (see above).");
    parser.process(arguments);
    try {
        TConnection connection;
        connection.port = RequireInteger(parser.value("port"), "--port");
        connection.device = parser.value("device");
        const int timeout =
            RequireInteger(parser.value("calibration-timeout"), "--calibration-timeout");
        if (connection.port < 1 || timeout < 1)
            throw TUsageError(QStringLiteral("--port and --calibration-timeout must be positive"));
        EnableTrace(parser.isSet("trace"));
        const QStringList words = parser.positionalArguments();
        if (const std::optional<int> status = heartratecli::RunHeartRateCommand(words))
            return *status;
        if (const std::optional<int> status = reportcli::RunReportCommand(words))
            return *status;
        if (protocolcli::IsProtocolCommand(words.value(0)))
            return protocolcli::RunProtocolCommand(words, connection.port, connection.device);
        return Run(connection, parser.positionalArguments(), unsigned(timeout));
    } catch (const TUsageError &error) {
        PrintError(error.Message());
        return kUsage;
    } catch (const Exception &error) {
        PrintError(error.Message());
        return kBoardFailure;
    }
}
