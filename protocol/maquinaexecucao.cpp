#include "protocol/maquinaexecucao.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <utility>

#include "protocol/faixaesteira.h"

namespace {

constexpr qint64 kEsperaMaximaMs = 20;

QString Valores(double velocidade, double inclinacao)
{
    return QStringLiteral("%1 km/h, %2 %").arg(velocidade, 0, 'f', 1).arg(inclinacao, 0, 'f', 1);
}

}  // namespace

std::optional<TProtocolo> TMaquinaExecucao::ProtocoloEfetivo() const
{
    if (!FConfig.protocolo)
        return std::nullopt;
    TProtocolo protocolo = *FConfig.protocolo;
    if (FConfig.recuperacao)
        protocolo.TrocarRecuperacao(FConfig.recuperacao->duracaoMs,
                                    FConfig.recuperacao->velocidadeInicial,
                                    FConfig.recuperacao->inclinacaoInicial);
    return protocolo;
}

QString TMaquinaExecucao::MotivoRecusa() const
{
    const std::optional<TProtocolo> protocolo = ProtocoloEfetivo();
    if (!protocolo || protocolo->exercicio.isEmpty())
        return QCoreApplication::translate("TMaquinaExecucao",
                                           "Nenhum protocolo com fase de exercício foi escolhido.");
    if (!TFaixaEsteira::LimiteDeVelocidadeValido(FConfig.velocidadeMaxima))
        return QCoreApplication::translate(
                   "TMaquinaExecucao",
                   "A velocidade máxima do teste (%1 km/h) está abaixo da menor "
                   "velocidade da esteira em movimento (1.5 km/h).")
            .arg(FConfig.velocidadeMaxima, 0, 'f', 1);
    const QStringList limitacoes = TFaixaEsteira::Limitacoes(*protocolo);
    if (!limitacoes.isEmpty() && !FConfig.aceitarLimitacao)
        return QCoreApplication::translate(
                   "TMaquinaExecucao",
                   "O protocolo excede a faixa da esteira e só é executado com a "
                   "limitação aceita: ") +
               limitacoes.join(QStringLiteral("; "));
    return {};
}

void TMaquinaExecucao::Iniciar(qint64 agora)
{
    if (FEstado != TEstadoExecucao::Pronto && FEstado != TEstadoExecucao::Parado &&
        FEstado != TEstadoExecucao::Concluido)
        return;
    if (const QString motivo = MotivoRecusa(); !motivo.isEmpty()) {
        Registrar(agora, TEventoExecucao::TTipo::Acao, QStringLiteral("Operador: iniciar"));
        Registrar(agora, TEventoExecucao::TTipo::Falha, motivo);
        return;
    }
    // The new test's events start at its own countdown, in its own state and phase.
    FPlano = TPlanoExecucao(*ProtocoloEfetivo());
    FIndice = -1;
    FIniciado = FAmostraFinal = false;
    FEstado = TEstadoExecucao::Contagem;
    Registrar(agora, TEventoExecucao::TTipo::Acao, QStringLiteral("Operador: iniciar"));
    FEstado = TEstadoExecucao::Pronto;
    FManual = FEnviarAgora = FParadaPedida = FParadaPendente = FConcluindo = FSemSondagem = false;
    FFalhasSeguidas = 0;
    FLinkOk = true;
    // Whatever an earlier test left on the board (a stop that was not confirmed) is unknown.
    FAlvo = FAlvoPlano = FConfirmado = {};
    FVelocidadeCerta = FInclinacaoCerta = FVelocidadeNoTeste = FInclinacaoNoTeste = false;
    ++FGeracao;
    FInicioContagem = FProximaAmostra = agora;
    MudarEstado(agora, TEstadoExecucao::Contagem);
}

void TMaquinaExecucao::CancelarContagem(qint64 agora)
{
    if (Ativo() && !FParadaPedida) {
        Registrar(agora, TEventoExecucao::TTipo::Acao,
                  QStringLiteral("Operador: cancelar contagem (o teste já começou: parando a "
                                 "esteira)"));
        FParadaPedida = true;
        return;
    }
    if (FEstado != TEstadoExecucao::Contagem)
        return;
    Registrar(agora, TEventoExecucao::TTipo::Acao, QStringLiteral("Operador: cancelar contagem"));
    MudarEstado(agora, TEstadoExecucao::Pronto);
}

void TMaquinaExecucao::Pausar(qint64 agora)
{
    if (!Rodando())
        return;
    Registrar(agora, TEventoExecucao::TTipo::Acao, QStringLiteral("Operador: pausar"));
    Congelar(agora);
    MudarEstado(agora, TEstadoExecucao::Pausado);
}

void TMaquinaExecucao::JanelaSemResposta(qint64 agora)
{
    if (!Rodando())
        return;
    Registrar(agora, TEventoExecucao::TTipo::Falha,
              QStringLiteral("Janela sem resposta: protocolo em espera"));
    Congelar(agora);
    MudarEstado(agora, TEstadoExecucao::Pausado);
}

void TMaquinaExecucao::Retomar(qint64 agora)
{
    if (FEstado != TEstadoExecucao::Pausado && FEstado != TEstadoExecucao::LinkPerdido)
        return;
    Registrar(agora, TEventoExecucao::TTipo::Acao, QStringLiteral("Operador: retomar"));
    FSemSondagem = false;
    FFalhasSeguidas = 0;
    FUltimoSucesso = agora;  // a fresh window before the link is judged again
    FAncoraRelogio = agora;
    FCongelado = false;
    FManual = false;
    MudarEstado(agora, EstadoDaFase());
    DefinirAlvo(agora, FPlano.AlvoEm(TempoProtocolo(agora)));
}

void TMaquinaExecucao::ProximoEstagio(qint64 agora)
{
    if (!Rodando() && FEstado != TEstadoExecucao::Pausado)
        return;
    Registrar(agora, TEventoExecucao::TTipo::Acao, QStringLiteral("Operador: próximo estágio"));
    if (FIndice + 1 >= FPlano.Etapas().size())
        Concluir(agora);
    else
        Saltar(agora, FIndice + 1);
}

void TMaquinaExecucao::IrParaRecuperacao(qint64 agora)
{
    if (!Rodando() && FEstado != TEstadoExecucao::Pausado)
        return;
    Registrar(agora, TEventoExecucao::TTipo::Acao,
              QStringLiteral("Operador: ir para a recuperação"));
    const int primeiro = FPlano.PrimeiroDaFase(TFase::Recuperacao);
    if (primeiro < 0)
        Concluir(agora);
    else if (FIndice < primeiro)
        Saltar(agora, primeiro);
}

void TMaquinaExecucao::AjustarManual(qint64 agora, std::optional<double> velocidade,
                                     std::optional<double> inclinacao)
{
    if (!Ativo() || (velocidade && !std::isfinite(*velocidade)) ||
        (inclinacao && !std::isfinite(*inclinacao)))
        return;
    TAlvo alvo = FAlvoPlano;
    QString texto;
    if (velocidade) {
        alvo.velocidade = TFaixaEsteira::QuantizarVelocidade(*velocidade);
        texto = QStringLiteral("Operador: velocidade manual %1 km/h").arg(*velocidade, 0, 'f', 1);
    }
    if (inclinacao) {
        alvo.inclinacao = TFaixaEsteira::QuantizarInclinacao(*inclinacao);
        texto = QStringLiteral("Operador: inclinação manual %1 %").arg(*inclinacao, 0, 'f', 1);
    }
    Registrar(agora, TEventoExecucao::TTipo::Acao, texto);
    if (Rodando()) {
        Congelar(agora);
        MudarEstado(agora, TEstadoExecucao::Pausado);
    }
    FManual = true;
    DefinirAlvo(agora, alvo);
}

void TMaquinaExecucao::PedirParada(qint64 agora)
{
    Registrar(agora, TEventoExecucao::TTipo::Acao, QStringLiteral("Operador: parar"));
    FParadaPedida = true;
}

void TMaquinaExecucao::DispositivoPerdido(qint64 agora)
{
    if (FEstado == TEstadoExecucao::Contagem) {
        Registrar(agora, TEventoExecucao::TTipo::Falha,
                  QStringLiteral("A porta serial perdeu o dispositivo durante a contagem: "
                                 "contagem cancelada, nada foi enviado à esteira."));
        MudarEstado(agora, TEstadoExecucao::Pronto);
        return;
    }
    if (!Ativo() || FSemSondagem)
        return;
    Registrar(agora, TEventoExecucao::TTipo::Falha,
              QStringLiteral("A porta serial perdeu o dispositivo (cabo desconectado?)."));
    FSemSondagem = true;
    PerderLink(agora);
}

void TMaquinaExecucao::DispositivoReaberto(qint64 agora)
{
    if (FEstado != TEstadoExecucao::LinkPerdido || !FSemSondagem)
        return;
    Registrar(agora, TEventoExecucao::TTipo::Estado,
              QStringLiteral("Porta reaberta: nada foi enviado à esteira; pressione Retomar para "
                             "continuar ou PARAR."));
}

void TMaquinaExecucao::Avancar(qint64 agora)
{
    if (FEstado == TEstadoExecucao::Contagem) {
        if (double(agora - FInicioContagem) * FConfig.escala < double(kContagemMs))
            return;
        FIniciado = true;
        FInicio = FAncoraRelogio = FUltimoSucesso = FUltimoEnvio = agora;
        FAncoraProtocolo = 0;
        FCongelado = false;
    }
    if (Rodando() || FEstado == TEstadoExecucao::Contagem)
        AtualizarEtapa(agora);
    if (Ativo() && FLinkOk && FFalhasSeguidas > 0 &&
        agora - FUltimoSucesso >= kSemRespostaParaPerdaMs) {
        Registrar(agora, TEventoExecucao::TTipo::Falha,
                  QStringLiteral("Nenhuma resposta da esteira há 2 s."));
        PerderLink(agora);
    }
    const bool parado = FEstado == TEstadoExecucao::Parado || FEstado == TEstadoExecucao::Concluido;
    if (parado && FParadaPendente && agora - FUltimoEnvio >= FConfig.periodoMs)
        FParadaPedida = true;
}

TMaquinaExecucao::TEnvio TMaquinaExecucao::Pendente(qint64 agora) const
{
    if (FParadaPedida)
        return TEnvio::Parada;
    if (FEstado == TEstadoExecucao::LinkPerdido && QuadrosParaEnviar().Vazio())
        return TEnvio::Nada;
    if (Ativo() && (FEnviarAgora || agora - FUltimoEnvio >= FConfig.periodoMs))
        return TEnvio::Alvo;
    return TEnvio::Nada;
}

// While the link is lost the runner only probes it, with what the board surely holds: an axis
// whose last frame went unanswered with another value may hold either, and re-sending either
// could move the belt, so that axis is not sent until the operator resumes. After a lost device
// nothing at all is sent until then.
TMaquinaExecucao::TQuadros TMaquinaExecucao::QuadrosParaEnviar() const
{
    if (FEstado != TEstadoExecucao::LinkPerdido)
        return {FAlvo.velocidade, FAlvo.inclinacao};
    TQuadros sonda;
    if (FSemSondagem)
        return sonda;
    if (FVelocidadeCerta)
        sonda.velocidade = FConfirmado.velocidade;
    if (FInclinacaoCerta)
        sonda.inclinacao = FConfirmado.inclinacao;
    return sonda;
}

void TMaquinaExecucao::EnvioIniciado(qint64 agora)
{
    FEnviarAgora = false;
    FUltimoEnvio = agora;
}

void TMaquinaExecucao::ResultadoVelocidade(qint64 agora, double velocidade, const QString &erro,
                                           bool escrito)
{
    Resultado(velocidade, erro, escrito, FConfirmado.velocidade, FVelocidadeCerta,
              FVelocidadeNoTeste);
    if (!erro.isEmpty())
        return ContarFalha(agora, QStringLiteral("Falha ao enviar a velocidade: ") + erro);
    Sucesso(agora);
}

void TMaquinaExecucao::ResultadoInclinacao(qint64 agora, double inclinacao, const QString &erro,
                                           bool escrito)
{
    Resultado(inclinacao, erro, escrito, FConfirmado.inclinacao, FInclinacaoCerta,
              FInclinacaoNoTeste);
    if (!erro.isEmpty())
        return ContarFalha(agora, QStringLiteral("Falha ao enviar a inclinação: ") + erro);
    Sucesso(agora);
}

void TMaquinaExecucao::Resultado(double valor, const QString &erro, bool escrito,
                                 double &confirmado, bool &certo, bool &noTeste)
{
    if (erro.isEmpty()) {
        confirmado = valor;
        certo = noTeste = true;
    } else if (escrito && std::abs(valor - confirmado) > 1e-9) {
        certo = false;  // the board holds the old value or this one
    }
}

void TMaquinaExecucao::ResultadoParada(qint64 agora, const QString &erro, int geracao)
{
    if (geracao != FGeracao) {
        // The operator started a new test while an earlier run's stop was on the line: the
        // new run knows nothing of the board yet either way.
        if (!erro.isEmpty())
            Registrar(agora, TEventoExecucao::TTipo::Falha,
                      QStringLiteral("Falha ao parar a esteira (teste anterior): %1").arg(erro));
        return;
    }
    FParadaPedida = false;
    FUltimoEnvio = agora;
    FAlvo = FAlvoPlano = {};
    if (erro.isEmpty()) {
        if (std::exchange(FParadaPendente, false))
            Registrar(agora, TEventoExecucao::TTipo::Estado,
                      QStringLiteral("Parada confirmada pela esteira."));
        FConfirmado = {};  // the acknowledged stop: the board holds 0 on both axes
        FVelocidadeCerta = FInclinacaoCerta = FVelocidadeNoTeste = FInclinacaoNoTeste = true;
        Sucesso(agora);
    } else {
        FVelocidadeCerta = FInclinacaoCerta = false;
        FParadaPendente = true;
        Registrar(agora, TEventoExecucao::TTipo::Falha,
                  QStringLiteral("Falha ao parar a esteira: %1 (nova tentativa a cada período)")
                      .arg(erro));
    }
    if (FEstado != TEstadoExecucao::Parado && FEstado != TEstadoExecucao::Concluido) {
        MudarEstado(agora, FConcluindo ? TEstadoExecucao::Concluido : TEstadoExecucao::Parado);
        FAmostraFinal = FIniciado;
    }
}

qint64 TMaquinaExecucao::EsperaMs(qint64 agora) const
{
    qint64 espera = kEsperaMaximaMs;
    const double escala = FConfig.escala;
    if (FEstado == TEstadoExecucao::Contagem)
        espera = std::min<qint64>(
            espera,
            qint64(std::ceil((kContagemMs - double(agora - FInicioContagem) * escala) / escala)));
    if (Rodando()) {
        const qint64 t = TempoProtocolo(agora);
        if (const auto proxima = FPlano.ProximaMudanca(t))
            espera = std::min<qint64>(espera, qint64(std::ceil(double(*proxima - t) / escala)));
    }
    if (Ativo()) {
        espera = std::min(espera, FUltimoEnvio + FConfig.periodoMs - agora);
        espera = std::min(espera, FProximaAmostra - agora);
    }
    return std::max<qint64>(espera, 1);
}

std::optional<TAmostraExecucao> TMaquinaExecucao::AmostraDevida(qint64 agora)
{
    if (std::exchange(FAmostraFinal, false))
        return Amostra(agora);  // the belt's end: what the board holds after the stop
    if (!Ativo() && FEstado != TEstadoExecucao::Contagem)
        return std::nullopt;
    if (agora < FProximaAmostra)
        return std::nullopt;
    FProximaAmostra += kPeriodoAmostraMs;
    if (FProximaAmostra <= agora)  // fell behind: keep the cadence from now
        FProximaAmostra = agora + kPeriodoAmostraMs;
    return Amostra(agora);
}

TAmostraExecucao TMaquinaExecucao::Amostra(qint64 agora) const
{
    TAmostraExecucao amostra;
    amostra.tempoMs = TempoDecorrido(agora);
    amostra.estado = FEstado;
    amostra.fase = FaseAtual();
    if (FIndice >= 0) {
        const TEtapaProtocolo &etapa = FPlano.Etapas()[FIndice];
        const qint64 t = TempoProtocolo(agora);
        amostra.estagio = etapa.estagio;
        amostra.tempoNoEstagioMs = std::clamp<qint64>(t - etapa.inicioMs, 0, etapa.passo.duracaoMs);
        amostra.tempoParaProximoMs =
            FIndice + 1 < FPlano.Etapas().size() ? std::max<qint64>(etapa.FimMs() - t, 0) : -1;
    }
    amostra.velocidadeAlvo = FAlvo.velocidade;
    amostra.inclinacaoAlvo = FAlvo.inclinacao;
    amostra.velocidadeConfirmada = FVelocidadeNoTeste ? FConfirmado.velocidade : 0;
    amostra.inclinacaoConfirmada = FInclinacaoNoTeste ? FConfirmado.inclinacao : 0;
    amostra.velocidadeConhecida = FVelocidadeNoTeste;
    amostra.inclinacaoConhecida = FInclinacaoNoTeste;
    amostra.linkOk = FLinkOk;
    return amostra;
}

QList<TEventoExecucao> TMaquinaExecucao::TomarEventos()
{
    return std::exchange(FEventos, {});
}

bool TMaquinaExecucao::Rodando() const
{
    return FEstado == TEstadoExecucao::Aquecimento || FEstado == TEstadoExecucao::Exercicio ||
           FEstado == TEstadoExecucao::Recuperacao;
}

bool TMaquinaExecucao::Ativo() const
{
    return Rodando() || FEstado == TEstadoExecucao::Pausado ||
           FEstado == TEstadoExecucao::LinkPerdido;
}

qint64 TMaquinaExecucao::TempoProtocolo(qint64 agora) const
{
    if (FCongelado)
        return FAncoraProtocolo;
    return FAncoraProtocolo + std::llround(double(agora - FAncoraRelogio) * FConfig.escala);
}

qint64 TMaquinaExecucao::TempoDecorrido(qint64 agora) const
{
    return FIniciado ? std::llround(double(agora - FInicio) * FConfig.escala) : 0;
}

// Before the first step (the countdown) the phase the test begins with.
TFase TMaquinaExecucao::FaseAtual() const
{
    if (FIndice >= 0)
        return FPlano.Etapas()[FIndice].fase;
    return FPlano.Etapas().isEmpty() ? TFase{} : FPlano.Etapas().first().fase;
}

TEstadoExecucao TMaquinaExecucao::EstadoDaFase() const
{
    if (FIndice < 0)
        return TEstadoExecucao::Exercicio;
    switch (FPlano.Etapas()[FIndice].fase) {
        case TFase::Aquecimento: return TEstadoExecucao::Aquecimento;
        case TFase::Exercicio: return TEstadoExecucao::Exercicio;
        case TFase::Recuperacao: break;
    }
    return TEstadoExecucao::Recuperacao;
}

void TMaquinaExecucao::MudarEstado(qint64 agora, TEstadoExecucao estado)
{
    if (estado == FEstado)
        return;
    FEstado = estado;
    Registrar(agora, TEventoExecucao::TTipo::Estado, NomeEstado(estado));
}

void TMaquinaExecucao::Congelar(qint64 agora)
{
    if (FCongelado)
        return;
    FAncoraProtocolo = TempoProtocolo(agora);
    FAncoraRelogio = agora;
    FCongelado = true;
}

void TMaquinaExecucao::Saltar(qint64 agora, int indice)
{
    FAncoraProtocolo = FPlano.Etapas()[indice].inicioMs;
    FAncoraRelogio = agora;
    FManual = false;
    AtualizarEtapa(agora);
}

void TMaquinaExecucao::Concluir(qint64 agora)
{
    if (FConcluindo)
        return;
    FConcluindo = true;
    FParadaPedida = true;
    Registrar(agora, TEventoExecucao::TTipo::Estado,
              QStringLiteral("Fim do protocolo: parando a esteira"));
}

void TMaquinaExecucao::AtualizarEtapa(qint64 agora)
{
    const qint64 t = TempoProtocolo(agora);
    if (t >= FPlano.DuracaoMs())
        return Concluir(agora);
    const int indice = FPlano.IndiceEm(t);
    const TAlvo alvo = FPlano.AlvoEm(t);
    if (indice != FIndice) {
        FIndice = indice;
        FManual = false;
        if (FEstado == TEstadoExecucao::Contagem || Rodando())
            MudarEstado(agora, EstadoDaFase());
        RegistrarEstagio(agora, alvo);
        DefinirAlvo(agora, alvo);
    } else if (!FManual && !(alvo == FAlvoPlano)) {
        DefinirAlvo(agora, alvo);
    }
}

// The stage's event carries what the board is sent, and the protocol's values beside it.
void TMaquinaExecucao::RegistrarEstagio(qint64 agora, TAlvo pedido)
{
    const TEtapaProtocolo &etapa = FPlano.Etapas()[FIndice];
    const TAlvo enviado = Limitado(pedido);
    QString texto = QStringLiteral("Estágio %1 (%2): %3")
                        .arg(etapa.estagio)
                        .arg(NomeFase(etapa.fase), Valores(enviado.velocidade, enviado.inclinacao));
    if (!(enviado == pedido))
        texto +=
            QStringLiteral(" (protocolo: %1)").arg(Valores(pedido.velocidade, pedido.inclinacao));
    Registrar(agora, TEventoExecucao::TTipo::Estagio, texto, enviado);
    FEventos.last().velocidadeProtocolo = pedido.velocidade;
    FEventos.last().inclinacaoProtocolo = pedido.inclinacao;
}

void TMaquinaExecucao::DefinirAlvo(qint64 agora, TAlvo alvo)
{
    FAlvoPlano = alvo;
    FAlvo = Limitado(alvo);
    RegistrarLimites(agora, alvo, FAlvo);
    FEnviarAgora = true;
    Registrar(agora, TEventoExecucao::TTipo::Alvo,
              QStringLiteral("Alvo: ") + Valores(FAlvo.velocidade, FAlvo.inclinacao), FAlvo);
}

TMaquinaExecucao::TAlvo TMaquinaExecucao::Limitado(TAlvo alvo) const
{
    return {TFaixaEsteira::VelocidadeEnviada(alvo.velocidade, FConfig.velocidadeMaxima),
            TFaixaEsteira::InclinacaoEnviada(alvo.inclinacao, FConfig.inclinacaoMaxima)};
}

void TMaquinaExecucao::RegistrarLimites(qint64 agora, TAlvo alvo, TAlvo limitado)
{
    if (std::abs(limitado.velocidade - alvo.velocidade) > 1e-9)
        Registrar(agora, TEventoExecucao::TTipo::Limite,
                  QStringLiteral("Velocidade limitada a %1 km/h (protocolo: %2 km/h)")
                      .arg(limitado.velocidade, 0, 'f', 1)
                      .arg(alvo.velocidade, 0, 'f', 1),
                  limitado);
    if (std::abs(limitado.inclinacao - alvo.inclinacao) > 1e-9)
        Registrar(agora, TEventoExecucao::TTipo::Limite,
                  QStringLiteral("Inclinação limitada a %1 % (protocolo: %2 %)")
                      .arg(limitado.inclinacao, 0, 'f', 1)
                      .arg(alvo.inclinacao, 0, 'f', 1),
                  limitado);
}

void TMaquinaExecucao::Sucesso(qint64 agora)
{
    FFalhasSeguidas = 0;
    FUltimoSucesso = agora;
    if (FLinkOk)
        return;
    FLinkOk = true;
    Registrar(agora, TEventoExecucao::TTipo::Estado,
              QStringLiteral("Comunicação restabelecida: pressione Retomar para continuar."));
}

void TMaquinaExecucao::ContarFalha(qint64 agora, const QString &texto)
{
    Registrar(agora, TEventoExecucao::TTipo::Falha, texto);
    ++FFalhasSeguidas;
    const bool semSucesso = agora - FUltimoSucesso >= kSemRespostaParaPerdaMs;
    if (Ativo() && (FFalhasSeguidas >= kFalhasParaPerda || semSucesso))
        PerderLink(agora);
}

void TMaquinaExecucao::PerderLink(qint64 agora)
{
    FLinkOk = false;
    if (FEstado == TEstadoExecucao::LinkPerdido)
        return;
    Congelar(agora);
    MudarEstado(agora, TEstadoExecucao::LinkPerdido);
    Registrar(agora, TEventoExecucao::TTipo::Falha,
              QStringLiteral("Comunicação perdida: protocolo em espera. Verifique o cabo e "
                             "pressione Retomar quando a esteira responder."));
}

void TMaquinaExecucao::Registrar(qint64 agora, TEventoExecucao::TTipo tipo, const QString &texto,
                                 TAlvo alvo)
{
    TEventoExecucao evento;
    evento.tempoMs = TempoDecorrido(agora);
    evento.tipo = tipo;
    evento.estado = FEstado;
    evento.fase = FaseAtual();
    if (FIndice >= 0)
        evento.estagio = FPlano.Etapas()[FIndice].estagio;
    evento.velocidade = alvo.velocidade;
    evento.inclinacao = alvo.inclinacao;
    evento.texto = texto;
    FEventos.append(evento);
}
