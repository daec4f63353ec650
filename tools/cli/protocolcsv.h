#pragma once

#include <QFile>
#include <QString>
#include <optional>

#include "protocol/amostraexecucao.h"
#include "protocol/eventoexecucao.h"

namespace protocolcli {

// The run's samples and events as one CSV file, a row each, flushed as written so an
// interrupted run keeps every row. Columns: registro (amostra/evento), tempo_ms, estado, fase,
// estagio, velocidade_alvo, inclinacao_alvo, velocidade_confirmada, inclinacao_confirmada,
// link_ok, evento, texto, fc_bpm, fonte_fc. The heart rate is the one current when the row is
// written, with its source's name; both are empty when there is none (no source, or no signal).
class TProtocolCsv {
public:
    bool Open(const QString &path, QString *error);
    void Sample(const TAmostraExecucao &amostra, std::optional<int> fcBpm = std::nullopt,
                const QString &fonteFc = {});
    void Event(const TEventoExecucao &evento, std::optional<int> fcBpm = std::nullopt,
               const QString &fonteFc = {});

private:
    void Write(const QStringList &fields);

    QFile FFile;
};

}  // namespace protocolcli
