#pragma once

#include <QString>
#include <optional>

#include "heartrate/leituracardiaca.h"
#include "kestrova_heartrate_export.h"

// "Never a stale number": whether a source's last reading is a current heart rate. A reading is
// current for kValidadeMs after its time, when it has a rate and the sensor does not report a
// lost skin contact; otherwise there is no signal ("sem sinal"), not the last value.
class KESTROVA_HEARTRATE_EXPORT TVigiaSinal {
public:
    static constexpr qint64 kValidadeMs = 5000;

    void Registrar(const TLeituraCardiaca &leitura);
    // The current rate at agoraMs (session axis), or nothing.
    std::optional<int> FcAtual(qint64 agoraMs) const;
    bool TemSinal(qint64 agoraMs) const { return FcAtual(agoraMs).has_value(); }
    // The text to show when the signal changed since the last call: "sinal recebido" the first
    // time, "sem sinal" when lost, "sinal restabelecido" when back; empty when nothing changed.
    // Portuguese source texts (the console records them); TraduzirSituacaoCardiaca shows them.
    QString Mudanca(qint64 agoraMs);
    // Forgets everything (a new test or a new source).
    void Reiniciar();

private:
    std::optional<TLeituraCardiaca> FUltima;
    bool FComSinal = false;
    bool FJaTeveSinal = false;
};
