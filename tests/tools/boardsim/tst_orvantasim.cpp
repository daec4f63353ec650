#include <sys/stat.h>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "comm/ptypair.h"
#include "tests/tools/boardsim/rawslave.h"

namespace {

constexpr int kWaitMs = 5000;
const QString kProgram = QStringLiteral(ORVANTA_SIM_PATH);

// Starts orvanta-sim and reads the device path from its first line.
bool StartBoard(QProcess &process, const QStringList &arguments, QString &path)
{
    process.start(kProgram, arguments);
    if (!process.waitForStarted(kWaitMs)) {
        return false;
    }
    const QByteArray prefix = "orvanta-sim: board on ";
    while (process.canReadLine() || process.waitForReadyRead(kWaitMs)) {
        if (!process.canReadLine()) {
            continue;
        }
        const QByteArray line = process.readLine().trimmed();
        if (line.startsWith(prefix)) {
            path = QString::fromLocal8Bit(line.mid(prefix.size()));
            return true;
        }
    }
    return false;
}

}  // namespace

class TstOrvantaSim : public QObject {
    Q_OBJECT

private slots:
    void helpDocumentsEveryOption();
    void answersAFrameAndExitsAfterFrames();
    void printsEachFrameWithStateAndExitsOnPull();
    void terminateRemovesTheLink();
    void runsOnADeviceAndFailsWhenItVanishes();
    void usageErrors_data();
    void usageErrors();
};

void TstOrvantaSim::helpDocumentsEveryOption()
{
    QProcess process;
    process.start(kProgram, {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(kWaitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const char *option :
         {"--device", "--link", "--frames", "--silent", "--nak", "--delay", "--late", "--split",
          "--noise", "--pull-after", "--script", "--quiet", "--help"}) {
        QVERIFY2(help.contains(QLatin1String(option)), option);
        // Every option also appears in an example or in the text besides its own entry.
        QVERIFY2(help.count(QLatin1String(option)) >= 2, option);
    }
    QVERIFY(help.contains(QStringLiteral("KESTROVA_COM3")));
}

void TstOrvantaSim::answersAFrameAndExitsAfterFrames()
{
    QProcess process;
    QString path;
    QVERIFY(StartBoard(process, {"--frames", "1", "--quiet"}, path));
    TRawSlave slave(path);
    QVERIFY(slave.IsOpen());
    QVERIFY(slave.Write(QByteArray("\x02Q\x0b", 3)));
    // A slow port: the board does not hang the line up before its last answer was read.
    QTest::qWait(300);
    QCOMPARE(slave.Read(1, kWaitMs), QByteArray("\x06"));
    QVERIFY(process.waitForFinished(kWaitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    QVERIFY2(!output.contains(QStringLiteral("#1")), qPrintable(output));  // --quiet
    QVERIFY(output.contains(QStringLiteral("export KESTROVA_COM3=") + path));
}

void TstOrvantaSim::printsEachFrameWithStateAndExitsOnPull()
{
    QProcess process;
    QString path;
    QVERIFY(StartBoard(process, {"--script", "ok,noise", "--pull-after", "3"}, path));
    TRawSlave slave(path);
    QVERIFY(slave.Write(QByteArray("\x02Q\x0b", 3)));
    QCOMPARE(slave.Read(1, kWaitMs), QByteArray("\x06"));
    QVERIFY(slave.Write(QByteArray("\x02R\x1b", 3)));
    QCOMPARE(slave.Read(5, kWaitMs), QByteArray("AB\x06\x15"
                                                "C"));
    QVERIFY(slave.Write(QByteArray("\x02T\x00", 3)));
    QVERIFY(slave.WaitHangup(kWaitMs));
    QVERIFY(process.waitForFinished(kWaitMs));
    QCOMPARE(process.exitCode(), 0);
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    QVERIFY2(output.contains(QStringLiteral("#1  02 51 0b  ACK   speed 11 (2.5 km/h)  incline 0 "
                                            "(0 %)  calibration speed - incline -")),
             qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("#2  02 52 1b  ACK   speed 11 (2.5 km/h)  incline 27 "
                                            "(1.5 %)")),
             qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("[noise]")), qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("#3  02 54 00  none")), qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("cable pulled")), qPrintable(output));
}

void TstOrvantaSim::terminateRemovesTheLink()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com3"));
    QProcess process;
    QString path;
    QVERIFY(StartBoard(process, {"--link", link, "--quiet"}, path));
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);
    TRawSlave slave(link);
    QVERIFY(slave.Write(QByteArray("\x02Q\x01", 3)));
    QCOMPARE(slave.Read(1, kWaitMs), QByteArray("\x06"));

    process.terminate();  // SIGTERM
    QVERIFY(process.waitForFinished(kWaitMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    struct stat info {};
    QVERIFY(::lstat(link.toLocal8Bit().constData(), &info) != 0);
    QVERIFY(slave.WaitHangup(kWaitMs));
}

void TstOrvantaSim::runsOnADeviceAndFailsWhenItVanishes()
{
    kestrova::comm::TPtyPair line;  // the test is the far side of the "device"
    const QString device = QString::fromStdString(line.SlavePath());
    QProcess process;
    QString path;
    QVERIFY(StartBoard(process, {"--device", device}, path));
    QCOMPARE(path, device);
    QVERIFY(line.Send(std::string("\x02R\x1a", 3)));
    QCOMPARE(QByteArray::fromStdString(line.Receive(kWaitMs)), QByteArray("\x06"));

    line.CloseMaster();  // the adapter is pulled
    QVERIFY(process.waitForFinished(kWaitMs));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("was lost"));
    QVERIFY(process.readAllStandardOutput().contains("#1  02 52 1a  ACK "));
}

void TstOrvantaSim::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("two standing faults") << QStringList{"--silent", "--nak"} << "at most one";
    QTest::newRow("bad delay") << QStringList{"--delay", "soon"} << "--delay";
    QTest::newRow("negative late") << QStringList{"--late", "-5"} << "--late";
    QTest::newRow("bad script step") << QStringList{"--script", "ok,wobble"} << "wobble";
    QTest::newRow("delay without ms") << QStringList{"--script", "delay"} << "delay";
    QTest::newRow("pull-after 0") << QStringList{"--pull-after", "0"} << "--pull-after";
    QTest::newRow("frames 0") << QStringList{"--frames", "0"} << "--frames";
    QTest::newRow("stray argument") << QStringList{"extra"} << "extra";
}

void TstOrvantaSim::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess process;
    process.start(kProgram, arguments);
    QVERIFY(process.waitForFinished(kWaitMs));
    QCOMPARE(process.exitCode(), 2);
    const QString error = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(process.readAllStandardOutput().isEmpty());  // no board was started
}

QTEST_GUILESS_MAIN(TstOrvantaSim)
#include "tst_orvantasim.moc"
