#include "comthread.h"

#include <QCoreApplication>

#include "platform/exception.h"
#include "platform/trace.h"
#include "portname.h"

using namespace kestrova::comm;

namespace {

constexpr const char *kInvalidStopBits =
    "1.5 Stop Bits with 6,7, or 8 Data Bits is an invalid combination";

}  // namespace

TComThread::TComThread(QObject *Owner) : QObject(Owner) {}

TComThread::~TComThread()
{
    ComClose();
    if (FRetiredReader) {
        // Destroyed by a handler on the reader's own thread: that thread cannot be joined from
        // itself, and destroying its object under it would be fatal. Leave both to it.
        Trace(QStringLiteral("Port destroyed on its reader thread; the reader is left to end"));
        (void)FRetiredReader.release();
        (void)FRetiredDevice.release();
    }
}

QString TComThread::ErrorMessage() const
{
    std::lock_guard lock(FErrorMutex);
    return FErrorMessage;
}

void TComThread::SetErrorMessage(const QString &message)
{
    std::lock_guard lock(FErrorMutex);
    FErrorMessage = message;
}

void TComThread::RefuseWhileOpen(const char *message) const
{
    if (FReader) {
        throw Exception(QString::fromLatin1(message));
    }
}

void TComThread::SetBufSize(quint32 value)
{
    RefuseWhileOpen("Buffer can only be resized before ComInit()!");
    FBufSize = value;
}

void TComThread::SetBaud(quint32 value)
{
    RefuseWhileOpen("Baud rate can only be set before ComInit()!");
    FBaud = value;
}

void TComThread::SetDataBits(quint32 value)
{
    if (value > 5 && FStopBits == s1_5) {
        throw Exception(QString::fromLatin1(kInvalidStopBits));
    }
    RefuseWhileOpen("Data bits can only be set before ComInit()!");
    FDataBits = value;
}

void TComThread::SetParity(TParity value)
{
    RefuseWhileOpen("Parity can only be set before ComInit()!");
    FParity = value;
}

void TComThread::SetStopBits(TStopBits value)
{
    if (value == s1_5 && FDataBits > 5) {
        throw Exception(QString::fromLatin1(kInvalidStopBits));
    }
    RefuseWhileOpen("Stop bits can only be set before ComInit()!");
    FStopBits = value;
}

void TComThread::SetPort(quint32 value)
{
    RefuseWhileOpen("Port can only be set before ComInit()!");
    FPort = value;
}

void TComThread::SetPacketSize(quint32 value)
{
    RefuseWhileOpen("Packet Size can only be set before ComInit()!");
    FPacketSize = value;
}

void TComThread::SetTimeout(quint32 value)
{
    RefuseWhileOpen("Timeout can only be set before ComInit()!");
    FTimeout = value;
}

void TComThread::SetDeviceFactory(TDeviceFactory factory)
{
    FDeviceFactory = std::move(factory);
}

void TComThread::ComInit()
{
    if (!QCoreApplication::instance()) {
        throw Exception(QStringLiteral(
            "ComInit needs a QCoreApplication: received data is delivered on its main thread."));
    }
    ComClose();
    InitPort();
    SetupThread();
}

void TComThread::InitPort()
{
    const std::string name = PortDeviceName(FPort);
    FDeviceName = QString::fromStdString(name);
    FOpenErrorCode = 0;
    try {
        FDevice = FDeviceFactory ? FDeviceFactory() : CreateSystemSerialDevice();
        if (!FDevice) {
            throw TSerialError("Comport Unavailable.", "no serial backend");
        }
        FDevice->Open(name);
        SetupState();
        TReadTimeouts timeouts = FDevice->GetTimeouts();
        timeouts.interval = FTimeout / 10 + 1;
        timeouts.totalMultiplier = FTimeout / 10 + 1;
        timeouts.totalConstant = FTimeout;
        FDevice->SetTimeouts(timeouts);
        FDevice->SetQueueSizes(FBufSize, FBufSize);
        FOpened = true;
        return;
    } catch (const TSerialError &error) {
        SetErrorMessage(QString::fromStdString(error.what()));
        FOpenErrorCode = error.OsError();
        Trace(QStringLiteral("%1 (%2: %3)")
                  .arg(QString::fromStdString(error.what()), QString::fromStdString(name),
                       QString::fromStdString(error.Detail())));
    } catch (const Exception &error) {
        SetErrorMessage(error.Message());
    }
    FDevice.reset();
    FOpened = false;
}

void TComThread::FillLineState(TLineState &state) const
{
    state.baudRate = FBaud;
    state.byteSize = static_cast<std::uint8_t>(FDataBits & 0xFF);
    state.parity = FParity;
    state.stopBits = FStopBits;
}

void TComThread::SetupState()
{
    TLineState state = FDevice->GetState();
    FillLineState(state);
    FDevice->SetState(state);
}

void TComThread::SetupThread()
{
    if (PortHandleValid()) {
        StartReader(
            std::make_unique<TComport>(FDevice.get(), false, FPacketSize, OnPacketReceived));
    }
}

void TComThread::SetDeliverOnReaderThread(bool value)
{
    RefuseWhileOpen("DeliverOnReaderThread can only be set before ComInit()!");
    FDeliverOnReaderThread = value;
}

void TComThread::StartReader(std::unique_ptr<TComport> reader)
{
    reader->SetDeliverOnOwnThread(FDeliverOnReaderThread);
    reader->OnReadFailure = [this](const QString &message) {
        SetErrorMessage(message);
        emit DeviceLost(message);
    };
    FReader = std::move(reader);
    FReader->Start();
}

void TComThread::ComClose()
{
    ReleaseRetiredReader();
    if (!FReader) {
        return;
    }
    // The reader leaves at once: its read is woken and a pending hand-off to this thread is
    // abandoned, so no event pumping is needed and closing from inside a handler is safe.
    FReader->Terminate();
    if (FReader->OnOwnThread()) {
        FRetiredReader = std::move(FReader);
        FRetiredDevice = std::move(FDevice);
        return;
    }
    FReader->WaitFor();
    FReader.reset();
    FDevice->Close();
    FDevice.reset();
}

void TComThread::Write(const QByteArray &data)
{
    Write(data.constData(), int(data.size()));
}

void TComThread::Write(const char *buffer, int count)
{
    if (!FReader) {
        FOpened = false;
        SetErrorMessage(QStringLiteral("Com not initialized."));
        return;
    }
    if (count < 1) {
        return;
    }
    try {
        FDevice->Write(buffer, std::uint32_t(count), WriteWaitLimitMs(std::uint32_t(count), FBaud));
    } catch (const TSerialError &error) {
        Trace(QStringLiteral("%1 (%2)").arg(QString::fromStdString(error.what()),
                                            QString::fromStdString(error.Detail())));
        throw Exception(QString::fromStdString(error.what()));
    }
}

void TComThread::ReleaseRetiredReader()
{
    if (!FRetiredReader || FRetiredReader->OnOwnThread()) {
        return;
    }
    FRetiredReader.reset();  // joins the thread, which was told to end
    FRetiredDevice->Close();
    FRetiredDevice.reset();
}

void TComThread::DiscardInput()
{
    if (!FDevice) {
        return;
    }
    if (!FReader) {
        FDevice->DiscardInput();
        return;
    }
    const std::shared_ptr<std::recursive_mutex> gate = FReader->DeliveryGate();
    std::lock_guard lock(*gate);
    FDevice->DiscardInput();
}

void TComThread::Purge()
{
    if (FDevice) {
        FDevice->Purge();
    }
}
