// The controller window started in English: its texts, the port chooser's, the boxes built with
// arg(), numbers in the English form, and the Idioma menu that keeps the choice for the next
// start. The Portuguese window is tst_controlaorvanta's, unchanged.

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "app/escolherporta.h"
#include "app/fcontrolaorvanta.h"
#include "comm/portsettings.h"
#include "platform/idioma.h"
#include "platform/inputbox.h"
#include "platform/messagebox.h"
#include "tools/boardsim/boardsimulator.h"

class TestControlaOrvantaIngles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void mainTexts_data();
    void mainTexts();
    void portChooserTexts();
    void typedSpeedAsksAndRefusesInEnglish();
    void tickOutcomeInEnglish();
    void languageMenuKeepsTheChoice();

private:
    QString SettingsFile() const { return FConfig.filePath("Kestrova/orvanta.ini"); }
    QAction *Action(const char *name) const
    {
        return FWindow->findChild<QAction *>(QLatin1String(name));
    }

    QTemporaryDir FConfig;  // the settings of this test, never the user's
    std::unique_ptr<TBoardSimulator> FBoard;
    std::unique_ptr<TfrmControlaOrvanta> FWindow;
    QStringList FErrorBoxes;
    QStringList FPrompts;
    QString FAnswer;
};

void TestControlaOrvantaIngles::initTestCase()
{
    QVERIFY(FConfig.isValid());
    qputenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit());
    QCOMPARE(
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Kestrova", "orvanta").fileName(),
        SettingsFile());
    // As `orvanta --lang en` does, on a Portuguese system: the numbers must change too.
    QVERIFY(InstalarIdioma(*qApp, TIdioma::Ingles, QLocale(QLocale::Portuguese, QLocale::Brazil)));
    SetErrorMessageHook([this](const QString &text) { FErrorBoxes << text; });
    SetInputQueryHook([this](const QString &, const QString &prompt, QString &value) {
        FPrompts << prompt + " [" + value + "]";
        value = FAnswer;
        return true;
    });
}

void TestControlaOrvantaIngles::init()
{
    FErrorBoxes.clear();
    FPrompts.clear();
    FBoard = std::make_unique<TBoardSimulator>();
    QString error;
    QVERIFY2(FBoard->Start(&error), qPrintable(error));
    qputenv("KESTROVA_COM3", FBoard->DevicePath().toLocal8Bit());
    FWindow = std::make_unique<TfrmControlaOrvanta>();
    FWindow->show();
    FWindow->findChild<QLineEdit *>("edtCom")->setText("3");
}

void TestControlaOrvantaIngles::cleanup()
{
    FWindow.reset();
    FBoard.reset();
    kestrova::comm::SetMappedPortDevice(3, QString());
}

void TestControlaOrvantaIngles::cleanupTestCase()
{
    SetErrorMessageHook({});
    SetInputQueryHook({});
}

void TestControlaOrvantaIngles::mainTexts_data()
{
    QTest::addColumn<QString>("objeto");
    QTest::addColumn<QString>("texto");
    QTest::newRow("caption") << "TfrmControlaOrvanta"
                             << "Treadmill controller";
    QTest::newRow("connection group") << "GroupBox1"
                                      << "Connect the treadmill";
    QTest::newRow("connect") << "btnOnline"
                             << "Connect";
    QTest::newRow("interval") << "Intervalo"
                              << "Interval:";
    QTest::newRow("change interval") << "ButtonAlteraIntervalo"
                                     << "Change";
    QTest::newRow("language") << "btnIdioma"
                              << "Language";
    QTest::newRow("close") << "btnFechar"
                           << "Close";
    QTest::newRow("belt group") << "GroupBox2"
                                << "Treadmill";
    QTest::newRow("typed speed") << "btnVelocidade"
                                 << "Speed...";
    QTest::newRow("typed incline") << "btnInclinacao"
                                   << "Incline...";
    QTest::newRow("stop") << "btnPararEsteira"
                          << "STOP TREADMILL";
    QTest::newRow("calibrate speed") << "btnCalibrarVelocidade"
                                     << "Calibrate Speed";
    QTest::newRow("calibrate incline") << "btnCalibrarInclinacao"
                                       << "Calibrate Incline";
    // Texts that are names or units stay as they are.
    QTest::newRow("brand") << "Label1"
                           << "KESTROVA";
}

void TestControlaOrvantaIngles::mainTexts()
{
    QFETCH(QString, objeto);
    QFETCH(QString, texto);
    QObject *alvo =
        objeto == FWindow->objectName() ? FWindow.get() : FWindow->findChild<QObject *>(objeto);
    QVERIFY2(alvo, qPrintable(objeto));
    QString lido;
    if (auto *botao = qobject_cast<QAbstractButton *>(alvo))
        lido = botao->text();
    else if (auto *rotulo = qobject_cast<QLabel *>(alvo))
        lido = rotulo->text();
    else if (auto *grupo = qobject_cast<QGroupBox *>(alvo))
        lido = grupo->title();
    else
        lido = static_cast<QWidget *>(alvo)->windowTitle();
    QCOMPARE(lido, texto);
}

void TestControlaOrvantaIngles::portChooserTexts()
{
    kestrova::comm::TSerialPortEntry entrada;
    entrada.device = "/dev/ttyUSB0";
    entrada.stableName = "/dev/serial/by-id/usb-adapter";
    entrada.mappedPorts = {3};
    entrada.inUse = true;
    TfrmEscolherPorta dialogo(3, {entrada}, FWindow.get());
    QCOMPARE(dialogo.windowTitle(), QStringLiteral("Serial port of COM3"));
    auto *tabela = dialogo.findChild<QTableWidget *>("tblPortas");
    QVERIFY(tabela);
    QCOMPARE(tabela->horizontalHeaderItem(0)->text(), QStringLiteral("Device"));
    QCOMPARE(tabela->horizontalHeaderItem(5)->text(), QStringLiteral("Status"));
    QCOMPARE(TfrmEscolherPorta::Situacao(3, entrada), QStringLiteral("COM3 (this port), in use"));
    QCOMPARE(dialogo.findChild<QAbstractButton *>("btnPadrao")->text(), QStringLiteral("Default"));
}

void TestControlaOrvantaIngles::typedSpeedAsksAndRefusesInEnglish()
{
    FWindow->findChild<QAbstractButton *>("btnOnline")->click();
    QVERIFY(FWindow->Conectada());
    FAnswer = QStringLiteral("fast");
    FWindow->findChild<QAbstractButton *>("btnVelocidade")->click();
    // The range is built with arg() from numbers in the English form.
    QCOMPARE(FPrompts, QStringList{"Enter the new speed: [0.0]"});
    QCOMPARE(FErrorBoxes, QStringList{"Invalid value: enter 0.0 to 18.0 km/h."});
}

void TestControlaOrvantaIngles::tickOutcomeInEnglish()
{
    FWindow->findChild<QAbstractButton *>("btnOnline")->click();
    QVERIFY(FWindow->Conectada());
    FWindow->findChild<QAbstractButton *>("btnAumentarVelocidade")->click();
    auto *mensagem = FWindow->findChild<QLabel *>("lblMensagem");
    QTRY_COMPARE_WITH_TIMEOUT(mensagem->text(), QStringLiteral("Speed or Incline: OK"), 5000);
    FWindow->findChild<QAbstractButton *>("btnPararEsteira")->click();
    QTRY_COMPARE_WITH_TIMEOUT(mensagem->text(), QStringLiteral("Treadmill stopped"), 5000);
}

void TestControlaOrvantaIngles::languageMenuKeepsTheChoice()
{
    auto *botao = FWindow->findChild<QToolButton *>("btnIdioma");
    QVERIFY(botao && botao->menu());
    QCOMPARE(botao->popupMode(), QToolButton::InstantPopup);
    QVERIFY(!TfrmControlaOrvanta::IdiomaPreferido());
    QVERIFY(Action("actIdiomaDoSistema")->isChecked());
    QCOMPARE(Action("actIdiomaDoSistema")->text(), QStringLiteral("System language"));
    // The languages by their own names; the note says when the choice applies.
    QCOMPARE(Action("actPortugues")->text(), QStringLiteral("Português"));
    QCOMPARE(Action("actIngles")->text(), QStringLiteral("English"));
    QCOMPARE(Action("actNotaIdioma")->text(),
             QStringLiteral("The choice applies from the next start."));
    QVERIFY(!Action("actNotaIdioma")->isEnabled());

    Action("actPortugues")->trigger();
    QCOMPARE(QSettings(SettingsFile(), QSettings::IniFormat).value("interface/idioma").toString(),
             QStringLiteral("pt"));
    QCOMPARE(TfrmControlaOrvanta::IdiomaPreferido(), std::optional(TIdioma::Portugues));
    // Applies at the next start: this window keeps its language.
    QCOMPARE(FWindow->findChild<QAbstractButton *>("btnFechar")->text(), QStringLiteral("Close"));

    // A new window shows the saved choice checked.
    FWindow = std::make_unique<TfrmControlaOrvanta>();
    QVERIFY(Action("actPortugues")->isChecked());
    QVERIFY(!Action("actIdiomaDoSistema")->isChecked());

    Action("actIdiomaDoSistema")->trigger();
    QVERIFY(!QSettings(SettingsFile(), QSettings::IniFormat).contains("interface/idioma"));
    QVERIFY(!TfrmControlaOrvanta::IdiomaPreferido());
    QVERIFY(FErrorBoxes.isEmpty());
}

QTEST_MAIN(TestControlaOrvantaIngles)
#include "tst_controlaorvantaingles.moc"
