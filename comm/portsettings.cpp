#include "portsettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "portname.h"

namespace kestrova::comm {

namespace {

// A fixed name, not the program's: every Kestrova program reads the same mapping.
QSettings SharedSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrova"),
                     QStringLiteral("Kestrova"));
}

QString Key(unsigned port)
{
    return QStringLiteral("Portas/COM%1").arg(port);
}

std::string SavedDevice(unsigned port)
{
    return MappedPortDevice(port).toLocal8Bit().toStdString();
}

// Port numbers find the saved device from the moment the library is loaded.
const bool kLookupInstalled = (SetSavedPortLookup(&SavedDevice), true);

}  // namespace

QString MappedPortDevice(unsigned port)
{
    return SharedSettings().value(Key(port)).toString();
}

bool SetMappedPortDevice(unsigned port, const QString &device)
{
    QSettings settings = SharedSettings();
    if (device.isEmpty())
        settings.remove(Key(port));
    else
        settings.setValue(Key(port), device);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString StableDeviceName(const QString &device, const QString &byIdDirectory)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return device;
    const QDir directory(byIdDirectory);
    const QFileInfoList links =
        directory.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &link : links) {
        if (link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
    return device;
}

}  // namespace kestrova::comm
