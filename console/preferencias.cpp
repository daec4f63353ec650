#include "console/preferencias.h"

QSettings PreferenciasConsole()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrova"),
                     QStringLiteral("orvanta-teste"));
}
