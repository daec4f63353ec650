#pragma once

#include <QString>

#include "kestrova_comm_export.h"

// The port mapping kept in the settings shared by the Kestrova programs (the controller window,
// the console and orvanta-ctl): port n -> the device chosen for it. The file is
// Kestrova/Kestrova.ini in the user's configuration directory ($XDG_CONFIG_HOME, ~/.config).
namespace kestrova::comm {

// The device stored for the port, or an empty string.
KESTROVA_COMM_EXPORT QString MappedPortDevice(unsigned port);
// Stores the device for the port; an empty device removes the mapping. False when the settings
// could not be written.
KESTROVA_COMM_EXPORT bool SetMappedPortDevice(unsigned port, const QString &device);

// The name of the device that survives re-plugging: the link in byIdDirectory that resolves to
// the same device (a USB adapter's /dev/serial/by-id/usb-<maker>_<model>_<serial>-if00-port0),
// else the device as given.
KESTROVA_COMM_EXPORT QString StableDeviceName(
    const QString &device, const QString &byIdDirectory = QStringLiteral("/dev/serial/by-id"));

}  // namespace kestrova::comm
