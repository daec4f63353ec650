#include "session/gravadorsessao.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <chrono>

#include "session/arquivopendentes.h"
#include "session/bancosessoes.h"
#include "session/conexaobanco.h"
#include "session/encaminhadorfila.h"
#include "session/filalocal.h"
#include "session/insercaoregistros.h"
#include "session/motivoerro.h"

TGravadorSessao::TGravadorSessao(const QString &caminhoBanco, qint64 sessaoId, QObject *parent)
    : QObject(parent),
      FCaminho(caminhoBanco),
      FConexao(QStringLiteral("kestrova-gravador-%1").arg(quintptr(this))),
      FiSessao(sessaoId)
{
    Iniciar();
}

TGravadorSessao::TGravadorSessao(const TBancoSessoes &banco, qint64 sessaoId, QObject *parent)
    : QObject(parent),
      FServidor(banco.Endereco()),
      FCaminho(banco.Endereco().Servidor() ? banco.CaminhoFila() : banco.Caminho()),
      FEstacao(banco.Estacao()),
      FConexao(QStringLiteral("kestrova-gravador-%1").arg(quintptr(this))),
      FiSessao(sessaoId)
{
    Iniciar();
}

void TGravadorSessao::Iniciar()
{
    if (FServidor.Servidor()) {
        FEncaminhador = std::make_unique<TEncaminhadorFila>(FServidor, FCaminho, FEstacao);
        connect(FEncaminhador.get(), &TEncaminhadorFila::ServidorIndisponivel, this,
                &TGravadorSessao::ServidorIndisponivel, Qt::DirectConnection);
        connect(FEncaminhador.get(), &TEncaminhadorFila::ServidorDeVolta, this,
                &TGravadorSessao::ServidorDeVolta, Qt::DirectConnection);
    }
    FThread = std::thread([this] { Executar(); });
}

TGravadorSessao::~TGravadorSessao()
{
    Encerrar();
}

void TGravadorSessao::Amostra(const TAmostraRegistro &amostra)
{
    Enfileirar(amostra);
}

void TGravadorSessao::Evento(const TEventoRegistro &evento)
{
    Enfileirar(evento);
}

void TGravadorSessao::Enfileirar(TRegistroSessao registro)
{
    {
        std::lock_guard<std::mutex> trava(FMutex);
        if (FbEncerrar)
            return;
        FFilaMemoria.push_back(std::move(registro));
        ++FiEnfileirados;
    }
    FMudou.notify_all();
}

bool TGravadorSessao::Esvaziar(int timeoutMs)
{
    const auto inicio = std::chrono::steady_clock::now();
    {
        std::unique_lock<std::mutex> trava(FMutex);
        const quint64 alvo = FiEnfileirados;
        if (!FMudou.wait_for(trava, std::chrono::milliseconds(timeoutMs),
                             [&] { return FiConfirmados >= alvo; }))
            return false;
    }
    const auto passou = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - inicio);
    return EsperarServidor(std::max<int>(0, timeoutMs - int(passou.count())));
}

bool TGravadorSessao::AguardandoServidor() const
{
    return FEncaminhador && FEncaminhador->Indisponivel();
}

bool TGravadorSessao::EsperarServidor(int timeoutMs)
{
    return !FEncaminhador || FEncaminhador->Esperar(FiUltimoAnexado, timeoutMs);
}

bool TGravadorSessao::Encerrar(QString *aviso)
{
    {
        std::lock_guard<std::mutex> trava(FMutex);
        FbEncerrar = true;
    }
    FMudou.notify_all();
    if (FThread.joinable())
        FThread.join();
    if (FEncaminhador) {
        if (FbEncerradoOk && !EsperarServidor(kEncerrarMs)) {
            FbEncerradoOk = false;
            FAvisoEncerramento =
                tr("Servidor de sessões indisponível: %1 registro(s) do teste ficaram "
                   "guardados em %2 e serão enviados ao servidor quando ele responder "
                   "(no próximo teste ou na próxima vez que o programa abrir).")
                    .arg(FEncaminhador->Pendentes())
                    .arg(QDir::toNativeSeparators(FCaminho));
        }
        FEncaminhador.reset();
    }
    if (aviso)
        *aviso = FAvisoEncerramento;
    return FbEncerradoOk;
}

void TGravadorSessao::AbrirLocal()
{
    if (FEncaminhador) {
        FFila = std::make_unique<TFilaLocal>(FCaminho, FEstacao, FConexao);
        FFila->Abrir(&FUltimoErro);  // a spool that did not open fails each batch, and says why
        return;
    }
    QSqlDatabase banco = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConexao);
    banco.setDatabaseName(FCaminho);
    banco.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    banco.open();
    QSqlQuery(banco).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
}

void TGravadorSessao::Executar()
{
    AbrirLocal();
    std::vector<TRegistroSessao> lote;
    std::unique_lock<std::mutex> trava(FMutex);
    while (!FbEncerrar) {
        FMudou.wait(trava, [&] { return FbEncerrar || !FFilaMemoria.empty() || !lote.empty(); });
        // The batch window: records arriving within kLoteMs share one commit. After a failure
        // it is the pause before the next try.
        FMudou.wait_for(trava, std::chrono::milliseconds(kLoteMs), [&] { return FbEncerrar; });
        if (!FbEncerrar)
            GravarLote(lote, trava);
    }
    Terminar(lote, trava);
    trava.unlock();
    FFila.reset();
    FecharConexao(FConexao);
}

// Adds what is queued to the batch and commits it. Called and returns with trava held.
bool TGravadorSessao::GravarLote(std::vector<TRegistroSessao> &lote,
                                 std::unique_lock<std::mutex> &trava)
{
    const quint64 enfileirados = FiEnfileirados;
    for (TRegistroSessao &r : FFilaMemoria)
        lote.push_back(std::move(r));
    FFilaMemoria.clear();
    trava.unlock();
    const bool gravou = Tentar(lote);
    trava.lock();
    if (gravou)
        FiConfirmados = enfileirados;
    FMudou.notify_all();
    return gravou;
}

// One commit of the batch (cleared when it commits), with the failure and recovery signals.
bool TGravadorSessao::Tentar(std::vector<TRegistroSessao> &lote)
{
    if (!lote.empty() && !Gravar(lote, &FUltimoErro)) {
        if (!FbEmFalha.exchange(true))
            emit Falha(tr("Falha ao gravar no banco de sessões: %1").arg(FUltimoErro));
        return false;
    }
    FiGravados += qint64(lote.size());
    lote.clear();
    if (FbEmFalha.exchange(false))
        emit Recuperado();
    return true;
}

// The session ended (nothing more is queued): the batch is retried every kLoteMs for
// kEncerrarMs, then what could not be committed is kept in the side file.
void TGravadorSessao::Terminar(std::vector<TRegistroSessao> &lote,
                               std::unique_lock<std::mutex> &trava)
{
    using std::chrono::milliseconds;
    const auto prazo = std::chrono::steady_clock::now() + milliseconds(kEncerrarMs);
    for (;;) {
        LimitarEspera(prazo);
        if (GravarLote(lote, trava))
            return;
        if (std::chrono::steady_clock::now() + milliseconds(kLoteMs) > prazo)
            break;
        FMudou.wait_for(trava, milliseconds(kLoteMs), [] { return false; });
    }
    trava.unlock();
    Guardar(lote);
    trava.lock();
}

// A file locked by another program must not hold a try past the deadline.
void TGravadorSessao::LimitarEspera(std::chrono::steady_clock::time_point prazo)
{
    QSqlDatabase banco = QSqlDatabase::database(FConexao, false);
    const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(
        prazo - std::chrono::steady_clock::now());
    if (banco.isOpen())
        QSqlQuery(banco).exec(
            QStringLiteral("PRAGMA busy_timeout=%1").arg(std::max<qint64>(resta.count(), 0)));
}

void TGravadorSessao::Guardar(const std::vector<TRegistroSessao> &lote)
{
    const QString arquivo = TArquivoPendentes::Caminho(FCaminho);
    QString erro;
    FbEncerradoOk = false;
    if (TArquivoPendentes::Anexar(arquivo, FiSessao, lote, &erro))
        FAvisoEncerramento = tr("Falha ao gravar no banco de sessões: %1. %2 registro(s) do "
                                "teste foram guardados em %3 e serão incluídos no banco na "
                                "próxima vez que o programa o abrir.")
                                 .arg(FUltimoErro)
                                 .arg(lote.size())
                                 .arg(QDir::toNativeSeparators(arquivo));
    else
        FAvisoEncerramento = tr("Falha ao gravar no banco de sessões: %1. %2 registro(s) do teste "
                                "foram perdidos: também não foi possível guardá-los em %3 (%4).")
                                 .arg(FUltimoErro)
                                 .arg(lote.size())
                                 .arg(QDir::toNativeSeparators(arquivo), erro);
}

bool TGravadorSessao::Gravar(const std::vector<TRegistroSessao> &lote, QString *erro)
{
    if (FFila) {
        qint64 ultimo = 0;
        if (!FFila->Anexar(FiSessao, lote, &ultimo, erro))
            return false;
        FiUltimoAnexado = ultimo;
        FEncaminhador->Acordar(ultimo);
        return true;
    }
    QSqlDatabase banco = QSqlDatabase::database(FConexao, false);
    if (!banco.isOpen() && !banco.open()) {
        *erro = MotivoErro(banco.lastError(), QSqlError(),
                           tr("o arquivo do banco não pôde ser aberto"));
        return false;
    }
    if (!banco.transaction()) {
        *erro = MotivoErro(banco.lastError(), QSqlError(), tr("a transação não pôde ser iniciada"));
        return false;
    }
    TInsercaoRegistros insercao(banco);
    for (const TRegistroSessao &r : lote)
        if (!insercao.Inserir(FiSessao, r, erro)) {
            banco.rollback();
            return false;
        }
    if (!banco.commit()) {
        *erro = MotivoConfirmacao(banco.lastError());
        banco.rollback();
        return false;
    }
    return true;
}
