#pragma once

#include <QString>

#include "kestrova_protocol_export.h"

// The run machine's event texts ("Operador: pausar", "Estágio 1 (Exercício): ...", a state's
// name) are recorded with the session and compared by its summary, so they are Portuguese in
// every language. A program shows them through Traduzir.
class KESTROVA_PROTOCOL_EXPORT TTextosExecucao {
public:
    // The text in the installed language, its values (speeds, the board's failure texts) kept
    // as they are and a phase or state name translated; a text it does not know is returned
    // unchanged, so a text recorded by another version is shown as it was recorded.
    static QString Traduzir(const QString &texto);
};
