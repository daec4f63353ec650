#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "kestrova_session_export.h"
#include "session/enderecobanco.h"

// Forwards a station's local spool (TFilaLocal) to its server on a thread of its own, with its
// own connections to both, so that a server that is slow or gone never holds up the recorder
// writing to the spool. It forwards whenever rows arrive, and every kEsperaFalhaMs while the
// server does not answer (reconnecting each time).
class KESTROVA_SESSION_EXPORT TEncaminhadorFila : public QObject {
    Q_OBJECT
public:
    static constexpr int kLoteMaximo = 500;
    static constexpr int kEsperaFalhaMs = 1000;

    TEncaminhadorFila(const TEnderecoBanco &servidor, const QString &caminhoFila,
                      const QString &estacao, QObject *parent = nullptr);
    ~TEncaminhadorFila() override;

    // Rows up to `numero` are in the spool: forward them.
    void Acordar(qint64 numero);
    // Waits (up to timeoutMs) until the rows up to `numero` reached the server.
    bool Esperar(qint64 numero, int timeoutMs);
    // Ends the thread; what was not forwarded stays in the spool.
    void Parar();
    qint64 Pendentes() const { return FiPendentes; }
    bool Indisponivel() const { return FbIndisponivel; }

signals:
    // Emitted from the forwarder's thread at each failed try (connect queued).
    void ServidorIndisponivel(const QString &motivo, qint64 pendentes);
    // The spool is empty again after the server was unavailable.
    void ServidorDeVolta();

private:
    void Executar();
    bool Rodada(class TFilaLocal &fila, QString *erro);

    TEnderecoBanco FServidor;
    QString FCaminhoFila, FEstacao, FConexao;
    std::mutex FMutex;
    std::condition_variable FMudou;
    qint64 FiAnexado = 0;      // guarded by FMutex
    qint64 FiEncaminhado = 0;  // guarded by FMutex
    bool FbParar = false;      // guarded by FMutex
    std::atomic<qint64> FiPendentes{0};
    std::atomic<bool> FbIndisponivel{false};
    std::thread FThread;
};
