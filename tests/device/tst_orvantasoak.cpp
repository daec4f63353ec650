#include <QRandomGenerator>
#include <QTest>
#include <array>
#include <atomic>
#include <memory>
#include <thread>

#include "device/orvanta.h"
#include "tests/support/raisedby.h"
#include "tools/boardsim/boardsimulator.h"

namespace {

// The faults the simulated board can put on a frame's answer, as the soak draws them.
struct TFaultKind {
    const char *name;
    TFaultStep step;
    bool answeredInTime;  // the board sends its ACK before the exchange's time-out
};

const std::array<TFaultKind, 6> kFaults{{
    {"NAK", {TBoardFault::Nak}, false},
    {"silence", {TBoardFault::Silence}, false},
    {"noise", {TBoardFault::Noise}, true},
    {"split", {TBoardFault::Split}, true},
    {"delay 100 ms", {TBoardFault::Delay, 100}, true},
    {"late 900 ms", {TBoardFault::Late, 900}, false},
}};

constexpr int kNoFault = -1;

quint32 SoakSeed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("KESTROVA_SOAK_SEED").toUInt(&ok);
    return ok ? seed : QRandomGenerator::global()->generate();
}

struct TTick {
    bool ok = false;
    int firstFrame = 0;
    int frames = 0;
};

}  // namespace

// The window's polling against a board that misbehaves at random: about one frame in ten gets
// one of the board's faults. No tick may report OK unless the board acknowledged, in time, each
// frame of that very tick.
class TestOrvantaSoak : public QObject {
    Q_OBJECT

private slots:
    void noTickIsOkUnlessTheBoardAcknowledgedIt();
};

void TestOrvantaSoak::noTickIsOkUnlessTheBoardAcknowledgedIt()
{
    const quint32 seed = SoakSeed();
    const int tickCount = qEnvironmentVariableIntValue("KESTROVA_SOAK_TICKS") > 0
                              ? qEnvironmentVariableIntValue("KESTROVA_SOAK_TICKS")
                              : 300;
    qInfo("soak seed %u (KESTROVA_SOAK_SEED=%u repeats this run), %d ticks", seed, seed, tickCount);
    QRandomGenerator random(seed);
    QList<int> faultOf;
    QList<TFaultStep> script;
    for (int i = 0; i < 2 * tickCount; ++i) {
        faultOf << (random.bounded(100) < 10 ? int(random.bounded(int(kFaults.size()))) : kNoFault);
        script << (faultOf.last() == kNoFault ? TFaultStep{} : kFaults.at(faultOf.last()).step);
    }
    TBoardSimulator board;
    QString error;
    QVERIFY2(board.Start(&error), qPrintable(error));
    board.SetScript(script);
    qputenv("KESTROVA_COM3", board.DevicePath().toLocal8Bit());
    TOrvanta orvanta(nullptr, 3);
    QVERIFY(orvanta.Porta()->Opened());

    // The ticks run on a thread of their own, as the window's timer ticks do.
    QList<TTick> ticks(tickCount);
    std::atomic<bool> done{false};
    std::thread poller([&] {
        int frame = 0;
        for (TTick &tick : ticks) {
            tick.firstFrame = frame;
            const int i = int(&tick - ticks.data());
            const bool speedOk =
                RaisedBy([&] { orvanta.AjustarVelocidade(1.5 + (i % 100) / 10.0); }).isEmpty();
            tick.ok = speedOk && RaisedBy([&] { orvanta.AjustarInclinacao(i % 26); }).isEmpty();
            tick.frames = speedOk ? 2 : 1;
            frame += tick.frames;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done, 110000);
    poller.join();
    const int frameCount = ticks.last().firstFrame + ticks.last().frames;
    QVERIFY(board.WaitForFrames(frameCount, 5000));
    const QList<TFrameRecord> frames = board.Frames();

    std::array<int, kFaults.size()> faultCounts{};
    int okTicks = 0, wrong = 0, failedDespiteAck = 0;
    for (const TTick &tick : ticks) {
        bool acknowledged = true;
        for (int f = tick.firstFrame; f < tick.firstFrame + tick.frames; ++f) {
            const int fault = faultOf.at(f);
            if (fault != kNoFault)
                ++faultCounts[fault];
            acknowledged &= frames.at(f).answer == TOrvanta::ACK &&
                            (fault == kNoFault || kFaults.at(fault).answeredInTime);
        }
        acknowledged &= tick.frames == 2;
        okTicks += tick.ok;
        wrong += tick.ok && !acknowledged;
        failedDespiteAck += !tick.ok && acknowledged;
    }
    QString faultSummary;
    for (std::size_t k = 0; k < kFaults.size(); ++k)
        faultSummary +=
            QStringLiteral("%1%2 %3").arg(k ? ", " : "", kFaults[k].name).arg(faultCounts[k]);
    qInfo(
        "soak: %d ticks (%d OK, %d failed), %d frames; faults: %s; wrong outcomes %d, "
        "failures of acknowledged ticks %d",
        tickCount, okTicks, tickCount - okTicks, frameCount, qPrintable(faultSummary), wrong,
        failedDespiteAck);
    QCOMPARE(wrong, 0);
}

QTEST_GUILESS_MAIN(TestOrvantaSoak)
#include "tst_orvantasoak.moc"
