#pragma once

// The timer service on Windows: winmm multimedia timers (timeSetEvent with TIME_PERIODIC and
// TIME_KILL_SYNCHRONOUS), the resolution request (timeBeginPeriod / timeEndPeriod) and the
// device capabilities (timeGetDevCaps).
//
// winmm runs every timer's callbacks on one shared thread, so a slow tick of one timer would delay
// the others and make stopping them wait for it. Each event therefore has a thread of its own: the
// multimedia timer only sets that event's tick signal (TIME_CALLBACK_EVENT_SET), and the thread
// runs the tick. Periods that pass while a tick runs are folded into one tick, as on Linux.

#include <cstdint>
#include <memory>

#include "components/vtxtimerservice.h"
#include "kestrova_components_export.h"

namespace kestrova::components {

struct TWinTimerTable;

class KESTROVA_COMPONENTS_EXPORT TWinTimerService : public TTimerService {
public:
    TWinTimerService();
    ~TWinTimerService() override;

    bool GetDevCaps(TTimerCaps &caps) override;
    bool BeginPeriod(std::uint32_t resolution) override;
    bool EndPeriod(std::uint32_t resolution) override;
    std::uint32_t SetEvent(std::uint32_t periodMs, std::uint32_t resolution, TTick tick) override;
    bool KillEvent(std::uint32_t id) override;

private:
    // The running events and their lock (an SRW lock: the mingw runtime may lack std::mutex).
    std::unique_ptr<TWinTimerTable> FTable;
};

}  // namespace kestrova::components
