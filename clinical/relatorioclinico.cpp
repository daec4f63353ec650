#include "clinical/relatorioclinico.h"

#include <cmath>

#include "clinical/avaliacaoclinica.h"
#include "clinical/jsonclinico.h"

namespace {

using TLinha = TRelatorioSessao::TLinhaResultado;

QString Numero(double v, int casas = 1)
{
    return QString::number(v, 'f', casas);
}

QString Bpm(double bpm)
{
    return QStringLiteral("%1 bpm").arg(std::lround(bpm));
}

QString NaoDisponivel(const QString &motivo)
{
    return QStringLiteral("não disponível (%1)").arg(motivo);
}

// The value's text, or not available with its reason.
template <typename T, typename F>
QString Texto(const TResultado<T> &r, F formatar)
{
    return r.Disponivel() ? formatar(*r.valor) : NaoDisponivel(r.motivo);
}

// A yes-or-no flag, flagged when it holds.
TLinha Sinal(const QString &rotulo, const TResultado<bool> &r)
{
    return {rotulo,
            Texto(r, [](bool v) { return v ? QStringLiteral("sim") : QStringLiteral("não"); }),
            r.valor.value_or(false)};
}

// The recovery at 1, 2 and 3 min on one line, each minute not available with its reason.
TLinha Recuperacao(const TResultadosClinicos &r)
{
    TLinha linha{QStringLiteral("Recuperação da FC em 1, 2 e 3 min"), QString(),
                 r.recuperacaoFcBaixa.valor.value_or(false)};
    QStringList valores, faltas;
    for (int i = 0; i < 3; ++i) {
        const TResultado<int> &m = r.recuperacaoFc.at(i);
        valores << (m.Disponivel() ? QString::number(*m.valor) : QStringLiteral("-"));
        if (!m.Disponivel())
            faltas << QStringLiteral("%1 min: %2").arg(i + 1).arg(m.motivo);
    }
    if (faltas.size() == 3)  // the first minute's reason stands for all three
        linha.valor = NaoDisponivel(r.recuperacaoFc[0].motivo);
    else
        linha.valor = valores.join(QStringLiteral(", ")) + QStringLiteral(" bpm");
    if (linha.alerta)
        linha.valor += QStringLiteral(" (baixa em 1 min)");
    if (!faltas.isEmpty() && faltas.size() < 3)
        linha.valor += QStringLiteral(" (não disponível em ") + faltas.join(QStringLiteral("; ")) +
                       QLatin1Char(')');
    return linha;
}

QList<TLinha> Linhas(const TResultadosClinicos &r, const TSessao &s)
{
    QList<TLinha> linhas;
    linhas << TLinha{QStringLiteral("Tempo de exercício"),
                     Texto(r.exercicioMs, [](qint64 ms) { return TResumoSessao::Tempo(ms); })};
    linhas << TLinha{QStringLiteral("METs de pico"),
                     Texto(r.metsPico, [](double v) { return Numero(v); })};
    linhas << TLinha{QStringLiteral("VO2máx estimado"), Texto(r.vo2max, [&r](double v) {
                         return QStringLiteral("%1 ml/kg/min, %2").arg(Numero(v), r.metodoVo2max);
                     })};
    // Duke's entries are typed after the test: a score that lacks them (its reason names what
    // was "não informado") is not informed rather than not available.
    const QString &motivoDuke = r.escoreDuke.motivo;
    TLinha duke{QStringLiteral("Escore de Duke"),
                motivoDuke.contains(QStringLiteral("não informad"))
                    ? QStringLiteral("não informado (%1)").arg(motivoDuke)
                    : NaoDisponivel(motivoDuke)};
    if (r.escoreDuke.Disponivel() && r.faixaDuke.Disponivel()) {
        duke.valor =
            QStringLiteral("%1 (risco %2)")
                .arg(Numero(*r.escoreDuke.valor), TJsonClinico::NomeFaixaDuke(*r.faixaDuke.valor));
        duke.alerta = *r.faixaDuke.valor != TResultadosClinicos::TFaixaDuke::Baixo;
    }
    linhas << duke;
    const QString formula = s.formulaFcMaxima == TSessao::TFormulaFcMaxima::Tanaka
                                ? QStringLiteral("Tanaka")
                                : QStringLiteral("220 - idade");
    linhas << TLinha{QStringLiteral("FC máxima prevista"), Texto(r.fcMaximaPrevista, [&](double v) {
                         return QStringLiteral("%1 (%2)").arg(Bpm(v), formula);
                     })};
    linhas << TLinha{QStringLiteral("FC de pico"), Texto(r.fcPico, [&r](int v) {
                         QString t = Bpm(v);
                         if (r.fracaoFcPrevista.Disponivel())
                             t += QStringLiteral(" (%1 % da prevista)")
                                      .arg(std::lround(*r.fracaoFcPrevista.valor * 100));
                         return t;
                     })};
    linhas << TLinha{
        QStringLiteral("FC alvo (%1 %)").arg(s.percentualFcAlvo), Texto(r.fcAlvo, [&r](double v) {
            if (!r.fcAlvoAtingida.Disponivel())
                return Bpm(v);
            return QStringLiteral("%1, %2").arg(Bpm(v), *r.fcAlvoAtingida.valor
                                                            ? QStringLiteral("atingida")
                                                            : QStringLiteral("não atingida"));
        })};
    const bool cronotropicoBaixo = r.indiceCronotropicoBaixo.valor.value_or(false);
    linhas << TLinha{QStringLiteral("Índice cronotrópico"),
                     Texto(r.indiceCronotropico,
                           [&](double v) {
                               return Numero(v, 2) +
                                      (cronotropicoBaixo ? QStringLiteral(" (baixo)") : QString());
                           }),
                     cronotropicoBaixo};
    linhas << Recuperacao(r);
    QStringList repouso;
    if (s.fcRepouso)
        repouso << QStringLiteral("FC %1 bpm").arg(*s.fcRepouso);
    if (s.sistolicaRepouso && s.diastolicaRepouso)
        repouso
            << QStringLiteral("PA %1/%2 mmHg").arg(*s.sistolicaRepouso).arg(*s.diastolicaRepouso);
    linhas << TLinha{QStringLiteral("Repouso"), repouso.isEmpty()
                                                    ? QStringLiteral("não informado")
                                                    : repouso.join(QStringLiteral(", "))};
    linhas << TLinha{QStringLiteral("Duplo produto de pico"), Texto(r.duploProdutoPico, [](int v) {
                         return QStringLiteral("%1 bpm x mmHg").arg(v);
                     })};
    linhas << Sinal(QStringLiteral("PAS abaixo da de repouso no exercício"),
                    r.quedaSistolicaExercicio);
    linhas << Sinal(QStringLiteral("Aumento da PAS menor que 20 mmHg"), r.aumentoSistolicoBaixo);
    linhas << Sinal(QStringLiteral("Resposta hipertensiva"), r.respostaHipertensiva);
    return linhas;
}

}  // namespace

TRelatorioSessao::TDados TRelatorioClinico::Carregar(const TBancoSessoes &banco, qint64 sessaoId)
{
    TRelatorioSessao::TDados d = TRelatorioSessao::Carregar(banco, sessaoId);
    Completar(d);
    return d;
}

void TRelatorioClinico::Completar(TRelatorioSessao::TDados &d)
{
    const TResultadosClinicos r =
        TAvaliacaoClinica::Calcular(d.sessao, d.paciente, d.amostras, d.eventos);
    d.idade = r.idade.valor;
    d.resultados = Linhas(r, d.sessao);
    d.avisos.clear();
    for (const TResultadosClinicos::TAviso &a : r.avisos)
        d.avisos << QStringLiteral("%1 %2").arg(TResumoSessao::Tempo(a.tempoMs), a.texto);
    QList<TResumoEstagio> resumos;
    for (const TRelatorioSessao::TEstagio &e : d.estagios)
        resumos << e.resumo;
    const QList<TResultadosClinicos::TEstagio> comMets =
        TAvaliacaoClinica::MetsDosEstagios(resumos);
    for (qsizetype i = 0; i < d.estagios.size(); ++i) {
        TRelatorioSessao::TEstagio &e = d.estagios[i];
        e.mets = comMets.at(i).mets;
        // The product at the entry the row shows.
        for (const TResultadosClinicos::TDuploProduto &dp : r.duplosProdutos)
            if (e.resumo.pressaoSistolica && dp.tempoMs == e.resumo.pressaoMs &&
                dp.sistolica == e.resumo.pressaoSistolica && dp.valor.Disponivel())
                e.duploProduto = dp.valor.valor;
    }
}
