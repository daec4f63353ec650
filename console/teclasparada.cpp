#include "console/teclasparada.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

bool CampoDeTexto(QObject *alvo)
{
    auto *w = qobject_cast<QWidget *>(alvo);
    if (!w)
        return false;
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->isEditable();
    return qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractSpinBox *>(w) ||
           qobject_cast<QTextEdit *>(w) || qobject_cast<QPlainTextEdit *>(w);
}

}  // namespace

TTeclasParada::TTeclasParada(std::function<bool()> emTeste, std::function<void()> parar,
                             QObject *parent)
    : QObject(parent), FEmTeste(std::move(emTeste)), FParar(std::move(parar))
{
    qApp->installEventFilter(this);
}

TTeclasParada::~TTeclasParada()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool TTeclasParada::EDeParada(QObject *alvo, QEvent *evento) const
{
    // Key events reach the focus widget first; consumed there, they travel no further.
    if (evento->type() != QEvent::KeyPress && evento->type() != QEvent::ShortcutOverride)
        return false;
    const auto *tecla = static_cast<QKeyEvent *>(evento);
    if (tecla->modifiers() & ~Qt::KeypadModifier)
        return false;
    if (tecla->key() == Qt::Key_Escape)
        return FEmTeste();
    return tecla->key() == Qt::Key_Space && !CampoDeTexto(alvo) && FEmTeste();
}

bool TTeclasParada::eventFilter(QObject *alvo, QEvent *evento)
{
    if (!alvo->isWidgetType() || !EDeParada(alvo, evento))
        return false;
    // Claiming the shortcut stage keeps window shortcuts out; the key press itself stops.
    evento->accept();
    if (evento->type() == QEvent::KeyPress && !static_cast<QKeyEvent *>(evento)->isAutoRepeat())
        FParar();
    return true;
}
