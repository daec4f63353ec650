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

// The help text; its English is in the translation file like every other message.
const char *const kDescription = QT_TRANSLATE_NOOP(
    "orvanta-ctl",
    "Comanda uma placa de esteira Orvanta Kestrova por uma porta serial.\n"
    "\n"
    "Comandos:\n"
    "  speed KMH                 ajusta a velocidade da esteira (0, ou de 1.5 a 18.0 km/h)\n"
    "  incline PERCENT           ajusta a inclinação (de 0 a 25 %, em passos de 0.5)\n"
    "  stop                      para a esteira (também o reset da janela)\n"
    "  calibrate-speed COUNT     envia a contagem do temporizador interno do PWM (0 a 255)\n"
    "  calibrate-incline COUNT   envia a contagem de pulsos do disco óptico (0 a 255)\n"
    "  poll --speed KMH --incline PERCENT --period MS --ticks N\n"
    "                            reenvia a velocidade e depois a inclinação a cada período,\n"
    "                            como o envio periódico da janela, mostrando cada resultado;\n"
    "                            os ticks perdidos enquanto uma troca espera viram um só; para\n"
    "                            (status 1) quando o dispositivo se perde\n"
    "  ports                     lista as portas seriais encontradas e os números de porta\n"
    "                            mapeados para elas\n"
    "  map N DEVICE              mapeia o número de porta N para DEVICE nas configurações\n"
    "                            compartilhadas com a janela (um adaptador USB é gravado pelo\n"
    "                            seu nome em /dev/serial/by-id); DEVICE - remove o mapeamento\n"
    "  protocols                 lista os protocolos de teste de esforço embutidos e do usuário\n"
    "  show NAME [--mph]         mostra as etapas de um protocolo, os valores que a placa\n"
    "                            recebe e seus METs (ACSM)\n"
    "  run NAME [--mph] [--max-speed KMH] [--max-grade PCT] [--recovery MIN] [--accept-clamp]\n"
    "           [--time-scale X] [--csv FILE] [--hr-file FILE]\n"
    "           [--database FILE --patient NAME --birth DD/MM/YYYY --sex F|M\n"
    "            [--beta-blocker] [--resting-hr BPM] [--resting-bp SYS/DIA]]\n"
    "                            executa um protocolo, mostrando cada evento com o tempo\n"
    "                            decorrido; Ctrl+C para a esteira; uma conexão perdida também;\n"
    "                            --hr-file reproduz um traçado de frequência cardíaca (CSV\n"
    "                            tempo_s,fc[,rr_ms]) no relógio da execução, com a frequência\n"
    "                            nas últimas colunas do CSV; --database grava a execução como\n"
    "                            uma sessão do banco do orvanta-teste (frequência de repouso\n"
    "                            30-250 bpm, pressão 50-300/20-200 mmHg)\n"
    "  report --database FILE [--session ID] [--json] [--pdf FILE [--mph]]\n"
    "                            os resultados clínicos de uma sessão gravada, como um objeto\n"
    "                            JSON, ou o seu relatório impresso, em PDF; sem --session, a\n"
    "                            última sessão\n"
    "  hr-decode HEX...          decodifica uma notificação de cinta cardíaca (os bytes de\n"
    "                            Heart Rate Measurement como um rastro os mostra): bpm,\n"
    "                            contato, energia, intervalos RR em ms\n"
    "  hr-scan [--seconds N]     lista as cintas cardíacas Bluetooth LE ouvidas em N s (10):\n"
    "                            nome, endereço e sinal em dBm, a mais forte primeiro\n"
    "  hr [--sensor ADDRESS] --seconds N [--trace]\n"
    "                            mostra as leituras de uma cinta por N s (sem --sensor, a\n"
    "                            cinta lembrada pelo orvanta-teste); --trace acrescenta os\n"
    "                            bytes de cada notificação, como hr-decode os lê\n"
    "  NAME pode ser um arquivo de protocolo (*.json), ou \"ramp\" com --start-speed KMH\n"
    "  [--start-grade PCT] --peak-speed KMH --peak-grade PCT [--duration MIN] (8 a 12)\n"
    "\n"
    "--mph: as velocidades digitadas (--max-speed, --start-speed, --peak-speed) e mostradas\n"
    "estão em milhas por hora; uma velocidade digitada vai à placa em km/h, arredondada para o\n"
    "0.1 km/h mais próximo. O CSV, o JSON e o banco continuam em km/h.\n"
    "\n"
    "Os números aceitam '.' ou ',' como separador decimal. Status de saída: 0 sucesso, 1 a\n"
    "placa falhou (o motivo, por exemplo \"Retornou NAK\", na saída de erro), 2 erro de uso, 3 a\n"
    "porta não pôde ser aberta, 130 uma execução parada por Ctrl+C. Uma execução sai com 0\n"
    "quando a sua recuperação terminou e com 1 quando uma falha da placa a parou ou a sua\n"
    "sessão não pôde ser iniciada. report sai com 1 para um arquivo que não existe, um que não\n"
    "é um banco de sessões, uma sessão que não existe ou um PDF que não pôde ser gravado.\n"
    "\n"
    "Exemplos:\n"
    "  orvanta-sim --link /tmp/orvanta &          # uma placa simulada\n"
    "  orvanta-ctl --device /tmp/orvanta speed 5.3\n"
    "  orvanta-ctl map 3 /dev/ttyUSB0              # a porta 3 é o adaptador USB daqui em diante\n"
    "  orvanta-ctl --port 3 --trace stop          # porta 3 = $KESTROVA_COM3, o mapa, /dev/ttyS2\n"
    "  orvanta-ctl --device /dev/ttyUSB0 calibrate-speed 106\n"
    "  orvanta-ctl --device /tmp/orvanta poll --speed 6 --incline 2.5 --period 1000 --ticks 10\n"
    "  orvanta-ctl --device /tmp/orvanta run bruce --time-scale 60\n"
    "  orvanta-ctl --device /tmp/orvanta run bruce --database /tmp/testes.sqlite \\\n"
    "      --patient \"Ana Souza\" --birth 12/03/1971 --sex F --resting-hr 72 --resting-bp 124/78\n"
    "  orvanta-ctl report --database /tmp/testes.sqlite --json\n"
    "  orvanta-ctl report --database /tmp/testes.sqlite --session 3 --pdf /tmp/teste3.pdf\n"
    "  orvanta-ctl hr-decode 16 48 02 03\n"
    "  orvanta-ctl hr-scan\n"
    "  orvanta-ctl hr --sensor A0:9E:1A:12:34:56 --seconds 30 --trace");

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
        throw TUsageError(QCoreApplication::translate("orvanta-ctl", "%1: não é um número: \"%2\"")
                              .arg(what, text));
    return *value;
}

int RequireInteger(const QString &text, const char *what)
{
    const auto value = ParseInteger(text);
    if (!value)
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "%1: não é um número inteiro: \"%2\"")
                .arg(what, text));
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
        throw TUsageError(QCoreApplication::translate(
            "orvanta-ctl", "poll: --period e --ticks devem ser pelo menos 1"));
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
            PrintError(QCoreApplication::translate(
                           "orvanta-ctl", "comunicação perdida (%1): envio periódico interrompido")
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
            throw TUsageError(
                QCoreApplication::translate("orvanta-ctl", "%1 recebe um argumento: %2")
                    .arg(command, what));
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
            throw TUsageError(QCoreApplication::translate("orvanta-ctl", "%1 não recebe argumentos")
                                  .arg(command));
        board.Parar();
        PrintLine(QStringLiteral("stop: OK"));
    } else if (command == "calibrate-speed" || command == "calibrate-incline") {
        const int value = RequireInteger(argument("COUNT"), "COUNT");
        if (value < 0 || value > 255)
            throw TUsageError(QCoreApplication::translate(
                                  "orvanta-ctl", "%1: COUNT deve estar entre 0 e 255, não %2")
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
        throw TUsageError(
            command.isEmpty()
                ? QCoreApplication::translate("orvanta-ctl", "nenhum comando dado (veja --help)")
                : QCoreApplication::translate("orvanta-ctl", "comando desconhecido: %1")
                      .arg(command));
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
        PrintError(QCoreApplication::translate("orvanta-ctl", "%1 (porta %2 = %3: %4)")
                       .arg(openFailure)
                       .arg(port)
                       .arg(device, board.Porta()->ErrorMessage()));
        std::fprintf(stderr, "%s\n", qUtf8Printable(OpenFailureDetailsOf(board)));
        return kPortUnavailable;
    }
    return RunCommand(board, words, calibrationTimeoutMs);
}

QString Tr(const char *text)
{
    return QCoreApplication::translate("orvanta-ctl", text);
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
    parser.setApplicationDescription(Tr(kDescription));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addHelpOption();
    parser.addOptions({
        {"port",
         Tr(QT_TRANSLATE_NOOP("orvanta-ctl",
                              "Número da porta N (1..8): $KESTROVA_COM<N>, senão o dispositivo "
                              "mapeado para N, senão /dev/ttyS<N-1>.")),
         "N", "3"},
        {"device",
         Tr(QT_TRANSLATE_NOOP("orvanta-ctl",
                              "Dispositivo serial a usar em vez de um número de porta.")),
         "PATH"},
        {"trace", Tr(QT_TRANSLATE_NOOP("orvanta-ctl",
                                       "Mostra na saída de erro os quadros "
                                       "enviados e os bytes recebidos."))},
        {"calibration-timeout",
         Tr(QT_TRANSLATE_NOOP("orvanta-ctl",
                              "Tempo de espera da resposta de cada quadro de calibração.")),
         "MS", "4000"},
        OpcaoIdioma(),
    });
    parser.addPositionalArgument(
        "command", Tr(QT_TRANSLATE_NOOP("orvanta-ctl",
                                        "speed, incline, stop, calibrate-speed, "
                                        "calibrate-incline, poll, ports, map, protocols, show, "
                                        "run, report, hr-decode, hr-scan ou hr (veja acima).")));
    parser.process(arguments);
    try {
        TConnection connection;
        connection.port = RequireInteger(parser.value("port"), "--port");
        connection.device = parser.value("device");
        const int timeout =
            RequireInteger(parser.value("calibration-timeout"), "--calibration-timeout");
        if (connection.port < 1 || timeout < 1)
            throw TUsageError(QCoreApplication::translate(
                "orvanta-ctl", "--port e --calibration-timeout devem ser positivos"));
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
