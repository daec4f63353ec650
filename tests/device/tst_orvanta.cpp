#include <QElapsedTimer>
#include <QMutex>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <ctime>
#include <memory>
#include <thread>

#include "comm/ptypair.h"
#include "device/orvanta.h"
#include "platform/messagebox.h"
#include "platform/trace.h"
#include "tests/support/raisedby.h"
#include "tools/boardsim/boardsimulator.h"

using kestrova::comm::TPtyPair;

namespace {

const QString kFalha = QStringLiteral("Falha na comunicação");
const QString kNak = QStringLiteral("Retornou NAK");

// Collects the kestrova.trace lines, from any thread.
class TTraceLog {
public:
    static void Install()
    {
        EnableTrace(true);
        qInstallMessageHandler(&TTraceLog::Handler);
    }
    static void Clear()
    {
        QMutexLocker lock(&Mutex);
        Lines.clear();
    }
    static bool Contains(const QString &line)
    {
        QMutexLocker lock(&Mutex);
        return Lines.contains(line);
    }

private:
    static void Handler(QtMsgType, const QMessageLogContext &context, const QString &text)
    {
        if (qstrcmp(context.category, "kestrova.trace") != 0)
            return;
        QMutexLocker lock(&Mutex);
        Lines << text;
    }
    static inline QMutex Mutex;
    static inline QStringList Lines;
};

// The far end of the cable played by the test: answers every 3-byte frame with a fixed packet
// (nothing when the packet is empty), so tests can choose bytes the simulated board never sends.
class TScriptedPeer {
public:
    explicit TScriptedPeer(QByteArray answer) : FAnswer(std::move(answer))
    {
        FThread = std::thread([this] { Serve(); });
    }
    ~TScriptedPeer()
    {
        FStop = true;
        FThread.join();
    }
    QString Path() const { return QString::fromStdString(FPair.SlavePath()); }
    void Send(const QByteArray &bytes) { FPair.Send(bytes.toStdString()); }
    int Frames() const { return FFrames; }

private:
    void Serve()
    {
        std::string pending;
        while (!FStop) {
            pending += FPair.Receive(20);
            while (pending.size() >= 3) {
                pending.erase(0, 3);
                ++FFrames;
                if (!FAnswer.isEmpty())
                    FPair.Send(FAnswer.toStdString());
            }
        }
    }
    TPtyPair FPair;
    QByteArray FAnswer;
    std::atomic<bool> FStop{false};
    std::atomic<int> FFrames{0};
    std::thread FThread;
};

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

void UsePort3(const QString &path)
{
    qputenv("KESTROVA_COM3", path.toLocal8Bit());
}

}  // namespace

class TestOrvanta : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void commandsPutTheirFramesOnTheWire_data();
    void commandsPutTheirFramesOnTheWire();
    void framesAndAnswersAreTracedByteForByte();
    void successStoresTheRequestedValues();
    void nakFailsAndLeavesTheValues();
    void silentBoardFailsAfterTheTimeOut();
    void firstAnswerByteInAPacketWins_data();
    void firstAnswerByteInAPacketWins();
    void answersInNoiseOrInPiecesAreFound_data();
    void answersInNoiseOrInPiecesAreFound();
    void packetWhileIdleIsOnlyTraced();
    void answerCountsOnlyForItsOwnFrame_data();
    void answerCountsOnlyForItsOwnFrame();
    void bytesBeforeTheFrameAreNeverItsAnswer();
    void stopAfterATimeOutWaitsOnlyForTheQuietLine();
    void calibrationStopsWhenThePreambleFails_data();
    void calibrationStopsWhenThePreambleFails();
    void missingPortIsReportedAndCommandsFail();
    void ligarSendsNothingAndEstaLigadaIsFalse();
    void pulledCableFailsEveryLaterCommand();
    void twoThreadsNeverInterleaveFrames();
    void reentryFromTheWaitingEventLoopIsRefused();
    void destroyingWaitsForAnExchangeOnAnotherThread();
    void exceptionInsideTheWaitThenALateAnswer();
    void exchangeAfterQuitWaitsForItsAnswer();

private:
    std::unique_ptr<TOrvanta> Connect();

    std::unique_ptr<TBoardSimulator> FBoard;
    QStringList FErrorBoxes;
};

void TestOrvanta::initTestCase()
{
    TTraceLog::Install();
    SetErrorMessageHook([this](const QString &text) { FErrorBoxes << text; });
}

void TestOrvanta::init()
{
    TTraceLog::Clear();
    FErrorBoxes.clear();
    FBoard = std::make_unique<TBoardSimulator>();
    QString error;
    QVERIFY2(FBoard->Start(&error), qPrintable(error));
    UsePort3(FBoard->DevicePath());
}

void TestOrvanta::cleanup()
{
    FBoard.reset();
}

std::unique_ptr<TOrvanta> TestOrvanta::Connect()
{
    auto board = std::make_unique<TOrvanta>(nullptr, 3);
    if (!board->Porta()->Opened())
        qWarning() << "port did not open:" << board->Porta()->ErrorMessage();
    return board;
}

void TestOrvanta::commandsPutTheirFramesOnTheWire_data()
{
    QTest::addColumn<std::function<void(TOrvanta &)>>("command");
    QTest::addColumn<QByteArray>("wire");
    using F = std::function<void(TOrvanta &)>;
    QTest::newRow("speed 5.3") << F([](TOrvanta &o) { o.AjustarVelocidade(5.3); })
                               << Bytes({0x02, 'Q', 39});
    QTest::newRow("speed 0") << F([](TOrvanta &o) { o.AjustarVelocidade(0); })
                             << Bytes({0x02, 'Q', 0});
    QTest::newRow("speed 18") << F([](TOrvanta &o) { o.AjustarVelocidade(18); })
                              << Bytes({0x02, 'Q', 166});
    QTest::newRow("incline 2.5") << F([](TOrvanta &o) { o.AjustarInclinacao(2.5); })
                                 << Bytes({0x02, 'R', 28});
    QTest::newRow("incline 25") << F([](TOrvanta &o) { o.AjustarInclinacao(25); })
                                << Bytes({0x02, 'R', 25});
    QTest::newRow("stop") << F([](TOrvanta &o) { o.Parar(); }) << Bytes({0x02, 'T', 0});
    QTest::newRow("calibrate speed 106") << F([](TOrvanta &o) { o.CalibrarVelocidade(106, 4000); })
                                         << Bytes({0x02, 'o', 0xAA, 0x02, 'v', 0x6A});
    QTest::newRow("calibrate incline 18") << F([](TOrvanta &o) { o.CalibrarInclinacao(18, 4000); })
                                          << Bytes({0x02, 'o', 0xAA, 0x02, 'i', 0x12});
    QTest::newRow("calibrate speed 300 keeps the low byte")
        << F([](TOrvanta &o) { o.CalibrarVelocidade(static_cast<unsigned char>(300), 4000); })
        << Bytes({0x02, 'o', 0xAA, 0x02, 'v', 44});
}

void TestOrvanta::commandsPutTheirFramesOnTheWire()
{
    QFETCH(std::function<void(TOrvanta &)>, command);
    QFETCH(QByteArray, wire);
    auto orvanta = Connect();
    QCOMPARE(RaisedBy([&] { command(*orvanta); }), QString());
    QCOMPARE(FBoard->ReceivedBytes().toHex(' '), wire.toHex(' '));
    QCOMPARE(FBoard->State().naks, 0);
}

void TestOrvanta::framesAndAnswersAreTracedByteForByte()
{
    auto orvanta = Connect();
    orvanta->AjustarVelocidade(5.3);
    QVERIFY(TTraceLog::Contains(QStringLiteral("ENVIOU    0x02  0x51  0x27  ")));
    QVERIFY(TTraceLog::Contains(QStringLiteral("RECEBEU   0x06  ")));
}

void TestOrvanta::successStoresTheRequestedValues()
{
    auto orvanta = Connect();
    orvanta->AjustarVelocidade(25.0);
    orvanta->AjustarInclinacao(2.5);
    QCOMPARE(orvanta->PegarVelocidade(), 25.0);
    QCOMPARE(orvanta->PegarInclinacao(), 2.5);
    QCOMPARE(FBoard->State().speedCode, 166);
    QCOMPARE(FBoard->State().inclineCode, 28);
    orvanta->Parar();
    QCOMPARE(orvanta->PegarVelocidade(), 0.0);
    QCOMPARE(orvanta->PegarInclinacao(), 0.0);
    QCOMPARE(orvanta->Estado(), TOrvanta::kEstadoOcioso);
}

void TestOrvanta::nakFailsAndLeavesTheValues()
{
    auto orvanta = Connect();
    orvanta->AjustarVelocidade(5.0);
    orvanta->AjustarInclinacao(3.0);
    FBoard->SetFault({TBoardFault::Nak});
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(6.0); }), kNak);
    QCOMPARE(RaisedBy([&] { orvanta->AjustarInclinacao(4.0); }), kNak);
    QCOMPARE(RaisedBy([&] { orvanta->Parar(); }), kNak);
    QCOMPARE(orvanta->PegarVelocidade(), 5.0);
    QCOMPARE(orvanta->PegarInclinacao(), 3.0);
}

void TestOrvanta::silentBoardFailsAfterTheTimeOut()
{
    auto orvanta = Connect();
    orvanta->AjustarVelocidade(5.0);
    FBoard->SetFault({TBoardFault::Silence});
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(6.0); }), kFalha);
    QVERIFY2(clock.elapsed() >= 795, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(orvanta->Estado(), TOrvanta::kEstadoAguardando);
    QCOMPARE(orvanta->PegarVelocidade(), 5.0);
}

void TestOrvanta::firstAnswerByteInAPacketWins_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QString>("failure");
    QTest::newRow("noise, ACK, NAK") << Bytes({0x41, 0x06, 0x15}) << QString();
    QTest::newRow("noise, NAK, ACK") << Bytes({0x41, 0x15, 0x06}) << kNak;
    QTest::newRow("noise only") << Bytes({0x41, 0x42}) << kFalha;
}

void TestOrvanta::firstAnswerByteInAPacketWins()
{
    QFETCH(QByteArray, packet);
    QFETCH(QString, failure);
    TScriptedPeer peer(packet);
    UsePort3(peer.Path());
    auto orvanta = Connect();
    QCOMPARE(RaisedBy([&] { orvanta->AjustarInclinacao(1.0); }), failure);
    if (failure.isEmpty())
        QCOMPARE(orvanta->TamanhoResposta(), int(packet.size()));
}

void TestOrvanta::answersInNoiseOrInPiecesAreFound_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("noise") << int(TBoardFault::Noise);
    QTest::newRow("split") << int(TBoardFault::Split);
    QTest::newRow("delayed 200 ms") << int(TBoardFault::Delay);
}

void TestOrvanta::answersInNoiseOrInPiecesAreFound()
{
    QFETCH(int, fault);
    FBoard->SetFault({TBoardFault(fault), 200});
    auto orvanta = Connect();
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(7.0); }), QString());
    QCOMPARE(orvanta->PegarVelocidade(), 7.0);
}

void TestOrvanta::packetWhileIdleIsOnlyTraced()
{
    TScriptedPeer peer{QByteArray()};
    UsePort3(peer.Path());
    auto orvanta = Connect();
    peer.Send(Bytes({0x06}));
    QTRY_VERIFY_WITH_TIMEOUT(TTraceLog::Contains(QStringLiteral("RECEBEU   0x06  ")), 5000);
    QCOMPARE(orvanta->Estado(), TOrvanta::kEstadoOcioso);
    // The stray ACK was not kept for the next exchange, which the silent peer never answers.
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(3.0); }), kFalha);
}

// An answer later than the time-out belongs to its own frame, never to the next one: it is traced
// and discarded while the line settles, and the next frame gets only its own answer.
void TestOrvanta::answerCountsOnlyForItsOwnFrame_data()
{
    QTest::addColumn<int>("lateMs");
    QTest::addColumn<int>("nextFault");
    QTest::addColumn<QString>("nextOutcome");
    QTest::newRow("late ACK, next frame unanswered") << 1000 << int(TBoardFault::Silence) << kFalha;
    QTest::newRow("late ACK, next frame acknowledged")
        << 900 << int(TBoardFault::None) << QString();
}

void TestOrvanta::answerCountsOnlyForItsOwnFrame()
{
    QFETCH(int, lateMs);
    QFETCH(int, nextFault);
    QFETCH(QString, nextOutcome);
    FBoard->SetScript({{TBoardFault::Late, lateMs}, {TBoardFault(nextFault)}});
    auto orvanta = Connect();
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(4.0); }), kFalha);
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(5.0); }), nextOutcome);
    QVERIFY(TTraceLog::Contains(QStringLiteral("DESCARTOU 0x06  (nenhum quadro aguarda)")));
    QCOMPARE(orvanta->PegarVelocidade(), nextOutcome.isEmpty() ? 5.0 : 0.0);
}

// Board noise arrives while the main thread is busy (the reader holds it for delivery); the
// exchange that starts afterwards must not take it for its answer.
void TestOrvanta::bytesBeforeTheFrameAreNeverItsAnswer()
{
    TScriptedPeer peer{QByteArray()};
    UsePort3(peer.Path());
    auto orvanta = Connect();
    peer.Send(Bytes({0x41, 0x06}));
    QTest::qSleep(200);  // busy: no events processed
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(3.0); }), kFalha);
}

// A stop after a time-out waits for the quiet line (at least the settle time), never longer than
// one answer time-out more.
void TestOrvanta::stopAfterATimeOutWaitsOnlyForTheQuietLine()
{
    FBoard->SetScript({{TBoardFault::Silence}});
    auto orvanta = Connect();
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(4.0); }), kFalha);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(RaisedBy([&] { orvanta->Parar(); }), QString());
    QVERIFY2(clock.elapsed() >= TOrvanta::kAssentamentoMs / 2,
             qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(clock.elapsed() < TOrvanta::kTempoRespostaMs + 400,
             qPrintable(QString::number(clock.elapsed())));
    // A stop right after an acknowledged frame does not wait.
    clock.restart();
    orvanta->Parar();
    QVERIFY2(clock.elapsed() < TOrvanta::kAssentamentoMs,
             qPrintable(QString::number(clock.elapsed())));
}

void TestOrvanta::calibrationStopsWhenThePreambleFails_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("failure");
    QTest::newRow("silent") << int(TBoardFault::Silence) << kFalha;
    QTest::newRow("NAK") << int(TBoardFault::Nak) << kNak;
}

void TestOrvanta::calibrationStopsWhenThePreambleFails()
{
    QFETCH(int, fault);
    QFETCH(QString, failure);
    FBoard->SetScript({{TBoardFault(fault)}});
    auto orvanta = Connect();
    QCOMPARE(RaisedBy([&] { orvanta->CalibrarInclinacao(18, 300); }), failure);
    // The second frame would have been written before the call returned.
    QCOMPARE(FBoard->ReceivedBytes().toHex(' '), Bytes({0x02, 'o', 0xAA}).toHex(' '));
    QCOMPARE(FBoard->State().inclineCalibration, -1);
}

void TestOrvanta::missingPortIsReportedAndCommandsFail()
{
    UsePort3(QStringLiteral("/dev/kestrova-no-such-port"));
    auto orvanta = Connect();
    QCOMPARE(
        FErrorBoxes,
        QStringList{QStringLiteral("Não foi possível abrir porta serial.\n\nTente novamente.")});
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(5.0); }), kFalha);
    QCOMPARE(RaisedBy([&] { orvanta->Parar(); }), kFalha);
    QCOMPARE(orvanta->PegarVelocidade(), 0.0);
}

void TestOrvanta::ligarSendsNothingAndEstaLigadaIsFalse()
{
    auto orvanta = Connect();
    orvanta->Ligar();
    orvanta->Parar();
    QCOMPARE(FBoard->ReceivedBytes().toHex(' '), Bytes({0x02, 'T', 0}).toHex(' '));
    QVERIFY(!orvanta->EstaLigada());
}

void TestOrvanta::pulledCableFailsEveryLaterCommand()
{
    FBoard->SetScript({{TBoardFault::CablePull}});
    auto orvanta = Connect();
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(5.0); }), kFalha);
    QVERIFY(FBoard->CablePulled());
    QVERIFY(!RaisedBy([&] { orvanta->AjustarVelocidade(5.0); }).isEmpty());
    QCOMPARE(orvanta->PegarVelocidade(), 0.0);
}

// A worker thread (the window's polling) and the main thread (its buttons) use one device at
// once: every frame must be answered before the next one starts.
void TestOrvanta::twoThreadsNeverInterleaveFrames()
{
    std::atomic<int> outstanding{0};
    std::atomic<int> mostOutstanding{0};
    FBoard->SetFault({TBoardFault::Delay, 3});
    FBoard->SetFrameObserver([&](const TFrameRecord &) {
        const int now = ++outstanding;
        int seen = mostOutstanding;
        while (now > seen && !mostOutstanding.compare_exchange_weak(seen, now)) {
        }
    });
    FBoard->SetAnswerObserver([&](const TFrameRecord &) { --outstanding; });
    auto orvanta = Connect();
    constexpr int kEach = 25;
    std::atomic<int> workerFailures{0};
    std::atomic<bool> workerDone{false};
    std::thread worker([&] {
        for (int i = 0; i < kEach; ++i)
            workerFailures += RaisedBy([&] { orvanta->AjustarVelocidade(2.0 + i / 10.0); }) != "";
        workerDone = true;
    });
    int mainFailures = 0;
    for (int i = 0; i < kEach; ++i)
        mainFailures += RaisedBy([&] { orvanta->AjustarInclinacao(i % 26); }) != "";
    QTRY_VERIFY_WITH_TIMEOUT(workerDone, 30000);
    worker.join();
    QCOMPARE(workerFailures.load(), 0);
    QCOMPARE(mainFailures, 0);
    QCOMPARE(mostOutstanding.load(), 1);
    const auto state = FBoard->State();
    QCOMPARE(state.frames, 2 * kEach);
    QCOMPARE(state.garbageBytes, 0);
    QCOMPARE(state.naks, 0);
}

void TestOrvanta::reentryFromTheWaitingEventLoopIsRefused()
{
    FBoard->SetFault({TBoardFault::Delay, 300});
    auto orvanta = Connect();
    QString inner = QStringLiteral("did not run");
    QTimer::singleShot(50, [&] { inner = RaisedBy([&] { orvanta->AjustarInclinacao(2.0); }); });
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(3.0); }), QString());
    QVERIFY2(inner.startsWith(QStringLiteral("Comunicação ocupada")), qPrintable(inner));
    QCOMPARE(FBoard->State().frames, 1);
}

void TestOrvanta::destroyingWaitsForAnExchangeOnAnotherThread()
{
    FBoard->SetFault({TBoardFault::Silence});
    auto orvanta = Connect();
    QString failure;
    std::thread worker([&] { failure = RaisedBy([&] { orvanta->AjustarVelocidade(4.0); }); });
    QVERIFY(FBoard->WaitForFrames(1, 5000));
    orvanta.reset();
    worker.join();
    QCOMPARE(failure, kFalha);
}

// Something raises inside the main thread's wait; the answer that comes later must find nothing
// dangling, and the device must go on working.
void TestOrvanta::exceptionInsideTheWaitThenALateAnswer()
{
    FBoard->SetFault({TBoardFault::Delay, 300});
    auto orvanta = Connect();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { throw Exception(QStringLiteral("durante a espera")); },
        Qt::QueuedConnection);
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(3.0); }),
             QStringLiteral("durante a espera"));
    QTRY_VERIFY_WITH_TIMEOUT(TTraceLog::Contains(QStringLiteral("RECEBEU   0x06  ")), 5000);
    QCOMPARE(RaisedBy([&] { orvanta->AjustarVelocidade(4.0); }), QString());
}

// After QCoreApplication::quit() (the window closing) a stop must still wait without spinning and
// get the answer that comes in time.
void TestOrvanta::exchangeAfterQuitWaitsForItsAnswer()
{
    FBoard->SetFault({TBoardFault::Delay, 300});
    auto orvanta = Connect();
    QString outcome = QStringLiteral("did not run");
    std::clock_t cpu = 0;
    QTimer::singleShot(0, [&] {
        QCoreApplication::quit();
        const std::clock_t start = std::clock();
        outcome = RaisedBy([&] { orvanta->Parar(); });
        cpu = std::clock() - start;
    });
    QCoreApplication::exec();
    QCOMPARE(outcome, QString());
    const double cpuMs = 1000.0 * double(cpu) / CLOCKS_PER_SEC;
    QVERIFY2(cpuMs < 150, qPrintable(QString::number(cpuMs)));
}

QTEST_GUILESS_MAIN(TestOrvanta)
#include "tst_orvanta.moc"
