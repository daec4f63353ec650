#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include "session/registrossessao.h"

// Inserts samples and events of a session on an open connection, inside the caller's
// transaction: the recorder's batches and the side file read back at start-up use the same
// statements.
class TInsercaoRegistros {
public:
    explicit TInsercaoRegistros(const QSqlDatabase &banco);
    // false with *erro set to the reason.
    bool Inserir(qint64 sessaoId, const TRegistroSessao &registro, QString *erro);

private:
    bool InserirIntervalos(qint64 sessaoId, const TAmostraRegistro &amostra);

    QSqlQuery FAmostra, FEvento, FIntervalo, FSemIntervalos;
    QString FErroPreparo;
};
