#include "heartrate/falhabluetooth.h"

QString TextoFalhaBluetooth(TFalhaBluetooth falha)
{
    switch (falha) {
        case TFalhaBluetooth::SemAdaptador:
            return QStringLiteral(
                "nenhum adaptador Bluetooth encontrado (há um adaptador e o serviço bluetooth "
                "está rodando? veja bluetoothctl list)");
        case TFalhaBluetooth::Desligado:
            return QStringLiteral("o Bluetooth está desligado: ligue-o (bluetoothctl power on)");
        case TFalhaBluetooth::SemPermissao:
            return QStringLiteral("o sistema negou a permissão de usar o Bluetooth");
        case TFalhaBluetooth::Servico:
            return QStringLiteral(
                "o serviço Bluetooth (BlueZ) não respondeu: veja se está rodando "
                "(systemctl status bluetooth)");
        case TFalhaBluetooth::NaoCompilado: break;
    }
    return QStringLiteral("Bluetooth não disponível nesta compilação");
}
