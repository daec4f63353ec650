#pragma once

#include <QList>
#include <functional>

#include "kestrova_session_export.h"
#include "session/registrossessao.h"

class TAxis;

// The time axis the session's charts share, so that charts stacked one under the other keep the
// same minutes: 10 divisions whose step grows (1, 2, 3, 6, 9, 12, 18, 24, 36, 48 minutes, then
// doubling) to hold the test as it goes on; and a recorded session walked along it in time order.
class KESTROVA_SESSION_EXPORT TEixoTempo {
public:
    static constexpr int kDivisoes = 10;

    // Divisions, numbers and caption, the step sized for `duracaoPrevistaMs`.
    static void Preparar(TAxis &eixo, qint64 duracaoPrevistaMs);
    // Grows the step until the axis holds `minutos`; whether it changed.
    static bool Estender(TAxis &eixo, double minutos);
    static double Minutos(const TAxis &eixo);
    // The latest moment of a record, sample or event.
    static qint64 Fim(const QList<TAmostraRegistro> &amostras,
                      const QList<TEventoRegistro> &eventos);
    // Samples and events (each in time order) merged in time order, a sample before an event of
    // the same millisecond, as they arrived live (the countdown's samples come before the first
    // target, all at 0 ms).
    static void Percorrer(const QList<TAmostraRegistro> &amostras,
                          const QList<TEventoRegistro> &eventos,
                          const std::function<void(const TAmostraRegistro &)> &amostra,
                          const std::function<void(const TEventoRegistro &)> &evento);
};
