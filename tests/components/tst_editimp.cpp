#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "components/editimp.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/propertystream.h"

namespace {

const QFont kFonte(QStringLiteral("DejaVu Sans"), 10);

// Text measured as the fit test measures it, unscaled: at 96 dpi in the edit's print font.
struct TReferencia {
    TCanvas canvas;
    TReferencia()
    {
        canvas.SetPixelsPerInch(96, 96);
        canvas.Font() = TCanvas::TFont::FromQFont(kFonte);
    }
    int Largura(const QString &text) const { return canvas.TextWidth(text); }
    int Linha() const { return canvas.TextMetrics().Height; }
};

// Drops reach an edit only during a real drag, which the offscreen platform does not run: the
// handler is called directly.
class TEditAberto : public TEditImp {
public:
    using TEditImp::dropEvent;
};

// An edit whose box is the width of `widthOf` and one line high, with the refusals counted.
struct TEditComContagem {
    TEditAberto edit;
    int refusals = 0;
    QObject *sender = nullptr;

    explicit TEditComContagem(const QString &widthOf, bool active = true)
    {
        const TReferencia ref;
        edit.InterfaceImpressora()->AjustarFonte(kFonte);
        edit.InterfaceImpressora()->AjustarLargura(ref.Largura(widthOf));
        edit.InterfaceImpressora()->AjustarAltura(ref.Linha());
        edit.AjustarFbInterfaceImpressoraAtiva(active);
        edit.OnLimiteTexto = [this](QObject *Sender) {
            ++refusals;
            sender = Sender;
        };
    }
};

QColor Fundo(const TEditImp &edit)
{
    return edit.palette().color(QPalette::Base);
}

}  // namespace

class TstEditImp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void inactiveActsAsPlainEdit();
    void typedCharacterBeyondBoxIsSwallowed();
    void typedTextKeepsOnlyWhatFits();
    void typingReusesThePageWidth();
    void printableCharactersAreChecked_data();
    void printableCharactersAreChecked();
    void controlKeysPassUnchecked();
    void enterNeedsALineLeft_data();
    void enterNeedsALineLeft();
    void exceptionStaysInTheHandler();
    void maxLengthLimitsTheCandidate();
    void pasteThatDoesNotFitIsDropped();
    void contextMenuPasteIsChecked();
    void dropAndInputMethodAreChecked();
    void ajustarTexto();
    void coloursFollowTheFit();
    void defaultColoursUseThePalette();
    void streamingRoundTrip();
};

void TstEditImp::init()
{
    // Unscaled: one printer pixel per screen pixel, whatever printers this machine has.
    TInterfaceImpressora::AjustarFonteDaLargura([] { return 504.0; });
}

void TstEditImp::cleanup()
{
    TInterfaceImpressora::AjustarFonteDaLargura({});
    QGuiApplication::clipboard()->clear();
}

void TstEditImp::inactiveActsAsPlainEdit()
{
    TEditComContagem t(QStringLiteral("ab"), false);
    const QString longText = QStringLiteral("a long text that never fits the box");
    QTest::keyClicks(&t.edit, longText);
    QCOMPARE(t.edit.text(), longText);
    QGuiApplication::clipboard()->setText(QStringLiteral(" more"));
    QTest::keySequence(&t.edit, QKeySequence::Paste);
    QCOMPARE(t.edit.text(), longText + QStringLiteral(" more"));
    t.edit.AjustarTexto(longText);
    QCOMPARE(t.edit.PegarTexto(), longText);
    QCOMPARE(t.refusals, 0);
    QVERIFY(t.edit.TextoCabe());
}

void TstEditImp::typedCharacterBeyondBoxIsSwallowed()
{
    TEditComContagem t(QStringLiteral("ab cd"));
    QTest::keyClicks(&t.edit, QStringLiteral("ab cd"));
    QCOMPARE(t.edit.text(), QStringLiteral("ab cd"));
    QCOMPARE(t.refusals, 0);
    // "ab cdx" is wider than the box: it wraps into a second line, below the box.
    QTest::keyClicks(&t.edit, QStringLiteral("x"));
    QCOMPARE(t.edit.text(), QStringLiteral("ab cd"));
    QCOMPARE(t.refusals, 1);
    QCOMPARE(t.sender, static_cast<QObject *>(&t.edit));
    // A key replacing the selection is tested with the selection replaced.
    t.edit.setSelection(3, 2);
    QTest::keyClicks(&t.edit, QStringLiteral("x"));
    QCOMPARE(t.edit.text(), QStringLiteral("ab x"));
    QCOMPARE(t.refusals, 1);
}

void TstEditImp::typedTextKeepsOnlyWhatFits()
{
    TEditComContagem t(QStringLiteral("abcd efgh"));
    const QString typed = QStringLiteral("abcd efgh ijkl mnop");
    QTest::keyClicks(&t.edit, typed);
    const QString kept = t.edit.text();
    QVERIFY(kept.startsWith(QStringLiteral("abcd efgh")));
    QVERIFY(t.edit.InterfaceImpressora()->TextoCabe(kept));
    QCOMPARE(t.refusals, typed.size() - kept.size());
    QVERIFY(t.refusals >= 8);  // at least every letter of "ijkl mnop"
}

// The page width is read when focus enters, not on every key.
void TstEditImp::typingReusesThePageWidth()
{
    int calls = 0;
    TInterfaceImpressora::AjustarFonteDaLargura([&calls] {
        ++calls;
        return 504.0;
    });
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *other = new QLineEdit(&window);
    TEditComContagem t(QStringLiteral("abcd efgh"));
    layout->addWidget(other);
    layout->addWidget(&t.edit);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(other->hasFocus(), 5000);
    const int before = calls;
    t.edit.setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(t.edit.hasFocus(), 5000);
    QCOMPARE(calls, before + 1);
    QElapsedTimer typing;
    typing.start();
    QTest::keyClicks(&t.edit, QStringLiteral("abcd efgh ijkl"));
    const qint64 periods = typing.elapsed() / TInterfaceImpressora::kValidadeDaLarguraMs;
    QVERIFY(t.refusals > 0);
    // One more read per validity period that ran out while typing, not one per key.
    QVERIFY2(calls <= before + 1 + periods, qPrintable(QString::number(calls - before)));
}

void TstEditImp::printableCharactersAreChecked_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("character");
    QTest::newRow("c cedilla") << int(Qt::Key_Ccedilla) << QStringLiteral("ç");
    QTest::newRow("a tilde") << int(Qt::Key_Atilde) << QStringLiteral("ã");
    QTest::newRow("E acute") << int(Qt::Key_Eacute) << QStringLiteral("É");
    QTest::newRow("o circumflex") << int(Qt::Key_Ocircumflex) << QStringLiteral("ô");
    QTest::newRow("euro") << int(Qt::Key_unknown) << QStringLiteral("€");
    QTest::newRow("cyrillic") << int(Qt::Key_unknown) << QStringLiteral("ж");
    QTest::newRow("ascii") << int(Qt::Key_X) << QStringLiteral("x");
}

void TstEditImp::printableCharactersAreChecked()
{
    QFETCH(int, key);
    QFETCH(QString, character);
    {
        TEditComContagem full(QStringLiteral("ab"));
        full.edit.setText(QStringLiteral("ab"));
        QTest::sendKeyEvent(QTest::Click, &full.edit, Qt::Key(key), character, Qt::NoModifier);
        QCOMPARE(full.edit.text(), QStringLiteral("ab"));
        QCOMPARE(full.refusals, 1);
    }
    {
        TEditComContagem roomy(QStringLiteral("abcdefgh"));
        roomy.edit.setText(QStringLiteral("ab"));
        QTest::sendKeyEvent(QTest::Click, &roomy.edit, Qt::Key(key), character, Qt::NoModifier);
        QCOMPARE(roomy.edit.text(), QStringLiteral("ab") + character);
        QCOMPARE(roomy.refusals, 0);
    }
}

void TstEditImp::controlKeysPassUnchecked()
{
    TEditComContagem t(QStringLiteral("ab"));
    t.edit.setText(QStringLiteral("abc def"));  // not tested: wider than the box
    QTest::keyClick(&t.edit, Qt::Key_Backspace);
    QTest::keyClick(&t.edit, Qt::Key_Home);
    QTest::keyClick(&t.edit, Qt::Key_Delete);
    QCOMPARE(t.edit.text(), QStringLiteral("bc de"));
    // A Ctrl shortcut is not typed text.
    QTest::keyClick(&t.edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(t.edit.selectedText(), QStringLiteral("bc de"));
    QCOMPARE(t.refusals, 0);
}

void TstEditImp::enterNeedsALineLeft_data()
{
    QTest::addColumn<int>("linhas");  // lines the box holds
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("passes");
    QTest::newRow("one line, Return") << 1 << int(Qt::Key_Return) << false;
    QTest::newRow("one line, keypad Enter") << 1 << int(Qt::Key_Enter) << false;
    QTest::newRow("two lines, Return") << 2 << int(Qt::Key_Return) << true;
}

// Enter would start a new line in the printed box: refused, with OnLimiteTexto, when the box has
// no line left.
void TstEditImp::enterNeedsALineLeft()
{
    QFETCH(int, linhas);
    QFETCH(int, key);
    QFETCH(bool, passes);
    TEditComContagem t(QStringLiteral("abcdefgh"));
    t.edit.InterfaceImpressora()->AjustarAltura(TReferencia().Linha() * linhas);
    t.edit.setText(QStringLiteral("ab"));
    QSignalSpy returns(&t.edit, &QLineEdit::returnPressed);
    QTest::keyClick(&t.edit, Qt::Key(key),
                    key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QCOMPARE(returns.count(), passes ? 1 : 0);
    QCOMPARE(t.refusals, passes ? 0 : 1);
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
}

// An exception raised by OnLimiteTexto ends the key handler, not the program.
void TstEditImp::exceptionStaysInTheHandler()
{
    TEditComContagem t(QStringLiteral("ab"));
    t.edit.setText(QStringLiteral("ab"));
    t.edit.OnLimiteTexto = [](QObject *) { throw Exception(QStringLiteral("cheio")); };
    QTest::ignoreMessage(QtWarningMsg, "TEditImp::keyPressEvent: cheio");
    QTest::keyClick(&t.edit, Qt::Key_C);
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
}

void TstEditImp::maxLengthLimitsTheCandidate()
{
    TEditComContagem t(QStringLiteral("ab"));
    t.edit.setMaxLength(2);
    t.edit.setText(QStringLiteral("ab"));
    // The edit is full: the key inserts nothing, so nothing is refused.
    QTest::keyClicks(&t.edit, QStringLiteral("x"));
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 0);
    // A paste is cut to the room left: "a" + "bcdefgh" becomes "ab", which fits.
    t.edit.setText(QStringLiteral("a"));
    QGuiApplication::clipboard()->setText(QStringLiteral("bcdefgh"));
    QTest::keySequence(&t.edit, QKeySequence::Paste);
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 0);
}

void TstEditImp::pasteThatDoesNotFitIsDropped()
{
    TEditComContagem t(QStringLiteral("ab cd"));
    t.edit.setText(QStringLiteral("ab"));
    QGuiApplication::clipboard()->setText(QStringLiteral(" far too long for the box"));
    QTest::keySequence(&t.edit, QKeySequence::Paste);
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 1);
    QTest::keyClick(&t.edit, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 2);
    t.edit.paste();
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 3);
    // A line feed makes a second line.
    QGuiApplication::clipboard()->setText(QStringLiteral("\nc"));
    t.edit.paste();
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 4);
    // What fits is pasted.
    QGuiApplication::clipboard()->setText(QStringLiteral(" cd"));
    QTest::keySequence(&t.edit, QKeySequence::Paste);
    QCOMPARE(t.edit.text(), QStringLiteral("ab cd"));
    QCOMPARE(t.refusals, 4);
}

void TstEditImp::contextMenuPasteIsChecked()
{
    TEditComContagem t(QStringLiteral("ab cd"));
    t.edit.setText(QStringLiteral("ab"));
    t.edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.edit));
    QGuiApplication::clipboard()->setText(QStringLiteral(" far too long for the box"));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            t.edit.mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(&t.edit, &event);
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), 5000);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    const QString pasteKey =
        QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    QAction *pasteAction = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text().endsWith(pasteKey))
            pasteAction = action;
    }
    QVERIFY(pasteAction);
    pasteAction->trigger();
    menu->close();
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 1);
}

void TstEditImp::dropAndInputMethodAreChecked()
{
    TEditComContagem t(QStringLiteral("ab"));
    t.edit.setText(QStringLiteral("ab"));
    QMimeData mime;
    mime.setText(QStringLiteral("xyz"));
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    t.edit.dropEvent(&drop);
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 1);
    QVERIFY(!drop.isAccepted());

    QInputMethodEvent compose;
    compose.setCommitString(QStringLiteral("ç"));
    QCoreApplication::sendEvent(&t.edit, &compose);
    QCOMPARE(t.edit.text(), QStringLiteral("ab"));
    QCOMPARE(t.refusals, 2);

    // With room, the composed character is inserted.
    t.edit.InterfaceImpressora()->AjustarLargura(TReferencia().Largura(QStringLiteral("abcdef")));
    QInputMethodEvent again;
    again.setCommitString(QStringLiteral("ç"));
    QCoreApplication::sendEvent(&t.edit, &again);
    QCOMPARE(t.edit.text(), QStringLiteral("abç"));
    QCOMPARE(t.refusals, 2);
}

void TstEditImp::ajustarTexto()
{
    TEditComContagem t(QStringLiteral("ab cd"));
    t.edit.AjustarTexto(QStringLiteral("ab cd"));
    QCOMPARE(t.edit.PegarTexto(), QStringLiteral("ab cd"));
    t.edit.AjustarTexto(QStringLiteral("ab cd ef"));
    QCOMPARE(t.edit.PegarTexto(), QStringLiteral("ab cd"));
    QCOMPARE(t.refusals, 1);
    QCOMPARE(t.sender, static_cast<QObject *>(&t.edit));
}

void TstEditImp::coloursFollowTheFit()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *other = new QLineEdit(&window);
    TEditComContagem t(QStringLiteral("ab cd"));
    layout->addWidget(other);
    layout->addWidget(&t.edit);
    TEditImp &edit = t.edit;
    edit.AjustarFcColor(clLime);
    edit.AjustarFcCorLimite(clRed);
    QCOMPARE(Fundo(edit), TColor(clLime).ToQColor());

    edit.setText(QStringLiteral("ab cd ef"));  // not tested yet: no colour change
    QCOMPARE(Fundo(edit), TColor(clLime).ToQColor());
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(other->hasFocus(), 5000);
    edit.setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(edit.hasFocus(), 5000);
    QVERIFY(!edit.TextoCabe());
    QCOMPARE(Fundo(edit), TColor(clRed).ToQColor());

    // Colour setters show their colour only in their state.
    edit.AjustarFcColor(clBlue);
    QCOMPARE(Fundo(edit), TColor(clRed).ToQColor());
    edit.AjustarFcCorLimite(clFuchsia);
    QCOMPARE(Fundo(edit), TColor(clFuchsia).ToQColor());

    // A change that makes the text fit clears the warning.
    edit.setText(QStringLiteral("ab"));
    QVERIFY(edit.TextoCabe());
    QCOMPARE(Fundo(edit), TColor(clBlue).ToQColor());
    edit.AjustarFcCorLimite(clYellow);
    QCOMPARE(Fundo(edit), TColor(clBlue).ToQColor());

    // A smaller box shows the warning on AplicarCor.
    edit.InterfaceImpressora()->AjustarLargura(1);
    edit.AplicarCor();
    QCOMPARE(Fundo(edit), TColor(clYellow).ToQColor());

    // Switching off always shows Color; switching on tests again.
    edit.AjustarFbInterfaceImpressoraAtiva(false);
    QVERIFY(edit.TextoCabe());
    QCOMPARE(Fundo(edit), TColor(clBlue).ToQColor());
    edit.AjustarFbInterfaceImpressoraAtiva(true);
    QVERIFY(!edit.TextoCabe());
    QCOMPARE(Fundo(edit), TColor(clYellow).ToQColor());
    QCOMPARE(t.refusals, 0);
}

void TstEditImp::defaultColoursUseThePalette()
{
    TEditComContagem t(QStringLiteral("ab"), false);
    QCOMPARE(t.edit.Color(), clWindow);
    QCOMPARE(t.edit.CorLimite(), clInfoBk);
    QVERIFY(!t.edit.InterfaceImpressoraAtiva());
    const QPalette palette = QApplication::palette(&t.edit);
    t.edit.setText(QStringLiteral("ab cd"));
    t.edit.AjustarFbInterfaceImpressoraAtiva(true);
    QCOMPARE(Fundo(t.edit), palette.color(QPalette::ToolTipBase));
    t.edit.AjustarFbInterfaceImpressoraAtiva(false);
    QCOMPARE(Fundo(t.edit), palette.color(QPalette::Base));
}

void TstEditImp::streamingRoundTrip()
{
    TEditImp edit;
    edit.AjustarFcCorLimite(clRed);
    edit.AjustarFbInterfaceImpressoraAtiva(true);
    edit.InterfaceImpressora()->AjustarLargura(300);
    const QJsonObject json = TPropertyStream::Write(&edit);
    QVERIFY(!json.contains(QStringLiteral("Color")));
    TEditImp copy;
    TPropertyStream::Read(&copy, json);
    QCOMPARE(copy.CorLimite(), clRed);
    QCOMPARE(copy.Color(), clWindow);
    QVERIFY(copy.InterfaceImpressoraAtiva());
    QCOMPARE(copy.InterfaceImpressora()->Largura(), 300);
}

QTEST_MAIN(TstEditImp)
#include "tst_editimp.moc"
