#pragma once

#include <QTimer>

#include "heartrate/fontecardiaca.h"
#include "heartrate/modelocardiaco.h"
#include "kestrova_heartrate_export.h"

// The simulated strap: a reading at every whole second of the session's time, its rate
// following the belt's workload by TModeloCardiaco, from the resting rate at Iniciar. Skin
// contact detected; no RR intervals, no energy. The owner feeds the belt's speed and grade as
// they change. Seconds missed by a busy main thread are not made up: the next reading is the
// latest whole second reached, its rate exact for its time.
class KESTROVA_HEARTRATE_EXPORT TFonteSimulada : public TFonteCardiaca {
    Q_OBJECT

public:
    explicit TFonteSimulada(std::shared_ptr<TRelogio> relogio, QObject *parent = nullptr);
    TFonteSimulada(const TModeloCardiaco &modelo, std::shared_ptr<TRelogio> relogio,
                   QObject *parent = nullptr);

    QString Nome() const override;
    bool Ativa() const override { return FAtiva; }
    // The model's rate now (not rounded), for tests and displays.
    double FcModelo() const { return FFc; }

public slots:
    void Iniciar() override;
    void Parar() override;
    // The belt's speed (km/h) and grade (%) from now on.
    void AjustarCarga(double velocidadeKmh, double inclinacaoPct);
    // Emits the reading due by now, if any; the source's timer calls it, tests driving a manual
    // clock call it after moving the clock.
    void Processar();

private:
    void AvancarAte(qint64 tempoMs);

    TModeloCardiaco FModelo;
    QTimer FTimer;
    double FVelocidade = 0, FInclinacao = 0;
    double FFc = 0;
    qint64 FTempoEstadoMs = 0;  // session time FFc is for
    qint64 FProximaMs = 0;      // the next whole second to emit
    bool FAtiva = false;
};
