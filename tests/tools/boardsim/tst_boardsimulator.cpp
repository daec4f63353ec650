#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "comm/ptypair.h"
#include "tests/tools/boardsim/rawslave.h"
#include "tools/boardsim/boardsimulator.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr int kAnswerWaitMs = 2000;  // generous bound for an answer that must come
constexpr int kQuietWaitMs = 300;    // how long "no answer" is watched

QByteArray Frame(char letter, int value)
{
    return QByteArray("\x02", 1) + letter + char(value);
}

// A running board with the test's raw end of the cable open on it.
struct TBench {
    TBoardSimulator board;
    std::unique_ptr<TRawSlave> slave;

    explicit TBench(TFaultStep standing = {}, QList<TFaultStep> script = {})
    {
        board.SetFault(standing);
        board.SetScript(script);
        QString error;
        if (!board.Start(&error)) {
            qFatal("cannot start the board: %s", qPrintable(error));
        }
        slave = std::make_unique<TRawSlave>(board.DevicePath());
    }

    // Sends one frame and returns what came back within the wait.
    QByteArray Exchange(const QByteArray &frame, int expected = 1, int waitMs = kAnswerWaitMs)
    {
        slave->Write(frame);
        return slave->Read(expected, waitMs);
    }
};

}  // namespace

class TstBoardSimulator : public QObject {
    Q_OBJECT

private slots:
    void commandsAnswerAndApply_data();
    void commandsAnswerAndApply();
    void garbageBeforeStxIsCountedAndSkipped();
    void frameSplitAcrossWritesIsParsed();
    void silenceGivesNoByteAndChangesNothing();
    void nakFaultRefusesAValidFrame();
    void delayedAnswerComesNotBeforeTheDelay();
    void lateAnswerDefaultsToOneSecond();
    void noiseSurroundsTheAnswer_data();
    void noiseSurroundsTheAnswer();
    void splitAnswerArrivesInPieces();
    void laterFrameIsAnsweredBeforeADelayedOne();
    void scriptStepsComeFirstThenTheStandingFault();
    void scriptedPullHangsUpTheLine();
    void pullCableFromAnotherThread();
    void pullDropsAnswersStillPending();
    void observersRunOnTheBoardThread();
    void observerSeesTheStateAfterItsOwnFrame();
    void stopFromTheObserverDoesNotDeadlock();
    void restartGivesAFreshBoard();
    void clearLogKeepsTheState();
    void waitForFramesIsBounded();
    void runsOnAGivenTerminalDevice();
    void refusesWhatIsNotATerminal();
    void unreadCountIsKnownRightAfterASend();
};

void TstBoardSimulator::commandsAnswerAndApply_data()
{
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("incline");
    QTest::addColumn<int>("speedCalibration");
    QTest::addColumn<int>("inclineCalibration");
    QTest::addColumn<bool>("armed");

    const QByteArray ack(1, kAck), nak(1, kNak);
    const QByteArray pre = Frame('o', 0xAA);
    auto row = [](const char *name) { return &QTest::newRow(name); };
    *row("Q 0") << QList{Frame('Q', 0)} << ack << 0 << 0 << -1 << -1 << false;
    *row("Q 1") << QList{Frame('Q', 1)} << ack << 1 << 0 << -1 << -1 << false;
    *row("Q value equal to STX") << QList{Frame('Q', 2)} << ack << 2 << 0 << -1 << -1 << false;
    *row("Q 166") << QList{Frame('Q', 166)} << ack << 166 << 0 << -1 << -1 << false;
    *row("Q 167 keeps the speed") << QList{Frame('Q', 40), Frame('Q', 167)} << ack + nak << 40 << 0
                                  << -1 << -1 << false;
    *row("Q 255") << QList{Frame('Q', 255)} << nak << 0 << 0 << -1 << -1 << false;
    *row("R 50") << QList{Frame('R', 50)} << ack << 0 << 50 << -1 << -1 << false;
    *row("R 51 keeps the incline")
        << QList{Frame('R', 7), Frame('R', 51)} << ack + nak << 0 << 7 << -1 << -1 << false;
    *row("T 0 stops") << QList{Frame('Q', 20), Frame('R', 9), Frame('T', 0)} << ack + ack + ack << 0
                      << 0 << -1 << -1 << false;
    *row("T 1") << QList{Frame('Q', 20), Frame('T', 1)} << ack + nak << 20 << 0 << -1 << -1
                << false;
    *row("o AA arms") << QList{pre} << ack << 0 << 0 << -1 << -1 << true;
    *row("o AB") << QList{Frame('o', 0xAB)} << nak << 0 << 0 << -1 << -1 << false;
    *row("v without preamble") << QList{Frame('v', 30)} << nak << 0 << 0 << -1 << -1 << false;
    *row("i without preamble") << QList{Frame('i', 30)} << nak << 0 << 0 << -1 << -1 << false;
    *row("o then v") << QList{pre, Frame('v', 30)} << ack + ack << 0 << 0 << 30 << -1 << false;
    *row("o then i 255") << QList{pre, Frame('i', 255)} << ack + ack << 0 << 0 << -1 << 255
                         << false;
    *row("o then v 0") << QList{pre, Frame('v', 0)} << ack + ack << 0 << 0 << 0 << -1 << false;
    *row("second v needs a new preamble") << QList{pre, Frame('v', 30), Frame('v', 31)}
                                          << ack + ack + nak << 0 << 0 << 30 << -1 << false;
    *row("o then Q then v") << QList{pre, Frame('Q', 5), Frame('v', 30)} << ack + ack + nak << 5
                            << 0 << -1 << -1 << false;
    *row("o then refused Q then v") << QList{pre, Frame('Q', 200), Frame('v', 30)}
                                    << ack + nak + nak << 0 << 0 << -1 << -1 << false;
    *row("o then o AB then i") << QList{pre, Frame('o', 0xAB), Frame('i', 3)} << ack + nak + nak
                               << 0 << 0 << -1 << -1 << false;
    *row("o twice then i") << QList{pre, pre, Frame('i', 3)} << ack + ack + ack << 0 << 0 << -1 << 3
                           << false;
    *row("unknown letter") << QList{Frame('X', 1)} << nak << 0 << 0 << -1 << -1 << false;
    *row("letters are case-sensitive")
        << QList{Frame('q', 1)} << nak << 0 << 0 << -1 << -1 << false;
}

void TstBoardSimulator::commandsAnswerAndApply()
{
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QByteArray, answers);
    QFETCH(int, speed);
    QFETCH(int, incline);
    QFETCH(int, speedCalibration);
    QFETCH(int, inclineCalibration);
    QFETCH(bool, armed);

    TBench bench;
    QByteArray got;
    for (const QByteArray &frame : frames) {
        got += bench.Exchange(frame);  // one at a time, as the device does
    }
    QCOMPARE(got.toHex(' '), answers.toHex(' '));
    QVERIFY(bench.slave->Read(1, 50).isEmpty());  // one byte per frame, nothing more

    const TBoardState state = bench.board.State();
    QCOMPARE(state.speedCode, speed);
    QCOMPARE(state.inclineCode, incline);
    QCOMPARE(state.speedCalibration, speedCalibration);
    QCOMPARE(state.inclineCalibration, inclineCalibration);
    QCOMPARE(state.calibrationArmed, armed);
    QCOMPARE(state.frames, frames.size());
    QCOMPARE(state.acks, int(answers.count(kAck)));
    QCOMPARE(state.naks, int(answers.count(kNak)));
    QCOMPARE(state.garbageBytes, 0);

    const QList<TFrameRecord> records = bench.board.Frames();
    QCOMPARE(records.size(), frames.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        QCOMPARE(records[i].frame, frames[i]);
        QCOMPARE(records[i].answer, answers[i]);
    }
    QCOMPARE(bench.board.ReceivedBytes(), frames.join());
}

void TstBoardSimulator::garbageBeforeStxIsCountedAndSkipped()
{
    TBench bench;
    const QByteArray noise("\x41\x06\x00\x15", 4);
    QCOMPARE(bench.Exchange(noise + Frame('Q', 12)), QByteArray(1, kAck));
    const TBoardState state = bench.board.State();
    QCOMPARE(state.garbageBytes, 4);
    QCOMPARE(state.frames, 1);
    QCOMPARE(state.speedCode, 12);
    QCOMPARE(bench.board.ReceivedBytes(), noise + Frame('Q', 12));

    // A lone STX takes the next STX as its letter: the board NAKs that frame, drops the value
    // byte after it as garbage and resynchronises on the following STX.
    const QByteArray answers =
        bench.Exchange(QByteArray("\x02", 1) + Frame('Q', 14) + Frame('Q', 15), 2);
    QCOMPARE(answers.toHex(' '), QByteArray("\x15\x06").toHex(' '));
    QCOMPARE(bench.board.Frames().value(1).frame, QByteArray("\x02\x02Q", 3));
    QCOMPARE(bench.board.State().garbageBytes, 5);
    QCOMPARE(bench.board.State().speedCode, 15);
}

void TstBoardSimulator::frameSplitAcrossWritesIsParsed()
{
    TBench bench;
    const QByteArray frame = Frame('R', 33);
    bench.slave->Write(frame.left(1));
    QTRY_COMPARE_WITH_TIMEOUT(bench.board.ReceivedBytes().size(), 1, kAnswerWaitMs);
    bench.slave->Write(frame.mid(1, 1));
    QTRY_COMPARE_WITH_TIMEOUT(bench.board.ReceivedBytes().size(), 2, kAnswerWaitMs);
    QVERIFY(bench.slave->Read(1, 50).isEmpty());  // no answer to a part of a frame
    QCOMPARE(bench.Exchange(frame.mid(2)), QByteArray(1, kAck));
    QCOMPARE(bench.board.State().inclineCode, 33);

    // Two frames in one write get two answers.
    QCOMPARE(bench.Exchange(Frame('Q', 3) + Frame('R', 60), 2), QByteArray(1, kAck) + kNak);
}

void TstBoardSimulator::silenceGivesNoByteAndChangesNothing()
{
    TBench bench({TBoardFault::Silence, 0});
    bench.slave->Write(Frame('Q', 9));
    QVERIFY(bench.board.WaitForFrames(1, kAnswerWaitMs));
    QVERIFY(bench.slave->Read(1, kQuietWaitMs).isEmpty());
    const TBoardState state = bench.board.State();
    QCOMPARE(state.speedCode, 0);
    QCOMPARE(state.silent, 1);
    QCOMPARE(state.acks + state.naks, 0);
    QCOMPARE(bench.board.Frames().value(0).answer, char(0));
}

void TstBoardSimulator::nakFaultRefusesAValidFrame()
{
    TBench bench({TBoardFault::Nak, 0});
    QCOMPARE(bench.Exchange(Frame('o', 0xAA)), QByteArray(1, kNak));
    QCOMPARE(bench.Exchange(Frame('Q', 9)), QByteArray(1, kNak));
    const TBoardState state = bench.board.State();
    QCOMPARE(state.speedCode, 0);
    QVERIFY(!state.calibrationArmed);
    QCOMPARE(state.naks, 2);
}

void TstBoardSimulator::delayedAnswerComesNotBeforeTheDelay()
{
    constexpr int delayMs = 250;
    TBench bench({TBoardFault::Delay, delayMs});
    const auto start = Clock::now();
    const QByteArray answer = bench.Exchange(Frame('Q', 9));
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    QCOMPARE(answer, QByteArray(1, kAck));
    QVERIFY2(elapsed >= delayMs, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < delayMs + 500, qPrintable(QString::number(elapsed)));
    QCOMPARE(bench.board.State().speedCode, 9);
}

void TstBoardSimulator::lateAnswerDefaultsToOneSecond()
{
    TBench bench({TBoardFault::Late, 0});
    bench.slave->Write(Frame('R', 4));
    QVERIFY(bench.slave->Read(1, 900).isEmpty());  // past the device's 800 ms time-out
    QCOMPARE(bench.slave->Read(1, kAnswerWaitMs), QByteArray(1, kAck));
}

void TstBoardSimulator::noiseSurroundsTheAnswer_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("packet");
    QTest::newRow("ACK") << Frame('Q', 9) << QByteArray("\x41\x42\x06\x15\x43");
    QTest::newRow("NAK") << Frame('Q', 200) << QByteArray("\x41\x42\x15\x06\x43");
}

void TstBoardSimulator::noiseSurroundsTheAnswer()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, packet);
    TBench bench({TBoardFault::Noise, 0});
    QCOMPARE(bench.Exchange(frame, packet.size()).toHex(' '), packet.toHex(' '));
    QVERIFY(bench.slave->Read(1, 50).isEmpty());
}

void TstBoardSimulator::splitAnswerArrivesInPieces()
{
    TBench bench({TBoardFault::Split, 0});
    bench.slave->Write(Frame('Q', 9));
    int chunks = 0;
    QCOMPARE(bench.slave->Read(5, kAnswerWaitMs, &chunks).toHex(' '),
             QByteArray("\x41\x42\x06\x15\x43").toHex(' '));
    QVERIFY2(chunks > 1, qPrintable(QString::number(chunks)));
    QTRY_COMPARE_WITH_TIMEOUT(bench.board.State().acks, 1, kAnswerWaitMs);
}

void TstBoardSimulator::laterFrameIsAnsweredBeforeADelayedOne()
{
    TBench bench({}, {{TBoardFault::Delay, 300}});
    bench.slave->Write(Frame('Q', 9));
    QVERIFY(bench.board.WaitForFrames(1, kAnswerWaitMs));
    bench.slave->Write(Frame('Q', 200));
    QCOMPARE(bench.slave->Read(1, 200), QByteArray(1, kNak));            // at once
    QCOMPARE(bench.slave->Read(1, kAnswerWaitMs), QByteArray(1, kAck));  // still comes
    QCOMPARE(bench.board.State().speedCode, 9);
}

void TstBoardSimulator::scriptStepsComeFirstThenTheStandingFault()
{
    TBench bench({TBoardFault::Noise, 0},
                 {{TBoardFault::Nak, 0}, {TBoardFault::Silence, 0}, {TBoardFault::None, 0}});
    QCOMPARE(bench.Exchange(Frame('Q', 1)), QByteArray(1, kNak));
    bench.slave->Write(Frame('Q', 2));
    QVERIFY(bench.board.WaitForFrames(2, kAnswerWaitMs));
    QCOMPARE(bench.Exchange(Frame('Q', 3)), QByteArray(1, kAck));  // nothing came for Q 2
    QCOMPARE(bench.Exchange(Frame('Q', 4), 5), QByteArray("\x41\x42\x06\x15\x43"));
    QCOMPARE(bench.Exchange(Frame('Q', 5), 5), QByteArray("\x41\x42\x06\x15\x43"));

    QList<char> answers;
    for (const TFrameRecord &record : bench.board.Frames()) {
        answers.append(record.answer);
    }
    QCOMPARE(answers, (QList<char>{kNak, 0, kAck, kAck, kAck}));
    QCOMPARE(bench.board.State().speedCode, 5);

    // A new script replaces what is left of the old one.
    bench.board.SetScript({{TBoardFault::Nak, 0}, {TBoardFault::Nak, 0}});
    bench.board.SetScript({{TBoardFault::Silence, 0}});
    bench.slave->Write(Frame('Q', 6));
    QVERIFY(bench.board.WaitForFrames(6, kAnswerWaitMs));
    QCOMPARE(bench.Exchange(Frame('Q', 7), 5), QByteArray("\x41\x42\x06\x15\x43"));
}

void TstBoardSimulator::scriptedPullHangsUpTheLine()
{
    TBench bench({}, {{TBoardFault::None, 0}, {TBoardFault::CablePull, 0}});
    QCOMPARE(bench.Exchange(Frame('Q', 1)), QByteArray(1, kAck));
    QVERIFY(!bench.board.CablePulled());
    bench.slave->Write(Frame('Q', 2) + Frame('Q', 3));
    QVERIFY(bench.slave->WaitHangup(kAnswerWaitMs));
    QVERIFY(bench.board.CablePulled());
    const TBoardState state = bench.board.State();
    QCOMPARE(state.frames, 2);  // nothing is parsed after the pull
    QCOMPARE(state.speedCode, 1);
    QCOMPARE(state.silent, 1);
    QCOMPARE(bench.board.Frames().value(1).answer, char(0));
    QCOMPARE(bench.board.ReceivedBytes(), Frame('Q', 1) + Frame('Q', 2));
    QVERIFY(!bench.slave->Write(Frame('Q', 4)));  // the device is gone
}

void TstBoardSimulator::pullCableFromAnotherThread()
{
    TBench bench;
    QCOMPARE(bench.Exchange(Frame('Q', 1)), QByteArray(1, kAck));
    std::thread puller([&] { bench.board.PullCable(); });
    puller.join();
    QVERIFY(bench.board.CablePulled());  // done by the time PullCable returned
    QVERIFY(bench.slave->WaitHangup(kAnswerWaitMs));
    bench.board.PullCable();  // twice is harmless
}

void TstBoardSimulator::pullDropsAnswersStillPending()
{
    TBench bench({TBoardFault::Delay, 5000});
    bench.slave->Write(Frame('Q', 1));
    QVERIFY(bench.board.WaitForFrames(1, kAnswerWaitMs));
    bench.board.PullCable();
    QVERIFY(bench.slave->WaitHangup(kAnswerWaitMs));
    QCOMPARE(bench.board.State().silent, 1);
    QCOMPARE(bench.board.State().acks, 0);
}

void TstBoardSimulator::observersRunOnTheBoardThread()
{
    TBench bench({TBoardFault::Delay, 100});
    const std::thread::id testThread = std::this_thread::get_id();
    std::atomic<int> frames{0}, answers{0};
    std::atomic<bool> offThread{true};
    std::atomic<char> lastAnswer{0};
    bench.board.SetFrameObserver([&](const TFrameRecord &record) {
        offThread = offThread && std::this_thread::get_id() != testThread;
        lastAnswer = record.answer;
        bench.board.State();  // members may be called from the observer
        ++frames;
    });
    bench.board.SetAnswerObserver([&](const TFrameRecord &record) {
        offThread = offThread && std::this_thread::get_id() != testThread;
        if (record.answer == kNak) {
            ++answers;
        }
    });
    bench.slave->Write(Frame('Q', 200));
    QTRY_COMPARE_WITH_TIMEOUT(frames.load(), 1, kAnswerWaitMs);
    QCOMPARE(lastAnswer.load(), kNak);
    QCOMPARE(answers.load(), 0);  // decided, not yet written
    QTRY_COMPARE_WITH_TIMEOUT(answers.load(), 1, kAnswerWaitMs);
    QCOMPARE(bench.slave->Read(1, kAnswerWaitMs), QByteArray(1, kNak));
    QVERIFY(offThread);
}

void TstBoardSimulator::observerSeesTheStateAfterItsOwnFrame()
{
    TBench bench;
    QList<int> speeds;  // written on the board thread, read after WaitForFrames
    std::atomic<int> seen{0};
    bench.board.SetFrameObserver([&](const TFrameRecord &) {
        speeds.append(bench.board.State().speedCode);
        ++seen;
    });
    // Three frames in one write reach the board in one read.
    bench.slave->Write(Frame('Q', 1) + Frame('Q', 2) + Frame('Q', 3));
    QCOMPARE(bench.slave->Read(3, kAnswerWaitMs), QByteArray(3, kAck));
    QTRY_COMPARE_WITH_TIMEOUT(seen.load(), 3, kAnswerWaitMs);
    QCOMPARE(speeds, (QList<int>{1, 2, 3}));
}

void TstBoardSimulator::stopFromTheObserverDoesNotDeadlock()
{
    TBench bench;
    bench.board.SetFrameObserver([&](const TFrameRecord &) { bench.board.Stop(); });
    bench.slave->Write(Frame('Q', 1));
    QTRY_VERIFY_WITH_TIMEOUT(!bench.board.Running(), kAnswerWaitMs);
    bench.board.Stop();  // joins the finished thread
    QVERIFY(bench.board.DevicePath().isEmpty());
}

void TstBoardSimulator::restartGivesAFreshBoard()
{
    TBench bench;
    QCOMPARE(bench.Exchange(Frame('Q', 8)), QByteArray(1, kAck));
    QString error;
    QVERIFY(!bench.board.Start(&error));
    QVERIFY(!error.isEmpty());
    bench.board.Stop();
    QVERIFY(!bench.board.Running());
    QVERIFY(bench.board.DevicePath().isEmpty());
    QVERIFY(bench.board.Start(&error));
    TRawSlave slave(bench.board.DevicePath());
    slave.Write(Frame('R', 2));
    QCOMPARE(slave.Read(1, kAnswerWaitMs), QByteArray(1, kAck));
    const TBoardState state = bench.board.State();
    QCOMPARE(state.speedCode, 0);
    QCOMPARE(state.inclineCode, 2);
    QCOMPARE(state.frames, 1);
    QCOMPARE(bench.board.Frames().size(), 1);
}

void TstBoardSimulator::clearLogKeepsTheState()
{
    TBench bench;
    QCOMPARE(bench.Exchange(Frame('Q', 8)), QByteArray(1, kAck));
    bench.board.ClearLog();
    QVERIFY(bench.board.Frames().isEmpty());
    QVERIFY(bench.board.ReceivedBytes().isEmpty());
    QCOMPARE(bench.board.State().speedCode, 8);
    QCOMPARE(bench.board.State().frames, 1);
    QCOMPARE(bench.Exchange(Frame('Q', 9)), QByteArray(1, kAck));
    QVERIFY(bench.board.WaitForFrames(1, 0));
    QCOMPARE(bench.board.Frames().value(0).frame, Frame('Q', 9));
}

void TstBoardSimulator::waitForFramesIsBounded()
{
    TBench bench;
    const auto start = Clock::now();
    QVERIFY(!bench.board.WaitForFrames(1, 100));
    QVERIFY(Clock::now() - start >= std::chrono::milliseconds(100));
    QVERIFY(Clock::now() - start < std::chrono::milliseconds(1500));
    // A frame arriving while another thread waits ends the wait.
    std::thread writer([&] { bench.slave->Write(Frame('Q', 1) + Frame('Q', 2)); });
    QVERIFY(bench.board.WaitForFrames(2, kAnswerWaitMs));
    writer.join();
}

void TstBoardSimulator::runsOnAGivenTerminalDevice()
{
    kestrova::comm::TPtyPair line;  // the test holds the far side this time
    TBoardSimulator board;
    QString error;
    QVERIFY2(board.StartOnDevice(QString::fromStdString(line.SlavePath()), &error),
             qPrintable(error));
    QCOMPARE(board.DevicePath(), QString::fromStdString(line.SlavePath()));
    QVERIFY(!board.StartOnDevice(QString::fromStdString(line.SlavePath()), &error));

    QVERIFY(line.Send(Frame('R', 30).toStdString()));
    QCOMPARE(QByteArray::fromStdString(line.Receive(kAnswerWaitMs)), QByteArray(1, kAck));
    QCOMPARE(board.State().inclineCode, 30);
    board.Stop();
}

void TstBoardSimulator::refusesWhatIsNotATerminal()
{
    TBoardSimulator board;
    QString error;
    QVERIFY(!board.StartOnDevice(QStringLiteral("/nonexistent/tty"), &error));
    QVERIFY(error.contains(QStringLiteral("/nonexistent/tty")));
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("plain")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    error.clear();
    QVERIFY(!board.StartOnDevice(file.fileName(), &error));
    QVERIFY(error.contains(QStringLiteral("not a terminal")));
    QVERIFY(!board.Running());
    QVERIFY(board.DevicePath().isEmpty());
}

// The board's planned end waits until the port has read everything before it hangs up: a
// byte just sent must count as unread, or the last answer is discarded with the line.
void TstBoardSimulator::unreadCountIsKnownRightAfterASend()
{
    kestrova::comm::TPtyPair pty;
    TRawSlave port(QString::fromStdString(pty.SlavePath()));
    for (int i = 0; i < 200; ++i) {
        QVERIFY(pty.Send("x"));
        QVERIFY2(pty.UnreadBySlave() > 0, qPrintable(QString::number(i)));
        QCOMPARE(port.Read(1, kAnswerWaitMs), QByteArray("x"));
        QCOMPARE(pty.UnreadBySlave(), 0);
    }
}

QTEST_GUILESS_MAIN(TstBoardSimulator)
#include "tst_boardsimulator.moc"
