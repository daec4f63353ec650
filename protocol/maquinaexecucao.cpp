#include "protocol/maquinaexecucao.h"

#include <algorithm>
#include <cmath>

#include "protocol/faixaesteira.h"

namespace {

constexpr qint64 kEsperaMaximaMs = 20;

QString Valores(double velocidade, double inclinacao)
{
    return QStringLiteral("%1 km/h, %2 %").arg(velocidade, 0, 'f', 1).arg(inclinacao, 0, 'f', 1);
}

// The largest multiple of quantum not above limite.
double Piso(double limite, double quantum)
{
    return std::floor(limite / quantum + 1e-6) * quantum;
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

void TMaquinaExecucao::Iniciar(qint64 agora)
{
    if (FEstado != TEstadoExecucao::Pronto && FEstado != TEstadoExecucao::Parado &&
        FEstado != TEstadoExecucao::Concluido)
        return;
    Registrar(agora, TEventoExecucao::TTipo::Acao, QStringLiteral("Operador: iniciar"));
    const std::optional<TProtocolo> protocolo = ProtocoloEfetivo();
    if (!protocolo || protocolo->exercicio.isEmpty()) {
        Registrar(agora, TEventoExecucao::TTipo::Falha,
                  QStringLiteral("Nenhum protocolo com fase de exercício foi escolhido."));
        return;
    }
    const QStringList limitacoes = TFaixaEsteira::Limitacoes(*protocolo);
    if (!limitacoes.isEmpty() && !FConfig.aceitarLimitacao) {
        Registrar(agora, TEventoExecucao::TTipo::Falha,
                  QStringLiteral("O protocolo excede a faixa da esteira e só é executado com a "
                                 "limitação aceita: ") +
                      limitacoes.join(QStringLiteral("; ")));
        return;
    }
    FPlano = TPlanoExecucao(*protocolo);
    FIndice = -1;
    FManual = FEnviarAgora = FParadaPedida = FParadaPendente = FConcluindo = FSemSondagem = false;
    FIniciado = false;
    FFalhasSeguidas = 0;
    FLinkOk = true;
    FInicioContagem = FProximaAmostra = agora;
    MudarEstado(agora, TEstadoExecucao::Contagem);
}

void TMaquinaExecucao::CancelarContagem(qint64 agora)
{
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
    if (FEstado == TEstadoExecucao::LinkPerdido && FSemSondagem)
        return TEnvio::Nada;
    if (Ativo() && (FEnviarAgora || agora - FUltimoEnvio >= FConfig.periodoMs))
        return TEnvio::Alvo;
    return TEnvio::Nada;
}

TMaquinaExecucao::TAlvo TMaquinaExecucao::AlvoParaEnviar() const
{
    TAlvo alvo = FAlvo;
    if (FEstado == TEstadoExecucao::LinkPerdido) {
        // Nothing the board has not acknowledged until the operator resumes.
        alvo.velocidade = std::min(alvo.velocidade, FConfirmado.velocidade);
        alvo.inclinacao = std::min(alvo.inclinacao, FConfirmado.inclinacao);
    }
    return alvo;
}

void TMaquinaExecucao::EnvioIniciado(qint64 agora)
{
    FEnviarAgora = false;
    FUltimoEnvio = agora;
}

void TMaquinaExecucao::ResultadoVelocidade(qint64 agora, double velocidade, const QString &erro)
{
    if (!erro.isEmpty())
        return ContarFalha(agora, QStringLiteral("Falha ao enviar a velocidade: ") + erro);
    FConfirmado.velocidade = velocidade;
    Sucesso(agora);
}

void TMaquinaExecucao::ResultadoInclinacao(qint64 agora, double inclinacao, const QString &erro)
{
    if (!erro.isEmpty())
        return ContarFalha(agora, QStringLiteral("Falha ao enviar a inclinação: ") + erro);
    FConfirmado.inclinacao = inclinacao;
    Sucesso(agora);
}

void TMaquinaExecucao::ResultadoParada(qint64 agora, const QString &erro)
{
    FParadaPedida = false;
    FUltimoEnvio = agora;
    FAlvo = FAlvoPlano = {};
    if (erro.isEmpty()) {
        FParadaPendente = false;
        FConfirmado = {};
        Sucesso(agora);
    } else {
        FParadaPendente = true;
        Registrar(agora, TEventoExecucao::TTipo::Falha,
                  QStringLiteral("Falha ao parar a esteira: %1 (nova tentativa a cada período)")
                      .arg(erro));
    }
    if (FEstado != TEstadoExecucao::Parado && FEstado != TEstadoExecucao::Concluido)
        MudarEstado(agora, FConcluindo ? TEstadoExecucao::Concluido : TEstadoExecucao::Parado);
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
    if (FIndice >= 0) {
        const TEtapaProtocolo &etapa = FPlano.Etapas()[FIndice];
        const qint64 t = TempoProtocolo(agora);
        amostra.fase = etapa.fase;
        amostra.estagio = etapa.estagio;
        amostra.tempoNoEstagioMs = std::clamp<qint64>(t - etapa.inicioMs, 0, etapa.passo.duracaoMs);
        amostra.tempoParaProximoMs =
            FIndice + 1 < FPlano.Etapas().size() ? std::max<qint64>(etapa.FimMs() - t, 0) : -1;
    }
    const TAlvo alvo = AlvoParaEnviar();
    amostra.velocidadeAlvo = alvo.velocidade;
    amostra.inclinacaoAlvo = alvo.inclinacao;
    amostra.velocidadeConfirmada = FConfirmado.velocidade;
    amostra.inclinacaoConfirmada = FConfirmado.inclinacao;
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
        const TEtapaProtocolo &etapa = FPlano.Etapas()[indice];
        Registrar(agora, TEventoExecucao::TTipo::Estagio,
                  QStringLiteral("Estágio %1 (%2): %3")
                      .arg(etapa.estagio)
                      .arg(NomeFase(etapa.fase), Valores(alvo.velocidade, alvo.inclinacao)),
                  alvo);
        DefinirAlvo(agora, alvo);
    } else if (!FManual && !(alvo == FAlvoPlano)) {
        DefinirAlvo(agora, alvo);
    }
}

void TMaquinaExecucao::DefinirAlvo(qint64 agora, TAlvo alvo)
{
    FAlvoPlano = alvo;
    FAlvo = Limitar(agora, alvo);
    FEnviarAgora = true;
    const TAlvo enviado = AlvoParaEnviar();
    Registrar(agora, TEventoExecucao::TTipo::Alvo,
              QStringLiteral("Alvo: ") + Valores(enviado.velocidade, enviado.inclinacao), enviado);
}

TMaquinaExecucao::TAlvo TMaquinaExecucao::Limitar(qint64 agora, TAlvo alvo)
{
    TAlvo limitado;
    if (alvo.velocidade > 0)
        limitado.velocidade = std::min(TFaixaEsteira::AjustarVelocidade(alvo.velocidade),
                                       Piso(FConfig.velocidadeMaxima, 0.1));
    limitado.inclinacao = std::min(TFaixaEsteira::AjustarInclinacao(alvo.inclinacao),
                                   Piso(FConfig.inclinacaoMaxima, 0.5));
    limitado.velocidade = TFaixaEsteira::QuantizarVelocidade(limitado.velocidade);
    limitado.inclinacao = TFaixaEsteira::QuantizarInclinacao(limitado.inclinacao);
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
    return limitado;
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
    if (FIndice >= 0) {
        evento.fase = FPlano.Etapas()[FIndice].fase;
        evento.estagio = FPlano.Etapas()[FIndice].estagio;
    }
    evento.velocidade = alvo.velocidade;
    evento.inclinacao = alvo.inclinacao;
    evento.texto = texto;
    FEventos.append(evento);
}
