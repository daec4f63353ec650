#include <QElapsedTimer>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "heartrate/fontereproducao.h"
#include "heartrate/tracocardiaco.h"
#include "protocol/relogiomanual.h"

// A recorded trace: the file's rules, and its readings replayed at their session times on a
// clock the test moves (scaled as a test may be), or on the real clock.
class TestFonteReproducao : public QObject {
    Q_OBJECT

private slots:
    void malformedFilesAreRefusedWithTheLine_data();
    void malformedFilesAreRefusedWithTheLine();
    void fieldsOfAGoodFile();
    void fileErrorsNameTheFile();
    void readingsAtTheirSessionTimes_data();
    void readingsAtTheirSessionTimes();
    void stoppedSendsNothing();
    void theTimerReplaysOnTheRealClock();
};

namespace {

struct TPasso {
    qint64 relogioMs;          // the manual clock is set to this
    QList<qint64> emitidosMs;  // the readings' times emitted by then, since the previous step
};

const QByteArray kTraco = "tempo_s,fc\n-5,60\n-2,62\n0,64\n1,65\n2.5,66\n";

}  // namespace

Q_DECLARE_METATYPE(QList<TPasso>)

void TestFonteReproducao::malformedFilesAreRefusedWithTheLine_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("erro");
    QTest::newRow("empty") << QByteArray("\n\n") << "arquivo vazio";
    QTest::newRow("header") << QByteArray("tempo,fc\n0,70\n")
                            << "linha 1: cabeçalho \"tempo,fc\"; deve ser \"tempo_s,fc\" ou "
                               "\"tempo_s,fc,rr_ms\"";
    QTest::newRow("header only") << QByteArray("tempo_s,fc\n")
                                 << "nenhuma leitura depois do cabeçalho";
    QTest::newRow("fc not a number")
        << QByteArray("tempo_s,fc\n0,70\n1,71\n2,72\n3,73\n4,74\n5,75\n6,abc\n")
        << "linha 8: fc \"abc\" não é um número";
    QTest::newRow("decimal comma")
        << QByteArray("tempo_s,fc\n0,5,70\n") << "linha 2: 3 campos; o cabeçalho tem 2";
    QTest::newRow("time not a number")
        << QByteArray("tempo_s,fc\nx,70\n") << "linha 2: tempo_s \"x\" não é um número";
    QTest::newRow("time infinite")
        << QByteArray("tempo_s,fc\ninf,70\n") << "linha 2: tempo_s \"inf\" não é um número";
    QTest::newRow("time beyond a day") << QByteArray("tempo_s,fc\n90000,70\n")
                                       << "linha 2: tempo_s 90000 fora da faixa (-86400 a 86400)";
    QTest::newRow("time going back") << QByteArray("tempo_s,fc\n0,70\n2,71\n1.5,72\n")
                                     << "linha 4: tempo_s 1.5 anterior ao da linha 3";
    QTest::newRow("fc 0") << QByteArray("tempo_s,fc\n0,0\n")
                          << "linha 2: fc 0 fora da faixa (1 a 250 bpm)";
    QTest::newRow("fc 251") << QByteArray("tempo_s,fc\n0,251\n")
                            << "linha 2: fc 251 fora da faixa (1 a 250 bpm)";
    QTest::newRow("missing field") << QByteArray("tempo_s,fc,rr_ms\n0,70,800\n1,71\n")
                                   << "linha 3: 2 campos; o cabeçalho tem 3";
    QTest::newRow("rr not a number") << QByteArray("tempo_s,fc,rr_ms\n0,70,800 8o0\n")
                                     << "linha 2: rr_ms \"8o0\" não é um número";
    QTest::newRow("rr 0") << QByteArray("tempo_s,fc,rr_ms\n0,70,0\n")
                          << "linha 2: rr_ms 0 fora da faixa (maior que 0 e até 63999.0)";
    QTest::newRow("rr above a strap's uint16")
        << QByteArray("tempo_s,fc,rr_ms\n0,70,64000\n")
        << "linha 2: rr_ms 64000 fora da faixa (maior que 0 e até 63999.0)";
    QTest::newRow("blank line inside")
        << QByteArray("tempo_s,fc\n0,70\n\n1,70\n") << "linha 3: vazia";
}

void TestFonteReproducao::malformedFilesAreRefusedWithTheLine()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, erro);
    QString motivo;
    QVERIFY(!TTracoCardiaco::Ler(csv, &motivo).has_value());
    QCOMPARE(motivo, erro);
}

void TestFonteReproducao::fieldsOfAGoodFile()
{
    QString erro;
    const auto traco = TTracoCardiaco::Ler(
        "\xEF\xBB\xBFtempo_s,fc,rr_ms\r\n-1.5,72,812.5 798\r\n0, ,\r\n2.0004,150.6,\r\n\r\n",
        &erro);
    QVERIFY2(traco, qPrintable(erro));
    const QList<TLeituraCardiaca> &l = traco->Leituras();
    QCOMPARE(l.size(), 3);
    QCOMPARE(l[0].tempoMs, -1500);
    QCOMPARE(l[0].bpm, 72);
    QCOMPARE(l[0].contato, TContatoSensor::Detectado);
    QCOMPARE(l[0].rrMs, (QList<double>{812.5, 798}));
    QCOMPARE(l[1].tempoMs, 0);  // no rate: no skin contact
    QCOMPARE(l[1].bpm, 0);
    QCOMPARE(l[1].contato, TContatoSensor::NaoDetectado);
    QCOMPARE(l[2].tempoMs, 2000);
    QCOMPARE(l[2].bpm, 151);
    QVERIFY(l[2].rrMs.isEmpty());
}

void TestFonteReproducao::fileErrorsNameTheFile()
{
    QTemporaryDir pasta;
    QVERIFY(pasta.isValid());
    const QString caminho = pasta.filePath(QStringLiteral("esteira.csv"));
    QString erro;
    QVERIFY(!TTracoCardiaco::Abrir(caminho, &erro));
    QVERIFY2(erro.startsWith(QStringLiteral("esteira.csv: não foi possível abrir")),
             qPrintable(erro));
    QFile arquivo(caminho);
    QVERIFY(arquivo.open(QIODevice::WriteOnly));
    arquivo.write("tempo_s,fc\n0,70\n1,setenta\n");
    arquivo.close();
    QVERIFY(!TTracoCardiaco::Abrir(caminho, &erro));
    QCOMPARE(erro, QStringLiteral("esteira.csv: linha 3: fc \"setenta\" não é um número"));
    QVERIFY(arquivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    arquivo.write(kTraco);
    arquivo.close();
    const auto traco = TTracoCardiaco::Abrir(caminho, &erro);
    QVERIFY2(traco, qPrintable(erro));
    QCOMPARE(traco->Leituras().size(), 5);
}

void TestFonteReproducao::readingsAtTheirSessionTimes_data()
{
    QTest::addColumn<double>("escala");
    QTest::addColumn<qint64>("inicioMs");  // the session's time at Iniciar
    QTest::addColumn<QList<TPasso>>("passos");
    // The trace: -5 s, -2 s, 0, 1 s, 2.5 s.
    QTest::newRow("from the countdown, real time")
        << 1.0 << qint64(-3000) << QList<TPasso>{{0, {}},    {999, {}},   {1000, {-2000}},
                                                 {2999, {}}, {3000, {0}}, {5500, {1000, 2500}},
                                                 {9000, {}}};
    // Session time = -3000 + 60 * clock: -2000 is reached at 16.7 ms, 0 at 50 ms, 2500 at 91.7.
    QTest::newRow("60 times faster")
        << 60.0 << qint64(-3000) << QList<TPasso>{{16, {}}, {17, {-2000}}, {49, {}},    {50, {0}},
                                                  {66, {}}, {67, {1000}},  {92, {2500}}};
    QTest::newRow("started late: the past is skipped")
        << 1.0 << qint64(1000) << QList<TPasso>{{0, {1000}}, {1499, {}}, {1500, {2500}}};
    QTest::newRow("clock jumps: every reading due, in order")
        << 1.0 << qint64(-6000) << QList<TPasso>{{0, {}}, {10000, {-5000, -2000, 0, 1000, 2500}}};
}

void TestFonteReproducao::readingsAtTheirSessionTimes()
{
    QFETCH(double, escala);
    QFETCH(qint64, inicioMs);
    QFETCH(QList<TPasso>, passos);
    auto relogio = std::make_shared<TRelogioManual>();
    TFonteReproducao fonte(*TTracoCardiaco::Ler(kTraco, nullptr), QStringLiteral("traço.csv"),
                           relogio);
    fonte.RelogioSessao().Ancorar(inicioMs);
    fonte.RelogioSessao().AjustarEscala(escala);
    QList<TLeituraCardiaca> emitidas;
    connect(&fonte, &TFonteCardiaca::Leitura, this,
            [&](const TLeituraCardiaca &l) { emitidas.append(l); });
    QSignalSpy situacao(&fonte, &TFonteCardiaca::Situacao);
    fonte.Iniciar();
    int total = 0;
    for (const TPasso &passo : passos) {
        relogio->Ajustar(passo.relogioMs);
        fonte.Processar();
        QList<qint64> tempos;
        for (const TLeituraCardiaca &l : emitidas.mid(total))
            tempos.append(l.tempoMs);
        QCOMPARE(tempos, passo.emitidosMs);
        total = emitidas.size();
    }
    const QMap<qint64, int> bpmDoTraco{{-5000, 60}, {-2000, 62}, {0, 64}, {1000, 65}, {2500, 66}};
    for (const TLeituraCardiaca &l : emitidas) {
        QCOMPARE(l.fonte, QStringLiteral("traço.csv"));
        QCOMPARE(l.bpm, bpmDoTraco.value(l.tempoMs));
    }
    QCOMPARE(situacao.size(), 1);
    QCOMPARE(situacao[0][0].toString(), QStringLiteral("fim do traço"));
    QVERIFY(!fonte.Ativa());
}

void TestFonteReproducao::stoppedSendsNothing()
{
    auto relogio = std::make_shared<TRelogioManual>();
    TFonteReproducao fonte(*TTracoCardiaco::Ler(kTraco, nullptr), QStringLiteral("t"), relogio);
    fonte.RelogioSessao().Ancorar(-6000);
    QSignalSpy leituras(&fonte, &TFonteCardiaca::Leitura);
    fonte.Iniciar();
    relogio->Ajustar(1000);  // -5 s reached
    fonte.Processar();
    QCOMPARE(leituras.size(), 1);
    fonte.Parar();
    QVERIFY(!fonte.Ativa());
    relogio->Ajustar(10000);
    fonte.Processar();
    QCoreApplication::processEvents();
    QCOMPARE(leituras.size(), 1);
}

void TestFonteReproducao::theTimerReplaysOnTheRealClock()
{
    // Five readings over 4 s of session time, 50 times faster: 80 ms of real time.
    const auto traco = TTracoCardiaco::Ler("tempo_s,fc\n0,70\n1,71\n2,72\n3,73\n4,74\n", nullptr);
    TFonteReproducao fonte(*traco, QStringLiteral("t"), std::make_shared<TRelogioMonotonico>());
    fonte.RelogioSessao().Ancorar(0);
    fonte.RelogioSessao().AjustarEscala(50);
    QList<int> bpms;
    qint64 ultimaMs = -1;
    QElapsedTimer real;
    connect(&fonte, &TFonteCardiaca::Leitura, this, [&](const TLeituraCardiaca &l) {
        bpms.append(l.bpm);
        ultimaMs = real.elapsed();
    });
    real.start();
    fonte.Iniciar();
    QTRY_COMPARE_WITH_TIMEOUT(bpms.size(), 5, 5000);
    QCOMPARE(bpms, (QList<int>{70, 71, 72, 73, 74}));
    // The last one is due at 4000 / 50 = 80 ms of real time, and not before.
    QVERIFY2(ultimaMs >= 79, qPrintable(QString::number(ultimaMs)));
    QVERIFY(!fonte.Ativa());
}

QTEST_GUILESS_MAIN(TestFonteReproducao)
#include "tst_fontereproducao.moc"
