#include <cmath>

#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "heartrate/decodificadormedicao.h"

namespace {

void Uint16(QByteArray &bytes, int valor)
{
    bytes.append(char(valor & 0xFF));
    bytes.append(char((valor >> 8) & 0xFF));
}

// The notification the fields stand for, in the rate format the input used: an accepted input
// is exactly its fields, so it must come back byte for byte.
QByteArray Codificar(const TLeituraCardiaca &leitura, bool fc16Bits)
{
    quint8 flags = fc16Bits ? 0x01 : 0x00;
    if (leitura.contato == TContatoSensor::NaoDetectado)
        flags |= 0x04;
    if (leitura.contato == TContatoSensor::Detectado)
        flags |= 0x06;
    if (leitura.energiaKj)
        flags |= 0x08;
    if (!leitura.rrMs.isEmpty())
        flags |= 0x10;
    QByteArray bytes(1, char(flags));
    if (fc16Bits)
        Uint16(bytes, leitura.bpm);
    else
        bytes.append(char(leitura.bpm));
    if (leitura.energiaKj)
        Uint16(bytes, *leitura.energiaKj);
    for (const double rr : leitura.rrMs)
        Uint16(bytes, int(std::lround(rr * 1024.0 / 1000.0)));
    return bytes;
}

}  // namespace

int FuzzHeartRateMeasurement(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    QString motivo;
    const std::optional<TLeituraCardiaca> leitura =
        TDecodificadorMedicao::Interpretar(bytes, &motivo);
    if (leitura) {
        FuzzCheck(motivo.isEmpty(), "an accepted notification has no reason");
        FuzzCheck(leitura->bpm >= 1 && leitura->bpm <= TDecodificadorMedicao::kFcMaxima,
                  "an accepted rate is within the bound");
        const quint8 flags = quint8(bytes[0]);
        FuzzCheck((flags & 0xE0) == 0, "no reserved bit in an accepted notification");
        QByteArray esperado = Codificar(*leitura, flags & 0x01);
        // Contact bits 01 mean "not supported" as 00 do; an RR flag with no interval is legal.
        esperado[0] = char(quint8(esperado[0]) | (flags & 0x12));
        FuzzCheck(esperado == bytes, "the fields give back the notification");
        FuzzCheck(!TDecodificadorMedicao::Descrever(*leitura).isEmpty(), "a description");
    } else {
        FuzzCheck(!motivo.isEmpty(), "a refusal has a reason");
    }
    // The same bytes as a trace prints them read back; the input as typed text never crashes.
    if (!bytes.isEmpty()) {
        const auto lidos = TDecodificadorMedicao::LerHex(QString::fromLatin1(bytes.toHex(' ')));
        FuzzCheck(lidos && *lidos == bytes, "hex text reads back");
    }
    const QString texto = QString::fromUtf8(bytes);
    const auto digitados = TDecodificadorMedicao::LerHex(texto, &motivo);
    FuzzCheck(!digitados || (!digitados->isEmpty() && digitados->size() * 2 <= texto.size()),
              "bytes read from text are at most half its characters");
    return 0;
}
