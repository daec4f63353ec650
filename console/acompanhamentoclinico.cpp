#include "console/acompanhamentoclinico.h"

#include <algorithm>

#include "clinical/avaliacaoclinica.h"
#include "clinical/equacoesmetabolicas.h"
#include "console/painelentradas.h"
#include "protocol/fase.h"
#include "protocol/relogio.h"

TAcompanhamentoClinico::TAcompanhamentoClinico(std::shared_ptr<TRelogio> relogio, QObject *parent)
    : QObject(parent), FRelogio(std::move(relogio))
{
}

void TAcompanhamentoClinico::Repouso(const TEventoRegistro &entrada)
{
    if (entrada.tipo == QLatin1String("fc"))
        FFcRepouso = TRepouso{FRelogio->AgoraMs(), entrada};
    else if (entrada.tipo == QLatin1String("pa"))
        FPaRepouso = TRepouso{FRelogio->AgoraMs(), entrada};
}

QList<TEventoRegistro> TAcompanhamentoClinico::IniciarTeste(TSessao &sessao,
                                                            const TPaciente &paciente,
                                                            std::optional<int> fcSensor)
{
    const qint64 agora = FRelogio->AgoraMs();
    QList<TEventoRegistro> registrar;
    // On the session's axis the countdown starts at -3000 ms; a resting entry lies before it.
    auto recente = [&](std::optional<TRepouso> &r) -> const TEventoRegistro * {
        if (!r || agora - r->quandoMs > kRepousoMs)
            return nullptr;
        TEventoRegistro e = r->entrada;
        e.tempoMs = -3000 - (agora - r->quandoMs);
        e.texto += QStringLiteral(" (repouso)");
        registrar << e;
        return &registrar.last();
    };
    sessao.fcRepouso.reset();
    sessao.sistolicaRepouso.reset();
    sessao.diastolicaRepouso.reset();
    if (const TEventoRegistro *fc = recente(FFcRepouso))
        sessao.fcRepouso = int(fc->valor1);
    else if (fcSensor)
        sessao.fcRepouso = *fcSensor;
    if (const TEventoRegistro *pa = recente(FPaRepouso)) {
        sessao.sistolicaRepouso = int(pa->valor1);
        sessao.diastolicaRepouso = int(pa->valor2);
    }
    FFcRepouso.reset();
    FPaRepouso.reset();
    const TResultado<int> idade = TAvaliacaoClinica::Idade(sessao, paciente);
    FFcPrevista = idade.Disponivel() ? TResultado<double>{TAvaliacaoClinica::FcMaximaPrevista(
                                                              *idade.valor, sessao.formulaFcMaxima),
                                                          {}}
                                     : TResultado<double>{std::nullopt, idade.motivo};
    FLimite = TAlertasClinicos::LimiteFc(sessao, paciente);
    FPercentualAlvo = sessao.percentualFcAlvo;
    FMomento = {};
    FAtivos.clear();
    FStMaximo.reset();
    FAnginaMaxima.reset();
    return registrar;
}

void TAcompanhamentoClinico::Amostra(const TAmostraRegistro &amostra)
{
    FMomento.fc = amostra.frequenciaCardiaca;
    Avaliar();
}

void TAcompanhamentoClinico::Entrada(const TEventoRegistro &e)
{
    if (e.tipo == QLatin1String("fc")) {
        FMomento.fc = int(e.valor1);
    } else if (e.tipo == QLatin1String("pa")) {
        FMomento.anterior = FMomento.pressao;
        FMomento.pressao = TAlertasClinicos::TPressao{int(e.valor1), int(e.valor2)};
        FMomento.exercicio = e.fase == int(TFase::Exercicio);
    } else if (e.tipo == QLatin1String("st")) {
        FStMaximo = std::max(FStMaximo.value_or(0), e.valor1);
    } else if (e.tipo == QLatin1String("angina")) {
        FAnginaMaxima = std::max(FAnginaMaxima.value_or(0), int(e.valor1));
    }
    Avaliar();
}

void TAcompanhamentoClinico::Avaliar()
{
    const QStringList agora = TAlertasClinicos::Avisos(FMomento, FLimite);
    for (const QString &aviso : agora)
        if (!FAtivos.contains(aviso))
            emit Aviso(aviso);
    FAtivos = agora;
}

void TAcompanhamentoClinico::Concluir(TSessao &sessao, const QString &motivoParada) const
{
    sessao.desvioStMm = FStMaximo;
    // The Duke index: 2 when angina stopped the test, 1 for angina during it, 0 for an entry of
    // none; empty when angina was never entered.
    if (TPainelEntradas::MotivosDeAngina().contains(motivoParada))
        sessao.indiceAngina = 2;
    else if (FAnginaMaxima)
        sessao.indiceAngina = *FAnginaMaxima > 0 ? 1 : 0;
    else
        sessao.indiceAngina.reset();
}

std::optional<double> TAcompanhamentoClinico::FcAlvo() const
{
    if (!FFcPrevista.Disponivel())
        return std::nullopt;
    return *FFcPrevista.valor * FPercentualAlvo / 100;
}

QString TAcompanhamentoClinico::TextoMets(const TAmostraRegistro &a, bool conhecida)
{
    if (!conhecida)
        return QStringLiteral("-");
    return QStringLiteral("%1 METs").arg(QString::number(
        TEquacoesMetabolicas::Mets(a.velocidadeConfirmada, a.inclinacaoConfirmada), 'f', 1));
}

QString TAcompanhamentoClinico::TextoFracao(int fc) const
{
    if (fc <= 0 || !FFcPrevista.Disponivel())
        return {};
    return tr("%1 % da máx.").arg(qRound(100.0 * fc / *FFcPrevista.valor));
}
