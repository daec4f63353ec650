#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <thread>

#include "kestrova_device_export.h"

// Watches for a lost serial device to come back: once a second, on a thread of its own, it tries
// to open the device (and closes it at once); when that works it emits DispositivoDisponivel on
// the main thread. The reopening itself is left to the receiver. Main thread only.
class KESTROVA_DEVICE_EXPORT TReabertura : public QObject {
    Q_OBJECT

public:
    explicit TReabertura(QObject *parent = nullptr);
    ~TReabertura() override;  // waits for an attempt in progress

    void Iniciar(const QString &dispositivo, int intervaloMs = 1000);
    void Parar();
    bool Ativa() const { return FTimer.isActive(); }
    QString Dispositivo() const { return FDispositivo; }

signals:
    void DispositivoDisponivel();

private:
    void Tentar();
    void Juntar();

    QTimer FTimer;
    QString FDispositivo;
    std::thread FTentativa;
    std::atomic<bool> FTentando{false};
    unsigned FuRodada = 0;  // results of an earlier Iniciar are ignored
};
