#include "session/conexaobanco.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimeZone>

#include "session/dialetobanco.h"
#include "session/motivoerro.h"

namespace {

// Short enough that a pulled cable is noticed while a test runs, long enough for a busy LAN.
const char kOpcoesServidor[] =
    "connect_timeout=5;keepalives=1;keepalives_idle=5;keepalives_interval=2;keepalives_count=3;"
    "tcp_user_timeout=10000;application_name=kestrova";

bool Contem(const QString &texto, std::initializer_list<const char *> trechos)
{
    for (const char *t : trechos)
        if (texto.contains(QString::fromUtf8(t), Qt::CaseInsensitive))
            return true;
    return false;
}

}  // namespace

bool AbrirConexao(const TEnderecoBanco &e, const QString &nome, QString *erro)
{
    QSqlDatabase banco = QSqlDatabase::addDatabase(TDialetoBanco::Driver(e.Motor()), nome);
    if (!banco.isValid()) {
        *erro = e.Servidor()
                    ? QCoreApplication::translate("TConexaoBanco",
                                                  "o suporte a PostgreSQL não está instalado "
                                                  "(pacote libqt6sql6-psql)")
                    : QCoreApplication::translate("TConexaoBanco",
                                                  "o suporte a SQLite não está instalado");
        return false;
    }
    if (!e.Servidor()) {
        banco.setDatabaseName(e.Arquivo());
        banco.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (banco.open())
            return true;
        *erro = MotivoErro(banco.lastError());
        return false;
    }
    banco.setDatabaseName(e.NomeBanco());
    banco.setHostName(e.Hospedeiro());
    banco.setUserName(e.Usuario());
    banco.setPort(e.Porta());
    QString opcoes = QString::fromLatin1(kOpcoesServidor);
    if (!e.ModoSsl().isEmpty())
        opcoes += QStringLiteral(";sslmode=") + e.ModoSsl();
    banco.setConnectOptions(opcoes);
    return Reconectar(nome, erro);
}

bool Reconectar(const QString &nome, QString *erro)
{
    QSqlDatabase banco = QSqlDatabase::database(nome, false);
    banco.close();
    if (!banco.open()) {
        *erro = banco.driverName() == QLatin1String("QPSQL") ? MotivoServidor(banco.lastError())
                                                             : MotivoErro(banco.lastError());
        return false;
    }
    if (banco.driverName() != QLatin1String("QPSQL"))
        return true;
    QSqlQuery q(banco);
    q.exec(QStringLiteral("SET client_min_messages = warning"));
    QString zona = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    if (!zona.isEmpty())  // a zone the server does not know leaves the server's own
        q.exec(
            QStringLiteral("SET TIME ZONE '%1'").arg(zona.replace(QLatin1Char('\''), QString())));
    return true;
}

void FecharConexao(const QString &nome)
{
    if (!QSqlDatabase::contains(nome))
        return;
    QSqlDatabase::database(nome, false).close();
    QSqlDatabase::removeDatabase(nome);
}

bool ConexaoResponde(const QString &nome)
{
    QSqlDatabase banco = QSqlDatabase::database(nome, false);
    return banco.isOpen() && QSqlQuery(banco).exec(QStringLiteral("SELECT 1"));
}

QString MotivoServidor(const QSqlError &erro)
{
    const QString texto = MotivoErro(erro);
    const QString codigo = erro.nativeErrorCode();
    QString motivo;
    if (codigo.startsWith(QLatin1String("28")) ||
        Contem(texto, {"password authentication failed", "no password supplied", "autenticação",
                       "authentication failed"}))
        motivo =
            QCoreApplication::translate("TConexaoBanco",
                                        "autenticação recusada: confira o usuário e a senha em "
                                        "~/.pgpass ou PGPASSWORD");
    else if (codigo == QLatin1String("3D000") || (Contem(texto, {"does not exist", "não existe"}) &&
                                                  Contem(texto, {"database", "banco"})))
        motivo =
            QCoreApplication::translate("TConexaoBanco", "o banco de dados não existe no servidor");
    else if (codigo == QLatin1String("42501") || Contem(texto, {"permission denied", "permissão"}))
        motivo = QCoreApplication::translate("TConexaoBanco", "permissão negada a este usuário");
    else if (Contem(texto,
                    {"could not connect", "connection refused", "no such file",
                     "could not translate host", "timeout expired", "server closed",
                     "não foi possível conectar", "conexão recusada", "terminating connection",
                     "no connection to the server", "connection to server"}))
        motivo = QCoreApplication::translate("TConexaoBanco", "servidor inacessível");
    else
        return texto;
    return motivo + QStringLiteral(" (") + texto.simplified() + QStringLiteral(")");
}
