// The language choice shared by the programs: the codes, the system locale, --lang, the saved
// preference, and what installing a language changes (texts, Qt's own texts, numbers).

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTest>

#include "platform/exception.h"
#include "platform/formatfloat.h"
#include "platform/idioma.h"

Q_DECLARE_METATYPE(TIdioma)
Q_DECLARE_METATYPE(std::optional<TIdioma>)

namespace {

const QString kPrograma = QStringLiteral("orvanta");

}  // namespace

class TestIdioma : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void codeOfEachLanguageReadsBack();
    void languageOfACode_data();
    void languageOfACode();
    void languageOfASystemLocale_data();
    void languageOfASystemLocale();
    void optionValueInTheArguments_data();
    void optionValueInTheArguments();
    void choiceOrder_data();
    void choiceOrder();
    void unknownOptionValueIsRefused();
    void optionIsAcceptedByAParser();
    void localeOfNumbers_data();
    void localeOfNumbers();
    void englishTranslatesTheProgramsTexts();
    void englishNumbersOnAPortugueseSystem();
    void portugueseBringsBackTheSourceTextsAndQtsOwn();
};

void TestIdioma::cleanup()
{
    InstalarIdioma(*QCoreApplication::instance(), TIdioma::Portugues, QLocale::c());
}

void TestIdioma::codeOfEachLanguageReadsBack()
{
    for (const TIdioma idioma : {TIdioma::Portugues, TIdioma::Ingles})
        QCOMPARE(IdiomaDoCodigo(CodigoDoIdioma(idioma)), std::optional(idioma));
    QCOMPARE(CodigoDoIdioma(TIdioma::Ingles), QStringLiteral("en"));
    QCOMPARE(CodigoDoIdioma(TIdioma::Portugues), QStringLiteral("pt"));
}

void TestIdioma::languageOfACode_data()
{
    QTest::addColumn<QString>("codigo");
    QTest::addColumn<std::optional<TIdioma>>("esperado");
    QTest::newRow("pt") << "pt" << std::optional(TIdioma::Portugues);
    QTest::newRow("en") << "en" << std::optional(TIdioma::Ingles);
    QTest::newRow("upper case") << "EN" << std::optional(TIdioma::Ingles);
    QTest::newRow("region with _") << "en_GB" << std::optional(TIdioma::Ingles);
    QTest::newRow("region with -") << "pt-BR" << std::optional(TIdioma::Portugues);
    QTest::newRow("blanks") << " en " << std::optional(TIdioma::Ingles);
    QTest::newRow("untranslated language") << "de" << std::optional<TIdioma>();
    QTest::newRow("prefix of a code") << "e" << std::optional<TIdioma>();
    QTest::newRow("longer word") << "english" << std::optional<TIdioma>();
    QTest::newRow("empty") << "" << std::optional<TIdioma>();
}

void TestIdioma::languageOfACode()
{
    QFETCH(QString, codigo);
    QFETCH(std::optional<TIdioma>, esperado);
    QCOMPARE(IdiomaDoCodigo(codigo), esperado);
}

void TestIdioma::languageOfASystemLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<TIdioma>("esperado");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << TIdioma::Ingles;
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << TIdioma::Ingles;
    QTest::newRow("pt_BR") << QLocale(QLocale::Portuguese, QLocale::Brazil) << TIdioma::Portugues;
    QTest::newRow("pt_PT") << QLocale(QLocale::Portuguese, QLocale::Portugal) << TIdioma::Portugues;
    QTest::newRow("C") << QLocale::c() << TIdioma::Portugues;
    QTest::newRow("de_DE, no translation")
        << QLocale(QLocale::German, QLocale::Germany) << TIdioma::Portugues;
}

void TestIdioma::languageOfASystemLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(TIdioma, esperado);
    QCOMPARE(IdiomaDoLocale(locale), esperado);
}

void TestIdioma::optionValueInTheArguments_data()
{
    QTest::addColumn<QStringList>("argumentos");
    QTest::addColumn<QString>("valor");
    QTest::newRow("absent") << QStringList{kPrograma, "--simulate"} << "";
    QTest::newRow("separate value") << QStringList{kPrograma, "--lang", "en"} << "en";
    QTest::newRow("joined value") << QStringList{kPrograma, "--lang=en"} << "en";
    QTest::newRow("single dash") << QStringList{kPrograma, "-lang", "pt"} << "pt";
    QTest::newRow("among others") << QStringList{kPrograma, "--simulate", "--lang", "en", "--trace"}
                                  << "en";
    QTest::newRow("the last counts") << QStringList{kPrograma, "--lang", "en", "--lang=pt"} << "pt";
    QTest::newRow("after --") << QStringList{kPrograma, "--", "--lang", "en"} << "";
    QTest::newRow("no value") << QStringList{kPrograma, "--lang"} << "";
    QTest::newRow("program name not read") << QStringList{"--lang=en"} << "";
    QTest::newRow("longer option name") << QStringList{kPrograma, "--language", "en"} << "";
}

void TestIdioma::optionValueInTheArguments()
{
    QFETCH(QStringList, argumentos);
    QFETCH(QString, valor);
    QCOMPARE(ValorDaOpcaoIdioma(argumentos), valor);
}

void TestIdioma::choiceOrder_data()
{
    QTest::addColumn<QStringList>("argumentos");
    QTest::addColumn<QLocale>("sistema");
    QTest::addColumn<std::optional<TIdioma>>("preferido");
    QTest::addColumn<TIdioma>("esperado");
    const QLocale ingles(QLocale::English, QLocale::UnitedStates);
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    const QStringList nada{kPrograma};
    QTest::newRow("English system")
        << nada << ingles << std::optional<TIdioma>() << TIdioma::Ingles;
    QTest::newRow("Portuguese system")
        << nada << brasil << std::optional<TIdioma>() << TIdioma::Portugues;
    QTest::newRow("C system") << nada << QLocale::c() << std::optional<TIdioma>()
                              << TIdioma::Portugues;
    QTest::newRow("preference over the system")
        << nada << brasil << std::optional(TIdioma::Ingles) << TIdioma::Ingles;
    QTest::newRow("Portuguese preference on an English system")
        << nada << ingles << std::optional(TIdioma::Portugues) << TIdioma::Portugues;
    QTest::newRow("--lang over the system") << QStringList{kPrograma, "--lang", "en"} << brasil
                                            << std::optional<TIdioma>() << TIdioma::Ingles;
    QTest::newRow("--lang over the preference")
        << QStringList{kPrograma, "--lang=pt"} << ingles << std::optional(TIdioma::Ingles)
        << TIdioma::Portugues;
}

void TestIdioma::choiceOrder()
{
    QFETCH(QStringList, argumentos);
    QFETCH(QLocale, sistema);
    QFETCH(std::optional<TIdioma>, preferido);
    QFETCH(TIdioma, esperado);
    QCOMPARE(EscolherIdioma(argumentos, sistema, preferido), esperado);
}

void TestIdioma::unknownOptionValueIsRefused()
{
    try {
        EscolherIdioma({kPrograma, "--lang", "fr"}, QLocale::c(), TIdioma::Ingles);
        QFAIL("fr was accepted");
    } catch (const Exception &erro) {
        QVERIFY2(erro.Message().contains(QLatin1String("\"fr\"")), qPrintable(erro.Message()));
    }
}

void TestIdioma::optionIsAcceptedByAParser()
{
    QCommandLineParser opcoes;
    opcoes.addOption(OpcaoIdioma());
    QVERIFY2(opcoes.parse({kPrograma, "--lang", "en"}), qPrintable(opcoes.errorText()));
    QCOMPARE(opcoes.value(QStringLiteral("lang")), QStringLiteral("en"));
    QVERIFY(opcoes.helpText().contains(QLatin1String("--lang <pt|en>")));
}

void TestIdioma::localeOfNumbers_data()
{
    QTest::addColumn<TIdioma>("idioma");
    QTest::addColumn<QLocale>("sistema");
    QTest::addColumn<QLocale>("esperado");
    const QLocale eua(QLocale::English, QLocale::UnitedStates);
    const QLocale reino(QLocale::English, QLocale::UnitedKingdom);
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    const QLocale portugal(QLocale::Portuguese, QLocale::Portugal);
    const QLocale alemanha(QLocale::German, QLocale::Germany);
    QTest::newRow("English on en_GB keeps it") << TIdioma::Ingles << reino << reino;
    QTest::newRow("English on pt_BR") << TIdioma::Ingles << brasil << eua;
    QTest::newRow("English on C") << TIdioma::Ingles << QLocale::c() << eua;
    QTest::newRow("Portuguese on pt_PT keeps it") << TIdioma::Portugues << portugal << portugal;
    QTest::newRow("Portuguese on C keeps it") << TIdioma::Portugues << QLocale::c() << QLocale::c();
    QTest::newRow("Portuguese on en_US") << TIdioma::Portugues << eua << brasil;
    QTest::newRow("Portuguese on de_DE") << TIdioma::Portugues << alemanha << brasil;
}

void TestIdioma::localeOfNumbers()
{
    QFETCH(TIdioma, idioma);
    QFETCH(QLocale, sistema);
    QFETCH(QLocale, esperado);
    QCOMPARE(LocaleDoIdioma(idioma, sistema), esperado);
}

void TestIdioma::englishTranslatesTheProgramsTexts()
{
    QVERIFY(InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles, QLocale::c()));
    // Texts of each translated folder: the window, the port chooser, the platform's own.
    QCOMPARE(QCoreApplication::translate("TfrmControlaOrvanta", "PARAR ESTEIRA"),
             QStringLiteral("STOP TREADMILL"));
    QCOMPARE(QCoreApplication::translate("TfrmEscolherPorta", "Porta serial de COM%1").arg(3),
             QStringLiteral("Serial port of COM3"));
    try {
        FormatFloat(QStringLiteral("0,0"), 1);
        QFAIL("the picture was accepted");
    } catch (const Exception &erro) {
        QCOMPARE(erro.Message(), QStringLiteral("Unsupported number format: \"0,0\""));
    }
    // One text of each of the other parts' files: every embedded file is loaded.
    const struct {
        const char *contexto, *texto, *ingles;
    } partes[] = {{"TfrmConsole", "&Idioma", "&Language"},
                  {"TFase", "Exercício", "Exercise"},
                  {"orvanta-ctl", "gravação retomada", "recording resumed"},
                  {"MenuIdioma", "Idioma do sistema", "System language"}};
    for (const auto &parte : partes)
        QCOMPARE(QCoreApplication::translate(parte.contexto, parte.texto),
                 QString::fromUtf8(parte.ingles));
    // Qt's own texts stay English, its source language.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

void TestIdioma::englishNumbersOnAPortugueseSystem()
{
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    InstalarIdioma(*QCoreApplication::instance(), TIdioma::Portugues, brasil);
    QCOMPARE(FormatFloat(QStringLiteral("0.00 Km/h"), 3.5), QStringLiteral("3,50 Km/h"));
    InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles, brasil);
    QCOMPARE(FormatFloat(QStringLiteral("0.00 Km/h"), 3.5), QStringLiteral("3.50 Km/h"));
}

void TestIdioma::portugueseBringsBackTheSourceTextsAndQtsOwn()
{
    InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles, QLocale::c());
    const bool qtEmPortugues =
        InstalarIdioma(*QCoreApplication::instance(), TIdioma::Portugues, QLocale::c());
    QCOMPARE(QCoreApplication::translate("TfrmControlaOrvanta", "PARAR ESTEIRA"),
             QStringLiteral("PARAR ESTEIRA"));
    if (!qtEmPortugues)
        QSKIP("Qt's pt_BR translations are not installed (qt6-translations-l10n)");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
}

QTEST_GUILESS_MAIN(TestIdioma)
#include "tst_idioma.moc"
