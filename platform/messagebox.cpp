#include "platform/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <mutex>

namespace {

std::mutex gHookMutex;
TErrorMessageHook gHook;

void ShowDefault(const QString &text)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QMessageBox::critical(nullptr, QGuiApplication::applicationDisplayName(), text,
                              QMessageBox::Ok);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace

void ShowErrorMessage(const QString &text)
{
    TErrorMessageHook hook;
    {
        std::lock_guard lock(gHookMutex);
        hook = gHook;
    }
    if (hook)
        hook(text);
    else
        ShowDefault(text);
}

TErrorMessageHook SetErrorMessageHook(TErrorMessageHook hook)
{
    std::lock_guard lock(gHookMutex);
    std::swap(gHook, hook);
    return hook;
}
