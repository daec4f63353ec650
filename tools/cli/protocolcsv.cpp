#include "tools/cli/protocolcsv.h"

#include "tools/cli/runrecords.h"

namespace protocolcli {

namespace {

QString Number(double value)
{
    return QString::number(value, 'f', 1);
}

QString Quoted(QString text)
{
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// Last in the row, so the earlier columns keep their positions.
QStringList HeartRate(std::optional<int> bpm, const QString &source)
{
    if (!bpm)
        return {"", ""};
    return {QString::number(*bpm), Quoted(source)};
}

}  // namespace

bool TProtocolCsv::Open(const QString &path, QString *error)
{
    FFile.setFileName(path);
    if (!FFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        *error = QStringLiteral("%1: %2").arg(path, FFile.errorString());
        return false;
    }
    Write({"registro", "tempo_ms", "estado", "fase", "estagio", "velocidade_alvo",
           "inclinacao_alvo", "velocidade_confirmada", "inclinacao_confirmada", "link_ok", "evento",
           "texto", "fc_bpm", "fonte_fc"});
    return true;
}

void TProtocolCsv::Sample(const TAmostraExecucao &a, std::optional<int> fcBpm,
                          const QString &fonteFc)
{
    Write(QStringList{"amostra", QString::number(a.tempoMs), Quoted(NomeEstado(a.estado)),
                      Quoted(NomeFase(a.fase)), QString::number(a.estagio),
                      Number(a.velocidadeAlvo), Number(a.inclinacaoAlvo),
                      Number(a.velocidadeConfirmada), Number(a.inclinacaoConfirmada),
                      a.linkOk ? "1" : "0", "", ""} +
          HeartRate(fcBpm, fonteFc));
}

void TProtocolCsv::Event(const TEventoExecucao &e, std::optional<int> fcBpm, const QString &fonteFc)
{
    Write(QStringList{"evento", QString::number(e.tempoMs), Quoted(NomeEstado(e.estado)),
                      Quoted(NomeFase(e.fase)), QString::number(e.estagio), Number(e.velocidade),
                      Number(e.inclinacao), "", "", "", TRunRecords::Tipo(e.tipo),
                      Quoted(e.texto)} +
          HeartRate(fcBpm, fonteFc));
}

void TProtocolCsv::Write(const QStringList &fields)
{
    if (!FFile.isOpen())
        return;
    FFile.write((fields.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8());
    FFile.flush();
}

}  // namespace protocolcli
