#include <QTest>

#include "comm/readdeadline.h"
#include "comm/serialdevice.h"

using namespace kestrova::comm;

Q_DECLARE_METATYPE(TReadTimeouts)

class TstReadDeadline : public QObject {
    Q_OBJECT

private slots:
    void waitLeft_data();
    void waitLeft();
    void writeWaitLimit_data();
    void writeWaitLimit();
};

void TstReadDeadline::waitLeft_data()
{
    QTest::addColumn<TReadTimeouts>("timeouts");
    QTest::addColumn<quint32>("requested");
    QTest::addColumn<quint32>("received");
    QTest::addColumn<qint64>("sinceStart");
    QTest::addColumn<qint64>("sinceLastByte");
    QTest::addColumn<qint64>("wait");

    // The port component's defaults: Timeout 100 gives 11 / 11 per byte / 100.
    const TReadTimeouts board{11, 11, 100};
    QTest::newRow("idle read of 80 bytes lasts 980 ms")
        << board << 80u << 0u << 0ll << 0ll << 980ll;
    QTest::newRow("idle read part way") << board << 80u << 0u << 900ll << 900ll << 80ll;
    QTest::newRow("idle read expired") << board << 80u << 0u << 980ll << 980ll << 0ll;
    QTest::newRow("past the total") << board << 80u << 0u << 5000ll << 5000ll << 0ll;
    QTest::newRow("interval after a byte") << board << 80u << 1u << 10ll << 0ll << 11ll;
    QTest::newRow("interval nearly out") << board << 80u << 1u << 10ll << 7ll << 4ll;
    QTest::newRow("interval expired") << board << 80u << 3u << 40ll << 11ll << 0ll;
    QTest::newRow("total tighter than interval") << board << 80u << 3u << 975ll << 0ll << 5ll;
    QTest::newRow("all requested bytes in") << board << 80u << 80u << 1ll << 0ll << 0ll;
    QTest::newRow("no time-outs at all") << TReadTimeouts{} << 8u << 0u << 100000ll << 0ll << -1ll;
    QTest::newRow("interval only, nothing yet")
        << TReadTimeouts{5, 0, 0} << 8u << 0u << 100ll << 100ll << -1ll;
    QTest::newRow("interval only, a byte in")
        << TReadTimeouts{5, 0, 0} << 8u << 2u << 100ll << 1ll << 4ll;
    QTest::newRow("return at once")
        << TReadTimeouts{0xFFFFFFFFu, 0, 0} << 8u << 0u << 0ll << 0ll << 0ll;
    QTest::newRow("large multiplier does not wrap")
        << TReadTimeouts{0, 0xFFFFFFFFu, 0xFFFFFFFFu} << 0xFFFFFFFFu << 0u << 0ll << 0ll
        << std::numeric_limits<qint64>::max();
}

void TstReadDeadline::waitLeft()
{
    QFETCH(TReadTimeouts, timeouts);
    QFETCH(quint32, requested);
    QFETCH(quint32, received);
    QFETCH(qint64, sinceStart);
    QFETCH(qint64, sinceLastByte);
    QFETCH(qint64, wait);
    QCOMPARE(ReadWaitMs(timeouts, {requested, received, sinceStart, sinceLastByte}), wait);
}

void TstReadDeadline::writeWaitLimit_data()
{
    QTest::addColumn<quint32>("count");
    QTest::addColumn<quint32>("baud");
    QTest::addColumn<quint64>("limit");
    QTest::newRow("a frame at 9600") << 3u << 9600u << 9000ull;
    QTest::newRow("149 bytes") << 149u << 9600u << 447000ull;
    QTest::newRow("150 bytes would wrap in 32 bits") << 150u << 9600u << 450000ull;
    QTest::newRow("200 bytes") << 200u << 9600u << 600000ull;
    QTest::newRow("fast line") << 4096u << 921600u << 128000ull;
    QTest::newRow("baud 0 counts as 1") << 1u << 0u << 28800000ull;
}

void TstReadDeadline::writeWaitLimit()
{
    QFETCH(quint32, count);
    QFETCH(quint32, baud);
    QFETCH(quint64, limit);
    QCOMPARE(WriteWaitLimitMs(count, baud), limit);
}

QTEST_APPLESS_MAIN(TstReadDeadline)
#include "tst_readdeadline.moc"
