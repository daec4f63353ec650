#pragma once

#include <QMetaType>
#include <QString>

#include "protocol/estadoexecucao.h"
#include "protocol/fase.h"

// Something that happened in a run, published by the runner for display and recording.
struct TEventoExecucao {
    enum class TTipo { Estado, Estagio, Alvo, Limite, Falha, Acao };
    qint64 tempoMs = 0;  // elapsed since the start (0 before it)
    TTipo tipo = TTipo::Estado;
    TEstadoExecucao estado{};  // state after the event
    TFase fase{};
    int estagio = 0;                        // stage number, 1-based, 0 before the start
    double velocidade = 0, inclinacao = 0;  // the target involved (as sent), where one is
    // A stage's values in the protocol, before the test's limits (stage events only).
    double velocidadeProtocolo = 0, inclinacaoProtocolo = 0;
    QString texto;  // Portuguese, human readable ("Estágio 2: 4.0 km/h, 12.0 %")
};
Q_DECLARE_METATYPE(TEventoExecucao)
