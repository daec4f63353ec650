#pragma once

#include <QString>

#include "kestrova_protocol_export.h"

// The three phases of an exercise test, in the order they run.
enum class TFase { Aquecimento, Exercicio, Recuperacao };

// "Aquecimento", "Exercício", "Recuperação".
KESTROVA_PROTOCOL_EXPORT QString NomeFase(TFase fase);
