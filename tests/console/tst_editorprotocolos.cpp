#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "console/feditorprotocolos.h"
#include "platform/inputbox.h"
#include "platform/messagebox.h"
#include "protocol/bibliotecaprotocolos.h"
#include "protocol/regrasprotocolo.h"

// One walk through "Protocolos > Editor..." offscreen, as a technician would: a new protocol of
// three stages with a ramp, a mistyped value caught while typing and undone, saved, read by the
// library; a built-in shown read-only; closing with an unsaved edit asks.
class TstEditorProtocolos : public QObject {
    Q_OBJECT

private slots:
    void technicianMakesAThreeStageProtocolWithARamp();
};

namespace {

template <typename T>
T *Filho(QWidget &janela, const char *nome)
{
    T *w = janela.findChild<T *>(QString::fromLatin1(nome));
    if (!w)
        qFatal("no widget %s", nome);
    return w;
}

void Clicar(QWidget &janela, const char *nome)
{
    QAbstractButton *b = Filho<QAbstractButton>(janela, nome);
    QVERIFY2(b->isEnabled(), nome);
    b->click();
}

// Types into a cell as the technician does: the cell's own editor, then Enter; waits for the
// edit to reach the editor's model.
void Digitar(TfrmEditorProtocolos &janela, QTableWidget *tabela, int linha, int coluna,
             const QString &texto)
{
    tabela->setCurrentCell(linha, coluna);
    tabela->editItem(tabela->item(linha, coluna));
    auto *edit = qobject_cast<QLineEdit *>(tabela->indexWidget(tabela->currentIndex()));
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, texto);
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(
        janela.Editor()->Linha(TFase::Exercicio, linha).Texto(TEditorProtocolo::TCampo(coluna - 1)),
        texto);
}

}  // namespace

void TstEditorProtocolos::technicianMakesAThreeStageProtocolWithARamp()
{
    QTemporaryDir pasta;
    SetErrorMessageHook([](const QString &texto) { QFAIL(qPrintable(texto)); });
    SetInputQueryHook([](const QString &, const QString &, QString &valor) {
        valor = QStringLiteral("Naughton adaptado");
        return true;
    });
    QStringList perguntas;
    QMessageBox::StandardButton resposta = QMessageBox::Cancel;
    TfrmEditorProtocolos janela(pasta.path());
    janela.OnPerguntar = [&](const QString &texto, QMessageBox::StandardButtons) {
        perguntas << texto;
        return resposta;
    };
    janela.show();
    QVERIFY(QTest::qWaitForWindowExposed(&janela));

    // A built-in: shown with its preview, nothing to edit or save.
    QVERIFY(janela.Selecionar(QStringLiteral("bruce")));
    QVERIFY(!Filho<QPushButton>(janela, "btnSalvar")->isEnabled());
    QVERIFY(!Filho<QPushButton>(janela, "btnNovaRampa")->isEnabled());
    auto *exercicio = Filho<QTableWidget>(janela, "tblexercicio");
    QVERIFY(!(exercicio->item(0, 2)->flags() & Qt::ItemIsEditable));
    QVERIFY(Filho<QLabel>(janela, "lblResumo")->text().contains("Duração total: 27:00"));

    Clicar(janela, "btnNovo");
    QCOMPARE(janela.Editor()->Id(), QStringLiteral("naughton-adaptado"));
    QCOMPARE(exercicio->rowCount(), 1);
    Digitar(janela, exercicio, 0, 1, "2:00");
    Digitar(janela, exercicio, 0, 2, "3,2");
    Clicar(janela, "btnNovaRampa");  // after the current row, from its values
    QCOMPARE(exercicio->rowCount(), 2);
    Digitar(janela, exercicio, 1, 1, "6:00");
    Digitar(janela, exercicio, 1, 4, "6.0");
    Digitar(janela, exercicio, 1, 5, "12");
    Clicar(janela, "btnNovoEstagio");
    Digitar(janela, exercicio, 2, 2, "6,0");
    Digitar(janela, exercicio, 2, 3, "12");

    // A mistyped grade: said while typing, marked in its cell, not saveable; then undone.
    exercicio->setCurrentCell(2, 3);
    exercicio->editItem(exercicio->item(2, 3));
    auto *edit = qobject_cast<QLineEdit *>(exercicio->indexWidget(exercicio->currentIndex()));
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, "45");
    const QString problema = TRegrasProtocolo::Inclinacao(
        TRegrasProtocolo::Onde(TFase::Exercicio, 2), QStringLiteral("inclinacao"), 45);
    QCOMPARE(Filho<QLabel>(janela, "lblDigitando")->text(), problema);
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(exercicio->item(2, 3)->toolTip(), problema);
    QVERIFY(Filho<QLabel>(janela, "lblProblemas")->text().contains(problema));
    QVERIFY(!Filho<QPushButton>(janela, "btnSalvar")->isEnabled());
    Clicar(janela, "btnDesfazer");
    QCOMPARE(exercicio->item(2, 3)->text(), QStringLiteral("12"));
    QVERIFY(Filho<QLabel>(janela, "lblProblemas")->text().isEmpty());

    // The preview: 2 + 6 + 1 min of exercise, 3 of the new protocol's recovery.
    QVERIFY2(Filho<QLabel>(janela, "lblResumo")->text().contains("Duração total: 12:00"),
             qPrintable(Filho<QLabel>(janela, "lblResumo")->text()));
    QVERIFY(Filho<QLabel>(janela, "lblResumo")->text().contains("6.0 km/h, 12.0 %"));

    // Closing with the edit unsaved asks; Cancel keeps the window and the edit.
    janela.close();
    QCOMPARE(perguntas.size(), 1);
    QVERIFY(janela.isVisible());
    Clicar(janela, "btnSalvar");
    QVERIFY(janela.Alterou());
    TBibliotecaProtocolos biblioteca(pasta.path());
    const std::optional<TProtocolo> salvo =
        biblioteca.Procurar(QStringLiteral("naughton-adaptado"));
    QVERIFY(salvo);
    QCOMPARE(salvo->exercicio.size(), 3);
    QCOMPARE(salvo->exercicio[1].tipo, TPasso::TTipo::Rampa);
    QCOMPARE(salvo->exercicio[1].velocidadeInicial, 3.2);
    QCOMPARE(salvo->exercicio[1].inclinacaoFinal, 12.0);
    QCOMPARE(salvo->exercicio[2].velocidadeInicial, 6.0);

    // Saved, it closes without asking.
    janela.close();
    QCOMPARE(perguntas.size(), 1);
    QTRY_VERIFY(!janela.isVisible());
    SetInputQueryHook({});
    SetErrorMessageHook({});
}

QTEST_MAIN(TstEditorProtocolos)
#include "tst_editorprotocolos.moc"
