#pragma once

#include "protocol/amostraexecucao.h"
#include "protocol/eventoexecucao.h"
#include "session/registrossessao.h"

namespace protocolcli {

// The runner's samples and events as the session database's records, as orvanta-teste records
// them (its own conversion lives with its window). A sample leaves without a heart rate: the
// caller adds the one current at its time.
class TRunRecords {
public:
    static TEventoRegistro Evento(const TEventoExecucao &evento);
    static TAmostraRegistro Amostra(const TAmostraExecucao &amostra);
    // The stored name of an event's kind: "estado", "estagio", "alvo", "limite", "falha", "acao".
    static QString Tipo(TEventoExecucao::TTipo tipo);
};

}  // namespace protocolcli
