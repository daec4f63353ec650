#pragma once

#include <QMetaType>
#include <QtGlobal>

#include "protocol/estadoexecucao.h"
#include "protocol/fase.h"

// The run's state, published once a second while it runs.
struct TAmostraExecucao {
    qint64 tempoMs = 0;
    TEstadoExecucao estado{};
    TFase fase{};
    int estagio = 0;
    qint64 tempoNoEstagioMs = 0, tempoParaProximoMs = 0;  // -1 when there is no next stage
    double velocidadeAlvo = 0, inclinacaoAlvo = 0;
    double velocidadeConfirmada = 0, inclinacaoConfirmada = 0;  // last acknowledged by the board
    // Whether the board acknowledged a value of that axis in this test (0 above when not).
    bool velocidadeConhecida = false, inclinacaoConhecida = false;
    bool linkOk = true;
};
Q_DECLARE_METATYPE(TAmostraExecucao)
