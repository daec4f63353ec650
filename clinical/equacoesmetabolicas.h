#pragma once

#include "kestrova_clinical_export.h"

// The ACSM metabolic equations for the treadmill (docs/clinical.md): the oxygen uptake in
// ml/kg/min of a speed in km/h and a grade in %, with S the speed in m/min and G the grade as a
// fraction. A negative speed or grade counts as 0 (the equations know no downhill).
class KESTROVA_CLINICAL_EXPORT TEquacoesMetabolicas {
public:
    static constexpr double kVo2PorMet = 3.5;             // ml/kg/min: one MET
    static constexpr double kVelocidadeCorridaKmh = 8.0;  // where running's equation starts

    // 3.5 + 0.1 S + 1.8 S G
    static double Vo2Caminhada(double velocidadeKmh, double inclinacaoPct);
    // 3.5 + 0.2 S + 0.9 S G
    static double Vo2Corrida(double velocidadeKmh, double inclinacaoPct);
    // Walking below kVelocidadeCorridaKmh, running from it.
    static double Vo2(double velocidadeKmh, double inclinacaoPct);
    // Vo2 / 3.5
    static double Mets(double velocidadeKmh, double inclinacaoPct);
};
