#include "clinical/alertasclinicos.h"

#include <cmath>

#include "clinical/avaliacaoclinica.h"

namespace {

// A whole number as it is, otherwise with one decimal and a comma (Tanaka's 176,5 bpm).
QString Numero(double valor)
{
    if (valor == std::floor(valor))
        return QString::number(qint64(valor));
    return QString::number(valor, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

}  // namespace

// The warnings' texts are source texts, listed in textosclinicos.cpp, which translates them.
TResultado<double> TAlertasClinicos::LimiteFc(const TSessao &sessao, const TPaciente &paciente)
{
    if (sessao.fcLimite)
        return {double(*sessao.fcLimite), QString()};
    const TResultado<int> idade = TAvaliacaoClinica::Idade(sessao, paciente);
    if (!idade.Disponivel())
        return {std::nullopt, idade.motivo};
    return {TAvaliacaoClinica::FcMaximaPrevista(*idade.valor, sessao.formulaFcMaxima), QString()};
}

QStringList TAlertasClinicos::Avisos(const TMomento &m, const TResultado<double> &limiteFc)
{
    QStringList avisos;
    if (m.fc > 0 && limiteFc.Disponivel() && m.fc > *limiteFc.valor)
        avisos << QStringLiteral("FC %1 bpm acima do limite do teste (%2 bpm)")
                      .arg(m.fc)
                      .arg(Numero(*limiteFc.valor));
    if (!m.pressao)
        return avisos;
    if (m.pressao->sistolica > kSistolicaMaxima)
        avisos << QStringLiteral("PA sistólica %1 mmHg acima de %2 mmHg")
                      .arg(m.pressao->sistolica)
                      .arg(kSistolicaMaxima);
    if (m.pressao->diastolica > kDiastolicaMaxima)
        avisos << QStringLiteral("PA diastólica %1 mmHg acima de %2 mmHg")
                      .arg(m.pressao->diastolica)
                      .arg(kDiastolicaMaxima);
    if (m.exercicio && m.anterior &&
        m.anterior->sistolica - m.pressao->sistolica > kQuedaSistolicaMaxima)
        avisos << QStringLiteral(
                      "Queda da PA sistólica de %1 mmHg durante o exercício (%2 → %3 "
                      "mmHg)")
                      .arg(m.anterior->sistolica - m.pressao->sistolica)
                      .arg(m.anterior->sistolica)
                      .arg(m.pressao->sistolica);
    return avisos;
}
