#pragma once

#include <QList>

#include "kestrova_protocol_export.h"
#include "protocol/protocolo.h"

// The read-only protocols every installation offers (their published sources are in
// docs/protocols.md).
class KESTROVA_PROTOCOL_EXPORT TEmbutidos {
public:
    static constexpr qint64 kRecuperacaoMs = 3 * 60000;
    static constexpr double kVelocidadeRecuperacao = 2.5;

    static QList<TProtocolo> Todos();  // bruce, bruce-modificado, balke-ware, usafsam
    static QList<TPasso> RecuperacaoPadrao();
};
