#pragma once

#include <QJsonObject>

#include "clinical/resultadosclinicos.h"
#include "kestrova_clinical_export.h"

// The clinical results as one JSON object (keys and units in docs/clinical.md): numbers as JSON
// numbers, rounded for display; an unavailable result is null and its reason is under "motivos"
// with the same key.
class KESTROVA_CLINICAL_EXPORT TJsonClinico {
public:
    static QJsonObject Converter(const TResultadosClinicos &resultados);
    // "baixo", "moderado", "alto"
    static QString NomeFaixaDuke(TResultadosClinicos::TFaixaDuke faixa);
};
