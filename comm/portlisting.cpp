#include "portlisting.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

#include "portname.h"
#include "portsettings.h"

namespace kestrova::comm {

namespace {

QString Canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

bool LockFileNames(const QString &device)
{
    const QString name = QStringLiteral("LCK..") + QFileInfo(Canonical(device)).fileName();
    for (const char *directory : {"/var/lock", "/run/lock"}) {
        if (QFileInfo::exists(QString::fromLatin1(directory) + u'/' + name))
            return true;
    }
    return false;
}

TSerialPortEntry EntryOf(const QSerialPortInfo &info)
{
    TSerialPortEntry entry;
    entry.device = info.systemLocation();
    entry.description = info.description();
    entry.manufacturer = info.manufacturer();
    entry.serialNumber = info.serialNumber();
    if (info.hasVendorIdentifier())
        entry.vendorId = info.vendorIdentifier();
    if (info.hasProductIdentifier())
        entry.productId = info.productIdentifier();
    return entry;
}

// The port numbers whose device resolves to the same file as device.
QList<unsigned> PortsMappedTo(const QString &device)
{
    QList<unsigned> ports;
    const QString target = Canonical(device);
    for (unsigned port = 1; port <= kMappedPorts; ++port) {
        const QString mapped = QString::fromStdString(PortDeviceName(port));
        if (!target.isEmpty() && Canonical(mapped) == target)
            ports << port;
    }
    return ports;
}

}  // namespace

bool DeviceInUse(const QString &device)
{
    const QString target = Canonical(device);
    if (target.isEmpty())
        return false;
    if (LockFileNames(device))
        return true;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!pid.front().isDigit())
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QFileInfo &fd :
             fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (fd.symLinkTarget() == target)
                return true;
        }
    }
    return false;
}

QString UsbIds(const TSerialPortEntry &entry)
{
    if (entry.vendorId < 0 || entry.productId < 0)
        return QString();
    return QStringLiteral("USB %1:%2")
        .arg(entry.vendorId, 4, 16, QLatin1Char('0'))
        .arg(entry.productId, 4, 16, QLatin1Char('0'));
}

QList<TSerialPortEntry> ListSerialPorts()
{
    QList<TSerialPortEntry> entries;
    QStringList seen;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        entries << EntryOf(info);
        seen << Canonical(info.systemLocation());
    }
    for (unsigned port = 1; port <= kMappedPorts; ++port) {
        const QString mapped = QString::fromStdString(PortDeviceName(port));
        const QString target = Canonical(mapped);
        if (target.isEmpty() || seen.contains(target))
            continue;
        TSerialPortEntry entry;
        entry.device = mapped;
        entries << entry;
        seen << target;
    }
    for (TSerialPortEntry &entry : entries) {
        entry.stableName = StableDeviceName(entry.device);
        entry.inUse = DeviceInUse(entry.device);
        entry.mappedPorts = PortsMappedTo(entry.device);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto &a, const auto &b) { return a.device < b.device; });
    return entries;
}

}  // namespace kestrova::comm
