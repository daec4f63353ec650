#pragma once

#include <QString>

#include "kestrova_protocol_export.h"

// The three phases of an exercise test, in the order they run.
enum class TFase { Aquecimento, Exercicio, Recuperacao };

// "Aquecimento", "Exercício", "Recuperação".
// Kept in Portuguese in every language: events, traces and CSV files record it.
KESTROVA_PROTOCOL_EXPORT QString NomeFase(TFase fase);
// NomeFase in the language installed, for display.
KESTROVA_PROTOCOL_EXPORT QString NomeFaseExibida(TFase fase);
