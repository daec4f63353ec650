#include "tests/support/servidorpostgres.h"

#include <pwd.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>

namespace {

QString PastaDosProgramas()
{
    QDir raiz(QStringLiteral("/usr/lib/postgresql"));
    QStringList versoes = raiz.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(versoes.begin(), versoes.end(),
              [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    for (auto v = versoes.crbegin(); v != versoes.crend(); ++v)
        if (QFile::exists(raiz.filePath(*v + QStringLiteral("/bin/initdb"))))
            return raiz.filePath(*v + QStringLiteral("/bin"));
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    return initdb.isEmpty() ? QString() : QFileInfo(initdb).absolutePath();
}

// The server refuses to run as root: it runs as postgres (Debian's package makes that user).
QString UsuarioDoServidor()
{
    if (::geteuid() != 0)
        return QString();
    return ::getpwnam("postgres") ? QStringLiteral("postgres") : QStringLiteral("nobody");
}

}  // namespace

TServidorPostgres::TServidorPostgres() : FPasta(QDir::tempPath() + QStringLiteral("/kpg-XXXXXX"))
{
    FBin = PastaDosProgramas();
    // A socket's name is <folder>/.s.PGSQL.<port>: any number will do, nothing listens on TCP.
    FiPorta = 20000 + int(QRandomGenerator::global()->bounded(40000));
    qputenv("PGPASSWORD", kSenha);
}

TServidorPostgres::~TServidorPostgres()
{
    Parar();
}

QString TServidorPostgres::Indisponivel()
{
    if (PastaDosProgramas().isEmpty())
        return QStringLiteral(
            "PostgreSQL is not installed (Debian: postgresql); scripts/setup.sh "
            "test installs it");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QStringLiteral("Qt's PostgreSQL driver is not installed (libqt6sql6-psql)");
    return QString();
}

bool TServidorPostgres::Rodar(const QString &programa, const QStringList &argumentos,
                              QString *erro) const
{
    QProcess p;
    const QString usuario = UsuarioDoServidor();
    if (usuario.isEmpty())
        p.start(programa, argumentos);
    else
        p.start(QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), usuario, QStringLiteral("--"), programa} +
                    argumentos);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (erro)
            *erro = programa + QStringLiteral(": ") +
                    QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput());
        return false;
    }
    return true;
}

bool TServidorPostgres::Pg(const QStringList &argumentos, QString *erro) const
{
    const QString dados = FPasta.filePath(QStringLiteral("dados"));
    const QString opcoes = QStringLiteral("-c listen_addresses='' -k %1 -p %2 -c fsync=off")
                               .arg(FPasta.path())
                               .arg(FiPorta);
    return Rodar(
        FBin + QStringLiteral("/pg_ctl"),
        QStringList{QStringLiteral("-D"), dados, QStringLiteral("-w"), QStringLiteral("-t"),
                    QStringLiteral("30"), QStringLiteral("-o"), opcoes, QStringLiteral("-l"),
                    FPasta.filePath(QStringLiteral("servidor.log"))} +
            argumentos,
        erro);
}

bool TServidorPostgres::Iniciar(QString *erro)
{
    if (!FPasta.isValid()) {
        *erro = QStringLiteral("no temporary folder");
        return false;
    }
    const QString usuario = UsuarioDoServidor();
    if (!usuario.isEmpty() &&
        QProcess::execute(QStringLiteral("chown"), {usuario, FPasta.path()}) != 0) {
        *erro = QStringLiteral("chown %1 failed").arg(FPasta.path());
        return false;
    }
    const QString senha = FPasta.filePath(QStringLiteral("senha"));
    QFile arquivo(senha);
    if (!arquivo.open(QIODevice::WriteOnly) || arquivo.write(kSenha) < 0)
        return false;
    arquivo.close();
    if (!usuario.isEmpty())
        QProcess::execute(QStringLiteral("chown"), {usuario, senha});
    if (!Rodar(FBin + QStringLiteral("/initdb"),
               {QStringLiteral("-D"), FPasta.filePath(QStringLiteral("dados")),
                QStringLiteral("-U"), QLatin1String(kUsuario), QStringLiteral("--pwfile"), senha,
                QStringLiteral("--auth=scram-sha-256"), QStringLiteral("-E"),
                QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
               erro))
        return false;
    FbIniciado = Retomar();
    if (!FbIniciado)
        *erro = QStringLiteral("pg_ctl start failed");
    return FbIniciado;
}

bool TServidorPostgres::Parar()
{
    return FbIniciado &&
           Pg({QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("stop")}, nullptr);
}

bool TServidorPostgres::Retomar()
{
    QString erro;
    const bool ok = Pg({QStringLiteral("start")}, &erro);
    if (!ok)
        qWarning("%s", qPrintable(erro));
    return ok;
}

QString TServidorPostgres::Endereco(const QString &banco, const QString &usuario) const
{
    return QStringLiteral("postgresql://%1@/%2?host=%3&port=%4")
        .arg(usuario, banco, FPasta.path())
        .arg(FiPorta);
}

bool TServidorPostgres::Executar(const QString &banco, const QString &sql, QString *erro) const
{
    const QString nome = QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
        db.setHostName(FPasta.path());
        db.setPort(FiPorta);
        db.setUserName(QLatin1String(kUsuario));
        db.setPassword(QLatin1String(kSenha));
        db.setDatabaseName(banco);
        QSqlQuery q(db);
        ok = db.open() && q.exec(sql);
        if (!ok && erro)
            *erro = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
    }
    QSqlDatabase::removeDatabase(nome);
    return ok;
}

QString TServidorPostgres::NovoBanco(const QString &nome, QString *erro)
{
    return Executar(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(nome),
                    erro)
               ? Endereco(nome)
               : QString();
}
