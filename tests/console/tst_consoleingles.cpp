// The console window started in English: its main texts, and the Idioma menu that keeps the
// choice for the next start. The Portuguese window is tst_console's, unchanged.

#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "console/fconsole.h"
#include "console/preferencias.h"
#include "platform/idioma.h"
#include "session/bancosessoes.h"

class TestConsoleIngles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mainTexts();
    void languageMenuKeepsTheChoice();

private:
    QString Texto(const char *botao) const
    {
        auto *b = FJanela->findChild<QPushButton *>(QLatin1String(botao));
        return b ? b->text() : QString();
    }
    QAction *Acao(const char *nome) const
    {
        return FJanela->findChild<QAction *>(QLatin1String(nome));
    }

    QTemporaryDir FPasta;  // the settings and database of this test, never the user's
    std::unique_ptr<TBancoSessoes> FBanco;
    std::unique_ptr<TfrmConsole> FJanela;
};

void TestConsoleIngles::initTestCase()
{
    QVERIFY(FPasta.isValid());
    qputenv("XDG_CONFIG_HOME", FPasta.path().toLocal8Bit());
    // As `orvanta-teste --lang en` does, on a Portuguese system.
    QVERIFY(InstalarIdioma(*qApp, TIdioma::Ingles, QLocale(QLocale::Portuguese, QLocale::Brazil)));
}

void TestConsoleIngles::init()
{
    FBanco = std::make_unique<TBancoSessoes>();
    QString erro;
    QVERIFY2(FBanco->Abrir(FPasta.filePath("sessoes.db"), &erro), qPrintable(erro));
    FJanela = std::make_unique<TfrmConsole>(FBanco.get());
}

void TestConsoleIngles::cleanup()
{
    FJanela.reset();
    FBanco.reset();
}

void TestConsoleIngles::mainTexts()
{
    QCOMPARE(FJanela->windowTitle(), QStringLiteral("Exercise test"));
    QCOMPARE(Texto("btnIniciar"), QStringLiteral("Start"));
    QCOMPARE(Texto("btnPausar"), QStringLiteral("Pause"));
    QCOMPARE(Texto("btnParar"), QStringLiteral("STOP"));
    QCOMPARE(Texto("btnEncerrar"), QStringLiteral("End test"));
    QStringList menus;
    for (QAction *menu : FJanela->menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, (QStringList{"&File", "P&rotocols", "&Language"}));
    QCOMPARE(Acao("actSessoes")->text(), QStringLiteral("&Sessions..."));
    QCOMPARE(Acao("actIdiomaDoSistema")->text(), QStringLiteral("System language"));
    // Each language by its own name, whatever the window speaks.
    QCOMPARE(Acao("actPortugues")->text(), QStringLiteral("Português"));
    QCOMPARE(Acao("actIngles")->text(), QStringLiteral("English"));
    // The step list shows the phase in English; the description recorded stays Portuguese.
    const auto *passos = FJanela->findChild<QTreeWidget *>(QStringLiteral("lstPassos"));
    QVERIFY(passos && passos->topLevelItemCount() > 0);
    QCOMPARE(passos->topLevelItem(0)->text(0), QStringLiteral("Exercise"));
}

void TestConsoleIngles::languageMenuKeepsTheChoice()
{
    QVERIFY(Acao("actIdiomaDoSistema")->isChecked());
    Acao("actPortugues")->trigger();
    QCOMPARE(IdiomaPreferidoConsole(), std::optional(TIdioma::Portugues));
    // A window opened after the choice shows it.
    cleanup();
    init();
    QVERIFY(Acao("actPortugues")->isChecked());
    Acao("actIdiomaDoSistema")->trigger();
    QCOMPARE(IdiomaPreferidoConsole(), std::nullopt);
}

QTEST_MAIN(TestConsoleIngles)
#include "tst_consoleingles.moc"
