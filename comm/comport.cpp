#include "comport.h"

#include <algorithm>

#include "platform/exception.h"
#include "platform/trace.h"
#include "serialdevice.h"

using kestrova::comm::TReadResult;

TComport::TComport(kestrova::comm::TSerialDevice *port, bool start, quint32 packetSize,
                   const TPacketReceivedEvent &onPacketReceived)
    : FPort(port),
      // A read of 0 bytes completes at once and would spin the thread: read at least one.
      FPacketSize(std::max<quint32>(packetSize, 1)),
      FReadBuffer(qsizetype(FPacketSize) + 1, '\0'),
      FOnPacketReceived(onPacketReceived)
{
    if (start) {
        Start();
    }
}

TComport::~TComport()
{
    Terminate();
    WaitFor();
}

void TComport::Start()
{
    if (!FThread.joinable()) {
        FThread = std::thread([this] { Run(); });
    }
}

void TComport::Terminate()
{
    FTerminated = true;
    FHandOff.Cancel();
    if (FPort) {
        FPort->WakeReader();
    }
}

void TComport::WaitFor()
{
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) {
        FThread.join();
    }
}

QString TComport::FailureMessage() const
{
    std::lock_guard lock(FFailureMutex);
    return FFailure;
}

void TComport::Run()
{
    Execute();
    FRunning = false;
}

void TComport::Execute()
{
    FRunning = true;
    while (!Terminated() && !FFailed) {
        ReadLoop();
    }
    FRunning = false;
}

void TComport::ReadLoop()
{
    while (!Terminated() && ReadPacket()) {
    }
}

bool TComport::ReadPacket()
{
    const std::uint64_t generation = FPort->InputGeneration();
    const TReadResult result = FPort->Read(FReadBuffer.data(), FPacketSize);
    if (result.Failed()) {
        RecordFailure(result.errorCode);
        return false;
    }
    if (result.count == 0) {
        return true;
    }
    CopyPacket(FReadBuffer.constData(), result.count);
    FReceivedGeneration = generation;
    if (!Terminated()) {
        Synchronize([this] { DoPacketReceived(); });
    }
    return true;
}

void TComport::CopyPacket(const char *data, quint32 count)
{
    FReceived = QByteArray(data, qsizetype(count));
}

// Runs on the main thread. The handler gets its own copies of the binding and the bytes: it may
// close the port, which destroys this object before the handler returns.
void TComport::DoPacketReceived()
{
    if (!FOnPacketReceived || Terminated()) {
        return;
    }
    QByteArray buffer = std::move(FReceived);
    // Copied: the handler may destroy this object.
    const std::shared_ptr<std::recursive_mutex> gate = FDeliveryGate;
    std::lock_guard lock(*gate);
    // Input discarded since this chunk's read began (a frame is about to be written): its bytes
    // arrived before that frame and must not be taken for its answer.
    if (FReceivedGeneration != FPort->InputGeneration()) {
        Trace(QStringLiteral("Discarded %1 stale byte(s): %2")
                  .arg(buffer.size())
                  .arg(QString::fromLatin1(buffer.toHex(' '))));
        return;
    }
    TPacketReceivedEvent handler = FOnPacketReceived;
    CallHandler("OnPacketReceived", [&] { handler(this, buffer); });
}

void TComport::CallHandler(const char *event, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const Exception &error) {
        Trace(QStringLiteral("%1 handler raised: %2").arg(QLatin1String(event), error.Message()));
    } catch (const std::exception &error) {
        Trace(QStringLiteral("%1 handler raised: %2")
                  .arg(QLatin1String(event), QString::fromLocal8Bit(error.what())));
    } catch (...) {
        Trace(QStringLiteral("%1 handler raised an unknown exception").arg(QLatin1String(event)));
    }
}

bool TComport::OnOwnThread() const
{
    return FThread.get_id() == std::this_thread::get_id();
}

bool TComport::Synchronize(const std::function<void()> &work)
{
    if (Terminated()) {
        return false;
    }
    if (FDeliverOnOwnThread) {
        work();
        return true;
    }
    return FHandOff.Call(work);
}

void TComport::RecordFailure(quint32 code)
{
    const QString text = QStringLiteral("Read Error: %1").arg(code);
    {
        std::lock_guard lock(FFailureMutex);
        FFailure = text;
    }
    FFailed = true;
    const std::string detail = FPort->ReadErrorDetail(code);
    Trace(detail.empty() ? text
                         : QStringLiteral("%1 (%2)").arg(text, QString::fromStdString(detail)));
    if (OnReadFailure) {
        OnReadFailure(text);
    }
}
