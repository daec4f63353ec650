#include "portname.h"

#include <cstdlib>

namespace kestrova::comm {

namespace {

const char *EnvironmentName(unsigned port)
{
    const std::string variable = "KESTROVA_COM" + std::to_string(port);
    const char *named = std::getenv(variable.c_str());
    return named && *named ? named : nullptr;
}

}  // namespace

TPortNameSource PortDeviceSource(unsigned port, const std::string &saved)
{
    if (EnvironmentName(port)) {
        return TPortNameSource::environment;
    }
    return saved.empty() ? TPortNameSource::standard : TPortNameSource::settings;
}

std::string PortDeviceName(unsigned port, const std::string &saved)
{
    if (const char *named = EnvironmentName(port)) {
        return named;
    }
    if (!saved.empty()) {
        return saved;
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
