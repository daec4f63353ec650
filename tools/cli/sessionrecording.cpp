#include "tools/cli/sessionrecording.h"

#include <QCoreApplication>

#include <memory>
#include <utility>

#include "session/resumosessao.h"
#include "tools/cli/protocoloptions.h"

namespace protocolcli {

namespace {

// Longest wait for the recorder's last records when the run ends, as the console waits.
constexpr int kFlushMs = 2000;
// A server that answers but is slow (a loaded machine, a long spool) gets longer, so that the
// samples reach it before the session is marked ended rather than at this station's next start.
constexpr int kServerFlushMs = 20000;

QString Span(double from, double to, const char *unit)
{
    const QString a = QString::number(from, 'f', 1);
    if (from == to)
        return QStringLiteral("%1 %2").arg(a, QLatin1String(unit));
    return QStringLiteral("%1 → %2 %3").arg(a, QString::number(to, 'f', 1), QLatin1String(unit));
}

}  // namespace

TSessionRecording::TSessionRecording(TRecordOptions options) : FOptions(std::move(options)) {}

TSessionRecording::~TSessionRecording()
{
    QString warning;
    if (!Close(&warning))
        PrintError(warning);
}

bool TSessionRecording::Open(QString *error)
{
    FDatabase.AjustarEstacao(FOptions.estacao);
    return FDatabase.Abrir(FOptions.databasePath, error) && FDatabase.VerificarGravacao(error);
}

qint64 TSessionRecording::Patient(QString *error)
{
    const TPaciente &wanted = FOptions.paciente;
    for (const TBancoSessoes::TPacienteEncontrado &found : FDatabase.BuscarPacientes(wanted.nome))
        if (found.paciente.nome == wanted.nome && found.paciente.nascimento == wanted.nascimento &&
            found.paciente.sexo == wanted.sexo)
            return found.paciente.id;
    return FDatabase.InserirPaciente(wanted, error);
}

bool TSessionRecording::Start(const TProtocolo &protocolo, double maxSpeed, double maxGrade,
                              QString *error)
{
    FSessao = TSessao{};
    FSessao.pacienteId = Patient(error);
    if (!FSessao.pacienteId)
        return false;
    FSessao.protocoloId = protocolo.id;
    FSessao.protocoloNome = protocolo.nome;
    FSessao.protocoloPassos = Steps(protocolo);
    FSessao.velocidadeMaxima = maxSpeed;
    FSessao.inclinacaoMaxima = maxGrade;
    for (const TPasso &p : protocolo.recuperacao)
        FSessao.recuperacaoMs += p.duracaoMs;
    if (!protocolo.recuperacao.isEmpty()) {
        FSessao.recuperacaoVelocidade = protocolo.recuperacao.first().velocidadeInicial;
        FSessao.recuperacaoInclinacao = protocolo.recuperacao.first().inclinacaoInicial;
    }
    FSessao.betabloqueador = FOptions.betabloqueador;
    FSessao.fcRepouso = FOptions.fcRepouso;
    FSessao.sistolicaRepouso = FOptions.sistolicaRepouso;
    FSessao.diastolicaRepouso = FOptions.diastolicaRepouso;
    FSessao.inicio = QDateTime::currentDateTimeUtc();
    FSessao.id = FDatabase.IniciarSessao(FSessao, error);
    if (!FSessao.id)
        return false;
    FRecorder = std::make_unique<TGravadorSessao>(FDatabase, FSessao.id);
    // Emitted by the writer's thread, printed on this one.
    QObject::connect(FRecorder.get(), &TGravadorSessao::Falha, FRecorder.get(),
                     [](const QString &message) { PrintError(message); });
    QObject::connect(FRecorder.get(), &TGravadorSessao::Recuperado, FRecorder.get(), [] {
        PrintError(QCoreApplication::translate("orvanta-ctl", "gravação retomada"));
    });
    // A server outage is told once, when it begins, and again when it is over.
    auto fora = std::make_shared<bool>(false);
    QObject::connect(
        FRecorder.get(), &TGravadorSessao::ServidorIndisponivel, FRecorder.get(),
        [fora](const QString &motivo, qint64) {
            if (!std::exchange(*fora, true))
                PrintError(QCoreApplication::translate("orvanta-ctl",
                                                       "Servidor de sessões indisponível: gravando "
                                                       "localmente (%1)")
                               .arg(motivo));
        });
    QObject::connect(FRecorder.get(), &TGravadorSessao::ServidorDeVolta, FRecorder.get(), [fora] {
        *fora = false;
        PrintError(QCoreApplication::translate("orvanta-ctl", "servidor de sessões de volta"));
    });
    return true;
}

void TSessionRecording::Sample(const TAmostraRegistro &amostra)
{
    if (FRecorder)
        FRecorder->Amostra(amostra);
}

void TSessionRecording::Event(const TEventoRegistro &evento)
{
    if (FRecorder)
        FRecorder->Evento(evento);
}

bool TSessionRecording::Finish(TSessao::TSituacao situacao, qint64 duracaoMs, const QString &motivo,
                               QString *error)
{
    if (!FRecorder || FFinished)
        return true;
    FFinished = true;
    // The stage table is computed from what was committed: everything queued goes in first.
    bool flushed = FRecorder->Esvaziar(kFlushMs);
    if (!flushed && !FRecorder->EmFalha() && !FRecorder->AguardandoServidor())
        flushed = FRecorder->Esvaziar(kServerFlushMs);
    if (!flushed) {
        QString warning;
        if (!Close(&warning))
            PrintError(warning);
    }
    FSessao.situacao = situacao;
    FSessao.duracaoMs = duracaoMs;
    FSessao.fim = QDateTime::currentDateTimeUtc();
    FSessao.motivoParada = motivo;
    return FDatabase.FinalizarSessao(FSessao, error);
}

bool TSessionRecording::Close(QString *warning)
{
    if (!FRecorder)
        return true;
    const bool ok = FRecorder->Encerrar(warning);
    FRecorder.reset();
    return ok;
}

QString TSessionRecording::Steps(const TProtocolo &protocolo)
{
    QStringList lines;
    for (const TEtapaProtocolo &e : protocolo.Etapas())
        lines << QStringList{NomeFase(e.fase), QString::number(e.estagio),
                             TResumoSessao::Tempo(e.passo.duracaoMs),
                             Span(e.passo.velocidadeInicial, e.passo.velocidadeFinal, "km/h"),
                             Span(e.passo.inclinacaoInicial, e.passo.inclinacaoFinal, "%")}
                     .join(QLatin1Char('\t'));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace protocolcli
