#pragma once

#include <QEventLoop>
#include <atomic>
#include <memory>
#include <thread>

#include "heartrate/fontereproducao.h"
#include "heartrate/vigiasinal.h"
#include "protocol/executorprotocolo.h"
#include "tools/cli/protocolcsv.h"
#include "tools/cli/protocoloptions.h"
#include "tools/cli/sessionrecording.h"

class TOrvanta;

namespace protocolcli {

// "run NAME": runs a protocol on the board, printing each event with the elapsed time. Ctrl+C
// stops the belt (exit status 130); a lost link stops it too (1), since no operator can resume
// it from here; the end of the recovery exits with 0.
//
// With --hr-file a heart-rate trace is replayed on the run's own clock, its axis anchored at the
// countdown and scaled as the run; the CSV's rows carry the rate current when each is written
// (TVigiaSinal: none once the last reading is 5 s old).
//
// With --database the run is recorded as a session of orvanta-teste's database, each sample with
// that same rate (TSessionRecording); the session ends with the run, as it ended.
//
// Nothing of the run waits for the main thread: the board's answers are taken on the port's
// reader thread, and Ctrl+C is read by a thread of its own that asks the runner for the stop
// at once. There is no window to watch, so a busy main thread only delays the printing.
class TProtocolRun {
public:
    TProtocolRun(TProtocolOptions options, int port, QString device);
    ~TProtocolRun();
    int Exec();

private:
    int Open();
    void Configure(TExecutorProtocolo &runner);
    void OnEvent(const TEventoExecucao &evento);
    void OnSample(const TAmostraExecucao &amostra);
    bool OpenHeartRate();
    void StartHeartRate();
    std::optional<int> HeartRateNow() const;
    QString HeartRateSource(std::optional<int> bpm) const;
    void OnState(TEstadoExecucao estado);
    bool StartRecording();
    void RecordHeartRateNote(qint64 tempoMs, const QString &text);
    void FinishRecording(TEstadoExecucao estado);
    void StartInterruptWatch();
    void StopInterruptWatch();
    void WatchInterrupts();
    void WarnAboutTimeScale() const;

    TProtocolOptions FOptions;
    int FPort;
    QString FDevice;
    std::shared_ptr<TRelogio> FClock;  // the runner's, and the heart-rate replay's
    std::unique_ptr<TOrvanta> FBoard;
    std::unique_ptr<TExecutorProtocolo> FRunner;
    TProtocolCsv FCsv;
    std::unique_ptr<TFonteReproducao> FHeartRate;
    TVigiaSinal FHeartSignal;
    QList<int> FPendingRr;  // ms, the RR intervals read since the last sample
    std::unique_ptr<TSessionRecording> FRecording;
    TAmostraExecucao FLastSample;
    bool FFinalSample = false;  // the last sample, in the state the run ended with, came
    TEstadoExecucao FEndState = TEstadoExecucao::Parado;
    std::optional<int> FExitStatus;  // the run's outcome, while its last sample is awaited
    QEventLoop FLoop;
    std::thread FInterruptWatch;
    std::atomic<bool> FInterrupted{false};
    int FResult = -1;            // set once the run's outcome is known
    bool FCountingDown = false;  // the runner entered its countdown
};

}  // namespace protocolcli
