#pragma once

#include <QString>

#include "kestrova_protocol_export.h"

enum class TEstadoExecucao {
    Pronto,
    Contagem,
    Aquecimento,
    Exercicio,
    Recuperacao,
    Pausado,
    LinkPerdido,
    Parado,
    Concluido
};

// Portuguese text for display ("Pronto", "Contagem regressiva", ...).
KESTROVA_PROTOCOL_EXPORT QString NomeEstado(TEstadoExecucao estado);
