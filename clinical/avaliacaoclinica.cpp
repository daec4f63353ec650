#include "clinical/avaliacaoclinica.h"

#include <algorithm>
#include <cmath>

#include "clinical/alertasclinicos.h"
#include "clinical/equacoesmetabolicas.h"
#include "clinical/idade.h"
#include "session/resumosessao.h"

namespace {

// The runner's phases and its stopped and completed states (TFase, TEstadoExecucao in
// protocol/) as the session stores them.
constexpr int kExercicio = 1, kRecuperacao = 2;
constexpr int kEstadoParado = 7, kEstadoConcluido = 8;

template <typename T>
TResultado<T> Valor(T valor)
{
    return {valor, QString()};
}

template <typename T>
TResultado<T> Sem(const QString &motivo)
{
    return {std::nullopt, motivo};
}

// The first reason among results one depends on.
template <typename A, typename B>
QString Motivo(const TResultado<A> &a, const TResultado<B> &b)
{
    return a.Disponivel() ? b.motivo : a.motivo;
}

// The blood-pressure entries in time order.
QList<TEventoRegistro> Pressoes(const QList<TEventoRegistro> &eventos)
{
    QList<TEventoRegistro> pressoes;
    for (const TEventoRegistro &e : eventos)
        if (e.tipo == QLatin1String("pa"))
            pressoes << e;
    std::stable_sort(pressoes.begin(), pressoes.end(),
                     [](const auto &a, const auto &b) { return a.tempoMs < b.tempoMs; });
    return pressoes;
}

// A heart rate the sensor measured (a sample) or the operator typed (an "fc" entry).
struct TLeitura {
    qint64 tempoMs = 0;
    int fase = 0;
    int bpm = 0;
    bool digitada = false;
};

QList<TLeitura> Leituras(const QList<TAmostraRegistro> &amostras,
                         const QList<TEventoRegistro> &eventos)
{
    QList<TLeitura> leituras;
    for (const TAmostraRegistro &a : amostras)
        if (a.frequenciaCardiaca > 0)
            leituras << TLeitura{a.tempoMs, a.fase, a.frequenciaCardiaca, false};
    for (const TEventoRegistro &e : eventos)
        if (e.tipo == QLatin1String("fc") && e.valor1 > 0)
            leituras << TLeitura{e.tempoMs, e.fase, int(e.valor1), true};
    std::stable_sort(leituras.begin(), leituras.end(),
                     [](const TLeitura &a, const TLeitura &b) { return a.tempoMs < b.tempoMs; });
    return leituras;
}

// The reading nearest to a moment within the window; on a tie the typed one, then the earlier.
std::optional<TLeitura> MaisProxima(const QList<TLeitura> &leituras, qint64 tempoMs)
{
    std::optional<TLeitura> melhor;
    qint64 distancia = 0;
    for (const TLeitura &l : leituras) {
        const qint64 d = std::abs(l.tempoMs - tempoMs);
        if (d > TAvaliacaoClinica::kJanelaLeituraMs)
            continue;
        if (!melhor || d < distancia || (d == distancia && l.digitada && !melhor->digitada)) {
            melhor = l;
            distancia = d;
        }
    }
    return melhor;
}

// The exercise phase: from its first record to the first record of the recovery or of the
// stopped or completed run (a stop in exercise leaves later entries in the exercise phase),
// else to its last record.
struct TIntervalo {
    qint64 inicioMs = 0, fimMs = 0;
    bool Contem(int fase, qint64 tempoMs) const
    {
        return fase == kExercicio && tempoMs >= inicioMs && tempoMs <= fimMs;
    }
};

std::optional<TIntervalo> Exercicio(const QList<TAmostraRegistro> &amostras,
                                    const QList<TEventoRegistro> &eventos)
{
    std::optional<qint64> inicio, ultimo, fim;
    const auto ver = [&](int fase, qint64 t) {
        if (fase != kExercicio)
            return;
        inicio = std::min(inicio.value_or(t), t);
        ultimo = std::max(ultimo.value_or(t), t);
    };
    for (const TAmostraRegistro &a : amostras)
        ver(a.fase, a.tempoMs);
    for (const TEventoRegistro &e : eventos)
        ver(e.fase, e.tempoMs);
    if (!inicio)
        return std::nullopt;
    const auto terminou = [&](int fase, int estado, qint64 t) {
        if (t >= *inicio &&
            (fase == kRecuperacao || estado == kEstadoParado || estado == kEstadoConcluido))
            fim = std::min(fim.value_or(t), t);
    };
    for (const TAmostraRegistro &a : amostras)
        terminou(a.fase, a.estado, a.tempoMs);
    for (const TEventoRegistro &e : eventos)
        terminou(e.fase, e.estado, e.tempoMs);
    return TIntervalo{*inicio, fim.value_or(*ultimo)};
}

// Exercise stages of the Bruce protocols before Bruce's stage 1: the modified one's two at 2.7
// km/h (protocol/embutidos.cpp); none for other protocols.
std::optional<int> EstagiosAntesDeBruce(const QString &protocoloId)
{
    if (protocoloId == QLatin1String("bruce"))
        return 0;
    if (protocoloId == QLatin1String("bruce-modificado"))
        return 2;
    return std::nullopt;
}

bool Masculino(const QString &sexo)
{
    const QString s = sexo.trimmed();
    return s.compare(QLatin1String("M"), Qt::CaseInsensitive) == 0 ||
           s.compare(QLatin1String("Masculino"), Qt::CaseInsensitive) == 0;
}

bool Feminino(const QString &sexo)
{
    const QString s = sexo.trimmed();
    return s.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0 ||
           s.compare(QLatin1String("Feminino"), Qt::CaseInsensitive) == 0;
}

void RespostaPressorica(TResultadosClinicos &r, const TSessao &sessao, const TPaciente &paciente,
                        const QList<TEventoRegistro> &pressoes,
                        const std::optional<TIntervalo> &exercicio)
{
    std::optional<int> pico;
    bool abaixo = false, hipertensiva = false;
    const bool homem = Masculino(paciente.sexo), mulher = Feminino(paciente.sexo);
    const int limite = homem ? TAvaliacaoClinica::kSistolicaHipertensivaHomem
                             : TAvaliacaoClinica::kSistolicaHipertensivaMulher;
    for (const TEventoRegistro &e : pressoes) {
        if (!exercicio || !exercicio->Contem(e.fase, e.tempoMs))
            continue;
        const int sistolica = int(e.valor1);
        pico = std::max(pico.value_or(sistolica), sistolica);
        abaixo = abaixo || (sessao.sistolicaRepouso && sistolica < *sessao.sistolicaRepouso);
        hipertensiva = hipertensiva || sistolica >= limite;
    }
    const QString semRepouso = QStringLiteral("pressão sistólica de repouso não informada");
    const QString semMedida = QStringLiteral("nenhuma pressão arterial medida durante o exercício");
    if (!pico) {
        r.quedaSistolicaExercicio = r.aumentoSistolicoBaixo = r.respostaHipertensiva =
            Sem<bool>(semMedida);
    } else {
        r.respostaHipertensiva = homem || mulher
                                     ? Valor(hipertensiva)
                                     : Sem<bool>(QStringLiteral("sexo do paciente não informado"));
        if (!sessao.sistolicaRepouso) {
            r.quedaSistolicaExercicio = r.aumentoSistolicoBaixo = Sem<bool>(semRepouso);
        } else {
            r.quedaSistolicaExercicio = Valor(abaixo);
            r.aumentoSistolicoBaixo = Valor(*pico - *sessao.sistolicaRepouso <
                                            TAvaliacaoClinica::kAumentoSistolicoMinimo);
        }
    }
}

void DuplosProdutos(TResultadosClinicos &r, const QList<TEventoRegistro> &pressoes,
                    const QList<TLeitura> &leituras)
{
    const QString semFc =
        QStringLiteral("nenhuma frequência cardíaca a até 10 s da medida de pressão");
    for (const TEventoRegistro &e : pressoes) {
        TResultadosClinicos::TDuploProduto d;
        d.tempoMs = e.tempoMs;
        d.sistolica = int(e.valor1);
        if (const std::optional<TLeitura> l = MaisProxima(leituras, e.tempoMs)) {
            d.fc = Valor(l->bpm);
            d.valor = Valor(l->bpm * d.sistolica);
            r.duploProdutoPico =
                Valor(std::max(r.duploProdutoPico.valor.value_or(0), *d.valor.valor));
        } else {
            d.fc = d.valor = Sem<int>(semFc);
        }
        r.duplosProdutos << d;
    }
    if (!r.duploProdutoPico.Disponivel())
        r.duploProdutoPico = Sem<int>(
            r.duplosProdutos.isEmpty()
                ? QStringLiteral("nenhuma pressão arterial medida")
                : QStringLiteral("nenhuma pressão arterial com frequência cardíaca a até 10 s"));
}

// The warnings TAlertasClinicos would have given: one at the start of each run of readings above
// the heart-rate limit, and those of each blood-pressure entry.
void Avisos(TResultadosClinicos &r, const TResultado<double> &limite,
            const QList<TEventoRegistro> &pressoes, const QList<TLeitura> &leituras,
            const std::optional<TIntervalo> &exercicio)
{
    bool acima = false;
    for (const TLeitura &l : leituras) {
        TAlertasClinicos::TMomento m;
        m.fc = l.bpm;
        const QStringList textos = TAlertasClinicos::Avisos(m, limite);
        if (!textos.isEmpty() && !acima)
            for (const QString &t : textos)
                r.avisos << TResultadosClinicos::TAviso{l.tempoMs, t};
        acima = !textos.isEmpty();
    }
    std::optional<TAlertasClinicos::TPressao> anterior;
    for (const TEventoRegistro &e : pressoes) {
        TAlertasClinicos::TMomento m;
        m.pressao = TAlertasClinicos::TPressao{int(e.valor1), int(e.valor2)};
        m.anterior = anterior;
        m.exercicio = exercicio && exercicio->Contem(e.fase, e.tempoMs);
        for (const QString &t : TAlertasClinicos::Avisos(m, limite))
            r.avisos << TResultadosClinicos::TAviso{e.tempoMs, t};
        anterior = m.pressao;
    }
    std::stable_sort(r.avisos.begin(), r.avisos.end(),
                     [](const auto &a, const auto &b) { return a.tempoMs < b.tempoMs; });
}

}  // namespace

// The reasons and the VO2max methods below are source texts (the JSON and the console keep
// them), listed in textosclinicos.cpp, which translates them for display.
TResultadosClinicos TAvaliacaoClinica::Calcular(const TSessao &sessao, const TPaciente &paciente,
                                                const QList<TAmostraRegistro> &amostras,
                                                const QList<TEventoRegistro> &eventos)
{
    TResultadosClinicos r;
    const QList<TResumoEstagio> tabela = TResumoSessao::Estagios(amostras, eventos);
    r.estagios = MetsDosEstagios(tabela);
    const std::optional<TIntervalo> exercicio = Exercicio(amostras, eventos);
    const QList<TLeitura> leituras = Leituras(amostras, eventos);
    const QString semExercicio = QStringLiteral("o teste não chegou à fase de exercício");

    r.exercicioMs =
        exercicio ? Valor(exercicio->fimMs - exercicio->inicioMs) : Sem<qint64>(semExercicio);

    // Peak workload: the highest METs of a speed and grade the board acknowledged together.
    for (const TAmostraRegistro &a : amostras)
        if (exercicio && exercicio->Contem(a.fase, a.tempoMs) && a.linkOk &&
            a.velocidadeConfirmada > 0)
            r.metsPico = Valor(std::max(
                r.metsPico.valor.value_or(0),
                TEquacoesMetabolicas::Mets(a.velocidadeConfirmada, a.inclinacaoConfirmada)));
    if (!r.metsPico.Disponivel())
        r.metsPico = Sem<double>(
            exercicio ? QStringLiteral("nenhuma velocidade confirmada pela esteira no exercício")
                      : semExercicio);

    // The Bruce time: from Bruce's stage 1 to the end of the exercise, when the stages ran as
    // the protocol has them.
    QList<TResumoEstagio> estagiosExercicio;
    for (const TResumoEstagio &e : tabela)
        if (e.fase == kExercicio)
            estagiosExercicio << e;
    const bool limitados = std::any_of(
        estagiosExercicio.begin(), estagiosExercicio.end(),
        [](const TResumoEstagio &e) { return e.velocidadeProtocolo || e.inclinacaoProtocolo; });
    const std::optional<int> antesDeBruce = EstagiosAntesDeBruce(sessao.protocoloId);
    TResultado<double> minutosBruce;
    if (!antesDeBruce)
        minutosBruce = Sem<double>(QStringLiteral("escore de Duke só nos protocolos de Bruce"));
    else if (limitados)
        minutosBruce =
            Sem<double>(QStringLiteral("estágios de Bruce alterados pelos limites do teste"));
    else if (!exercicio)
        minutosBruce = Sem<double>(semExercicio);
    else if (estagiosExercicio.size() <= *antesDeBruce && *antesDeBruce > 0)
        minutosBruce = Sem<double>(QStringLiteral("o teste terminou antes do estágio 1 de Bruce"));
    else {
        const qint64 inicio =
            *antesDeBruce ? estagiosExercicio.at(*antesDeBruce).inicioMs : exercicio->inicioMs;
        minutosBruce = Valor((exercicio->fimMs - inicio) / 60000.0);
    }
    if (antesDeBruce && !limitados) {
        r.metodoVo2max = *antesDeBruce ? QStringLiteral("Foster (Bruce modificado)")
                                       : QStringLiteral("Foster (Bruce)");
        r.vo2max = minutosBruce.Disponivel() ? Valor(Vo2maxFoster(*minutosBruce.valor))
                                             : Sem<double>(minutosBruce.motivo);
    } else {
        r.metodoVo2max = QStringLiteral("ACSM, carga de pico");
        r.vo2max = r.metsPico.Disponivel()
                       ? Valor(*r.metsPico.valor * TEquacoesMetabolicas::kVo2PorMet)
                       : Sem<double>(r.metsPico.motivo);
    }

    // Heart rate.
    r.idade = Idade(sessao, paciente);
    if (r.idade.Disponivel()) {
        r.fcMaximaPrevista = Valor(FcMaximaPrevista(*r.idade.valor, sessao.formulaFcMaxima));
        r.fcAlvo = Valor(*r.fcMaximaPrevista.valor * sessao.percentualFcAlvo / 100.0);
    } else {
        r.fcMaximaPrevista = r.fcAlvo = Sem<double>(r.idade.motivo);
    }
    for (const TLeitura &l : leituras)
        if (exercicio && exercicio->Contem(l.fase, l.tempoMs))
            r.fcPico = Valor(std::max(r.fcPico.valor.value_or(0), l.bpm));
    if (!r.fcPico.Disponivel())
        r.fcPico = Sem<int>(
            exercicio ? QStringLiteral("nenhuma frequência cardíaca medida ou anotada no exercício")
                      : semExercicio);
    if (r.fcPico.Disponivel() && r.fcMaximaPrevista.Disponivel()) {
        r.fracaoFcPrevista = Valor(*r.fcPico.valor / *r.fcMaximaPrevista.valor);
        r.fcAlvoAtingida = Valor(*r.fcPico.valor >= *r.fcAlvo.valor);
        r.indiceCronotropico =
            sessao.fcRepouso
                ? IndiceCronotropico(*r.fcPico.valor, *sessao.fcRepouso, *r.fcMaximaPrevista.valor)
                : Sem<double>(QStringLiteral("frequência cardíaca de repouso não informada"));
    } else {
        const QString motivo = Motivo(r.fcPico, r.fcMaximaPrevista);
        r.fracaoFcPrevista = r.indiceCronotropico = Sem<double>(motivo);
        r.fcAlvoAtingida = Sem<bool>(motivo);
    }
    r.indiceCronotropicoBaixo =
        r.indiceCronotropico.Disponivel()
            ? Valor(IndiceCronotropicoBaixo(*r.indiceCronotropico.valor, sessao.betabloqueador))
            : Sem<bool>(r.indiceCronotropico.motivo);

    // Recovery: the peak minus the reading nearest to 1, 2 and 3 min after the exercise's end.
    for (int minuto = 1; minuto <= 3; ++minuto) {
        TResultado<int> &rec = r.recuperacaoFc[minuto - 1];
        if (!r.fcPico.Disponivel()) {
            rec = Sem<int>(r.fcPico.motivo);
        } else if (const auto l = MaisProxima(leituras, exercicio->fimMs + minuto * 60000LL)) {
            rec = Valor(*r.fcPico.valor - l->bpm);
        } else {
            rec = Sem<int>(QStringLiteral("nenhuma frequência cardíaca a até 10 s de %1 min da "
                                          "recuperação")
                               .arg(minuto));
        }
    }
    r.recuperacaoFcBaixa = r.recuperacaoFc[0].Disponivel()
                               ? Valor(*r.recuperacaoFc[0].valor <= kRecuperacaoFcMinima)
                               : Sem<bool>(r.recuperacaoFc[0].motivo);

    const QList<TEventoRegistro> pressoes = Pressoes(eventos);
    DuplosProdutos(r, pressoes, leituras);
    RespostaPressorica(r, sessao, paciente, pressoes, exercicio);

    // Duke: the Bruce time and both typed entries, never a default for a missing one.
    if (!minutosBruce.Disponivel())
        r.escoreDuke = Sem<double>(minutosBruce.motivo);
    else if (!sessao.desvioStMm && !sessao.indiceAngina)
        r.escoreDuke =
            Sem<double>(QStringLiteral("desvio de ST e índice de angina não informados"));
    else if (!sessao.desvioStMm)
        r.escoreDuke = Sem<double>(QStringLiteral("desvio de ST não informado"));
    else if (!sessao.indiceAngina)
        r.escoreDuke = Sem<double>(QStringLiteral("índice de angina não informado"));
    else
        r.escoreDuke =
            Valor(EscoreDuke(*minutosBruce.valor, *sessao.desvioStMm, *sessao.indiceAngina));
    r.faixaDuke = r.escoreDuke.Disponivel()
                      ? Valor(FaixaDuke(*r.escoreDuke.valor))
                      : Sem<TResultadosClinicos::TFaixaDuke>(r.escoreDuke.motivo);

    Avisos(r, TAlertasClinicos::LimiteFc(sessao, paciente), pressoes, leituras, exercicio);
    return r;
}

TResultado<int> TAvaliacaoClinica::Idade(const TSessao &sessao, const TPaciente &paciente)
{
    return TIdade::NaData(paciente.nascimento,
                          sessao.inicio.isValid() ? sessao.inicio.toLocalTime().date() : QDate());
}

double TAvaliacaoClinica::FcMaximaPrevista(int idade, TSessao::TFormulaFcMaxima formula)
{
    return formula == TSessao::TFormulaFcMaxima::Tanaka ? 208 - 0.7 * idade : 220.0 - idade;
}

double TAvaliacaoClinica::Vo2maxFoster(double t)
{
    return 14.76 - 1.379 * t + 0.451 * t * t - 0.012 * t * t * t;
}

double TAvaliacaoClinica::EscoreDuke(double minutosBruce, double desvioStMm, int indiceAngina)
{
    return minutosBruce - 5 * desvioStMm - 4 * indiceAngina;
}

TResultadosClinicos::TFaixaDuke TAvaliacaoClinica::FaixaDuke(double escore)
{
    if (escore >= 5)
        return TResultadosClinicos::TFaixaDuke::Baixo;
    if (escore <= -11)
        return TResultadosClinicos::TFaixaDuke::Alto;
    return TResultadosClinicos::TFaixaDuke::Moderado;
}

TResultado<double> TAvaliacaoClinica::IndiceCronotropico(int fcPico, int fcRepouso,
                                                         double fcPrevista)
{
    if (fcPrevista <= fcRepouso)
        return Sem<double>(
            QStringLiteral("frequência de repouso não é menor que a máxima prevista"));
    return Valor((fcPico - fcRepouso) / (fcPrevista - fcRepouso));
}

bool TAvaliacaoClinica::IndiceCronotropicoBaixo(double indice, bool betabloqueador)
{
    return indice <
           (betabloqueador ? kIndiceCronotropicoMinimoBetabloqueador : kIndiceCronotropicoMinimo);
}

QList<TResultadosClinicos::TEstagio> TAvaliacaoClinica::MetsDosEstagios(
    const QList<TResumoEstagio> &estagios)
{
    QList<TResultadosClinicos::TEstagio> comMets;
    for (const TResumoEstagio &e : estagios)
        comMets << TResultadosClinicos::TEstagio{
            e, TEquacoesMetabolicas::Mets(e.velocidade, e.inclinacao)};
    return comMets;
}
