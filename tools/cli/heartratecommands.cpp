#include "tools/cli/heartratecommands.h"

#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "heartrate/decodificadormedicao.h"
#include "heartrate/falhabluetooth.h"
#include "heartrate/preferenciacinta.h"
#include "heartrate/vigiasinal.h"
#include "platform/trace.h"
#include "tools/cli/protocoloptions.h"
#ifdef KESTROVA_HEARTRATE_BLUETOOTH
#include "heartrate/fontebluetooth.h"
#include "heartrate/procuracintas.h"
#endif

namespace heartratecli {

namespace {

using protocolcli::PrintError;
using protocolcli::PrintLine;
using protocolcli::TUsageError;

int Fail(int status, const QString &text)
{
    PrintError(text);
    return status;
}

int Decode(const QStringList &words)
{
    if (words.size() < 2)
        return Fail(2, QCoreApplication::translate(
                           "orvanta-ctl", "hr-decode precisa dos bytes da notificação em hex"));
    QString motivo;
    const std::optional<QByteArray> bytes =
        TDecodificadorMedicao::LerHex(words.mid(1).join(QLatin1Char(' ')), &motivo);
    if (!bytes)
        return Fail(2, QStringLiteral("hr-decode: ") + motivo);
    const std::optional<TLeituraCardiaca> leitura =
        TDecodificadorMedicao::Interpretar(*bytes, &motivo);
    if (!leitura)
        return Fail(
            1, QCoreApplication::translate("orvanta-ctl", "notificação recusada: %1").arg(motivo));
    PrintLine(TDecodificadorMedicao::Descrever(*leitura));
    return 0;
}

void Parse(QCommandLineParser &parser, const QString &command, const QStringList &arguments,
           const QList<QCommandLineOption> &options)
{
    parser.addOptions(options);
    if (!parser.parse(QStringList{command} + arguments))
        throw TUsageError(QStringLiteral("%1: %2").arg(command, parser.errorText()));
    if (!parser.positionalArguments().isEmpty())
        throw TUsageError(
            QCoreApplication::translate("orvanta-ctl", "%1: argumento inesperado \"%2\"")
                .arg(command, parser.positionalArguments().first()));
}

int Seconds(const QCommandLineParser &parser, const QString &command)
{
    bool ok = false;
    const int seconds = parser.value(QStringLiteral("seconds")).toInt(&ok);
    if (!ok || seconds < 1 || seconds > 86400)
        throw TUsageError(QCoreApplication::translate("orvanta-ctl",
                                                      "%1: --seconds recebe um número inteiro de 1 "
                                                      "a 86400, não \"%2\"")
                              .arg(command, parser.value(QStringLiteral("seconds"))));
    return seconds;
}

#ifdef KESTROVA_HEARTRATE_BLUETOOTH

QtMessageHandler gQtHandler = nullptr;

// Qt Bluetooth warns on standard error about what these commands say in one line of their own
// (no BlueZ, no adapter); its warnings go to the trace instead.
void BluetoothToTrace(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const char *category = context.category ? context.category : "";
    const bool bluetooth = std::strncmp(category, "qt.bluetooth", 12) == 0 ||
                           (std::strcmp(category, "default") == 0 &&
                            message.contains(QLatin1String("Bluez"), Qt::CaseInsensitive));
    if (bluetooth && type != QtFatalMsg)
        Trace(QStringLiteral("Qt Bluetooth: ") + message);
    else
        gQtHandler(type, context, message);
}

void QuietBluetoothWarnings()
{
    gQtHandler = qInstallMessageHandler(BluetoothToTrace);
}

int Scan(int seconds)
{
    QuietBluetoothWarnings();
    TProcuraCintas search;
    QEventLoop loop;
    std::optional<TFalhaBluetooth> failure;
    bool done = false;
    QObject::connect(&search, &TProcuraCintas::Falhou, [&](TFalhaBluetooth f) { failure = f; });
    QObject::connect(&search, &TProcuraCintas::Concluida, [&] {
        done = true;
        loop.quit();
    });
    // Bounded even if the adapter never says the search ended.
    QTimer::singleShot((seconds + 5) * 1000, &search, &TProcuraCintas::Parar);
    search.Iniciar(seconds * 1000);
    if (!done) {
        if (::isatty(STDERR_FILENO))
            PrintError(QCoreApplication::translate("orvanta-ctl", "procurando cintas por %1 s...")
                           .arg(seconds));
        loop.exec();
    }
    if (failure)
        return Fail(1, TextoFalhaBluetooth(*failure));
    QList<TCintaEncontrada> straps = search.Encontradas();
    if (straps.isEmpty())
        return Fail(1, QCoreApplication::translate("orvanta-ctl",
                                                   "nenhuma cinta encontrada em %1 s (vista a "
                                                   "cinta para acordá-la e procure de novo)")
                           .arg(seconds));
    // The strongest first: the strap being worn beside the computer, not a neighbour's. An RSSI
    // of 0 is unknown.
    std::stable_sort(straps.begin(), straps.end(),
                     [](const TCintaEncontrada &a, const TCintaEncontrada &b) {
                         return (a.rssiDbm ? a.rssiDbm : -1000) > (b.rssiDbm ? b.rssiDbm : -1000);
                     });
    for (const TCintaEncontrada &strap : straps)
        PrintLine(QStringLiteral("%1  %2  %3 dBm")
                      .arg(strap.nome.isEmpty()
                               ? QCoreApplication::translate("orvanta-ctl", "(sem nome)")
                               : strap.nome,
                           -24)
                      .arg(strap.endereco)
                      .arg(strap.rssiDbm));
    return 0;
}

int Read(const QString &address, const QString &name, int seconds, bool trace)
{
    QuietBluetoothWarnings();
    TFonteBluetooth strap(address, name, std::make_shared<TRelogioMonotonico>());
    strap.RelogioSessao().Ancorar(0);
    TVigiaSinal signalWatch;
    QEventLoop loop;
    int readings = 0;
    std::optional<TFalhaBluetooth> failure;
    auto at = [](qint64 ms) { return QStringLiteral("%1 s  ").arg(ms / 1000.0, 5, 'f', 1); };
    auto now = [&] { return strap.RelogioSessao().AgoraMs(); };
    auto sayChange = [&] {
        if (const QString change = signalWatch.Mudanca(now()); !change.isEmpty())
            PrintLine(at(now()) + change);
    };
    // The bytes as hr-decode reads them back.
    QObject::connect(&strap, &TFonteBluetooth::Notificacao, [&](const QByteArray &bytes) {
        if (trace)
            PrintLine(at(now()) + QCoreApplication::translate("orvanta-ctl", "notificação %1")
                                      .arg(QString::fromLatin1(bytes.toHex(' ').toUpper())));
    });
    QObject::connect(&strap, &TFonteCardiaca::Leitura, [&](const TLeituraCardiaca &leitura) {
        ++readings;
        signalWatch.Registrar(leitura);
        sayChange();
        PrintLine(at(leitura.tempoMs) + TDecodificadorMedicao::Descrever(leitura));
    });
    QObject::connect(&strap, &TFonteCardiaca::Situacao,
                     [&](const QString &text) { PrintLine(at(now()) + text); });
    QObject::connect(&strap, &TFonteBluetooth::Falhou, [&](TFalhaBluetooth f) {
        failure = f;
        strap.Parar();
        loop.quit();
    });
    QTimer changes;
    QObject::connect(&changes, &QTimer::timeout, sayChange);
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    strap.Iniciar();
    if (!failure) {
        PrintLine(at(now()) +
                  QCoreApplication::translate("orvanta-ctl", "procurando a cinta %1 (%2) por %3 s")
                      .arg(strap.Nome(), strap.Endereco())
                      .arg(seconds));
        changes.start(250);
        loop.exec();
    }
    strap.Parar();
    if (failure)
        return Fail(1, TextoFalhaBluetooth(*failure));
    PrintLine(
        QCoreApplication::translate("orvanta-ctl", "%1 leituras em %2 s, %3 notificações recusadas")
            .arg(readings)
            .arg(seconds)
            .arg(strap.Decodificador().Recusadas()));
    if (readings == 0)
        return Fail(
            1, QCoreApplication::translate("orvanta-ctl", "nenhuma leitura da cinta %1 em %2 s")
                   .arg(strap.Nome())
                   .arg(seconds));
    return 0;
}

#endif

int ScanCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    Parse(parser, QStringLiteral("hr-scan"), arguments, {{"seconds", "Search time.", "N", "10"}});
    [[maybe_unused]] const int seconds = Seconds(parser, QStringLiteral("hr-scan"));
#ifdef KESTROVA_HEARTRATE_BLUETOOTH
    return Scan(seconds);
#else
    return Fail(1, TextoFalhaBluetooth(TFalhaBluetooth::NaoCompilado));
#endif
}

int ReadCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    Parse(parser, QStringLiteral("hr"), arguments,
          {{"sensor", "Strap address.", "ADDRESS"},
           {"seconds", "Reading time.", "N"},
           {"trace", "Print every notification's bytes."}});
    if (!parser.isSet(QStringLiteral("seconds")))
        throw TUsageError(QCoreApplication::translate("orvanta-ctl", "hr precisa de --seconds N"));
    [[maybe_unused]] const int seconds = Seconds(parser, QStringLiteral("hr"));
    QString address = parser.value(QStringLiteral("sensor")).trimmed();
    QString name;
    if (!parser.isSet(QStringLiteral("sensor"))) {
        const TPreferenciaCinta chosen = TPreferenciaCinta::Carregar();
        if (chosen.tipo != TPreferenciaCinta::TTipo::Bluetooth)
            throw TUsageError(
                QCoreApplication::translate("orvanta-ctl",
                                            "hr: nenhuma cinta Bluetooth dada nem lembrada: "
                                            "--sensor ADDRESS (veja hr-scan), ou escolha a cinta "
                                            "no orvanta-teste"));
        address = chosen.endereco;
        name = chosen.nome;
    }
#ifdef KESTROVA_HEARTRATE_BLUETOOTH
    if (!TFonteBluetooth::EnderecoValido(address))
        throw TUsageError(
            QCoreApplication::translate(
                "orvanta-ctl",
                "hr: não é um endereço Bluetooth: \"%1\" (AA:BB:CC:DD:EE:FF, veja hr-scan)")
                .arg(address));
    // orvanta-ctl --trace hr ... asks for the bytes too.
    const bool trace = parser.isSet(QStringLiteral("trace")) || lcKestrovaTrace().isDebugEnabled();
    EnableTrace(trace);  // the decoder's refusals, with their reasons
    return Read(address, name, seconds, trace);
#else
    return Fail(1, TextoFalhaBluetooth(TFalhaBluetooth::NaoCompilado));
#endif
}

}  // namespace

std::optional<int> RunHeartRateCommand(const QStringList &words)
{
    const QString command = words.value(0);
    try {
        if (command == QLatin1String("hr-decode"))
            return Decode(words);
        if (command == QLatin1String("hr-scan"))
            return ScanCommand(words.mid(1));
        if (command == QLatin1String("hr"))
            return ReadCommand(words.mid(1));
    } catch (const TUsageError &error) {
        return Fail(2, error.Message());
    }
    return std::nullopt;
}

}  // namespace heartratecli
