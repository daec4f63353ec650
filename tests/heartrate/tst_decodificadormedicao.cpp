#include <QTest>

#include "heartrate/decodificadormedicao.h"

// The Heart Rate Measurement decoder over notifications written by hand from the Bluetooth
// Heart Rate Service's field layout, and the hex text a trace prints.
class TestDecodificadorMedicao : public QObject {
    Q_OBJECT

private slots:
    void fieldsAsTheFlagsSay_data();
    void fieldsAsTheFlagsSay();
    void refusals_data();
    void refusals();
    void refusalsAreCounted();
    void hexText_data();
    void hexText();
    void description();
};

Q_DECLARE_METATYPE(TContatoSensor)

namespace {

QByteArray Hex(const char *texto)
{
    return QByteArray::fromHex(texto);
}

}  // namespace

void TestDecodificadorMedicao::fieldsAsTheFlagsSay_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("bpm");
    QTest::addColumn<TContatoSensor>("contato");
    QTest::addColumn<int>("energia");  // -1: not sent
    QTest::addColumn<QList<double>>("rr");
    using C = TContatoSensor;
    const QList<double> nenhum;
    QTest::newRow("uint8, no contact feature")
        << Hex("0048") << 72 << C::NaoSuportado << -1 << nenhum;
    QTest::newRow("contact bits 01 also not supported")
        << Hex("0248") << 72 << C::NaoSuportado << -1 << nenhum;
    QTest::newRow("supported, not detected")
        << Hex("0448") << 72 << C::NaoDetectado << -1 << nenhum;
    QTest::newRow("detected") << Hex("0648") << 72 << C::Detectado << -1 << nenhum;
    QTest::newRow("uint8 at the bound") << Hex("00fa") << 250 << C::NaoSuportado << -1 << nenhum;
    QTest::newRow("uint8 lowest") << Hex("0001") << 1 << C::NaoSuportado << -1 << nenhum;
    QTest::newRow("uint16 little-endian")
        << Hex("01b400") << 180 << C::NaoSuportado << -1 << nenhum;
    QTest::newRow("uint16 at the bound") << Hex("01fa00") << 250 << C::NaoSuportado << -1 << nenhum;
    QTest::newRow("energy 512 kJ") << Hex("08480002") << 72 << C::NaoSuportado << 512 << nenhum;
    QTest::newRow("energy saturated")
        << Hex("0848ffff") << 72 << C::NaoSuportado << 65535 << nenhum;
    QTest::newRow("RR flag, no interval") << Hex("1048") << 72 << C::NaoSuportado << -1 << nenhum;
    QTest::newRow("one RR: 1024/1024 s")
        << Hex("10480004") << 72 << C::NaoSuportado << -1 << QList<double>{1000.0};
    // 0x0333 = 819 units = 819 * 1000 / 1024 ms.
    QTest::newRow("two RR, contact")
        << Hex("164800043303") << 72 << C::Detectado << -1 << QList<double>{1000.0, 799.8046875};
    // 16-bit rate 72, energy 16 kJ, RR 0x0400 (1000 ms), 0x0300 (750 ms), 0x0001 (1/1024 s).
    QTest::newRow("every field") << Hex("1f48001000000400030100") << 72 << C::Detectado << 16
                                 << QList<double>{1000.0, 750.0, 0.9765625};
}

void TestDecodificadorMedicao::fieldsAsTheFlagsSay()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, bpm);
    QFETCH(TContatoSensor, contato);
    QFETCH(int, energia);
    QFETCH(QList<double>, rr);
    QString motivo;
    const std::optional<TLeituraCardiaca> leitura =
        TDecodificadorMedicao::Interpretar(bytes, &motivo);
    QVERIFY2(leitura.has_value(), qPrintable(motivo));
    QCOMPARE(leitura->bpm, bpm);
    QCOMPARE(leitura->contato, contato);
    QCOMPARE(leitura->energiaKj.value_or(-1), energia);
    QCOMPARE(leitura->rrMs, rr);
}

void TestDecodificadorMedicao::refusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("empty") << QByteArray() << "notificação vazia";
    QTest::newRow("flags only") << Hex("00")
                                << "curta demais: 1 byte, os sinalizadores (0x00) pedem 2 bytes";
    QTest::newRow("uint16 rate cut")
        << Hex("0148") << "curta demais: 2 bytes, os sinalizadores (0x01) pedem 3 bytes";
    QTest::newRow("energy cut") << Hex("084800")
                                << "curta demais: 3 bytes, os sinalizadores (0x08) pedem 4 bytes";
    QTest::newRow("energy missing, uint16")
        << Hex("0948") << "curta demais: 2 bytes, os sinalizadores (0x09) pedem 5 bytes";
    QTest::newRow("reserved bit 5")
        << Hex("2048") << "bits reservados ligados nos sinalizadores (0x20)";
    QTest::newRow("reserved bit 7, otherwise fine")
        << Hex("964800") << "bits reservados ligados nos sinalizadores (0x96)";
    QTest::newRow("rate 0, uint8")
        << Hex("0600") << "frequência impossível: 0 bpm (aceita de 1 a 250)";
    QTest::newRow("rate 0, uint16")
        << Hex("010000") << "frequência impossível: 0 bpm (aceita de 1 a 250)";
    QTest::newRow("rate 251") << Hex("00fb")
                              << "frequência impossível: 251 bpm (aceita de 1 a 250)";
    QTest::newRow("rate 256 in the high byte")
        << Hex("010001") << "frequência impossível: 256 bpm (aceita de 1 a 250)";
    QTest::newRow("extra byte without RR")
        << Hex("004800") << "1 byte além dos campos dos sinalizadores (0x00)";
    QTest::newRow("extra bytes after energy")
        << Hex("0848000200") << "1 byte além dos campos dos sinalizadores (0x08)";
    QTest::newRow("odd RR byte") << Hex("104800") << "intervalos RR com um byte a mais no fim";
    QTest::newRow("odd RR byte after two")
        << Hex("1848000200040004ff") << "intervalos RR com um byte a mais no fim";
}

void TestDecodificadorMedicao::refusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, motivo);
    QString porque;
    QVERIFY(!TDecodificadorMedicao::Interpretar(bytes, &porque).has_value());
    QCOMPARE(porque, motivo);
}

void TestDecodificadorMedicao::refusalsAreCounted()
{
    TDecodificadorMedicao decodificador;
    QVERIFY(decodificador.Decodificar(Hex("0648")));
    QVERIFY(!decodificador.Decodificar(Hex("2048")));
    QVERIFY(!decodificador.Decodificar(Hex("00")));
    QString motivo;
    QVERIFY(decodificador.Decodificar(Hex("01b400"), &motivo));
    QVERIFY(motivo.isEmpty());
    QVERIFY(!decodificador.Decodificar(Hex("0600"), &motivo));
    QVERIFY(motivo.contains(QLatin1String("0 bpm")));
    QCOMPARE(decodificador.Aceitas(), 2);
    QCOMPARE(decodificador.Recusadas(), 3);
}

void TestDecodificadorMedicao::hexText_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QByteArray>("bytes");  // empty: refused
    QTest::newRow("trace's spacing") << "16 48 02 03" << Hex("16480203");
    QTest::newRow("run together") << "16480203" << Hex("16480203");
    QTest::newRow("mixed case, tabs, padding") << "\t1f  aB\tCd " << Hex("1fabcd");
    QTest::newRow("0x prefixes, wide gaps") << "0x02  0X51  0x27  " << Hex("025127");
    QTest::newRow("colons, dashes, commas") << "16:48-02,03" << Hex("16480203");
    QTest::newRow("pairs run together in parts") << "1648 0203" << Hex("16480203");
    QTest::newRow("odd digit count") << "16 4" << QByteArray();
    QTest::newRow("odd run") << "164" << QByteArray();
    QTest::newRow("not hex") << "16 zz" << QByteArray();
    QTest::newRow("bare prefix") << "0x" << QByteArray();
    QTest::newRow("nothing") << "   " << QByteArray();
    QTest::newRow("a non-ASCII digit") << QString::fromUtf8("1\u0663") << QByteArray();
}

void TestDecodificadorMedicao::hexText()
{
    QFETCH(QString, texto);
    QFETCH(QByteArray, bytes);
    QString motivo;
    const std::optional<QByteArray> lidos = TDecodificadorMedicao::LerHex(texto, &motivo);
    if (bytes.isEmpty()) {
        QVERIFY(!lidos.has_value());
        QVERIFY(!motivo.isEmpty());
    } else {
        QVERIFY2(lidos.has_value(), qPrintable(motivo));
        QCOMPARE(*lidos, bytes);
    }
}

void TestDecodificadorMedicao::description()
{
    const auto leitura = TDecodificadorMedicao::Interpretar(Hex("1e4800100004"));
    QVERIFY(leitura);
    QCOMPARE(TDecodificadorMedicao::Descrever(*leitura),
             QStringLiteral("72 bpm, contato detectado, energia 4096 kJ, 1 RR: 1000.0 ms"));
    QCOMPARE(TDecodificadorMedicao::Descrever(*TDecodificadorMedicao::Interpretar(Hex("0448"))),
             QStringLiteral("72 bpm, sem contato"));
}

QTEST_GUILESS_MAIN(TestDecodificadorMedicao)
#include "tst_decodificadormedicao.moc"
