// The points editor and the ratings helper in English: the editor's own texts, its boxes and the
// refusal of a rating, once the English translation is installed.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "platform/exception.h"
#include "platform/idioma.h"
#include "somatochart/colecaodepontos.h"
#include "somatochart/editorpropriedadespontos.h"
#include "somatochart/somatotipo.h"

class TestSomatochartIngles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void editorTexts_data();
    void editorTexts();
    void pointTitleAndShapes();
    void requiredFieldsBoxInEnglish();
    void invalidRatingInEnglish();

private:
    QStringList FMensagens;
};

void TestSomatochartIngles::initTestCase()
{
    QVERIFY(InstalarIdioma(*qApp, TIdioma::Ingles, QLocale::c()));
    TEditorPropriedadesPontos::SetMessageBoxHook(
        [this](QWidget *, const QString &text, QMessageBox::Icon) { FMensagens << text; });
}

void TestSomatochartIngles::cleanupTestCase()
{
    TEditorPropriedadesPontos::SetMessageBoxHook({});
    InstalarIdioma(*qApp, TIdioma::Portugues, QLocale::c());
}

void TestSomatochartIngles::editorTexts_data()
{
    QTest::addColumn<QString>("objeto");
    QTest::addColumn<QString>("texto");
    QTest::newRow("title of an empty chart") << "pLabelEditor"
                                             << "No point on the chart";
    QTest::newRow("x") << "pLabelCoordX"
                       << "X coordinate";
    QTest::newRow("size") << "pLabelTamanho"
                          << "Size";
    QTest::newRow("colour") << "pLabelCor"
                            << "Color";
    QTest::newRow("description") << "pLabelDescricao"
                                 << "Description";
    QTest::newRow("add") << "pBotaoAcrescentar"
                         << "Add";
    QTest::newRow("edit") << "pBotaoEditar"
                          << "Edit";
    QTest::newRow("delete") << "pBotaoExcluir"
                            << "Delete";
}

void TestSomatochartIngles::editorTexts()
{
    QFETCH(QString, objeto);
    QFETCH(QString, texto);
    TColecaoDePontos pontos;
    TEditorPropriedadesPontos editor(&pontos);
    editor.Inicializar();
    QCOMPARE(editor.windowTitle(), QStringLiteral("Somatochart Points Editor"));
    QObject *alvo = editor.findChild<QObject *>(objeto);
    QVERIFY2(alvo, qPrintable(objeto));
    if (auto *botao = qobject_cast<QAbstractButton *>(alvo))
        QCOMPARE(botao->text(), texto);
    else
        QCOMPARE(qobject_cast<QLabel *>(alvo)->text(), texto);
}

void TestSomatochartIngles::pointTitleAndShapes()
{
    TColecaoDePontos pontos;
    pontos.AcrescentarPonto(1, 2, clRed, 0, 5, QStringLiteral("a"));
    pontos.AcrescentarPonto(3, 4, clBlue, 1, 5, QStringLiteral("b"));
    TEditorPropriedadesPontos editor(&pontos);
    editor.Inicializar();
    // Built with arg(): the number goes into the translated text.
    QCOMPARE(editor.findChild<QLabel *>("pLabelEditor")->text(),
             QStringLiteral("Properties of point 1"));
    auto *formato = editor.findChild<QComboBox *>("pComboBoxFormato");
    QCOMPARE(formato->itemText(0), QStringLiteral("Circle"));
    QCOMPARE(formato->itemText(1), QStringLiteral("Cross"));
}

void TestSomatochartIngles::requiredFieldsBoxInEnglish()
{
    FMensagens.clear();
    TColecaoDePontos pontos;
    TEditorPropriedadesPontos editor(&pontos);
    editor.Inicializar();
    editor.findChild<QLineEdit *>("pEditCoordX")->clear();
    QTest::mouseClick(editor.findChild<QAbstractButton *>("pBotaoAcrescentar"), Qt::LeftButton);
    QCOMPARE(FMensagens,
             QStringList{"The description is the only optional field. Fill in all the others."});
    QCOMPARE(pontos.Count(), 0);
}

void TestSomatochartIngles::invalidRatingInEnglish()
{
    try {
        TSomatotipo(-1, 2, 3);
        QFAIL("a negative rating was accepted");
    } catch (const Exception &erro) {
        QCOMPARE(erro.Message(), QStringLiteral("Invalid somatotype rating."));
    }
}

QTEST_MAIN(TestSomatochartIngles)
#include "tst_somatochartingles.moc"
