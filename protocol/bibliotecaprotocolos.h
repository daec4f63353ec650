#pragma once

#include <QByteArray>
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

    // A file's identifier made of a shown name: lower case, accents dropped, every run of other
    // characters a '-' ("Naughton adaptado" -> "naughton-adaptado").
    static QString IdDoNome(const QString &nome);
    // IdDoNome, with "-2", "-3"... added while it is taken by a built-in or a file of the folder.
    QString IdLivre(const QString &nome) const;
    // The file of a user protocol in the folder (whether or not it exists).
    QString Caminho(const QString &id) const;
    // Writes bytes to a file atomically (QSaveFile: a temporary file renamed over it), so a
    // killed program leaves the old file or the new one, never a part.
    static bool GravarArquivo(const QString &caminho, const QByteArray &bytes, QString *erro);
    // A user protocol's file written to the folder as <id>.json.
    bool Gravar(const TProtocolo &protocolo, QString *erro);
    // Removes a user protocol's file. Recorded sessions keep their own copy of the protocol's
    // name and steps, so they read as before.
    bool Excluir(const QString &id, QString *erro);
    // Gives a user protocol a new name and the file a new identifier (IdLivre); *novoId is set.
    bool Renomear(const QString &id, const QString &nome, QString *novoId, QString *erro);
    // Writes a protocol (a built-in too) as a file of the current format anywhere.
    static bool Exportar(const TProtocolo &protocolo, const QString &caminho, QString *erro);

private:
    QString FPasta;
    QList<TProtocolo> FUsuario;
    QStringList FErros;
};
