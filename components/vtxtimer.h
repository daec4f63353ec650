#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>

#include "components/vtxtimerservice.h"
#include "kestrova_components_export.h"
#include "platform/event.h"

namespace kestrova::components {
class TVtxTimerGate;
}

// A periodic millisecond timer. While Habilitado, OnTimer(this) is called every Intervalo ms on a
// thread of the timer service, never on the main thread: a handler that touches widgets or state
// of the main thread must hand the work over itself (queued), never block on it.
//
// Stopping (Habilitado = false, Desabilitar, a new Intervalo while running, the destructor) waits
// for a handler in progress to return; on the main thread it processes pending events (not user
// input) meanwhile, so a handler that waits for the main thread can finish. A handler may stop,
// restart or delete its own timer; that call does not wait for the handler itself.
//
// Start, stop and the setters are meant for one controlling thread at a time (normally the main
// thread, or the timer's own handler). Assign OnTimer while the timer is stopped.
class KESTROVA_COMPONENTS_EXPORT TVtxTimer : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Habilitado READ Habilitado WRITE AjustarFbHabilitado)
    Q_PROPERTY(int Intervalo READ Intervalo WRITE AjustarFiIntervalo)
    Q_CLASSINFO("palette", "CompsKpr")
    Q_CLASSINFO("default:Habilitado", "false")
    Q_CLASSINFO("default:Intervalo", "1000")

public:
    explicit TVtxTimer(QObject *Owner);
    TVtxTimer(QObject *Owner, int intervalo, TNotifyEvent onTimer);
    // Runs on the given service instead of the platform's (tests, other platforms).
    TVtxTimer(QObject *Owner, std::unique_ptr<kestrova::components::TTimerService> service);
    ~TVtxTimer() override;

    bool Habilitado() const { return FbHabilitado.load(); }
    int Intervalo() const { return FiIntervalo.load(); }

    // true: Habilitar, and Habilitado = true when it started; false: Desabilitar, and
    // Habilitado = false when it stopped.
    void AjustarFbHabilitado(bool value);
    // Stores the period; while running, stops and starts again with the new period.
    void AjustarFiIntervalo(int value);

    // Starts the periodic event. False, doing nothing, when already running or Intervalo < 1;
    // false also when the service refuses the event. Does not change Habilitado.
    bool Habilitar();
    // Stops the periodic event, waiting for a handler in progress. False when not running.
    // Does not change Habilitado.
    bool Desabilitar();

    kestrova::components::TTimerCaps Capacidades() const { return FCaps; }
    std::uint32_t Resolucao() const { return FuResolucao; }
    std::uint32_t IdDoTimer() const { return FuIdDoTimer.load(); }

    TNotifyEvent OnTimer;

private:
    void LerCapacidades();
    bool Iniciar(bool marcar);
    void DispararTick();
    void Parar();

    std::unique_ptr<kestrova::components::TTimerService> FService;
    kestrova::components::TTimerCaps FCaps;
    std::uint32_t FuResolucao = 0;
    std::atomic<std::uint32_t> FuIdDoTimer{0};
    std::atomic<bool> FbHabilitado{false};
    std::atomic<int> FiIntervalo{1000};
    bool FbPeriodoPedido = false;
    std::shared_ptr<kestrova::components::TVtxTimerGate> FGate;
};
