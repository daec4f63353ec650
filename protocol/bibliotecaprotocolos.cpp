#include "protocol/bibliotecaprotocolos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "protocol/arquivoprotocolo.h"
#include "protocol/embutidos.h"

TBibliotecaProtocolos::TBibliotecaProtocolos(QString pastaUsuario)
    : FPasta(pastaUsuario.isEmpty() ? PastaPadrao() : std::move(pastaUsuario))
{
    Recarregar();
}

QList<TProtocolo> TBibliotecaProtocolos::Protocolos() const
{
    return Embutidos() + FUsuario;
}

std::optional<TProtocolo> TBibliotecaProtocolos::Procurar(const QString &id) const
{
    for (const TProtocolo &protocolo : Protocolos())
        if (protocolo.id.compare(id, Qt::CaseInsensitive) == 0)
            return protocolo;
    return std::nullopt;
}

QStringList TBibliotecaProtocolos::Erros() const
{
    return FErros;
}

QString TBibliotecaProtocolos::PastaPadrao()
{
    // The data folder of the Kestrova programs as a whole, so that the console and
    // orvanta-ctl read the same files whatever each one's application name.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kestrova/protocolos");
}

QList<TProtocolo> TBibliotecaProtocolos::Embutidos()
{
    return TEmbutidos::Todos();
}

void TBibliotecaProtocolos::Recarregar()
{
    QList<TProtocolo> lidos;
    QStringList erros;
    const QDir pasta(FPasta);
    const QFileInfoList arquivos =
        pasta.entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QFileInfo &arquivo : arquivos) {
        QString erro;
        std::optional<TProtocolo> protocolo = LerArquivo(arquivo.filePath(), &erro);
        if (protocolo && IdEmbutido(protocolo->id))
            erro = QStringLiteral("%1: o nome \"%2\" é de um protocolo embutido")
                       .arg(arquivo.filePath(), protocolo->id);
        if (protocolo && erro.isEmpty())
            lidos.append(*protocolo);
        else
            erros.append(erro);
    }
    FUsuario = lidos;
    FErros = erros;
}

std::optional<TProtocolo> TBibliotecaProtocolos::LerArquivo(const QString &caminho, QString *erro)
{
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly)) {
        if (erro)
            *erro =
                QStringLiteral("%1: não foi possível ler (%2)").arg(caminho, arquivo.errorString());
        return std::nullopt;
    }
    QString problema;
    const QString id = QFileInfo(caminho).completeBaseName().toLower();
    std::optional<TProtocolo> protocolo = TArquivoProtocolo::Ler(arquivo.readAll(), id, &problema);
    if (!protocolo && erro)
        *erro = QStringLiteral("%1: %2").arg(caminho, problema);
    return protocolo;
}

bool TBibliotecaProtocolos::Importar(const QString &caminho, QString *erro)
{
    const std::optional<TProtocolo> protocolo = LerArquivo(caminho, erro);
    if (!protocolo)
        return false;
    auto falhar = [&](const QString &texto) {
        if (erro)
            *erro = QStringLiteral("%1: %2").arg(caminho, texto);
        return false;
    };
    if (IdEmbutido(protocolo->id))
        return falhar(
            QStringLiteral("o nome \"%1\" é de um protocolo embutido").arg(protocolo->id));
    if (!QDir().mkpath(FPasta))
        return falhar(QStringLiteral("não foi possível criar a pasta %1").arg(FPasta));
    const QString destino = QDir(FPasta).filePath(protocolo->id + QStringLiteral(".json"));
    QSaveFile saida(destino);
    if (!saida.open(QIODevice::WriteOnly) ||
        saida.write(TArquivoProtocolo::Escrever(*protocolo)) < 0 || !saida.commit())
        return falhar(
            QStringLiteral("não foi possível gravar %1 (%2)").arg(destino, saida.errorString()));
    Recarregar();
    return true;
}

bool TBibliotecaProtocolos::IdEmbutido(const QString &id)
{
    for (const TProtocolo &embutido : TEmbutidos::Todos())
        if (embutido.id.compare(id, Qt::CaseInsensitive) == 0)
            return true;
    return id.compare(QStringLiteral("rampa"), Qt::CaseInsensitive) == 0;
}
