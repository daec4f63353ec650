// The console window started in English: its main texts, and the Idioma menu that keeps the
// choice for the next start. The Portuguese window is tst_console's, unchanged.

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "console/fconsole.h"
#include "console/preferencias.h"
#include "console/textoevento.h"
#include "platform/idioma.h"
#include "session/bancosessoes.h"
#include "session/registrossessao.h"

class TestConsoleIngles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mainTexts();
    void languageMenuKeepsTheChoice();
    void recordedEventsShown_data();
    void recordedEventsShown();
    void readingTypedIsListedInEnglish();

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

// Events are recorded in Portuguese; the lists show them in English, their values kept. A
// comment is the operator's own words.
void TestConsoleIngles::recordedEventsShown_data()
{
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("mostrado");
    QTest::newRow("heart rate") << "fc"
                                << "FC 92 bpm"
                                << "HR 92 bpm";
    QTest::newRow("resting pressure") << "pa"
                                      << "PA 124/78 mmHg (repouso)"
                                      << "BP 124/78 mmHg (resting)";
    QTest::newRow("ST") << "st"
                        << "Desvio de ST 1.5 mm"
                        << "ST deviation 1.5 mm";
    QTest::newRow("comment") << "comentario"
                             << "FC 92 bpm"
                             << "FC 92 bpm";
    QTest::newRow("stage") << "estagio"
                           << "Estágio 1 (Exercício): 2.7 km/h, 10.0 %"
                           << "Stage 1 (Exercise): 2.7 km/h, 10.0 %";
    QTest::newRow("strap's signal") << "sinal_fc"
                                    << "Frequência cardíaca (Cinta simulada): sinal recebido"
                                    << "Heart rate (Cinta simulada): signal received";
    QTest::newRow("warning") << "aviso"
                             << "PA sistólica 255 mmHg acima de 250 mmHg"
                             << "Systolic BP 255 mmHg above 250 mmHg";
}

void TestConsoleIngles::recordedEventsShown()
{
    QFETCH(QString, tipo);
    QFETCH(QString, texto);
    QFETCH(QString, mostrado);
    TEventoRegistro e;
    e.tipo = tipo;
    e.texto = texto;
    QCOMPARE(TTextoEvento::Exibido(e), mostrado);
}

void TestConsoleIngles::readingTypedIsListedInEnglish()
{
    FJanela->findChild<QLineEdit *>(QStringLiteral("edtFc"))->setText(QStringLiteral("92"));
    FJanela->findChild<QPushButton *>(QStringLiteral("btnRegistrarFc"))->click();
    const auto *lista = FJanela->findChild<QListWidget *>(QStringLiteral("lstEventos"));
    QVERIFY(lista && lista->count() > 0);
    QCOMPARE(lista->item(lista->count() - 1)->text(), QStringLiteral("Rest: HR 92 bpm"));
}

QTEST_MAIN(TestConsoleIngles)
#include "tst_consoleingles.moc"
