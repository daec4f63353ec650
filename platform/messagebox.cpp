#include "platform/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <mutex>

#include "platform/exception.h"

namespace {

std::mutex gHookMutex;
TErrorMessageHook gHook;
TErrorDetailsHook gDetailsHook;

void ShowDefault(const QString &text, const QString &details = QString())
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), text,
                        QMessageBox::Ok);
        box.setDetailedText(details);
        box.exec();
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    if (!details.isEmpty())
        std::fprintf(stderr, "%s\n", details.toLocal8Bit().constData());
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

void ShowErrorMessage(const QString &text, const QString &details)
{
    TErrorMessageHook hook;
    TErrorDetailsHook detailsHook;
    {
        std::lock_guard lock(gHookMutex);
        hook = gHook;
        detailsHook = gDetailsHook;
    }
    if (detailsHook)
        detailsHook(text, details);
    else if (hook)
        hook(text);
    else
        ShowDefault(text, details);
}

TErrorDetailsHook SetErrorDetailsHook(TErrorDetailsHook hook)
{
    std::lock_guard lock(gHookMutex);
    std::swap(gDetailsHook, hook);
    return hook;
}

void RunShowingExceptions(const std::function<void()> &body)
{
    try {
        body();
    } catch (const Exception &erro) {
        ShowErrorMessage(erro.Message());
    } catch (const std::exception &erro) {
        ShowErrorMessage(QString::fromLocal8Bit(erro.what()));
    }
}
