#include "session/motivoerro.h"

#include <QCoreApplication>

QString MotivoErro(const QSqlError &erro, const QSqlError &reserva, const QString &padrao)
{
    for (const QSqlError &e : {erro, reserva})
        if (const QString texto = e.text().trimmed(); !texto.isEmpty())
            return texto;
    return padrao;
}

QString MotivoConfirmacao(const QSqlError &erro)
{
    return MotivoErro(erro, QSqlError(),
                      QCoreApplication::translate("MotivoErro", "a transação não foi confirmada"));
}
