#pragma once

#include <QFile>
#include <QString>

#include "protocol/amostraexecucao.h"
#include "protocol/eventoexecucao.h"

namespace protocolcli {

// The run's samples and events as one CSV file, a row each, flushed as written so an
// interrupted run keeps every row. Columns: registro (amostra/evento), tempo_ms, estado, fase,
// estagio, velocidade_alvo, inclinacao_alvo, velocidade_confirmada, inclinacao_confirmada,
// link_ok, evento, texto.
class TProtocolCsv {
public:
    bool Open(const QString &path, QString *error);
    void Sample(const TAmostraExecucao &amostra);
    void Event(const TEventoExecucao &evento);

private:
    void Write(const QStringList &fields);

    QFile FFile;
};

}  // namespace protocolcli
