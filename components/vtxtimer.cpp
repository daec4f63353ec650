#include "components/vtxtimer.h"

#include <QtGlobal>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>

#include "platform/eventpump.h"

namespace kestrova::components {

// Lets ticks through to their timer and counts the handlers in progress, so that stopping can
// wait for them. A gate outlives its timer while a tick still holds it; each start begins a new
// generation so that a late tick of an earlier run never reaches the handler. A generation is
// begun closed and opened once the start is complete (id and Habilitado stored), so a first tick
// that arrives sooner cannot see a half-started timer; it is dropped.
class TVtxTimerGate {
public:
    explicit TVtxTimerGate(TVtxTimer *owner) : FOwner(owner) {}

    std::uint64_t Begin()
    {
        std::lock_guard lock(FMutex);
        FOpen = false;
        return ++FGeneration;
    }

    void Open()
    {
        std::lock_guard lock(FMutex);
        FOpen = true;
    }

    void Close()
    {
        std::lock_guard lock(FMutex);
        FOpen = false;
    }

    // Called on the service's thread once per period.
    template <typename Fire>
    void Tick(std::uint64_t generation, Fire fire)
    {
        TVtxTimer *owner = nullptr;
        {
            std::lock_guard lock(FMutex);
            if (!FOpen || generation != FGeneration || FOwner == nullptr) {
                return;
            }
            owner = FOwner;
            ++FInFlight;
        }
        const TVtxTimerGate *previous = tCurrent;
        tCurrent = this;
        fire(owner);
        tCurrent = previous;
        {
            std::lock_guard lock(FMutex);
            --FInFlight;
        }
        FIdle.notify_all();
    }

    // Waits until no handler is in progress, apart from the one the calling thread may be
    // running itself. The main thread keeps processing events meanwhile.
    void WaitIdle()
    {
        const int own = tCurrent == this ? 1 : 0;
        std::unique_lock lock(FMutex);
        if (!IsMainThread()) {
            FIdle.wait(lock, [&] { return FInFlight <= own; });
            return;
        }
        while (FInFlight > own) {
            lock.unlock();
            ProcessPendingEvents();
            lock.lock();
            FIdle.wait_for(lock, std::chrono::milliseconds(1), [&] { return FInFlight <= own; });
        }
    }

    void Detach()
    {
        std::lock_guard lock(FMutex);
        FOpen = false;
        FOwner = nullptr;
    }

private:
    static thread_local const TVtxTimerGate *tCurrent;

    std::mutex FMutex;
    std::condition_variable FIdle;
    TVtxTimer *FOwner;
    std::uint64_t FGeneration = 0;
    int FInFlight = 0;
    bool FOpen = false;
};

thread_local const TVtxTimerGate *TVtxTimerGate::tCurrent = nullptr;

}  // namespace kestrova::components

using kestrova::components::CreatePlatformTimerService;
using kestrova::components::TTimerService;
using kestrova::components::TVtxTimerGate;

TVtxTimer::TVtxTimer(QObject *Owner) : TVtxTimer(Owner, CreatePlatformTimerService()) {}

TVtxTimer::TVtxTimer(QObject *Owner, int intervalo, TNotifyEvent onTimer) : TVtxTimer(Owner)
{
    FiIntervalo = intervalo;
    if (onTimer) {
        OnTimer = std::move(onTimer);
    }
}

TVtxTimer::TVtxTimer(QObject *Owner, std::unique_ptr<TTimerService> service)
    : QObject(Owner), FService(std::move(service)), FGate(std::make_shared<TVtxTimerGate>(this))
{
    LerCapacidades();
}

TVtxTimer::~TVtxTimer()
{
    Parar();
    FGate->WaitIdle();
    FGate->Detach();
}

void TVtxTimer::LerCapacidades()
{
    if (FService == nullptr || !FService->GetDevCaps(FCaps)) {
        FCaps = {};
        FuResolucao = 0;
        return;
    }
    FuResolucao = std::min(std::max(FCaps.periodMin, 1u), FCaps.periodMax);
}

void TVtxTimer::AjustarFbHabilitado(bool value)
{
    if (value) {
        Iniciar(true);
    } else if (Desabilitar()) {
        FbHabilitado = false;
    }
}

void TVtxTimer::AjustarFiIntervalo(int value)
{
    if (IdDoTimer() == 0) {
        FiIntervalo = value;
        return;
    }
    if (!Desabilitar()) {
        return;
    }
    FbHabilitado = false;
    FiIntervalo = value;
    Iniciar(true);
}

bool TVtxTimer::Habilitar()
{
    return Iniciar(false);
}

// Starts the event; with marcar, also sets Habilitado before the first tick can reach the handler,
// so a handler that stops its timer on its first tick always finds it started and enabled.
bool TVtxTimer::Iniciar(bool marcar)
{
    const int intervalo = Intervalo();
    if (IdDoTimer() != 0 || intervalo < 1 || FService == nullptr) {
        return false;
    }
    FbPeriodoPedido = FuResolucao != 0 && FService->BeginPeriod(FuResolucao);
    const std::uint64_t generation = FGate->Begin();
    const auto tick = [gate = FGate, generation] {
        gate->Tick(generation, [](TVtxTimer *timer) { timer->DispararTick(); });
    };
    const std::uint32_t id =
        FService->SetEvent(static_cast<std::uint32_t>(intervalo), FuResolucao, tick);
    if (id == 0) {
        FGate->Close();
        if (FbPeriodoPedido) {
            FService->EndPeriod(FuResolucao);
            FbPeriodoPedido = false;
        }
        return false;
    }
    FuIdDoTimer = id;
    if (marcar) {
        FbHabilitado = true;
    }
    FGate->Open();
    return true;
}

bool TVtxTimer::Desabilitar()
{
    if (IdDoTimer() == 0) {
        return false;
    }
    Parar();
    return true;
}

// Closes the gate, waits for a handler in progress (not for the caller's own), then stops the
// service's event and gives the resolution back. Safe to call when nothing runs.
void TVtxTimer::Parar()
{
    FGate->Close();
    FGate->WaitIdle();
    const std::uint32_t id = FuIdDoTimer.exchange(0);
    if (id != 0) {
        FService->KillEvent(id);
    }
    if (FbPeriodoPedido) {
        FService->EndPeriod(FuResolucao);
        FbPeriodoPedido = false;
    }
}

void TVtxTimer::DispararTick()
{
    // A copy, so that a handler that deletes its own timer does not run from freed storage.
    const TNotifyEvent handler = OnTimer;
    if (!handler) {
        return;
    }
    // An exception must not leave the service's thread (it would end the program); no caller
    // is there to catch it, so it is reported and dropped.
    try {
        handler(this);
    } catch (const std::exception &e) {
        qWarning("TVtxTimer: OnTimer raised: %s", e.what());
    } catch (...) {
        qWarning("TVtxTimer: OnTimer raised an exception");
    }
}
