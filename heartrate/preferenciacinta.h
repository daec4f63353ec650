#pragma once

#include <QString>

#include "kestrova_heartrate_export.h"

// The heart-rate strap chosen for the tests, remembered in the settings every Kestrova program
// shares (Kestrova/Kestrova.ini in the user's configuration directory, $XDG_CONFIG_HOME or
// ~/.config), group [Cinta]: tipo (nenhuma, simulada, bluetooth), endereco, nome.
struct KESTROVA_HEARTRATE_EXPORT TPreferenciaCinta {
    enum class TTipo { Nenhuma, Simulada, Bluetooth };

    TTipo tipo = TTipo::Nenhuma;
    QString endereco;  // a Bluetooth strap's address, "A0:9E:1A:12:34:56"
    QString nome;      // its name, as the search found it

    // The choice stored; Nenhuma when none is, or when what is stored cannot be used (an
    // unknown kind, a Bluetooth strap without an address).
    static TPreferenciaCinta Carregar();
    // Stores this choice; false when the settings could not be written.
    bool Salvar() const;
};
