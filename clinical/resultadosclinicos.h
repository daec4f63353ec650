#pragma once

#include <QList>
#include <QString>
#include <array>

#include "clinical/resultado.h"
#include "session/registrossessao.h"

// The clinical results of one exercise test (TAvaliacaoClinica::Calcular), each a value or not
// available with its reason. Values are unrounded; docs/clinical.md gives units and rules.
struct TResultadosClinicos {
    enum class TFaixaDuke { Baixo, Moderado, Alto };  // from +5; between; -11 and below

    // A stage of the stage table with the METs of the speed and grade sent.
    struct TEstagio {
        TResumoEstagio estagio;
        double mets = 0;
    };
    // The rate-pressure product at a blood-pressure entry.
    struct TDuploProduto {
        qint64 tempoMs = 0;
        int sistolica = 0;
        TResultado<int> fc;     // the reading nearest to the entry, within 10 s
        TResultado<int> valor;  // fc x systolic, bpm x mmHg
    };
    // A live warning as it would have been given during the test.
    struct TAviso {
        qint64 tempoMs = 0;
        QString texto;
    };

    TResultado<qint64> exercicioMs;  // the exercise phase's duration
    TResultado<double> metsPico;     // the highest workload the board acknowledged
    TResultado<double> vo2max;       // ml/kg/min, by metodoVo2max
    QString metodoVo2max;            // "Foster (Bruce)", "Foster (Bruce modificado)", ...
    TResultado<int> idade;           // years on the test's date
    TResultado<double> fcMaximaPrevista, fcAlvo;  // bpm
    TResultado<int> fcPico;                       // bpm, during exercise
    TResultado<double> fracaoFcPrevista;          // fcPico / fcMaximaPrevista
    TResultado<bool> fcAlvoAtingida;
    TResultado<double> indiceCronotropico;
    TResultado<bool> indiceCronotropicoBaixo;
    std::array<TResultado<int>, 3> recuperacaoFc;  // bpm, at 1, 2 and 3 min of recovery
    TResultado<bool> recuperacaoFcBaixa;           // 1 min: 12 bpm or less
    QList<TDuploProduto> duplosProdutos;           // one per blood-pressure entry
    TResultado<int> duploProdutoPico;
    TResultado<bool> quedaSistolicaExercicio;  // a systolic below the resting one
    TResultado<bool> aumentoSistolicoBaixo;    // peak systolic - resting < 20 mmHg
    TResultado<bool> respostaHipertensiva;     // systolic >= 210 (men), >= 190 (women)
    TResultado<double> escoreDuke;
    TResultado<TFaixaDuke> faixaDuke;
    QList<TEstagio> estagios;
    QList<TAviso> avisos;
};
