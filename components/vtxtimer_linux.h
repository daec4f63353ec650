#pragma once

// The timer service on Linux: one thread per running event, waiting on a timerfd armed with
// absolute CLOCK_MONOTONIC deadlines (so periods do not drift) and on an eventfd that stops it.
// When a tick overruns one or more periods, the missed expirations are folded into one tick and
// the schedule stays on its original grid (start + k x period).

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "components/vtxtimerservice.h"
#include "kestrova_components_export.h"

namespace kestrova::components {

class TTimerWorker;

class KESTROVA_COMPONENTS_EXPORT TLinuxTimerService : public TTimerService {
public:
    // The range reported by GetDevCaps, as the multimedia timer reports it.
    static constexpr std::uint32_t kPeriodMin = 1;
    static constexpr std::uint32_t kPeriodMax = 1000000;

    // realtime (opt-in): run each event's thread at the lowest SCHED_FIFO priority when the
    // process may, so ticks are not late behind ordinary threads; without the permission the
    // threads stay at normal priority. Only for short handlers that never spin: a handler that
    // runs longer than its period then keeps a CPU from every ordinary thread (the GUI included),
    // and threads it starts inherit the real-time class. By default the threads run at normal
    // priority.
    explicit TLinuxTimerService(bool realtime = false);
    ~TLinuxTimerService() override;

    bool GetDevCaps(TTimerCaps &caps) override;
    bool BeginPeriod(std::uint32_t resolution) override;
    bool EndPeriod(std::uint32_t resolution) override;
    std::uint32_t SetEvent(std::uint32_t periodMs, std::uint32_t resolution, TTick tick) override;
    bool KillEvent(std::uint32_t id) override;

private:
    std::mutex FMutex;
    std::map<std::uint32_t, std::shared_ptr<TTimerWorker>> FWorkers;
    std::uint32_t FNextId = 1;
    bool FRealtime;
};

}  // namespace kestrova::components
