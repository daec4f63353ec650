#pragma once

#include <QByteArray>
#include <QTimer>
#include <optional>

#include "heartrate/decodificadormedicao.h"
#include "heartrate/falhabluetooth.h"
#include "heartrate/fontecardiaca.h"
#include "heartrate/procuracintas.h"
#include "heartrate/reconexaocinta.h"
#include "kestrova_heartrate_export.h"

class QLowEnergyController;
class QLowEnergyService;

// A Bluetooth LE heart-rate strap (docs/heartrate.md). Each attempt searches for the strap's
// address, connects, finds the Heart Rate Service without reading its values, and enables the
// Heart Rate Measurement's notifications; each notification decoded is a reading stamped with
// the session's time now. The battery level is read once per connection when the strap offers
// it. A failed attempt or a lost connection is tried again in the background every
// TReconexaoCinta::kIntervaloMs until Parar; nothing here blocks the main thread.
class KESTROVA_HEARTRATE_EXPORT TFonteBluetooth : public TFonteCardiaca {
    Q_OBJECT

public:
    // The strap at endereco ("A0:9E:1A:12:34:56"); its readings carry nome (the address when
    // nome is empty).
    TFonteBluetooth(const QString &endereco, const QString &nome, std::shared_ptr<TRelogio> relogio,
                    QObject *parent = nullptr);
    ~TFonteBluetooth() override;

    // Whether texto is a Bluetooth address this source can connect to.
    static bool EnderecoValido(const QString &texto);

    QString Nome() const override;
    bool Ativa() const override { return FAtiva; }
    QString Endereco() const { return FEndereco; }
    bool Conectada() const { return FConectada; }
    // The notifications accepted and refused so far.
    const TDecodificadorMedicao &Decodificador() const { return FDecodificador; }
    // The battery level read at the last connection, in %.
    std::optional<int> BateriaPct() const { return FBateriaPct; }

public slots:
    void Iniciar() override;
    void Parar() override;

signals:
    // Every notification's bytes as they came, refused ones too (for a trace).
    void Notificacao(const QByteArray &bytes);
    void Bateria(int pct);
    // The adapter stands in the way (no adapter, switched off, no permission); attempts go on
    // unless a handler calls Parar.
    void Falhou(TFalhaBluetooth falha);

private:
    void Tentar();
    void Conectar();
    void ServicosDescobertos();
    void Assinar();
    void LerBateria();
    void Recebida(const QByteArray &bytes);
    void Caiu(std::optional<TFalhaBluetooth> falha = std::nullopt);
    void Desconectar();
    void Dizer(const QString &texto);

    QString FEndereco, FNome;
    TDecodificadorMedicao FDecodificador;
    TReconexaoCinta FReconexao;
    TProcuraCintas FProcura;
    QTimer FEspera;  // until the next attempt
    QTimer FPrazo;   // an attempt that neither connects nor fails
    QLowEnergyController *FControlador = nullptr;
    QLowEnergyService *FMedicao = nullptr;
    QLowEnergyService *FServicoBateria = nullptr;
    std::optional<int> FBateriaPct;
    bool FBuscando = false;  // this attempt's search is on
    bool FConectada = false;
    bool FAtiva = false;
};
