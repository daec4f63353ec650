#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <QStringList>
#include "kestrova_session_export.h"

#include "session/enderecobanco.h"

// What SQLite and PostgreSQL say differently, in one place: the schema is written once in
// SQLite's words and translated here; the rest are the statements whose form differs.
class KESTROVA_SESSION_EXPORT TDialetoBanco {
public:
    explicit TDialetoBanco(TEnderecoBanco::TMotor motor = TEnderecoBanco::TMotor::SQLite)
        : FMotor(motor)
    {
    }
    bool Servidor() const { return FMotor == TEnderecoBanco::TMotor::PostgreSQL; }
    static QString Driver(TEnderecoBanco::TMotor motor);
    // The dialect of an open connection.
    static TDialetoBanco Da(const QSqlDatabase &banco);

    // A CREATE or ALTER statement in SQLite's words for this engine: on PostgreSQL the row ids
    // come from the server (identity columns), INTEGER is 64-bit and REAL double precision.
    QString Esquema(const QString &comando) const;
    // An insert that replaces the row with the same key (INSERT OR REPLACE, or ON CONFLICT), or
    // with `manter` keeps the row there is.
    QString Substituir(const QString &tabela, const QStringList &colunas, const QStringList &chave,
                       bool manter = false) const;
    // The id of the row an INSERT made: appended to the statement, and read after exec.
    QString RetornarId() const;
    qint64 IdInserido(QSqlQuery &q) const;

    // The schema version kept in the database (0 for an empty one); false when it cannot be
    // read (the file is not a database).
    bool LerVersao(const QSqlDatabase &banco, int *versao, QSqlError *erro) const;
    QStringList GravarVersao(int versao) const;

    // The sessions browser's columns: the start in local time and the duration as m:ss.
    QString DataLocal(const QString &coluna) const;
    QString Duracao(const QString &colunaMs) const;

private:
    TEnderecoBanco::TMotor FMotor;
};
