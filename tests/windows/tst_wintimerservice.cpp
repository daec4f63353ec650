// The Windows timer service (winmm multimedia timers) under Wine: period, drift, stopping while a
// tick runs, stopping from inside a tick, destroying, and timers that do not wait on each other.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/vtxtimer_win.h"
#include "testharness.h"

using namespace kestrova::components;

namespace {

// The times of an event's ticks and the threads they ran on.
class TTickLog {
public:
    TTickLog() { InitializeSRWLock(&FLock); }

    void Add()
    {
        AcquireSRWLockExclusive(&FLock);
        FTimes.push_back(TTestHarness::NowMs());
        FThreads.push_back(GetCurrentThreadId());
        ReleaseSRWLockExclusive(&FLock);
    }
    std::vector<std::int64_t> Times()
    {
        AcquireSRWLockShared(&FLock);
        std::vector<std::int64_t> copy = FTimes;
        ReleaseSRWLockShared(&FLock);
        return copy;
    }
    std::vector<DWORD> Threads()
    {
        AcquireSRWLockShared(&FLock);
        std::vector<DWORD> copy = FThreads;
        ReleaseSRWLockShared(&FLock);
        return copy;
    }
    std::size_t Count() { return Times().size(); }

private:
    SRWLOCK FLock;
    std::vector<std::int64_t> FTimes;
    std::vector<DWORD> FThreads;
};

std::string Ms(std::int64_t value)
{
    return std::to_string(value) + " ms";
}

KTEST(capabilitiesAndResolution)
{
    TWinTimerService service;
    TTimerCaps caps;
    REQUIRE(service.GetDevCaps(caps));
    CHECK(caps.periodMin >= 1 && caps.periodMin <= caps.periodMax);
    CHECK(service.BeginPeriod(caps.periodMin));
    CHECK(service.EndPeriod(caps.periodMin));
    CHECK(service.SetEvent(0, 1, [] {}) == 0);
    CHECK(!service.KillEvent(12345));
}

// Ticks come every period, on a thread that is not the caller's, and keep to the grid
// start + k x period: the last of 40 ticks are not late by the sum of small delays.
KTEST(periodWithoutDrift)
{
    constexpr std::int64_t kPeriod = 25;
    constexpr std::size_t kTicks = 40;
    TWinTimerService service;
    TTickLog log;
    service.BeginPeriod(1);
    const std::int64_t start = TTestHarness::NowMs();
    const std::uint32_t id = service.SetEvent(kPeriod, 1, [&] { log.Add(); });
    REQUIRE(id != 0);
    CHECK(TTestHarness::WaitFor([&] { return log.Count() >= kTicks; }, 10000));
    CHECK(service.KillEvent(id));
    service.EndPeriod(1);
    const std::vector<std::int64_t> times = log.Times();
    REQUIRE(times.size() >= kTicks);
    const std::int64_t first = times[0] - start;
    CHECK_MSG(first >= kPeriod - 2 && first < kPeriod + 100, Ms(first));
    // A tick made late by the scheduler is late alone, and a loaded machine may make every tick
    // of a stretch late by its wake-up latency; a drifting timer makes each tick later than the
    // one before. So the least lateness against the grid of ten ticks near the end must not
    // exceed that of ten ticks near the start by more than a few milliseconds.
    const auto leastLateness = [&](std::size_t from) {
        std::int64_t least = INT64_MAX;
        for (std::size_t k = from; k < from + 10; ++k) {
            least = std::min(least, times[k] - start - kPeriod * std::int64_t(k + 1));
        }
        return least;
    };
    const std::int64_t early = leastLateness(5), late = leastLateness(kTicks - 10);
    CHECK_MSG(early >= -3 && late >= -3 && late - early <= 10,
              "early " + Ms(early) + ", late " + Ms(late) + " off the grid");
    for (const DWORD thread : log.Threads()) {
        CHECK(thread != GetCurrentThreadId());
    }
}

// Periods that pass while a tick runs are folded into one tick, not fired back to back.
KTEST(overrunPeriodsAreFolded)
{
    TWinTimerService service;
    TTickLog log;
    std::atomic<int> calls{0};
    std::atomic<std::int64_t> longTickEnd{0};
    const std::uint32_t id = service.SetEvent(10, 1, [&] {
        log.Add();
        if (++calls == 1) {
            Sleep(200);  // twenty periods
            longTickEnd = TTestHarness::NowMs();
        }
    });
    REQUIRE(id != 0);
    CHECK(TTestHarness::WaitFor([&] { return log.Count() >= 6; }, 5000));
    service.KillEvent(id);
    // Right after the long tick: the folded tick, perhaps the next period's, not twenty.
    std::size_t burst = 0;
    for (const std::int64_t time : log.Times()) {
        burst += time >= longTickEnd && time <= longTickEnd + 5;
    }
    CHECK_MSG(burst <= 3, std::to_string(burst) + " ticks within 5 ms");
}

// Stopping from another thread waits for the tick in progress; no tick starts afterwards.
KTEST(stopWaitsForTheTickInProgress)
{
    TWinTimerService service;
    std::atomic<bool> inTick{false}, tickDone{false};
    std::atomic<int> ticks{0};
    const std::uint32_t id = service.SetEvent(20, 1, [&] {
        if (++ticks == 1) {
            inTick = true;
            Sleep(300);
            tickDone = true;
        }
    });
    REQUIRE(id != 0);
    REQUIRE(TTestHarness::WaitFor([&] { return inTick.load(); }, 3000));
    CHECK(service.KillEvent(id));
    CHECK(tickDone);
    const int after = ticks;
    Sleep(100);
    CHECK(ticks == after);
    CHECK(!service.KillEvent(id));
}

KTEST(stopFromInsideItsOwnTick)
{
    TWinTimerService service;
    std::atomic<std::uint32_t> id{0};
    std::atomic<int> ticks{0};
    std::atomic<bool> killed{false};
    const std::uint32_t started = service.SetEvent(10, 1, [&] {
        ++ticks;
        while (id == 0) {
            Sleep(1);
        }
        if (!killed) {
            killed = service.KillEvent(id);
        }
    });
    id = started;
    REQUIRE(started != 0);
    CHECK(TTestHarness::WaitFor([&] { return killed.load(); }, 3000));
    Sleep(100);
    CHECK(ticks == 1);
}

// The fault of a shared callback thread: one timer's long tick (an 800 ms exchange) held up the
// other timer's ticks, and stopping the other timer waited for it.
KTEST(timersDoNotWaitOnEachOther)
{
    TWinTimerService service;
    std::atomic<bool> slowInTick{false}, slowRelease{false};
    TTickLog slowLog, fastLog;
    const std::uint32_t slow = service.SetEvent(20, 1, [&] {
        slowLog.Add();
        slowInTick = true;
        TTestHarness::WaitFor([&] { return slowRelease.load(); }, 5000);
    });
    REQUIRE(slow != 0);
    REQUIRE(TTestHarness::WaitFor([&] { return slowInTick.load(); }, 3000));
    const std::uint32_t fast = service.SetEvent(10, 1, [&] { fastLog.Add(); });
    REQUIRE(fast != 0);
    CHECK(TTestHarness::WaitFor([&] { return fastLog.Count() >= 5; }, 1000));
    const std::int64_t start = TTestHarness::NowMs();
    CHECK(service.KillEvent(fast));
    CHECK_MSG(TTestHarness::NowMs() - start < 200, Ms(TTestHarness::NowMs() - start));
    CHECK(!slowRelease);  // the slow tick is still running
    slowRelease = true;
    CHECK(service.KillEvent(slow));
    const std::vector<DWORD> slowThreads = slowLog.Threads(), fastThreads = fastLog.Threads();
    REQUIRE(!slowThreads.empty() && !fastThreads.empty());
    CHECK(slowThreads[0] != fastThreads[0]);
}

// Destroying the service stops every event, waiting for a tick in progress.
KTEST(destroyStopsEveryEvent)
{
    std::atomic<int> ticksA{0}, ticksB{0};
    std::atomic<bool> inTick{false}, tickDone{false};
    auto service = std::make_unique<TWinTimerService>();
    REQUIRE(service->SetEvent(10, 1, [&] { ++ticksA; }) != 0);
    REQUIRE(service->SetEvent(15, 1, [&] {
        if (++ticksB == 2) {
            inTick = true;
            Sleep(200);
            tickDone = true;
        }
    }) != 0);
    REQUIRE(TTestHarness::WaitFor([&] { return inTick.load(); }, 3000));
    service.reset();
    CHECK(tickDone);
    const int a = ticksA, b = ticksB;
    Sleep(100);
    CHECK(ticksA == a && ticksB == b);
}

}  // namespace

int main(int argc, char **argv)
{
    return TTestHarness::RunAll(argc, argv);
}
