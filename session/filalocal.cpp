#include "session/filalocal.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>
#include <QVariant>

#include "session/arquivopendentes.h"
#include "session/conexaobanco.h"
#include "session/insercaoregistros.h"
#include "session/motivoerro.h"

namespace {

QString SemSimbolos(const QString &texto)
{
    QString limpo;
    for (const QChar c : texto)
        limpo += c.isLetterOrNumber() || c == QLatin1Char('-') ? c : QLatin1Char('_');
    return limpo.left(40);
}

// SQLITE_BUSY (5) and SQLITE_LOCKED (6), with or without their extended codes.
bool Travado(const QSqlError &erro)
{
    const int codigo = erro.nativeErrorCode().toInt() & 0xff;
    return codigo == 5 || codigo == 6;
}

constexpr int kTentativasAbrir = 100;
constexpr int kEsperaTravadoMs = 20;

}  // namespace

QString TFilaLocal::CaminhoPara(const TEnderecoBanco &servidor, const QString &estacao)
{
    // Host, port and database name the server; the user does not change where rows go.
    const QByteArray quem = QStringLiteral("%1|%2|%3")
                                .arg(servidor.Hospedeiro())
                                .arg(servidor.Porta())
                                .arg(servidor.NomeBanco())
                                .toUtf8();
    const QString resumo = QString::fromLatin1(
        QCryptographicHash::hash(quem, QCryptographicHash::Sha1).toHex().left(12));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kestrova/fila-%1-%2.sqlite").arg(SemSimbolos(estacao), resumo);
}

TFilaLocal::TFilaLocal(const QString &caminho, const QString &estacao, const QString &nomeConexao)
    : FCaminho(caminho), FEstacao(estacao), FConexao(nomeConexao)
{
}

TFilaLocal::~TFilaLocal()
{
    FecharConexao(FConexao);
}

bool TFilaLocal::Abrir(QString *erro)
{
    const auto falhou = [&](const QString &detalhe) {
        *erro =
            QCoreApplication::translate(
                "TFilaLocal", "Não foi possível abrir a fila local de registros: %1\nArquivo: %2")
                .arg(detalhe, QDir::toNativeSeparators(FCaminho));
        FecharConexao(FConexao);
        return false;
    };
    if (!QDir().mkpath(QFileInfo(FCaminho).absolutePath()))
        return falhou(
            QCoreApplication::translate("TFilaLocal", "sem permissão de escrita na pasta"));
    QString detalhe;
    TEnderecoBanco arquivo = *TEnderecoBanco::Ler(FCaminho, &detalhe);
    if (!AbrirConexao(arquivo, FConexao, &detalhe))
        return falhou(detalhe);
    QSqlQuery q(QSqlDatabase::database(FConexao, false));
    // synchronous=FULL: a committed batch survives a power cut, as the records it stands for.
    const auto preparar = [&] {
        return q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) &&
               q.exec(QStringLiteral("PRAGMA synchronous=FULL")) &&
               q.exec(QStringLiteral(
                   "CREATE TABLE IF NOT EXISTS registros (numero INTEGER PRIMARY KEY"
                   " AUTOINCREMENT, sessao_id INTEGER NOT NULL, linha BLOB NOT NULL)")) &&
               q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS identidade (id INTEGER PRIMARY "
                                     "KEY, fila TEXT NOT NULL)")) &&
               q.exec(QStringLiteral("INSERT OR IGNORE INTO identidade (id, fila) VALUES (1, '%1')")
                          .arg(QUuid::createUuid().toString(QUuid::WithoutBraces))) &&
               q.exec(QStringLiteral("SELECT fila FROM identidade WHERE id = 1")) && q.next();
    };
    // The recorder and the forwarder open the same spool at once. SQLite refuses a journal mode
    // switch or a schema write racing another connection's at once ("database is locked"),
    // without waiting its busy time-out: such a refusal is tried again, not reported.
    bool ok = preparar();
    for (int tentativa = 0; !ok && tentativa < kTentativasAbrir && Travado(q.lastError());
         ++tentativa) {
        QThread::msleep(kEsperaTravadoMs);
        ok = preparar();
    }
    if (!ok)
        return falhou(MotivoErro(q.lastError()));
    FIdentidade = q.value(0).toString();
    return true;
}

bool TFilaLocal::Anexar(qint64 sessaoId, const std::vector<TRegistroSessao> &registros,
                        qint64 *ultimo, QString *erro)
{
    QSqlDatabase banco = QSqlDatabase::database(FConexao, false);
    if (!banco.isOpen() || !banco.transaction()) {
        *erro =
            MotivoErro(banco.lastError(), QSqlError(),
                       QCoreApplication::translate("TFilaLocal", "a fila local não está aberta"));
        return false;
    }
    QSqlQuery q(banco);
    q.prepare(QStringLiteral("INSERT INTO registros (sessao_id, linha) VALUES (?, ?)"));
    for (const TRegistroSessao &r : registros) {
        q.addBindValue(sessaoId);
        q.addBindValue(TArquivoPendentes::Linha(sessaoId, r));
        if (!q.exec()) {
            *erro = MotivoErro(q.lastError());
            banco.rollback();
            return false;
        }
        *ultimo = q.lastInsertId().toLongLong();
    }
    if (!banco.commit()) {
        *erro = MotivoConfirmacao(banco.lastError());
        banco.rollback();
        return false;
    }
    return true;
}

qint64 TFilaLocal::Pendentes() const
{
    QSqlQuery q(QSqlDatabase::database(FConexao, false));
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM registros")) && q.next()
               ? q.value(0).toLongLong()
               : -1;
}

QList<TFilaLocal::TLinha> TFilaLocal::LerLinhas(int limite, QString *erro) const
{
    QSqlQuery q(QSqlDatabase::database(FConexao, false));
    q.setForwardOnly(true);
    QList<TLinha> linhas;
    if (!q.exec(QStringLiteral("SELECT numero, sessao_id, linha FROM registros ORDER BY numero"
                               " LIMIT %1")
                    .arg(limite))) {
        *erro = MotivoErro(q.lastError());
        return linhas;
    }
    while (q.next())
        linhas << TLinha{q.value(0).toLongLong(), q.value(1).toLongLong(),
                         q.value(2).toByteArray()};
    return linhas;
}

qint64 TFilaLocal::Encaminhar(const QSqlDatabase &servidor, int limite, QString *erro)
{
    erro->clear();
    const QList<TLinha> linhas = LerLinhas(limite, erro);
    if (!erro->isEmpty())
        return -1;
    if (linhas.isEmpty())
        return 0;
    QList<QByteArray> invalidas;
    if (!EnviarLinhas(servidor, linhas, &invalidas, erro))
        return -1;
    // Taken by the server: what is left here is skipped by the next try, so a failure to remove
    // it costs nothing but a second look.
    const qint64 ultimo = linhas.last().numero;
    QSqlQuery(QSqlDatabase::database(FConexao, false))
        .exec(QStringLiteral("DELETE FROM registros WHERE numero <= %1").arg(ultimo));
    if (!invalidas.isEmpty()) {
        QString detalhe;
        TArquivoPendentes::AnexarLinhas(TArquivoPendentes::CaminhoInvalidas(FCaminho), invalidas,
                                        &detalhe);
    }
    return ultimo;
}

qint64 TFilaLocal::UltimoRecebido(const QSqlDatabase &servidor, QString *erro) const
{
    const TDialetoBanco dialeto = TDialetoBanco::Da(servidor);
    QSqlQuery q(servidor);
    q.prepare(dialeto.Substituir(
        QStringLiteral("filas_encaminhadas"),
        {QStringLiteral("fila"), QStringLiteral("estacao"), QStringLiteral("ultimo")},
        {QStringLiteral("fila")}, true));
    q.addBindValue(FIdentidade);
    q.addBindValue(FEstacao);
    q.addBindValue(0);
    QSqlQuery ultimo(servidor);
    ultimo.prepare(QStringLiteral("SELECT ultimo FROM filas_encaminhadas WHERE fila = ?") +
                   (dialeto.Servidor() ? QStringLiteral(" FOR UPDATE") : QString()));
    ultimo.addBindValue(FIdentidade);
    if (!q.exec() || !ultimo.exec() || !ultimo.next()) {
        *erro = MotivoErro(q.lastError(), ultimo.lastError());
        return -1;
    }
    return ultimo.value(0).toLongLong();
}

bool TFilaLocal::EnviarLinhas(const QSqlDatabase &servidor, const QList<TLinha> &linhas,
                              QList<QByteArray> *invalidas, QString *erro)
{
    QSqlDatabase banco = servidor;
    if (!banco.transaction()) {
        *erro = MotivoErro(
            banco.lastError(), QSqlError(),
            QCoreApplication::translate("TFilaLocal", "a transação não pôde ser iniciada"));
        return false;
    }
    const auto desfazer = [&](const QString &detalhe) {
        *erro = detalhe;
        banco.rollback();
        return false;
    };
    const qint64 recebido = UltimoRecebido(banco, erro);
    if (recebido < 0)
        return desfazer(*erro);
    TInsercaoRegistros insercao(banco);
    QHash<qint64, bool> existe;
    QSqlQuery sessao(banco);
    sessao.prepare(QStringLiteral("SELECT 1 FROM sessoes WHERE id = ?"));
    for (const TLinha &l : linhas) {
        if (l.numero <= recebido)
            continue;
        if (!existe.contains(l.sessaoId)) {
            sessao.addBindValue(l.sessaoId);
            if (!sessao.exec())
                return desfazer(MotivoErro(sessao.lastError()));
            existe.insert(l.sessaoId, sessao.next());
        }
        const std::optional<TArquivoPendentes::TPendente> p = TArquivoPendentes::Registro(l.texto);
        if (!p || !existe.value(l.sessaoId)) {
            *invalidas << l.texto;
            continue;
        }
        if (!insercao.Inserir(l.sessaoId, p->registro, erro))
            return desfazer(*erro);
    }
    QSqlQuery marca(banco);
    marca.prepare(QStringLiteral("UPDATE filas_encaminhadas SET ultimo = ? WHERE fila = ?"));
    marca.addBindValue(linhas.last().numero);
    marca.addBindValue(FIdentidade);
    if (!marca.exec())
        return desfazer(MotivoErro(marca.lastError()));
    if (!banco.commit())
        return desfazer(MotivoConfirmacao(banco.lastError()));
    return true;
}
