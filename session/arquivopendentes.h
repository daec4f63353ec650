#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "session/registrossessao.h"

// The side file beside the database ("<database>.pendentes") that keeps the records a recorder
// could not commit before its session ended: one JSON object per line with the session id, the
// kind of record ("amostra", "evento") and every field, appended and synced to disk.
// TBancoSessoes::Abrir reads it back into the database.
class TArquivoPendentes {
public:
    struct TPendente {
        qint64 sessaoId = 0;
        TRegistroSessao registro;
        QByteArray linha;  // as read
    };
    struct TLeitura {
        QList<TPendente> registros;
        QList<QByteArray> invalidas;  // lines that are not a record, as read
    };

    static QString Caminho(const QString &caminhoBanco);
    // Where the lines that could not be read back are kept.
    static QString CaminhoInvalidas(const QString &caminhoBanco);

    static bool Anexar(const QString &arquivo, qint64 sessaoId,
                       const std::vector<TRegistroSessao> &registros, QString *erro);
    // Appends lines (each without its line end) and syncs the file.
    static bool AnexarLinhas(const QString &arquivo, const QList<QByteArray> &linhas,
                             QString *erro);
    static bool Ler(const QString &arquivo, TLeitura *leitura, QString *erro);

    static QByteArray Linha(qint64 sessaoId, const TRegistroSessao &registro);
    // nullopt for a line that is not a whole record.
    static std::optional<TPendente> Registro(const QByteArray &linha);
};
