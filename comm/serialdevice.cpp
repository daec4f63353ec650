#include "serialdevice.h"

namespace kestrova::comm {

TSerialDevice::~TSerialDevice() = default;

void TSerialDevice::DiscardInput() noexcept
{
    NextInputGeneration();
    Purge();
}

std::string TSerialDevice::ReadErrorDetail(std::uint32_t) const
{
    return {};
}

std::uint64_t WriteWaitLimitMs(std::uint32_t count, std::uint32_t baud)
{
    constexpr std::uint64_t kScale = 28'800'000;
    const std::uint64_t divisor = baud == 0 ? 1 : baud;
    // At most 2^32 x 28,800,000, well inside 64 bits.
    return static_cast<std::uint64_t>(count) * kScale / divisor;
}

}  // namespace kestrova::comm
