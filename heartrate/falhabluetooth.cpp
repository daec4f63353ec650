#include "heartrate/falhabluetooth.h"

#include <QCoreApplication>

namespace {

const char *Fonte(TFalhaBluetooth falha)
{
    switch (falha) {
        case TFalhaBluetooth::SemAdaptador:
            return QT_TRANSLATE_NOOP("TFalhaBluetooth",
                                     "nenhum adaptador Bluetooth encontrado (há um adaptador e o "
                                     "serviço bluetooth está rodando? veja bluetoothctl list)");
        case TFalhaBluetooth::Desligado:
            return QT_TRANSLATE_NOOP("TFalhaBluetooth",
                                     "o Bluetooth está desligado: ligue-o (bluetoothctl power on)");
        case TFalhaBluetooth::SemPermissao:
            return QT_TRANSLATE_NOOP("TFalhaBluetooth",
                                     "o sistema negou a permissão de usar o Bluetooth");
        case TFalhaBluetooth::Servico:
            return QT_TRANSLATE_NOOP("TFalhaBluetooth",
                                     "o serviço Bluetooth (BlueZ) não respondeu: veja se está "
                                     "rodando (systemctl status bluetooth)");
        case TFalhaBluetooth::NaoCompilado: break;
    }
    return QT_TRANSLATE_NOOP("TFalhaBluetooth", "Bluetooth não disponível nesta compilação");
}

}  // namespace

QString TextoFalhaBluetooth(TFalhaBluetooth falha)
{
    return QCoreApplication::translate("TFalhaBluetooth", Fonte(falha));
}

QString TextoFalhaBluetoothGravado(TFalhaBluetooth falha)
{
    return QString::fromUtf8(Fonte(falha));
}
