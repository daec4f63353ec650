#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the test's own: initdb into a temporary folder and pg_ctl start with
// only a Unix socket in that folder (no TCP port to clash), run as the postgres user (or nobody)
// when the test runs as root, stopped and removed at the end. One superuser, "kestrova", with a
// password that PGPASSWORD carries for the test process.
class TServidorPostgres {
public:
    static constexpr const char *kUsuario = "kestrova";
    static constexpr const char *kSenha = "senha-de-teste";

    TServidorPostgres();
    ~TServidorPostgres();
    TServidorPostgres(const TServidorPostgres &) = delete;
    TServidorPostgres &operator=(const TServidorPostgres &) = delete;

    // Why a server cannot be started here (no PostgreSQL installed); empty when it can.
    static QString Indisponivel();
    // initdb and start; false with *erro set.
    bool Iniciar(QString *erro);
    // pg_ctl stop -m immediate: as a server that crashed or lost its cable.
    bool Parar();
    bool Retomar();
    // A new empty database, and its address for --database.
    QString NovoBanco(const QString &nome, QString *erro = nullptr);
    QString Endereco(const QString &banco, const QString &usuario = QLatin1String(kUsuario)) const;
    // Runs SQL as the superuser on `banco`; false with *erro set.
    bool Executar(const QString &banco, const QString &sql, QString *erro = nullptr) const;

private:
    bool Rodar(const QString &programa, const QStringList &argumentos, QString *erro) const;
    bool Pg(const QStringList &argumentos, QString *erro) const;

    QTemporaryDir FPasta;
    QString FBin;
    int FiPorta = 0;
    bool FbIniciado = false;
};
