#pragma once

#include <string>

#include "kestrova_comm_export.h"

namespace kestrova::comm {

// The device a port number stands for. The environment variable KESTROVA_COM<n> names it when
// set and not empty; otherwise port n is /dev/ttyS<n-1> on POSIX systems and \\.\COM<n> on
// Windows. Port 0 names no device (empty string).
KESTROVA_COMM_EXPORT std::string PortDeviceName(unsigned port);

}  // namespace kestrova::comm
