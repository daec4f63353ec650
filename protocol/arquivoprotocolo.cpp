#include "protocol/arquivoprotocolo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "protocol/embutidos.h"
#include "protocol/faixaesteira.h"

namespace {

constexpr double kDuracaoMaximaS = 24 * 3600;

// The first problem found while reading, as a Portuguese sentence.
struct TFalhaLeitura {
    QString texto;
};

double Numero(const QJsonObject &objeto, const char *chave, const QString &onde)
{
    const QJsonValue valor = objeto.value(QLatin1String(chave));
    if (valor.isUndefined())
        throw TFalhaLeitura{QStringLiteral("%1: \"%2\" ausente").arg(onde, chave)};
    if (!valor.isDouble() || !std::isfinite(valor.toDouble()))
        throw TFalhaLeitura{QStringLiteral("%1: \"%2\" não é um número").arg(onde, chave)};
    return valor.toDouble();
}

double Velocidade(const QJsonObject &objeto, const char *chave, const QString &onde)
{
    const double v = Numero(objeto, chave, onde);
    if (v < 0 || v > TFaixaEsteira::kVelocidadeRecusada)
        throw TFalhaLeitura{QStringLiteral("%1: \"%2\" = %3 km/h fora da faixa da esteira "
                                           "(0 a %4)")
                                .arg(onde, chave)
                                .arg(v)
                                .arg(TFaixaEsteira::kVelocidadeRecusada)};
    return v;
}

double Inclinacao(const QJsonObject &objeto, const char *chave, const QString &onde)
{
    const double v = Numero(objeto, chave, onde);
    if (v < 0 || v > TFaixaEsteira::kInclinacaoRecusada)
        throw TFalhaLeitura{QStringLiteral("%1: \"%2\" = %3 % fora da faixa da esteira (0 a %4)")
                                .arg(onde, chave)
                                .arg(v)
                                .arg(TFaixaEsteira::kInclinacaoRecusada)};
    return v;
}

TPasso LerPasso(const QJsonValue &valor, const QString &onde)
{
    if (!valor.isObject())
        throw TFalhaLeitura{QStringLiteral("%1: não é um objeto").arg(onde)};
    const QJsonObject o = valor.toObject();
    const double segundos = Numero(o, "duracao_s", onde);
    if (segundos <= 0 || segundos > kDuracaoMaximaS)
        throw TFalhaLeitura{
            QStringLiteral("%1: \"duracao_s\" = %2 deve ser maior que 0 e até 86400")
                .arg(onde)
                .arg(segundos)};
    const qint64 ms = std::llround(segundos * 1000);
    const QString tipo = o.value(QLatin1String("tipo")).toString();
    if (tipo == QLatin1String("estagio"))
        return TPasso::Estagio(ms, Velocidade(o, "velocidade", onde),
                               Inclinacao(o, "inclinacao", onde));
    if (tipo == QLatin1String("rampa"))
        return TPasso::Rampa(ms, Velocidade(o, "velocidade_inicial", onde),
                             Inclinacao(o, "inclinacao_inicial", onde),
                             Velocidade(o, "velocidade_final", onde),
                             Inclinacao(o, "inclinacao_final", onde));
    throw TFalhaLeitura{QStringLiteral("%1: \"tipo\" deve ser \"estagio\" ou \"rampa\"").arg(onde)};
}

QList<TPasso> LerFase(const QJsonObject &raiz, const char *chave)
{
    const QJsonValue valor = raiz.value(QLatin1String(chave));
    if (!valor.isArray())
        throw TFalhaLeitura{QStringLiteral("\"%1\" deve ser uma lista de passos").arg(chave)};
    QList<TPasso> passos;
    const QJsonArray lista = valor.toArray();
    for (qsizetype i = 0; i < lista.size(); ++i)
        passos.append(LerPasso(lista.at(i), QStringLiteral("%1, passo %2").arg(chave).arg(i + 1)));
    return passos;
}

QString Texto(const QJsonObject &raiz, const char *chave)
{
    const QJsonValue valor = raiz.value(QLatin1String(chave));
    if (!valor.isUndefined() && !valor.isString())
        throw TFalhaLeitura{QStringLiteral("\"%1\" deve ser um texto").arg(chave)};
    return valor.toString();
}

TProtocolo LerRaiz(const QJsonObject &raiz, const QString &id)
{
    if (raiz.value(QLatin1String("formato")).toString() !=
        QLatin1String(TArquivoProtocolo::kFormato))
        throw TFalhaLeitura{QStringLiteral("\"formato\" deve ser \"%1\"")
                                .arg(QLatin1String(TArquivoProtocolo::kFormato))};
    const QJsonValue versao = raiz.value(QLatin1String("versao"));
    if (!versao.isDouble() || versao.toDouble() != TArquivoProtocolo::kVersao)
        throw TFalhaLeitura{QStringLiteral("versão %1 desconhecida (esta versão lê a %2)")
                                .arg(versao.isDouble() ? QString::number(versao.toDouble())
                                                       : QStringLiteral("ausente"))
                                .arg(TArquivoProtocolo::kVersao)};
    TProtocolo p;
    p.id = id;
    p.nome = Texto(raiz, "nome").trimmed();
    if (p.nome.isEmpty())
        throw TFalhaLeitura{QStringLiteral("\"nome\" ausente ou vazio")};
    p.descricao = Texto(raiz, "descricao");
    p.fonte = Texto(raiz, "fonte");
    if (raiz.contains(QLatin1String("aquecimento")))
        p.aquecimento = LerFase(raiz, "aquecimento");
    p.exercicio = LerFase(raiz, "exercicio");
    if (p.exercicio.isEmpty())
        throw TFalhaLeitura{QStringLiteral("a fase \"exercicio\" está vazia")};
    p.recuperacao = raiz.contains(QLatin1String("recuperacao")) ? LerFase(raiz, "recuperacao")
                                                                : TEmbutidos::RecuperacaoPadrao();
    return p;
}

QJsonObject PassoJson(const TPasso &passo)
{
    QJsonObject o{{"duracao_s", double(passo.duracaoMs) / 1000.0}};
    if (passo.tipo == TPasso::TTipo::Estagio) {
        o.insert("tipo", "estagio");
        o.insert("velocidade", passo.velocidadeInicial);
        o.insert("inclinacao", passo.inclinacaoInicial);
    } else {
        o.insert("tipo", "rampa");
        o.insert("velocidade_inicial", passo.velocidadeInicial);
        o.insert("inclinacao_inicial", passo.inclinacaoInicial);
        o.insert("velocidade_final", passo.velocidadeFinal);
        o.insert("inclinacao_final", passo.inclinacaoFinal);
    }
    return o;
}

QJsonArray FaseJson(const QList<TPasso> &passos)
{
    QJsonArray lista;
    for (const TPasso &passo : passos)
        lista.append(PassoJson(passo));
    return lista;
}

}  // namespace

std::optional<TProtocolo> TArquivoProtocolo::Ler(const QByteArray &json, const QString &id,
                                                 QString *erro)
{
    QJsonParseError falha;
    const QJsonDocument documento = QJsonDocument::fromJson(json, &falha);
    try {
        if (falha.error != QJsonParseError::NoError)
            throw TFalhaLeitura{QStringLiteral("JSON inválido na posição %1: %2")
                                    .arg(falha.offset)
                                    .arg(falha.errorString())};
        if (!documento.isObject())
            throw TFalhaLeitura{QStringLiteral("o arquivo deve conter um objeto JSON")};
        return LerRaiz(documento.object(), id);
    } catch (const TFalhaLeitura &f) {
        if (erro)
            *erro = f.texto;
        return std::nullopt;
    }
}

QByteArray TArquivoProtocolo::Escrever(const TProtocolo &protocolo)
{
    QJsonObject raiz{{"formato", QLatin1String(kFormato)},
                     {"versao", kVersao},
                     {"nome", protocolo.nome},
                     {"descricao", protocolo.descricao},
                     {"fonte", protocolo.fonte},
                     {"aquecimento", FaseJson(protocolo.aquecimento)},
                     {"exercicio", FaseJson(protocolo.exercicio)},
                     {"recuperacao", FaseJson(protocolo.recuperacao)}};
    return QJsonDocument(raiz).toJson(QJsonDocument::Indented);
}
