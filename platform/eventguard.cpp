#include "platform/eventguard.h"

#include <QDebug>
#include <exception>

#include "platform/exception.h"

bool TEventGuard::Run(const char *handler, const std::function<void()> &body) noexcept
{
    try {
        body();
        return true;
    } catch (const Exception &e) {
        qWarning("%s: %s", handler, qUtf8Printable(e.Message()));
    } catch (const std::exception &e) {
        qWarning("%s: %s", handler, e.what());
    } catch (...) {
        qWarning("%s: unknown exception", handler);
    }
    return false;
}
