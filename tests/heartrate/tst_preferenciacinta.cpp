#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "heartrate/preferenciacinta.h"

// The remembered strap, in the settings file the Kestrova programs share; never the user's.
class TestPreferenciaCinta : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void unusableChoicesLoadAsNone_data();
    void unusableChoicesLoadAsNone();

private:
    QTemporaryDir FConfig;
};

using TTipo = TPreferenciaCinta::TTipo;
Q_DECLARE_METATYPE(TTipo)

void TestPreferenciaCinta::initTestCase()
{
    QVERIFY(FConfig.isValid());
    qputenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit());  // before any QSettings
}

void TestPreferenciaCinta::roundTrip_data()
{
    QTest::addColumn<TTipo>("tipo");
    QTest::addColumn<QString>("endereco");
    QTest::addColumn<QString>("nome");
    QTest::newRow("bluetooth") << TTipo::Bluetooth << "A0:9E:1A:12:34:56"
                               << "Polar H10 1234ABCD";
    QTest::newRow("accented name") << TTipo::Bluetooth << "C8:FD:19:00:AB:CD"
                                   << "Cinta do João";
    QTest::newRow("simulated") << TTipo::Simulada << ""
                               << "";
    QTest::newRow("none after a strap") << TTipo::Nenhuma << ""
                                        << "";
}

void TestPreferenciaCinta::roundTrip()
{
    QFETCH(TTipo, tipo);
    QFETCH(QString, endereco);
    QFETCH(QString, nome);
    const TPreferenciaCinta escolha{tipo, endereco, nome};
    QVERIFY(escolha.Salvar());
    QVERIFY(QFileInfo::exists(FConfig.filePath("Kestrova/Kestrova.ini")));
    const TPreferenciaCinta lida = TPreferenciaCinta::Carregar();
    QCOMPARE(lida.tipo, tipo);
    QCOMPARE(lida.endereco, endereco);
    QCOMPARE(lida.nome, nome);
}

// What another program (or a hand) left in [Cinta].
void TestPreferenciaCinta::unusableChoicesLoadAsNone_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("endereco");
    QTest::addColumn<TTipo>("esperado");
    QTest::newRow("unknown kind") << "polar"
                                  << "A0:9E:1A:12:34:56" << TTipo::Nenhuma;
    QTest::newRow("bluetooth without an address") << "bluetooth"
                                                  << "  " << TTipo::Nenhuma;
    QTest::newRow("nothing stored") << ""
                                    << "" << TTipo::Nenhuma;
    QTest::newRow("bluetooth") << "bluetooth"
                               << "A0:9E:1A:12:34:56" << TTipo::Bluetooth;
}

void TestPreferenciaCinta::unusableChoicesLoadAsNone()
{
    QFETCH(QString, tipo);
    QFETCH(QString, endereco);
    QFETCH(TTipo, esperado);
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Kestrova", "Kestrova");
        settings.remove("Cinta");
        if (!tipo.isEmpty()) {
            settings.setValue("Cinta/tipo", tipo);
            settings.setValue("Cinta/endereco", endereco);
        }
    }
    QCOMPARE(TPreferenciaCinta::Carregar().tipo, esperado);
}

QTEST_GUILESS_MAIN(TestPreferenciaCinta)
#include "tst_preferenciacinta.moc"
