#include "components/vtxtimer_win.h"

#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

#include <atomic>
#include <map>
#include <utility>
#include <vector>

namespace kestrova::components {

// The callback's user data. It is freed by KillEvent once no callback runs on it, or by the
// callback itself when the event was killed from inside that callback.
struct TWinTimerEntry {
    TTimerService::TTick tick;
    std::atomic<bool> inTick{false};
    std::atomic<DWORD> tickThread{0};
    std::atomic<bool> freeAfterTick{false};
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

void CALLBACK TimerCallback(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    auto *entry = reinterpret_cast<TWinTimerEntry *>(user);
    entry->inTick = true;
    entry->tickThread = GetCurrentThreadId();
    entry->tick();
    if (entry->freeAfterTick) {
        delete entry;
        return;
    }
    entry->inTick = false;
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
    TTableLock lock(*FTable);
    const MMRESULT id =
        timeSetEvent(periodMs, resolution, &TimerCallback, reinterpret_cast<DWORD_PTR>(entry),
                     TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    if (id == 0) {
        delete entry;
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
    if (entry->inTick && entry->tickThread == GetCurrentThreadId()) {
        entry->freeAfterTick = true;
        return true;
    }
    // The owner has already waited for its handler; what remains of a tick is short.
    while (entry->inTick) {
        Sleep(0);
    }
    delete entry;
    return true;
}

std::unique_ptr<TTimerService> CreatePlatformTimerService(bool)
{
    // The multimedia timer's own thread priority applies; there is no choice to make.
    return std::make_unique<TWinTimerService>();
}

}  // namespace kestrova::components
