#pragma once

#include <QList>
#include <QString>

#include "kestrova_protocol_export.h"
#include "protocol/etapaprotocolo.h"
#include "protocol/fase.h"
#include "protocol/passo.h"

// An exercise-test protocol: phases of steps, run in the order warm-up, exercise, recovery.
struct KESTROVA_PROTOCOL_EXPORT TProtocolo {
    QString id;  // file/built-in identifier used on the command line ("bruce")
    QString nome, descricao, fonte;
    bool embutido = false;  // built-in, read-only
    QList<TPasso> aquecimento, exercicio, recuperacao;

    // Sum of every step's duration.
    qint64 DuracaoTotalMs() const;
    // Every step in running order with its phase, stage number and start offset.
    QList<TEtapaProtocolo> Etapas() const;
    const QList<TPasso> &Passos(TFase fase) const;
    // The recovery replaced by one stage (the operator's choice for a test).
    void TrocarRecuperacao(qint64 duracaoMs, double velocidade, double inclinacao);
};
