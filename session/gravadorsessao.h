#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "kestrova_session_export.h"
#include "session/enderecobanco.h"
#include "session/registrossessao.h"

class TBancoSessoes;
class TEncaminhadorFila;
class TFilaLocal;

// Records the samples and events of one running test off the GUI thread.
//
// Amostra and Evento only queue the record (no I/O on the caller's thread). A thread of its own,
// with its own connection to the file, commits what is queued in one transaction at most
// kLoteMs after the first record of a batch arrived, so every record is on disk within a second.
// A failed commit keeps the batch, emits Falha at once (once per failure spell) and tries again
// each kLoteMs; Recuperado follows when a commit succeeds again. The belt is never waited for.
// When the session ends during a failure, the records still uncommitted after kEncerrarMs go to
// the side file beside the database (TArquivoPendentes), which the next TBancoSessoes::Abrir
// reads back.
//
// On a server database the commit is to the station's local spool (TFilaLocal), and a forwarder
// of its own (TEncaminhadorFila) takes the spool to the server: an outage costs no record and
// holds up nothing; ServidorIndisponivel says how many records wait, ServidorDeVolta when they
// are all in. What has not reached the server when the session ends stays in the spool, which the
// next TBancoSessoes::Abrir forwards.
class KESTROVA_SESSION_EXPORT TGravadorSessao : public QObject {
    Q_OBJECT
public:
    static constexpr int kLoteMs = 250;
    // How long Encerrar retries a failing commit (every kLoteMs) before it keeps the records in
    // the side file. The GUI thread waits this long at the end of a test, so it is kept short.
    static constexpr int kEncerrarMs = 2000;

    // A SQLite file's recorder.
    TGravadorSessao(const QString &caminhoBanco, qint64 sessaoId, QObject *parent = nullptr);
    // The recorder of a session of the open database, file or server.
    TGravadorSessao(const TBancoSessoes &banco, qint64 sessaoId, QObject *parent = nullptr);
    // Encerrar (its warning is not seen: call Encerrar first).
    ~TGravadorSessao() override;

    qint64 SessaoId() const { return FiSessao; }
    // Queue a record (any thread).
    void Amostra(const TAmostraRegistro &amostra);
    void Evento(const TEventoRegistro &evento);
    // Waits (up to timeoutMs) until everything queued so far is committed (on a server database:
    // has reached the server); false on time-out or while commits fail.
    bool Esvaziar(int timeoutMs = 5000);
    // Commits what is queued, retrying a failing commit for up to kEncerrarMs, and ends the
    // thread; later records are dropped. false when some records could not be committed: they
    // were appended to the side file or, when even that failed, lost; *aviso then says which
    // and how many. Later calls return the same.
    bool Encerrar(QString *aviso = nullptr);
    qint64 Gravados() const { return FiGravados; }
    bool EmFalha() const { return FbEmFalha; }
    // A server database whose server does not answer now: the records wait in the spool.
    bool AguardandoServidor() const;

signals:
    // Emitted from the writer's thread; connect with the default (queued) connection.
    void Falha(const QString &mensagem);
    void Recuperado();
    void ServidorIndisponivel(const QString &motivo, qint64 pendentes);
    void ServidorDeVolta();

private:
    void Iniciar();
    void AbrirLocal();
    bool EsperarServidor(int timeoutMs);
    void Enfileirar(TRegistroSessao registro);
    void Executar();
    bool GravarLote(std::vector<TRegistroSessao> &lote, std::unique_lock<std::mutex> &trava);
    bool Tentar(std::vector<TRegistroSessao> &lote);
    bool Gravar(const std::vector<TRegistroSessao> &lote, QString *erro);
    void Terminar(std::vector<TRegistroSessao> &lote, std::unique_lock<std::mutex> &trava);
    void LimitarEspera(std::chrono::steady_clock::time_point prazo);
    void Guardar(const std::vector<TRegistroSessao> &lote);

    TEnderecoBanco FServidor;  // a server database's address; SQLite: unused
    QString FCaminho;          // the SQLite file, or the spool of a server database
    QString FEstacao;
    QString FConexao;
    std::unique_ptr<TFilaLocal> FFila;  // the writer's thread only
    std::unique_ptr<TEncaminhadorFila> FEncaminhador;
    std::atomic<qint64> FiUltimoAnexado{0};
    qint64 FiSessao;
    std::mutex FMutex;
    std::condition_variable FMudou;
    std::vector<TRegistroSessao> FFilaMemoria;
    quint64 FiEnfileirados = 0;  // guarded by FMutex
    quint64 FiConfirmados = 0;   // guarded by FMutex
    bool FbEncerrar = false;     // guarded by FMutex
    std::atomic<qint64> FiGravados{0};
    std::atomic<bool> FbEmFalha{false};
    QString FUltimoErro;  // the writer's thread only
    // Written by the writer's thread before it ends, read after the join.
    bool FbEncerradoOk = true;
    QString FAvisoEncerramento;
    std::thread FThread;
};
