#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <memory>
#include <utility>

#include "tools/boardsim/boardsimulator.h"

// orvanta-ctl's protocol commands run as a user would, against the simulated board over a pty.
namespace {

QByteArray Frame(char letter, int value)
{
    return QByteArray{"\x02"} + letter + char(value);
}

const QByteArray kStop = Frame('T', 0);

}  // namespace

class TestOrvantaCtlProtocol : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void runFinishesWithTheRecoveryAndWritesCsv();
    void runRecordsTheReplayedHeartRate();
    void ctrlCStopsTheBelt();
    void lostLinkStopsAndExitsOne();
    void showPrintsWhatTheBoardReceives();
    void exitStatuses_data();
    void exitStatuses();

private:
    void Start(const QStringList &arguments);
    int Finish();
    QList<QByteArray> Frames() const;

    std::unique_ptr<TBoardSimulator> FBoard;
    std::unique_ptr<QTemporaryDir> FHome;
    std::unique_ptr<QProcess> FProcess;
    QString FOut, FErr;
};

void TestOrvantaCtlProtocol::init()
{
    FBoard = std::make_unique<TBoardSimulator>();
    QString error;
    QVERIFY2(FBoard->Start(&error), qPrintable(error));
    FHome = std::make_unique<QTemporaryDir>();
}

void TestOrvantaCtlProtocol::cleanup()
{
    if (FProcess && FProcess->state() != QProcess::NotRunning) {
        FProcess->kill();
        FProcess->waitForFinished();
    }
    FProcess.reset();
    FBoard.reset();
}

void TestOrvantaCtlProtocol::Start(const QStringList &arguments)
{
    FProcess = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", FHome->path());  // no user protocols but the test's
    FProcess->setProcessEnvironment(environment);
    FProcess->start(QStringLiteral(ORVANTA_CTL_PATH),
                    QStringList{"--device", FBoard->DevicePath()} + arguments);
    QVERIFY(FProcess->waitForStarted());
}

int TestOrvantaCtlProtocol::Finish()
{
    if (!FProcess->waitForFinished(60000))
        return -1;
    FOut = QString::fromUtf8(FProcess->readAllStandardOutput());
    FErr = QString::fromUtf8(FProcess->readAllStandardError());
    return FProcess->exitStatus() == QProcess::NormalExit ? FProcess->exitCode() : -2;
}

QList<QByteArray> TestOrvantaCtlProtocol::Frames() const
{
    QList<QByteArray> frames;
    for (const TFrameRecord &record : FBoard->Frames())
        frames << record.frame;
    return frames;
}

void TestOrvantaCtlProtocol::runFinishesWithTheRecoveryAndWritesCsv()
{
    const QString csv = FHome->filePath("run.csv");
    Start({"run", "usafsam", "--time-scale", "1000", "--recovery", "1", "--csv", csv});
    QCOMPARE(Finish(), 0);
    const QList<QByteArray> frames = Frames();
    QCOMPARE(frames.mid(0, 2), (QList<QByteArray>{Frame('Q', 39), Frame('R', 0)}));  // 5.3 km/h
    QVERIFY(frames.contains(Frame('R', 25)));
    QVERIFY(frames.contains(Frame('Q', 11)));  // recovery 2.5 km/h
    QCOMPARE(frames.last(), kStop);
    QVERIFY2(FOut.contains(QRegularExpression("\\[18:\\d\\d\\] Recuperação")) &&
                 FOut.contains("Concluído"),
             qPrintable(FOut));

    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(rows.first().startsWith("registro,tempo_ms,estado"));
    QVERIFY(rows.filter(QRegularExpression("^amostra,")).size() >= 1);
    QVERIFY(rows.last().contains("Concluído"));
}

// A trace replayed on the run's clock at 10x: each sample row (one a real second, 10 s of the
// test) carries the rate of the trace's second, and none while the trace is silent for 24 s
// (stale after 5 s). The rate's columns come last, after the existing ones.
void TestOrvantaCtlProtocol::runRecordsTheReplayedHeartRate()
{
    QFile protocol(FHome->filePath("minuto.json"));
    QVERIFY(protocol.open(QIODevice::WriteOnly));
    protocol.write(R"({"formato": "kestrova-protocolo", "versao": 1, "nome": "Minuto", "exercicio":
        [{"tipo": "estagio", "duracao_s": 60, "velocidade": 5, "inclinacao": 0}]})");
    protocol.close();
    QFile trace(FHome->filePath("fc.csv"));
    QVERIFY(trace.open(QIODevice::WriteOnly));
    trace.write("tempo_s,fc\n");
    for (int s = 0; s <= 70; ++s)  // 80 + s bpm until 12 s, nothing until 36 s, then 100 + s
        if (s <= 12 || s >= 36)
            trace.write(QByteArray::number(s) + ',' +
                        QByteArray::number(s <= 12 ? 80 + s : 100 + s) + '\n');
    trace.close();
    const QString csv = FHome->filePath("run.csv");
    Start({"run", protocol.fileName(), "--time-scale", "10", "--recovery", "0", "--csv", csv,
           "--hr-file", trace.fileName()});
    QCOMPARE(Finish(), 0);
    QVERIFY2(FOut.contains("FC: sem sinal") && FOut.contains("FC: sinal restabelecido"),
             qPrintable(FOut));

    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(rows.first().endsWith(",link_ok,evento,texto,fc_bpm,fonte_fc"),
             qPrintable(rows.first()));
    int rated = 0, silent = 0;
    for (const QString &row : rows.filter(QRegularExpression("^amostra,"))) {
        const QStringList fields = row.split(',');
        QCOMPARE(fields.size(), 14);
        const double t = fields[1].toDouble() / 1000.0;
        const QString fc = fields[12], source = fields[13];
        if ((t >= 1 && t <= 11) || t >= 38) {
            // The second read may lag or lead the row's time by the clocks' start-up.
            const int second = fc.toInt() - (t <= 11 ? 80 : 100);
            QVERIFY2(std::abs(second - t) <= 1.5 && source == "\"fc.csv\"", qPrintable(row));
            ++rated;
        } else if (t >= 17.5 && t <= 35) {
            QVERIFY2(fc.isEmpty() && source.isEmpty(), qPrintable(row));
            ++silent;
        }
    }
    QVERIFY2(rated >= 2 && silent >= 1, qPrintable(rows.join('\n')));
}

void TestOrvantaCtlProtocol::ctrlCStopsTheBelt()
{
    Start({"run", "bruce"});
    QTRY_VERIFY_WITH_TIMEOUT(FBoard->Frames().size() >= 2, 20000);  // after the 3 s countdown
    ::kill(pid_t(FProcess->processId()), SIGINT);
    QCOMPARE(Finish(), 130);
    QCOMPARE(Frames().last(), kStop);
    QVERIFY2(FErr.contains("interrompido"), qPrintable(FErr));
}

void TestOrvantaCtlProtocol::lostLinkStopsAndExitsOne()
{
    FBoard->SetFault({TBoardFault::Silence});
    Start({"run", "bruce", "--time-scale", "100"});
    QCOMPARE(Finish(), 1);
    // After the two failures only what the board acknowledged (nothing: zeros), then the stop.
    const QList<QByteArray> frames = Frames();
    QCOMPARE(frames.mid(0, 2), (QList<QByteArray>{Frame('Q', 13), Frame('R', 10)}));
    QCOMPARE(frames.last(), kStop);
    for (const QByteArray &frame : frames.mid(2))
        QCOMPARE(frame.at(2), '\0');
    QVERIFY2(FOut.contains("Comunicação perdida"), qPrintable(FOut));
}

void TestOrvantaCtlProtocol::showPrintsWhatTheBoardReceives()
{
    Start({"show", "bruce", "--max-speed", "10"});
    QCOMPARE(Finish(), 0);
    QVERIFY2(FOut.contains("Q 13, R 10"), qPrintable(FOut));
    QVERIFY2(FOut.contains("Q 86, R 24"), qPrintable(FOut));  // 10.5 km/h limited to 10.0
    QVERIFY(Frames().isEmpty());
}

void TestOrvantaCtlProtocol::exitStatuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown protocol") << QStringList{"run", "nope"} << 2 << "unknown protocol";
    QTest::newRow("bad time scale")
        << QStringList{"run", "bruce", "--time-scale", "0"} << 2 << "--time-scale";
    QTest::newRow("ramp without a peak")
        << QStringList{"run", "ramp", "--start-speed", "3"} << 2 << "--peak-speed";
    QTest::newRow("ramp too short")
        << QStringList{"show",         "ramp", "--start-speed", "3", "--peak-speed", "8",
                       "--peak-grade", "10",   "--duration",    "7"}
        << 2 << "8 a 12 minutos";
    QTest::newRow("bad file") << QStringList{"run", "@HOME@/bad.json"} << 2 << "bad.json: ";
    QTest::newRow("beyond the board without consent")
        << QStringList{"run", "@HOME@/fast.json"} << 2 << "--accept-clamp";
    QTest::newRow("run: speed limit below the moving belt")
        << QStringList{"run", "bruce", "--max-speed", "1.0"} << 2 << "1.5 km/h";
    QTest::newRow("show: speed limit below the moving belt")
        << QStringList{"show", "bruce", "--max-speed", "1.4"} << 2 << "1.5 km/h";
    QTest::newRow("heart-rate file: not a number")
        << QStringList{"run", "bruce", "--hr-file", "@HOME@/fc-letras.csv"} << 2
        << "fc-letras.csv: linha 3: fc \"abc\" não é um número";
    QTest::newRow("heart-rate file: time going back")
        << QStringList{"run", "bruce", "--hr-file", "@HOME@/fc-volta.csv"} << 2
        << "fc-volta.csv: linha 4: tempo_s 1 anterior ao da linha 3";
    QTest::newRow("heart-rate file: missing")
        << QStringList{"run", "bruce", "--hr-file", "@HOME@/fc-nenhum.csv"} << 2
        << "fc-nenhum.csv: não foi possível abrir";
    QTest::newRow("no port") << QStringList{"--device", "/dev/kestrova-none", "run", "bruce"} << 3
                             << "/dev/kestrova-none";
}

void TestOrvantaCtlProtocol::exitStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFile bad(FHome->filePath("bad.json"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("{\"versao\": 9}");
    bad.close();
    QFile fast(FHome->filePath("fast.json"));
    QVERIFY(fast.open(QIODevice::WriteOnly));
    fast.write(R"({"formato": "kestrova-protocolo", "versao": 1, "nome": "Rápido", "exercicio":
        [{"tipo": "estagio", "duracao_s": 60, "velocidade": 20, "inclinacao": 0}]})");
    fast.close();
    for (const auto &[name, text] : {std::pair{"fc-letras.csv", "tempo_s,fc\n0,80\n1,abc\n"},
                                     std::pair{"fc-volta.csv", "tempo_s,fc\n0,80\n2,81\n1,82\n"}}) {
        QFile trace(FHome->filePath(name));
        QVERIFY(trace.open(QIODevice::WriteOnly));
        trace.write(text);
    }
    arguments.replaceInStrings("@HOME@", FHome->path());
    Start(arguments);
    QCOMPARE(Finish(), status);
    QVERIFY2(FErr.contains(message), qPrintable(FErr));
    QVERIFY(Frames().isEmpty());
}

QTEST_GUILESS_MAIN(TestOrvantaCtlProtocol)
#include "tst_orvantactlprotocol.moc"
