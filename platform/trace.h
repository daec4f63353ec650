#pragma once

#include <QLoggingCategory>
#include <QString>

#include "kestrova_platform_export.h"

// Diagnostic traces (port failures with the OS's reason, and the frames of the devices that
// talk through the ports) go to the logging category
// "kestrova.trace". It is off by default; QT_LOGGING_RULES="kestrova.trace=true" or
// EnableTrace(true) turns it on.
// Traces ("ENVIOU    0x02 ...", "RECEBEU ...") are read by tools and tests: they are never
// translated.
KESTROVA_PLATFORM_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcKestrovaTrace)

KESTROVA_PLATFORM_EXPORT void Trace(const QString &text);
KESTROVA_PLATFORM_EXPORT void EnableTrace(bool on);
