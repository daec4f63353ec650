#pragma once

#include <memory>

#include "kestrova_heartrate_export.h"
#include "protocol/relogio.h"

// The session's time axis read on the protocol clock: anchored at a clock reading, running
// escala times faster than the clock (the runner's time scale), so a replay or a simulated strap
// keeps pace with a scaled test.
class KESTROVA_HEARTRATE_EXPORT TRelogioSessao {
public:
    explicit TRelogioSessao(std::shared_ptr<TRelogio> relogio);

    // The session time now, in ms.
    qint64 AgoraMs() const;
    // From now on, the session time now is tempoSessaoMs (e.g. -3000 when the countdown starts).
    void Ancorar(qint64 tempoSessaoMs);
    // Re-anchors at the current session time, so the change takes effect from now on. Ignored
    // unless positive and finite.
    void AjustarEscala(double escala);
    double Escala() const { return FEscala; }
    // Real (clock) ms until the session reaches tempoSessaoMs; 0 when it has.
    qint64 EsperaAteMs(qint64 tempoSessaoMs) const;
    const std::shared_ptr<TRelogio> &Relogio() const { return FRelogio; }

private:
    std::shared_ptr<TRelogio> FRelogio;
    qint64 FAncoraRelogio = 0;
    qint64 FAncoraSessao = 0;
    double FEscala = 1.0;
};
