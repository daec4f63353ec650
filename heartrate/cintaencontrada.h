#pragma once

#include <QMetaType>
#include <QString>

// A heart-rate strap a Bluetooth LE search found (it advertises the Heart Rate Service).
struct TCintaEncontrada {
    QString nome;      // as it advertises itself; may be empty
    QString endereco;  // "A0:9E:1A:12:34:56"
    int rssiDbm = 0;   // signal strength, the latest heard; 0 when not known
};
Q_DECLARE_METATYPE(TCintaEncontrada)
