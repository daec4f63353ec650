#include "clinical/jsonclinico.h"

#include <QJsonArray>
#include <cmath>

namespace {

double Arredondar(double valor, int casas)
{
    const double escala = std::pow(10.0, casas);
    return std::round(valor * escala) / escala;
}

// Writes a result under its key, or null with its reason under "motivos".
class TEscrita {
public:
    explicit TEscrita(QJsonObject &objeto) : FObjeto(objeto) {}

    template <typename T, typename F>
    void Escrever(const QString &chave, const TResultado<T> &r, F converter)
    {
        if (r.Disponivel()) {
            FObjeto.insert(chave, converter(*r.valor));
        } else {
            FObjeto.insert(chave, QJsonValue::Null);
            FMotivos.insert(chave, r.motivo);
        }
    }
    void Numero(const QString &chave, const TResultado<double> &r, int casas)
    {
        Escrever(chave, r, [casas](double v) { return QJsonValue(Arredondar(v, casas)); });
    }
    void Inteiro(const QString &chave, const TResultado<int> &r)
    {
        Escrever(chave, r, [](int v) { return QJsonValue(v); });
    }
    void Sinal(const QString &chave, const TResultado<bool> &r)
    {
        Escrever(chave, r, [](bool v) { return QJsonValue(v); });
    }
    void Terminar() { FObjeto.insert(QStringLiteral("motivos"), FMotivos); }

private:
    QJsonObject &FObjeto;
    QJsonObject FMotivos;
};

}  // namespace

QJsonObject TJsonClinico::Converter(const TResultadosClinicos &r)
{
    QJsonObject o;
    TEscrita w(o);
    w.Escrever(QStringLiteral("tempo_exercicio_s"), r.exercicioMs,
               [](qint64 ms) { return QJsonValue(ms / 1000.0); });
    w.Numero(QStringLiteral("mets_pico"), r.metsPico, 1);
    w.Numero(QStringLiteral("vo2max_estimado"), r.vo2max, 1);
    o.insert(QStringLiteral("metodo_vo2max"), r.metodoVo2max);
    w.Inteiro(QStringLiteral("idade"), r.idade);
    w.Numero(QStringLiteral("fc_maxima_prevista"), r.fcMaximaPrevista, 1);
    w.Numero(QStringLiteral("fc_alvo"), r.fcAlvo, 1);
    w.Inteiro(QStringLiteral("fc_pico"), r.fcPico);
    w.Numero(QStringLiteral("fracao_fc_prevista"), r.fracaoFcPrevista, 3);
    w.Sinal(QStringLiteral("fc_alvo_atingida"), r.fcAlvoAtingida);
    w.Numero(QStringLiteral("indice_cronotropico"), r.indiceCronotropico, 2);
    w.Sinal(QStringLiteral("indice_cronotropico_baixo"), r.indiceCronotropicoBaixo);
    for (int i = 0; i < 3; ++i)
        w.Inteiro(QStringLiteral("recuperacao_fc_%1min").arg(i + 1), r.recuperacaoFc.at(i));
    w.Sinal(QStringLiteral("recuperacao_fc_1min_baixa"), r.recuperacaoFcBaixa);
    w.Inteiro(QStringLiteral("duplo_produto_pico"), r.duploProdutoPico);
    w.Sinal(QStringLiteral("queda_sistolica_exercicio"), r.quedaSistolicaExercicio);
    w.Sinal(QStringLiteral("aumento_sistolico_baixo"), r.aumentoSistolicoBaixo);
    w.Sinal(QStringLiteral("resposta_hipertensiva"), r.respostaHipertensiva);
    w.Numero(QStringLiteral("escore_duke"), r.escoreDuke, 1);
    w.Escrever(QStringLiteral("faixa_duke"), r.faixaDuke,
               [](TResultadosClinicos::TFaixaDuke f) { return QJsonValue(NomeFaixaDuke(f)); });
    w.Terminar();

    QJsonArray duplos;
    for (const TResultadosClinicos::TDuploProduto &d : r.duplosProdutos) {
        QJsonObject item{{QStringLiteral("tempo_s"), d.tempoMs / 1000.0},
                         {QStringLiteral("sistolica_mmhg"), d.sistolica}};
        TEscrita wd(item);
        wd.Inteiro(QStringLiteral("fc_bpm"), d.fc);
        wd.Inteiro(QStringLiteral("duplo_produto"), d.valor);
        wd.Terminar();
        duplos << item;
    }
    o.insert(QStringLiteral("duplos_produtos"), duplos);
    QJsonArray estagios;
    for (const TResultadosClinicos::TEstagio &e : r.estagios)
        estagios << QJsonObject{{QStringLiteral("estagio"), e.estagio.estagio},
                                {QStringLiteral("fase"), e.estagio.fase},
                                {QStringLiteral("inicio_s"), e.estagio.inicioMs / 1000.0},
                                {QStringLiteral("fim_s"), e.estagio.fimMs / 1000.0},
                                {QStringLiteral("velocidade_kmh"), e.estagio.velocidade},
                                {QStringLiteral("inclinacao_pct"), e.estagio.inclinacao},
                                {QStringLiteral("mets"), Arredondar(e.mets, 1)}};
    o.insert(QStringLiteral("estagios"), estagios);
    QJsonArray avisos;
    for (const TResultadosClinicos::TAviso &a : r.avisos)
        avisos << QJsonObject{{QStringLiteral("tempo_s"), a.tempoMs / 1000.0},
                              {QStringLiteral("texto"), a.texto}};
    o.insert(QStringLiteral("avisos"), avisos);
    return o;
}

QString TJsonClinico::NomeFaixaDuke(TResultadosClinicos::TFaixaDuke faixa)
{
    switch (faixa) {
        case TResultadosClinicos::TFaixaDuke::Baixo: return QStringLiteral("baixo");
        case TResultadosClinicos::TFaixaDuke::Alto: return QStringLiteral("alto");
        case TResultadosClinicos::TFaixaDuke::Moderado: break;
    }
    return QStringLiteral("moderado");
}
