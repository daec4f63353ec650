#include "clinical/relatorioclinico.h"

#include <QCoreApplication>
#include <cmath>

#include "clinical/avaliacaoclinica.h"
#include "clinical/textosclinicos.h"

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
    return QCoreApplication::translate("TRelatorioClinico", "não disponível (%1)")
        .arg(TTextosClinicos::Traduzir(motivo));
}

// The Duke band as the report names it; the JSON keeps its code (TJsonClinico::NomeFaixaDuke).
QString NomeFaixa(TResultadosClinicos::TFaixaDuke faixa)
{
    switch (faixa) {
        case TResultadosClinicos::TFaixaDuke::Baixo:
            return QCoreApplication::translate("TRelatorioClinico", "baixo");
        case TResultadosClinicos::TFaixaDuke::Alto:
            return QCoreApplication::translate("TRelatorioClinico", "alto");
        case TResultadosClinicos::TFaixaDuke::Moderado: break;
    }
    return QCoreApplication::translate("TRelatorioClinico", "moderado");
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
            Texto(r,
                  [](bool v) {
                      return v ? QCoreApplication::translate("TRelatorioClinico", "sim")
                               : QCoreApplication::translate("TRelatorioClinico", "não");
                  }),
            r.valor.value_or(false)};
}

// The recovery at 1, 2 and 3 min on one line, each minute not available with its reason.
TLinha Recuperacao(const TResultadosClinicos &r)
{
    TLinha linha{
        QCoreApplication::translate("TRelatorioClinico", "Recuperação da FC em 1, 2 e 3 min"),
        QString(), r.recuperacaoFcBaixa.valor.value_or(false)};
    QStringList valores, faltas;
    for (int i = 0; i < 3; ++i) {
        const TResultado<int> &m = r.recuperacaoFc.at(i);
        valores << (m.Disponivel() ? QString::number(*m.valor) : QStringLiteral("-"));
        if (!m.Disponivel())
            faltas << QCoreApplication::translate("TRelatorioClinico", "%1 min: %2")
                          .arg(i + 1)
                          .arg(TTextosClinicos::Traduzir(m.motivo));
    }
    if (faltas.size() == 3)  // the first minute's reason stands for all three
        linha.valor = NaoDisponivel(r.recuperacaoFc[0].motivo);
    else
        linha.valor = valores.join(QStringLiteral(", ")) + QStringLiteral(" bpm");
    if (linha.alerta)
        linha.valor += QCoreApplication::translate("TRelatorioClinico", " (baixa em 1 min)");
    if (!faltas.isEmpty() && faltas.size() < 3)
        linha.valor += QCoreApplication::translate("TRelatorioClinico", " (não disponível em %1)")
                           .arg(faltas.join(QStringLiteral("; ")));
    return linha;
}

QList<TLinha> Linhas(const TResultadosClinicos &r, const TSessao &s)
{
    QList<TLinha> linhas;
    linhas << TLinha{QCoreApplication::translate("TRelatorioClinico", "Tempo de exercício"),
                     Texto(r.exercicioMs, [](qint64 ms) { return TResumoSessao::Tempo(ms); })};
    linhas << TLinha{QCoreApplication::translate("TRelatorioClinico", "METs de pico"),
                     Texto(r.metsPico, [](double v) { return Numero(v); })};
    linhas << TLinha{QCoreApplication::translate("TRelatorioClinico", "VO2máx estimado"),
                     Texto(r.vo2max, [&r](double v) {
                         return QStringLiteral("%1 ml/kg/min, %2")
                             .arg(Numero(v), TTextosClinicos::Traduzir(r.metodoVo2max));
                     })};
    // Duke's entries are typed after the test: a score that lacks them (its reason names what
    // was "não informado") is not informed rather than not available. The reason is the
    // Portuguese source text whatever the language, so the test holds in English too.
    const QString &motivoDuke = r.escoreDuke.motivo;
    TLinha duke{QCoreApplication::translate("TRelatorioClinico", "Escore de Duke"),
                motivoDuke.contains(QStringLiteral("não informad"))
                    ? QCoreApplication::translate("TRelatorioClinico", "não informado (%1)")
                          .arg(TTextosClinicos::Traduzir(motivoDuke))
                    : NaoDisponivel(motivoDuke)};
    if (r.escoreDuke.Disponivel() && r.faixaDuke.Disponivel()) {
        duke.valor = QCoreApplication::translate("TRelatorioClinico", "%1 (risco %2)")
                         .arg(Numero(*r.escoreDuke.valor), NomeFaixa(*r.faixaDuke.valor));
        duke.alerta = *r.faixaDuke.valor != TResultadosClinicos::TFaixaDuke::Baixo;
    }
    linhas << duke;
    const QString formula = s.formulaFcMaxima == TSessao::TFormulaFcMaxima::Tanaka
                                ? QStringLiteral("Tanaka")
                                : QCoreApplication::translate("TRelatorioClinico", "220 - idade");
    linhas << TLinha{QCoreApplication::translate("TRelatorioClinico", "FC máxima prevista"),
                     Texto(r.fcMaximaPrevista, [&](double v) {
                         return QStringLiteral("%1 (%2)").arg(Bpm(v), formula);
                     })};
    linhas << TLinha{QCoreApplication::translate("TRelatorioClinico", "FC de pico"),
                     Texto(r.fcPico, [&r](int v) {
                         QString t = Bpm(v);
                         if (r.fracaoFcPrevista.Disponivel())
                             t += QCoreApplication::translate("TRelatorioClinico",
                                                              " (%1 % da prevista)")
                                      .arg(std::lround(*r.fracaoFcPrevista.valor * 100));
                         return t;
                     })};
    linhas << TLinha{
        QCoreApplication::translate("TRelatorioClinico", "FC alvo (%1 %)").arg(s.percentualFcAlvo),
        Texto(r.fcAlvo, [&r](double v) {
            if (!r.fcAlvoAtingida.Disponivel())
                return Bpm(v);
            return (*r.fcAlvoAtingida.valor
                        ? QCoreApplication::translate("TRelatorioClinico", "%1, atingida")
                        : QCoreApplication::translate("TRelatorioClinico", "%1, não atingida"))
                .arg(Bpm(v));
        })};
    const bool cronotropicoBaixo = r.indiceCronotropicoBaixo.valor.value_or(false);
    linhas << TLinha{QCoreApplication::translate("TRelatorioClinico", "Índice cronotrópico"),
                     Texto(r.indiceCronotropico,
                           [&](double v) {
                               return Numero(v, 2) + (cronotropicoBaixo
                                                          ? QCoreApplication::translate(
                                                                "TRelatorioClinico", " (baixo)")
                                                          : QString());
                           }),
                     cronotropicoBaixo};
    linhas << Recuperacao(r);
    QStringList repouso;
    if (s.fcRepouso)
        repouso << QCoreApplication::translate("TRelatorioClinico", "FC %1 bpm").arg(*s.fcRepouso);
    if (s.sistolicaRepouso && s.diastolicaRepouso)
        repouso << QCoreApplication::translate("TRelatorioClinico", "PA %1/%2 mmHg")
                       .arg(*s.sistolicaRepouso)
                       .arg(*s.diastolicaRepouso);
    linhas << TLinha{QCoreApplication::translate("TRelatorioClinico", "Repouso"),
                     repouso.isEmpty()
                         ? QCoreApplication::translate("TRelatorioClinico", "não informado")
                         : repouso.join(QStringLiteral(", "))};
    linhas << TLinha{
        QCoreApplication::translate("TRelatorioClinico", "Duplo produto de pico"),
        Texto(r.duploProdutoPico, [](int v) { return QStringLiteral("%1 bpm x mmHg").arg(v); })};
    linhas << Sinal(
        QCoreApplication::translate("TRelatorioClinico", "PAS abaixo da de repouso no exercício"),
        r.quedaSistolicaExercicio);
    linhas << Sinal(
        QCoreApplication::translate("TRelatorioClinico", "Aumento da PAS menor que 20 mmHg"),
        r.aumentoSistolicoBaixo);
    linhas << Sinal(QCoreApplication::translate("TRelatorioClinico", "Resposta hipertensiva"),
                    r.respostaHipertensiva);
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
        d.avisos << QStringLiteral("%1 %2").arg(TResumoSessao::Tempo(a.tempoMs),
                                                TTextosClinicos::Traduzir(a.texto));
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
