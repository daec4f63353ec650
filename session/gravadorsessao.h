#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <variant>
#include <vector>

#include "kestrova_session_export.h"
#include "session/registrossessao.h"

// Records the samples and events of one running test off the GUI thread.
//
// Amostra and Evento only queue the record (no I/O on the caller's thread). A thread of its own,
// with its own connection to the file, commits what is queued in one transaction at most
// kLoteMs after the first record of a batch arrived, so every record is on disk within a second.
// A failed commit keeps the batch, emits Falha at once (once per failure spell) and tries again
// each kLoteMs; Recuperado follows when a commit succeeds again. The belt is never waited for.
class KESTROVA_SESSION_EXPORT TGravadorSessao : public QObject {
    Q_OBJECT
public:
    static constexpr int kLoteMs = 250;

    TGravadorSessao(const QString &caminhoBanco, qint64 sessaoId, QObject *parent = nullptr);
    // Commits what is queued and ends the thread.
    ~TGravadorSessao() override;

    qint64 SessaoId() const { return FiSessao; }
    // Queue a record (any thread).
    void Amostra(const TAmostraRegistro &amostra);
    void Evento(const TEventoRegistro &evento);
    // Waits (up to timeoutMs) until everything queued so far is committed; false on time-out or
    // while commits fail.
    bool Esvaziar(int timeoutMs = 5000);
    // Commits what is queued and ends the thread; later records are dropped.
    void Encerrar();
    qint64 Gravados() const { return FiGravados; }
    bool EmFalha() const { return FbEmFalha; }

signals:
    // Emitted from the writer's thread; connect with the default (queued) connection.
    void Falha(const QString &mensagem);
    void Recuperado();

private:
    using TRegistro = std::variant<TAmostraRegistro, TEventoRegistro>;
    void Enfileirar(TRegistro registro);
    void Executar();
    bool Gravar(const std::vector<TRegistro> &lote, QString *erro);

    QString FCaminho;
    QString FConexao;
    qint64 FiSessao;
    std::mutex FMutex;
    std::condition_variable FMudou;
    std::vector<TRegistro> FFila;
    quint64 FiEnfileirados = 0;  // guarded by FMutex
    quint64 FiConfirmados = 0;   // guarded by FMutex
    bool FbEncerrar = false;     // guarded by FMutex
    std::atomic<qint64> FiGravados{0};
    std::atomic<bool> FbEmFalha{false};
    std::thread FThread;
};
