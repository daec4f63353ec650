#pragma once

#include <functional>
#include <memory>

#include "kestrova_platform_export.h"

// Runs work on the main thread on behalf of another thread, which blocks until the work is done:
// the synchronous call a reader thread uses to deliver data to handlers that touch widgets.
//
// Cancel() makes a blocked Call return at once and every later Call return without running, so
// an owner can stop its worker even when the work is queued behind a busy main thread, or when
// the work itself is what asks to stop (a handler closing its own port).
class KESTROVA_PLATFORM_EXPORT TMainThreadHandOff {
public:
    TMainThreadHandOff();
    ~TMainThreadHandOff();
    TMainThreadHandOff(const TMainThreadHandOff &) = delete;
    TMainThreadHandOff &operator=(const TMainThreadHandOff &) = delete;

    // Runs work on the main thread and waits for it. On the main thread itself the work runs at
    // once. Returns true when the work ran to its end before the caller resumed; false when the
    // hand-off was cancelled first (the work then never starts, or, if it had started, finishes
    // on the main thread on its own).
    bool Call(std::function<void()> work);

    // Sticky: wakes a blocked Call and refuses later ones. Any thread.
    void Cancel();
    bool Cancelled() const;

private:
    struct TShared;
    std::shared_ptr<TShared> FShared;
};
