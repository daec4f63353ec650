#ifdef _WIN32

#include "wincommio_win.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace kestrova::comm {

TWinCommIo::~TWinCommIo() = default;

bool TWinCommIo::GetModemStatus(THandle port, std::uint32_t &status)
{
    DWORD bits = 0;
    if (!GetCommModemStatus(port, &bits)) {
        return false;
    }
    status = bits;
    return true;
}

bool TWinCommIo::EscapeFunction(THandle port, std::uint32_t function)
{
    return EscapeCommFunction(port, function) != FALSE;
}

bool TWinCommIo::Purge(THandle port, std::uint32_t flags)
{
    return PurgeComm(port, flags) != FALSE;
}

bool TWinCommIo::OutputQueued(THandle port, std::uint32_t &bytes)
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(port, &errors, &status)) {
        return false;
    }
    bytes = status.cbOutQue;
    return true;
}

std::shared_ptr<TWinCommIo> TWinCommIo::System()
{
    static const auto system = std::make_shared<TWinCommIo>();
    return system;
}

}  // namespace kestrova::comm

#endif  // _WIN32
