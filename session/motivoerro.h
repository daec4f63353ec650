#pragma once

#include <QSqlError>
#include <QString>

// The reason given to the operator for a database operation that failed: the text of the first of
// the two errors that has one, else `padrao`. A driver can fail without setting any error (a
// commit on a connection that is not open, for one), and a message must never end empty.
QString MotivoErro(
    const QSqlError &erro, const QSqlError &reserva = QSqlError(),
    const QString &padrao = QStringLiteral("o banco de dados não informou o motivo"));

// The reason for a commit that failed.
QString MotivoConfirmacao(const QSqlError &erro);
