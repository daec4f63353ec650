#include "portname.h"

#include <cstdlib>

namespace kestrova::comm {

std::string PortDeviceName(unsigned port)
{
    const std::string variable = "KESTROVA_COM" + std::to_string(port);
    if (const char *named = std::getenv(variable.c_str()); named && *named) {
        return named;
    }
    if (port == 0) {
        return {};
    }
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(port);
#else
    return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

}  // namespace kestrova::comm
