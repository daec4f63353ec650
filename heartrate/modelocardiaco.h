#pragma once

#include "kestrova_heartrate_export.h"

// The simulated strap's heart rate (docs/heartrate.md). The belt's workload gives an oxygen
// uptake by the ACSM metabolic equations (TEquacoesMetabolicas in clinical/): walking's below
// velocidadeCorridaKmh, running's from it. The steady-state rate is
// fcRepouso + bpmPorMet (VO2 / 3.5 - 1), at most fcMaxima, and the rate approaches it as a
// first-order response: fc(t + dt) = alvo + (fc(t) - alvo) e^(-dt/tau), tau = tauSubidaS while
// rising and tauDescidaS while falling. Deterministic.
class KESTROVA_HEARTRATE_EXPORT TModeloCardiaco {
public:
    struct TParametros {
        double fcRepouso = 70;
        double bpmPorMet = 10;
        double fcMaxima = 190;  // 220 - age for a person of 30
        double tauSubidaS = 30;
        double tauDescidaS = 60;
        double velocidadeCorridaKmh = 8.0;  // 134 m/min, where ACSM's running equation starts
    };

    TModeloCardiaco() = default;
    explicit TModeloCardiaco(const TParametros &parametros);

    // Oxygen uptake in ml/kg/min at the belt's speed (km/h) and grade (%).
    double Vo2(double velocidadeKmh, double inclinacaoPct) const;
    double FcEstavel(double velocidadeKmh, double inclinacaoPct) const;
    // The rate dtS seconds after fc, the workload held meanwhile.
    double Avancar(double fc, double velocidadeKmh, double inclinacaoPct, double dtS) const;
    const TParametros &Parametros() const { return FParametros; }

private:
    TParametros FParametros;
};
