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
// Kept in Portuguese in every language: events, traces and CSV files record it.
KESTROVA_PROTOCOL_EXPORT QString NomeEstado(TEstadoExecucao estado);
// NomeEstado in the language installed, for display.
KESTROVA_PROTOCOL_EXPORT QString NomeEstadoExibido(TEstadoExecucao estado);
