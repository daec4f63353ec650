#pragma once

#include <QDate>
#include <QString>

#include "clinical/resultado.h"
#include "kestrova_clinical_export.h"

// The patient's age in whole years on a date, from the birth date as stored: "dd/MM/yyyy" as the
// patient block takes it, or ISO "yyyy-MM-dd".
class KESTROVA_CLINICAL_EXPORT TIdade {
public:
    // The birth date, invalid when the text is neither form.
    static QDate LerNascimento(const QString &nascimento);
    // Not available, with the reason, for a blank or unreadable birth date, an invalid date or a
    // birth after it. A birthday on 29 February counts from 1 March in other years.
    static TResultado<int> NaData(const QString &nascimento, const QDate &data);
};
