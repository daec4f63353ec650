#pragma once

#include <QString>
#include <memory>

#include "protocol/protocolo.h"
#include "session/bancosessoes.h"
#include "session/gravadorsessao.h"
#include "tools/cli/recordoptions.h"

namespace protocolcli {

// Records a run as a session of orvanta-teste's database: the patient (the row with the same
// name, birth date and sex, else a new one), the session with the set-up's clinical inputs, the
// samples and events through TGravadorSessao, and the end with its situation and stage table.
class TSessionRecording {
public:
    explicit TSessionRecording(TRecordOptions options);
    // Close, its warning on standard error.
    ~TSessionRecording();

    // Opens (creating it when missing) the database and checks it can take a test.
    bool Open(QString *error);
    // Stores the patient and starts the session of `protocolo` as it runs (its recovery
    // included) within the test's limits.
    bool Start(const TProtocolo &protocolo, double maxSpeed, double maxGrade, QString *error);
    bool Started() const { return FRecorder != nullptr; }
    qint64 SessionId() const { return FSessao.id; }
    QString DatabasePath() const { return FDatabase.Caminho(); }
    void Sample(const TAmostraRegistro &amostra);
    void Event(const TEventoRegistro &evento);
    // Waits for what was queued, then writes the session's end; once.
    bool Finish(TSessao::TSituacao situacao, qint64 duracaoMs, const QString &motivo,
                QString *error);
    // Commits what is left and ends the recorder; false with *warning when records went to the
    // side file or were lost.
    bool Close(QString *warning);

    // The protocol's steps as the session stores them: one line a step, its phase, stage,
    // duration, speed and grade separated by tabs.
    static QString Steps(const TProtocolo &protocolo);

private:
    qint64 Patient(QString *error);

    TRecordOptions FOptions;
    TBancoSessoes FDatabase{QStringLiteral("orvanta-ctl-sessoes")};
    TSessao FSessao;
    std::unique_ptr<TGravadorSessao> FRecorder;
    bool FFinished = false;
};

}  // namespace protocolcli
