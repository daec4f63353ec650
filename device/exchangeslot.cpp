#include "device/exchangeslot.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include "platform/eventpump.h"
#include "platform/exception.h"

namespace {

bool HasEventLoopThread()
{
    return QCoreApplication::instance() != nullptr;
}

void WakeMainThread()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] {}, Qt::QueuedConnection);
}

}  // namespace

bool TExchangeSlot::TakeIfFree()
{
    if (FBusy)
        return false;
    FBusy = true;
    FOwner = std::this_thread::get_id();
    return true;
}

bool TExchangeSlot::HeldByCaller() const
{
    return FBusy && FOwner == std::this_thread::get_id();
}

void TExchangeSlot::Acquire()
{
    if (!TryAcquireForShutdown())
        throw Exception(QStringLiteral("Comunicação ocupada: um comando ainda aguarda resposta."));
}

bool TExchangeSlot::TryAcquireForShutdown()
{
    {
        std::unique_lock lock(FMutex);
        if (HeldByCaller())
            return false;
        if (!(IsMainThread() && HasEventLoopThread())) {
            FFreed.wait(lock, [this] { return !FBusy; });
            TakeIfFree();
            return true;
        }
    }
    AcquireOnMainThread();
    return true;
}

void TExchangeSlot::AcquireOnMainThread()
{
    for (;;) {
        {
            std::unique_lock lock(FMutex);
            if (TakeIfFree())
                return;
            FMainThreadWaiting = true;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
}

void TExchangeSlot::Release()
{
    bool wakeMain = false;
    {
        // Notified under the lock: a waiter that takes the slot may destroy this object as soon
        // as the lock is free (a device destroyed right after its last exchange).
        std::lock_guard lock(FMutex);
        FBusy = false;
        FOwner = {};
        std::swap(wakeMain, FMainThreadWaiting);
        FFreed.notify_all();
    }
    if (wakeMain)
        WakeMainThread();
}

bool TExchangeSlot::Busy() const
{
    std::lock_guard lock(FMutex);
    return FBusy;
}
