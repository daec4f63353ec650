#pragma once

#include <QList>
#include <QString>

#include "kestrova_comm_export.h"

namespace kestrova::comm {

// One serial device found on the system, with what the mapping of port numbers says of it.
struct TSerialPortEntry {
    QString device;       // /dev/ttyUSB0
    QString stableName;   // /dev/serial/by-id/... when it exists, else device
    QString description;  // as the driver reports them; empty when unknown
    QString manufacturer;
    QString serialNumber;
    int vendorId = -1;  // USB ids, -1 when not a USB device
    int productId = -1;
    bool inUse = false;           // another open of it is known (see DeviceInUse)
    QList<unsigned> mappedPorts;  // port numbers 1..kMappedPorts that name this device
};

inline constexpr unsigned kMappedPorts = 8;

// The serial ports the system reports (QSerialPortInfo), sorted by device, plus the devices
// that a port number maps to and that exist without being reported (pseudo-terminals, links).
KESTROVA_COMM_EXPORT QList<TSerialPortEntry> ListSerialPorts();

// True when some process holds the device open (its /proc/<pid>/fd entries that this user may
// read, this process included) or a UUCP lock file names it. Opening the device to find out
// would toggle its modem lines, so it is never opened.
KESTROVA_COMM_EXPORT bool DeviceInUse(const QString &device);

// "USB 0403:6001" for a USB entry, else empty.
KESTROVA_COMM_EXPORT QString UsbIds(const TSerialPortEntry &entry);

}  // namespace kestrova::comm
