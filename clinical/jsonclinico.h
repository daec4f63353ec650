#pragma once

#include <QJsonObject>

#include "clinical/resultadosclinicos.h"
#include "kestrova_clinical_export.h"

// The clinical results as one JSON object (keys and units in docs/clinical.md): numbers as JSON
// numbers, rounded for display; an unavailable result is null and its reason is under "motivos"
// with the same key. The same in every language: keys, codes ("metodo_vo2max", "faixa_duke"),
// reasons and warnings are the Portuguese source texts, as the session database keeps them.
class KESTROVA_CLINICAL_EXPORT TJsonClinico {
public:
    static QJsonObject Converter(const TResultadosClinicos &resultados);
    // "baixo", "moderado", "alto": codes, never translated (the report names the band itself)
    static QString NomeFaixaDuke(TResultadosClinicos::TFaixaDuke faixa);
};
