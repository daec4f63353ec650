#include "platform/inputbox.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <mutex>

namespace {

constexpr int kMaxLength = 255;

std::mutex gHookMutex;
TInputQueryHook gHook;

bool ShowDialog(const QString &caption, const QString &prompt, QString &value)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(value.left(kMaxLength));
    if (QLineEdit *edit = dialog.findChild<QLineEdit *>())
        edit->setMaxLength(kMaxLength);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

}  // namespace

bool InputQuery(const QString &caption, const QString &prompt, QString &value)
{
    TInputQueryHook hook;
    {
        std::lock_guard lock(gHookMutex);
        hook = gHook;
    }
    if (hook)
        return hook(caption, prompt, value);
    return ShowDialog(caption, prompt, value);
}

TInputQueryHook SetInputQueryHook(TInputQueryHook hook)
{
    std::lock_guard lock(gHookMutex);
    std::swap(gHook, hook);
    return hook;
}
