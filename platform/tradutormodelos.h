#pragma once

#include <QString>
#include <QStringList>
#include <span>

#include "kestrova_platform_export.h"

// A text that is both recorded and shown (an event of a test, a warning, a reason) is computed
// as its Portuguese source text in every language and translated only where it is shown. Such a
// text is known by its model: the source text with %1, %2... standing for its values.
struct TModeloTexto {
    const char *contexto;  // the translation context the model is marked with
    const char *fonte;     // QT_TRANSLATE_NOOP(contexto, "...") where the list is defined
};

class KESTROVA_PLATFORM_EXPORT TTradutorModelos {
public:
    // The text translated by the first model it matches, its values kept as they are; a text
    // no model matches is returned unchanged.
    static QString Traduzir(const QString &texto, std::span<const TModeloTexto> modelos);

    // The values of texto when it matches modelo (index n holds %n), or false.
    static bool Casar(const QString &texto, const QString &modelo, QStringList &valores);
    // The translation with its markers replaced in one pass, so a value holding "%2" stays.
    static QString Preencher(const QString &traducao, const QStringList &valores);
};
