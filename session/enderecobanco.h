#pragma once

#include <QString>
#include <optional>

#include "kestrova_session_export.h"

// Where the sessions are kept: a SQLite file (any path), or a PostgreSQL server given as
// postgresql://user@host:port/dbname (a socket folder as ?host=/folder; ?port= and ?sslmode=
// too). The password is never part of the address: libpq
// takes it from ~/.pgpass or PGPASSWORD, so it is neither stored in the settings nor printed.
class KESTROVA_SESSION_EXPORT TEnderecoBanco {
public:
    enum class TMotor { SQLite, PostgreSQL };

    // nullopt with *erro set for an address that cannot be used (a password in it, no database
    // name, a bad port, an unknown parameter, an empty text).
    static std::optional<TEnderecoBanco> Ler(const QString &texto, QString *erro);

    TMotor Motor() const { return FMotor; }
    bool Servidor() const { return FMotor == TMotor::PostgreSQL; }
    // The address as the settings keep it and the operator reads it: the absolute file path, or
    // the server's address without any password.
    QString Texto() const { return FTexto; }
    // SQLite: the file.
    QString Arquivo() const { return FArquivo; }
    // PostgreSQL: the parts given (empty or -1 where libpq's default applies).
    QString Usuario() const { return FUsuario; }
    QString Hospedeiro() const { return FHospedeiro; }
    int Porta() const { return FiPorta; }
    QString NomeBanco() const { return FNomeBanco; }
    QString ModoSsl() const { return FModoSsl; }

private:
    static std::optional<TEnderecoBanco> LerServidor(const QString &texto, QString *erro);

    TMotor FMotor = TMotor::SQLite;
    QString FTexto, FArquivo, FUsuario, FHospedeiro, FNomeBanco, FModoSsl;
    int FiPorta = -1;
};
