#pragma once

#include <QString>

#include "kestrova_console_export.h"

struct TEventoRegistro;

// A test's events are recorded in Portuguese, the source texts, whatever the language (the
// readings typed, the run's events, the warnings, the strap's signal); the console's lists
// show them through Exibido.
class KESTROVA_CONSOLE_EXPORT TTextoEvento {
public:
    // The event's text in the language installed; a text no translator knows (a comment, a
    // text recorded by another version) is shown as recorded.
    static QString Exibido(const TEventoRegistro &evento);
};
