#include "components/vtxtimer_win.h"

#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

#include <map>
#include <utility>
#include <vector>

namespace kestrova::components {

// One running event: the signal winmm sets once per period, the signal that stops the thread, and
// the thread that runs the ticks. Freed by KillEvent once the thread has ended, or by the thread
// itself when the event was killed from inside its own tick.
struct TWinTimerEntry {
    TTimerService::TTick tick;
    HANDLE tickSignal = nullptr;  // auto-reset: periods missed during a tick fold into one
    HANDLE stopSignal = nullptr;  // manual-reset
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    bool freeOnExit = false;  // set and read on the event's own thread only

    ~TWinTimerEntry()
    {
        for (HANDLE handle : {thread, stopSignal, tickSignal}) {
            if (handle) {
                CloseHandle(handle);
            }
        }
    }
};

struct TWinTimerTable {
    SRWLOCK lock = SRWLOCK_INIT;
    std::map<std::uint32_t, TWinTimerEntry *> entries;
};

namespace {

// Holds the table's lock for one scope.
class TTableLock {
public:
    explicit TTableLock(TWinTimerTable &table) : FTable(table)
    {
        AcquireSRWLockExclusive(&FTable.lock);
    }
    ~TTableLock() { ReleaseSRWLockExclusive(&FTable.lock); }
    TTableLock(const TTableLock &) = delete;
    TTableLock &operator=(const TTableLock &) = delete;

private:
    TWinTimerTable &FTable;
};

DWORD WINAPI RunTicks(void *user)
{
    auto *entry = static_cast<TWinTimerEntry *>(user);
    const HANDLE signals[] = {entry->stopSignal, entry->tickSignal};  // stop wins a tie
    while (WaitForMultipleObjects(2, signals, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        entry->tick();
        if (entry->freeOnExit) {
            break;
        }
    }
    if (entry->freeOnExit) {
        delete entry;
    }
    return 0;
}

// The event's own thread, at the priority winmm gives its callback thread, so ticks keep the
// steadiness they had there.
bool StartThread(TWinTimerEntry &entry)
{
    entry.tickSignal = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    entry.stopSignal = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!entry.tickSignal || !entry.stopSignal) {
        return false;
    }
    entry.thread = CreateThread(nullptr, 0, &RunTicks, &entry, 0, &entry.threadId);
    if (!entry.thread) {
        return false;
    }
    SetThreadPriority(entry.thread, THREAD_PRIORITY_TIME_CRITICAL);
    return true;
}

void StopThread(TWinTimerEntry *entry)
{
    SetEvent(entry->stopSignal);
    WaitForSingleObject(entry->thread, INFINITE);
    delete entry;
}

}  // namespace

TWinTimerService::TWinTimerService() : FTable(std::make_unique<TWinTimerTable>()) {}

TWinTimerService::~TWinTimerService()
{
    std::vector<std::uint32_t> ids;
    {
        TTableLock lock(*FTable);
        for (const auto &item : FTable->entries) {
            ids.push_back(item.first);
        }
    }
    for (const std::uint32_t id : ids) {
        KillEvent(id);
    }
}

bool TWinTimerService::GetDevCaps(TTimerCaps &caps)
{
    TIMECAPS tc{};
    if (timeGetDevCaps(&tc, sizeof tc) != MMSYSERR_NOERROR) {
        return false;
    }
    caps = {tc.wPeriodMin, tc.wPeriodMax};
    return true;
}

bool TWinTimerService::BeginPeriod(std::uint32_t resolution)
{
    return timeBeginPeriod(resolution) == TIMERR_NOERROR;
}

bool TWinTimerService::EndPeriod(std::uint32_t resolution)
{
    return timeEndPeriod(resolution) == TIMERR_NOERROR;
}

std::uint32_t TWinTimerService::SetEvent(std::uint32_t periodMs, std::uint32_t resolution,
                                         TTick tick)
{
    if (periodMs == 0 || !tick) {
        return 0;
    }
    auto *entry = new TWinTimerEntry;
    entry->tick = std::move(tick);
    if (!StartThread(*entry)) {
        if (entry->thread) {
            StopThread(entry);
        } else {
            delete entry;
        }
        return 0;
    }
    TTableLock lock(*FTable);
    // With TIME_KILL_SYNCHRONOUS no signal is set after timeKillEvent returns, so the handle can
    // be closed then.
    const MMRESULT id =
        timeSetEvent(periodMs, resolution, reinterpret_cast<LPTIMECALLBACK>(entry->tickSignal), 0,
                     TIME_PERIODIC | TIME_CALLBACK_EVENT_SET | TIME_KILL_SYNCHRONOUS);
    if (id == 0) {
        StopThread(entry);
        return 0;
    }
    FTable->entries.emplace(id, entry);
    return id;
}

bool TWinTimerService::KillEvent(std::uint32_t id)
{
    TWinTimerEntry *entry = nullptr;
    {
        TTableLock lock(*FTable);
        const auto it = FTable->entries.find(id);
        if (it == FTable->entries.end()) {
            return false;
        }
        entry = it->second;
        FTable->entries.erase(it);
    }
    timeKillEvent(id);
    if (entry->threadId == GetCurrentThreadId()) {
        // From inside its own tick: the thread ends, and frees the entry, once the tick returns.
        entry->freeOnExit = true;
        ::SetEvent(entry->stopSignal);
        return true;
    }
    StopThread(entry);
    return true;
}

std::unique_ptr<TTimerService> CreatePlatformTimerService(bool)
{
    // The ticks' threads take the multimedia timer's priority; there is no choice to make.
    return std::make_unique<TWinTimerService>();
}

}  // namespace kestrova::components
