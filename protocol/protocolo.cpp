#include "protocol/protocolo.h"

qint64 TProtocolo::DuracaoTotalMs() const
{
    qint64 total = 0;
    for (const TFase fase : {TFase::Aquecimento, TFase::Exercicio, TFase::Recuperacao})
        for (const TPasso &passo : Passos(fase))
            total += passo.duracaoMs;
    return total;
}

QList<TEtapaProtocolo> TProtocolo::Etapas() const
{
    QList<TEtapaProtocolo> etapas;
    qint64 inicio = 0;
    for (const TFase fase : {TFase::Aquecimento, TFase::Exercicio, TFase::Recuperacao}) {
        for (const TPasso &passo : Passos(fase)) {
            etapas.append({passo, fase, int(etapas.size()) + 1, inicio});
            inicio += passo.duracaoMs;
        }
    }
    return etapas;
}

const QList<TPasso> &TProtocolo::Passos(TFase fase) const
{
    switch (fase) {
        case TFase::Aquecimento: return aquecimento;
        case TFase::Exercicio: return exercicio;
        case TFase::Recuperacao: break;
    }
    return recuperacao;
}

void TProtocolo::TrocarRecuperacao(qint64 duracaoMs, double velocidade, double inclinacao)
{
    recuperacao.clear();
    if (duracaoMs > 0)
        recuperacao.append(TPasso::Estagio(duracaoMs, velocidade, inclinacao));
}
