#include <QTest>

#include "heartrate/vigiasinal.h"

// "Never a stale number": a reading is current for 5 s, and never without skin contact.
class TestVigiaSinal : public QObject {
    Q_OBJECT

private slots:
    void currentRate_data();
    void currentRate();
    void changesAreSaidOnce();
};

namespace {

struct TLeitura {
    qint64 tempoMs;
    int bpm;
    TContatoSensor contato;
};

}  // namespace

Q_DECLARE_METATYPE(QList<TLeitura>)

void TestVigiaSinal::currentRate_data()
{
    QTest::addColumn<QList<TLeitura>>("leituras");
    QTest::addColumn<qint64>("agoraMs");
    QTest::addColumn<int>("fc");  // -1: "sem sinal"
    using C = TContatoSensor;
    QTest::newRow("nothing yet") << QList<TLeitura>{} << qint64(0) << -1;
    QTest::newRow("just read") << QList<TLeitura>{{1000, 80, C::Detectado}} << qint64(1000) << 80;
    QTest::newRow("4.999 s old") << QList<TLeitura>{{1000, 80, C::Detectado}} << qint64(5999) << 80;
    QTest::newRow("5 s old") << QList<TLeitura>{{1000, 80, C::Detectado}} << qint64(6000) << -1;
    QTest::newRow("before the test")
        << QList<TLeitura>{{-3000, 66, C::Detectado}} << qint64(-1000) << 66;
    QTest::newRow("contact not supported")
        << QList<TLeitura>{{0, 90, C::NaoSuportado}} << qint64(100) << 90;
    QTest::newRow("contact lost, rate sent")
        << QList<TLeitura>{{0, 90, C::Detectado}, {1000, 91, C::NaoDetectado}} << qint64(1000)
        << -1;
    QTest::newRow("no rate") << QList<TLeitura>{{0, 0, C::NaoSuportado}} << qint64(0) << -1;
    QTest::newRow("the newest") << QList<TLeitura>{{0, 90, C::Detectado}, {1000, 95, C::Detectado}}
                                << qint64(5500) << 95;
    QTest::newRow("a late older one does not replace it")
        << QList<TLeitura>{{4000, 95, C::Detectado}, {1000, 90, C::NaoDetectado}} << qint64(4500)
        << 95;
}

void TestVigiaSinal::currentRate()
{
    QFETCH(QList<TLeitura>, leituras);
    QFETCH(qint64, agoraMs);
    QFETCH(int, fc);
    TVigiaSinal vigia;
    for (const TLeitura &l : leituras) {
        TLeituraCardiaca leitura;
        leitura.tempoMs = l.tempoMs;
        leitura.bpm = l.bpm;
        leitura.contato = l.contato;
        vigia.Registrar(leitura);
    }
    QCOMPARE(vigia.FcAtual(agoraMs).value_or(-1), fc);
    QCOMPARE(vigia.TemSinal(agoraMs), fc != -1);
}

void TestVigiaSinal::changesAreSaidOnce()
{
    TVigiaSinal vigia;
    TLeituraCardiaca leitura;
    leitura.bpm = 100;
    leitura.contato = TContatoSensor::Detectado;
    QCOMPARE(vigia.Mudanca(0), QString());
    leitura.tempoMs = 1000;
    vigia.Registrar(leitura);
    QCOMPARE(vigia.Mudanca(1000), QStringLiteral("sinal recebido"));
    QCOMPARE(vigia.Mudanca(2000), QString());
    QCOMPARE(vigia.Mudanca(6000), QStringLiteral("sem sinal"));
    QCOMPARE(vigia.Mudanca(7000), QString());
    leitura.tempoMs = 8000;
    vigia.Registrar(leitura);
    QCOMPARE(vigia.Mudanca(8000), QStringLiteral("sinal restabelecido"));
    leitura.tempoMs = 9000;
    leitura.contato = TContatoSensor::NaoDetectado;
    vigia.Registrar(leitura);
    QCOMPARE(vigia.Mudanca(9000), QStringLiteral("sem sinal"));
    vigia.Reiniciar();
    QVERIFY(!vigia.TemSinal(9000));
    leitura.contato = TContatoSensor::Detectado;
    vigia.Registrar(leitura);
    QCOMPARE(vigia.Mudanca(9000), QStringLiteral("sinal recebido"));
}

QTEST_GUILESS_MAIN(TestVigiaSinal)
#include "tst_vigiasinal.moc"
