#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "comport.h"
#include "kestrova_comm_export.h"
#include "serialdevice.h"

// A serial port component. Set the line parameters, call ComInit to open and configure the port,
// then test Opened(); Write sends bytes, and every chunk the reader thread receives arrives on the
// main thread through OnPacketReceived. ComClose (also run by the destructor) stops the reader
// and releases the port. Settings are frozen while the port is open.
//
// Use the component from the thread that owns it (the main thread); only Write may also be
// called from another thread, one call at a time.
class KESTROVA_COMM_EXPORT TComThread : public QObject {
    Q_OBJECT
    Q_PROPERTY(quint32 BufSize READ BufSize WRITE SetBufSize)
    Q_PROPERTY(quint32 Baud READ Baud WRITE SetBaud)
    Q_PROPERTY(quint32 DataBits READ DataBits WRITE SetDataBits)
    Q_PROPERTY(TParity Parity READ Parity WRITE SetParity)
    Q_PROPERTY(TStopBits StopBits READ StopBits WRITE SetStopBits)
    Q_PROPERTY(quint32 Port READ Port WRITE SetPort)
    Q_PROPERTY(quint32 PacketSize READ PacketSize WRITE SetPacketSize)
    Q_PROPERTY(quint32 Timeout READ Timeout WRITE SetTimeout)
    Q_CLASSINFO("palette", "Extras")
    Q_CLASSINFO("default:BufSize", "128")
    Q_CLASSINFO("default:Baud", "19200")
    Q_CLASSINFO("default:DataBits", "8")
    Q_CLASSINFO("default:Parity", "none")
    Q_CLASSINFO("default:StopBits", "s1")
    Q_CLASSINFO("default:Port", "1")
    Q_CLASSINFO("default:PacketSize", "80")
    Q_CLASSINFO("default:Timeout", "100")

public:
    enum TParity : unsigned char { none, odd, even, mark, space };
    Q_ENUM(TParity)
    enum TStopBits : unsigned char { s1, s1_5, s2 };
    Q_ENUM(TStopBits)

    using TDeviceFactory = std::function<std::unique_ptr<kestrova::comm::TSerialDevice>()>;

    explicit TComThread(QObject *Owner = nullptr);
    ~TComThread() override;

    // True after the last ComInit configured the port completely; false after a failed ComInit
    // or a Write on a closed port.
    bool Opened() const { return FOpened.load(); }
    // The last failure recorded by ComInit, by Write on a closed port, or by the reader thread
    // when a read failure stopped it ("Read Error: <code>").
    QString ErrorMessage() const;
    // True while the port is open (the reader thread exists).
    bool IsOpen() const { return FReader != nullptr; }
    // True while the reader thread reads; false once a read failure (a lost device) stopped it.
    bool ReaderRunning() const { return FReader && FReader->Running(); }
    // The device the last ComInit opened or tried to open (see portname.h).
    QString DeviceName() const { return FDeviceName; }
    // The OS error code behind the last ComInit failure (errno on POSIX), 0 when none is known.
    int OpenErrorCode() const { return FOpenErrorCode; }

    quint32 BufSize() const { return FBufSize; }
    quint32 Baud() const { return FBaud; }
    quint32 DataBits() const { return FDataBits; }
    TParity Parity() const { return FParity; }
    TStopBits StopBits() const { return FStopBits; }
    quint32 Port() const { return FPort; }
    quint32 PacketSize() const { return FPacketSize; }
    quint32 Timeout() const { return FTimeout; }

    // Each setter raises Exception while the port is open; a value takes effect at the next
    // ComInit.
    virtual void SetBufSize(quint32 value);
    virtual void SetBaud(quint32 value);
    virtual void SetDataBits(quint32 value);
    virtual void SetParity(TParity value);
    virtual void SetStopBits(TStopBits value);
    virtual void SetPort(quint32 value);
    virtual void SetPacketSize(quint32 value);
    virtual void SetTimeout(quint32 value);

    // (Re)opens and configures the port and starts the reader. A port that cannot be opened is
    // not raised: test Opened(). Raises Exception when no QCoreApplication exists, since
    // received data is delivered on its main thread.
    void ComInit();
    // Stops the reader and releases the port; nothing happens when the port is not open. Called
    // on the reader's own thread (a handler run there once the application object is gone), the
    // reader is stopped and released later, from another thread, by ComInit, ComClose or the
    // destructor.
    void ComClose();
    // Sends the bytes and returns once the driver has taken them. Raises "Send Timeout" or
    // "Send Error: <code>"; on a closed port records "Com not initialized." instead.
    void Write(const QByteArray &data);
    void Write(const char *buffer, int count);
    // Discards both driver queues and aborts pending transfers.
    void Purge();
    // Discards every byte received so far, including a chunk read but not yet delivered: no
    // OnPacketReceived comes for them. Call it before writing a frame whose answer is awaited.
    void DiscardInput();

    // Replaces the OS backend used by the next ComInit (tests, simulated ports). An empty
    // factory restores the system backend.
    void SetDeviceFactory(TDeviceFactory factory);

    // Raised on the main thread for each chunk received; the binding is copied at ComInit.
    TPacketReceivedEvent OnPacketReceived;

    // Off by default. On (set before ComInit), OnPacketReceived and the status events run on the
    // reader thread as each chunk arrives, without the main thread: for an owner whose
    // exchanges must not wait for a busy event loop. The handlers must then be thread-safe and
    // touch no widget. Raises Exception while the port is open.
    void SetDeliverOnReaderThread(bool value);
    bool DeliversOnReaderThread() const { return FDeliverOnReaderThread; }

signals:
    // A read failure stopped the reader: the device is gone (a USB adapter pulled). Emitted on the
    // reader thread, so receivers on the main thread get it queued. message: "Read Error: <code>".
    void DeviceLost(const QString &message);

protected:
    void InitPort();
    virtual void SetupState();
    virtual void SetupThread();

    // Fills the base line settings (rate, data bits, parity, stop bits) into a control block.
    void FillLineState(kestrova::comm::TLineState &state) const;
    // Starts reader and makes its read failures known through ErrorMessage.
    void StartReader(std::unique_ptr<TComport> reader);
    kestrova::comm::TSerialDevice *Device() const { return FDevice.get(); }
    bool PortHandleValid() const { return FDevice && FDevice->IsOpen(); }
    void RefuseWhileOpen(const char *message) const;
    void SetErrorMessage(const QString &message);

private:
    void ReleaseRetiredReader();

    std::atomic<bool> FOpened{false};
    bool FDeliverOnReaderThread = false;
    QString FDeviceName;
    int FOpenErrorCode = 0;
    mutable std::mutex FErrorMutex;
    QString FErrorMessage;
    std::unique_ptr<TComport> FReader;
    std::unique_ptr<kestrova::comm::TSerialDevice> FDevice;
    // A reader closed from its own thread, and its device, waiting to be joined and closed.
    std::unique_ptr<TComport> FRetiredReader;
    std::unique_ptr<kestrova::comm::TSerialDevice> FRetiredDevice;
    TDeviceFactory FDeviceFactory;
    quint32 FPacketSize = 80;
    quint32 FBaud = 19200;
    quint32 FDataBits = 8;
    TParity FParity = none;
    TStopBits FStopBits = s1;
    quint32 FBufSize = 128;
    quint32 FPort = 1;
    quint32 FTimeout = 100;
};
