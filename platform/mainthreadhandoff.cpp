#include "mainthreadhandoff.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <condition_variable>
#include <mutex>

#include "eventpump.h"

struct TMainThreadHandOff::TShared {
    std::mutex mutex;
    std::condition_variable changed;
    bool cancelled = false;
};

namespace {

struct TRequest {
    std::function<void()> work;
    bool done = false;
};

}  // namespace

TMainThreadHandOff::TMainThreadHandOff() : FShared(std::make_shared<TShared>()) {}

TMainThreadHandOff::~TMainThreadHandOff()
{
    Cancel();
}

bool TMainThreadHandOff::Call(std::function<void()> work)
{
    if (Cancelled()) {
        return false;
    }
    if (IsMainThread()) {
        work();
        return true;
    }
    auto request = std::make_shared<TRequest>();
    request->work = std::move(work);
    // The queued call holds the shared state, so it stays sound after this object is gone; it
    // skips the work when the hand-off was cancelled before the main thread got to it.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [shared = FShared, request] {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->cancelled) {
                    return;
                }
            }
            request->work();
            {
                std::lock_guard lock(shared->mutex);
                request->done = true;
            }
            shared->changed.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(FShared->mutex);
    FShared->changed.wait(lock, [&] { return request->done || FShared->cancelled; });
    return request->done;
}

void TMainThreadHandOff::Cancel()
{
    {
        std::lock_guard lock(FShared->mutex);
        FShared->cancelled = true;
    }
    FShared->changed.notify_all();
}

bool TMainThreadHandOff::Cancelled() const
{
    std::lock_guard lock(FShared->mutex);
    return FShared->cancelled;
}
