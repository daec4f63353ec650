#include "portcommands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "comm/openfailure.h"
#include "comm/portlisting.h"
#include "comm/portname.h"
#include "comm/portsettings.h"
#include "device/orvanta.h"

namespace {

using namespace kestrova::comm;

constexpr int kOk = 0;
constexpr int kUsage = 2;
constexpr int kSettingsFailure = 1;

void Out(const QString &text)
{
    std::printf("%s\n", qUtf8Printable(text));
}

void Err(const QString &text)
{
    std::fprintf(stderr, "orvanta-ctl: %s\n", qUtf8Printable(text));
}

QString Marks(const TSerialPortEntry &entry)
{
    QStringList marks;
    for (unsigned port : entry.mappedPorts)
        marks << QStringLiteral("COM%1").arg(port);
    if (entry.inUse)
        marks << QCoreApplication::translate("orvanta-ctl", "em uso");
    return marks.join(QStringLiteral(", "));
}

int ListPorts()
{
    const QList<TSerialPortEntry> entries = ListSerialPorts();
    if (entries.isEmpty())
        Out(QCoreApplication::translate("orvanta-ctl", "nenhuma porta serial encontrada"));
    for (const TSerialPortEntry &entry : entries) {
        QStringList fields{entry.device};
        for (const QString &field : {entry.description, entry.manufacturer, entry.serialNumber,
                                     UsbIds(entry), Marks(entry)}) {
            if (!field.isEmpty())
                fields << field;
        }
        Out(fields.join(QStringLiteral("  |  ")));
        if (entry.stableName != entry.device)
            Out(QCoreApplication::translate("orvanta-ctl", "    nome estável: %1")
                    .arg(entry.stableName));
    }
    return kOk;
}

int MapPort(const QStringList &words)
{
    bool ok = false;
    const unsigned port = words.value(1).toUInt(&ok);
    if (words.size() != 3 || !ok || port < 1) {
        Err(QCoreApplication::translate(
            "orvanta-ctl",
            "map recebe um número de porta a partir de 1 e um dispositivo (ou - para "
            "remover)"));
        return kUsage;
    }
    const QString before = QString::fromStdString(PortDeviceName(port));
    QString device = words.at(2);
    if (device == QLatin1String("-")) {
        device.clear();
    } else {
        if (!QFileInfo::exists(device))
            Err(QCoreApplication::translate("orvanta-ctl", "aviso: %1 não existe (ainda)")
                    .arg(device));
        device = StableDeviceName(QFileInfo(device).absoluteFilePath());
    }
    if (!SetMappedPortDevice(port, device)) {
        Err(QCoreApplication::translate("orvanta-ctl", "não foi possível gravar as configurações"));
        return kSettingsFailure;
    }
    Out(QCoreApplication::translate("orvanta-ctl", "COM%1 = %2 (antes %3)")
            .arg(port)
            .arg(QString::fromStdString(PortDeviceName(port)), before));
    if (PortDeviceSource(port) == TPortNameSource::environment)
        Err(QCoreApplication::translate(
                "orvanta-ctl",
                "aviso: KESTROVA_COM%1 está definida e prevalece sobre este mapeamento")
                .arg(port));
    return kOk;
}

}  // namespace

std::optional<int> RunPortCommand(const QStringList &words)
{
    const QString command = words.value(0);
    if (command == QLatin1String("ports")) {
        if (words.size() != 1) {
            Err(QCoreApplication::translate("orvanta-ctl", "%1 não recebe argumentos")
                    .arg(command));
            return kUsage;
        }
        return ListPorts();
    }
    if (command == QLatin1String("map"))
        return MapPort(words);
    return std::nullopt;
}

QString OpenFailureDetailsOf(const TOrvanta &board)
{
    const TAdvancedCom *port = board.Porta();
    return port ? OpenFailureDetails(port->DeviceName(), port->OpenErrorCode()) : QString();
}

bool DeviceLost(const TOrvanta &board)
{
    const TAdvancedCom *port = board.Porta();
    return port && port->IsOpen() && !port->ReaderRunning();
}
