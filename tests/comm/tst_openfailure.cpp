#include <QTest>
#include <cerrno>

#include "comm/comthread.h"
#include "comm/openfailure.h"
#include "comm/ptypair.h"
#include "comm/serialdevice_unix.h"
#include "comm/ttyio.h"

using namespace kestrova::comm;

namespace {

constexpr unsigned kPort = 6;

// CI runs as root, which file modes do not stop: the open itself is refused here.
class TRefusingOpen : public TTtyIo {
public:
    int OpenDevice(const char *, int) override { return errno = EACCES, -1; }
};

}  // namespace

// Why a port could not be opened, from the open itself to the details the user reads.
class TstOpenFailure : public QObject {
    Q_OBJECT

private slots:
    void kinds_data();
    void kinds();
    void portRecordsTheReason_data();
    void portRecordsTheReason();
    void detailsSayWhatToDo();
};

void TstOpenFailure::kinds_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("kind");
    QTest::newRow("none") << 0 << int(TOpenFailureKind::none);
    QTest::newRow("ENOENT") << ENOENT << int(TOpenFailureKind::noSuchDevice);
    QTest::newRow("ENXIO") << ENXIO << int(TOpenFailureKind::noSuchDevice);
    QTest::newRow("EACCES") << EACCES << int(TOpenFailureKind::permissionDenied);
    QTest::newRow("EBUSY") << EBUSY << int(TOpenFailureKind::busy);
    QTest::newRow("EWOULDBLOCK (flock)") << EWOULDBLOCK << int(TOpenFailureKind::busy);
    QTest::newRow("EIO") << EIO << int(TOpenFailureKind::other);
}

void TstOpenFailure::kinds()
{
    QFETCH(int, error);
    QFETCH(int, kind);
    QCOMPARE(int(OpenFailureKindOf(error)), kind);
}

void TstOpenFailure::portRecordsTheReason_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("kind");
    QTest::newRow("no such device") << "missing" << int(TOpenFailureKind::noSuchDevice);
    QTest::newRow("permission denied") << "refused" << int(TOpenFailureKind::permissionDenied);
    QTest::newRow("held by another port") << "busy" << int(TOpenFailureKind::busy);
}

void TstOpenFailure::portRecordsTheReason()
{
    QFETCH(QString, situation);
    QFETCH(int, kind);
    TPtyPair pty;
    const QByteArray device = situation == "missing" ? QByteArray("/dev/kestrova-no-such-tty")
                                                     : QByteArray::fromStdString(pty.SlavePath());
    qputenv("KESTROVA_COM6", device);
    TComThread holder;
    holder.SetPort(kPort);
    if (situation == "busy") {
        holder.ComInit();
        QVERIFY(holder.Opened());
    }
    TComThread port;
    port.SetPort(kPort);
    if (situation == "refused")
        port.SetDeviceFactory(
            [] { return std::make_unique<TUnixSerialDevice>(std::make_shared<TRefusingOpen>()); });
    port.ComInit();
    QVERIFY(!port.Opened());
    QCOMPARE(port.ErrorMessage(), "Comport Unavailable.");
    QCOMPARE(port.DeviceName(), QString::fromLocal8Bit(device));
    QCOMPARE(int(OpenFailureKindOf(port.OpenErrorCode())), kind);
    qunsetenv("KESTROVA_COM6");
}

void TstOpenFailure::detailsSayWhatToDo()
{
    const QString missing =
        OpenFailureDetails("/dev/ttyUSB0", ENOENT, {"/dev/ttyS0", "/dev/ttyUSB1"});
    QVERIFY2(missing.contains("/dev/ttyUSB0") && missing.contains("não existe") &&
                 missing.contains("/dev/ttyS0, /dev/ttyUSB1"),
             qPrintable(missing));
    QVERIFY(OpenFailureDetails("/dev/ttyUSB0", ENOENT, {}).contains("Nenhuma porta serial"));
    const QString refused = OpenFailureDetails("/dev/ttyUSB0", EACCES, {});
    QVERIFY2(refused.contains("dialout") && refused.contains("novo login"), qPrintable(refused));
    QVERIFY(OpenFailureDetails("/dev/ttyUSB0", EBUSY, {}).contains("em uso por outro programa"));
}

QTEST_GUILESS_MAIN(TstOpenFailure)
#include "tst_openfailure.moc"
