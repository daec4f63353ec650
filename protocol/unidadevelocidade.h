#pragma once

#include <QString>

#include "kestrova_protocol_export.h"

// The unit speeds are shown and typed in. Protocols, files and the board work in km/h; this is
// the one place that converts, so another unit (mph) is a new value of TUnidade here.
class KESTROVA_PROTOCOL_EXPORT TUnidadeVelocidade {
public:
    enum class TUnidade { Kmh };

    explicit TUnidadeVelocidade(TUnidade unidade = TUnidade::Kmh);

    TUnidade Unidade() const { return FUnidade; }
    QString Simbolo() const;  // "km/h"
    int Casas() const;        // decimals shown: the board's resolution in this unit
    double ParaKmh(double valor) const;
    double DeKmh(double kmh) const;

private:
    TUnidade FUnidade;
};
