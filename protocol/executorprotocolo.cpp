#include "protocol/executorprotocolo.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "device/orvanta.h"
#include "platform/eventpump.h"
#include "platform/exception.h"
#include "protocol/faixaesteira.h"
#include "protocol/maquinaexecucao.h"

struct TExecutorProtocolo::TPrivado {
    TExecutorProtocolo *q;
    TOrvanta *dispositivo;
    std::shared_ptr<TRelogio> relogio;

    mutable std::mutex mutex;
    std::condition_variable acordar;
    TMaquinaExecucao maquina;  // guarded by mutex
    bool encerrar = false;     // guarded by mutex
    bool emTroca = false;      // guarded by mutex: the worker is in an exchange with dispositivo
    std::atomic<bool> terminou{false};
    // When the main thread last woke to handle events, on the real clock (the protocol's clock
    // may be scaled or driven by hand), and whether it now waits for more: a thread waiting in
    // its event loop answers at once.
    using TRelogioReal = std::chrono::steady_clock;
    std::atomic<TRelogioReal::rep> batimento{TRelogioReal::now().time_since_epoch().count()};
    std::atomic<bool> ocioso{false};
    std::atomic<bool> vigiarJanela{true};
    std::thread trabalhador;
    QTimer vigia;  // main thread: watches the port for a lost device

    qint64 Agora() const { return relogio->AgoraMs(); }
    void Batimento() { batimento = TRelogioReal::now().time_since_epoch().count(); }
    bool JanelaCalada() const
    {
        if (!vigiarJanela || ocioso)
            return false;
        const auto calada = TRelogioReal::now() -
                            TRelogioReal::time_point(TRelogioReal::duration(batimento.load()));
        return calada >= std::chrono::milliseconds(kJanelaSemRespostaMs);
    }
    void VigiarLacoDeEventos();
    void Laco();
    void EnviarAlvo(std::unique_lock<std::mutex> &lock);
    void EnviarParada(std::unique_lock<std::mutex> &lock);
    struct TResultadoTroca {
        QString erro;           // empty: acknowledged
        bool escrito = true;    // the frame may have reached the board
        bool desistiu = false;  // given up for a stop before its frame was written
    };
    // Runs one exchange with the lock released; the device cannot be swapped meanwhile. A
    // target's frame (paraAlvo) is given up, unwritten, when a stop is waiting once the line
    // is ready for it.
    TResultadoTroca Trocar(
        std::unique_lock<std::mutex> &lock,
        const std::function<bool(TOrvanta &, const TOrvanta::TDesistir &)> &troca);
    bool ParadaEsperando();  // locks mutex
    void Publicar();         // mutex held
    // Runs an operator action on the machine and wakes the worker.
    template <typename F>
    void Agir(F acao)
    {
        {
            std::lock_guard lock(mutex);
            acao(maquina, Agora());
            Publicar();
        }
        acordar.notify_all();
    }
};

TExecutorProtocolo::TExecutorProtocolo(TOrvanta *dispositivo, QObject *parent)
    : TExecutorProtocolo(dispositivo, std::make_shared<TRelogioMonotonico>(), parent)
{
}

TExecutorProtocolo::TExecutorProtocolo(TOrvanta *dispositivo, std::shared_ptr<TRelogio> relogio,
                                       QObject *parent)
    : QObject(parent), d(std::make_unique<TPrivado>())
{
    qRegisterMetaType<TEventoExecucao>();
    qRegisterMetaType<TAmostraExecucao>();
    qRegisterMetaType<TEstadoExecucao>();
    d->q = this;
    d->dispositivo = dispositivo;
    d->relogio = relogio ? std::move(relogio) : std::make_shared<TRelogioMonotonico>();
    d->VigiarLacoDeEventos();
    d->trabalhador = std::thread([this] { d->Laco(); });
    d->vigia.setInterval(kVigiaMs);
    connect(&d->vigia, &QTimer::timeout, this, [this] { VigiarDispositivo(); });
    d->vigia.start();
}

// The dispatcher says when the main thread starts waiting for events and when it wakes; the
// watch timer also beats for a loop so busy it never waits.
void TExecutorProtocolo::TPrivado::VigiarLacoDeEventos()
{
    QAbstractEventDispatcher *despachante = QAbstractEventDispatcher::instance(q->thread());
    if (!despachante)
        return;
    QObject::connect(
        despachante, &QAbstractEventDispatcher::aboutToBlock, q, [this] { ocioso = true; },
        Qt::DirectConnection);
    QObject::connect(
        despachante, &QAbstractEventDispatcher::awake, q,
        [this] {
            Batimento();
            ocioso = false;
        },
        Qt::DirectConnection);
}

void TExecutorProtocolo::VigiarDispositivo()
{
    d->Batimento();  // the main thread's event loop runs
    // The port's reader stops when the device vanishes; the port belongs to the main thread.
    const TAdvancedCom *porta = d->dispositivo ? d->dispositivo->Porta() : nullptr;
    const bool perdido = !porta || !porta->IsOpen() || !porta->ReaderRunning();
    if (perdido)
        d->Agir([](TMaquinaExecucao &m, qint64 agora) { m.DispositivoPerdido(agora); });
}

TExecutorProtocolo::~TExecutorProtocolo()
{
    // Receivers may be half destroyed already (a window deleting its children): no more signals.
    blockSignals(true);
    d->vigia.stop();
    const TEstadoExecucao estado = Estado();
    const bool movendo = estado != TEstadoExecucao::Pronto && estado != TEstadoExecucao::Parado &&
                         estado != TEstadoExecucao::Concluido &&
                         estado != TEstadoExecucao::Contagem;
    if (movendo)
        Parar();
    // The worker's exchanges are answered through the main thread: keep delivering until the
    // stop went out and the worker ended.
    {
        std::unique_lock lock(d->mutex);
        d->encerrar = true;
    }
    d->acordar.notify_all();
    while (!d->terminou) {
        ProcessPendingEvents();
        std::unique_lock lock(d->mutex);
        d->acordar.wait_for(lock, std::chrono::milliseconds(2),
                            [this] { return d->terminou.load(); });
    }
    d->trabalhador.join();
}

void TExecutorProtocolo::TPrivado::Laco()
{
    std::unique_lock lock(mutex);
    for (;;) {
        const qint64 agora = Agora();
        // Before time passes: a stage boundary due now is not crossed with nobody watching.
        if (JanelaCalada())
            maquina.JanelaSemResposta(agora);
        maquina.Avancar(agora);
        if (auto amostra = maquina.AmostraDevida(agora))
            QMetaObject::invokeMethod(
                q, [q = q, a = *amostra] { emit q->Amostra(a); }, Qt::QueuedConnection);
        Publicar();
        const TMaquinaExecucao::TEnvio envio = maquina.Pendente(agora);
        if (envio == TMaquinaExecucao::TEnvio::Parada) {
            EnviarParada(lock);
            continue;
        }
        // A stop asked for while leaving went out above; nothing else holds the worker.
        if (encerrar)
            break;
        if (envio == TMaquinaExecucao::TEnvio::Alvo) {
            EnviarAlvo(lock);
            continue;
        }
        acordar.wait_for(lock, std::chrono::milliseconds(maquina.EsperaMs(agora)));
    }
    terminou = true;
    lock.unlock();
    acordar.notify_all();
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] {}, Qt::QueuedConnection);  // wake a pumping destructor
}

TExecutorProtocolo::TPrivado::TResultadoTroca TExecutorProtocolo::TPrivado::Trocar(
    std::unique_lock<std::mutex> &lock,
    const std::function<bool(TOrvanta &, const TOrvanta::TDesistir &)> &troca)
{
    TOrvanta *alvo = dispositivo;
    emTroca = true;
    lock.unlock();
    TResultadoTroca resultado;
    try {
        if (!alvo) {
            resultado.erro = QStringLiteral("Falha na comunicação: porta perdida.");
            resultado.escrito = false;
        } else {
            resultado.desistiu = !troca(*alvo, [this] { return ParadaEsperando(); });
        }
    } catch (const Exception &e) {
        resultado.erro = e.Message().isEmpty() ? QStringLiteral("falha") : e.Message();
    }
    lock.lock();
    emTroca = false;
    return resultado;
}

bool TExecutorProtocolo::TPrivado::ParadaEsperando()
{
    std::lock_guard trava(mutex);
    return maquina.ParadaPedida();
}

// Speed, then grade. A stop asked for meanwhile (by the operator, or by the protocol's end)
// overtakes every frame not yet written: the device asks again once the line is ready.
void TExecutorProtocolo::TPrivado::EnviarAlvo(std::unique_lock<std::mutex> &lock)
{
    const TMaquinaExecucao::TQuadros quadros = maquina.QuadrosParaEnviar();
    maquina.EnvioIniciado(Agora());
    if (quadros.velocidade && !maquina.ParadaPedida()) {
        const double v = *quadros.velocidade;
        const TResultadoTroca r = Trocar(lock, [v](TOrvanta &o, const TOrvanta::TDesistir &d) {
            return o.AjustarVelocidade(v, d);
        });
        if (r.desistiu)
            return;
        maquina.ResultadoVelocidade(Agora(), v, r.erro, r.escrito);
        Publicar();
    }
    if (quadros.inclinacao && !maquina.ParadaPedida()) {
        const double i = *quadros.inclinacao;
        const TResultadoTroca r = Trocar(lock, [i](TOrvanta &o, const TOrvanta::TDesistir &d) {
            return o.AjustarInclinacao(i, d);
        });
        if (r.desistiu)
            return;
        maquina.ResultadoInclinacao(Agora(), i, r.erro, r.escrito);
        Publicar();
    }
}

// A stop asked for again while this one is on the line is satisfied by it.
void TExecutorProtocolo::TPrivado::EnviarParada(std::unique_lock<std::mutex> &lock)
{
    const int geracao = maquina.ParadaIniciada();
    const TResultadoTroca r = Trocar(lock, [](TOrvanta &o, const TOrvanta::TDesistir &) {
        o.Parar();
        return true;
    });
    maquina.ResultadoParada(Agora(), r.erro, geracao);
    Publicar();
}

void TExecutorProtocolo::TrocarDispositivo(TOrvanta *dispositivo)
{
    // The worker's exchange in flight ends on the old device (its answer comes through the main
    // thread, or its time-out); then the pointer changes between two exchanges.
    std::unique_lock lock(d->mutex);
    while (d->emTroca) {
        lock.unlock();
        ProcessPendingEvents();
        lock.lock();
        d->acordar.wait_for(lock, std::chrono::milliseconds(2), [this] { return !d->emTroca; });
    }
    d->dispositivo = dispositivo;
    if (dispositivo)
        d->maquina.DispositivoReaberto(d->Agora());
    else
        d->maquina.DispositivoPerdido(d->Agora());
    d->Publicar();
}

void TExecutorProtocolo::TPrivado::Publicar()
{
    for (const TEventoExecucao &evento : maquina.TomarEventos()) {
        const bool mudouEstado = evento.tipo == TEventoExecucao::TTipo::Estado &&
                                 evento.texto == NomeEstado(evento.estado);
        QMetaObject::invokeMethod(
            q,
            [q = q, evento, mudouEstado] {
                // The event first: a receiver that ends its record on the state change has
                // the event that carries it.
                emit q->Evento(evento);
                if (mudouEstado)
                    emit q->EstadoMudou(evento.estado);
            },
            Qt::QueuedConnection);
    }
}

void TExecutorProtocolo::AjustarProtocolo(const TProtocolo &protocolo)
{
    d->Agir([&](TMaquinaExecucao &m, qint64) { m.Configuracao().protocolo = protocolo; });
}

void TExecutorProtocolo::AjustarLimites(double velocidadeMaxima, double inclinacaoMaxima)
{
    d->Agir([&](TMaquinaExecucao &m, qint64) {
        auto &c = m.Configuracao();
        // A limit below the lowest moving speed is kept as it is: Iniciar refuses it.
        c.velocidadeMaxima = std::min(velocidadeMaxima, TFaixaEsteira::kVelocidadeMaxima);
        c.inclinacaoMaxima = std::clamp(inclinacaoMaxima, 0.0, TFaixaEsteira::kInclinacaoMaxima);
    });
}

void TExecutorProtocolo::AjustarRecuperacao(qint64 duracaoMs, double velocidade, double inclinacao)
{
    d->Agir([&](TMaquinaExecucao &m, qint64) {
        m.Configuracao().recuperacao =
            TPasso::Estagio(std::max<qint64>(duracaoMs, 0), velocidade, inclinacao);
    });
}

void TExecutorProtocolo::AjustarAceitarLimitacao(bool aceitar)
{
    d->Agir([&](TMaquinaExecucao &m, qint64) { m.Configuracao().aceitarLimitacao = aceitar; });
}

void TExecutorProtocolo::AjustarEscalaTempo(double escala)
{
    if (!(escala > 0) || !std::isfinite(escala))
        return;
    d->Agir([&](TMaquinaExecucao &m, qint64) { m.Configuracao().escala = escala; });
}

void TExecutorProtocolo::AjustarPeriodoMs(int periodoMs)
{
    d->Agir(
        [&](TMaquinaExecucao &m, qint64) { m.Configuracao().periodoMs = std::max(periodoMs, 1); });
}

TEstadoExecucao TExecutorProtocolo::Estado() const
{
    std::lock_guard lock(d->mutex);
    return d->maquina.Estado();
}

bool TExecutorProtocolo::ParadaPendente() const
{
    std::lock_guard lock(d->mutex);
    return d->maquina.ParadaPendente();
}

TAmostraExecucao TExecutorProtocolo::UltimaAmostra() const
{
    std::lock_guard lock(d->mutex);
    return d->maquina.Amostra(d->Agora());
}

TProtocolo TExecutorProtocolo::Protocolo() const
{
    std::lock_guard lock(d->mutex);
    return d->maquina.ProtocoloEfetivo().value_or(TProtocolo{});
}

QString TExecutorProtocolo::MotivoRecusa() const
{
    std::lock_guard lock(d->mutex);
    return d->maquina.MotivoRecusa();
}

void TExecutorProtocolo::AjustarVigiaDaJanela(bool vigiar)
{
    d->vigiarJanela = vigiar;
}

void TExecutorProtocolo::Iniciar()
{
    d->Batimento();
    d->Agir([](TMaquinaExecucao &m, qint64 agora) { m.Iniciar(agora); });
    VigiarDispositivo();  // no device to start on: the countdown ends at once
}

void TExecutorProtocolo::CancelarContagem()
{
    d->Agir([](TMaquinaExecucao &m, qint64 agora) { m.CancelarContagem(agora); });
}

void TExecutorProtocolo::Pausar()
{
    d->Agir([](TMaquinaExecucao &m, qint64 agora) { m.Pausar(agora); });
}

void TExecutorProtocolo::Retomar()
{
    d->Agir([](TMaquinaExecucao &m, qint64 agora) { m.Retomar(agora); });
}

void TExecutorProtocolo::ProximoEstagio()
{
    d->Agir([](TMaquinaExecucao &m, qint64 agora) { m.ProximoEstagio(agora); });
}

void TExecutorProtocolo::IrParaRecuperacao()
{
    d->Agir([](TMaquinaExecucao &m, qint64 agora) { m.IrParaRecuperacao(agora); });
}

void TExecutorProtocolo::AjustarVelocidadeManual(double velocidade)
{
    d->Agir([&](TMaquinaExecucao &m, qint64 agora) { m.AjustarManual(agora, velocidade, {}); });
}

void TExecutorProtocolo::AjustarInclinacaoManual(double inclinacao)
{
    d->Agir([&](TMaquinaExecucao &m, qint64 agora) { m.AjustarManual(agora, {}, inclinacao); });
}

void TExecutorProtocolo::Parar()
{
    d->Agir([](TMaquinaExecucao &m, qint64 agora) { m.PedirParada(agora); });
}
