#include "protocol/bibliotecaprotocolos.h"

#include <QCoreApplication>
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
            erro = QCoreApplication::translate("TBibliotecaProtocolos",
                                               "%1: o nome \"%2\" é de um protocolo embutido")
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
            *erro = QCoreApplication::translate("TBibliotecaProtocolos",
                                                "%1: não foi possível ler (%2)")
                        .arg(caminho, arquivo.errorString());
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
        return falhar(QCoreApplication::translate("TBibliotecaProtocolos",
                                                  "o nome \"%1\" é de um protocolo embutido")
                          .arg(protocolo->id));
    if (!QDir().mkpath(FPasta))
        return falhar(QCoreApplication::translate("TBibliotecaProtocolos",
                                                  "não foi possível criar a pasta %1")
                          .arg(FPasta));
    QString problema;
    if (!GravarArquivo(Caminho(protocolo->id), TArquivoProtocolo::Escrever(*protocolo), &problema))
        return falhar(problema);
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

QString TBibliotecaProtocolos::IdDoNome(const QString &nome)
{
    QString id;
    bool separar = false;
    for (const QChar c : nome.normalized(QString::NormalizationForm_D).toLower()) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) {
            if (separar && !id.isEmpty())
                id += QLatin1Char('-');
            id += c;
            separar = false;
        } else {
            separar = true;
        }
    }
    return id.isEmpty() ? QStringLiteral("protocolo") : id;
}

QString TBibliotecaProtocolos::IdLivre(const QString &nome) const
{
    const QString base = IdDoNome(nome);
    QString id = base;
    for (int n = 2; IdEmbutido(id) || QFileInfo::exists(Caminho(id)); ++n)
        id = QStringLiteral("%1-%2").arg(base).arg(n);
    return id;
}

QString TBibliotecaProtocolos::Caminho(const QString &id) const
{
    return QDir(FPasta).filePath(id + QStringLiteral(".json"));
}

bool TBibliotecaProtocolos::GravarArquivo(const QString &caminho, const QByteArray &bytes,
                                          QString *erro)
{
    QSaveFile saida(caminho);
    if (saida.open(QIODevice::WriteOnly) && saida.write(bytes) == bytes.size() && saida.commit())
        return true;
    if (erro)
        *erro =
            QCoreApplication::translate("TBibliotecaProtocolos", "não foi possível gravar %1 (%2)")
                .arg(caminho, saida.errorString());
    return false;
}

bool TBibliotecaProtocolos::Gravar(const TProtocolo &protocolo, QString *erro)
{
    if (IdEmbutido(protocolo.id)) {
        if (erro)
            *erro = QCoreApplication::translate("TBibliotecaProtocolos",
                                                "o nome \"%1\" é de um protocolo embutido")
                        .arg(protocolo.id);
        return false;
    }
    if (!QDir().mkpath(FPasta)) {
        if (erro)
            *erro = QCoreApplication::translate("TBibliotecaProtocolos",
                                                "não foi possível criar a pasta %1")
                        .arg(FPasta);
        return false;
    }
    const bool gravado =
        GravarArquivo(Caminho(protocolo.id), TArquivoProtocolo::Escrever(protocolo), erro);
    Recarregar();
    return gravado;
}

bool TBibliotecaProtocolos::Excluir(const QString &id, QString *erro)
{
    QFile arquivo(Caminho(id));
    if (IdEmbutido(id) || !arquivo.remove()) {
        if (erro)
            *erro = QCoreApplication::translate("TBibliotecaProtocolos",
                                                "não foi possível excluir %1 (%2)")
                        .arg(arquivo.fileName(),
                             IdEmbutido(id) ? QCoreApplication::translate("TBibliotecaProtocolos",
                                                                          "protocolo embutido")
                                            : arquivo.errorString());
        return false;
    }
    Recarregar();
    return true;
}

bool TBibliotecaProtocolos::Renomear(const QString &id, const QString &nome, QString *novoId,
                                     QString *erro)
{
    std::optional<TProtocolo> protocolo = LerArquivo(Caminho(id), erro);
    if (!protocolo)
        return false;
    protocolo->nome = nome.trimmed();
    if (protocolo->nome.isEmpty()) {
        if (erro)
            *erro = QStringLiteral("\"nome\" ausente ou vazio");
        return false;
    }
    // The new file first, then the old one goes: a failure leaves the protocol where it was.
    const QString antigo = Caminho(id);
    protocolo->id = IdDoNome(nome) == id ? id : IdLivre(nome);
    if (!GravarArquivo(Caminho(protocolo->id), TArquivoProtocolo::Escrever(*protocolo), erro))
        return false;
    if (protocolo->id != id)
        QFile::remove(antigo);
    if (novoId)
        *novoId = protocolo->id;
    Recarregar();
    return true;
}

bool TBibliotecaProtocolos::Exportar(const TProtocolo &protocolo, const QString &caminho,
                                     QString *erro)
{
    return GravarArquivo(caminho, TArquivoProtocolo::Escrever(protocolo), erro);
}
