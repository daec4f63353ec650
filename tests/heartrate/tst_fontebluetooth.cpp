#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "heartrate/fontebluetooth.h"
#include "heartrate/procuracintas.h"

// The Bluetooth strap and the search on a machine without an adapter: the real Qt Bluetooth
// parts, failing as they would on such a machine. (The decoder they feed is tested on its own.)
class TestFonteBluetooth : public QObject {
    Q_OBJECT

private slots:
    void init();
    void addresses_data();
    void addresses();
    void searchSaysThereIsNoAdapter();
    void strapRetriesWithoutAdapterAndSaysItOnce();
};

void TestFonteBluetooth::init()
{
    if (!QDir(QStringLiteral("/sys/class/bluetooth")).isEmpty())
        QSKIP("this machine has a Bluetooth adapter");
}

void TestFonteBluetooth::addresses_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("valido");
    QTest::newRow("upper case") << "A0:9E:1A:12:34:56" << true;
    QTest::newRow("lower case, spaces") << " a0:9e:1a:12:34:56 " << true;
    QTest::newRow("five bytes") << "A0:9E:1A:12:34" << false;
    QTest::newRow("not hex") << "G0:9E:1A:12:34:56" << false;
    QTest::newRow("all zero") << "00:00:00:00:00:00" << false;
    QTest::newRow("empty") << "" << false;
}

void TestFonteBluetooth::addresses()
{
    QFETCH(QString, texto);
    QFETCH(bool, valido);
    QCOMPARE(TFonteBluetooth::EnderecoValido(texto), valido);
}

void TestFonteBluetooth::searchSaysThereIsNoAdapter()
{
    TProcuraCintas procura;
    QSignalSpy falhas(&procura, &TProcuraCintas::Falhou);
    QSignalSpy fim(&procura, &TProcuraCintas::Concluida);
    procura.Iniciar(1000);
    QTRY_COMPARE_WITH_TIMEOUT(fim.count(), 1, 5000);
    QCOMPARE(falhas.count(), 1);
    QCOMPARE(falhas.first().first().value<TFalhaBluetooth>(), TFalhaBluetooth::SemAdaptador);
    QVERIFY(!procura.Ativa());
    QVERIFY(procura.Encontradas().isEmpty());
}

// Attempts go on in the background every 3 s; the operator reads the line once.
void TestFonteBluetooth::strapRetriesWithoutAdapterAndSaysItOnce()
{
    TFonteBluetooth fonte("A0:9E:1A:12:34:56", "", std::make_shared<TRelogioMonotonico>());
    QCOMPARE(fonte.Nome(), QStringLiteral("A0:9E:1A:12:34:56"));
    QSignalSpy falhas(&fonte, &TFonteBluetooth::Falhou);
    QSignalSpy situacoes(&fonte, &TFonteCardiaca::Situacao);
    QSignalSpy leituras(&fonte, &TFonteCardiaca::Leitura);
    fonte.Iniciar();
    QCOMPARE(falhas.count(), 1);
    QVERIFY(fonte.Ativa());
    QTRY_COMPARE_WITH_TIMEOUT(falhas.count(), 2, TReconexaoCinta::kIntervaloMs + 3000);
    QCOMPARE(situacoes.count(), 1);
    QCOMPARE(situacoes.first().first().toString(),
             TextoFalhaBluetooth(TFalhaBluetooth::SemAdaptador));
    fonte.Parar();
    QVERIFY(!fonte.Ativa());
    QVERIFY(!fonte.Conectada());
    QCOMPARE(leituras.count(), 0);
}

QTEST_GUILESS_MAIN(TestFonteBluetooth)
#include "tst_fontebluetooth.moc"
