#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <variant>

// Plain records of the session database. Phases and states are the runner's enumerations stored
// as their integer values; the texts beside them are what the operator saw.

// The patient block of a test.
struct TPaciente {
    qint64 id = 0;
    QString nome, identificador, nascimento, sexo, peso, altura, medico, observacoes;
};

// One row of the sessions table.
struct TSessao {
    // ParadaNaoConfirmada: the test ended but the board never acknowledged the stop.
    enum class TSituacao { EmAndamento, Concluida, Parada, Interrompida, ParadaNaoConfirmada };
    qint64 id = 0;
    qint64 pacienteId = 0;
    QString protocoloId, protocoloNome, protocoloPassos;  // passos: one line per step, as shown
    double velocidadeMaxima = 0, inclinacaoMaxima = 0;
    qint64 recuperacaoMs = 0;
    double recuperacaoVelocidade = 0, recuperacaoInclinacao = 0;
    QDateTime inicio, fim;  // UTC
    qint64 duracaoMs = 0;
    TSituacao situacao = TSituacao::EmAndamento;
    QString motivoParada, comentarios;
    QString peso, altura;  // the patient's on the test's day, as typed; empty in older records
    QString estacao;       // the station that ran it; empty in older records

    // The clinical inputs of the test (docs/clinical.md): at the set-up the beta blocker, the
    // resting values, the predicted-maximum formula, the target percentage and the heart-rate
    // limit; after the test the ST deviation and the angina index. Empty: not informed (and
    // NULL in the file; older records have them so).
    enum class TFormulaFcMaxima { Idade220, Tanaka };  // 220 - age; Tanaka 208 - 0.7 age
    bool betabloqueador = false;
    std::optional<int> fcRepouso;                            // bpm
    std::optional<int> sistolicaRepouso, diastolicaRepouso;  // mmHg
    std::optional<double> desvioStMm;                        // the largest ST deviation, mm
    std::optional<int> indiceAngina;  // 0 none, 1 angina, 2 angina that stopped the test
    TFormulaFcMaxima formulaFcMaxima = TFormulaFcMaxima::Idade220;
    double percentualFcAlvo = 85;  // % of the predicted maximum
    std::optional<int> fcLimite;   // bpm; empty: the predicted maximum
};

// One sample a second while a test runs.
struct TAmostraRegistro {
    qint64 tempoMs = 0;
    int estado = 0, fase = 0, estagio = 0;
    double velocidadeAlvo = 0, inclinacaoAlvo = 0;
    double velocidadeConfirmada = 0, inclinacaoConfirmada = 0;
    bool linkOk = true;
    // The heart rate of this second and the source that gave it; 0 and empty when there was
    // none (no sensor, no signal): never the last value carried over.
    int frequenciaCardiaca = 0;
    QString fonteFc;
    QList<int> intervalosRR;  // ms, the RR intervals the sensor sent during this second
};

// A runner event or an operator entry. `tipo` names the kind ("estado", "estagio", "alvo",
// "limite", "falha", "acao" from the runner; "fc", "pa", "borg", "comentario", "motivo" from the
// operator). valor1/valor2: heart rate; systolic/diastolic pressure; Borg; for "estagio", the
// protocol's own speed and grade for the stage (velocidade/inclinacao: what was sent, within the
// test's limits; both 0 in older recordings).
struct TEventoRegistro {
    qint64 tempoMs = 0;
    QString tipo;
    int estado = 0, fase = 0, estagio = 0;
    double velocidade = 0, inclinacao = 0;
    QString texto;
    double valor1 = 0, valor2 = 0;
};

// A stage as the report's table shows it.
struct TResumoEstagio {
    int estagio = 0, fase = 0;
    qint64 inicioMs = 0, fimMs = 0;
    double velocidade = 0, inclinacao = 0;  // sent to the board (within the test's limits)
    // The protocol's own speed and grade for the stage where they differ from what was sent;
    // 0 when they are the same or unknown (recordings older than these values).
    double velocidadeProtocolo = 0, inclinacaoProtocolo = 0;
    int frequenciaCardiaca = 0;  // 0: none entered
    int pressaoSistolica = 0, pressaoDiastolica = 0;
    qint64 pressaoMs = 0;  // when the pressure shown was entered
    int borg = 0;
    // Left before its planned end by the operator ("próximo estágio", "ir para a recuperação"),
    // and held within it (paused, or the link lost). Not stored in the estagios table.
    bool pulado = false, espera = false;
};

// A record a running test produces, as the recorder queues it.
using TRegistroSessao = std::variant<TAmostraRegistro, TEventoRegistro>;
