#pragma once

#include <QList>
#include <optional>

#include "kestrova_protocol_export.h"
#include "protocol/protocolo.h"

// A protocol laid on the test's time line, answering what the board should receive at a given
// protocol time. Values are quantised to the board's resolution; a ramp's value changes one
// quantum at a time and holds each value, its start and end included, for an equal time slice:
// no value is skipped, the changes are evenly spread and the end value is reached.
class KESTROVA_PROTOCOL_EXPORT TPlanoExecucao {
public:
    struct TAlvo {
        double velocidade = 0;
        double inclinacao = 0;
        bool operator==(const TAlvo &) const = default;
    };

    TPlanoExecucao() = default;
    explicit TPlanoExecucao(const TProtocolo &protocolo);

    const QList<TEtapaProtocolo> &Etapas() const { return FEtapas; }
    qint64 DuracaoMs() const;
    // Index of the step running at protocol time t (the last one at or after the end), -1 when
    // there is none.
    int IndiceEm(qint64 tMs) const;
    // Index of the first step of a phase, -1 when the phase is empty.
    int PrimeiroDaFase(TFase fase) const;
    // Quantised target at protocol time t (the last step's end values at or after the end).
    TAlvo AlvoEm(qint64 tMs) const;
    // The first protocol time after t at which the target or the step changes; nullopt after the
    // end.
    std::optional<qint64> ProximaMudanca(qint64 tMs) const;

    // A ramp's quantised value at time t within it (0..duracao): with n = |fim - inicio| /
    // quantum, the ramp is cut in n + 1 equal slices and slice k holds inicio + k quanta.
    static double ValorRampa(double inicio, double fim, double quantum, qint64 tMs,
                             qint64 duracaoMs);

private:
    QList<TEtapaProtocolo> FEtapas;
};
