#pragma once

#include <QObject>
#include <memory>

#include "kestrova_protocol_export.h"
#include "protocol/amostraexecucao.h"
#include "protocol/estadoexecucao.h"
#include "protocol/eventoexecucao.h"
#include "protocol/protocolo.h"
#include "protocol/relogio.h"

class TOrvanta;

// Runs a protocol on a board. The exchanges happen on a thread of the runner's own, one at a
// time through the device's exchange slot; the device is not owned and must outlive the runner.
// Operator actions are slots called on the main thread (Parar also from any other thread);
// events, samples and state changes are signals always emitted on the main thread, which must
// run its event loop. A device that takes its answers on its reader thread
// (TOrvanta::TRespostas::NaLeitura) makes every exchange independent of the main thread; one
// that takes them on the main loop makes a busy main thread fail them.
//
// The main thread is watched: when it has not run its event loop for kJanelaSemRespostaMs
// during a test (a frozen window, where the operator can neither see the test nor press PARAR),
// the protocol holds as on Pausar -- no further stage or ramp target, the belt keeps its
// target, re-sent as usual -- with the event "Janela sem resposta: protocolo em espera", and
// resumes only on Retomar.
//
// Belt safety: the belt moves only after the start countdown; a stop is the next frame on the
// line and nothing non-zero follows it until a new start; no target above the test's limits is
// sent; after a lost link nothing above the last acknowledged target is sent, and the protocol
// resumes only on Retomar.
class KESTROVA_PROTOCOL_EXPORT TExecutorProtocolo : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kContagemMs = 3000;
    static constexpr int kFalhasParaPerda = 2;
    static constexpr qint64 kSemRespostaParaPerdaMs = 2000;
    static constexpr qint64 kRecuperacaoPadraoMs = 3 * 60000;
    static constexpr double kVelocidadeRecuperacaoPadrao = 2.5;
    static constexpr qint64 kJanelaSemRespostaMs = 2000;  // real time, whatever the time scale

    TExecutorProtocolo(TOrvanta *dispositivo, QObject *parent = nullptr);
    // Times the run on the given clock (tests pass a TRelogioManual).
    TExecutorProtocolo(TOrvanta *dispositivo, std::shared_ptr<TRelogio> relogio,
                       QObject *parent = nullptr);
    // Stops the belt first when it may move (waiting for the stop frame, at most one exchange
    // time-out plus the stop's own), emitting no more signals.
    ~TExecutorProtocolo() override;

    // Settings: take effect at the next Iniciar.
    void AjustarProtocolo(const TProtocolo &protocolo);
    void AjustarLimites(double velocidadeMaxima, double inclinacaoMaxima);
    void AjustarRecuperacao(qint64 duracaoMs, double velocidade, double inclinacao);
    void AjustarAceitarLimitacao(bool aceitar);  // operator accepted clamping to the board's range
    void AjustarEscalaTempo(double escala);      // 1.0 = real time
    void AjustarPeriodoMs(int periodoMs);        // re-send period between boundaries (default 1000)
    // Whether a main thread that stops answering holds the protocol (default on). A program
    // with no window to watch, whose operator stops it otherwise (a terminal's Ctrl+C), turns
    // it off.
    void AjustarVigiaDaJanela(bool vigiar);

    // Hands the runner a reopened device in place of one whose port was lost (the owner keeps
    // both; the old one may go once this returns), or none (nullptr: the owner closes the dead
    // port; the link is lost and every exchange fails until a device is handed back). Waits for
    // an exchange in flight on the old device. Nothing is sent because of it: a held run still
    // waits for Retomar.
    void TrocarDispositivo(TOrvanta *dispositivo);

    // Why Iniciar would refuse the test as configured now (empty: it would start), so that the
    // caller can check before it records anything.
    QString MotivoRecusa() const;
    TEstadoExecucao Estado() const;
    // A stop was asked for and the board has not acknowledged it yet (it is being retried).
    bool ParadaPendente() const;
    TAmostraExecucao UltimaAmostra() const;
    TProtocolo Protocolo() const;  // the protocol as it will run (recovery included)

public slots:        // main thread
    void Iniciar();  // Pronto/Parado/Concluido -> Contagem (3 s) -> Aquecimento...
    void CancelarContagem();
    void Pausar();
    void Retomar();  // also leaves LinkPerdido
    void ProximoEstagio();
    void IrParaRecuperacao();
    void AjustarVelocidadeManual(double velocidade);
    void AjustarInclinacaoManual(double inclinacao);
    void Parar();  // stop frame first, then state Parado; any thread

signals:  // always emitted on the main thread
    void Evento(const TEventoExecucao &evento);
    void Amostra(const TAmostraExecucao &amostra);
    void EstadoMudou(TEstadoExecucao estado);

private:
    static constexpr int kVigiaMs = 100;
    void VigiarDispositivo();

    struct TPrivado;
    friend struct TPrivado;
    std::unique_ptr<TPrivado> d;
};
