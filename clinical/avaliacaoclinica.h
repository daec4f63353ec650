#pragma once

#include <QList>

#include "clinical/resultadosclinicos.h"
#include "kestrova_clinical_export.h"
#include "session/registrossessao.h"

// The clinical results of a recorded exercise test, computed from what the session database
// holds (docs/clinical.md gives each equation's source and every rule). The settings (the
// predicted-maximum formula, the target percentage, the heart-rate limit) are the session's own,
// so a later report gives the same figures.
class KESTROVA_CLINICAL_EXPORT TAvaliacaoClinica {
public:
    static constexpr qint64 kJanelaLeituraMs = 10000;  // a reading stands for a moment within it
    static constexpr double kIndiceCronotropicoMinimo = 0.80;
    static constexpr double kIndiceCronotropicoMinimoBetabloqueador = 0.62;
    static constexpr int kRecuperacaoFcMinima = 12;     // bpm at 1 min: at or below it, flagged
    static constexpr int kAumentoSistolicoMinimo = 20;  // mmHg over the resting systolic
    static constexpr int kSistolicaHipertensivaHomem = 210, kSistolicaHipertensivaMulher = 190;

    static TResultadosClinicos Calcular(const TSessao &sessao, const TPaciente &paciente,
                                        const QList<TAmostraRegistro> &amostras,
                                        const QList<TEventoRegistro> &eventos);

    // The patient's age on the test's local date.
    static TResultado<int> Idade(const TSessao &sessao, const TPaciente &paciente);
    // bpm: 220 - age, or Tanaka's 208 - 0.7 age.
    static double FcMaximaPrevista(int idade, TSessao::TFormulaFcMaxima formula);
    // Foster's VO2max in ml/kg/min for a Bruce time in minutes.
    static double Vo2maxFoster(double minutos);
    // Mark's Duke treadmill score: minutes - 5 x ST deviation (mm) - 4 x angina index (0-2).
    static double EscoreDuke(double minutosBruce, double desvioStMm, int indiceAngina);
    static TResultadosClinicos::TFaixaDuke FaixaDuke(double escore);
    // (peak - resting) / (predicted - resting); not available unless resting < predicted.
    static TResultado<double> IndiceCronotropico(int fcPico, int fcRepouso, double fcPrevista);
    // Below 0.80, or below 0.62 with a beta blocker.
    static bool IndiceCronotropicoBaixo(double indice, bool betabloqueador);
    // Each stage with the METs of its speed and grade as sent to the board.
    static QList<TResultadosClinicos::TEstagio> MetsDosEstagios(
        const QList<TResumoEstagio> &estagios);
};
