#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "kestrova_protocol_export.h"
#include "protocol/protocolo.h"

// The built-in protocols and the user's JSON files (one per protocol, in
// AppDataLocation/protocolos). A refused file is listed in Erros() and nothing else is lost.
class KESTROVA_PROTOCOL_EXPORT TBibliotecaProtocolos {
public:
    explicit TBibliotecaProtocolos(QString pastaUsuario = {});  // empty: the default folder

    QList<TProtocolo> Protocolos() const;  // built-ins first, then user files
    std::optional<TProtocolo> Procurar(const QString &id) const;
    QStringList Erros() const;  // one message per refused file, naming the file and the problem
    QString PastaUsuario() const { return FPasta; }
    // Reads the user folder again.
    void Recarregar();

    // Reads a file from anywhere; returns the protocol, or std::nullopt with *erro set.
    static std::optional<TProtocolo> LerArquivo(const QString &caminho, QString *erro);
    // Copies a valid file into the user folder; refused (with *erro) when it is not valid or its
    // identifier is a built-in's.
    bool Importar(const QString &caminho, QString *erro);

    static QString PastaPadrao();
    static QList<TProtocolo> Embutidos();

    // The name is a built-in's (or the ramp generator's) and cannot be a user file's.
    static bool IdEmbutido(const QString &id);

private:
    QString FPasta;
    QList<TProtocolo> FUsuario;
    QStringList FErros;
};
