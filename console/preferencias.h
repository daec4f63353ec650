#pragma once

#include "kestrova_console_export.h"

#include <QSettings>
#include <optional>

#include "platform/idioma.h"

// The console's own settings (window sizes, the last folder saved to), in the user's Kestrova
// configuration beside the port mapping every Kestrova program shares.
KESTROVA_CONSOLE_EXPORT QSettings PreferenciasConsole();

// The language chosen in the console's Idioma menu (interface/idioma); none: the system's.
KESTROVA_CONSOLE_EXPORT std::optional<TIdioma> IdiomaPreferidoConsole();
// Keeps the choice for the next start (none removes it); false when it could not be written.
KESTROVA_CONSOLE_EXPORT bool GravarIdiomaPreferidoConsole(std::optional<TIdioma> idioma);
