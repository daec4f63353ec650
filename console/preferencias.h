#pragma once

#include "kestrova_console_export.h"

#include <QSettings>

// The console's own settings (window sizes, the last folder saved to), in the user's Kestrova
// configuration beside the port mapping every Kestrova program shares.
KESTROVA_CONSOLE_EXPORT QSettings PreferenciasConsole();
