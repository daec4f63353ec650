#pragma once

#include <QString>

#include "kestrova_clinical_export.h"

// The texts TAvaliacaoClinica and TAlertasClinicos compute (the reasons of results not
// available, the warnings, the VO2max method) are Portuguese, the source texts, whatever the
// language: the console records the warnings with the test's events and the JSON carries them,
// so they are data. A program shows them through Traduzir.
class KESTROVA_CLINICAL_EXPORT TTextosClinicos {
public:
    // The text in the installed language: a computed reason, warning or method, its values (a
    // heart rate, a date) kept as they are. A text it does not know is returned unchanged.
    static QString Traduzir(const QString &texto);
};
