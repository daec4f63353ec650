#pragma once

#include <QMenu>
#include <functional>
#include <optional>

#include "kestrova_platform_export.h"
#include "platform/idioma.h"

// Fills a program's language menu: "Idioma do sistema", each language by its own name (found
// whatever the window speaks), and a note that the choice applies at the next start. The
// checked entry is preferido; escolher keeps the one picked. The actions' object names
// (actIdiomaDoSistema, actPortugues, actIngles, actNotaIdioma) are what tests look for.
KESTROVA_PLATFORM_EXPORT void PreencherMenuIdioma(
    QMenu &menu, std::optional<TIdioma> preferido,
    const std::function<void(std::optional<TIdioma>)> &escolher);
