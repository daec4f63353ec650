#include <QDir>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <memory>

#include "heartrate/falhabluetooth.h"
#include "heartrate/preferenciacinta.h"
#include "tools/boardsim/boardsimulator.h"

namespace {

struct TRun {
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

}  // namespace

// orvanta-ctl run as a user would, against the simulated board over a pty.
class TestOrvantaCtl : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void commandsSendTheirFrames_data();
    void commandsSendTheirFrames();
    void boardFailuresExitNonZeroWithTheReason_data();
    void boardFailuresExitNonZeroWithTheReason();
    void missingPortIsReported();
    void portNumberGoesThroughTheMapping();
    void traceShowsTheFramesOnStandardError();
    void pollResendsBothValuesEveryTick();
    void pollReportsEachFailedTick();
    void pollFoldsMissedTicksIntoOne();
    void pollStopsOnALostDevice();
    void mapStoresThePortAndPortsListsIt();
    void usageErrors_data();
    void usageErrors();
    void heartRateDecode_data();
    void heartRateDecode();
    void heartRateStrapWithoutAdapter_data();
    void heartRateStrapWithoutAdapter();
    void languageOption_data();
    void languageOption();

private:
    TRun Ctl(const QStringList &arguments, const QProcessEnvironment &environment = {});
    QStringList OnBoard(const QStringList &arguments) const;

    std::unique_ptr<TBoardSimulator> FBoard;
    QTemporaryDir FConfig;  // the settings of this test, never the user's
};

void TestOrvantaCtl::initTestCase()
{
    QVERIFY(FConfig.isValid());
    qputenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit());  // inherited by orvanta-ctl
    qunsetenv("KESTROVA_COM4");
}

void TestOrvantaCtl::init()
{
    FBoard = std::make_unique<TBoardSimulator>();
    QString error;
    QVERIFY2(FBoard->Start(&error), qPrintable(error));
}

void TestOrvantaCtl::cleanup()
{
    FBoard.reset();
}

TRun TestOrvantaCtl::Ctl(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ORVANTA_CTL_PATH), arguments);
    TRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList TestOrvantaCtl::OnBoard(const QStringList &arguments) const
{
    return QStringList{"--device", FBoard->DevicePath()} + arguments;
}

void TestOrvantaCtl::commandsSendTheirFrames_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("speed") << QStringList{"speed", "5.3"} << Bytes({0x02, 'Q', 39});
    QTest::newRow("incline, comma") << QStringList{"incline", "2,5"} << Bytes({0x02, 'R', 28});
    QTest::newRow("stop") << QStringList{"stop"} << Bytes({0x02, 'T', 0});
    QTest::newRow("calibrate speed 255")
        << QStringList{"calibrate-speed", "255"} << Bytes({0x02, 'o', 0xAA, 0x02, 'v', 0xFF});
    QTest::newRow("calibrate incline")
        << QStringList{"calibrate-incline", "18"} << Bytes({0x02, 'o', 0xAA, 0x02, 'i', 18});
}

void TestOrvantaCtl::commandsSendTheirFrames()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, wire);
    const TRun run = Ctl(OnBoard(arguments));
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains("OK"), qPrintable(run.out));
    QCOMPARE(FBoard->ReceivedBytes().toHex(' '), wire.toHex(' '));
}

void TestOrvantaCtl::boardFailuresExitNonZeroWithTheReason_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("NAK") << int(TBoardFault::Nak) << QStringLiteral("Retornou NAK");
    QTest::newRow("silent") << int(TBoardFault::Silence) << QStringLiteral("Falha na comunicação");
}

void TestOrvantaCtl::boardFailuresExitNonZeroWithTheReason()
{
    QFETCH(int, fault);
    QFETCH(QString, reason);
    FBoard->SetFault({TBoardFault(fault)});
    const TRun run = Ctl(OnBoard({"speed", "4"}));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.trimmed(), QStringLiteral("orvanta-ctl: ") + reason);
}

void TestOrvantaCtl::missingPortIsReported()
{
    const TRun run = Ctl({"--device", "/dev/kestrova-no-such-port", "stop"});
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.err.contains(QStringLiteral("Não foi possível abrir porta serial.")),
             qPrintable(run.err));
    QVERIFY2(run.err.contains("/dev/kestrova-no-such-port"), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("o dispositivo não existe")), qPrintable(run.err));
}

void TestOrvantaCtl::portNumberGoesThroughTheMapping()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KESTROVA_COM5", FBoard->DevicePath());
    const TRun run = Ctl({"--port", "5", "stop"}, environment);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(FBoard->State().frames, 1);
}

void TestOrvantaCtl::traceShowsTheFramesOnStandardError()
{
    const TRun run = Ctl(OnBoard({"--trace", "stop"}));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("ENVIOU    0x02  0x54  0x00  "), qPrintable(run.err));
    QVERIFY2(run.err.contains("RECEBEU   0x06  "), qPrintable(run.err));
}

void TestOrvantaCtl::pollResendsBothValuesEveryTick()
{
    const TRun run = Ctl(
        OnBoard({"poll", "--speed", "6", "--incline", "2.5", "--period", "50", "--ticks", "3"}));
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QByteArray tick = Bytes({0x02, 'Q', 46, 0x02, 'R', 28});
    QCOMPARE(FBoard->ReceivedBytes().toHex(' '), (tick + tick + tick).toHex(' '));
    QCOMPARE(run.out.count(QStringLiteral("Velocidade ou Inclinação: OK")), 3);
}

void TestOrvantaCtl::pollReportsEachFailedTick()
{
    // Tick 1: speed refused, so the incline is not sent. Tick 2: both acknowledged.
    FBoard->SetScript({{TBoardFault::Nak}});
    const TRun run = Ctl(OnBoard({"poll", "--speed", "6", "--period", "20", "--ticks", "2"}));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(QStringLiteral("tick 1: Velocidade ou Inclinação: Retornou NAK")),
             qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("tick 2: Velocidade ou Inclinação: OK")),
             qPrintable(run.out));
    QCOMPARE(FBoard->State().frames, 3);
}

// The first frame goes unanswered, so the first tick runs far past the next four. Those fold
// into one tick that fires at once; the rest keep the period instead of firing back to back.
void TestOrvantaCtl::pollFoldsMissedTicksIntoOne()
{
    using namespace std::chrono;
    QList<steady_clock::time_point> speedFrames;
    QMutex mutex;
    FBoard->SetFrameObserver([&](const TFrameRecord &record) {
        QMutexLocker lock(&mutex);
        if (record.frame.at(1) == 'Q')
            speedFrames << steady_clock::now();
    });
    FBoard->SetScript({{TBoardFault::Silence}});
    const TRun run = Ctl(OnBoard({"poll", "--speed", "6", "--period", "200", "--ticks", "6"}));
    QCOMPARE(run.exitCode, 1);
    QMutexLocker lock(&mutex);
    QCOMPARE(speedFrames.size(), 6);
    int backToBack = 0;
    for (qsizetype i = 2; i < speedFrames.size(); ++i)
        backToBack += speedFrames.at(i) - speedFrames.at(i - 1) < milliseconds(60);
    QVERIFY2(backToBack <= 1, qPrintable(QString::number(backToBack)));
}

void TestOrvantaCtl::pollStopsOnALostDevice()
{
    FBoard->SetScript({{}, {}, {TBoardFault::CablePull}});
    const TRun run = Ctl(OnBoard({"poll", "--speed", "6", "--period", "50", "--ticks", "20"}));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("comunicação perdida"), qPrintable(run.err));
    QVERIFY2(run.out.count("tick ") < 5, qPrintable(run.out));
}

void TestOrvantaCtl::mapStoresThePortAndPortsListsIt()
{
    const QString device = FBoard->DevicePath();
    TRun run = Ctl({"map", "4", device});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out.trimmed(), QStringLiteral("COM4 = %1 (antes /dev/ttyS3)").arg(device));
    run = Ctl({"--port", "4", "stop"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(FBoard->State().frames, 1);
    run = Ctl({"ports"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(device + "  |  COM4"), qPrintable(run.out));
    run = Ctl({"map", "4", "-"});
    QCOMPARE(run.out.trimmed(), QStringLiteral("COM4 = /dev/ttyS3 (antes %1)").arg(device));
    QCOMPARE(Ctl({"map", "0", device}).exitCode, 2);
}

void TestOrvantaCtl::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"jump"};
    QTest::newRow("speed not a number") << QStringList{"speed", "fast"};
    QTest::newRow("speed nan") << QStringList{"speed", "nan"};
    QTest::newRow("missing count") << QStringList{"calibrate-speed"};
    QTest::newRow("poll without ticks") << QStringList{"poll", "--ticks", "0"};
    QTest::newRow("calibration above 255") << QStringList{"calibrate-speed", "300"};
    QTest::newRow("calibration below 0") << QStringList{"calibrate-incline", "-1"};
}

void TestOrvantaCtl::usageErrors()
{
    QFETCH(QStringList, arguments);
    const TRun run = Ctl(OnBoard(arguments));
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.startsWith("orvanta-ctl: "));
    QCOMPARE(FBoard->State().frames, 0);
}

// A strap's notification decoded for a technician, with no board: flags 0x16 (8-bit rate,
// contact detected, RR present), 72 bpm, one RR of 0x0340 = 832/1024 s.
void TestOrvantaCtl::heartRateDecode_data()
{
    QTest::addColumn<QStringList>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("valid") << QStringList{"16", "48", "40", "03"} << 0 << "72 bpm";
    QTest::newRow("valid, one word") << QStringList{"16484003"} << 0 << "812.5 ms";
    QTest::newRow("reserved bits") << QStringList{"e0", "48"} << 1 << "recusada";
    QTest::newRow("too short") << QStringList{"01", "48"} << 1 << "recusada";
    QTest::newRow("not hex") << QStringList{"zz"} << 2 << "hr-decode";
}

void TestOrvantaCtl::heartRateDecode()
{
    QFETCH(QStringList, bytes);
    QFETCH(int, status);
    QFETCH(QString, text);
    const TRun run = Ctl(QStringList{"hr-decode"} + bytes);
    QCOMPARE(run.exitCode, status);
    QVERIFY2((status ? run.err : run.out).contains(text), qPrintable(run.out + run.err));
}

// The strap commands on a machine without a Bluetooth adapter (this one): the real program and
// the real Qt Bluetooth, which finds none. One line on standard error, whatever Qt Bluetooth
// warns about; usage errors before any of it.
void TestOrvantaCtl::heartRateStrapWithoutAdapter_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("remembered");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    const QString noAdapter = TextoFalhaBluetooth(TFalhaBluetooth::SemAdaptador);
    const QStringList read{"hr", "--seconds", "5"};
    QTest::newRow("scan") << QStringList{"hr-scan"} << false << 1 << noAdapter;
    QTest::newRow("scan, 1 s") << QStringList{"hr-scan", "--seconds", "1"} << false << 1
                               << noAdapter;
    QTest::newRow("read the strap given")
        << read + QStringList{"--sensor", "A0:9E:1A:12:34:56"} << false << 1 << noAdapter;
    QTest::newRow("read the strap remembered") << read << true << 1 << noAdapter;
    QTest::newRow("nothing remembered") << read << false << 2 << "--sensor ADDRESS";
    QTest::newRow("not an address")
        << read + QStringList{"--sensor", "A0:9E:1A"} << true << 2 << "\"A0:9E:1A\"";
    QTest::newRow("no time") << QStringList{"hr", "--sensor", "A0:9E:1A:12:34:56"} << false << 2
                             << "--seconds";
    QTest::newRow("scan, 0 s") << QStringList{"hr-scan", "--seconds", "0"} << false << 2
                               << "--seconds";
}

void TestOrvantaCtl::heartRateStrapWithoutAdapter()
{
#ifndef KESTROVA_HEARTRATE_BLUETOOTH
    QSKIP("built without Qt Bluetooth");
#endif
    QFETCH(QStringList, arguments);
    QFETCH(bool, remembered);
    QFETCH(int, status);
    QFETCH(QString, text);
    if (status == 1 && !QDir(QStringLiteral("/sys/class/bluetooth")).isEmpty())
        QSKIP("this machine has a Bluetooth adapter");
    using TTipo = TPreferenciaCinta::TTipo;
    const TPreferenciaCinta chosen =
        remembered ? TPreferenciaCinta{TTipo::Bluetooth, "C8:FD:19:00:AB:CD", "Polar H10"}
                   : TPreferenciaCinta{};
    QVERIFY(chosen.Salvar());
    const TRun run = Ctl(arguments);
    QCOMPARE(run.exitCode, status);
    QVERIFY2(run.err.startsWith("orvanta-ctl: ") && run.err.contains(text), qPrintable(run.err));
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(!run.out.contains(text), qPrintable(run.out));
}

// --lang stands before the command or among its options; the messages follow it, the
// table's machine-readable columns do not.
void TestOrvantaCtl::languageOption_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("absent");
    QTest::addColumn<int>("status");
    QTest::newRow("en first") << QStringList{"--lang", "en", "show", "bruce"}
                              << "Total duration: 27:00"
                              << "Duração total" << 0;
    QTest::newRow("en among the command's options")
        << QStringList{"show", "bruce", "--lang=en"} << "Total duration: 27:00"
        << "Duração total" << 0;
    QTest::newRow("pt") << QStringList{"show", "bruce", "--lang", "pt"} << "Duração total: 27:00"
                        << "Total duration" << 0;
    // Usage errors and the help are Portuguese texts with their English, like the rest.
    const QStringList recovery{"show", "bruce", "--recovery", "99"};
    QTest::newRow("en usage error")
        << QStringList{"--lang", "en"} + recovery << "--recovery must be 0 to 60 minutes"
        << "minutos" << 2;
    QTest::newRow("pt usage error")
        << QStringList{"--lang", "pt"} + recovery << "--recovery deve ser de 0 a 60 minutos"
        << "must" << 2;
    QTest::newRow("en help") << QStringList{"--lang", "en", "--help"}
                             << "Commands:\n  speed KMH                 set the belt speed"
                             << "Comandos" << 0;
    QTest::newRow("pt help") << QStringList{"--lang", "pt", "--help"}
                             << "Comandos:\n  speed KMH                 ajusta a velocidade"
                             << "Commands" << 0;
}

void TestOrvantaCtl::languageOption()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, present);
    QFETCH(QString, absent);
    QFETCH(int, status);
    const TRun run = Ctl(arguments);
    QCOMPARE(run.exitCode, status);
    const QString said = run.out + run.err;
    QVERIFY2(said.contains(present) && !said.contains(absent), qPrintable(said));
    const TRun unknown = Ctl({"--lang", "xx", "show", "bruce"});
    QCOMPARE(unknown.exitCode, 2);
    QVERIFY2(unknown.err.contains(QStringLiteral("\"xx\"")), qPrintable(unknown.err));
}

QTEST_GUILESS_MAIN(TestOrvantaCtl)
#include "tst_orvantactl.moc"
