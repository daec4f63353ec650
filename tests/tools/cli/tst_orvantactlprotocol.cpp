#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <memory>
#include <utility>

#include "session/bancosessoes.h"
#include "tests/support/servidorpostgres.h"
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
    void deviceLostDuringTheCountdownEndsTheRun();
    void runRecordsASessionAndReportsIt();
    void runAndReportOnALabServer();
    void sessionEndsAsTheRunDid_data();
    void sessionEndsAsTheRunDid();
    void showPrintsWhatTheBoardReceives();
    void mphIsTypedAndPrintedFilesStayInKmh();
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

// The countdown is cancelled and nothing is ever sent; the run ends as failed instead of
// waiting for a test that will not start.
void TestOrvantaCtlProtocol::deviceLostDuringTheCountdownEndsTheRun()
{
    Start({"run", "bruce"});
    QString out;
    QTRY_VERIFY_WITH_TIMEOUT(
        (out += QString::fromUtf8(FProcess->readAllStandardOutput())).contains("Contagem"), 20000);
    QVERIFY(FBoard->Frames().isEmpty());  // still counting down (3 s)
    FBoard.reset();                       // the cable pulled
    QCOMPARE(Finish(), 1);
    out += FOut;
    QVERIFY2(out.contains("contagem cancelada, nada foi enviado"), qPrintable(out));
}

// Bruce at 120x, recorded with a trace that rises to 160 bpm by 11:40 and holds it to the end
// of the exercise (24:00), 130 bpm in the recovery; then its results and its report.
void TestOrvantaCtlProtocol::runRecordsASessionAndReportsIt()
{
    constexpr int kExerciseS = 8 * 180;
    auto rate = [](int s) { return s < kExerciseS ? std::min(90 + s / 10, 160) : 130; };
    QFile trace(FHome->filePath("fc.csv"));
    QVERIFY(trace.open(QIODevice::WriteOnly));
    trace.write("tempo_s,fc\n");
    int peak = 0;
    for (int s = 0; s <= kExerciseS + 60; ++s) {
        trace.write(QByteArray::number(s) + ',' + QByteArray::number(rate(s)) + '\n');
        if (s < kExerciseS)
            peak = std::max(peak, rate(s));
    }
    trace.close();
    const QString database = FHome->filePath("testes.sqlite");
    Start({"run",       "bruce",          "--time-scale",
           "120",       "--recovery",     "1",
           "--hr-file", trace.fileName(), "--database",
           database,    "--patient",      "Ana Conceição Souza",
           "--birth",   "12/03/1971",     "--sex",
           "F",         "--beta-blocker", "--resting-hr",
           "70",        "--resting-bp",   "120/80"});
    QCOMPARE(Finish(), 0);
    QVERIFY2(FOut.contains(QRegularExpression("Teste \\d+ gravado em ")), qPrintable(FOut));
    {
        TBancoSessoes banco(QStringLiteral("tst-orvantactl"));
        QString error;
        QVERIFY2(banco.Abrir(database, &error), qPrintable(error));
        const QList<TSessao> sessions = banco.SessoesDoPaciente(1);
        QCOMPARE(sessions.size(), 1);
        const TSessao &s = sessions.first();
        QCOMPARE(s.situacao, TSessao::TSituacao::Concluida);
        QVERIFY(s.betabloqueador);
        QCOMPARE(s.fcRepouso.value_or(0), 70);
        QCOMPARE(s.sistolicaRepouso.value_or(0), 120);
        QCOMPARE(s.diastolicaRepouso.value_or(0), 80);
        QCOMPARE(banco.LerPaciente(1)->nascimento, QStringLiteral("12/03/1971"));
    }

    Start({"report", "--database", database, "--json"});
    QCOMPARE(Finish(), 0);
    QJsonParseError parseError;
    const QJsonObject json = QJsonDocument::fromJson(FOut.toUtf8(), &parseError).object();
    QVERIFY2(parseError.error == QJsonParseError::NoError, qPrintable(FOut));
    for (const char *key : {"tempo_exercicio_s", "mets_pico", "vo2max_estimado", "idade", "fc_pico",
                            "fc_maxima_prevista", "indice_cronotropico", "escore_duke",
                            "faixa_duke", "estagios", "avisos", "motivos"})
        QVERIFY2(json.contains(QLatin1String(key)), key);
    QCOMPARE(json["fc_pico"].toInt(), peak);
    QVERIFY(json["indice_cronotropico"].isDouble());  // the resting rate was recorded
    // No ST deviation nor angina index was entered: no Duke score, and the reason.
    QVERIFY(json["escore_duke"].isNull() && json["faixa_duke"].isNull());
    QVERIFY(!json["motivos"]["escore_duke"].toString().isEmpty());
    // ACSM, S = km/h x 1000 / 60 m/min, G = % / 100, METs = VO2 / 3.5; walking below 8 km/h
    // (VO2 = 3.5 + 0.1 S + 1.8 S G), running from it (3.5 + 0.2 S + 0.9 S G):
    //   2.7 km/h 10 %: S = 45;      3.5 + 4.5 + 8.1 = 16.1           -> 4.60
    //   4.0 km/h 12 %: S = 66.67;   3.5 + 6.67 + 14.4 = 24.57        -> 7.02
    //   5.5 km/h 14 %: S = 91.67;   3.5 + 9.17 + 23.1 = 35.77        -> 10.22
    //   6.8 km/h 16 %: S = 113.33;  3.5 + 11.33 + 32.64 = 47.47      -> 13.56
    //   8.0 km/h 18 %: S = 133.33;  3.5 + 26.67 + 21.6 = 51.77       -> 14.79
    //   8.9 km/h 20 %: S = 148.33;  3.5 + 29.67 + 26.7 = 59.87       -> 17.10
    //   9.7 km/h 22 %: S = 161.67;  3.5 + 32.33 + 32.01 = 67.84      -> 19.38
    //  10.5 km/h 24 %: S = 175;     3.5 + 35 + 37.8 = 76.3           -> 21.80
    //   2.5 km/h  0 %: S = 41.67;   3.5 + 4.17 = 7.67 (recovery)     -> 2.19
    const double stages[][3] = {{2.7, 10, 4.6},  {4.0, 12, 7.0},   {5.5, 14, 10.2},
                                {6.8, 16, 13.6}, {8.0, 18, 14.8},  {8.9, 20, 17.1},
                                {9.7, 22, 19.4}, {10.5, 24, 21.8}, {2.5, 0, 2.2}};
    const QJsonArray table = json["estagios"].toArray();
    QCOMPARE(table.size(), 9);
    for (int i = 0; i < table.size(); ++i) {
        const QJsonObject stage = table[i].toObject();
        QCOMPARE(stage["velocidade_kmh"].toDouble(), stages[i][0]);
        QCOMPARE(stage["inclinacao_pct"].toDouble(), stages[i][1]);
        QVERIFY2(std::abs(stage["mets"].toDouble() - stages[i][2]) < 1e-9,
                 qPrintable(QString::number(stage["mets"].toDouble())));
    }

    const QString pdf = FHome->filePath("relatorio.pdf");
    Start({"report", "--database", database, "--session", "1", "--pdf", pdf});
    QCOMPARE(Finish(), 0);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains("Ana Conceição Souza"));
}

// The same run and report on a lab's PostgreSQL server: the session has the station given.
void TestOrvantaCtlProtocol::runAndReportOnALabServer()
{
    if (const QString reason = TServidorPostgres::Indisponivel(); !reason.isEmpty())
        QSKIP(qPrintable(reason));
    TServidorPostgres server;  // PGPASSWORD reaches orvanta-ctl through the environment
    QString error;
    QVERIFY2(server.Iniciar(&error), qPrintable(error));
    const QString database = server.NovoBanco("laboratorio", &error);
    QVERIFY2(!database.isEmpty(), qPrintable(error));
    Start({"run", "bruce", "--time-scale", "300", "--recovery", "1", "--database", database,
           "--station", "sala-3", "--patient", "Ana Souza", "--birth", "12/03/1971", "--sex", "F"});
    QCOMPARE(Finish(), 0);
    {
        TBancoSessoes banco(QStringLiteral("tst-orvantactl-servidor"));
        banco.AjustarEstacao(QStringLiteral("leitor"));
        QVERIFY2(banco.Abrir(database, &error), qPrintable(error));
        const QList<TSessao> sessions = banco.SessoesDoPaciente(1);
        QCOMPARE(sessions.size(), 1);
        QCOMPARE(sessions.first().situacao, TSessao::TSituacao::Concluida);
        QCOMPARE(sessions.first().estacao, QStringLiteral("sala-3"));
        QVERIFY(!banco.LerAmostras(sessions.first().id).isEmpty());
    }
    Start({"report", "--database", database, "--json"});
    QCOMPARE(Finish(), 0);
    QVERIFY2(QJsonDocument::fromJson(FOut.toUtf8()).object().contains("tempo_exercicio_s"),
             qPrintable(FOut + FErr));
}

void TestOrvantaCtlProtocol::sessionEndsAsTheRunDid_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("situation");
    QTest::addColumn<QString>("reason");
    QTest::newRow("Ctrl+C") << false << 130 << int(TSessao::TSituacao::Parada)
                            << "Decisão do operador";
    // The board never answers, the stop included.
    QTest::newRow("lost link") << true << 1 << int(TSessao::TSituacao::ParadaNaoConfirmada)
                               << "Falha do equipamento";
}

void TestOrvantaCtlProtocol::sessionEndsAsTheRunDid()
{
    QFETCH(bool, silent);
    QFETCH(int, status);
    QFETCH(int, situation);
    QFETCH(QString, reason);
    if (silent)
        FBoard->SetFault({TBoardFault::Silence});
    const QString database = FHome->filePath("testes.sqlite");
    Start({"run", "bruce", "--time-scale", silent ? "100" : "1", "--database", database,
           "--patient", "Rui", "--birth", "01/01/1950", "--sex", "M"});
    if (!silent) {
        QTRY_VERIFY_WITH_TIMEOUT(FBoard->Frames().size() >= 2, 20000);  // after the countdown
        ::kill(pid_t(FProcess->processId()), SIGINT);
    }
    QCOMPARE(Finish(), status);
    TBancoSessoes banco(QStringLiteral("tst-fim"));
    QString error;
    QVERIFY2(banco.Abrir(database, &error), qPrintable(error));
    const std::optional<TSessao> session = banco.LerSessao(1);
    QVERIFY(session);
    QCOMPARE(int(session->situacao), situation);
    QCOMPARE(session->motivoParada, reason);
    QVERIFY(session->duracaoMs > 0);
}

void TestOrvantaCtlProtocol::showPrintsWhatTheBoardReceives()
{
    Start({"show", "bruce", "--max-speed", "10"});
    QCOMPARE(Finish(), 0);
    QVERIFY2(FOut.contains("Q 13, R 10"), qPrintable(FOut));
    QVERIFY2(FOut.contains("Q 86, R 24"), qPrintable(FOut));  // 10.5 km/h limited to 10.0
    // METs of what is sent: 2.7 km/h 10 % walking, S = 45 m/min: (3.5 + 4.5 + 1.8 x 45 x 0.10)
    // / 3.5 = 4.6; 10.0 km/h 24 % running, S = 166.67: (3.5 + 33.33 + 0.9 x 166.67 x 0.24) / 3.5
    // = 72.83 / 3.5 = 20.8.
    QVERIFY2(FOut.contains(QRegularExpression("2\\.7 +10\\.0 +4\\.6  Q 13, R 10")),
             qPrintable(FOut));
    QVERIFY2(FOut.contains(QRegularExpression("10\\.0 +24\\.0 +20\\.8  Q 86, R 24")),
             qPrintable(FOut));
    QVERIFY(Frames().isEmpty());
}

// --mph: typed speeds become the board's nearest 0.1 km/h, printed ones are the board's
// converted back; the CSV, the database and the JSON keep km/h.
void TestOrvantaCtlProtocol::mphIsTypedAndPrintedFilesStayInKmh()
{
    // 1.68 mph = 2.704 km/h -> 2.7 (code 13); 4.97 mph = 7.998 km/h -> 8.0 (code 66).
    Start({"show", "ramp", "--mph", "--start-speed", "1.68", "--peak-speed", "4.97", "--peak-grade",
           "10", "--duration", "8"});
    QCOMPARE(Finish(), 0);
    QVERIFY2(FOut.contains(QRegularExpression(" MPH ")), qPrintable(FOut));
    QVERIFY2(FOut.contains(QRegularExpression("1\\.68->4\\.97 .*Q 13->66")), qPrintable(FOut));

    Start({"show", "bruce", "--mph", "--max-speed", "0.9"});  // 1.448 km/h
    QCOMPARE(Finish(), 2);
    QVERIFY2(FErr.contains("--max-speed deve ser pelo menos 0.93 mph"), qPrintable(FErr));

    const QString csv = FHome->filePath("mph.csv"), database = FHome->filePath("mph.sqlite");
    Start({"run", "usafsam", "--mph", "--time-scale", "300", "--recovery", "1", "--csv", csv,
           "--database", database, "--patient", "Ana Souza", "--birth", "12/03/1971", "--sex",
           "F"});
    QVERIFY2(Finish() == 0, qPrintable(FErr));
    QCOMPARE(Frames().first(), Frame('Q', 39));  // 5.3 km/h
    // 5.3 km/h = 3.293 mph; the recovery's 2.5 km/h = 1.553 mph.
    QVERIFY2(FOut.contains("Estágio 1 (Exercício): 3.29 mph, 0.0 %"), qPrintable(FOut));
    QVERIFY2(FOut.contains("1.55 mph") && !FOut.contains("km/h"), qPrintable(FOut));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString rows = QString::fromUtf8(file.readAll());
    QVERIFY2(rows.contains("km/h") && !rows.contains("mph"), qPrintable(rows.left(2000)));

    Start({"report", "--database", database, "--json", "--mph"});
    QCOMPARE(Finish(), 0);
    const QJsonObject json = QJsonDocument::fromJson(FOut.toUtf8()).object();
    QCOMPARE(json["estagios"].toArray().first().toObject()["velocidade_kmh"].toDouble(), 5.3);

    const QString pdf = FHome->filePath("mph.pdf");
    Start({"report", "--database", database, "--pdf", pdf, "--mph"});
    QCOMPARE(Finish(), 0);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString report = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *expected :
         {"Limites: 11.18 mph", "a 1.55 mph", "3.29 mph", "Velocidade (mph)"})
        QVERIFY2(report.contains(QString::fromUtf8(expected)), expected);
}

void TestOrvantaCtlProtocol::exitStatuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown protocol")
        << QStringList{"run", "nope"} << 2 << "protocolo desconhecido";
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
    const QStringList record{"run",       "bruce", "--database", "@HOME@/t.sqlite",
                             "--patient", "Ana",   "--birth",    "12/03/1971"};
    QTest::newRow("database without the sex") << record << 2 << "--sex F|M";
    QTest::newRow("patient without a database") << QStringList{"run", "bruce", "--patient", "Ana"}
                                                << 2 << "--patient precisa de --database";
    QTest::newRow("birth not a date")
        << QStringList{"run", "bruce",   "--database", "@HOME@/t.sqlite", "--patient",
                       "Ana", "--birth", "31/02/1971", "--sex",           "F"}
        << 2 << "--birth: não é uma data";
    QTest::newRow("sex") << record + QStringList{"--sex", "X"} << 2 << "--sex deve ser F ou M";
    QTest::newRow("resting rate below 30")
        << record + QStringList{"--sex", "M", "--resting-hr", "29"} << 2 << "--resting-hr";
    QTest::newRow("resting diastolic above systolic")
        << record + QStringList{"--sex", "M", "--resting-bp", "80/120"} << 2 << "--resting-bp";
    QTest::newRow("resting systolic above 300")
        << record + QStringList{"--sex", "M", "--resting-bp", "301/80"} << 2 << "--resting-bp";
    QTest::newRow("resting pressure not SYS/DIA")
        << record + QStringList{"--sex", "M", "--resting-bp", "120"} << 2 << "--resting-bp";
    QTest::newRow("report without a database")
        << QStringList{"report", "--json"} << 2 << "report precisa de --database";
    QTest::newRow("report of nothing")
        << QStringList{"report", "--database", "@HOME@/vazio.sqlite"} << 2 << "--json ou --pdf";
    QTest::newRow("report: session not a number")
        << QStringList{"report", "--database", "@HOME@/vazio.sqlite", "--session", "x", "--json"}
        << 2 << "--session";
    QTest::newRow("report: no such file")
        << QStringList{"report", "--database", "@HOME@/nenhum.sqlite", "--json"} << 1
        << "nenhum.sqlite: arquivo não encontrado";
    QTest::newRow("report: not a session database")
        << QStringList{"report", "--database", "@HOME@/bad.json", "--json"} << 1
        << "bad.json: não é um banco de sessões";
    QTest::newRow("report: no session")
        << QStringList{"report", "--database", "@HOME@/vazio.sqlite", "--json"} << 1
        << "nenhuma sessão em";
    QTest::newRow("report: unknown session")
        << QStringList{"report", "--database", "@HOME@/vazio.sqlite", "--session",
                       "7",      "--pdf",      "@HOME@/r.pdf"}
        << 1 << "sessão 7 não encontrada";
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
    {
        TBancoSessoes empty(QStringLiteral("tst-vazio"));
        QString error;
        QVERIFY2(empty.Abrir(FHome->filePath("vazio.sqlite"), &error), qPrintable(error));
    }
    arguments.replaceInStrings("@HOME@", FHome->path());
    Start(arguments);
    QCOMPARE(Finish(), status);
    QVERIFY2(FErr.contains(message), qPrintable(FErr));
    QVERIFY(Frames().isEmpty());
    QVERIFY(!QFile::exists(FHome->filePath("t.sqlite")));  // refused before anything was opened
}

QTEST_GUILESS_MAIN(TestOrvantaCtlProtocol)
#include "tst_orvantactlprotocol.moc"
