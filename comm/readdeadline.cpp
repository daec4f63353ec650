#include "readdeadline.h"

#include <algorithm>
#include <limits>

namespace kestrova::comm {

namespace {

constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;

std::int64_t Remaining(std::int64_t limit, std::int64_t elapsed)
{
    return std::max<std::int64_t>(limit - elapsed, 0);
}

}  // namespace

std::int64_t ReadWaitMs(const TReadTimeouts &timeouts, const TReadProgress &progress)
{
    if (progress.received >= progress.requested) {
        return 0;
    }
    if (timeouts.interval == kMaxDword && timeouts.totalMultiplier == 0 &&
        timeouts.totalConstant == 0) {
        return 0;
    }
    std::int64_t wait = kWaitWithoutLimit;
    const std::uint64_t product = std::uint64_t{timeouts.totalMultiplier} * progress.requested +
                                  timeouts.totalConstant;  // at most 2^64 - 2^32: no wrap
    const std::int64_t total =
        std::int64_t(std::min<std::uint64_t>(product, std::numeric_limits<std::int64_t>::max()));
    if (total > 0) {
        wait = Remaining(total, progress.sinceStartMs);
    }
    if (timeouts.interval > 0 && progress.received > 0) {
        const std::int64_t gap = Remaining(timeouts.interval, progress.sinceLastByteMs);
        wait = wait == kWaitWithoutLimit ? gap : std::min(wait, gap);
    }
    return wait;
}

}  // namespace kestrova::comm
