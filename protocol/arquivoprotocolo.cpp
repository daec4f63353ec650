#include "protocol/arquivoprotocolo.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "protocol/embutidos.h"
#include "protocol/regrasprotocolo.h"

namespace {

// The first problem found while reading, as a Portuguese sentence (TRegrasProtocolo's).
struct TFalhaLeitura {
    QString texto;
};

void Recusar(const QString &problema)
{
    if (!problema.isEmpty())
        throw TFalhaLeitura{problema};
}

double Numero(const QJsonObject &objeto, const QString &chave, const QString &onde)
{
    const QJsonValue valor = objeto.value(chave);
    if (valor.isUndefined())
        throw TFalhaLeitura{TRegrasProtocolo::Ausente(onde, chave)};
    if (!valor.isDouble() || !std::isfinite(valor.toDouble()))
        throw TFalhaLeitura{TRegrasProtocolo::NaoNumero(onde, chave)};
    return valor.toDouble();
}

double Velocidade(const QJsonObject &objeto, const QString &chave, const QString &onde)
{
    const double v = Numero(objeto, chave, onde);
    Recusar(TRegrasProtocolo::Velocidade(onde, chave, v));
    return v;
}

double Inclinacao(const QJsonObject &objeto, const QString &chave, const QString &onde)
{
    const double v = Numero(objeto, chave, onde);
    Recusar(TRegrasProtocolo::Inclinacao(onde, chave, v));
    return v;
}

TPasso LerPasso(const QJsonValue &valor, const QString &onde)
{
    if (!valor.isObject())
        throw TFalhaLeitura{
            QCoreApplication::translate("TArquivoProtocolo", "%1: não é um objeto").arg(onde)};
    const QJsonObject o = valor.toObject();
    const double segundos = Numero(o, QStringLiteral("duracao_s"), onde);
    Recusar(TRegrasProtocolo::Duracao(onde, segundos));
    const qint64 ms = TRegrasProtocolo::DuracaoMs(segundos);
    const QString tipo = o.value(QLatin1String("tipo")).toString();
    // Read one by one, in the file's order: a function's arguments have no order of
    // evaluation, and the first problem reported must be the same with every compiler.
    const bool rampa = tipo == QLatin1String("rampa");
    if (!rampa && tipo != QLatin1String("estagio"))
        throw TFalhaLeitura{
            QCoreApplication::translate("TArquivoProtocolo",
                                        "%1: \"tipo\" deve ser \"estagio\" ou \"rampa\"")
                .arg(onde)};
    const TPasso::TTipo t = rampa ? TPasso::TTipo::Rampa : TPasso::TTipo::Estagio;
    const double vi = Velocidade(o, TRegrasProtocolo::ChaveVelocidade(t, false), onde);
    const double ii = Inclinacao(o, TRegrasProtocolo::ChaveInclinacao(t, false), onde);
    if (!rampa)
        return TPasso::Estagio(ms, vi, ii);
    const double vf = Velocidade(o, TRegrasProtocolo::ChaveVelocidade(t, true), onde);
    const double inf = Inclinacao(o, TRegrasProtocolo::ChaveInclinacao(t, true), onde);
    return TPasso::Rampa(ms, vi, ii, vf, inf);
}

QList<TPasso> LerFase(const QJsonObject &raiz, TFase fase)
{
    const QString chave = TRegrasProtocolo::ChaveFase(fase);
    const QJsonValue valor = raiz.value(chave);
    if (!valor.isArray())
        throw TFalhaLeitura{
            QCoreApplication::translate("TArquivoProtocolo", "\"%1\" deve ser uma lista de passos")
                .arg(chave)};
    QList<TPasso> passos;
    const QJsonArray lista = valor.toArray();
    for (qsizetype i = 0; i < lista.size(); ++i)
        passos.append(LerPasso(lista.at(i), TRegrasProtocolo::Onde(fase, int(i))));
    return passos;
}

QString Texto(const QJsonObject &raiz, const char *chave)
{
    const QJsonValue valor = raiz.value(QLatin1String(chave));
    if (!valor.isUndefined() && !valor.isString())
        throw TFalhaLeitura{
            QCoreApplication::translate("TArquivoProtocolo", "\"%1\" deve ser um texto")
                .arg(chave)};
    return valor.toString();
}

TProtocolo LerRaiz(const QJsonObject &raiz, const QString &id)
{
    if (raiz.value(QLatin1String("formato")).toString() !=
        QLatin1String(TArquivoProtocolo::kFormato))
        throw TFalhaLeitura{
            QCoreApplication::translate("TArquivoProtocolo", "\"formato\" deve ser \"%1\"")
                .arg(QLatin1String(TArquivoProtocolo::kFormato))};
    const QJsonValue versao = raiz.value(QLatin1String("versao"));
    if (!versao.isDouble() || versao.toDouble() != TArquivoProtocolo::kVersao)
        throw TFalhaLeitura{QCoreApplication::translate(
                                "TArquivoProtocolo", "versão %1 desconhecida (esta versão lê a %2)")
                                .arg(versao.isDouble() ? QString::number(versao.toDouble())
                                                       : QCoreApplication::translate(
                                                             "TArquivoProtocolo", "ausente"))
                                .arg(TArquivoProtocolo::kVersao)};
    TProtocolo p;
    p.id = id;
    p.nome = Texto(raiz, "nome").trimmed();
    Recusar(TRegrasProtocolo::Nome(p.nome));
    p.descricao = Texto(raiz, "descricao");
    p.fonte = Texto(raiz, "fonte");
    if (raiz.contains(QLatin1String("aquecimento")))
        p.aquecimento = LerFase(raiz, TFase::Aquecimento);
    p.exercicio = LerFase(raiz, TFase::Exercicio);
    Recusar(TRegrasProtocolo::ExercicioVazio(int(p.exercicio.size())));
    p.recuperacao = raiz.contains(QLatin1String("recuperacao")) ? LerFase(raiz, TFase::Recuperacao)
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
            throw TFalhaLeitura{
                QCoreApplication::translate("TArquivoProtocolo", "JSON inválido na posição %1: %2")
                    .arg(falha.offset)
                    .arg(falha.errorString())};
        if (!documento.isObject())
            throw TFalhaLeitura{QCoreApplication::translate(
                "TArquivoProtocolo", "o arquivo deve conter um objeto JSON")};
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
