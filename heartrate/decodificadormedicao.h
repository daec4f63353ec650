#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "heartrate/leituracardiaca.h"
#include "kestrova_heartrate_export.h"

// The Bluetooth Heart Rate Measurement characteristic (0x2A37), as the Bluetooth Heart Rate
// Service specification lays it out (little-endian):
//   flags (uint8): bit 0 rate format (0 uint8, 1 uint16); bits 1-2 sensor contact (0/1 not
//   supported, 2 supported and not detected, 3 detected); bit 3 energy expended present; bit 4
//   RR intervals present; bits 5-7 reserved.
//   rate (uint8 or uint16 bpm), energy expended (uint16 kJ, when flagged), RR intervals (uint16
//   in 1/1024 s, as many as the notification holds, when flagged).
// A notification that does not fit its flags exactly, has reserved bits set, or carries a rate
// outside 1 to kFcMaxima bpm is refused with its reason and counted; docs/heartrate.md.
class KESTROVA_HEARTRATE_EXPORT TDecodificadorMedicao {
public:
    // Above any human heart rate (the age-predicted maxima stay under 220 bpm); a strap sending
    // more is measuring noise.
    static constexpr int kFcMaxima = 250;

    // The notification's fields in a reading (time and source left for the caller), or nothing
    // with the reason in *motivo (in the installed language, as LerHex's).
    static std::optional<TLeituraCardiaca> Interpretar(const QByteArray &notificacao,
                                                       QString *motivo = nullptr);
    // The bytes of a notification written as hex text, as a trace prints them: "16 48 02 03",
    // "16480203", "0x16 0x48", separated by spaces, ':', '-' or ',', any case. Nothing, with the
    // reason, for other text.
    static std::optional<QByteArray> LerHex(const QString &texto, QString *motivo = nullptr);
    // A reading's fields in one line for a technician: "72 bpm, contato detectado, 2 RR: 812.5
    // ms 798.8 ms".
    static QString Descrever(const TLeituraCardiaca &leitura);

    // Interpretar, counting what is accepted and refused; a refusal goes to the trace with the
    // bytes and the reason, in Portuguese whatever the language.
    std::optional<TLeituraCardiaca> Decodificar(const QByteArray &notificacao,
                                                QString *motivo = nullptr);
    int Aceitas() const { return FAceitas; }
    int Recusadas() const { return FRecusadas; }

private:
    int FAceitas = 0;
    int FRecusadas = 0;
};
