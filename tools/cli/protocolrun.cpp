#include "tools/cli/protocolrun.h"

#include <fcntl.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>

#include "comm/portname.h"
#include "device/orvanta.h"
#include "platform/messagebox.h"
#include "protocol/faixaesteira.h"
#include "protocol/textosexecucao.h"
#include "tools/cli/portcommands.h"
#include "tools/cli/protocolcommands.h"
#include "tools/cli/runrecords.h"

namespace protocolcli {

namespace {

// Longest wait for the runner's last sample once the run ended, when it is recorded.
constexpr int kFinalSampleMs = 2000;

int gInterruptPipe[2] = {-1, -1};
constexpr char kSigint = 1, kQuit = 2;

void Send(char byte)
{
    [[maybe_unused]] const auto written = ::write(gInterruptPipe[1], &byte, 1);
}

void OnSigint(int)
{
    Send(kSigint);
}

}  // namespace

TProtocolRun::TProtocolRun(TProtocolOptions options, int port, QString device)
    : FOptions(std::move(options)),
      FPort(port),
      FDevice(std::move(device)),
      FClock(std::make_shared<TRelogioMonotonico>())
{
}

TProtocolRun::~TProtocolRun()
{
    StopInterruptWatch();
    FRunner.reset();  // before the board it drives
    FRecording.reset();
    FBoard.reset();
}

int TProtocolRun::Exec()
{
    const QStringList limits = TFaixaEsteira::Limitacoes(FOptions.protocolo, FOptions.unidade);
    for (const QString &line : limits)
        PrintError(
            QCoreApplication::translate("orvanta-ctl", "fora da faixa da esteira: %1").arg(line));
    if (!limits.isEmpty() && !FOptions.acceptClamp) {
        PrintError(QCoreApplication::translate("orvanta-ctl",
                                               "o protocolo passa da faixa da placa: execute-o com "
                                               "--accept-clamp para limitar esses valores"));
        return kUsage;
    }
    // A trace that cannot be replayed is refused before anything reaches the board.
    if (!OpenHeartRate())
        return kUsage;
    QString error;
    if (!FOptions.csvPath.isEmpty() && !FCsv.Open(FOptions.csvPath, &error)) {
        PrintError(error);
        return kUsage;
    }
    if (FOptions.record) {
        FRecording = std::make_unique<TSessionRecording>(*FOptions.record);
        if (!FRecording->Open(&error)) {
            PrintError(QStringLiteral("--database: ") + OneLine(error));
            return kUsage;
        }
    }
    if (const int failure = Open(); failure != kOk)
        return failure;
    WarnAboutTimeScale();
    FRunner = std::make_unique<TExecutorProtocolo>(FBoard.get(), FClock);
    Configure(*FRunner);
    if (!StartRecording())
        return kBoardFailure;
    QObject::connect(FRunner.get(), &TExecutorProtocolo::Evento, &FLoop,
                     [this](const TEventoExecucao &e) { OnEvent(e); });
    QObject::connect(FRunner.get(), &TExecutorProtocolo::Amostra, &FLoop,
                     [this](const TAmostraExecucao &a) { OnSample(a); });
    QObject::connect(FRunner.get(), &TExecutorProtocolo::EstadoMudou, &FLoop,
                     [this](TEstadoExecucao s) { OnState(s); });
    StartInterruptWatch();
    PrintLine(QCoreApplication::translate("orvanta-ctl", "%1: %2 (Ctrl+C para parar)")
                  .arg(FOptions.protocolo.nome,
                       FOptions.unidade.TextoNaUnidade(FOptions.protocolo.descricao)));
    FRunner->Iniciar();
    if (FRunner->Estado() != TEstadoExecucao::Contagem) {
        QCoreApplication::processEvents();  // prints the event saying why it was refused
        FinishRecording(TEstadoExecucao::Parado);
        return kBoardFailure;
    }
    StartHeartRate();
    const int status = FLoop.exec();
    FinishRecording(FEndState);
    return status;
}

bool TProtocolRun::OpenHeartRate()
{
    if (FOptions.hrFilePath.isEmpty())
        return true;
    QString error;
    const std::optional<TTracoCardiaco> trace = TTracoCardiaco::Abrir(FOptions.hrFilePath, &error);
    if (!trace) {
        PrintError(QStringLiteral("--hr-file: ") + error);
        return false;
    }
    FHeartRate = std::make_unique<TFonteReproducao>(
        *trace, QFileInfo(FOptions.hrFilePath).fileName(), FClock);
    return true;
}

// Called as the countdown starts: the trace's time 0 is the end of the countdown.
void TProtocolRun::StartHeartRate()
{
    if (!FHeartRate)
        return;
    TRelogioSessao &axis = FHeartRate->RelogioSessao();
    axis.AjustarEscala(FOptions.timeScale.value_or(1.0));
    axis.Ancorar(-TExecutorProtocolo::kContagemMs);
    QObject::connect(FHeartRate.get(), &TFonteCardiaca::Leitura, &FLoop,
                     [this](const TLeituraCardiaca &leitura) {
                         FHeartSignal.Registrar(leitura);
                         // Intervals without skin contact are noise, as the rate is.
                         if (leitura.contato != TContatoSensor::NaoDetectado)
                             for (double rr : leitura.rrMs)
                                 FPendingRr << int(std::lround(rr));
                     });
    QObject::connect(FHeartRate.get(), &TFonteCardiaca::Situacao, &FLoop, [this](const QString &t) {
        const qint64 now = FHeartRate->RelogioSessao().AgoraMs();
        PrintLine(QStringLiteral("[%1] FC: %2").arg(FormatTime(std::max<qint64>(now, 0)), t));
        RecordHeartRateNote(FLastSample.tempoMs, t);
    });
    FHeartRate->Iniciar();
}

std::optional<int> TProtocolRun::HeartRateNow() const
{
    if (!FHeartRate)
        return std::nullopt;
    return FHeartSignal.FcAtual(FHeartRate->RelogioSessao().AgoraMs());
}

QString TProtocolRun::HeartRateSource(std::optional<int> bpm) const
{
    return bpm ? FHeartRate->Nome() : QString();
}

void TProtocolRun::OnSample(const TAmostraExecucao &amostra)
{
    FLastSample = amostra;
    FFinalSample =
        amostra.estado == TEstadoExecucao::Concluido || amostra.estado == TEstadoExecucao::Parado;
    const std::optional<int> bpm = HeartRateNow();
    FCsv.Sample(amostra, bpm, HeartRateSource(bpm));
    if (FRecording) {
        TAmostraRegistro registro = TRunRecords::Amostra(amostra);
        if (bpm) {  // none without a current reading: never the last value carried over
            registro.frequenciaCardiaca = *bpm;
            registro.fonteFc = HeartRateSource(bpm);
            registro.intervalosRR = FPendingRr;
        }
        FRecording->Sample(registro);
    }
    FPendingRr.clear();
    if (FFinalSample && FExitStatus)
        FLoop.exit(*FExitStatus);
    if (!FHeartRate)
        return;
    const QString change = FHeartSignal.Mudanca(FHeartRate->RelogioSessao().AgoraMs());
    if (!change.isEmpty()) {
        PrintLine(QStringLiteral("[%1] FC: %2").arg(FormatTime(amostra.tempoMs), change));
        RecordHeartRateNote(
            amostra.tempoMs,
            QStringLiteral("Frequência cardíaca (%1): %2").arg(FHeartRate->Nome(), change));
    }
}

// A start the runner would refuse records nothing: Iniciar says why.
bool TProtocolRun::StartRecording()
{
    if (!FRecording || !FRunner->MotivoRecusa().isEmpty())
        return true;
    QString error;
    if (FRecording->Start(FRunner->Protocolo(),
                          FOptions.maxSpeed.value_or(TFaixaEsteira::kVelocidadeMaxima),
                          FOptions.maxGrade.value_or(TFaixaEsteira::kInclinacaoMaxima), &error))
        return true;
    PrintError(QStringLiteral("--database: ") + OneLine(error));
    return false;
}

// A heart-rate source's message among the session's events, as the console records it.
void TProtocolRun::RecordHeartRateNote(qint64 tempoMs, const QString &text)
{
    if (!FRecording)
        return;
    TEventoRegistro e;
    e.tempoMs = tempoMs;
    e.tipo = QStringLiteral("sinal_fc");
    e.estado = int(FLastSample.estado);
    e.fase = int(FLastSample.fase);
    e.estagio = FLastSample.estagio;
    e.texto = text;
    FRecording->Event(e);
}

// The session ends as the run did; a stop the board has not acknowledged says so.
void TProtocolRun::FinishRecording(TEstadoExecucao estado)
{
    if (!FRecording || !FRecording->Started())
        return;
    TSessao::TSituacao situacao = estado == TEstadoExecucao::Concluido
                                      ? TSessao::TSituacao::Concluida
                                      : TSessao::TSituacao::Parada;
    QString reason;
    if (estado == TEstadoExecucao::Concluido)
        reason = QStringLiteral("Teste completo");
    else if (FInterrupted)
        reason = QStringLiteral("Decisão do operador");
    else if (FResult == kBoardFailure)
        reason = QStringLiteral("Falha do equipamento");
    if (FRunner->ParadaPendente())
        situacao = TSessao::TSituacao::ParadaNaoConfirmada;
    const qint64 duration = std::max(FLastSample.tempoMs, FRunner->UltimaAmostra().tempoMs);
    QString error;
    if (FRecording->Finish(situacao, duration, reason, &error))
        PrintLine(QCoreApplication::translate("orvanta-ctl", "Teste %1 gravado em %2")
                      .arg(FRecording->SessionId())
                      .arg(FRecording->DatabasePath()));
    else
        PrintError(OneLine(error));
}

int TProtocolRun::Open()
{
    if (!FDevice.isEmpty())
        qputenv(qPrintable(QStringLiteral("KESTROVA_COM%1").arg(FPort)), FDevice.toLocal8Bit());
    QString failure;
    const TErrorMessageHook previous =
        SetErrorMessageHook([&](const QString &text) { failure = text; });
    FBoard = std::make_unique<TOrvanta>(nullptr, FPort, TOrvanta::TRespostas::NaLeitura);
    SetErrorMessageHook(previous);
    if (failure.isEmpty())
        return kOk;
    failure.replace(QStringLiteral("\n\n"), QStringLiteral(" "));
    PrintError(QCoreApplication::translate("orvanta-ctl", "%1 (porta %2 = %3: %4)")
                   .arg(failure)
                   .arg(FPort)
                   .arg(QString::fromStdString(kestrova::comm::PortDeviceName(FPort)),
                        FBoard->Porta()->ErrorMessage()));
    std::fprintf(stderr, "%s\n", qUtf8Printable(OpenFailureDetailsOf(*FBoard)));
    return kPortUnavailable;
}

void TProtocolRun::Configure(TExecutorProtocolo &runner)
{
    runner.AjustarProtocolo(FOptions.protocolo);
    runner.AjustarLimites(FOptions.maxSpeed.value_or(TFaixaEsteira::kVelocidadeMaxima),
                          FOptions.maxGrade.value_or(TFaixaEsteira::kInclinacaoMaxima));
    if (FOptions.recoveryMinutes)
        runner.AjustarRecuperacao(qint64(*FOptions.recoveryMinutes * 60000),
                                  TExecutorProtocolo::kVelocidadeRecuperacaoPadrao, 0);
    runner.AjustarAceitarLimitacao(FOptions.acceptClamp);
    runner.AjustarEscalaTempo(FOptions.timeScale.value_or(1.0));
    runner.AjustarVigiaDaJanela(false);
}

void TProtocolRun::OnEvent(const TEventoExecucao &evento)
{
    const std::optional<int> bpm = HeartRateNow();
    FCsv.Event(evento, bpm, HeartRateSource(bpm));
    if (FRecording)
        FRecording->Event(TRunRecords::Evento(evento));
    PrintLine(QStringLiteral("[%1] %2").arg(
        FormatTime(evento.tempoMs),
        FOptions.unidade.TextoNaUnidade(TTextosExecucao::Traduzir(evento.texto))));
    if (evento.tipo == TEventoExecucao::TTipo::Estado &&
        evento.estado == TEstadoExecucao::LinkPerdido && FResult < 0) {
        PrintError(
            QCoreApplication::translate("orvanta-ctl", "comunicação perdida: parando a esteira"));
        FResult = kBoardFailure;
        FRunner->Parar();
    }
}

void TProtocolRun::OnState(TEstadoExecucao estado)
{
    if (estado == TEstadoExecucao::Contagem)
        FCountingDown = true;
    // Back to ready: the device was lost during the countdown, which was cancelled before
    // anything reached the belt. Nothing more will happen: the run failed.
    if (estado == TEstadoExecucao::Pronto && FCountingDown) {
        FResult = FResult >= 0 ? FResult : kBoardFailure;
        FLoop.exit(FInterrupted ? kInterrupted : FResult);
        return;
    }
    if (estado != TEstadoExecucao::Concluido && estado != TEstadoExecucao::Parado)
        return;
    FEndState = estado;
    int status = FResult >= 0 ? FResult : kBoardFailure;
    if (FInterrupted)
        status = kInterrupted;
    else if (estado == TEstadoExecucao::Concluido)
        status = FResult >= 0 ? FResult : kOk;
    if (!FRecording || FFinalSample) {
        FLoop.exit(status);
        return;
    }
    // The session takes the runner's last sample, which follows the board's answer to the stop;
    // a stop that is not answered does not hold the exit longer than this.
    FExitStatus = status;
    QTimer::singleShot(kFinalSampleMs, &FLoop, [this, status] { FLoop.exit(status); });
}

// The signal handler only writes a byte to a pipe; this thread reads it and asks for the stop,
// so Ctrl+C reaches the line whatever the main thread is doing.
void TProtocolRun::StartInterruptWatch()
{
    if (::pipe2(gInterruptPipe, O_CLOEXEC) != 0)
        return;
    ::fcntl(gInterruptPipe[1], F_SETFL, O_NONBLOCK);  // the handler never blocks
    FInterruptWatch = std::thread([this] { WatchInterrupts(); });
    std::signal(SIGINT, OnSigint);
}

void TProtocolRun::WatchInterrupts()
{
    for (;;) {
        char byte = 0;
        const ssize_t n = ::read(gInterruptPipe[0], &byte, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || byte == kQuit)
            return;
        if (FInterrupted.exchange(true))
            continue;
        PrintError(QCoreApplication::translate("orvanta-ctl", "interrompido: parando a esteira"));
        FRunner->Parar();  // its state change ends the loop, with the status of an interrupt
    }
}

void TProtocolRun::StopInterruptWatch()
{
    std::signal(SIGINT, SIG_DFL);
    if (!FInterruptWatch.joinable())
        return;
    Send(kQuit);
    FInterruptWatch.join();
    for (int &fd : gInterruptPipe) {
        ::close(fd);
        fd = -1;
    }
}

void TProtocolRun::WarnAboutTimeScale() const
{
    const double scale = FOptions.timeScale.value_or(1.0);
    if (scale == 1.0)
        return;
    const QString path = QFileInfo(QString::fromStdString(kestrova::comm::PortDeviceName(FPort)))
                             .canonicalFilePath();
    if (!path.startsWith(QLatin1String("/dev/pts/")))
        PrintError(QCoreApplication::translate(
                       "orvanta-ctl",
                       "aviso: --time-scale %1 em um dispositivo real (%2): os estágios "
                       "mudam %1 vezes mais depressa que o protocolo")
                       .arg(scale)
                       .arg(path));
}

}  // namespace protocolcli
