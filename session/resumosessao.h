#pragma once

#include <QList>
#include <QString>

#include "kestrova_session_export.h"
#include "session/registrossessao.h"

// What the report shows of a recorded test: its stage table and its peaks, computed from the
// samples and events as stored.
class KESTROVA_SESSION_EXPORT TResumoSessao {
public:
    struct TPicos {
        double velocidade = 0, inclinacao = 0;  // acknowledged by the board
        int frequenciaCardiaca = 0;
        int pressaoSistolica = 0, pressaoDiastolica = 0;
        int borg = 0;
        qint64 exercicioMs = 0;  // time in the exercise phase
    };

    // One row per stage in the order run: from the "estagio" events, or from the samples when
    // there is none. Heart rate, pressure and Borg are the last entered during the stage; without
    // a typed heart rate, the last one a sensor measured in it. The peak heart rate is the
    // highest typed or measured. The
    // protocol's speed and grade come from the stage event's valor1/valor2. A stage is marked
    // skipped by the operator's "próximo estágio" or "ir para a recuperação" recorded in it, and
    // held by a record in it in the paused or lost-link state.
    static QList<TResumoEstagio> Estagios(const QList<TAmostraRegistro> &amostras,
                                          const QList<TEventoRegistro> &eventos);
    static TPicos Picos(const QList<TAmostraRegistro> &amostras,
                        const QList<TEventoRegistro> &eventos);
    // "Aquecimento", "Exercício", "Recuperação" for the runner's phase values.
    // Kept in Portuguese in every language: the CSV export writes it.
    static QString NomeFase(int fase);
    // NomeFase in the language installed, for display.
    static QString NomeFaseExibido(int fase);
    // m:ss
    static QString Tempo(qint64 ms);
};
