#include <sys/ioctl.h>
#include <QTest>
#include <atomic>
#include <mutex>

#include "comm/advancedcom.h"
#include "comm/advcomport.h"
#include "comm/ptypair.h"
#include "comm/serialdevice_unix.h"
#include "comm/ttyio.h"
#include "platform/exception.h"
#include "tests/support/raisedby.h"

using namespace kestrova::comm;

namespace {

constexpr unsigned kPtyPort = 4;

// A pseudo-terminal with modem lines: the data path stays real, the line calls are recorded and
// the input lines are whatever the test sets.
class TFakeLines : public TTtyIo {
public:
    std::atomic<int> inputs{0};
    std::atomic<int> statusReads{0};
    bool rs485Works = false;

    int GetModemBits(int, int &bits) override
    {
        ++statusReads;
        std::lock_guard lock(FMutex);
        bits = inputs | FOutputs;
        return 0;
    }
    int SetModemBits(int, int bits, bool on) override
    {
        std::lock_guard lock(FMutex);
        FOutputs = on ? (FOutputs | bits) : (FOutputs & ~bits);
        FLog.append(
            QStringLiteral("%1 %2").arg(bits == TIOCM_DTR ? "DTR" : "RTS", on ? "on" : "off"));
        return 0;
    }
    int SetRs485RtsOnSend(int, bool on) override
    {
        std::lock_guard lock(FMutex);
        FLog.append(QStringLiteral("RS485 %1").arg(on ? "on" : "off"));
        return rs485Works ? 0 : (errno = ENOTTY, -1);
    }
    int Drain(int fd) override
    {
        Log("drain");
        return TTtyIo::Drain(fd);
    }
    void Log(const QString &entry)
    {
        std::lock_guard lock(FMutex);
        FLog.append(entry);
    }
    QStringList TakeLog()
    {
        std::lock_guard lock(FMutex);
        return std::exchange(FLog, {});
    }
    bool Output(int bit)
    {
        std::lock_guard lock(FMutex);
        return FOutputs & bit;
    }

private:
    std::mutex FMutex;
    int FOutputs = 0;
    QStringList FLog;
};

struct TStatus {
    bool cts, dsr, ring, rlsd;
    bool operator==(const TStatus &) const = default;
};

struct TLinePort {
    TPtyPair pty;
    std::shared_ptr<TFakeLines> lines = std::make_shared<TFakeLines>();
    TAdvancedCom com;
    QList<TStatus> reports;
    QList<QByteArray> chunks;
    QStringList order;
    QObject *statusSender = nullptr;

    TLinePort()
    {
        qputenv("KESTROVA_COM" + QByteArray::number(kPtyPort), pty.SlavePath().c_str());
        com.SetPort(kPtyPort);
        com.SetTimeout(5);
        com.SetPacketSize(4);  // an idle read completes every 5 + 1 x 4 = 9 ms
        com.SetDeviceFactory([io = lines] { return std::make_unique<TUnixSerialDevice>(io); });
        com.OnStatusChanged = [this](QObject *sender, bool cts, bool dsr, bool ring, bool rlsd) {
            reports.append({cts, dsr, ring, rlsd});
            order.append(QStringLiteral("status"));
            statusSender = sender;
        };
        com.OnPacketReceived = [this](QObject *, QByteArray &bytes) {
            chunks.append(bytes);
            order.append(QStringLiteral("data"));
        };
    }
};

}  // namespace

class TstAdvancedCom : public QObject {
    Q_OBJECT

private slots:
    void opensWithDtrOnAndRtsOnSend();
    void rtsIsRaisedAroundEachWriteWithoutRs485();
    void lineModesDriveTheLines_data();
    void lineModesDriveTheLines();
    void dtrHandshakeIsRefusedClearly();
    void lineControlRefusals();
    void controlModesFrozenWhileOpen();
    void linesOnAtOpenAreReportedBeforeData();
    void noReportWhenAllLinesAreOff();
    void twoLinesChangingAreReportedOneAtATime();
    void boardSettingsReachThePort();
};

void TstAdvancedCom::opensWithDtrOnAndRtsOnSend()
{
    TLinePort port;
    port.lines->rs485Works = true;
    QCOMPARE(port.com.DtrControl(), TAdvancedCom::dtrEnable);
    QCOMPARE(port.com.RtsControl(), TAdvancedCom::rtsToggle);
    port.com.ComInit();
    QVERIFY2(port.com.Opened(), qPrintable(port.com.ErrorMessage()));
    QVERIFY(port.lines->Output(TIOCM_DTR));
    QVERIFY(port.lines->TakeLog().contains(QStringLiteral("RS485 on")));
    port.com.Write("\x02T\x00", 3);  // the driver toggles RTS: no manual switching
    QCOMPARE(port.lines->TakeLog(), QStringList());
    port.com.ComClose();
    QCOMPARE(port.lines->TakeLog(),
             (QStringList{QStringLiteral("RS485 off"), QStringLiteral("DTR off"),
                          QStringLiteral("RTS off")}));
}

void TstAdvancedCom::rtsIsRaisedAroundEachWriteWithoutRs485()
{
    TLinePort port;
    port.com.ComInit();
    QVERIFY(port.com.Opened());
    QVERIFY(!port.lines->Output(TIOCM_RTS));
    port.lines->TakeLog();
    port.com.Write("\x02Q\x01", 3);
    QCOMPARE(port.lines->TakeLog(), (QStringList{QStringLiteral("RTS on"), QStringLiteral("drain"),
                                                 QStringLiteral("RTS off")}));
    QCOMPARE(port.pty.Receive(500), std::string("\x02Q\x01", 3));
}

void TstAdvancedCom::lineModesDriveTheLines_data()
{
    QTest::addColumn<TAdvancedCom::TDtrControl>("dtr");
    QTest::addColumn<TAdvancedCom::TRtsControl>("rts");
    QTest::addColumn<bool>("dtrOn");
    QTest::addColumn<bool>("rtsOn");
    QTest::newRow("both off") << TAdvancedCom::dtrDisable << TAdvancedCom::rtsDisable << false
                              << false;
    QTest::newRow("both on") << TAdvancedCom::dtrEnable << TAdvancedCom::rtsEnable << true << true;
    QTest::newRow("RTS on send, idle low")
        << TAdvancedCom::dtrEnable << TAdvancedCom::rtsToggle << true << false;
}

void TstAdvancedCom::lineModesDriveTheLines()
{
    QFETCH(TAdvancedCom::TDtrControl, dtr);
    QFETCH(TAdvancedCom::TRtsControl, rts);
    QFETCH(bool, dtrOn);
    QFETCH(bool, rtsOn);
    TLinePort port;
    port.com.SetDtrControl(dtr);
    port.com.SetRtsControl(rts);
    port.com.ComInit();
    QVERIFY(port.com.Opened());
    QCOMPARE(port.lines->Output(TIOCM_DTR), dtrOn);
    QCOMPARE(port.lines->Output(TIOCM_RTS), rtsOn);
    port.com.SetDtr(!dtrOn);
    port.com.SetRts(!rtsOn);
    QCOMPARE(port.lines->Output(TIOCM_DTR), !dtrOn);
    QCOMPARE(port.lines->Output(TIOCM_RTS), !rtsOn);
    port.com.SetDtr(true);
    port.com.SetRts(true);
    port.com.ComClose();  // the lines drop with the port
    QVERIFY(!port.lines->Output(TIOCM_DTR));
    QVERIFY(!port.lines->Output(TIOCM_RTS));
}

void TstAdvancedCom::dtrHandshakeIsRefusedClearly()
{
    TLinePort port;
    port.com.SetDtrControl(TAdvancedCom::dtrHandshake);
    port.com.ComInit();
    QVERIFY(!port.com.Opened());
    QCOMPARE(port.com.ErrorMessage(),
             QStringLiteral("SetCommState Failed. DTR handshake is not supported on this system."));
    QCOMPARE(RaisedBy([&] { port.com.SetDtr(true); }),
             QStringLiteral("Initialize port before setting DTR"));
}

void TstAdvancedCom::lineControlRefusals()
{
    TLinePort port;
    QCOMPARE(RaisedBy([&] { port.com.SetDtr(false); }),
             QStringLiteral("Initialize port before setting DTR"));
    QCOMPARE(RaisedBy([&] { port.com.SetRts(false); }),
             QStringLiteral("Initialize port before setting RTS"));
    port.com.SetRtsControl(TAdvancedCom::rtsHandshake);
    port.com.ComInit();
    QVERIFY2(port.com.Opened(), qPrintable(port.com.ErrorMessage()));
    QCOMPARE(RaisedBy([&] { port.com.SetRts(true); }),
             QStringLiteral("Can't set RTS when RtsControl is rtsHandshake"));
    port.com.SetDtr(false);
    QVERIFY(!port.lines->Output(TIOCM_DTR));
}

void TstAdvancedCom::controlModesFrozenWhileOpen()
{
    TLinePort port;
    port.com.ComInit();
    QCOMPARE(RaisedBy([&] { port.com.SetRtsControl(TAdvancedCom::rtsEnable); }),
             QStringLiteral("Rts control can only be set before ComInit()!"));
    QCOMPARE(port.com.RtsControl(), TAdvancedCom::rtsToggle);
    QCOMPARE(RaisedBy([&] { port.com.SetDtrControl(TAdvancedCom::dtrDisable); }),
             QStringLiteral("Dtr control can only be set before ComInit()!"));
    QCOMPARE(port.com.DtrControl(), TAdvancedCom::dtrEnable);
    port.com.ComClose();
    port.com.SetRtsControl(TAdvancedCom::rtsEnable);
    QCOMPARE(port.com.RtsControl(), TAdvancedCom::rtsEnable);
}

void TstAdvancedCom::linesOnAtOpenAreReportedBeforeData()
{
    TLinePort port;
    port.lines->inputs = TIOCM_CTS;
    QVERIFY(port.pty.Send("\x06"));  // already waiting when the port opens
    port.com.ComInit();
    QTRY_COMPARE_WITH_TIMEOUT(port.order.size(), 2, 2000);
    QCOMPARE(port.order, (QStringList{QStringLiteral("status"), QStringLiteral("data")}));
    QCOMPARE(port.reports.first(), (TStatus{true, false, false, false}));
    QVERIFY(qobject_cast<TAdvComport *>(port.statusSender));
    QTest::qWait(60);  // several more completed reads: no line changed, so no report
    QCOMPARE(port.reports.size(), 1);
}

void TstAdvancedCom::noReportWhenAllLinesAreOff()
{
    TLinePort port;
    port.com.ComInit();
    QTest::qWait(80);
    QCOMPARE(port.reports.size(), 0);
}

void TstAdvancedCom::twoLinesChangingAreReportedOneAtATime()
{
    TLinePort port;
    port.com.ComInit();
    QTRY_VERIFY_WITH_TIMEOUT(port.lines->statusReads >= 2, 2000);  // past the report at open
    port.lines->inputs = TIOCM_CTS | TIOCM_DSR;
    QTRY_COMPARE_WITH_TIMEOUT(port.reports.size(), 2, 2000);
    QCOMPARE(port.reports.at(0), (TStatus{true, false, false, false}));
    QCOMPARE(port.reports.at(1), (TStatus{true, true, false, false}));
    port.lines->inputs = TIOCM_CTS | TIOCM_DSR | TIOCM_RI | TIOCM_CD;
    QTRY_COMPARE_WITH_TIMEOUT(port.reports.size(), 4, 2000);
    QCOMPARE(port.reports.at(3), (TStatus{true, true, true, true}));
    port.lines->inputs = 0;
    QTRY_COMPARE_WITH_TIMEOUT(port.reports.size(), 8, 2000);
    QCOMPARE(port.reports.at(4), (TStatus{false, true, true, true}));
    QCOMPARE(port.reports.at(7), (TStatus{false, false, false, false}));
}

// The treadmill's settings: 9600 baud, even parity, 8 data bits, one stop bit.
void TstAdvancedCom::boardSettingsReachThePort()
{
    TLinePort port;
    port.com.SetBaud(9600);
    port.com.SetParity(TComThread::even);
    port.com.ComInit();
    QVERIFY2(port.com.Opened(), qPrintable(port.com.ErrorMessage()));
    QVERIFY(port.pty.Send(std::string("\x41\x06\x15", 3)));
    QTRY_COMPARE_WITH_TIMEOUT(port.chunks.join(), QByteArray("\x41\x06\x15", 3), 2000);
}

QTEST_GUILESS_MAIN(TstAdvancedCom)
#include "tst_advancedcom.moc"
