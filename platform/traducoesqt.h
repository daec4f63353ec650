#pragma once

#include "kestrova_platform_export.h"

class QCoreApplication;

// Installs Qt's own Portuguese (Brazil) translations, so the standard dialogs (Sim/Não, the file
// dialog's "Nome do arquivo:") speak the program's language. False when the translation files
// are not installed (package qt6-translations-l10n on Debian): the dialogs then stay in English.
// A program that chooses its language (platform/idioma.h, PrepararIdioma) does not call this:
// InstalarIdioma loads Qt's texts of the chosen language.
KESTROVA_PLATFORM_EXPORT bool InstalarTraducoesDoQt(QCoreApplication &app);
