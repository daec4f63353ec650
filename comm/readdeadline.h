#pragma once

#include <cstdint>

#include "kestrova_comm_export.h"
#include "serialdevice.h"

namespace kestrova::comm {

// Where a read stands: bytes asked for and received so far, milliseconds since the read started
// and since the last byte arrived.
struct TReadProgress {
    std::uint32_t requested = 0;
    std::uint32_t received = 0;
    std::int64_t sinceStartMs = 0;
    std::int64_t sinceLastByteMs = 0;
};

inline constexpr std::int64_t kWaitWithoutLimit = -1;

// How much longer a read may wait for more bytes under Windows-style read time-outs: 0 when the
// read is complete, kWaitWithoutLimit when nothing bounds it, otherwise the milliseconds left.
//  - complete when every requested byte arrived;
//  - interval 0xFFFFFFFF with both totals 0 means "return at once with what is there";
//  - total limit = multiplier x requested + constant, counted from the start (0 = none);
//  - interval limit counted from the last byte, active once a byte arrived (0 = none).
KESTROVA_COMM_EXPORT std::int64_t ReadWaitMs(const TReadTimeouts &timeouts,
                                             const TReadProgress &progress);

}  // namespace kestrova::comm
