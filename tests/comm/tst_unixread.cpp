#include <sys/socket.h>
#include <unistd.h>
#include <QTest>

#include "comm/serialdevice_unix.h"
#include "comm/ttyio.h"

using namespace kestrova::comm;

namespace {

// The device's descriptor is one end of a datagram socket pair: each datagram is one read, and
// an empty datagram makes the line readable while the read takes nothing, as a terminal does
// when another thread flushed its input between the readiness and the read, or once hung up.
class TDatagramLine : public TTtyIo {
public:
    TDatagramLine() { ::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, FEnds); }
    ~TDatagramLine() override { ::close(FEnds[1]); }
    int OpenDevice(const char *, int) override { return FEnds[0]; }
    void Send(const QByteArray &datagram) { ::send(FEnds[1], datagram.data(), datagram.size(), 0); }

private:
    int FEnds[2] = {-1, -1};
};

}  // namespace

class TstUnixRead : public QObject {
    Q_OBJECT

private slots:
    void emptyReadiness_data();
    void emptyReadiness();
};

void TstUnixRead::emptyReadiness_data()
{
    QTest::addColumn<QByteArrayList>("datagrams");
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<bool>("lost");
    QTest::newRow("input flushed after readiness")
        << QByteArrayList{"", "\x06"} << QByteArray("\x06") << false;
    QTest::newRow("hung up") << QByteArrayList{"", ""} << QByteArray() << true;
    QTest::newRow("bytes, then hung up")
        << QByteArrayList{"\x06", "", ""} << QByteArray("\x06") << false;
}

// One empty readiness is not a lost device; two in a row are.
void TstUnixRead::emptyReadiness()
{
    QFETCH(QByteArrayList, datagrams);
    QFETCH(QByteArray, read);
    QFETCH(bool, lost);
    auto line = std::make_shared<TDatagramLine>();
    TUnixSerialDevice device(line);
    device.Open("datagrams");
    device.SetTimeouts({5, 0, 2000});
    for (const QByteArray &datagram : datagrams)
        line->Send(datagram);
    char buffer[8] = {};
    const TReadResult result = device.Read(buffer, sizeof buffer);
    QCOMPARE(QByteArray(buffer, int(result.count)), read);
    QCOMPARE(result.errorCode, lost ? std::uint32_t(EIO) : 0u);
}

QTEST_APPLESS_MAIN(TstUnixRead)
#include "tst_unixread.moc"
