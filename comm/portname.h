#pragma once

#include <string>

#include "kestrova_comm_export.h"

namespace kestrova::comm {

// Where the device of a port number comes from, first match wins.
enum class TPortNameSource {
    environment,  // KESTROVA_COM<n>, set and not empty: scripts and tests override the settings
    settings,     // the device saved for the port in the shared settings (portsettings.h)
    standard,     // /dev/ttyS<n-1> on POSIX systems, \\.\COM<n> on Windows
};

// The device a port number stands for, by the order of TPortNameSource. Port 0 names no device
// (empty string) unless the environment or the settings name one. These two read the settings
// (defined in portsettings.cpp, which uses Qt).
KESTROVA_COMM_EXPORT std::string PortDeviceName(unsigned port);
KESTROVA_COMM_EXPORT TPortNameSource PortDeviceSource(unsigned port);

// The same rule with the saved device given (empty: none); free of Qt.
KESTROVA_COMM_EXPORT std::string PortDeviceName(unsigned port, const std::string &saved);
KESTROVA_COMM_EXPORT TPortNameSource PortDeviceSource(unsigned port, const std::string &saved);

}  // namespace kestrova::comm
