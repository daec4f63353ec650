#pragma once

#include <QtGlobal>

#include "kestrova_protocol_export.h"

// One step of a protocol phase: a stage holds one speed and grade for its duration; a ramp goes
// linearly from its initial to its final values over its duration.
struct KESTROVA_PROTOCOL_EXPORT TPasso {
    enum class TTipo { Estagio, Rampa };
    TTipo tipo = TTipo::Estagio;
    qint64 duracaoMs = 0;
    double velocidadeInicial = 0, inclinacaoInicial = 0;  // a stage: the values held
    double velocidadeFinal = 0, inclinacaoFinal = 0;      // a stage: equal to the initial ones

    // A stage of the given length holding speed (km/h) and grade (%).
    static TPasso Estagio(qint64 duracaoMs, double velocidade, double inclinacao);
    static TPasso Rampa(qint64 duracaoMs, double velocidadeInicial, double inclinacaoInicial,
                        double velocidadeFinal, double inclinacaoFinal);

private:
    static TPasso Rampa(qint64 duracaoMs, double velocidadeInicial, double inclinacaoInicial,
                        double velocidadeFinal, double inclinacaoFinal, TTipo tipo);
};
