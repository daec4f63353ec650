#include "components/editimp.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QDynamicPropertyChangeEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaProperty>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>

#include "platform/eventguard.h"

namespace {

// True when QLineEdit would insert the key's text: some printable (non-control) character, any
// script or accent, and not a Ctrl / Ctrl+Shift shortcut.
bool InsereTexto(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.isEmpty())
        return false;
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    for (const char32_t c : text.toUcs4()) {
        if (QChar::category(c) != QChar::Other_Control)
            return true;
    }
    return false;
}

// System colours follow the application's palette, so the default colours look native; other
// values are shown as they are.
QColor CorNaTela(TColor cor, const QWidget *widget)
{
    const QPalette palette = QApplication::palette(widget);
    switch (quint32(cor)) {
        case quint32(clWindow): return palette.color(QPalette::Base);
        case quint32(clInfoBk): return palette.color(QPalette::ToolTipBase);
        case quint32(clWindowText): return palette.color(QPalette::Text);
        case quint32(clInfoText): return palette.color(QPalette::ToolTipText);
        case quint32(clBtnFace): return palette.color(QPalette::Button);
        default: return cor.ToQColor();
    }
}

}  // namespace

TEditImp::TEditImp(QWidget *Owner)
    : QLineEdit(Owner), FInterfaceImpressora(new TInterfaceImpressora(this, this))
{
    connect(this, &QLineEdit::textChanged, this, &TEditImp::Change);
}

TEditImp::~TEditImp() = default;

void TEditImp::AjustarFcColor(TColor cor)
{
    FcColor = cor;
    if (FbTextoCabe)
        MostrarCor(FcColor);
}

void TEditImp::AjustarFcCorLimite(TColor cor)
{
    FcCorLimite = cor;
    if (!FbTextoCabe)
        MostrarCor(FcCorLimite);
}

void TEditImp::AjustarFbInterfaceImpressoraAtiva(bool ativa)
{
    FbInterfaceImpressoraAtiva = ativa;
    AplicarCor();
}

void TEditImp::AjustarTexto(const QString &texto)
{
    if (Aceita(texto))
        setText(texto);
}

void TEditImp::AplicarCor()
{
    FbTextoCabe = !FbInterfaceImpressoraAtiva || FInterfaceImpressora->TextoCabe(text());
    MostrarCor(FbTextoCabe ? FcColor : FcCorLimite);
}

void TEditImp::paste()
{
    if (!FbInterfaceImpressoraAtiva || isReadOnly() || ColagemAceita(QClipboard::Clipboard))
        QLineEdit::paste();
}

void TEditImp::LimiteTexto()
{
    if (OnLimiteTexto)
        OnLimiteTexto(this);
}

bool TEditImp::event(QEvent *event)
{
    if (event->type() == QEvent::DynamicPropertyChange) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName();
        const QByteArray prefixo(kPrefixoInterfaceImpressora);
        const QMetaObject *meta = FInterfaceImpressora->metaObject();
        const int index = name.startsWith(prefixo)
                              ? meta->indexOfProperty(name.mid(prefixo.size()).constData())
                              : -1;
        if (index >= meta->propertyOffset())
            meta->property(index).write(FInterfaceImpressora, property(name.constData()));
    }
    return QLineEdit::event(event);
}

void TEditImp::keyPressEvent(QKeyEvent *event)
{
    TEventGuard::Run("TEditImp::keyPressEvent", [&] {
        if (FbInterfaceImpressoraAtiva && !isReadOnly() && TeclaRecusada(*event)) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    });
}

bool TEditImp::TeclaRecusada(const QKeyEvent &event)
{
    if (event.matches(QKeySequence::Paste))
        return !ColagemAceita(QClipboard::Clipboard);
    // Enter would break the line in the printed box: it passes only while the box has a line
    // left for the text after the cursor (the selection replaced).
    if ((event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
        !(event.modifiers() & ~Qt::KeypadModifier)) {
        QString candidato = text();
        int cursor = cursorPosition();
        if (hasSelectedText()) {
            cursor = selectionStart();
            candidato.remove(cursor, selectedText().size());
        }
        return !Aceita(candidato.insert(cursor, QLatin1Char('\n')));
    }
    return InsereTexto(event) && !Aceita(CandidatoNaSelecao(event.text()));
}

void TEditImp::focusInEvent(QFocusEvent *event)
{
    TEventGuard::Run("TEditImp::focusInEvent", [&] {
        if (FbInterfaceImpressoraAtiva) {
            // Typing reuses the page width read here, so read it afresh for this edit.
            TInterfaceImpressora::EsquecerLarguraDaPagina();
            AplicarCor();
        }
    });
    QLineEdit::focusInEvent(event);
}

void TEditImp::contextMenuEvent(QContextMenuEvent *event)
{
    TEventGuard::Run("TEditImp::contextMenuEvent", [&] {
        QMenu *menu = createStandardContextMenu();
        if (!menu)
            return;
        RedirecionarColar(menu);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    });
}

void TEditImp::mouseReleaseEvent(QMouseEvent *event)
{
    TEventGuard::Run("TEditImp::mouseReleaseEvent", [&] {
        // A middle click pastes the selection clipboard at the cursor (placed by the press).
        if (FbInterfaceImpressoraAtiva && !isReadOnly() && event->button() == Qt::MiddleButton &&
            QGuiApplication::clipboard()->supportsSelection()) {
            const QString clip = QGuiApplication::clipboard()->text(QClipboard::Selection);
            if (!clip.isEmpty() && !Aceita(Candidato(cursorPosition(), 0, clip))) {
                event->accept();
                return;
            }
        }
        QLineEdit::mouseReleaseEvent(event);
    });
}

void TEditImp::dropEvent(QDropEvent *event)
{
    TEventGuard::Run("TEditImp::dropEvent", [&] {
        const QString inserted = event->mimeData() ? event->mimeData()->text() : QString();
        if (FbInterfaceImpressoraAtiva && !isReadOnly() && !inserted.isEmpty()) {
            int pos = cursorPositionAt(event->position().toPoint());
            QString candidato = text();
            // A move inside this edit takes the selected text away from its old place.
            if (event->source() == this && event->dropAction() == Qt::MoveAction &&
                hasSelectedText()) {
                const int start = selectionStart();
                const int length = int(selectedText().size());
                candidato.remove(start, length);
                if (pos > start)
                    pos = qMax(start, pos - length);
            }
            candidato.insert(qBound(0, pos, int(candidato.size())), inserted);
            if (!Aceita(candidato)) {
                event->ignore();
                return;
            }
        }
        QLineEdit::dropEvent(event);
    });
}

void TEditImp::inputMethodEvent(QInputMethodEvent *event)
{
    TEventGuard::Run("TEditImp::inputMethodEvent", [&] {
        const QString commit = event->commitString();
        if (FbInterfaceImpressoraAtiva && !isReadOnly() && !commit.isEmpty()) {
            QString candidato = text();
            int cursor = cursorPosition();
            if (hasSelectedText()) {
                cursor = selectionStart();
                candidato.remove(cursor, selectedText().size());
            }
            const int start = qBound(0, cursor + event->replacementStart(), int(candidato.size()));
            candidato.remove(start, event->replacementLength());
            candidato.insert(start, commit);
            if (!Aceita(candidato)) {
                // Keep the composition going, drop only the committed text.
                QInputMethodEvent semCommit(event->preeditString(), event->attributes());
                QLineEdit::inputMethodEvent(&semCommit);
                return;
            }
        }
        QLineEdit::inputMethodEvent(event);
    });
}

void TEditImp::Change()
{
    if (FbInterfaceImpressoraAtiva && !FbTextoCabe && FInterfaceImpressora->TextoCabe(text())) {
        FbTextoCabe = true;
        MostrarCor(FcColor);
    }
}

void TEditImp::MostrarCor(TColor cor)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, CorNaTela(cor, this));
    setPalette(p);
}

QString TEditImp::Candidato(int start, int removed, const QString &inserted) const
{
    QString candidato = text();
    candidato.remove(start, removed);
    // QLineEdit inserts only as much as maxLength leaves room for.
    const qsizetype room = qMax<qsizetype>(0, maxLength() - candidato.size());
    candidato.insert(qBound(0, start, int(candidato.size())), inserted.left(room));
    return candidato;
}

QString TEditImp::CandidatoNaSelecao(const QString &inserted) const
{
    if (hasSelectedText())
        return Candidato(selectionStart(), int(selectedText().size()), inserted);
    return Candidato(cursorPosition(), 0, inserted);
}

bool TEditImp::Aceita(const QString &candidato)
{
    if (!FbInterfaceImpressoraAtiva || FInterfaceImpressora->TextoCabe(candidato))
        return true;
    LimiteTexto();
    return false;
}

bool TEditImp::ColagemAceita(QClipboard::Mode modo)
{
    const QString clip = QGuiApplication::clipboard()->text(modo);
    // An empty clipboard only deletes the selection, which never needs more room.
    return clip.isEmpty() || Aceita(CandidatoNaSelecao(clip));
}

void TEditImp::RedirecionarColar(QMenu *menu)
{
    // QLineEdit connects its menu's paste action to its paste slot. A connection by name already
    // reaches TEditImp::paste; one by member pointer is moved here.
    for (QAction *action : menu->actions()) {
        if (QObject::disconnect(action, &QAction::triggered, this, &QLineEdit::paste))
            connect(action, &QAction::triggered, this, &TEditImp::paste);
    }
}
