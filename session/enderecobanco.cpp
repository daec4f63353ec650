#include "session/enderecobanco.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

std::optional<TEnderecoBanco> TEnderecoBanco::Ler(const QString &texto, QString *erro)
{
    const QString t = texto.trimmed();
    if (t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
        t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive))
        return LerServidor(t, erro);
    if (t.isEmpty()) {
        *erro = QCoreApplication::translate("TEnderecoBanco",
                                            "informe um arquivo ou um endereço postgresql://");
        return std::nullopt;
    }
    TEnderecoBanco e;
    e.FArquivo = e.FTexto = QFileInfo(t).absoluteFilePath();
    return e;
}

std::optional<TEnderecoBanco> TEnderecoBanco::LerServidor(const QString &texto, QString *erro)
{
    const QUrl url(texto, QUrl::StrictMode);
    const auto falha = [&](const QString &motivo) {
        *erro = motivo;
        return std::nullopt;
    };
    if (!url.isValid())
        return falha(
            QCoreApplication::translate("TEnderecoBanco", "endereço do servidor inválido: %1")
                .arg(url.errorString()));
    if (!url.password().isEmpty())
        return falha(QCoreApplication::translate(
            "TEnderecoBanco",
            "a senha não pode ir no endereço do banco: guarde-a no arquivo ~/.pgpass ou na "
            "variável PGPASSWORD"));
    TEnderecoBanco e;
    e.FMotor = TMotor::PostgreSQL;
    e.FUsuario = url.userName();
    e.FHospedeiro = url.host(QUrl::FullyDecoded);
    e.FiPorta = url.port(-1);
    e.FNomeBanco = url.path(QUrl::FullyDecoded).mid(1);
    const QUrlQuery consulta(url);
    for (const auto &[chave, valor] : consulta.queryItems(QUrl::FullyDecoded)) {
        if (chave == QLatin1String("host")) {
            e.FHospedeiro = valor;
        } else if (chave == QLatin1String("port")) {
            bool ok = false;
            e.FiPorta = valor.toInt(&ok);
            if (!ok)
                e.FiPorta = 0;
        } else if (chave == QLatin1String("sslmode")) {
            e.FModoSsl = valor;
        } else {
            return falha(QCoreApplication::translate(
                             "TEnderecoBanco", "parâmetro desconhecido no endereço do banco: %1")
                             .arg(chave));
        }
    }
    if (e.FiPorta == 0 || e.FiPorta > 65535)
        return falha(
            QCoreApplication::translate("TEnderecoBanco", "porta inválida no endereço do banco"));
    if (e.FNomeBanco.isEmpty() || e.FNomeBanco.contains(QLatin1Char('/')))
        return falha(QCoreApplication::translate(
            "TEnderecoBanco",
            "falta o nome do banco no endereço: postgresql://usuário@servidor:porta/banco"));
    e.FTexto = url.toString(QUrl::RemovePassword);
    return e;
}
