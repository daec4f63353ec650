#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "kestrova_device_export.h"

// Admits one exchange at a time per device, whichever thread asks.
//
// A thread other than the main one simply blocks until the slot is free. The main thread cannot
// block: the exchange holding the slot may be waiting for the main thread to deliver its answer.
// It waits while processing pending non-input events instead, and the releasing thread wakes it
// with a posted event, so the wait never spins. A thread asking for a slot it already holds (a
// handler run from the event loop of its own exchange) is refused with an Exception, because
// waiting would never end.
class KESTROVA_DEVICE_EXPORT TExchangeSlot {
public:
    TExchangeSlot() = default;
    TExchangeSlot(const TExchangeSlot &) = delete;
    TExchangeSlot &operator=(const TExchangeSlot &) = delete;

    void Acquire();
    // Like Acquire, but returns false instead of raising when the caller already holds the slot.
    bool TryAcquireForShutdown();
    void Release();
    bool Busy() const;

    class TGuard {
    public:
        explicit TGuard(TExchangeSlot &slot) : FSlot(slot) { FSlot.Acquire(); }
        ~TGuard() { FSlot.Release(); }
        TGuard(const TGuard &) = delete;
        TGuard &operator=(const TGuard &) = delete;

    private:
        TExchangeSlot &FSlot;
    };

private:
    bool TakeIfFree();  // FMutex held
    bool HeldByCaller() const;
    void AcquireOnMainThread();

    mutable std::mutex FMutex;
    std::condition_variable FFreed;
    bool FBusy = false;
    bool FMainThreadWaiting = false;
    std::thread::id FOwner;
};
