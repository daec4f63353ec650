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
// (empty string) unless the environment or the settings name one.
KESTROVA_COMM_EXPORT std::string PortDeviceName(unsigned port);
KESTROVA_COMM_EXPORT TPortNameSource PortDeviceSource(unsigned port);

// The same rule with the saved device given (empty: none).
KESTROVA_COMM_EXPORT std::string PortDeviceName(unsigned port, const std::string &saved);
KESTROVA_COMM_EXPORT TPortNameSource PortDeviceSource(unsigned port, const std::string &saved);

// Where the one-argument forms find the saved device. This file stays free of Qt (the Windows
// backend builds without it); portsettings.cpp installs the reader of the shared settings when
// the library loads. Without one, nothing is saved.
using TSavedPortLookup = std::string (*)(unsigned port);
KESTROVA_COMM_EXPORT void SetSavedPortLookup(TSavedPortLookup lookup);

}  // namespace kestrova::comm
