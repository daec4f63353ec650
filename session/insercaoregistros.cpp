#include "session/insercaoregistros.h"

#include <QSqlError>
#include <QVariant>

#include "session/dialetobanco.h"
#include "session/motivoerro.h"

TInsercaoRegistros::TInsercaoRegistros(const QSqlDatabase &banco)
    : FAmostra(banco), FEvento(banco), FIntervalo(banco), FSemIntervalos(banco)
{
    // A statement that does not prepare would fail later with a parameter count mismatch; its
    // own reason (a missing table, say) is kept for the message.
    const TDialetoBanco dialeto = TDialetoBanco::Da(banco);
    const QStringList amostra = {QStringLiteral("sessao_id"),
                                 QStringLiteral("tempo_ms"),
                                 QStringLiteral("estado"),
                                 QStringLiteral("fase"),
                                 QStringLiteral("estagio"),
                                 QStringLiteral("velocidade_alvo"),
                                 QStringLiteral("inclinacao_alvo"),
                                 QStringLiteral("velocidade_confirmada"),
                                 QStringLiteral("inclinacao_confirmada"),
                                 QStringLiteral("link_ok"),
                                 QStringLiteral("frequencia_cardiaca"),
                                 QStringLiteral("fonte_fc")};
    const QStringList intervalo = {QStringLiteral("sessao_id"), QStringLiteral("tempo_ms"),
                                   QStringLiteral("ordem"), QStringLiteral("rr_ms")};
    const bool preparou =
        FAmostra.prepare(
            dialeto.Substituir(QStringLiteral("amostras"), amostra, amostra.mid(0, 2))) &&
        FIntervalo.prepare(
            dialeto.Substituir(QStringLiteral("intervalos_rr"), intervalo, intervalo.mid(0, 3))) &&
        FSemIntervalos.prepare(
            QStringLiteral("DELETE FROM intervalos_rr WHERE sessao_id = ? AND tempo_ms = ?")) &&
        FEvento.prepare(QStringLiteral(
            "INSERT INTO eventos (sessao_id, tempo_ms, tipo, estado, fase, estagio, velocidade,"
            " inclinacao, texto, valor1, valor2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    if (!preparou)
        for (const QSqlQuery *q : {&FAmostra, &FEvento, &FIntervalo, &FSemIntervalos})
            if (FErroPreparo.isEmpty() && q->lastError().isValid())
                FErroPreparo = MotivoErro(q->lastError());
    if (!preparou && FErroPreparo.isEmpty())
        FErroPreparo = MotivoErro(QSqlError());
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
              QVariant(a->linkOk ? 1 : 0),
              a->frequenciaCardiaca > 0 ? QVariant(a->frequenciaCardiaca) : QVariant(),
              a->fonteFc.isEmpty() ? QVariant() : QVariant(a->fonteFc)})
            q->addBindValue(v);
        if (!q->exec() || !InserirIntervalos(sessaoId, *a)) {
            *erro = MotivoErro(q->lastError(), FIntervalo.lastError().isValid()
                                                   ? FIntervalo.lastError()
                                                   : FSemIntervalos.lastError());
            return false;
        }
        return true;
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

// A sample replaced (the same second written again) replaces its intervals too.
bool TInsercaoRegistros::InserirIntervalos(qint64 sessaoId, const TAmostraRegistro &a)
{
    FSemIntervalos.addBindValue(sessaoId);
    FSemIntervalos.addBindValue(a.tempoMs);
    if (!FSemIntervalos.exec())
        return false;
    for (qsizetype i = 0; i < a.intervalosRR.size(); ++i) {
        for (const QVariant &v : {QVariant(sessaoId), QVariant(a.tempoMs), QVariant(int(i)),
                                  QVariant(a.intervalosRR.at(i))})
            FIntervalo.addBindValue(v);
        if (!FIntervalo.exec())
            return false;
    }
    return true;
}
