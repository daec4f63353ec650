#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>

#include "comm/comport.h"
#include "comm/comthread.h"
#include "comm/ptypair.h"
#include "comm/serialdevice.h"
#include "platform/exception.h"
#include "platform/trace.h"
#include "tests/support/raisedby.h"

using kestrova::comm::TPtyPair;

namespace {

constexpr unsigned kPtyPort = 5;

// Records every OnPacketReceived call.
struct TReceived {
    QList<QByteArray> chunks;
    QList<QObject *> senders;
    bool allOnMainThread = true;

    TPacketReceivedEvent Handler()
    {
        return [this](QObject *sender, QByteArray &buffer) {
            chunks.append(buffer);
            senders.append(sender);
            allOnMainThread &= QThread::currentThread() == QCoreApplication::instance()->thread();
        };
    }
    QByteArray All() const { return chunks.join(); }
};

// A component on a fresh pseudo-terminal: port kPtyPort names its slave side.
struct TPtyPort {
    TPtyPair pty;
    TComThread com;

    explicit TPtyPort(quint32 timeout = 10)
    {
        qputenv("KESTROVA_COM" + QByteArray::number(kPtyPort), pty.SlavePath().c_str());
        com.SetPort(kPtyPort);
        com.SetTimeout(timeout);
    }
};

// Counts the traced read failures while it lives, and keeps the last one's text.
class TReadErrorTraces {
public:
    TReadErrorTraces()
    {
        count = 0;
        EnableTrace(true);
        FPrevious = qInstallMessageHandler(&TReadErrorTraces::Handle);
    }
    ~TReadErrorTraces()
    {
        qInstallMessageHandler(FPrevious);
        EnableTrace(false);
    }
    static inline std::atomic<int> count{0};
    static QString Last()
    {
        std::lock_guard lock(FMutex);
        return FLast;
    }

private:
    static void Handle(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        if (message.startsWith(QStringLiteral("Read Error: "))) {
            std::lock_guard lock(FMutex);
            FLast = message;
            ++count;
        }
    }
    static inline std::mutex FMutex;
    static inline QString FLast;
    QtMessageHandler FPrevious;
};

// A port whose reads fail with code 109, on a backend that names its codes (as Windows' does).
class TFailingPort : public kestrova::comm::TSerialDevice {
public:
    void Open(const std::string &) override {}
    kestrova::comm::TLineState GetState() override { return {}; }
    void SetState(const kestrova::comm::TLineState &) override {}
    kestrova::comm::TReadTimeouts GetTimeouts() override { return {}; }
    void SetTimeouts(const kestrova::comm::TReadTimeouts &) override {}
    void SetQueueSizes(std::uint32_t, std::uint32_t) override {}
    bool IsOpen() const override { return true; }
    void Close() noexcept override {}
    kestrova::comm::TReadResult Read(char *, std::uint32_t) override { return {0, 109}; }
    void WakeReader() noexcept override {}
    std::string ReadErrorDetail(std::uint32_t code) const override
    {
        return "ReadFile: The pipe has been ended. (" + std::to_string(code) + ")";
    }
    void Write(const char *, std::uint32_t, std::uint64_t) override {}
    void Purge() noexcept override {}
    bool GetModemStatus(std::uint32_t &) override { return false; }
    void SetModemLine(kestrova::comm::TModemLine, bool) noexcept override {}
};

}  // namespace

class TstComThread : public QObject {
    Q_OBJECT

private slots:
    void defaults();
    void openFailuresAreRecordedNotRaised_data();
    void openFailuresAreRecordedNotRaised();
    void secondOpenerOfAPortIsRefused();
    void reopeningWithParityWorks();
    void settersRefusedWhileOpenAndAcceptedAfterClose_data();
    void settersRefusedWhileOpenAndAcceptedAfterClose();
    void oneAndAHalfStopBitsNeedFiveDataBits();
    void lineSettingsReachTheDevice();
    void unusableSettingsFailTheOpen_data();
    void unusableSettingsFailTheOpen();
    void writeOnClosedPortIsRecorded();
    void writeSendsExactBytesAndEmptyWriteSendsNothing();
    void writeThatCannotCompleteTimesOut();
    void oneByteAnswerIsOneEvent();
    void burstArrivesInOrderedChunksWithZeroBytes();
    void noEventWhileIdle();
    void packetSizeZeroStillDelivers();
    void closeFromInsideTheHandler();
    void closeDuringALongHandler();
    void closeWhileAChunkWaitsForTheMainThread();
    void handlerThatRaisesDoesNotStopDelivery_data();
    void handlerThatRaisesDoesNotStopDelivery();
    void destroyWhileOpenReleasesThePort();
    void closeTwiceAndNeverOpenedAreHarmless();
    void cablePullIsReportedOnce();
    void readFailureTraceCarriesTheBackendsText();
};

void TstComThread::defaults()
{
    TComThread com;
    QCOMPARE(com.BufSize(), 128u);
    QCOMPARE(com.Baud(), 19200u);
    QCOMPARE(com.DataBits(), 8u);
    QCOMPARE(com.Parity(), TComThread::none);
    QCOMPARE(com.StopBits(), TComThread::s1);
    QCOMPARE(com.Port(), 1u);
    QCOMPARE(com.PacketSize(), 80u);
    QCOMPARE(com.Timeout(), 100u);
    QVERIFY(!com.Opened());
    QVERIFY(com.ErrorMessage().isEmpty());
    QVERIFY(!com.IsOpen());
}

void TstComThread::openFailuresAreRecordedNotRaised_data()
{
    QTest::addColumn<QByteArray>("device");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such device")
        << QByteArray("/dev/ttyS-kestrova-none") << "Comport Unavailable.";
    QTest::newRow("not a terminal") << QByteArray("/dev/null") << "GetCommState Failed.";
}

void TstComThread::openFailuresAreRecordedNotRaised()
{
    QFETCH(QByteArray, device);
    QFETCH(QString, message);
    qputenv("KESTROVA_COM7", device);
    TComThread com;
    com.SetPort(7);
    com.ComInit();
    qunsetenv("KESTROVA_COM7");
    QVERIFY(!com.Opened());
    QCOMPARE(com.ErrorMessage(), message);
    QVERIFY(!com.IsOpen());
    com.SetBaud(9600);  // still closed: setters accepted
}

void TstComThread::secondOpenerOfAPortIsRefused()
{
    TPtyPort first;
    first.com.ComInit();
    QVERIFY(first.com.Opened());
    TComThread second;
    second.SetPort(kPtyPort);
    second.ComInit();
    QVERIFY(!second.Opened());
    QCOMPARE(second.ErrorMessage(), QStringLiteral("Comport Unavailable."));
    first.com.ComClose();
    second.ComInit();
    QVERIFY(second.Opened());
}

void TstComThread::settersRefusedWhileOpenAndAcceptedAfterClose_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("BufSize") << QByteArray("BufSize") << QVariant(256u)
                             << "Buffer can only be resized before ComInit()!";
    QTest::newRow("Baud") << QByteArray("Baud") << QVariant(9600u)
                          << "Baud rate can only be set before ComInit()!";
    QTest::newRow("DataBits") << QByteArray("DataBits") << QVariant(7u)
                              << "Data bits can only be set before ComInit()!";
    QTest::newRow("Parity") << QByteArray("Parity") << QVariant::fromValue(TComThread::even)
                            << "Parity can only be set before ComInit()!";
    QTest::newRow("StopBits") << QByteArray("StopBits") << QVariant::fromValue(TComThread::s2)
                              << "Stop bits can only be set before ComInit()!";
    QTest::newRow("Port") << QByteArray("Port") << QVariant(2u)
                          << "Port can only be set before ComInit()!";
    QTest::newRow("PacketSize") << QByteArray("PacketSize") << QVariant(16u)
                                << "Packet Size can only be set before ComInit()!";
    QTest::newRow("Timeout") << QByteArray("Timeout") << QVariant(50u)
                             << "Timeout can only be set before ComInit()!";
}

void TstComThread::settersRefusedWhileOpenAndAcceptedAfterClose()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    QFETCH(QString, message);
    TPtyPort port;
    port.com.ComInit();
    QVERIFY(port.com.Opened());
    const QVariant before = port.com.property(property);
    QVERIFY(before != value);
    QCOMPARE(RaisedBy([&] { port.com.setProperty(property, value); }), message);
    QCOMPARE(port.com.property(property), before);
    port.com.ComClose();
    QCOMPARE(RaisedBy([&] { port.com.setProperty(property, value); }), QString());
    QCOMPARE(port.com.property(property), value);
}

void TstComThread::oneAndAHalfStopBitsNeedFiveDataBits()
{
    const QString invalid =
        QStringLiteral("1.5 Stop Bits with 6,7, or 8 Data Bits is an invalid combination");
    TComThread com;
    QCOMPARE(RaisedBy([&] { com.SetStopBits(TComThread::s1_5); }), invalid);
    QCOMPARE(com.StopBits(), TComThread::s1);
    com.SetDataBits(5);
    com.SetStopBits(TComThread::s1_5);
    QCOMPARE(RaisedBy([&] { com.SetDataBits(8); }), invalid);
    QCOMPARE(com.DataBits(), 5u);
    com.SetDataBits(5);  // 5 with 1.5 stays acceptable
}

// Ptys keep everything but the data bits and parity, which they always report as 8 and none.
// Ptys keep their settings between openers, and glibc refuses a parity change a pty ignores.
void TstComThread::reopeningWithParityWorks()
{
    TPtyPort port;
    port.com.SetParity(TComThread::even);
    for (int round = 0; round < 3; ++round) {
        port.com.ComInit();
        QVERIFY2(port.com.Opened(), qPrintable(port.com.ErrorMessage()));
        port.com.ComClose();
    }
    TComThread other;
    other.SetPort(kPtyPort);
    other.SetParity(TComThread::odd);
    other.ComInit();
    QVERIFY2(other.Opened(), qPrintable(other.ErrorMessage()));
}

void TstComThread::lineSettingsReachTheDevice()
{
    TPtyPort port;
    port.com.SetBaud(250000);  // no B-constant: goes through termios2
    port.com.SetStopBits(TComThread::s2);
    port.com.SetParity(TComThread::mark);
    port.com.ComInit();
    QVERIFY2(port.com.Opened(), qPrintable(port.com.ErrorMessage()));
    const int fd = ::open(port.pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios attributes{};
    QCOMPARE(::tcgetattr(fd, &attributes), 0);
    ::close(fd);
    QVERIFY(attributes.c_cflag & CSTOPB);
    QVERIFY(attributes.c_cflag & CMSPAR);
    QVERIFY(attributes.c_cflag & PARODD);
    QVERIFY(attributes.c_cflag & CLOCAL);
    QVERIFY(!(attributes.c_lflag & ICANON));
    QCOMPARE(int(attributes.c_cc[VMIN]), 0);
}

void TstComThread::unusableSettingsFailTheOpen_data()
{
    QTest::addColumn<quint32>("baud");
    QTest::addColumn<quint32>("dataBits");
    QTest::newRow("baud 0") << 0u << 8u;
    QTest::newRow("9 data bits") << 9600u << 9u;
    QTest::newRow("4 data bits") << 9600u << 4u;
}

void TstComThread::unusableSettingsFailTheOpen()
{
    QFETCH(quint32, baud);
    QFETCH(quint32, dataBits);
    TPtyPort port;
    port.com.SetBaud(baud);
    port.com.SetDataBits(dataBits);
    port.com.ComInit();
    QVERIFY(!port.com.Opened());
    QCOMPARE(port.com.ErrorMessage(), QStringLiteral("SetCommState Failed."));
    QVERIFY(!port.com.IsOpen());
    // the failed open released the device
    port.com.SetBaud(9600);
    port.com.SetDataBits(8);
    port.com.ComInit();
    QVERIFY(port.com.Opened());
}

void TstComThread::writeOnClosedPortIsRecorded()
{
    TPtyPort port;
    port.com.ComInit();
    QVERIFY(port.com.Opened());
    port.com.ComClose();
    QVERIFY(port.com.Opened());  // closing keeps the flag as it was
    port.com.Write("\x02T\x00", 3);
    QVERIFY(!port.com.Opened());
    QCOMPARE(port.com.ErrorMessage(), QStringLiteral("Com not initialized."));
    QCOMPARE(port.pty.Receive(50), std::string());
}

void TstComThread::writeSendsExactBytesAndEmptyWriteSendsNothing()
{
    TPtyPort port;
    port.com.ComInit();
    port.com.Write("", 0);
    port.com.Write(QByteArray());
    QCOMPARE(port.pty.Receive(50), std::string());
    port.com.Write("\x02Q\x01", 3);
    port.com.Write(QByteArray("\x02T\x00", 3));
    std::string wire;
    for (int i = 0; i < 10 && wire.size() < 6; ++i) {
        wire += port.pty.Receive(200);
    }
    QCOMPARE(wire, std::string("\x02Q\x01\x02T\x00", 6));
}

// Nobody reads the far end: the pty fills up and the write must give up within its limit
// (32768 x 28,800,000 / 4,000,000,000 = 235 ms) after discarding what it queued.
void TstComThread::writeThatCannotCompleteTimesOut()
{
    TPtyPort port;
    port.com.SetBaud(4000000000u);
    port.com.ComInit();
    QVERIFY(port.com.Opened());
    const QByteArray block(32768, 'x');
    QCOMPARE(RaisedBy([&] { port.com.Write(block); }), QStringLiteral("Send Timeout"));
}

void TstComThread::oneByteAnswerIsOneEvent()
{
    TPtyPort port(100);
    TReceived received;
    port.com.OnPacketReceived = received.Handler();
    port.com.ComInit();
    QVERIFY(port.pty.Send("\x06"));
    QTRY_COMPARE_WITH_TIMEOUT(received.chunks.size(), 1, 2000);
    QCOMPARE(received.chunks.first(), QByteArray("\x06"));
    QVERIFY(received.allOnMainThread);
    QVERIFY(qobject_cast<TComport *>(received.senders.first()));
    QTest::qWait(150);  // more than a whole idle read: nothing else may come
    QCOMPARE(received.chunks.size(), 1);
}

void TstComThread::burstArrivesInOrderedChunksWithZeroBytes()
{
    TPtyPort port;
    TReceived received;
    port.com.OnPacketReceived = received.Handler();
    port.com.ComInit();
    QByteArray burst;
    for (int i = 0; i < 200; ++i) {
        burst.append(char(i % 7 == 0 ? 0 : i));
    }
    QVERIFY(port.pty.Send(burst.toStdString()));
    QTRY_COMPARE_WITH_TIMEOUT(received.All().size(), burst.size(), 5000);
    QCOMPARE(received.All(), burst);
    for (const QByteArray &chunk : received.chunks) {
        QVERIFY(!chunk.isEmpty());
        QVERIFY(chunk.size() <= 80);
    }
}

void TstComThread::noEventWhileIdle()
{
    TPtyPort port(5);
    port.com.SetPacketSize(4);  // an idle read completes every 5 + 1 x 4 = 9 ms
    TReceived received;
    port.com.OnPacketReceived = received.Handler();
    port.com.ComInit();
    QTest::qWait(200);
    QCOMPARE(received.chunks.size(), 0);
    QVERIFY(port.com.ReaderRunning());
}

// A read of zero bytes would complete at once, forever; the reader asks for one byte instead.
void TstComThread::packetSizeZeroStillDelivers()
{
    TPtyPort port;
    port.com.SetPacketSize(0);
    TReceived received;
    port.com.OnPacketReceived = received.Handler();
    port.com.ComInit();
    QVERIFY(port.pty.Send("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(received.All(), QByteArray("ok"), 2000);
    QCOMPARE(received.chunks.size(), 2);
}

void TstComThread::closeFromInsideTheHandler()
{
    TPtyPort port;
    int calls = 0;
    port.com.OnPacketReceived = [&](QObject *, QByteArray &buffer) {
        ++calls;
        port.com.ComClose();
        QCOMPARE(buffer, QByteArray("AB"));  // the handler's buffer survives the close
    };
    port.com.ComInit();
    QVERIFY(port.pty.Send("AB"));
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 2000);
    QVERIFY(!port.com.IsOpen());
    port.pty.Send("more");
    QTest::qWait(50);
    QCOMPARE(calls, 1);
}

// The handler runs a nested event loop (as a message box would) and the port is closed from an
// event handled inside it. The close must complete and nothing may be delivered afterwards.
void TstComThread::closeDuringALongHandler()
{
    TPtyPort port;
    int calls = 0;
    bool closed = false;
    port.com.OnPacketReceived = [&](QObject *, QByteArray &) {
        if (++calls > 1) {
            return;
        }
        QTimer::singleShot(20, [&] {
            port.com.ComClose();
            closed = true;
        });
        QEventLoop nested;
        QTimer::singleShot(300, &nested, &QEventLoop::quit);
        nested.exec();
    };
    port.com.ComInit();
    QVERIFY(port.pty.Send("1"));
    QTRY_VERIFY_WITH_TIMEOUT(closed, 3000);
    port.pty.Send("2");
    QTest::qWait(400);
    QCOMPARE(calls, 1);
    QVERIFY(!port.com.IsOpen());
}

// The reader has a chunk and waits for the main thread, which is busy and then closes the port
// without processing events first. The chunk must be dropped, not delivered late.
void TstComThread::closeWhileAChunkWaitsForTheMainThread()
{
    TPtyPort port;
    TReceived received;
    port.com.OnPacketReceived = received.Handler();
    port.com.ComInit();
    QVERIFY(port.pty.Send("late"));
    QTest::qSleep(100);  // busy: no events processed
    port.com.ComClose();
    QCoreApplication::processEvents();
    QTest::qWait(20);
    QCOMPARE(received.chunks.size(), 0);
}

void TstComThread::handlerThatRaisesDoesNotStopDelivery_data()
{
    QTest::addColumn<bool>("kestrovaException");
    QTest::newRow("Exception") << true;
    QTest::newRow("std::runtime_error") << false;
}

void TstComThread::handlerThatRaisesDoesNotStopDelivery()
{
    QFETCH(bool, kestrovaException);
    TPtyPort port;
    TReceived received;
    const TPacketReceivedEvent record = received.Handler();
    port.com.OnPacketReceived = [&](QObject *sender, QByteArray &buffer) {
        record(sender, buffer);
        if (kestrovaException) {
            throw Exception(QStringLiteral("handler failed"));
        }
        throw std::runtime_error("handler failed");
    };
    port.com.ComInit();
    QVERIFY(port.pty.Send("1"));
    QTRY_COMPARE_WITH_TIMEOUT(received.chunks.size(), 1, 2000);
    QVERIFY(port.pty.Send("2"));
    QTRY_COMPARE_WITH_TIMEOUT(received.All(), QByteArray("12"), 2000);
    QVERIFY(port.com.ReaderRunning());
}

void TstComThread::destroyWhileOpenReleasesThePort()
{
    TPtyPair pty;
    qputenv("KESTROVA_COM6", pty.SlavePath().c_str());
    auto com = std::make_unique<TComThread>();
    com->SetPort(6);
    com->SetTimeout(10);
    TReceived received;
    com->OnPacketReceived = received.Handler();
    com->ComInit();
    QVERIFY(com->Opened());
    pty.Send("x");
    QTest::qSleep(30);  // a chunk may be waiting for the main thread
    com.reset();
    QCoreApplication::processEvents();
    QCOMPARE(received.chunks.size(), 0);
    TComThread again;
    again.SetPort(6);
    again.ComInit();
    QVERIFY2(again.Opened(), qPrintable(again.ErrorMessage()));
    qunsetenv("KESTROVA_COM6");
}

void TstComThread::closeTwiceAndNeverOpenedAreHarmless()
{
    TComThread never;
    never.ComClose();
    never.ComClose();
    never.Purge();
    QVERIFY(!never.IsOpen());
    TPtyPort port;
    port.com.ComInit();
    port.com.Purge();
    port.com.ComClose();
    port.com.ComClose();
    QVERIFY(!port.com.IsOpen());
}

// The far end disappears (a USB adapter pulled): the reader stops once with its read error, the
// error stays readable, writes fail loudly, and the port can be closed and opened again.
void TstComThread::cablePullIsReportedOnce()
{
    TReadErrorTraces traces;
    TPtyPort port;
    TReceived received;
    port.com.OnPacketReceived = received.Handler();
    port.com.ComInit();
    QVERIFY(port.pty.Send("bye"));
    QTRY_COMPARE_WITH_TIMEOUT(received.All(), QByteArray("bye"), 2000);
    port.pty.CloseMaster();
    QTRY_VERIFY_WITH_TIMEOUT(!port.com.ReaderRunning(), 2000);
    QCOMPARE(port.com.ErrorMessage(), QStringLiteral("Read Error: 5"));
    QCOMPARE(TReadErrorTraces::count.load(), 1);
    QCOMPARE(TReadErrorTraces::Last(), QStringLiteral("Read Error: 5"));
    QVERIFY(port.com.IsOpen());
    QCOMPARE(RaisedBy([&] { port.com.Write("\x02T\x00", 3); }), QStringLiteral("Send Error: 5"));
    QCOMPARE(received.chunks.size(), 1);
    port.com.ComClose();
    QVERIFY(!port.com.IsOpen());
    QCOMPARE(port.com.ErrorMessage(), QStringLiteral("Read Error: 5"));
}

// The failure text stays "Read Error: <code>"; the trace adds what the backend says of the code.
void TstComThread::readFailureTraceCarriesTheBackendsText()
{
    TReadErrorTraces traces;
    TFailingPort port;
    TComport reader(&port, true, 80, {});
    QTRY_VERIFY_WITH_TIMEOUT(!reader.Running(), 2000);
    QCOMPARE(reader.FailureMessage(), QStringLiteral("Read Error: 109"));
    QCOMPARE(TReadErrorTraces::Last(),
             QStringLiteral("Read Error: 109 (ReadFile: The pipe has been ended. (109))"));
}

QTEST_GUILESS_MAIN(TstComThread)
#include "tst_comthread.moc"
