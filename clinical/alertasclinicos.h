#pragma once

#include <QStringList>
#include <optional>

#include "clinical/resultado.h"
#include "kestrova_clinical_export.h"
#include "session/registrossessao.h"

// The warnings a running test gives the operator (docs/clinical.md): a heart rate above the
// test's limit, a systolic above 250 or a diastolic above 115 mmHg, and during exercise a
// systolic more than 10 mmHg below the previous entry's.
class KESTROVA_CLINICAL_EXPORT TAlertasClinicos {
public:
    static constexpr int kSistolicaMaxima = 250, kDiastolicaMaxima = 115;  // mmHg
    static constexpr int kQuedaSistolicaMaxima = 10;                       // mmHg

    struct TPressao {
        int sistolica = 0, diastolica = 0;  // mmHg
    };
    // What is known at a moment of the test.
    struct TMomento {
        int fc = 0;                        // the current heart rate, bpm; 0: none
        std::optional<TPressao> pressao;   // the latest blood-pressure entry
        std::optional<TPressao> anterior;  // the entry before it
        bool exercicio = false;            // the latest entry was taken during exercise
    };

    // The session's heart-rate limit, or else the predicted maximum at the patient's age on the
    // test's date by the session's formula.
    static TResultado<double> LimiteFc(const TSessao &sessao, const TPaciente &paciente);
    // The Portuguese texts of the warnings that hold at the moment; the heart rate is not
    // judged without a limit. They are source texts in any language (the console records them
    // with the test's events); TTextosClinicos::Traduzir gives the text to show.
    static QStringList Avisos(const TMomento &momento, const TResultado<double> &limiteFc);
};
