#pragma once

#include "protocol/fase.h"
#include "protocol/passo.h"

// One step of a protocol placed on the test's time line: its phase, its stage number (1-based,
// counted through the whole test) and its offset from the start.
struct TEtapaProtocolo {
    TPasso passo;
    TFase fase = TFase::Exercicio;
    int estagio = 0;
    qint64 inicioMs = 0;

    qint64 FimMs() const { return inicioMs + passo.duracaoMs; }
};
