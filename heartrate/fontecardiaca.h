#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "heartrate/leituracardiaca.h"
#include "heartrate/relogiosessao.h"
#include "kestrova_heartrate_export.h"

// A source of heart-rate readings: a strap, the simulated strap, a replayed trace. It lives on
// the main thread and emits there. Readings are stamped on the session's axis, read on the
// protocol clock (RelogioSessao(): the owner anchors it when the countdown starts and gives it
// the test's time scale).
class KESTROVA_HEARTRATE_EXPORT TFonteCardiaca : public QObject {
    Q_OBJECT

public:
    explicit TFonteCardiaca(std::shared_ptr<TRelogio> relogio, QObject *parent = nullptr);
    ~TFonteCardiaca() override;

    // The name readings carry in TLeituraCardiaca::fonte.
    virtual QString Nome() const = 0;
    virtual bool Ativa() const = 0;
    TRelogioSessao &RelogioSessao() { return FRelogioSessao; }
    const TRelogioSessao &RelogioSessao() const { return FRelogioSessao; }
    // A test's countdown starts: the session's axis reads tempoSessaoMs now and runs at the
    // test's time scale from here. A source whose readings follow a schedule of its own (a
    // replay) starts it again from there.
    virtual void AncorarTeste(qint64 tempoSessaoMs, double escala);

public slots:
    virtual void Iniciar() = 0;
    virtual void Parar() = 0;

signals:
    void Leitura(const TLeituraCardiaca &leitura);
    // A change the operator should read, in Portuguese: "sem sinal", "sinal restabelecido", an
    // error, the end of a trace. Source texts whatever the language (the console records them):
    // show them through TraduzirSituacaoCardiaca (heartrate/situacaocardiaca.h).
    void Situacao(const QString &texto);

private:
    TRelogioSessao FRelogioSessao;
};
