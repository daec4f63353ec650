#pragma once

#include <QMetaType>
#include <QString>

#include "kestrova_heartrate_export.h"

// Why a strap cannot be reached through this computer's Bluetooth, whatever part of Qt Bluetooth
// (the search, the connection) found it. Each has one line for the operator.
enum class TFalhaBluetooth {
    SemAdaptador,  // no adapter; also BlueZ not running, where Qt sees no adapter either
    Desligado,     // the adapter is switched off
    SemPermissao,  // the system refused access to Bluetooth
    Servico,       // BlueZ did not answer, or another failure of the Bluetooth stack
    NaoCompilado,  // this build has no Qt Bluetooth
};
Q_DECLARE_METATYPE(TFalhaBluetooth)

// The operator's line in the installed language, without a line break.
KESTROVA_HEARTRATE_EXPORT QString TextoFalhaBluetooth(TFalhaBluetooth falha);
// The same line in Portuguese, the source text, for a text that is recorded (a source's
// Situacao, TReconexaoCinta::FalhaDoAdaptador); TraduzirSituacaoCardiaca shows it.
KESTROVA_HEARTRATE_EXPORT QString TextoFalhaBluetoothGravado(TFalhaBluetooth falha);
