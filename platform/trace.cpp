#include "trace.h"

Q_LOGGING_CATEGORY(lcKestrovaTrace, "kestrova.trace", QtInfoMsg)

void Trace(const QString &text)
{
    qCDebug(lcKestrovaTrace).noquote() << text;
}

void EnableTrace(bool on)
{
    QLoggingCategory::setFilterRules(on ? QStringLiteral("kestrova.trace.debug=true")
                                        : QStringLiteral("kestrova.trace.debug=false"));
}
