#pragma once

// The operating-system side of TVtxTimer, free of Qt so that the Windows backend builds with
// nothing but the Windows API. The Linux backend (timerfd on a thread per event) and the Windows
// backend (winmm multimedia timers) implement it; tests may use either directly or substitute
// their own.

#include <cstdint>
#include <functional>
#include <memory>

#include "kestrova_components_export.h"

namespace kestrova::components {

// Capabilities of the timer service: the shortest and longest supported period, in ms.
struct TTimerCaps {
    std::uint32_t periodMin = 0;
    std::uint32_t periodMax = 0;
};

class KESTROVA_COMPONENTS_EXPORT TTimerService {
public:
    using TTick = std::function<void()>;

    virtual ~TTimerService();

    // Fills caps; false when the service cannot report them.
    virtual bool GetDevCaps(TTimerCaps &caps) = 0;
    // Requests (and gives back) a timer resolution in ms; false on failure.
    virtual bool BeginPeriod(std::uint32_t resolution) = 0;
    virtual bool EndPeriod(std::uint32_t resolution) = 0;
    // Starts a periodic event calling tick every periodMs ms, on a thread other than the caller's,
    // first one period from now. Returns the event's id, or 0 when it could not start.
    virtual std::uint32_t SetEvent(std::uint32_t periodMs, std::uint32_t resolution,
                                   TTick tick) = 0;
    // Stops an event: no tick starts after this returns. When called from another thread it also
    // waits for a tick in progress to return, so ticks should return promptly once their owner
    // has closed its gate (TVtxTimer waits for its user handler itself, pumping events). When
    // called from inside the event's own tick it returns at once and the event's resources are
    // released after that tick returns. False for an unknown id.
    virtual bool KillEvent(std::uint32_t id) = 0;
};

// The service of this platform: winmm on Windows, timerfd threads elsewhere. realtime asks for
// real-time timer threads where that is a choice (Linux, see TLinuxTimerService); keep it for
// short handlers that never block for long or spin.
KESTROVA_COMPONENTS_EXPORT std::unique_ptr<TTimerService> CreatePlatformTimerService(
    bool realtime = false);

}  // namespace kestrova::components
