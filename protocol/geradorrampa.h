#pragma once

#include <QString>

#include "kestrova_protocol_export.h"
#include "protocol/protocolo.h"

struct TParametrosRampa {
    double velocidadeInicial = 0, inclinacaoInicial = 0, velocidadePico = 0, inclinacaoPico = 0;
    qint64 duracaoMs = 10 * 60000;
};

// Builds an individualised ramp: one linear step from the start to the peak values over 8 to
// 12 minutes, then the default recovery.
class KESTROVA_PROTOCOL_EXPORT TGeradorRampa {
public:
    static constexpr qint64 kDuracaoMinimaMs = 8 * 60000;
    static constexpr qint64 kDuracaoMaximaMs = 12 * 60000;

    // On invalid parameters returns an empty protocol and sets *erro (when given).
    static TProtocolo Gerar(const TParametrosRampa &parametros, QString *erro);
};
