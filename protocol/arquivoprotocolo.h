#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "kestrova_protocol_export.h"
#include "protocol/protocolo.h"

// The JSON file format of a user protocol (docs/protocols.md), version 1.
class KESTROVA_PROTOCOL_EXPORT TArquivoProtocolo {
public:
    static constexpr int kVersao = 1;
    static inline const char *const kFormato = "kestrova-protocolo";

    // Parses a file's bytes; id is the protocol's identifier (the file's base name). On a fault
    // returns std::nullopt and sets *erro to the first problem (without the file name).
    static std::optional<TProtocolo> Ler(const QByteArray &json, const QString &id, QString *erro);
    // The protocol as a file of the current version.
    static QByteArray Escrever(const TProtocolo &protocolo);
};
