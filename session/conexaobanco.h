#pragma once

#include <QSqlError>
#include <QString>

#include "kestrova_session_export.h"
#include "session/enderecobanco.h"

// Opens the connection `nome` to the address, on the calling thread (a Qt SQL connection belongs
// to the thread that opened it). false with *erro set to the operator's reason. On PostgreSQL a
// server gone away fails within seconds (connect and TCP time-outs, keep-alives), and the
// session's time zone is the station's, for the dates the browser shows.
KESTROVA_SESSION_EXPORT bool AbrirConexao(const TEnderecoBanco &endereco, const QString &nome,
                                          QString *erro);
// Opens the connection `nome` again after it stopped answering, with the same settings.
KESTROVA_SESSION_EXPORT bool Reconectar(const QString &nome, QString *erro);
// Closes and removes the connection `nome`, if there is one.
KESTROVA_SESSION_EXPORT void FecharConexao(const QString &nome);
// Whether the open connection `nome` still answers (a server restart drops it silently).
KESTROVA_SESSION_EXPORT bool ConexaoResponde(const QString &nome);
// The reason a server refused, in the operator's words (unreachable, authentication failed, no
// such database, permission denied), followed by the server's own text.
KESTROVA_SESSION_EXPORT QString MotivoServidor(const QSqlError &erro);
