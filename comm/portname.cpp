#include "portname.h"

#include <atomic>
#include <cstdlib>

namespace kestrova::comm {

namespace {

std::atomic<TSavedPortLookup> gSavedPortLookup{nullptr};

std::string Saved(unsigned port)
{
    const TSavedPortLookup lookup = gSavedPortLookup.load();
    return lookup ? lookup(port) : std::string();
}

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

void SetSavedPortLookup(TSavedPortLookup lookup)
{
    gSavedPortLookup = lookup;
}

std::string PortDeviceName(unsigned port)
{
    return PortDeviceName(port, EnvironmentName(port) ? std::string() : Saved(port));
}

TPortNameSource PortDeviceSource(unsigned port)
{
    return PortDeviceSource(port, EnvironmentName(port) ? std::string() : Saved(port));
}

}  // namespace kestrova::comm
