#pragma once

#include <QTimer>

#include "heartrate/fontecardiaca.h"
#include "heartrate/tracocardiaco.h"
#include "kestrova_heartrate_export.h"

// Replays a recorded trace: each reading is emitted when the session's time reaches its own
// (on the protocol clock, scaled as the test is). Readings whose time had passed when Iniciar
// was called are skipped, not sent late. At the end of the trace, "fim do traço".
class KESTROVA_HEARTRATE_EXPORT TFonteReproducao : public TFonteCardiaca {
    Q_OBJECT

public:
    // The clock is read on the main thread only.
    TFonteReproducao(const TTracoCardiaco &traco, const QString &nome,
                     std::shared_ptr<TRelogio> relogio, QObject *parent = nullptr);

    QString Nome() const override { return FNome; }
    bool Ativa() const override { return FAtiva; }
    // Readings emitted since Iniciar.
    int Emitidas() const { return FEmitidas; }
    // The trace is replayed from the new anchor: a test's readings follow its countdown.
    void AncorarTeste(qint64 tempoSessaoMs, double escala) override;

public slots:
    void Iniciar() override;
    void Parar() override;
    // Emits every reading due by now; the source's timer calls it, tests driving a manual clock
    // call it after moving the clock.
    void Processar();

private:
    void Agendar();

    QList<TLeituraCardiaca> FLeituras;
    QString FNome;
    QTimer FTimer;
    qsizetype FProxima = 0;
    int FEmitidas = 0;
    bool FAtiva = false;
};
