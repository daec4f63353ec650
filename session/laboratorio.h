#pragma once

#include <QString>

#include "kestrova_session_export.h"

// The laboratory the reports are printed for, set once in the settings every Kestrova program
// shares (Kestrova/Kestrova.ini in the user's configuration directory, $XDG_CONFIG_HOME or
// ~/.config), group [Laboratorio]: nome, endereco, logotipo. The report prints it as its header;
// with none set, the report has no header.
struct KESTROVA_SESSION_EXPORT TLaboratorio {
    QString nome;
    QString endereco;  // one or two lines, as typed
    QString logotipo;  // an image file (PNG, JPEG, ...); empty: none

    // True when neither a name, an address nor a logo is set.
    bool Vazio() const;

    // What is stored, trimmed; empty fields when nothing is.
    static TLaboratorio Carregar();
    // Stores these fields; false when the settings could not be written.
    bool Salvar() const;
};
