#include "session/insercaoregistros.h"

#include <QSqlError>
#include <QVariant>

#include "session/motivoerro.h"

TInsercaoRegistros::TInsercaoRegistros(const QSqlDatabase &banco) : FAmostra(banco), FEvento(banco)
{
    // A statement that does not prepare would fail later with a parameter count mismatch; its
    // own reason (a missing table, say) is kept for the message.
    const bool preparou =
        FAmostra.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO amostras (sessao_id, tempo_ms, estado, fase, estagio,"
            " velocidade_alvo, inclinacao_alvo, velocidade_confirmada, inclinacao_confirmada,"
            " link_ok) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")) &&
        FEvento.prepare(QStringLiteral(
            "INSERT INTO eventos (sessao_id, tempo_ms, tipo, estado, fase, estagio, velocidade,"
            " inclinacao, texto, valor1, valor2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    if (!preparou)
        FErroPreparo = MotivoErro(FAmostra.lastError(), FEvento.lastError());
}

bool TInsercaoRegistros::Inserir(qint64 sessaoId, const TRegistroSessao &registro, QString *erro)
{
    if (!FErroPreparo.isEmpty()) {
        *erro = FErroPreparo;
        return false;
    }
    QSqlQuery *q = &FEvento;
    if (const auto *a = std::get_if<TAmostraRegistro>(&registro)) {
        q = &FAmostra;
        for (const QVariant &v :
             {QVariant(sessaoId), QVariant(a->tempoMs), QVariant(a->estado), QVariant(a->fase),
              QVariant(a->estagio), QVariant(a->velocidadeAlvo), QVariant(a->inclinacaoAlvo),
              QVariant(a->velocidadeConfirmada), QVariant(a->inclinacaoConfirmada),
              QVariant(a->linkOk ? 1 : 0)})
            q->addBindValue(v);
    } else {
        const auto &e = std::get<TEventoRegistro>(registro);
        for (const QVariant &v :
             {QVariant(sessaoId), QVariant(e.tempoMs), QVariant(e.tipo), QVariant(e.estado),
              QVariant(e.fase), QVariant(e.estagio), QVariant(e.velocidade), QVariant(e.inclinacao),
              QVariant(e.texto), QVariant(e.valor1), QVariant(e.valor2)})
            q->addBindValue(v);
    }
    if (q->exec())
        return true;
    *erro = MotivoErro(q->lastError());
    return false;
}
