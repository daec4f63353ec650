#pragma once

#include "comport.h"
#include "kestrova_comm_export.h"

using TStatusChangedEvent = TEvent<bool, bool, bool, bool>;

// The reader of a TAdvancedCom: a TComport that also watches the four modem input lines (CTS,
// DSR, RING, RLSD). It reports the lines that are on when the port opens, then at most one line
// change after each completed read, through OnStatusChanged on the main thread.
class KESTROVA_COMM_EXPORT TAdvComport : public TComport {
    Q_OBJECT

public:
    TAdvComport(kestrova::comm::TSerialDevice *port, bool start, quint32 packetSize,
                const TPacketReceivedEvent &onPacketReceived,
                const TStatusChangedEvent &onStatusChanged);
    ~TAdvComport() override;

protected:
    void Execute() override;
    void ReadLoop() override;
    virtual void DoStatusChanged();

private:
    // Reads the lines and takes the first one that changed, in the order CTS, DSR, RING, RLSD.
    bool PollOneLineChange();

    bool ctsOn = false;
    bool dsrOn = false;
    bool ringOn = false;
    bool rlsdOn = false;
    TStatusChangedEvent FOnStatusChanged;
};
