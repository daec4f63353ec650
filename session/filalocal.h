#pragma once

#include <QSqlDatabase>
#include <QString>

#include <vector>
#include "kestrova_session_export.h"

#include "session/dialetobanco.h"
#include "session/enderecobanco.h"
#include "session/registrossessao.h"

// A station's local spool for a server database: a SQLite file in the user's data folder, one
// per station and server, where a recorder commits each batch before it goes to the server. Its
// rows are numbered in the order they were committed and forwarded in that order, exactly once:
// the server keeps, in the same transaction as the rows it took, the last number it took from
// this spool (filas_encaminhadas), so a retry after a commit whose reply was lost skips what had
// arrived. A connection belongs to the thread that opened the spool.
class KESTROVA_SESSION_EXPORT TFilaLocal {
public:
    // GenericDataLocation/kestrova/fila-<station>-<server's hash>.sqlite
    static QString CaminhoPara(const TEnderecoBanco &servidor, const QString &estacao);

    TFilaLocal(const QString &caminho, const QString &estacao, const QString &nomeConexao);
    ~TFilaLocal();
    TFilaLocal(const TFilaLocal &) = delete;
    TFilaLocal &operator=(const TFilaLocal &) = delete;

    // Creates the file and its table when missing. false with *erro set.
    bool Abrir(QString *erro);
    QString Caminho() const { return FCaminho; }
    // Commits the records in one transaction; *ultimo is then the number of the last one.
    bool Anexar(qint64 sessaoId, const std::vector<TRegistroSessao> &registros, qint64 *ultimo,
                QString *erro);
    // Rows waiting for the server (-1 when the spool cannot be read).
    qint64 Pendentes() const;
    // Sends up to `limite` rows, the oldest first, to the open connection `servidor` in one
    // transaction, then removes them here. The number of the last row taken (0: the spool was
    // empty), or -1 with *erro set. Rows of a session the server does not have, and rows that
    // are not a record, are kept in the spool's side file for invalid lines instead.
    qint64 Encaminhar(const QSqlDatabase &servidor, int limite, QString *erro);

private:
    struct TLinha {
        qint64 numero = 0;
        qint64 sessaoId = 0;
        QByteArray texto;
    };
    QList<TLinha> LerLinhas(int limite, QString *erro) const;
    bool EnviarLinhas(const QSqlDatabase &servidor, const QList<TLinha> &linhas,
                      QList<QByteArray> *invalidas, QString *erro);
    qint64 UltimoRecebido(const QSqlDatabase &servidor, QString *erro) const;

    QString FCaminho, FEstacao, FConexao, FIdentidade;
};
