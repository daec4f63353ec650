#pragma once

#include "advcomport.h"
#include "comthread.h"
#include "kestrova_comm_export.h"

// A TComThread with control of the DTR and RTS output lines and a report of the four modem input
// lines through OnStatusChanged.
//
// On POSIX systems: rtsHandshake is hardware flow control (CRTSCTS); rtsToggle uses the driver's
// RS-485 RTS-on-send mode where it has one, else raises RTS around each write by hand;
// dtrHandshake has no equivalent and makes ComInit fail with a message saying so.
class KESTROVA_COMM_EXPORT TAdvancedCom : public TComThread {
    Q_OBJECT
    Q_PROPERTY(TDtrControl DtrControl READ DtrControl WRITE SetDtrControl)
    Q_PROPERTY(TRtsControl RtsControl READ RtsControl WRITE SetRtsControl)
    Q_CLASSINFO("default:DtrControl", "dtrEnable")
    Q_CLASSINFO("default:RtsControl", "rtsToggle")

public:
    enum TDtrControl : unsigned char { dtrDisable, dtrEnable, dtrHandshake };
    Q_ENUM(TDtrControl)
    enum TRtsControl : unsigned char { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
    Q_ENUM(TRtsControl)

    explicit TAdvancedCom(QObject *Owner = nullptr);
    ~TAdvancedCom() override;

    TDtrControl DtrControl() const { return FDtrControl; }
    TRtsControl RtsControl() const { return FRtsControl; }

    // Refused while the port is open; effective at the next ComInit.
    virtual void SetDtrControl(TDtrControl value);
    virtual void SetRtsControl(TRtsControl value);
    // Raise (true) or drop (false) the line at once. Refused on a closed port and in handshake
    // mode; a failure of the OS call itself is not reported.
    virtual void SetDtr(bool on);
    virtual void SetRts(bool on);

    // Raised on the main thread with CTS, DSR, RING, RLSD; the binding is copied at ComInit.
    TStatusChangedEvent OnStatusChanged;

protected:
    void SetupThread() override;
    void SetupState() override;

private:
    TDtrControl FDtrControl = dtrEnable;
    TRtsControl FRtsControl = rtsToggle;
};
