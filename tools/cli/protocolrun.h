#pragma once

#include <QEventLoop>
#include <memory>

#include "protocol/executorprotocolo.h"
#include "tools/cli/protocolcsv.h"
#include "tools/cli/protocoloptions.h"

class QSocketNotifier;
class TOrvanta;

namespace protocolcli {

// "run NAME": runs a protocol on the board, printing each event with the elapsed time. Ctrl+C
// stops the belt (exit status 130); a lost link stops it too (1), since no operator can resume
// it from here; the end of the recovery exits with 0.
class TProtocolRun {
public:
    TProtocolRun(TProtocolOptions options, int port, QString device);
    ~TProtocolRun();
    int Exec();

private:
    int Open();
    void Configure(TExecutorProtocolo &runner);
    void OnEvent(const TEventoExecucao &evento);
    void OnState(TEstadoExecucao estado);
    void OnInterrupt();
    void WarnAboutTimeScale() const;

    TProtocolOptions FOptions;
    int FPort;
    QString FDevice;
    std::unique_ptr<TOrvanta> FBoard;
    std::unique_ptr<TExecutorProtocolo> FRunner;
    TProtocolCsv FCsv;
    QEventLoop FLoop;
    std::unique_ptr<QSocketNotifier> FInterrupt;
    int FResult = -1;  // set once the run's outcome is known
};

}  // namespace protocolcli
