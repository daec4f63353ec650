#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "somatochart/colecaodepontos.h"
#include "somatochart/editorpropriedadespontos.h"
#include "somatochart/propriedadespontos.h"
#include "tests/support/nonasciilocales.h"

using TEditor = TEditorPropriedadesPontos;

namespace {

struct TMensagem {
    QString text;
    QMessageBox::Icon icon;
};

// A collection that counts its notifications.
struct TPontosContados {
    TColecaoDePontos pontos;
    int acrescentados = 0;
    int editados = 0;
    int excluidos = 0;

    TPontosContados()
    {
        pontos.OnPontoAcrescentado = [this](QObject *) { ++acrescentados; };
        pontos.OnPontoEditado = [this](QObject *) { ++editados; };
        pontos.OnPontoExcluido = [this](QObject *) { ++excluidos; };
    }
    void Add(double x, double y, TColor cor, int forma, int tamanho, const QString &descricao)
    {
        TPonto &ponto = pontos.Add();
        ponto = TPonto{x, y, cor, forma, tamanho, descricao};
    }
    int Eventos() const { return acrescentados + editados + excluidos; }
};

template <typename T>
T *Child(const TEditor &editor, const char *name)
{
    T *child = editor.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

QString Text(const TEditor &editor, const char *name)
{
    if (auto *edit = editor.findChild<QLineEdit *>(QLatin1String(name)))
        return edit->text();
    return Child<QLabel>(editor, name)->text();
}

void Click(const TEditor &editor, const char *name)
{
    QTest::mouseClick(Child<QAbstractButton>(editor, name), Qt::LeftButton);
}

void Type(const TEditor &editor, const char *name, const QString &text)
{
    auto *edit = Child<QLineEdit>(editor, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void Fill(const TEditor &editor, const QString &x, const QString &y, const QString &tamanho,
          int forma, const QString &descricao)
{
    Type(editor, "pEditCoordX", x);
    Type(editor, "pEditCoordY", y);
    Type(editor, "pEditTamanho", tamanho);
    Child<QComboBox>(editor, "pComboBoxFormato")->setCurrentIndex(forma);
    Type(editor, "pEditDescricao", descricao);
}

}  // namespace

class TstEditorPropriedadesPontos : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void form();
    void emptyCollection();
    void showsPointsAndSteps();
    void shownNumbersReadBack_data();
    void shownNumbersReadBack();
    void everyLocaleRoundTrips_data() { AddNonAsciiLocaleRows(); }
    void everyLocaleRoundTrips();
    void validation_data();
    void validation();
    void coordinateKeys_data();
    void coordinateKeys();
    void pasteIsFiltered();
    void addEditDelete();
    void editAppliesMarkerValues();
    void deleteFirstShowsTheNext();
    void deleteLastOfSeveral();
    void deleteLastRemaining();
    void colourSwatch();
    void collectionDestroyed();
    void propertyEditorReportsChanges_data();
    void propertyEditorReportsChanges();
    void propertyEditorRunsModally();

private:
    QList<TMensagem> FMensagens;
    QList<QColor> FCoresIniciais;
    QColor FCorEscolhida;
};

void TstEditorPropriedadesPontos::init()
{
    FMensagens.clear();
    FCoresIniciais.clear();
    FCorEscolhida = QColor();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TEditor::SetMessageBoxHook([this](QWidget *, const QString &text, QMessageBox::Icon icon) {
        FMensagens.append({text, icon});
    });
    TEditor::SetColorDialogHook([this](QWidget *, const QColor &initial) {
        FCoresIniciais.append(initial);
        return FCorEscolhida;
    });
}

void TstEditorPropriedadesPontos::cleanup()
{
    TEditor::SetMessageBoxHook({});
    TEditor::SetColorDialogHook({});
    TPropriedadesPontos::SetExecHook({});
    QLocale::setDefault(QLocale::c());
}

void TstEditorPropriedadesPontos::form()
{
    TColecaoDePontos pontos;
    TEditor editor(&pontos);
    QCOMPARE(editor.windowTitle(), QStringLiteral("Editor dos Pontos da Somatocarta"));
    QCOMPARE(editor.size(), QSize(327, 178));
    const QLabel *titulo = Child<QLabel>(editor, "pLabelEditor");
    QVERIFY(titulo->font().bold());
    QVERIFY(titulo->font().underline());
    const QLabel *contador = Child<QLabel>(editor, "pLabelAtual_Total");
    QVERIFY(contador->font().bold());
    QVERIFY(contador->alignment() & Qt::AlignHCenter);
    const QComboBox *formato = Child<QComboBox>(editor, "pComboBoxFormato");
    QCOMPARE(formato->count(), 2);
    QCOMPARE(formato->itemText(0), QStringLiteral("Círculo"));
    QCOMPARE(formato->itemText(1), QStringLiteral("Cruz"));
    QCOMPARE(Child<QPushButton>(editor, "pBotaoAcrescentar")->text(),
             QStringLiteral("Acrescentar"));
    QCOMPARE(Child<QPushButton>(editor, "pBotaoEditar")->text(), QStringLiteral("Editar"));
    QCOMPARE(Child<QPushButton>(editor, "pBotaoExcluir")->text(), QStringLiteral("Excluir"));
    const QStringList labels = {QStringLiteral("Coordenada X"), QStringLiteral("Coordenada Y"),
                                QStringLiteral("Cor"),          QStringLiteral("Tamanho"),
                                QStringLiteral("Formato"),      QStringLiteral("Descrição")};
    QStringList shown;
    for (const QLabel *label : editor.findChildren<QLabel *>())
        shown << label->text();
    for (const QString &label : labels)
        QVERIFY2(shown.contains(label), qPrintable(label));
    QVERIFY(editor.findChild<QFrame *>(QStringLiteral("pShapeCor")));
}

void TstEditorPropriedadesPontos::emptyCollection()
{
    TPontosContados contados;
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    QCOMPARE(Text(editor, "pLabelEditor"), TEditor::kTituloVazio);
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("0/0"));
    QCOMPARE(editor.Maximo(), 0);
    QVERIFY(!Child<QToolButton>(editor, "pUpDownProximo")->isEnabled());

    // Editing or deleting with nothing in the collection does nothing, not even complain.
    Fill(editor, "1", "2", "3", 0, "x");
    Click(editor, "pBotaoEditar");
    Click(editor, "pBotaoExcluir");
    QCOMPARE(contados.pontos.Count(), 0);
    QCOMPARE(contados.Eventos(), 0);
    QVERIFY(FMensagens.isEmpty());
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("0/0"));
}

void TstEditorPropriedadesPontos::showsPointsAndSteps()
{
    TPontosContados contados;
    contados.Add(1.5, -2, clRed, 1, 4, QStringLiteral("Ana"));
    contados.Add(-3.25, 7, clBlue, 0, 6, QStringLiteral("Bia"));
    contados.Add(0, 0, clLime, 9, 2, QString());
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    QCOMPARE(Text(editor, "pLabelEditor"), QStringLiteral("Propriedades do ponto 1"));
    QCOMPARE(Text(editor, "pEditCoordX"), QStringLiteral("1,5"));
    QCOMPARE(Text(editor, "pEditCoordY"), QStringLiteral("-2"));
    QCOMPARE(Text(editor, "pEditTamanho"), QStringLiteral("4"));
    QCOMPARE(Text(editor, "pEditDescricao"), QStringLiteral("Ana"));
    QCOMPARE(Child<QComboBox>(editor, "pComboBoxFormato")->currentIndex(), 1);
    QCOMPARE(quint32(editor.Cor()), quint32(clRed));
    QCOMPARE(Child<QFrame>(editor, "pShapeCor")->palette().color(QPalette::Window),
             QColor(Qt::red));
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("1/3"));
    QVERIFY(!Child<QToolButton>(editor, "pUpDownAnterior")->isEnabled());

    Click(editor, "pUpDownProximo");
    QCOMPARE(editor.Posicao(), 1);
    QCOMPARE(Text(editor, "pLabelEditor"), QStringLiteral("Propriedades do ponto 2"));
    QCOMPARE(Text(editor, "pEditCoordX"), QStringLiteral("-3,25"));
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("2/3"));

    Click(editor, "pUpDownProximo");
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("3/3"));
    // A shape other than circle or cross selects nothing.
    QCOMPARE(Child<QComboBox>(editor, "pComboBoxFormato")->currentIndex(), -1);
    QVERIFY(!Child<QToolButton>(editor, "pUpDownProximo")->isEnabled());
    editor.MostrarPonto(3);  // out of range: nothing changes
    editor.MostrarPonto(-1);
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("3/3"));

    Click(editor, "pUpDownAnterior");
    QCOMPARE(Text(editor, "pEditDescricao"), QStringLiteral("Bia"));
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("2/3"));
    QCOMPARE(contados.Eventos(), 0);
}

void TstEditorPropriedadesPontos::shownNumbersReadBack_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    const QLocale virgula(QLocale::Portuguese, QLocale::Brazil);
    const QLocale ponto(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("comma tiny") << virgula << 1e-7 << QStringLiteral("0,0000001");
    QTest::newRow("comma thousands") << virgula << 1234.5 << QStringLiteral("1234,5");
    QTest::newRow("point thousands") << ponto << -98765.25 << QStringLiteral("-98765.25");
    QTest::newRow("point inexact sum")
        << ponto << 0.1 + 0.2 << QStringLiteral("0.30000000000000004");
}

// What the editor shows must survive its own key filter and read back to the same double, so that
// Editar without changes keeps every coordinate exactly.
void TstEditorPropriedadesPontos::shownNumbersReadBack()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, shown);
    QLocale::setDefault(locale);
    TPontosContados contados;
    contados.Add(value, value, clRed, 0, 3, QStringLiteral("p"));
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    QCOMPARE(Text(editor, "pEditCoordX"), shown);
    Click(editor, "pBotaoEditar");
    QVERIFY(FMensagens.isEmpty());
    QCOMPARE(contados.editados, 1);
    // Exact: QCOMPARE on doubles would forgive the last digits.
    QVERIFY(contados.pontos.Items(0).X == value);
    QVERIFY(contados.pontos.Items(0).Y == value);
}

// In every locale whose numbers are not plain ASCII (U+2212 minus, Arabic digits and marks...),
// "Editar" without changes keeps the point, and the locale's own form typed in is read.
void TstEditorPropriedadesPontos::everyLocaleRoundTrips()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    TPontosContados contados;
    contados.Add(-1.7, -0.25, clRed, 0, 3, QStringLiteral("p"));
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    Click(editor, "pBotaoEditar");
    QVERIFY(FMensagens.isEmpty());
    QVERIFY(contados.pontos.Items(0).X == -1.7);
    QVERIFY(contados.pontos.Items(0).Y == -0.25);

    // Typed (committed whole, as an input method does) in the locale's digits and signs.
    QLocale semGrupos = locale;
    semGrupos.setNumberOptions(QLocale::OmitGroupSeparator);
    auto *x = Child<QLineEdit>(editor, "pEditCoordX");
    x->clear();
    x->insert(semGrupos.toString(-2.5));
    Type(editor, "pEditTamanho", QString());
    Child<QLineEdit>(editor, "pEditTamanho")->insert(semGrupos.toString(12));
    Click(editor, "pBotaoEditar");
    QVERIFY2(FMensagens.isEmpty(), qPrintable(x->text()));
    QVERIFY(contados.pontos.Items(0).X == -2.5);
    QCOMPARE(contados.pontos.Items(0).Tamanho, 12);
}

void TstEditorPropriedadesPontos::validation_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("tamanho");
    QTest::addColumn<int>("forma");
    QTest::addColumn<bool>("missing");  // true: required field message, false: bad values

    const char *buttons[] = {"pBotaoAcrescentar", "pBotaoEditar"};
    for (const char *button : buttons) {
        const QString b = QLatin1String(button);
        const QByteArray tag = QByteArray(button).mid(6) + ": ";
        auto row = [&](const char *name) -> QTestData & {
            return QTest::newRow((tag + name).constData()) << b;
        };
        row("empty X") << ""
                       << "2"
                       << "3" << 0 << true;
        row("empty Y") << "1"
                       << ""
                       << "3" << 0 << true;
        row("empty size") << "1"
                          << "2"
                          << "" << 1 << true;
        row("no shape") << "1"
                        << "2"
                        << "3" << -1 << true;
        row("lone minus") << "-"
                          << "2"
                          << "3" << 0 << false;
        row("minus inside") << "1"
                            << "2-3"
                            << "3" << 0 << false;
        row("two separators") << "1,2,3"
                              << "2"
                              << "3" << 0 << false;
        row("overflows to infinity") << QString(400, QLatin1Char('9')) << "2"
                                     << "3" << 0 << false;
        row("non-integer size") << "1"
                                << "2"
                                << "2,5" << 0 << false;
        row("letters in size") << "1"
                               << "2"
                               << "abc" << 0 << false;
        row("negative size") << "1"
                             << "2"
                             << "-1" << 1 << false;
        row("grouped size") << "1"
                            << "2"
                            << "1.000" << 1 << false;
    }
}

void TstEditorPropriedadesPontos::validation()
{
    QFETCH(QString, button);
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, tamanho);
    QFETCH(int, forma);
    QFETCH(bool, missing);
    TPontosContados contados;
    contados.Add(4, 5, clRed, 1, 7, QStringLiteral("antes"));
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    Fill(editor, x, y, tamanho, forma, QStringLiteral("depois"));
    Click(editor, button.toLatin1().constData());

    QCOMPARE(FMensagens.size(), 1);
    if (missing) {
        QCOMPARE(FMensagens[0].text, TEditor::kMensagemObrigatorios);
        QCOMPARE(FMensagens[0].icon, QMessageBox::Information);
    } else {
        QCOMPARE(FMensagens[0].text, TEditor::kMensagemErroValores);
        QCOMPARE(FMensagens[0].icon, QMessageBox::Critical);
    }
    QCOMPARE(contados.Eventos(), 0);
    QCOMPARE(contados.pontos.Count(), 1);
    const TPonto &ponto = contados.pontos.Items(0);
    QCOMPARE(ponto.X, 4.0);
    QCOMPARE(ponto.Tamanho, 7);
    QCOMPARE(ponto.Descricao, QStringLiteral("antes"));
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("1/1"));
}

void TstEditorPropriedadesPontos::coordinateKeys_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const QLocale virgula(QLocale::Portuguese, QLocale::Brazil);
    const QLocale ponto(QLocale::English, QLocale::UnitedStates);
    const QString x = QStringLiteral("pEditCoordX");
    const QString y = QStringLiteral("pEditCoordY");
    const QString tamanho = QStringLiteral("pEditTamanho");
    QTest::newRow("comma locale, point") << virgula << x << "1.5"
                                         << "1,5";
    QTest::newRow("comma locale, comma") << virgula << y << "-2,25"
                                         << "-2,25";
    QTest::newRow("point locale, comma") << ponto << x << "1,5"
                                         << "1.5";
    QTest::newRow("point locale, point") << ponto << y << "3.75"
                                         << "3.75";
    QTest::newRow("other keys dropped") << virgula << x << "a-2b.7 e+x"
                                        << "-2,7";
    QTest::newRow("size takes any key") << virgula << tamanho << "2.5x"
                                        << "2.5x";
}

void TstEditorPropriedadesPontos::coordinateKeys()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QLocale::setDefault(locale);
    TColecaoDePontos pontos;
    TEditor editor(&pontos);
    Type(editor, edit.toLatin1().constData(), typed);
    QCOMPARE(Text(editor, edit.toLatin1().constData()), expected);
}

void TstEditorPropriedadesPontos::pasteIsFiltered()
{
    TColecaoDePontos pontos;
    TEditor editor(&pontos);
    auto *edit = Child<QLineEdit>(editor, "pEditCoordX");
    edit->setText(QStringLiteral("1"));
    edit->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("2.5 kg!"));
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), QStringLiteral("2.5 kg!"),
                              2000);
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("12,5"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("12,"));
}

void TstEditorPropriedadesPontos::addEditDelete()
{
    TPontosContados contados;
    TEditor editor(&contados.pontos);
    editor.Inicializar();

    FCorEscolhida = QColor(10, 20, 30);
    QTest::mouseClick(Child<QFrame>(editor, "pShapeCor"), Qt::LeftButton);
    Fill(editor, "1.5", "-2,25", "4", 1, QStringLiteral("Ana"));
    Click(editor, "pBotaoAcrescentar");
    QVERIFY(FMensagens.isEmpty());
    QCOMPARE(contados.acrescentados, 1);
    QCOMPARE(contados.pontos.Count(), 1);
    const TPonto &ana = contados.pontos.Items(0);
    QCOMPARE(ana.X, 1.5);
    QCOMPARE(ana.Y, -2.25);
    QCOMPARE(quint32(ana.Cor), quint32(TColor::FromRgb(10, 20, 30)));
    QCOMPARE(ana.Forma, 1);
    QCOMPARE(ana.Tamanho, 4);
    QCOMPARE(ana.Descricao, QStringLiteral("Ana"));
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("1/1"));

    Fill(editor, "3", "4", "5", 0, QStringLiteral("Bia"));
    Click(editor, "pBotaoAcrescentar");
    QCOMPARE(contados.pontos.Count(), 2);
    QCOMPARE(Text(editor, "pLabelEditor"), QStringLiteral("Propriedades do ponto 2"));
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("2/2"));
    QCOMPARE(editor.Posicao(), 1);

    Click(editor, "pUpDownAnterior");
    Fill(editor, "-6", "12", "8", 0, QString());
    Click(editor, "pBotaoEditar");
    QCOMPARE(contados.editados, 1);
    QCOMPARE(contados.pontos.Items(0).X, -6.0);
    QCOMPARE(contados.pontos.Items(0).Y, 12.0);
    QCOMPARE(contados.pontos.Items(0).Forma, 0);
    QCOMPARE(contados.pontos.Items(0).Tamanho, 8);
    QCOMPARE(contados.pontos.Items(0).Descricao, QString());  // an empty description applies
    QCOMPARE(contados.pontos.Items(1).Descricao, QStringLiteral("Bia"));

    Click(editor, "pUpDownProximo");
    Click(editor, "pBotaoExcluir");
    QCOMPARE(contados.excluidos, 1);
    QCOMPARE(contados.pontos.Count(), 1);
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("1/1"));
    QCOMPARE(Text(editor, "pEditCoordX"), QStringLiteral("-6"));
    QVERIFY(FMensagens.isEmpty());
}

// The values EditarPonto reads as "keep the old one" are applied like any other from the editor.
void TstEditorPropriedadesPontos::editAppliesMarkerValues()
{
    TPontosContados contados;
    contados.Add(1, 1, TColecaoDePontos::kCorInalterada, 0, 2, QStringLiteral("velha"));
    contados.Add(2, 2, clRed, 0, 2, QStringLiteral("outra"));
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    Type(editor, "pEditDescricao", QStringLiteral("0"));
    Click(editor, "pBotaoEditar");
    QCOMPARE(contados.editados, 1);
    QCOMPARE(contados.pontos.Items(0).Descricao, QStringLiteral("0"));
    QCOMPARE(quint32(contados.pontos.Items(0).Cor), quint32(TColecaoDePontos::kCorInalterada));

    Click(editor, "pUpDownProximo");
    Click(editor, "pUpDownAnterior");
    QCOMPARE(Text(editor, "pEditDescricao"), QStringLiteral("0"));
}

void TstEditorPropriedadesPontos::deleteFirstShowsTheNext()
{
    TPontosContados contados;
    contados.Add(1.25, 2, clRed, 1, 4, QStringLiteral("primeiro"));
    contados.Add(3, 4, clBlue, 0, 5, QStringLiteral("segundo"));
    contados.Add(5, 6, clLime, 0, 6, QStringLiteral("terceiro"));
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    Click(editor, "pBotaoExcluir");
    QCOMPARE(contados.excluidos, 1);
    QCOMPARE(contados.pontos.Count(), 2);
    QCOMPARE(contados.pontos.Items(0).Descricao, QStringLiteral("segundo"));
    // The fields show the point now at that position, under its own title.
    QCOMPARE(Text(editor, "pEditCoordX"), QStringLiteral("3"));
    QCOMPARE(Text(editor, "pEditDescricao"), QStringLiteral("segundo"));
    QCOMPARE(Text(editor, "pLabelEditor"), QStringLiteral("Propriedades do ponto 1"));
    QCOMPARE(quint32(editor.Cor()), quint32(clBlue));
    QCOMPARE(editor.Posicao(), 0);
    QCOMPARE(editor.Maximo(), 1);
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("1/2"));
    // "Editar" right after the delete writes no deleted value over that point.
    Click(editor, "pBotaoEditar");
    QCOMPARE(contados.pontos.Items(0).X, 3.0);
    QCOMPARE(contados.pontos.Items(0).Descricao, QStringLiteral("segundo"));
    QCOMPARE(contados.pontos.Count(), 2);
    Click(editor, "pUpDownProximo");
    QCOMPARE(Text(editor, "pEditDescricao"), QStringLiteral("terceiro"));
}

void TstEditorPropriedadesPontos::deleteLastOfSeveral()
{
    TPontosContados contados;
    for (int i = 1; i <= 3; ++i)
        contados.Add(i, i, clRed, 0, i, QStringLiteral("p%1").arg(i));
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    Click(editor, "pUpDownProximo");
    Click(editor, "pUpDownProximo");
    Click(editor, "pBotaoExcluir");
    QCOMPARE(contados.pontos.Count(), 2);
    QCOMPARE(editor.Posicao(), 1);
    QCOMPARE(Text(editor, "pEditDescricao"), QStringLiteral("p2"));
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("2/2"));
    QVERIFY(!Child<QToolButton>(editor, "pUpDownProximo")->isEnabled());
}

void TstEditorPropriedadesPontos::deleteLastRemaining()
{
    TPontosContados contados;
    contados.Add(1, 2, clRed, 0, 3, QStringLiteral("só"));
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    Click(editor, "pBotaoExcluir");
    QCOMPARE(contados.pontos.Count(), 0);
    QCOMPARE(contados.excluidos, 1);
    QCOMPARE(Text(editor, "pLabelEditor"), TEditor::kTituloVazio);
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("0/0"));

    Click(editor, "pBotaoExcluir");
    Click(editor, "pBotaoEditar");
    Click(editor, "pUpDownProximo");
    QCOMPARE(contados.Eventos(), 1);
    QVERIFY(FMensagens.isEmpty());

    // The fields kept the deleted point, so it can be added straight back.
    Click(editor, "pBotaoAcrescentar");
    QCOMPARE(contados.pontos.Count(), 1);
    QCOMPARE(contados.pontos.Items(0).Descricao, QStringLiteral("só"));
    QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("1/1"));
}

void TstEditorPropriedadesPontos::colourSwatch()
{
    TPontosContados contados;
    contados.Add(1, 2, clBlue, 0, 3, QString());
    TEditor editor(&contados.pontos);
    editor.Inicializar();
    auto *swatch = Child<QFrame>(editor, "pShapeCor");

    // Cancelled: the swatch keeps its colour.
    QTest::mouseClick(swatch, Qt::LeftButton);
    QCOMPARE(FCoresIniciais, QList<QColor>{QColor(Qt::blue)});
    QCOMPARE(quint32(editor.Cor()), quint32(clBlue));

    // A right click does not open the dialog.
    QTest::mouseClick(swatch, Qt::RightButton);
    QCOMPARE(FCoresIniciais.size(), 1);

    FCorEscolhida = QColor(200, 100, 50);
    QTest::mouseClick(swatch, Qt::LeftButton);
    QCOMPARE(FCoresIniciais.size(), 2);
    QCOMPARE(quint32(editor.Cor()), quint32(TColor::FromRgb(200, 100, 50)));
    QCOMPARE(swatch->palette().color(QPalette::Window), FCorEscolhida);
    QCOMPARE(contados.Eventos(), 0);  // choosing alone changes nothing

    Click(editor, "pBotaoEditar");
    QCOMPARE(quint32(contados.pontos.Items(0).Cor), quint32(TColor::FromRgb(200, 100, 50)));
}

void TstEditorPropriedadesPontos::collectionDestroyed()
{
    auto *pontos = new TColecaoDePontos;
    pontos->AcrescentarPonto(1, 2, clRed, 0, 3, QStringLiteral("a"));
    TEditor editor(pontos);
    editor.Inicializar();
    delete pontos;
    Click(editor, "pBotaoAcrescentar");
    Click(editor, "pBotaoEditar");
    Click(editor, "pBotaoExcluir");
    editor.MostrarPonto(0);
    editor.Inicializar();
    QCOMPARE(Text(editor, "pLabelEditor"), TEditor::kTituloVazio);
    QVERIFY(FMensagens.isEmpty());
}

void TstEditorPropriedadesPontos::propertyEditorReportsChanges_data()
{
    QTest::addColumn<QString>("actions");
    QTest::addColumn<bool>("changed");
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("unchanged edit") << "E" << false;
    QTest::newRow("add") << "A" << true;
    QTest::newRow("add then delete") << "AD" << false;
    QTest::newRow("delete") << "D" << true;
    QTest::newRow("edit size") << "S" << true;
}

void TstEditorPropriedadesPontos::propertyEditorReportsChanges()
{
    QFETCH(QString, actions);
    QFETCH(bool, changed);
    TPontosContados contados;
    contados.Add(1, 2, clRed, 0, 3, QStringLiteral("a"));
    int runs = 0;
    TPropriedadesPontos::SetExecHook([&](TEditor &editor) {
        ++runs;
        [&] { QCOMPARE(Text(editor, "pLabelAtual_Total"), QStringLiteral("1/1")); }();
        for (QChar action : actions) {
            switch (action.toLatin1()) {
                case 'A': Click(editor, "pBotaoAcrescentar"); break;
                case 'D': Click(editor, "pBotaoExcluir"); break;
                case 'E': Click(editor, "pBotaoEditar"); break;
                case 'S':
                    Type(editor, "pEditTamanho", QStringLiteral("9"));
                    Click(editor, "pBotaoEditar");
                    break;
            }
        }
        return int(QDialog::Accepted);
    });
    QCOMPARE(TPropriedadesPontos::Edit(&contados.pontos), changed);
    QCOMPARE(runs, 1);
    QVERIFY(FMensagens.isEmpty());
    QVERIFY(!TPropriedadesPontos::Edit(nullptr));
    QCOMPARE(runs, 1);
}

void TstEditorPropriedadesPontos::propertyEditorRunsModally()
{
    TPontosContados contados;
    contados.Add(1, 2, clRed, 0, 3, QStringLiteral("a"));
    bool closed = false;
    const QDeadlineTimer deadline(10000);
    // Polls for the modal editor and closes it; gives up at the deadline so exec cannot hang.
    std::function<void()> poll = [&] {
        auto *editor = qobject_cast<TEditor *>(QApplication::activeModalWidget());
        if (editor) {
            Click(*editor, "pBotaoExcluir");
            editor->reject();
            closed = true;
        } else if (deadline.hasExpired()) {
            QCoreApplication::exit(1);
        } else {
            QTimer::singleShot(10, poll);
        }
    };
    QTimer::singleShot(0, poll);
    QVERIFY(TPropriedadesPontos::Edit(&contados.pontos));
    QVERIFY(closed);
    QCOMPARE(contados.pontos.Count(), 0);
}

QTEST_MAIN(TstEditorPropriedadesPontos)
#include "tst_editorpropriedadespontos.moc"
