#include "session/arquivopendentes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool Sincronizar(QFile &arquivo)
{
#ifdef _WIN32
    return _commit(arquivo.handle()) == 0;
#else
    return ::fsync(arquivo.handle()) == 0;
#endif
}

QJsonObject Objeto(const TAmostraRegistro &a)
{
    return {{QStringLiteral("registro"), QStringLiteral("amostra")},
            {QStringLiteral("tempo_ms"), a.tempoMs},
            {QStringLiteral("estado"), a.estado},
            {QStringLiteral("fase"), a.fase},
            {QStringLiteral("estagio"), a.estagio},
            {QStringLiteral("velocidade_alvo"), a.velocidadeAlvo},
            {QStringLiteral("inclinacao_alvo"), a.inclinacaoAlvo},
            {QStringLiteral("velocidade_confirmada"), a.velocidadeConfirmada},
            {QStringLiteral("inclinacao_confirmada"), a.inclinacaoConfirmada},
            {QStringLiteral("link_ok"), a.linkOk},
            {QStringLiteral("fc"), a.frequenciaCardiaca},
            {QStringLiteral("fonte_fc"), a.fonteFc},
            {QStringLiteral("rr_ms"), QJsonArray::fromVariantList(QVariantList(
                                          a.intervalosRR.cbegin(), a.intervalosRR.cend()))}};
}

QJsonObject Objeto(const TEventoRegistro &e)
{
    return {{QStringLiteral("registro"), QStringLiteral("evento")},
            {QStringLiteral("tempo_ms"), e.tempoMs},
            {QStringLiteral("tipo"), e.tipo},
            {QStringLiteral("estado"), e.estado},
            {QStringLiteral("fase"), e.fase},
            {QStringLiteral("estagio"), e.estagio},
            {QStringLiteral("velocidade"), e.velocidade},
            {QStringLiteral("inclinacao"), e.inclinacao},
            {QStringLiteral("texto"), e.texto},
            {QStringLiteral("valor1"), e.valor1},
            {QStringLiteral("valor2"), e.valor2}};
}

TAmostraRegistro Amostra(const QJsonObject &o)
{
    TAmostraRegistro a;
    a.tempoMs = o.value(QStringLiteral("tempo_ms")).toInteger();
    a.estado = o.value(QStringLiteral("estado")).toInt();
    a.fase = o.value(QStringLiteral("fase")).toInt();
    a.estagio = o.value(QStringLiteral("estagio")).toInt();
    a.velocidadeAlvo = o.value(QStringLiteral("velocidade_alvo")).toDouble();
    a.inclinacaoAlvo = o.value(QStringLiteral("inclinacao_alvo")).toDouble();
    a.velocidadeConfirmada = o.value(QStringLiteral("velocidade_confirmada")).toDouble();
    a.inclinacaoConfirmada = o.value(QStringLiteral("inclinacao_confirmada")).toDouble();
    a.linkOk = o.value(QStringLiteral("link_ok")).toBool(true);
    a.frequenciaCardiaca = o.value(QStringLiteral("fc")).toInt();
    a.fonteFc = o.value(QStringLiteral("fonte_fc")).toString();
    for (const QJsonValue &rr : o.value(QStringLiteral("rr_ms")).toArray())
        a.intervalosRR << rr.toInt();
    return a;
}

TEventoRegistro Evento(const QJsonObject &o)
{
    TEventoRegistro e;
    e.tempoMs = o.value(QStringLiteral("tempo_ms")).toInteger();
    e.tipo = o.value(QStringLiteral("tipo")).toString();
    e.estado = o.value(QStringLiteral("estado")).toInt();
    e.fase = o.value(QStringLiteral("fase")).toInt();
    e.estagio = o.value(QStringLiteral("estagio")).toInt();
    e.velocidade = o.value(QStringLiteral("velocidade")).toDouble();
    e.inclinacao = o.value(QStringLiteral("inclinacao")).toDouble();
    e.texto = o.value(QStringLiteral("texto")).toString();
    e.valor1 = o.value(QStringLiteral("valor1")).toDouble();
    e.valor2 = o.value(QStringLiteral("valor2")).toDouble();
    return e;
}

}  // namespace

QString TArquivoPendentes::Caminho(const QString &caminhoBanco)
{
    return caminhoBanco + QStringLiteral(".pendentes");
}

QString TArquivoPendentes::CaminhoInvalidas(const QString &caminhoBanco)
{
    return Caminho(caminhoBanco) + QStringLiteral(".invalidas");
}

QByteArray TArquivoPendentes::Linha(qint64 sessaoId, const TRegistroSessao &registro)
{
    QJsonObject o = std::visit([](const auto &r) { return Objeto(r); }, registro);
    o.insert(QStringLiteral("sessao"), sessaoId);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<TArquivoPendentes::TPendente> TArquivoPendentes::Registro(const QByteArray &linha)
{
    QJsonParseError erro;
    const QJsonDocument documento = QJsonDocument::fromJson(linha, &erro);
    const QJsonObject o = documento.object();
    const QString tipo = o.value(QStringLiteral("registro")).toString();
    TPendente p;
    p.sessaoId = o.value(QStringLiteral("sessao")).toInteger();
    p.linha = linha;
    if (erro.error != QJsonParseError::NoError || p.sessaoId <= 0 ||
        !o.value(QStringLiteral("tempo_ms")).isDouble())
        return std::nullopt;
    if (tipo == QLatin1String("amostra"))
        p.registro = Amostra(o);
    else if (tipo == QLatin1String("evento") &&
             !o.value(QStringLiteral("tipo")).toString().isEmpty())
        p.registro = Evento(o);
    else
        return std::nullopt;
    return p;
}

bool TArquivoPendentes::Anexar(const QString &arquivo, qint64 sessaoId,
                               const std::vector<TRegistroSessao> &registros, QString *erro)
{
    QList<QByteArray> linhas;
    for (const TRegistroSessao &r : registros)
        linhas << Linha(sessaoId, r);
    return AnexarLinhas(arquivo, linhas, erro);
}

bool TArquivoPendentes::AnexarLinhas(const QString &arquivo, const QList<QByteArray> &linhas,
                                     QString *erro)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadWrite | QIODevice::Append)) {
        *erro = f.errorString();
        return false;
    }
    // A line cut short by an earlier failed write must not swallow the first one written now.
    QByteArray texto;
    char ultimo = '\n';
    if (f.size() > 0 && (!f.seek(f.size() - 1) || !f.getChar(&ultimo)))
        ultimo = 0;
    if (ultimo != '\n')
        texto += '\n';
    for (const QByteArray &linha : linhas)
        texto += linha + '\n';
    if (f.write(texto) != texto.size() || !f.flush()) {
        *erro = f.errorString();
        return false;
    }
    if (!Sincronizar(f)) {
        *erro = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

bool TArquivoPendentes::Ler(const QString &arquivo, TLeitura *leitura, QString *erro)
{
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly)) {
        *erro = f.errorString();
        return false;
    }
    for (const QByteArray &linha : f.readAll().split('\n')) {
        if (linha.trimmed().isEmpty())
            continue;
        if (std::optional<TPendente> p = Registro(linha))
            leitura->registros << *p;
        else
            leitura->invalidas << linha;
    }
    return true;
}
