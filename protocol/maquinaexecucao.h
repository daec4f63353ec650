#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "kestrova_protocol_export.h"
#include "protocol/amostraexecucao.h"
#include "protocol/estadoexecucao.h"
#include "protocol/eventoexecucao.h"
#include "protocol/planoexecucao.h"
#include "protocol/protocolo.h"

// The runner's state machine, without threads or I/O: operator actions and the passing of time
// change its state, it says what the board must receive next, and it is told how each exchange
// went. Times are the clock's milliseconds; protocol time runs escala times faster and stops
// while held. Not thread-safe: the runner guards it with a lock.
class KESTROVA_PROTOCOL_EXPORT TMaquinaExecucao {
public:
    using TAlvo = TPlanoExecucao::TAlvo;
    enum class TEnvio { Nada, Alvo, Parada };
    // The frames of one target: an axis without a value is not sent.
    struct TQuadros {
        std::optional<double> velocidade, inclinacao;
        bool Vazio() const { return !velocidade && !inclinacao; }
    };

    struct TConfiguracao {
        std::optional<TProtocolo> protocolo;
        double velocidadeMaxima = 18.0, inclinacaoMaxima = 25.0;
        std::optional<TPasso> recuperacao;  // the operator's recovery for this test
        bool aceitarLimitacao = false;
        double escala = 1.0;
        int periodoMs = 1000;
    };

    static constexpr qint64 kContagemMs = 3000;
    static constexpr int kFalhasParaPerda = 2;
    static constexpr qint64 kSemRespostaParaPerdaMs = 2000;
    static constexpr qint64 kPeriodoAmostraMs = 1000;

    TConfiguracao &Configuracao() { return FConfig; }
    // The protocol as it runs: the chosen one with the operator's recovery.
    std::optional<TProtocolo> ProtocoloEfetivo() const;

    // Why Iniciar would refuse the test as configured (empty: it would start).
    QString MotivoRecusa() const;

    // Operator actions; each records an event. Those that do not apply in the current state
    // change nothing.
    void Iniciar(qint64 agora);
    // A cancel that arrives once the countdown has ended acts as a stop.
    void CancelarContagem(qint64 agora);
    void Pausar(qint64 agora);
    void Retomar(qint64 agora);
    void ProximoEstagio(qint64 agora);
    void IrParaRecuperacao(qint64 agora);
    void AjustarManual(qint64 agora, std::optional<double> velocidade,
                       std::optional<double> inclinacao);
    void PedirParada(qint64 agora);
    // The port reported the device gone (a pulled cable): the link is lost at once and, even
    // when the device comes back, nothing is sent until the operator resumes. During the
    // countdown it cancels the countdown: nothing was sent, and nothing will be.
    void DispositivoPerdido(qint64 agora);
    void DispositivoReaberto(qint64 agora);  // tells the operator; sends nothing
    // The window stopped answering during a test: the protocol holds as on Pausar, with an
    // event saying why; only Retomar resumes it.
    void JanelaSemResposta(qint64 agora);

    // Lets time pass: the countdown's end, stage boundaries, ramp steps, the end, link loss.
    void Avancar(qint64 agora);
    // What the board must receive now.
    TEnvio Pendente(qint64 agora) const;
    // A stop waits to go out: a target's frame not yet on the line is given up for it.
    bool ParadaPedida() const { return FParadaPedida; }
    // A stop was asked for and the board has not acknowledged it yet (it is being retried).
    bool ParadaPendente() const { return FParadaPedida || FParadaPendente; }
    TQuadros QuadrosParaEnviar() const;
    // Outcomes of the exchanges (erro empty: acknowledged). escrito: the frame may have reached
    // the board (false when there was no device to write to).
    void EnvioIniciado(qint64 agora);
    void ResultadoVelocidade(qint64 agora, double velocidade, const QString &erro,
                             bool escrito = true);
    void ResultadoInclinacao(qint64 agora, double inclinacao, const QString &erro,
                             bool escrito = true);
    // The run a stop frame belongs to: a stop's outcome arriving after a new start changes
    // nothing of the new run.
    int ParadaIniciada() const { return FGeracao; }
    void ResultadoParada(qint64 agora, const QString &erro, int geracao);
    void ResultadoParada(qint64 agora, const QString &erro)
    {
        ResultadoParada(agora, erro, FGeracao);
    }

    // How long the runner may sleep before something is due (at least 1 ms).
    qint64 EsperaMs(qint64 agora) const;
    // A sample when one is due (once a clock second while a test runs, and once when it ends).
    std::optional<TAmostraExecucao> AmostraDevida(qint64 agora);
    TAmostraExecucao Amostra(qint64 agora) const;
    TEstadoExecucao Estado() const { return FEstado; }
    QList<TEventoExecucao> TomarEventos();

private:
    bool Rodando() const;  // warm-up, exercise, recovery
    bool Ativo() const;    // the belt may move: running, held, link lost
    qint64 TempoProtocolo(qint64 agora) const;
    qint64 TempoDecorrido(qint64 agora) const;
    TEstadoExecucao EstadoDaFase() const;
    TFase FaseAtual() const;
    void MudarEstado(qint64 agora, TEstadoExecucao estado);
    void Congelar(qint64 agora);
    void Saltar(qint64 agora, int indice);
    void AtualizarEtapa(qint64 agora);
    void DefinirAlvo(qint64 agora, TAlvo alvo);
    void RegistrarEstagio(qint64 agora, TAlvo pedido);
    TAlvo Limitado(TAlvo alvo) const;
    void RegistrarLimites(qint64 agora, TAlvo pedido, TAlvo limitado);
    // One axis' outcome: what the board acknowledged, and whether it surely holds it.
    void Resultado(double valor, const QString &erro, bool escrito, double &confirmado, bool &certo,
                   bool &noTeste);
    void Concluir(qint64 agora);
    void Sucesso(qint64 agora);
    void ContarFalha(qint64 agora, const QString &texto);
    void PerderLink(qint64 agora);
    void Registrar(qint64 agora, TEventoExecucao::TTipo tipo, const QString &texto,
                   TAlvo alvo = {});

    TConfiguracao FConfig;
    TPlanoExecucao FPlano;
    TEstadoExecucao FEstado = TEstadoExecucao::Pronto;
    qint64 FInicioContagem = 0;
    qint64 FInicio = 0;  // clock at the countdown's end
    qint64 FAncoraRelogio = 0, FAncoraProtocolo = 0;
    bool FCongelado = false;
    int FIndice = -1;
    TAlvo FAlvo;       // the target as sent, within the limits
    TAlvo FAlvoPlano;  // the target the protocol (or the operator) asked for
    bool FIniciado = false;
    bool FManual = false;
    bool FEnviarAgora = false;
    qint64 FUltimoEnvio = 0;
    bool FParadaPedida = false, FParadaPendente = false, FConcluindo = false;
    int FFalhasSeguidas = 0;
    qint64 FUltimoSucesso = 0;
    bool FLinkOk = true;
    bool FSemSondagem = false;  // a lost device: no probing until Retomar
    TAlvo FConfirmado;          // last values the board acknowledged
    // The board surely holds FConfirmado on that axis: no frame with another value went out
    // since without its answer. After a time-out the board holds either value.
    bool FVelocidadeCerta = false, FInclinacaoCerta = false;
    // FConfirmado was acknowledged during this test (before that, it is unknown).
    bool FVelocidadeNoTeste = false, FInclinacaoNoTeste = false;
    int FGeracao = 0;            // counts the starts
    bool FAmostraFinal = false;  // one more sample is due: the run just ended
    qint64 FProximaAmostra = 0;
    QList<TEventoExecucao> FEventos;
};
