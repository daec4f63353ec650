#include "console/preferencias.h"

namespace {
const char *const kChaveIdioma = "interface/idioma";  // "pt", "en" or absent
}

QSettings PreferenciasConsole()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kestrova"),
                     QStringLiteral("orvanta-teste"));
}

std::optional<TIdioma> IdiomaPreferidoConsole()
{
    return IdiomaDoCodigo(PreferenciasConsole().value(QLatin1String(kChaveIdioma)).toString());
}

bool GravarIdiomaPreferidoConsole(std::optional<TIdioma> idioma)
{
    QSettings preferencias = PreferenciasConsole();
    if (idioma)
        preferencias.setValue(QLatin1String(kChaveIdioma), CodigoDoIdioma(*idioma));
    else
        preferencias.remove(QLatin1String(kChaveIdioma));
    preferencias.sync();
    return preferencias.status() == QSettings::NoError;
}
