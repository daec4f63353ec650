#include "session/encaminhadorfila.h"

#include <QSqlDatabase>
#include <chrono>

#include "session/conexaobanco.h"
#include "session/filalocal.h"

TEncaminhadorFila::TEncaminhadorFila(const TEnderecoBanco &servidor, const QString &caminhoFila,
                                     const QString &estacao, QObject *parent)
    : QObject(parent),
      FServidor(servidor),
      FCaminhoFila(caminhoFila),
      FEstacao(estacao),
      FConexao(QStringLiteral("kestrova-encaminhador-%1").arg(quintptr(this)))
{
    FThread = std::thread([this] { Executar(); });
}

TEncaminhadorFila::~TEncaminhadorFila()
{
    Parar();
}

void TEncaminhadorFila::Acordar(qint64 numero)
{
    {
        std::lock_guard<std::mutex> trava(FMutex);
        FiAnexado = std::max(FiAnexado, numero);
    }
    FMudou.notify_all();
}

bool TEncaminhadorFila::Esperar(qint64 numero, int timeoutMs)
{
    std::unique_lock<std::mutex> trava(FMutex);
    return FMudou.wait_for(trava, std::chrono::milliseconds(timeoutMs),
                           [&] { return FiEncaminhado >= numero; });
}

void TEncaminhadorFila::Parar()
{
    {
        std::lock_guard<std::mutex> trava(FMutex);
        FbParar = true;
    }
    FMudou.notify_all();
    if (FThread.joinable())
        FThread.join();
}

void TEncaminhadorFila::Executar()
{
    QString erro;
    {
        TFilaLocal fila(FCaminhoFila, FEstacao, FConexao + QStringLiteral("-fila"));
        bool aberta = fila.Abrir(&erro);
        std::unique_lock<std::mutex> trava(FMutex);
        while (!FbParar) {
            trava.unlock();
            const bool ok = aberta && Rodada(fila, &erro);
            trava.lock();
            if (ok) {
                // Everything committed to the spool before this round is on the server now.
                FMudou.notify_all();
                FMudou.wait(trava, [&] { return FbParar || FiAnexado > FiEncaminhado; });
                continue;
            }
            FbIndisponivel = true;
            emit ServidorIndisponivel(erro, FiPendentes);
            FMudou.wait_for(trava, std::chrono::milliseconds(kEsperaFalhaMs),
                            [&] { return FbParar; });
            if (!aberta)
                aberta = fila.Abrir(&erro);
        }
    }
    FecharConexao(FConexao);
}

// Forwards until the spool is empty; false with *erro when the server did not take a batch (its
// connection is then dropped, to be made anew at the next try).
bool TEncaminhadorFila::Rodada(TFilaLocal &fila, QString *erro)
{
    qint64 alvo = 0;
    {
        std::lock_guard<std::mutex> trava(FMutex);
        alvo = FiAnexado;
    }
    if (!QSqlDatabase::database(FConexao, false).isOpen()) {
        FecharConexao(FConexao);
        if (!AbrirConexao(FServidor, FConexao, erro))
            return false;
    }
    for (;;) {
        const qint64 ultimo =
            fila.Encaminhar(QSqlDatabase::database(FConexao, false), kLoteMaximo, erro);
        FiPendentes = std::max<qint64>(fila.Pendentes(), 0);
        if (ultimo < 0) {
            FecharConexao(FConexao);
            return false;
        }
        if (ultimo == 0 || FiPendentes == 0)
            break;
    }
    {
        std::lock_guard<std::mutex> trava(FMutex);
        FiEncaminhado = std::max(FiEncaminhado, alvo);
    }
    if (FbIndisponivel.exchange(false))
        emit ServidorDeVolta();
    return true;
}
