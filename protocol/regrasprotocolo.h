#pragma once

#include <QList>
#include <QString>

#include "kestrova_protocol_export.h"
#include "protocol/fase.h"
#include "protocol/protocolo.h"
#include "protocol/unidadevelocidade.h"

// The rules a user protocol keeps (docs/protocols.md), with the sentences that report a broken
// one. The file loader and the protocol editor both judge with these, so a value the editor
// accepts is one the loader reads, and each problem reads the same in both.
class KESTROVA_PROTOCOL_EXPORT TRegrasProtocolo {
public:
    static constexpr qint64 kDuracaoMaximaMs = 24 * 3600 * 1000;

    // One problem: where ("exercicio, passo 2", or empty for the protocol as a whole), the file's
    // key it concerns ("duracao_s", "velocidade_final", "nome", "exercicio") and the sentence,
    // as the loader reports it ("exercicio, passo 2: \"duracao_s\" ausente").
    struct TProblema {
        TFase fase = TFase::Exercicio;
        int passo = -1;  // 0-based step within the phase; -1: the protocol's own
        QString chave;
        QString texto;
    };

    // The file's key of a phase ("aquecimento", "exercicio", "recuperacao").
    static QString ChaveFase(TFase fase);
    // "exercicio, passo 2" for the second step (index 1) of the exercise.
    static QString Onde(TFase fase, int passo);
    // A step's keys in the file, in the order the loader reads them.
    static QString ChaveVelocidade(TPasso::TTipo tipo, bool final);
    static QString ChaveInclinacao(TPasso::TTipo tipo, bool final);

    // Each returns the problem, or an empty text when the value is accepted.
    static QString Ausente(const QString &onde, const QString &chave);
    static QString NaoNumero(const QString &onde, const QString &chave);
    // A duration of the given seconds, kept to the millisecond: above 0 ms, at most 86400 s.
    static QString Duracao(const QString &onde, double segundos);
    // The value and the range in `unidade`, the one the speed was typed in (a file's: km/h).
    static QString Velocidade(const QString &onde, const QString &chave, double kmh,
                              const TUnidadeVelocidade &unidade = TUnidadeVelocidade());
    static QString Inclinacao(const QString &onde, const QString &chave, double pct);
    static QString Nome(const QString &nome);
    static QString ExercicioVazio(int passos);
    // A user file's identifier: not empty, not a built-in's nor the ramp generator's.
    static QString Identificador(const QString &id);

    // Every problem of a protocol's values, in the order the loader meets them.
    static QList<TProblema> Verificar(const TProtocolo &protocolo);
    // The file's duration of a number of seconds (the loader's rounding to the millisecond).
    static qint64 DuracaoMs(double segundos);
};
