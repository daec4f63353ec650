#include "protocol/faixaesteira.h"

#include <algorithm>
#include <cmath>

#include "protocol/protocolo.h"

double TFaixaEsteira::QuantizarVelocidade(double velocidade)
{
    return std::round(velocidade / kPassoVelocidade) * kPassoVelocidade;
}

double TFaixaEsteira::QuantizarInclinacao(double inclinacao)
{
    return std::round(inclinacao / kPassoInclinacao) * kPassoInclinacao;
}

double TFaixaEsteira::AjustarVelocidade(double velocidade)
{
    if (!(velocidade > 0))
        return 0;
    return std::clamp(velocidade, kVelocidadeMinima, kVelocidadeMaxima);
}

double TFaixaEsteira::AjustarInclinacao(double inclinacao)
{
    if (!(inclinacao > 0))
        return 0;
    return std::min(inclinacao, kInclinacaoMaxima);
}

namespace {

void Verificar(QStringList &linhas, const QString &onde, double velocidade, double inclinacao)
{
    const QString v = QString::number(velocidade, 'f', 1);
    if (velocidade > 0 && velocidade < TFaixaEsteira::kVelocidadeMinima)
        linhas << QStringLiteral("%1: velocidade %2 km/h abaixo de 1.5 km/h (sobe para 1.5)")
                      .arg(onde, v);
    if (velocidade > TFaixaEsteira::kVelocidadeMaxima)
        linhas << QStringLiteral("%1: velocidade %2 km/h acima de 18.0 km/h (limitada a 18.0)")
                      .arg(onde, v);
    if (inclinacao > TFaixaEsteira::kInclinacaoMaxima)
        linhas << QStringLiteral("%1: inclinação %2 % acima de 25 % (limitada a 25)")
                      .arg(onde, QString::number(inclinacao, 'f', 1));
}

}  // namespace

QStringList TFaixaEsteira::Limitacoes(const TProtocolo &protocolo)
{
    QStringList linhas;
    for (const TEtapaProtocolo &etapa : protocolo.Etapas()) {
        const QString onde = QStringLiteral("Estágio %1").arg(etapa.estagio);
        Verificar(linhas, onde, etapa.passo.velocidadeInicial, etapa.passo.inclinacaoInicial);
        if (etapa.passo.tipo == TPasso::TTipo::Rampa)
            Verificar(linhas, onde, etapa.passo.velocidadeFinal, etapa.passo.inclinacaoFinal);
    }
    return linhas;
}
