#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/fcontrolaorvanta.h"
#include "comm/portsettings.h"
#include "components/vtxtimer.h"
#include "platform/inputbox.h"
#include "platform/messagebox.h"
#include "tools/boardsim/boardsimulator.h"

namespace {

const QString kFalha = QStringLiteral("Falha na comunicação");
const QString kNak = QStringLiteral("Retornou NAK");
const QString kPrefixo = QStringLiteral("Velocidade ou Inclinação: ");
const QColor kVermelho(0xFF, 0, 0);
const QColor kVerde(0, 0x80, 0);

QByteArray Frame(char command, int value)
{
    const char bytes[3] = {0x02, command, char(value)};
    return QByteArray(bytes, 3);
}

QList<QByteArray> FramesOf(const TBoardSimulator &board)
{
    QList<QByteArray> frames;
    for (const TFrameRecord &record : board.Frames())
        frames << record.frame;
    return frames;
}

// Records, for some widgets, the thread and colour of every change Qt reports synchronously.
class TWidgetWatch : public QObject {
public:
    QList<QColor> Colours;
    int OffMainThread = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto type = event->type();
        if (type == QEvent::PaletteChange || type == QEvent::Show || type == QEvent::Hide ||
            type == QEvent::ShowToParent || type == QEvent::HideToParent ||
            type == QEvent::FontChange || type == QEvent::EnabledChange) {
            if (QThread::currentThread() != QCoreApplication::instance()->thread())
                ++OffMainThread;
            if (type == QEvent::PaletteChange && watched->objectName() == "lblMensagem")
                Colours << static_cast<QWidget *>(watched)->palette().color(QPalette::WindowText);
        }
        return false;
    }
};

}  // namespace

class TestControlaOrvanta : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstRaiseResetsThenPollsEveryPeriod();
    void speedAndInclineStopAtTheirBounds();
    void typedSpeedThenRaisedSendsTheTopCode();
    void statusAlternatesColourOnTheMainThread();
    void failuresAreShownWithTheirTexts_data();
    void failuresAreShownWithTheirTexts();
    void portThatCannotOpenIsReportedAndStaysConnected();
    void portMappedInTheSettingsIsOpened();
    void lastPortOpenedIsTheNextWindowsPort();
    void pulledCableIsShownThenTheDeviceReopensIdle();
    void calibration_data();
    void calibration();
    void calibrationPausesThePollingOfARunningBelt();
    void typedValuesAreClamped_data();
    void typedValuesAreClamped();
    void typedInTheLocalesForm_data();
    void typedInTheLocalesForm();
    void typedValuesThatAreNotNumbersAreRefused_data();
    void typedValuesThatAreNotNumbersAreRefused();
    void cancelSendsNothing();
    void resetLabelHidesAfterTheFirstResetOfABurst();
    void intervalTakesIntegersOnly();
    void intervalOutOfRangeKeepsTheBeltPolling();
    void inputDialogLimitsTheTextAndReturnsIt();
    void stopPressedWhileATickWaitsTakesItsTurn();
    void disconnectWhileATickWaitsOnASilentBoard();
    void destroyingTheWindowWhileATickWaits();
    void closingWithTheBeltRunningAsks_data();
    void closingWithTheBeltRunningAsks();
    void randomizedStress();

private:
    template <typename T = QAbstractButton>
    T *W(const char *name) const
    {
        T *widget = FWindow->findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    TVtxTimer *Timer(const char *name) const { return W<TVtxTimer>(name); }
    QString Text(const char *name) const { return W<QLabel>(name)->text(); }
    void Connect();
    void StartRunning();  // first raise, then clear the board's log
    bool WaitForTickOutcome(const QString &text, int timeoutMs);
    // Waits while the main thread keeps delivering the answers the polling exchanges wait for.
    bool WaitForFrames(int count, int timeoutMs);
    // Closes the window answering its question, if one comes, with that button or "<Esc>";
    // returns the question's default button if it is also its escape button ("?" if not).
    QString CloseAnswering(const QString &answer);

    std::unique_ptr<TBoardSimulator> FBoard;
    std::unique_ptr<TfrmControlaOrvanta> FWindow;
    QStringList FErrorBoxes;
    QStringList FErrorDetails;
    QTemporaryDir FConfig;  // the settings of this test, never the user's
    QString SettingsFile() const { return FConfig.filePath("Kestrova/orvanta.ini"); }
    QStringList FPrompts;
    QList<std::optional<QString>> FAnswers;
};

void TestControlaOrvanta::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    QVERIFY(FConfig.isValid());
    qputenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit());
    // The window's settings (the last port) are written here, not to the user's file.
    QCOMPARE(
        QSettings(QSettings::IniFormat, QSettings::UserScope, "Kestrova", "orvanta").fileName(),
        SettingsFile());
    SetErrorMessageHook([this](const QString &text) { FErrorBoxes << text; });
    SetErrorDetailsHook([this](const QString &text, const QString &details) {
        FErrorBoxes << text;
        FErrorDetails << details;
    });
    SetInputQueryHook([this](const QString &, const QString &prompt, QString &value) {
        FPrompts << prompt + " [" + value + "]";
        if (FAnswers.isEmpty() || !FAnswers.first())
            return FAnswers.isEmpty() ? false : (FAnswers.takeFirst(), false);
        value = *FAnswers.takeFirst();
        return true;
    });
}

void TestControlaOrvanta::init()
{
    FErrorBoxes.clear();
    FErrorDetails.clear();
    FPrompts.clear();
    FAnswers.clear();
    FBoard = std::make_unique<TBoardSimulator>();
    QString error;
    QVERIFY2(FBoard->Start(&error), qPrintable(error));
    qputenv("KESTROVA_COM3", FBoard->DevicePath().toLocal8Bit());
    FWindow = std::make_unique<TfrmControlaOrvanta>();
    FWindow->show();
    W<QLineEdit>("edtCom")->setText("3");
    Timer("VtxTimer1")->AjustarFiIntervalo(60);
    Timer("VtxTimerReset")->AjustarFiIntervalo(300);
}

void TestControlaOrvanta::cleanup()
{
    QLocale::setDefault(QLocale::c());
    FWindow.reset();
    FBoard.reset();
    kestrova::comm::SetMappedPortDevice(3, QString());
}

void TestControlaOrvanta::Connect()
{
    W("btnOnline")->click();
    QVERIFY(FWindow->Conectada());
    QCOMPARE(W<QLabel>("shpLed")->property("cor").value<QColor>(), QColor(0, 0xFF, 0));
}

void TestControlaOrvanta::StartRunning()
{
    Connect();
    W("btnAumentarVelocidade")->click();
    QVERIFY(WaitForFrames(3, 3000));
    FBoard->ClearLog();
}

bool TestControlaOrvanta::WaitForTickOutcome(const QString &text, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (Text("lblMensagem") != kPrefixo + text) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

bool TestControlaOrvanta::WaitForFrames(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return FBoard->Frames().size() >= count; }, timeoutMs);
}

QString TestControlaOrvanta::CloseAnswering(const QString &answer)
{
    QString safe;
    QTimer answerer;
    QElapsedTimer clock;
    clock.start();
    connect(&answerer, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box || box->objectName() != "dlgFecharComEsteira") {
            if (modal && clock.elapsed() > 5000)
                modal->close();  // a box the test does not expect must not hang it
            return;
        }
        answerer.stop();
        safe = box->escapeButton() == box->defaultButton() ? box->defaultButton()->text() : "?";
        if (answer == "<Esc>")
            QTest::keyClick(box, Qt::Key_Escape);  // what closing the box answers too
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == answer)
                button->click();
        }
    });
    answerer.start(10);
    FWindow->close();
    return safe;
}

void TestControlaOrvanta::firstRaiseResetsThenPollsEveryPeriod()
{
    QCOMPARE(Text("pnlVelocidade"), QString());
    QVERIFY(!W("btnAumentarVelocidade")->isEnabled());
    Connect();
    QCOMPARE(Text("pnlVelocidade"), "0.00 Km/h");
    QCOMPARE(Text("pnlInclinacao"), "0 %");
    QVERIFY(!W<QLineEdit>("edtCom")->isEnabled());
    W("btnAumentarVelocidade")->click();
    QCOMPARE(FramesOf(*FBoard).value(0), Frame('T', 0));
    QCOMPARE(Text("lblReset"), "RESET: OK");
    QVERIFY(W<QLabel>("lblReset")->isVisible());
    QCOMPARE(Text("pnlVelocidade"), "1.50 Km/h");
    QVERIFY(WaitForFrames(7, 3000));
    const QList<QByteArray> frames = FramesOf(*FBoard);
    for (int i = 1; i + 1 < 7; i += 2) {
        QCOMPARE(frames[i], Frame('Q', 1));
        QCOMPARE(frames[i + 1], Frame('R', 0));
    }
    QVERIFY(WaitForTickOutcome("OK", 2000));
}

void TestControlaOrvanta::speedAndInclineStopAtTheirBounds()
{
    Connect();
    W("btnAumentarVelocidade")->click();
    W("btnAumentarVelocidade")->click();
    QCOMPARE(Text("pnlVelocidade"), "1.60 Km/h");
    W("btnDiminuirVelocidade")->click();
    QCOMPARE(Text("pnlVelocidade"), "1.50 Km/h");
    W("btnDiminuirVelocidade")->click();
    QCOMPARE(Text("pnlVelocidade"), "0.00 Km/h");
    QCOMPARE(FWindow->VelocidadeDesejada(), 0.0);

    W("btnDiminuirInclinacao")->click();
    QCOMPARE(Text("pnlInclinacao"), "0.0%");
    W("btnAumentarInclinacao")->click();
    QCOMPARE(Text("pnlInclinacao"), "0.5%");
    FAnswers << QString("25");
    W("btnInclinacao")->click();
    W("btnAumentarInclinacao")->click();
    QCOMPARE(Text("pnlInclinacao"), "25.0%");
    QTRY_COMPARE_WITH_TIMEOUT(FBoard->State().inclineCode, 25, 3000);
    // Only the first command after connecting resets the board.
    int resets = 0;
    for (const QByteArray &frame : FramesOf(*FBoard))
        resets += frame == Frame('T', 0);
    QCOMPARE(resets, 1);
}

void TestControlaOrvanta::typedSpeedThenRaisedSendsTheTopCode()
{
    Connect();
    FAnswers << QString("17.95");
    W("btnVelocidade")->click();
    QCOMPARE(Text("pnlVelocidade"), "17.95 Km/h");
    W("btnAumentarVelocidade")->click();
    QCOMPARE(Text("pnlVelocidade"), "18.05 Km/h");
    FBoard->ClearLog();
    QVERIFY(WaitForFrames(2, 3000));
    QCOMPARE(FramesOf(*FBoard).value(0), Frame('Q', 166));
    W("btnAumentarVelocidade")->click();
    QCOMPARE(Text("pnlVelocidade"), "18.05 Km/h");
}

void TestControlaOrvanta::statusAlternatesColourOnTheMainThread()
{
    TWidgetWatch watch;
    for (const char *name : {"lblMensagem", "lblReset", "pnlVelocidade", "shpLed"})
        W<QWidget>(name)->installEventFilter(&watch);
    StartRunning();
    QTRY_VERIFY_WITH_TIMEOUT(watch.Colours.size() >= 4, 5000);
    for (int i = 0; i < watch.Colours.size(); ++i)
        QCOMPARE(watch.Colours[i], i % 2 == 0 ? kVermelho : kVerde);
    QTRY_VERIFY_WITH_TIMEOUT(!W<QLabel>("lblReset")->isVisible(), 3000);
    QCOMPARE(watch.OffMainThread, 0);
}

void TestControlaOrvanta::failuresAreShownWithTheirTexts_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("nak") << int(TBoardFault::Nak) << kNak;
    QTest::newRow("silence") << int(TBoardFault::Silence) << kFalha;
}

void TestControlaOrvanta::failuresAreShownWithTheirTexts()
{
    QFETCH(int, fault);
    QFETCH(QString, message);
    Connect();
    FBoard->SetFault({TBoardFault(fault), 0});
    W("btnAumentarVelocidade")->click();
    QCOMPARE(Text("lblReset"), "RESET: " + message);
    QVERIFY(WaitForTickOutcome(message, 4000));
    QCOMPARE(FWindow->VelocidadeDesejada(), 1.5);
    QVERIFY(FWindow->Conectada());
    W("btnPararEsteira")->click();
    QCOMPARE(Text("lblReset"), "RESET: " + message);
    QCOMPARE(Text("lblMensagem"), "Parada não confirmada: " + message);
    QCOMPARE(Text("pnlVelocidade"), "0.00 Km/h");
    QVERIFY(FErrorBoxes.isEmpty());
}

void TestControlaOrvanta::portThatCannotOpenIsReportedAndStaysConnected()
{
    qputenv("KESTROVA_COM3", "/nonexistent/kestrova-tty");
    Connect();
    QCOMPARE(FErrorBoxes, QStringList{"Não foi possível abrir porta serial.\n\nTente novamente."});
    QCOMPARE(FErrorDetails.size(), 1);
    QVERIFY2(FErrorDetails[0].contains("/nonexistent/kestrova-tty") &&
                 FErrorDetails[0].contains("não existe"),
             qPrintable(FErrorDetails[0]));
    QVERIFY(W<QLabel>("lblDispositivo")->text().contains("/nonexistent/kestrova-tty"));
    W("btnPararEsteira")->click();
    QCOMPARE(Text("lblReset"), "RESET: " + kFalha);
    W("btnOnline")->click();
    QVERIFY(!FWindow->Conectada());
    QCOMPARE(W<QLabel>("shpLed")->property("cor").value<QColor>(), kVermelho);
}

void TestControlaOrvanta::portMappedInTheSettingsIsOpened()
{
    qunsetenv("KESTROVA_COM3");
    QVERIFY(kestrova::comm::SetMappedPortDevice(3, FBoard->DevicePath()));
    Connect();
    QCOMPARE(W<QLabel>("lblDispositivo")->text(), "COM3 = " + FBoard->DevicePath());
    W("btnPararEsteira")->click();
    QCOMPARE(FramesOf(*FBoard), QList<QByteArray>{Frame('T', 0)});
    // The environment still wins, and says so.
    W("btnOnline")->click();
    qputenv("KESTROVA_COM3", "/tmp/kestrova-env");
    W<QLineEdit>("edtCom")->setText("3 ");
    QCOMPARE(W<QLabel>("lblDispositivo")->text(), "COM3 = /tmp/kestrova-env (KESTROVA_COM3)");
}

void TestControlaOrvanta::lastPortOpenedIsTheNextWindowsPort()
{
    QSettings(SettingsFile(), QSettings::IniFormat).clear();
    const auto reopen = [this] {
        FWindow.reset();
        FWindow = std::make_unique<TfrmControlaOrvanta>();
        return W<QLineEdit>("edtCom")->text();
    };
    QCOMPARE(reopen(), "1");  // nothing stored
    qputenv("KESTROVA_COM5", FBoard->DevicePath().toLocal8Bit());
    W<QLineEdit>("edtCom")->setText("5");
    Connect();
    QCOMPARE(reopen(), "5");
    // A port that did not open is not remembered.
    qputenv("KESTROVA_COM6", "/nonexistent/kestrova-tty");
    W<QLineEdit>("edtCom")->setText("6");
    Connect();
    QCOMPARE(FErrorBoxes.size(), 1);
    QCOMPARE(reopen(), "5");
    qunsetenv("KESTROVA_COM5");
    qunsetenv("KESTROVA_COM6");
}

// The cable is pulled while the belt runs, and the board comes back on a new pty behind the same
// link: the loss is shown at once, and after the reopening the window is connected but idle.
void TestControlaOrvanta::pulledCableIsShownThenTheDeviceReopensIdle()
{
    QTemporaryDir links;
    const QString link = links.filePath("orvanta");
    QVERIFY(QFile::link(FBoard->DevicePath(), link));
    qunsetenv("KESTROVA_COM3");
    QVERIFY(kestrova::comm::SetMappedPortDevice(3, link));
    FWindow->AjustarIntervaloDeReabertura(200);
    StartRunning();
    FBoard->PullCable();
    QTRY_VERIFY_WITH_TIMEOUT(FWindow->DispositivoPerdido(), 3000);
    QLabel *led = W<QLabel>("shpLed");
    QCOMPARE(led->property("cor").value<QColor>(), QColor(0x80, 0x80, 0x80));
    QVERIFY2(led->toolTip().contains(link), qPrintable(led->toolTip()));
    // The polling reports its failures meanwhile (the label may still show the last good tick
    // until the next one has failed).
    QTRY_VERIFY_WITH_TIMEOUT(
        Text("lblMensagem").startsWith(kPrefixo) && Text("lblMensagem") != kPrefixo + "OK", 5000);

    FBoard = std::make_unique<TBoardSimulator>();
    QString error;
    QVERIFY2(FBoard->Start(&error), qPrintable(error));
    QVERIFY(QFile::remove(link) && QFile::link(FBoard->DevicePath(), link));
    QTRY_VERIFY_WITH_TIMEOUT(!FWindow->DispositivoPerdido(), 5000);
    QVERIFY(FWindow->Conectada());
    QCOMPARE(led->property("cor").value<QColor>(), QColor(0, 0xFF, 0));
    QVERIFY(!FWindow->EsteiraLigada());
    QVERIFY(!Timer("VtxTimer1")->Habilitado());
    QCOMPARE(FWindow->VelocidadeDesejada(), 0.0);
    QCOMPARE(Text("pnlVelocidade"), "?");
    QCOMPARE(Text("pnlInclinacao"), "?");
    QTest::qWait(500);  // several polling periods: nothing goes to the board by itself
    QCOMPARE(FBoard->Frames().size(), 0);
    // The belt may still be running after the pull: closing asks until a stop is acknowledged.
    QCOMPARE(CloseAnswering("Cancelar"), "Cancelar");
    QVERIFY(FWindow->isVisible());
    QCOMPARE(FBoard->Frames().size(), 0);
    W("btnPararEsteira")->click();
    QCOMPARE(FramesOf(*FBoard), QList<QByteArray>{Frame('T', 0)});
    QCOMPARE(Text("lblReset"), "RESET: OK");
    // The next raise starts from a stopped belt, not from the speed before the pull.
    W("btnAumentarVelocidade")->click();
    QVERIFY(WaitForFrames(3, 3000));
    QCOMPARE(FramesOf(*FBoard).at(2), Frame('Q', 1));
}

void TestControlaOrvanta::calibration_data()
{
    QTest::addColumn<bool>("speed");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QList<TFaultStep>>("script");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QString>("panel");
    const QByteArray preamble = Frame('o', 0xAA);
    const QByteArray stop = Frame('T', 0);
    const TFaultStep ok{TBoardFault::None, 0};
    QTest::newRow("speed defaults")
        << true << "106" << QList<TFaultStep>{}
        << QList<QByteArray>{stop, preamble, Frame('v', 0x6A), stop} << "OK";
    QTest::newRow("incline defaults")
        << false << "18" << QList<TFaultStep>{}
        << QList<QByteArray>{stop, preamble, Frame('i', 0x12), stop} << "OK";
    const QString range = QStringLiteral("Valor de calibração deve estar entre 0 e 255.");
    QTest::newRow("255 is the top")
        << true << "255" << QList<TFaultStep>{}
        << QList<QByteArray>{stop, preamble, Frame('v', 255), stop} << "OK";
    QTest::newRow("256 is refused, nothing sent")
        << false << "256" << QList<TFaultStep>{} << QList<QByteArray>{stop, stop} << range;
    QTest::newRow("300 is refused, nothing sent")
        << true << "300" << QList<TFaultStep>{} << QList<QByteArray>{stop, stop} << range;
    QTest::newRow("negative is refused")
        << true << "-1" << QList<TFaultStep>{} << QList<QByteArray>{stop, stop} << range;
    QTest::newRow("nak on the value")
        << true << "106" << QList<TFaultStep>{ok, ok, {TBoardFault::Nak, 0}}
        << QList<QByteArray>{stop, preamble, Frame('v', 0x6A), stop} << kNak;
    QTest::newRow("preamble times out")
        << false << "18" << QList<TFaultStep>{ok, {TBoardFault::Silence, 0}}
        << QList<QByteArray>{stop, preamble, stop} << kFalha;
    QTest::newRow("not an integer")
        << true << "abc" << QList<TFaultStep>{} << QList<QByteArray>{stop, stop}
        << "'abc' não é um valor inteiro válido.";
}

void TestControlaOrvanta::calibration()
{
    QFETCH(bool, speed);
    QFETCH(QString, value);
    QFETCH(QList<TFaultStep>, script);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QString, panel);
    Connect();
    QVERIFY(!W<QLabel>("pPanelCalibrando")->isVisible());
    W<QLineEdit>(speed ? "edtCalibrarVelocidade" : "edtCalibrarInclinacao")->setText(value);
    FBoard->SetScript(script);
    W(speed ? "btnCalibrarVelocidade" : "btnCalibrarInclinacao")->click();
    QCOMPARE(FramesOf(*FBoard), frames);
    QLabel *status = W<QLabel>("pPanelCalibrando");
    QVERIFY(status->isVisible());
    QVERIFY(W<QLabel>("lblMsgCalibracao1")->isVisible());
    QCOMPARE(status->text(), panel);
    QCOMPARE(status->font().pointSize(), panel == "OK" ? 18 : 10);
    QCOMPARE(Text("pnlVelocidade"), "0.00 Km/h");
    QCOMPARE(Text("pnlInclinacao"), "0 %");
    QCOMPARE(Text("lblReset"), "RESET: OK");
}

void TestControlaOrvanta::calibrationPausesThePollingOfARunningBelt()
{
    StartRunning();
    FAnswers << QString("2");
    W("btnInclinacao")->click();
    FBoard->ClearLog();
    W("btnCalibrarVelocidade")->click();
    // Polling was off for the whole calibration: no tick frame between the two resets.
    const QList<QByteArray> frames = FramesOf(*FBoard);
    const qsizetype first = frames.indexOf(Frame('T', 0));
    QVERIFY(first >= 0);
    QCOMPARE(frames.mid(first, 4),
             (QList<QByteArray>{Frame('T', 0), Frame('o', 0xAA), Frame('v', 0x6A), Frame('T', 0)}));
    QCOMPARE(Text("pPanelCalibrando"), "OK");
    QCOMPARE(Text("pnlVelocidade"), "1.50 Km/h");
    QCOMPARE(Text("pnlInclinacao"), "2 %");
    QVERIFY(FWindow->EsteiraLigada());
    QVERIFY(Timer("VtxTimer1")->Habilitado());
    // ... and it resumes afterwards with the wanted values (the calibration left the board's
    // speed and incline at the reset's zero).
    QCOMPARE(FBoard->State().inclineCode, 0);
    QTRY_COMPARE_WITH_TIMEOUT(FBoard->State().inclineCode, 2, 3000);
    QCOMPARE(FBoard->State().speedCode, 1);
}

void TestControlaOrvanta::typedValuesAreClamped_data()
{
    QTest::addColumn<bool>("speed");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("code");
    QTest::newRow("speed 0.5 -> 1.5") << true << "0.5"
                                      << "1.50 Km/h" << 1;
    QTest::newRow("speed 25 -> 18") << true << "25"
                                    << "18.00 Km/h" << 166;
    QTest::newRow("speed -3 -> 0") << true << "-3"
                                   << "0.00 Km/h" << 0;
    QTest::newRow("speed 5.3") << true << "5.3"
                               << "5.30 Km/h" << 39;
    QTest::newRow("incline 3.7 -> 3") << false << "3.7"
                                      << "3 %" << 3;
    QTest::newRow("incline 40 -> 25") << false << "40"
                                      << "25 %" << 25;
    QTest::newRow("incline -2 -> 0") << false << "-2"
                                     << "0 %" << 0;
}

void TestControlaOrvanta::typedValuesAreClamped()
{
    QFETCH(bool, speed);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, code);
    Connect();
    FAnswers << typed;
    W(speed ? "btnVelocidade" : "btnInclinacao")->click();
    QCOMPARE(FPrompts.last(),
             speed ? "Insira a nova velocidade: [0.0]" : "Insira a nova inclinacao: [0]");
    QCOMPARE(Text(speed ? "pnlVelocidade" : "pnlInclinacao"), shown);
    QCOMPARE(FramesOf(*FBoard).value(0), Frame('T', 0));
    if (speed)
        QTRY_COMPARE_WITH_TIMEOUT(FBoard->State().speedCode, code, 3000);
    else
        QTRY_COMPARE_WITH_TIMEOUT(FBoard->State().inclineCode, code, 3000);
    QVERIFY(FErrorBoxes.isEmpty());
}

void TestControlaOrvanta::typedInTheLocalesForm_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden);
    QTest::newRow("Arabic, Egypt") << QLocale(QLocale::Arabic, QLocale::Egypt);
    QTest::newRow("Persian") << QLocale(QLocale::Persian, QLocale::Iran);
}

// A speed typed with the locale's digits and separator, and the text the prompt shows next,
// accepted unchanged, both read as the same number.
void TestControlaOrvanta::typedInTheLocalesForm()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    Connect();
    FAnswers << locale.toString(5.3);
    W("btnVelocidade")->click();
    const QString speed = QStringLiteral("5") + locale.decimalPoint() + QStringLiteral("30 Km/h");
    QCOMPARE(Text("pnlVelocidade"), speed);
    const QString prompt = QStringLiteral("Insira a nova velocidade: [5") + locale.decimalPoint() +
                           QStringLiteral("3]");
    FAnswers << prompt.mid(prompt.indexOf(u'[') + 1).chopped(1);
    W("btnVelocidade")->click();
    QCOMPARE(FPrompts.last(), prompt);
    QCOMPARE(Text("pnlVelocidade"), speed);
    QTRY_COMPARE_WITH_TIMEOUT(FBoard->State().speedCode, 39, 3000);
    // A negative incline in the locale's form (Arabic: a letter mark before the minus) is a
    // number, clamped to 0, not refused as "Valor inválido".
    FAnswers << locale.toString(-2);
    W("btnInclinacao")->click();
    QCOMPARE(Text("pnlInclinacao"), QStringLiteral("0 %"));
    QVERIFY(FErrorBoxes.isEmpty());
}

void TestControlaOrvanta::typedValuesThatAreNotNumbersAreRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("speedRange");
    for (const char *text : {"nan", "inf", "-inf", "1e999", "abc", "1,5"})
        QTest::newRow(text) << QString::fromLatin1(text) << QLocale::c() << "0.0 a 18.0";
    QTest::newRow("abc, Brazil") << "abc" << QLocale(QLocale::Portuguese, QLocale::Brazil)
                                 << "0,0 a 18,0";
}

// The box states the range, in the decimal form the text is read in.
void TestControlaOrvanta::typedValuesThatAreNotNumbersAreRefused()
{
    QFETCH(QString, typed);
    QFETCH(QLocale, locale);
    QFETCH(QString, speedRange);
    QLocale::setDefault(locale);
    Connect();
    for (const char *button : {"btnVelocidade", "btnInclinacao"}) {
        FAnswers << typed;
        W(button)->click();
    }
    QCOMPARE(FErrorBoxes, QStringList({"Valor inválido: informe de " + speedRange + " km/h.",
                                       "Valor inválido: informe de 0 a 25 %."}));
    QCOMPARE(Text("pnlVelocidade"), speedRange.left(2) + "00 Km/h");  // "0.00" or "0,00"
    QCOMPARE(Text("pnlInclinacao"), "0 %");
    QVERIFY(!FWindow->EsteiraLigada());
    QVERIFY(!Timer("VtxTimer1")->Habilitado());
    QVERIFY(FBoard->Frames().isEmpty());
}

void TestControlaOrvanta::cancelSendsNothing()
{
    Connect();
    FAnswers << std::nullopt << std::nullopt;
    W("btnVelocidade")->click();
    W("btnInclinacao")->click();
    QCOMPARE(FPrompts.size(), 2);
    QVERIFY(!Timer("VtxTimer1")->Habilitado());
    QVERIFY(!Timer("VtxTimerReset")->Habilitado());
    // Nothing was started that could send later, so the log must still be empty.
    QVERIFY(FBoard->Frames().isEmpty());
    QCOMPARE(Text("pnlVelocidade"), "0.00 Km/h");
}

void TestControlaOrvanta::resetLabelHidesAfterTheFirstResetOfABurst()
{
    Timer("VtxTimerReset")->AjustarFiIntervalo(2000);
    Connect();
    QElapsedTimer clock;
    clock.start();
    W("btnPararEsteira")->click();
    QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() >= 1000, 2000);
    const qint64 second = clock.elapsed();
    W("btnPararEsteira")->click();
    QVERIFY(W<QLabel>("lblReset")->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!W<QLabel>("lblReset")->isVisible(), 5000);
    // Hidden one interval after the first reset, not one interval after the second.
    const qint64 hidden = clock.elapsed();
    QVERIFY2(hidden >= 1950 && hidden < second + 1950,
             qPrintable(QString("hidden at %1 ms, second reset at %2 ms").arg(hidden).arg(second)));
    QVERIFY(!Timer("VtxTimerReset")->Habilitado());
}

void TestControlaOrvanta::intervalTakesIntegersOnly()
{
    QLineEdit *edit = W<QLineEdit>("Edit1");
    QCOMPARE(edit->text(), "1000");  // the design value, read when the form was created
    edit->setText("abc");
    W("ButtonAlteraIntervalo")->click();
    QCOMPARE(Timer("VtxTimer1")->Intervalo(), 60);
    QCOMPARE(edit->text(), "60");  // the period in force
    edit->setText("1000000");
    W("ButtonAlteraIntervalo")->click();
    QCOMPARE(Timer("VtxTimer1")->Intervalo(), 1000000);
    edit->setText(" 250 ");
    W("ButtonAlteraIntervalo")->click();
    QCOMPARE(Timer("VtxTimer1")->Intervalo(), 250);
    QVERIFY(FErrorBoxes.isEmpty());
}

void TestControlaOrvanta::intervalOutOfRangeKeepsTheBeltPolling()
{
    StartRunning();
    for (const char *text : {"0", "-5", "1000001"}) {
        W<QLineEdit>("Edit1")->setText(QString::fromLatin1(text));
        W("ButtonAlteraIntervalo")->click();
        QCOMPARE(Timer("VtxTimer1")->Intervalo(), 60);
        QCOMPARE(W<QLineEdit>("Edit1")->text(), "60");
        QVERIFY(Timer("VtxTimer1")->Habilitado());
    }
    FBoard->ClearLog();
    QVERIFY(WaitForFrames(2, 3000));
}

void TestControlaOrvanta::inputDialogLimitsTheTextAndReturnsIt()
{
    const TInputQueryHook hook = SetInputQueryHook({});
    QString seen;
    int maxLength = 0;
    // The dialog is modal: answer it from the event loop it runs, and reject whatever dialog is
    // still open after the deadline so the test cannot hang.
    QTimer answer;
    QElapsedTimer clock;
    clock.start();
    connect(&answer, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (clock.elapsed() > 5000 && QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
            return;
        }
        answer.stop();
        seen = dialog->windowTitle() + "|" + dialog->labelText();
        if (QLineEdit *edit = dialog->findChild<QLineEdit *>()) {
            maxLength = edit->maxLength();
            edit->setText(QString(300, u'7'));
        }
        dialog->accept();
    });
    answer.start(10);
    QString value = QStringLiteral("1.5");
    const bool ok = InputQuery(QStringLiteral("Titulo"), QStringLiteral("Insira:"), value);
    SetInputQueryHook(hook);
    QVERIFY(ok);
    QCOMPARE(seen, "Titulo|Insira:");
    QCOMPARE(maxLength, 255);
    QCOMPARE(value, QString(255, u'7'));
}

void TestControlaOrvanta::stopPressedWhileATickWaitsTakesItsTurn()
{
    StartRunning();
    FBoard->SetFault({TBoardFault::Delay, 300});
    FBoard->ClearLog();
    QVERIFY(WaitForFrames(1, 3000));  // a tick now waits for a slow answer
    W("btnPararEsteira")->click();
    QCOMPARE(Text("lblReset"), "RESET: OK");
    QCOMPARE(FramesOf(*FBoard).last(), Frame('T', 0));
    const TBoardState state = FBoard->State();
    QCOMPARE(state.naks, 0);
    QCOMPARE(state.garbageBytes, 0);
    QCOMPARE(state.speedCode, 0);  // no tick came after the stop
    QVERIFY(!Timer("VtxTimer1")->Habilitado());
    QCoreApplication::processEvents();  // whatever the overtaken tick posted
    QCOMPARE(Text("lblMensagem"), "Esteira parada");
}

void TestControlaOrvanta::disconnectWhileATickWaitsOnASilentBoard()
{
    StartRunning();
    FBoard->SetFault({TBoardFault::Silence, 0});
    FBoard->ClearLog();
    QVERIFY(WaitForFrames(1, 3000));  // a tick now waits for an answer
    W("btnOnline")->click();
    QVERIFY(!FWindow->Conectada());
    QVERIFY(!Timer("VtxTimer1")->Habilitado());
    QCOMPARE(Text("pnlVelocidade"), QString());
    QCOMPARE(FWindow->VelocidadeDesejada(), 0.0);
    QCOMPARE(W<QLabel>("shpLed")->property("cor").value<QColor>(), kVermelho);
    QVERIFY(W<QLineEdit>("edtCom")->isEnabled());
    // The tick in flight ended (the disconnect waited for it) and posted its failure: it is
    // dropped, not shown after the disconnect.
    QCoreApplication::processEvents();
    QVERIFY2(!Text("lblMensagem").contains(kFalha), qPrintable(Text("lblMensagem")));
    // The device is gone: several polling periods later nothing more reached the board.
    const qsizetype frames = FBoard->Frames().size();
    QTest::qWait(300);
    QCOMPARE(FBoard->Frames().size(), frames);
    // Connecting again works on a fresh device.
    FBoard->SetFault({TBoardFault::None, 0});
    Connect();
    W("btnAumentarInclinacao")->click();
    QTRY_COMPARE_WITH_TIMEOUT(FBoard->State().inclineCode, 26, 3000);
}

void TestControlaOrvanta::destroyingTheWindowWhileATickWaits()
{
    StartRunning();
    FBoard->SetFault({TBoardFault::Silence, 0});
    FBoard->ClearLog();
    QVERIFY(WaitForFrames(1, 3000));
    FWindow.reset();
    const qsizetype frames = FBoard->Frames().size();
    QTest::qWait(300);
    QCOMPARE(FBoard->Frames().size(), frames);
    QCOMPARE(FBoard->State().speedCode, 1);  // the window's destruction does not stop the belt
}

void TestControlaOrvanta::closingWithTheBeltRunningAsks_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("stopSent");
    const int none = int(TBoardFault::None);
    QTest::newRow("idle: no question") << false << none << QString() << true << false;
    QTest::newRow("stop and close") << true << none << "Parar a esteira e fechar" << true << true;
    QTest::newRow("close, belt untouched") << true << none << "Fechar sem parar" << true << false;
    QTest::newRow("cancel") << true << none << "Cancelar" << false << false;
    QTest::newRow("escape") << true << none << "<Esc>" << false << false;
    QTest::newRow("stop not acknowledged")
        << true << int(TBoardFault::Silence) << "Parar a esteira e fechar" << false << true;
}

void TestControlaOrvanta::closingWithTheBeltRunningAsks()
{
    QFETCH(bool, running);
    QFETCH(int, fault);
    QFETCH(QString, answer);
    QFETCH(bool, closed);
    QFETCH(bool, stopSent);
    if (running)
        StartRunning();
    else
        Connect();
    FBoard->SetFault({TBoardFault(fault), 0});
    QCOMPARE(CloseAnswering(answer), running ? "Cancelar" : "");
    QCOMPARE(FWindow->isVisible(), !closed);
    QCOMPARE(FramesOf(*FBoard).contains(Frame('T', 0)), stopSent);
    if (fault != int(TBoardFault::None)) {
        QCOMPARE(FErrorBoxes, QStringList{"Não foi possível parar a esteira: " + kFalha +
                                          ". A janela continua aberta."});
        QCOMPARE(CloseAnswering("Cancelar"), "Cancelar");  // the belt may still move: asked again
        QVERIFY(FWindow->isVisible());
        return;
    }
    // Stopped and silent, or still running and polled.
    QCOMPARE(Timer("VtxTimer1")->Habilitado(), running && !stopSent);
    QCOMPARE(FBoard->State().speedCode, running && !stopSent ? 1 : 0);
    QVERIFY(FErrorBoxes.isEmpty());
}

void TestControlaOrvanta::randomizedStress()
{
    const quint32 seed = qEnvironmentVariableIsSet("KESTROVA_STRESS_SEED")
                             ? quint32(qEnvironmentVariableIntValue("KESTROVA_STRESS_SEED"))
                             : 20261208u;
    qInfo("stress seed %u (set KESTROVA_STRESS_SEED to repeat another)", seed);
    QRandomGenerator random(seed);
    Timer("VtxTimer1")->AjustarFiIntervalo(15);
    const char *buttons[] = {"btnAumentarVelocidade", "btnDiminuirVelocidade",
                             "btnAumentarInclinacao", "btnDiminuirInclinacao", "btnPararEsteira"};
    const TBoardFault faults[] = {TBoardFault::None,  TBoardFault::None,  TBoardFault::Nak,
                                  TBoardFault::Split, TBoardFault::Noise, TBoardFault::Delay};
    QElapsedTimer clock;
    clock.start();
    for (int step = 0; step < 300; ++step) {
        const int action = random.bounded(20);
        if (action < 14) {
            W(buttons[random.bounded(5)])->click();
        } else if (action < 16) {
            W("btnOnline")->click();
        } else if (action < 18) {
            FBoard->SetFault({faults[random.bounded(6)], int(random.bounded(1, 30))});
        } else if (action < 19 && random.bounded(2) == 0) {
            FBoard->SetScript({{TBoardFault::Silence, 0}});
        } else {
            QTest::qWait(int(random.bounded(1, 40)));
        }
        QVERIFY2(clock.elapsed() < 40000, "stress steps took too long");
    }
    FBoard->SetScript({});
    FBoard->SetFault({TBoardFault::None, 0});
    if (!FWindow->Conectada())
        W("btnOnline")->click();
    FAnswers << QString("5") << QString("4");
    W("btnVelocidade")->click();
    W("btnInclinacao")->click();
    QTRY_COMPARE_WITH_TIMEOUT(FBoard->State().speedCode, 36, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(FBoard->State().inclineCode, 4, 5000);
    QVERIFY(WaitForTickOutcome("OK", 3000));
    W("btnPararEsteira")->click();
    QCOMPARE(Text("lblReset"), "RESET: OK");
    QCOMPARE(FBoard->State().speedCode, 0);
    W("btnOnline")->click();
    QVERIFY(!FWindow->Conectada());
    QVERIFY(!Timer("VtxTimer1")->Habilitado());
}

QTEST_MAIN(TestControlaOrvanta)
#include "tst_controlaorvanta.moc"
