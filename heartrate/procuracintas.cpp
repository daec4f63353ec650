#include "heartrate/procuracintas.h"

#include <QBluetoothDeviceDiscoveryAgent>
#include <QBluetoothLocalDevice>
#include <QBluetoothUuid>
#include <algorithm>

#include "platform/trace.h"

namespace {

TFalhaBluetooth Falha(QBluetoothDeviceDiscoveryAgent::Error erro)
{
    switch (erro) {
        case QBluetoothDeviceDiscoveryAgent::InvalidBluetoothAdapterError:
            return TFalhaBluetooth::SemAdaptador;
        case QBluetoothDeviceDiscoveryAgent::PoweredOffError: return TFalhaBluetooth::Desligado;
        case QBluetoothDeviceDiscoveryAgent::MissingPermissionsError:
            return TFalhaBluetooth::SemPermissao;
        default: return TFalhaBluetooth::Servico;
    }
}

}  // namespace

TProcuraCintas::TProcuraCintas(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<TCintaEncontrada>();
}

TProcuraCintas::~TProcuraCintas()
{
    if (FAgente)
        FAgente->disconnect(this);  // the agent, a child, goes after this object
}

void TProcuraCintas::Iniciar(int duracaoMs)
{
    if (FAgente && FAgente->isActive())
        FAgente->stop();
    FEncontradas.clear();
    FAtiva = true;
    // Without an adapter (or without BlueZ) Qt lists none; the agent would fail the same way.
    if (QBluetoothLocalDevice::allDevices().isEmpty()) {
        emit Falhou(TFalhaBluetooth::SemAdaptador);
        Concluir();
        return;
    }
    if (!FAgente) {
        FAgente = new QBluetoothDeviceDiscoveryAgent(this);
        connect(FAgente, &QBluetoothDeviceDiscoveryAgent::deviceDiscovered, this,
                &TProcuraCintas::Examinar);
        connect(FAgente, &QBluetoothDeviceDiscoveryAgent::deviceUpdated, this,
                [this](const QBluetoothDeviceInfo &info) { Examinar(info); });
        connect(FAgente, &QBluetoothDeviceDiscoveryAgent::finished, this,
                &TProcuraCintas::Concluir);
        connect(FAgente, &QBluetoothDeviceDiscoveryAgent::errorOccurred, this,
                [this](QBluetoothDeviceDiscoveryAgent::Error erro) {
                    Trace(QStringLiteral("Bluetooth: busca de cintas falhou: %1")
                              .arg(FAgente->errorString()));
                    if (!FAtiva)
                        return;
                    if (FAgente->isActive())
                        FAgente->stop();
                    emit Falhou(Falha(erro));
                    Concluir();
                });
    }
    FAgente->setLowEnergyDiscoveryTimeout(std::max(duracaoMs, 1));
    FAgente->start(QBluetoothDeviceDiscoveryAgent::LowEnergyMethod);
}

void TProcuraCintas::Parar()
{
    if (FAgente && FAgente->isActive())
        FAgente->stop();
    Concluir();
}

void TProcuraCintas::Examinar(const QBluetoothDeviceInfo &info)
{
    // The services may come in an update after the device was first heard.
    if (!FAtiva ||
        !info.serviceUuids().contains(QBluetoothUuid(QBluetoothUuid::ServiceClassUuid::HeartRate)))
        return;
    const QString endereco = info.address().toString();
    for (TCintaEncontrada &cinta : FEncontradas) {
        if (cinta.endereco != endereco)
            continue;
        if (info.rssi() != 0)
            cinta.rssiDbm = info.rssi();
        if (cinta.nome.isEmpty())
            cinta.nome = info.name();
        return;
    }
    const TCintaEncontrada cinta{info.name(), endereco, info.rssi()};
    FEncontradas.append(cinta);
    emit Encontrada(cinta);
}

void TProcuraCintas::Concluir()
{
    if (!FAtiva)
        return;
    FAtiva = false;
    emit Concluida();
}
