#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <atomic>

#include "comm/advancedcom.h"
#include "kestrova_device_export.h"

// The abstract treadmill: owns one serial port and offers the operations a controller window
// needs. Models derive from it and speak their board's protocol.
class KESTROVA_DEVICE_EXPORT TEsteira {
public:
    // Creates the port (owned by Owner as a QObject child, destroyed with this object) for the
    // given port number, with a read time-out of 100 ms. The port is not opened here.
    TEsteira(QObject *Owner, int porta);
    virtual ~TEsteira();
    TEsteira(const TEsteira &) = delete;
    TEsteira &operator=(const TEsteira &) = delete;

    virtual void AjustarVelocidade(double velocidade) = 0;
    virtual void AjustarInclinacao(double inclinacao) = 0;
    virtual void Ligar() = 0;
    virtual void Parar() = 0;
    virtual bool EstaLigada();
    virtual double PegarInclinacao();
    virtual double PegarVelocidade();
    // Bound to the port's OnPacketReceived; runs on the main thread, or on the port's reader
    // thread when the port delivers there.
    virtual void OnPacoteRecebido(QObject *Sender, QByteArray &buffer) = 0;

    // The port, for callers that want its state (Opened, ErrorMessage); null once destroyed.
    TAdvancedCom *Porta() const { return FPorta.data(); }

protected:
    // Writes the bytes through the port and traces them as "ENVIOU    0x02  0x51  ...".
    void Enviar(const char *dados, int tamanho);

    // Written by the exchange that owns the device's slot, read from any thread.
    std::atomic<double> FdVelocidade{0.0};
    std::atomic<double> FdInclinacao{0.0};
    std::atomic<bool> FbLigada{false};
    QPointer<TAdvancedCom> FPorta;
};

// "<prefix>0x02  0x51  0x0A  ": the trace line for a chunk of bytes on the wire.
KESTROVA_DEVICE_EXPORT QString TraceLine(const char *prefix, const char *dados, qsizetype tamanho);
