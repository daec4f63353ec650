#pragma once

#include <QList>
#include <QObject>

#include "heartrate/cintaencontrada.h"
#include "heartrate/falhabluetooth.h"
#include "kestrova_heartrate_export.h"

class QBluetoothDeviceDiscoveryAgent;
class QBluetoothDeviceInfo;

// Looks for heart-rate straps nearby: a Bluetooth LE search (no classic inquiry) that reports
// each device advertising the Heart Rate Service (0x180D), once, as soon as it is heard. The
// search ends with Concluida: its time is up, it failed (Falhou first) or Parar was called.
// Lives on the main thread.
class KESTROVA_HEARTRATE_EXPORT TProcuraCintas : public QObject {
    Q_OBJECT

public:
    explicit TProcuraCintas(QObject *parent = nullptr);
    ~TProcuraCintas() override;

    // A search of duracaoMs. Without an adapter it fails before returning.
    void Iniciar(int duracaoMs = 10000);
    void Parar();
    bool Ativa() const { return FAtiva; }
    // The straps found by this search, each with the latest signal strength heard.
    const QList<TCintaEncontrada> &Encontradas() const { return FEncontradas; }

signals:
    void Encontrada(const TCintaEncontrada &cinta);
    void Falhou(TFalhaBluetooth falha);
    void Concluida();

private:
    void Examinar(const QBluetoothDeviceInfo &info);
    void Concluir();

    QBluetoothDeviceDiscoveryAgent *FAgente = nullptr;
    QList<TCintaEncontrada> FEncontradas;
    bool FAtiva = false;
};
