#pragma once

#include <QString>
#include <optional>

// A clinical result: a value, or none with the reason in Portuguese (for the operator and the
// report; a source text whatever the language, shown through TTextosClinicos::Traduzir). A result
// is never guessed: without what it needs it has a reason, not a value.
template <typename T>
struct TResultado {
    std::optional<T> valor;
    QString motivo;  // empty when there is a value

    bool Disponivel() const { return valor.has_value(); }
};
