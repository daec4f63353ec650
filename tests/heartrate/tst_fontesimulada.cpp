#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "heartrate/fontesimulada.h"
#include "protocol/relogiomanual.h"

// The simulated strap against its model, every expected value worked by hand from
// docs/heartrate.md: VO2 walking = 0.1 S + 1.8 S G + 3.5, running = 0.2 S + 0.9 S G + 3.5
// (S m/min, G fraction); fc = 70 + 10 (VO2/3.5 - 1), at most 190; first order, tau 30 s rising,
// 60 s falling.
class TestFonteSimulada : public QObject {
    Q_OBJECT

private slots:
    void steadyState_data();
    void steadyState();
    void firstOrderStep_data();
    void firstOrderStep();
    void risesInAStageAndFallsInRecovery_data();
    void risesInAStageAndFallsInRecovery();
    void aClockJumpGivesTheLatestSecondOnly();
    void followsTheSessionAxis();
    void theTimerSendsEverySecondOnTheRealClock();
};

void TestFonteSimulada::steadyState_data()
{
    QTest::addColumn<double>("velocidade");
    QTest::addColumn<double>("inclinacao");
    QTest::addColumn<double>("fc");
    // Belt stopped: 3.5 ml/kg/min whatever the grade, 1 MET.
    QTest::newRow("stopped") << 0.0 << 10.0 << 70.0;
    // Bruce stage 1: S = 45, VO2 = 4.5 + 8.1 + 3.5 = 16.1, 4.6 METs.
    QTest::newRow("2.7 km/h, 10 %") << 2.7 << 10.0 << 106.0;
    // S = 83.33, VO2 = 8.333 + 7.5 + 3.5 = 19.333, 5.524 METs.
    QTest::newRow("5 km/h, 5 %") << 5.0 << 5.0 << 115.238;
    // Walking just below the switch: S = 131.67, VO2 = 13.167 + 3.5 = 16.667, 4.762 METs.
    QTest::newRow("7.9 km/h, flat") << 7.9 << 0.0 << 107.619;
    // Running from 8 km/h: S = 133.33, VO2 = 26.667 + 3.5 = 30.167, 8.619 METs.
    QTest::newRow("8 km/h, flat") << 8.0 << 0.0 << 146.190;
    // S = 166.67, VO2 = 33.333 + 3.5 = 36.833, 10.524 METs.
    QTest::newRow("10 km/h, flat") << 10.0 << 0.0 << 165.238;
    // S = 133.33, VO2 = 26.667 + 21.6 + 3.5 = 51.767 -> 207.9, held at the maximum.
    QTest::newRow("8 km/h, 18 %: the maximum") << 8.0 << 18.0 << 190.0;
}

void TestFonteSimulada::steadyState()
{
    QFETCH(double, velocidade);
    QFETCH(double, inclinacao);
    QFETCH(double, fc);
    QVERIFY2(std::abs(TModeloCardiaco().FcEstavel(velocidade, inclinacao) - fc) < 0.001,
             qPrintable(QString::number(TModeloCardiaco().FcEstavel(velocidade, inclinacao))));
}

void TestFonteSimulada::firstOrderStep_data()
{
    QTest::addColumn<double>("fc0");
    QTest::addColumn<double>("velocidade");
    QTest::addColumn<double>("inclinacao");
    QTest::addColumn<double>("dtS");
    QTest::addColumn<double>("fc");
    // 106 - 36 e^-1 = 106 - 13.2437.
    QTest::newRow("rising one tau") << 70.0 << 2.7 << 10.0 << 30.0 << 92.756;
    // 70 + 80 e^-1 = 70 + 29.430.
    QTest::newRow("falling one tau") << 150.0 << 0.0 << 0.0 << 60.0 << 99.430;
    // 70 + 80 e^-0.5 = 70 + 48.522: half a falling tau.
    QTest::newRow("falling 30 s") << 150.0 << 0.0 << 0.0 << 30.0 << 118.522;
    QTest::newRow("no time") << 150.0 << 0.0 << 0.0 << 0.0 << 150.0;
    QTest::newRow("at the target") << 106.0 << 2.7 << 10.0 << 45.0 << 106.0;
}

void TestFonteSimulada::firstOrderStep()
{
    QFETCH(double, fc0);
    QFETCH(double, velocidade);
    QFETCH(double, inclinacao);
    QFETCH(double, dtS);
    QFETCH(double, fc);
    QVERIFY(std::abs(TModeloCardiaco().Avancar(fc0, velocidade, inclinacao, dtS) - fc) < 0.001);
}

void TestFonteSimulada::risesInAStageAndFallsInRecovery_data()
{
    QTest::addColumn<int>("segundo");
    QTest::addColumn<double>("fc");
    // 2.7 km/h, 10 % from 0 s (target 106): 106 - 36 e^(-t/30).
    QTest::newRow("start") << 0 << 70.0;
    QTest::newRow("10 s") << 10 << 80.205;   // 106 - 36 * 0.71653
    QTest::newRow("30 s") << 30 << 92.756;   // 106 - 36 * 0.36788
    QTest::newRow("60 s") << 60 << 101.128;  // 106 - 36 * 0.13534
    QTest::newRow("90 s") << 90 << 104.208;  // 106 - 36 * 0.04979
    // Stopped at 180 s, at 106 - 36 e^-6 = 105.911; then 70 + 35.911 e^(-(t-180)/60).
    QTest::newRow("180 s") << 180 << 105.911;
    QTest::newRow("240 s") << 240 << 83.211;  // 70 + 35.911 * 0.36788
    QTest::newRow("300 s") << 300 << 74.860;  // 70 + 35.911 * 0.13534
}

void TestFonteSimulada::risesInAStageAndFallsInRecovery()
{
    QFETCH(int, segundo);
    QFETCH(double, fc);
    auto relogio = std::make_shared<TRelogioManual>();
    TFonteSimulada cinta(relogio);
    cinta.RelogioSessao().Ancorar(0);
    QList<TLeituraCardiaca> leituras;
    connect(&cinta, &TFonteCardiaca::Leitura, this,
            [&](const TLeituraCardiaca &l) { leituras.append(l); });
    cinta.AjustarCarga(2.7, 10);
    cinta.Iniciar();
    for (int s = 1; s <= segundo; ++s) {
        relogio->Avancar(1000);
        if (s == 180)
            cinta.AjustarCarga(0, 0);
        cinta.Processar();
    }
    QCOMPARE(leituras.size(), segundo + 1);  // one a second, the start's included
    const TLeituraCardiaca &ultima = leituras.last();
    QCOMPARE(ultima.tempoMs, qint64(segundo) * 1000);
    QVERIFY2(std::abs(cinta.FcModelo() - fc) < 0.01, qPrintable(QString::number(cinta.FcModelo())));
    QCOMPARE(ultima.bpm, int(std::lround(fc)));
    QCOMPARE(ultima.contato, TContatoSensor::Detectado);
    QCOMPARE(ultima.fonte, QStringLiteral("Cinta simulada"));
    QVERIFY(ultima.rrMs.isEmpty() && !ultima.energiaKj);
}

void TestFonteSimulada::aClockJumpGivesTheLatestSecondOnly()
{
    auto relogio = std::make_shared<TRelogioManual>();
    TFonteSimulada cinta(relogio);
    cinta.RelogioSessao().Ancorar(0);
    QSignalSpy leituras(&cinta, &TFonteCardiaca::Leitura);
    cinta.AjustarCarga(2.7, 10);
    cinta.Iniciar();
    QCOMPARE(leituras.size(), 1);
    relogio->Ajustar(30500);
    cinta.Processar();
    QCOMPARE(leituras.size(), 2);
    const auto leitura = leituras.last()[0].value<TLeituraCardiaca>();
    QCOMPARE(leitura.tempoMs, 30000);
    QCOMPARE(leitura.bpm, 93);  // 92.756 at 30 s
    // A change of workload half-way through a second: 2.7 km/h, 10 % until 30.5 s, then stopped.
    // 30.5 s: 106 - 36 e^(-30.5/30) = 92.975; 31 s: 70 + 22.975 e^(-0.5/60) = 92.785.
    cinta.AjustarCarga(0, 0);
    relogio->Ajustar(31000);
    cinta.Processar();
    QCOMPARE(leituras.size(), 3);
    QVERIFY2(std::abs(cinta.FcModelo() - 92.785) < 0.01,
             qPrintable(QString::number(cinta.FcModelo())));
}

void TestFonteSimulada::followsTheSessionAxis()
{
    auto relogio = std::make_shared<TRelogioManual>();
    TFonteSimulada cinta(relogio);
    QList<qint64> tempos;
    connect(&cinta, &TFonteCardiaca::Leitura, this,
            [&](const TLeituraCardiaca &l) { tempos.append(l.tempoMs); });
    relogio->Ajustar(500);
    cinta.Iniciar();  // session 500 ms: the first reading at 1 s
    QVERIFY(tempos.isEmpty());
    relogio->Ajustar(1000);
    cinta.Processar();
    QCOMPARE(tempos, QList<qint64>{1000});
    // The countdown starts: the axis is anchored back at -3 s, 60 times faster.
    cinta.RelogioSessao().Ancorar(-3000);
    cinta.RelogioSessao().AjustarEscala(60);
    cinta.Processar();
    relogio->Avancar(16);  // -3000 + 960
    cinta.Processar();
    relogio->Avancar(1);  // -1980
    cinta.Processar();
    relogio->Avancar(34);  // +60 * 34 = 60 ms past 0
    cinta.Processar();
    QCOMPARE(tempos, (QList<qint64>{1000, -3000, -2000, 0}));
    cinta.Parar();
    relogio->Avancar(1000);
    cinta.Processar();
    QCOMPARE(tempos.size(), 4);
}

void TestFonteSimulada::theTimerSendsEverySecondOnTheRealClock()
{
    TFonteSimulada cinta(std::make_shared<TRelogioMonotonico>());
    cinta.RelogioSessao().AjustarEscala(100);  // a second every 10 ms
    cinta.RelogioSessao().Ancorar(0);
    QList<qint64> tempos;
    connect(&cinta, &TFonteCardiaca::Leitura, this,
            [&](const TLeituraCardiaca &l) { tempos.append(l.tempoMs); });
    cinta.Iniciar();
    QTRY_VERIFY_WITH_TIMEOUT(tempos.size() >= 5, 5000);
    cinta.Parar();
    // The first whole second at or after the start (0, or 1 s when a real millisecond passed
    // before Iniciar), then whole seconds in order.
    QVERIFY(tempos[0] == 0 || tempos[0] == 1000);
    for (qsizetype i = 1; i < tempos.size(); ++i)
        QVERIFY(tempos[i] > tempos[i - 1] && tempos[i] % 1000 == 0);
}

QTEST_GUILESS_MAIN(TestFonteSimulada)
#include "tst_fontesimulada.moc"
