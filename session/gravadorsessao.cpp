#include "session/gravadorsessao.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <chrono>

#include "session/motivoerro.h"

TGravadorSessao::TGravadorSessao(const QString &caminhoBanco, qint64 sessaoId, QObject *parent)
    : QObject(parent),
      FCaminho(caminhoBanco),
      FConexao(QStringLiteral("kestrova-gravador-%1").arg(quintptr(this))),
      FiSessao(sessaoId)
{
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

void TGravadorSessao::Enfileirar(TRegistro registro)
{
    {
        std::lock_guard<std::mutex> trava(FMutex);
        if (FbEncerrar)
            return;
        FFila.push_back(std::move(registro));
        ++FiEnfileirados;
    }
    FMudou.notify_all();
}

bool TGravadorSessao::Esvaziar(int timeoutMs)
{
    std::unique_lock<std::mutex> trava(FMutex);
    const quint64 alvo = FiEnfileirados;
    return FMudou.wait_for(trava, std::chrono::milliseconds(timeoutMs),
                           [&] { return FiConfirmados >= alvo; });
}

void TGravadorSessao::Encerrar()
{
    {
        std::lock_guard<std::mutex> trava(FMutex);
        FbEncerrar = true;
    }
    FMudou.notify_all();
    if (FThread.joinable())
        FThread.join();
}

void TGravadorSessao::Executar()
{
    {
        QSqlDatabase banco = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConexao);
        banco.setDatabaseName(FCaminho);
        banco.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        banco.open();
        QSqlQuery(banco).exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
    std::vector<TRegistro> lote;
    std::unique_lock<std::mutex> trava(FMutex);
    for (;;) {
        FMudou.wait(trava, [&] { return FbEncerrar || !FFila.empty() || !lote.empty(); });
        // The batch window: records arriving within kLoteMs share one commit.
        FMudou.wait_for(trava, std::chrono::milliseconds(kLoteMs), [&] { return FbEncerrar; });
        const bool encerrar = FbEncerrar;
        const quint64 enfileirados = FiEnfileirados;
        for (TRegistro &r : FFila)
            lote.push_back(std::move(r));
        FFila.clear();
        trava.unlock();
        QString erro;
        const bool gravou = lote.empty() || Gravar(lote, &erro);
        if (gravou) {
            FiGravados += qint64(lote.size());
            lote.clear();
            if (FbEmFalha.exchange(false))
                emit Recuperado();
        } else if (!FbEmFalha.exchange(true)) {
            emit Falha(QStringLiteral("Falha ao gravar no banco de sessões: %1").arg(erro));
        }
        trava.lock();
        if (gravou)
            FiConfirmados = enfileirados;
        FMudou.notify_all();
        if (encerrar && (gravou || FFila.empty()))
            break;
    }
    trava.unlock();
    QSqlDatabase::database(FConexao, false).close();
    QSqlDatabase::removeDatabase(FConexao);
}

bool TGravadorSessao::Gravar(const std::vector<TRegistro> &lote, QString *erro)
{
    QSqlDatabase banco = QSqlDatabase::database(FConexao, false);
    if (!banco.isOpen() && !banco.open()) {
        *erro = MotivoErro(banco.lastError(), QSqlError(),
                           QStringLiteral("o arquivo do banco não pôde ser aberto"));
        return false;
    }
    QSqlQuery amostra(banco), evento(banco);
    amostra.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO amostras (sessao_id, tempo_ms, estado, fase, estagio,"
        " velocidade_alvo, inclinacao_alvo, velocidade_confirmada, inclinacao_confirmada,"
        " link_ok) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    evento.prepare(QStringLiteral(
        "INSERT INTO eventos (sessao_id, tempo_ms, tipo, estado, fase, estagio, velocidade,"
        " inclinacao, texto, valor1, valor2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    if (!banco.transaction()) {
        *erro = MotivoErro(banco.lastError(), QSqlError(),
                           QStringLiteral("a transação não pôde ser iniciada"));
        return false;
    }
    for (const TRegistro &r : lote) {
        QSqlQuery *q = nullptr;
        if (const auto *a = std::get_if<TAmostraRegistro>(&r)) {
            q = &amostra;
            for (const QVariant &v :
                 {QVariant(FiSessao), QVariant(a->tempoMs), QVariant(a->estado), QVariant(a->fase),
                  QVariant(a->estagio), QVariant(a->velocidadeAlvo), QVariant(a->inclinacaoAlvo),
                  QVariant(a->velocidadeConfirmada), QVariant(a->inclinacaoConfirmada),
                  QVariant(a->linkOk ? 1 : 0)})
                q->addBindValue(v);
        } else {
            const auto &e = std::get<TEventoRegistro>(r);
            q = &evento;
            for (const QVariant &v : {QVariant(FiSessao), QVariant(e.tempoMs), QVariant(e.tipo),
                                      QVariant(e.estado), QVariant(e.fase), QVariant(e.estagio),
                                      QVariant(e.velocidade), QVariant(e.inclinacao),
                                      QVariant(e.texto), QVariant(e.valor1), QVariant(e.valor2)})
                q->addBindValue(v);
        }
        if (!q->exec()) {
            *erro = MotivoErro(q->lastError(), banco.lastError());
            banco.rollback();
            return false;
        }
    }
    if (!banco.commit()) {
        *erro = MotivoConfirmacao(banco.lastError());
        banco.rollback();
        return false;
    }
    return true;
}
