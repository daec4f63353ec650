#include "protocol/faixaesteira.h"

#include <QCoreApplication>
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

// The largest multiple of quantum not above limite.
double Piso(double limite, double quantum)
{
    return std::floor(limite / quantum + 1e-6) * quantum;
}

}  // namespace

double TFaixaEsteira::VelocidadeEnviada(double velocidade, double limite)
{
    double v = AjustarVelocidade(velocidade);
    if (v > 0)
        v = std::min(v, Piso(limite, kPassoVelocidade));
    return QuantizarVelocidade(v);
}

double TFaixaEsteira::InclinacaoEnviada(double inclinacao, double limite)
{
    return QuantizarInclinacao(
        std::min(AjustarInclinacao(inclinacao), Piso(limite, kPassoInclinacao)));
}

bool TFaixaEsteira::LimiteDeVelocidadeValido(double limite)
{
    return limite >= kVelocidadeMinima - 1e-9;
}

namespace {

void Verificar(QStringList &linhas, const QString &onde, double velocidade, double inclinacao,
               const TUnidadeVelocidade &u)
{
    // The protocol's value, and the board's limits, in the unit shown.
    const QString v = u.Mph() ? u.Numero(velocidade) : QString::number(velocidade, 'f', 1);
    const QString s = u.Simbolo(), minima = u.Numero(TFaixaEsteira::kVelocidadeMinima),
                  maxima = u.Numero(TFaixaEsteira::kVelocidadeMaxima);
    if (velocidade > 0 && velocidade < TFaixaEsteira::kVelocidadeMinima)
        linhas << QCoreApplication::translate("TFaixaEsteira",
                                              "%1: velocidade %2 %3 abaixo de %4 %3 (sobe para %4)")
                      .arg(onde, v, s, minima);
    if (velocidade > TFaixaEsteira::kVelocidadeMaxima)
        linhas << QCoreApplication::translate("TFaixaEsteira",
                                              "%1: velocidade %2 %3 acima de %4 %3 (limitada a %4)")
                      .arg(onde, v, s, maxima);
    if (inclinacao > TFaixaEsteira::kInclinacaoMaxima)
        linhas << QCoreApplication::translate("TFaixaEsteira",
                                              "%1: inclinação %2 % acima de 25 % (limitada a 25)")
                      .arg(onde, QString::number(inclinacao, 'f', 1));
}

// A ramp between a stop and a moving speed passes through the speeds below 1.5 km/h even when
// neither end is one of them: the board runs them at 1.5.
void VerificarTravessia(QStringList &linhas, const QString &onde, double de, double ate,
                        const TUnidadeVelocidade &u)
{
    const double baixa = std::min(de, ate), alta = std::max(de, ate);
    const double meio = TFaixaEsteira::kPassoVelocidade / 2;
    const auto abaixo = [&](double v) { return v > 0 && v < TFaixaEsteira::kVelocidadeMinima; };
    if (abaixo(de) || abaixo(ate))
        return;  // already listed at its end
    if (baixa < meio && alta > TFaixaEsteira::kVelocidadeMinima - meio)
        linhas << QCoreApplication::translate(
                      "TFaixaEsteira",
                      "%1: rampa passa por velocidades abaixo de %2 %3 (sobem para %2)")
                      .arg(onde, u.Numero(TFaixaEsteira::kVelocidadeMinima), u.Simbolo());
}

}  // namespace

QStringList TFaixaEsteira::LimitacoesDoPasso(const TPasso &passo, const QString &onde,
                                             const TUnidadeVelocidade &unidade)
{
    QStringList linhas;
    Verificar(linhas, onde, passo.velocidadeInicial, passo.inclinacaoInicial, unidade);
    if (passo.tipo != TPasso::TTipo::Rampa)
        return linhas;
    Verificar(linhas, onde, passo.velocidadeFinal, passo.inclinacaoFinal, unidade);
    VerificarTravessia(linhas, onde, passo.velocidadeInicial, passo.velocidadeFinal, unidade);
    return linhas;
}

QStringList TFaixaEsteira::Limitacoes(const TProtocolo &protocolo,
                                      const TUnidadeVelocidade &unidade)
{
    QStringList linhas;
    for (const TEtapaProtocolo &etapa : protocolo.Etapas())
        linhas += LimitacoesDoPasso(
            etapa.passo,
            QCoreApplication::translate("TFaixaEsteira", "Estágio %1").arg(etapa.estagio), unidade);
    return linhas;
}
