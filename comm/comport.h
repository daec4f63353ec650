#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "kestrova_comm_export.h"
#include "platform/event.h"
#include "platform/mainthreadhandoff.h"

namespace kestrova::comm {
class TSerialDevice;
}

using TPacketReceivedEvent = TEvent<QByteArray &>;

// The reader thread of an open TComThread: it reads the port continuously and hands every
// non-empty chunk to the main thread, where OnPacketReceived runs with this object as sender
// while the reader waits for it. It stops when asked (Terminate) or when a read fails.
class KESTROVA_COMM_EXPORT TComport : public QObject {
    Q_OBJECT

public:
    // port is not owned and must outlive the reader. With start false, Start() begins reading.
    TComport(kestrova::comm::TSerialDevice *port, bool start, quint32 packetSize,
             const TPacketReceivedEvent &onPacketReceived);
    // Terminates and waits for the thread to end.
    ~TComport() override;

    // With true (before Start), every handler runs on the reader thread itself, at once, with
    // no hand-off: received data then needs no event loop. Handlers must then not touch widgets.
    void SetDeliverOnOwnThread(bool value) { FDeliverOnOwnThread = value; }
    bool DeliversOnOwnThread() const { return FDeliverOnOwnThread; }

    void Start();
    // Asks the thread to stop: no handler is called from now on, a pending hand-off to the main
    // thread is abandoned and a read in progress returns at once. Any thread, also a handler.
    void Terminate();
    // Waits for the thread to end. Never call it from the reader's own handlers' thread while
    // the reader could still be handing over, unless Terminate was called first.
    void WaitFor();

    bool Terminated() const { return FTerminated.load(); }
    // True on the reader thread itself.
    bool OnOwnThread() const;
    bool Running() const { return FRunning.load(); }
    // Held while a chunk is checked and delivered; DiscardInput holds it too, so a chunk found
    // current is handled before a discard can begin (the discard may come from another thread).
    std::shared_ptr<std::recursive_mutex> DeliveryGate() const { return FDeliveryGate; }
    // "Read Error: <code>" once a read failure stopped the thread, else empty.
    QString FailureMessage() const;

    // Called on the reader thread when a read failure stops it, with the failure text.
    std::function<void(const QString &)> OnReadFailure;

protected:
    virtual void Execute();
    virtual void ReadLoop();
    void CopyPacket(const char *data, quint32 count);
    virtual void DoPacketReceived();

    // One read and, for a non-empty chunk, its delivery. False when the read failed.
    bool ReadPacket();
    // Runs work on the main thread and waits for it (on the reader thread at once when
    // delivering there), unless termination was requested.
    bool Synchronize(const std::function<void()> &work);
    // Runs a user handler; an exception it raises is traced and goes no further, so the reader
    // keeps delivering (an exception in Qt's event loop would end the loop and leave the reader
    // blocked in its hand-off).
    static void CallHandler(const char *event, const std::function<void()> &handler);
    kestrova::comm::TSerialDevice *Port() const { return FPort; }

private:
    void Run();
    void RecordFailure(quint32 code);

    QByteArray FReceived;
    std::shared_ptr<std::recursive_mutex> FDeliveryGate = std::make_shared<std::recursive_mutex>();
    std::uint64_t FReceivedGeneration = 0;  // the port's input generation when its read began
    std::atomic<bool> FRunning{true};
    bool FDeliverOnOwnThread = false;  // set before the thread starts
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFailed{false};
    kestrova::comm::TSerialDevice *FPort;
    quint32 FPacketSize;
    QByteArray FReadBuffer;
    TPacketReceivedEvent FOnPacketReceived;
    TMainThreadHandOff FHandOff;
    mutable std::mutex FFailureMutex;
    QString FFailure;
    std::thread FThread;
};
