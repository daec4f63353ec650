#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "device/orvanta.h"
#include "platform/messagebox.h"
#include "protocol/embutidos.h"
#include "protocol/executorprotocolo.h"
#include "protocol/relogiomanual.h"
#include "tools/boardsim/boardsimulator.h"

// The runner against the simulated board over a pty, on a clock the test moves by hand: a
// whole protocol runs in milliseconds and every boundary falls at a known clock value.
namespace {

constexpr int kPrazoMs = 10000;
constexpr qint64 kMin = 60000;
constexpr qint64 kEstagioBruce = 3 * kMin;

QByteArray Quadro(char letra, int valor)
{
    return QByteArray{"\x02"} + letra + char(valor);
}

QByteArray Velocidade(double kmh)
{
    return Quadro('Q', TOrvanta::ConverterVelocidade(kmh));
}

QByteArray Inclinacao(double pct)
{
    return Quadro('R', TOrvanta::ConverterInclinacao(float(pct)));
}

const QByteArray kParada = Quadro('T', 0);

TProtocolo Bruce()
{
    return TEmbutidos::Todos().at(0);
}

}  // namespace

class TestExecutorProtocolo : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void bruceSendsEachBoundaryThenRecoveryAndStops();
    void countdownMovesNothingAndCanBeCancelled();
    void holdShiftsTheLaterBoundaries();
    void rampSendsEachQuantumWhenItIsDue();
    void samplesReportTheRun();
    void operatorActions_data();
    void operatorActions();
    void limitsClampAndAreRecorded_data();
    void limitsClampAndAreRecorded();
    void clampingNeedsTheOperatorsConsent();
    void linkLoss_data();
    void linkLoss();
    void noCatchUpAfterTheLinkReturns();
    void lateAnswersLeaveTheBeltWhereItMayBe();
    void reopenedDeviceWaitsForTheOperator_data();
    void reopenedDeviceWaitsForTheOperator();
    void stopIsTheNextFrame_data();
    void stopIsTheNextFrame();
    void stopOvertakesFramesNotOnTheLine_data();
    void stopOvertakesFramesNotOnTheLine();
    void secondStopDuringTheStopIsSatisfiedByIt();

private:
    void Criar(const TProtocolo &protocolo);
    void Iniciar();  // through the countdown, up to the first stage's frames
    // Moves the clock to start + ms and waits for the frames that follow (a target: speed then
    // grade).
    void Em(qint64 ms, int quadros = 2);
    QList<QByteArray> Quadros() const;
    QList<QByteArray> Ultimos(int n) const;
    bool TemEvento(TEventoExecucao::TTipo tipo, const QString &trecho) const;

    std::unique_ptr<TBoardSimulator> FPlaca;
    std::unique_ptr<TOrvanta> FOrvanta;
    std::shared_ptr<TRelogioManual> FRelogio;
    std::unique_ptr<TExecutorProtocolo> FExecutor;
    std::unique_ptr<QSignalSpy> FEventos;
    qint64 FInicio = 0;
};

void TestExecutorProtocolo::init()
{
    SetErrorMessageHook([](const QString &texto) { qWarning() << texto; });
    FPlaca = std::make_unique<TBoardSimulator>();
    QString erro;
    QVERIFY2(FPlaca->Start(&erro), qPrintable(erro));
    qputenv("KESTROVA_COM3", FPlaca->DevicePath().toLocal8Bit());
    FOrvanta = std::make_unique<TOrvanta>(nullptr, 3);
    QVERIFY(FOrvanta->Porta()->Opened());
    FRelogio = std::make_shared<TRelogioManual>();
    FRelogio->Ajustar(1000000);
}

void TestExecutorProtocolo::cleanup()
{
    if (QTest::currentTestFailed() && FEventos) {
        for (const QList<QVariant> &argumentos : *FEventos) {
            const auto e = argumentos.at(0).value<TEventoExecucao>();
            qInfo("event at %lld ms: %s", e.tempoMs, qPrintable(e.texto));
        }
    }
    FEventos.reset();
    FExecutor.reset();
    FOrvanta.reset();
    FPlaca.reset();
}

void TestExecutorProtocolo::Criar(const TProtocolo &protocolo)
{
    FExecutor = std::make_unique<TExecutorProtocolo>(FOrvanta.get(), FRelogio);
    FEventos = std::make_unique<QSignalSpy>(FExecutor.get(), &TExecutorProtocolo::Evento);
    FExecutor->AjustarProtocolo(protocolo);
}

void TestExecutorProtocolo::Iniciar()
{
    FExecutor->Iniciar();
    QCOMPARE(FExecutor->Estado(), TEstadoExecucao::Contagem);
    FInicio = FRelogio->AgoraMs() + TExecutorProtocolo::kContagemMs;
    Em(0);
}

void TestExecutorProtocolo::Em(qint64 ms, int quadros)
{
    const qsizetype antes = FPlaca->Frames().size();
    FRelogio->Ajustar(FInicio + ms);
    QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= antes + quadros, kPrazoMs);
}

QList<QByteArray> TestExecutorProtocolo::Quadros() const
{
    QList<QByteArray> quadros;
    for (const TFrameRecord &r : FPlaca->Frames())
        quadros << r.frame;
    return quadros;
}

QList<QByteArray> TestExecutorProtocolo::Ultimos(int n) const
{
    return Quadros().mid(Quadros().size() - n);
}

bool TestExecutorProtocolo::TemEvento(TEventoExecucao::TTipo tipo, const QString &trecho) const
{
    for (const QList<QVariant> &argumentos : *FEventos) {
        const auto evento = argumentos.at(0).value<TEventoExecucao>();
        if (evento.tipo == tipo && evento.texto.contains(trecho))
            return true;
    }
    return false;
}

void TestExecutorProtocolo::bruceSendsEachBoundaryThenRecoveryAndStops()
{
    const TProtocolo bruce = Bruce();
    Criar(bruce);
    QSignalSpy estados(FExecutor.get(), &TExecutorProtocolo::EstadoMudou);
    Iniciar();
    QList<QByteArray> esperados;
    for (qsizetype i = 0; i < bruce.exercicio.size(); ++i) {
        if (i > 0)
            Em(i * kEstagioBruce);
        const TPasso &p = bruce.exercicio[i];
        esperados << Velocidade(p.velocidadeInicial) << Inclinacao(p.inclinacaoInicial);
    }
    const qint64 fimExercicio = bruce.exercicio.size() * kEstagioBruce;
    Em(fimExercicio);
    esperados << Velocidade(2.5) << Inclinacao(0);
    QCOMPARE(Quadros(), esperados);
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::Recuperacao, kPrazoMs);

    Em(fimExercicio + TEmbutidos::kRecuperacaoMs, 1);
    QCOMPARE(Ultimos(1), QList<QByteArray>{kParada});
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::Concluido, kPrazoMs);
    QTRY_VERIFY_WITH_TIMEOUT(!estados.isEmpty() && estados.last().at(0).value<TEstadoExecucao>() ==
                                                       TEstadoExecucao::Concluido,
                             kPrazoMs);
    QVERIFY(TemEvento(TEventoExecucao::TTipo::Estagio, QStringLiteral("Estágio 8 (Exercício)")));
}

void TestExecutorProtocolo::countdownMovesNothingAndCanBeCancelled()
{
    Criar(Bruce());
    FExecutor->Iniciar();
    FRelogio->Avancar(TExecutorProtocolo::kContagemMs - 1);
    FExecutor->CancelarContagem();
    QCOMPARE(FExecutor->Estado(), TEstadoExecucao::Pronto);
    FRelogio->Avancar(kMin);
    // A sample proves the worker saw the later clock; none is published when not running.
    FExecutor->Iniciar();
    FInicio = FRelogio->AgoraMs() + TExecutorProtocolo::kContagemMs;
    QSignalSpy amostras(FExecutor.get(), &TExecutorProtocolo::Amostra);
    QVERIFY(amostras.wait(kPrazoMs));
    QVERIFY(FPlaca->Frames().isEmpty());
    Em(0);
    QCOMPARE(Quadros(), (QList<QByteArray>{Velocidade(2.7), Inclinacao(10)}));
}

void TestExecutorProtocolo::holdShiftsTheLaterBoundaries()
{
    Criar(Bruce());
    Iniciar();
    FRelogio->Ajustar(FInicio + kMin);
    FExecutor->Pausar();
    QCOMPARE(FExecutor->Estado(), TEstadoExecucao::Pausado);
    const qint64 espera = 100000;
    Em(kMin + espera);  // held: the belt keeps stage 1
    QCOMPARE(Ultimos(2), (QList<QByteArray>{Velocidade(2.7), Inclinacao(10)}));
    FExecutor->Retomar();
    QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= 6, kPrazoMs);  // resume re-applies it
    Em(kEstagioBruce + espera - 1000);
    QCOMPARE(Ultimos(2), (QList<QByteArray>{Velocidade(2.7), Inclinacao(10)}));
    Em(kEstagioBruce + espera);
    QCOMPARE(Ultimos(2), (QList<QByteArray>{Velocidade(4.0), Inclinacao(12)}));
    QTRY_VERIFY_WITH_TIMEOUT(FExecutor->UltimaAmostra().estagio == 2, kPrazoMs);
    QCOMPARE(FExecutor->UltimaAmostra().tempoNoEstagioMs, 0);
}

void TestExecutorProtocolo::rampSendsEachQuantumWhenItIsDue()
{
    // 3 speed quanta in 4 slices of 750 ms, 2 grade quanta in 3 slices of 1000 ms.
    TProtocolo rampa = Bruce();
    rampa.exercicio = {TPasso::Rampa(3000, 3.0, 0, 3.3, 1.0)};
    Criar(rampa);
    FExecutor->AjustarPeriodoMs(1000000);  // only the ramp's own changes go out
    Iniciar();
    for (const qint64 t : {750, 1000, 1500, 2000, 2250, 3000})
        Em(t);
    QCOMPARE(Quadros(),
             (QList<QByteArray>{Velocidade(3.0), Inclinacao(0), Velocidade(3.1), Inclinacao(0),
                                Velocidade(3.1), Inclinacao(0.5), Velocidade(3.2), Inclinacao(0.5),
                                Velocidade(3.2), Inclinacao(1.0), Velocidade(3.3), Inclinacao(1.0),
                                Velocidade(2.5), Inclinacao(0)}));
}

void TestExecutorProtocolo::samplesReportTheRun()
{
    Criar(Bruce());
    QSignalSpy amostras(FExecutor.get(), &TExecutorProtocolo::Amostra);
    Iniciar();
    Em(kEstagioBruce + kMin);
    QTRY_VERIFY_WITH_TIMEOUT(amostras.size() >= 2, kPrazoMs);
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->UltimaAmostra().velocidadeConfirmada, 4.0, kPrazoMs);
    const TAmostraExecucao a = FExecutor->UltimaAmostra();
    QCOMPARE(a.estagio, 2);
    QCOMPARE(a.tempoMs, kEstagioBruce + kMin);
    QCOMPARE(a.tempoNoEstagioMs, kMin);
    QCOMPARE(a.tempoParaProximoMs, 2 * kMin);
    QCOMPARE(a.inclinacaoAlvo, 12.0);
    QCOMPARE(a.inclinacaoConfirmada, 12.0);
    QVERIFY(a.linkOk);
}

void TestExecutorProtocolo::operatorActions_data()
{
    QTest::addColumn<std::function<void(TExecutorProtocolo &)>>("acao");
    QTest::addColumn<TEstadoExecucao>("estado");
    QTest::addColumn<QList<QByteArray>>("quadros");
    using E = TExecutorProtocolo;
    QTest::newRow("next stage") << std::function<void(E &)>([](E &e) { e.ProximoEstagio(); })
                                << TEstadoExecucao::Exercicio
                                << QList<QByteArray>{Velocidade(4.0), Inclinacao(12)};
    QTest::newRow("go to recovery")
        << std::function<void(E &)>([](E &e) { e.IrParaRecuperacao(); })
        << TEstadoExecucao::Recuperacao << QList<QByteArray>{Velocidade(2.5), Inclinacao(0)};
    QTest::newRow("manual speed holds")
        << std::function<void(E &)>([](E &e) { e.AjustarVelocidadeManual(5.0); })
        << TEstadoExecucao::Pausado << QList<QByteArray>{Velocidade(5.0), Inclinacao(10)};
    QTest::newRow("manual grade holds")
        << std::function<void(E &)>([](E &e) { e.AjustarInclinacaoManual(3.5); })
        << TEstadoExecucao::Pausado << QList<QByteArray>{Velocidade(2.7), Inclinacao(3.5)};
}

void TestExecutorProtocolo::operatorActions()
{
    QFETCH(std::function<void(TExecutorProtocolo &)>, acao);
    QFETCH(TEstadoExecucao, estado);
    QFETCH(QList<QByteArray>, quadros);
    Criar(Bruce());
    Iniciar();
    FRelogio->Ajustar(FInicio + kMin);
    acao(*FExecutor);
    QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= 4, kPrazoMs);
    QCOMPARE(Ultimos(2), quadros);
    QCOMPARE(FExecutor->Estado(), estado);
    // The stage clock follows the action: past the old boundary the frames do not change
    // unless running.
    Em(kEstagioBruce + 10);
    if (estado == TEstadoExecucao::Pausado)
        QCOMPARE(Ultimos(2), quadros);
    QVERIFY(TemEvento(TEventoExecucao::TTipo::Acao, QStringLiteral("Operador:")));
}

void TestExecutorProtocolo::limitsClampAndAreRecorded_data()
{
    QTest::addColumn<double>("velocidadeMaxima");
    QTest::addColumn<double>("inclinacaoMaxima");
    QTest::addColumn<QList<QByteArray>>("quadros");
    QTest::addColumn<QString>("evento");
    QTest::newRow("speed") << 2.0 << 25.0 << QList<QByteArray>{Velocidade(2.0), Inclinacao(10)}
                           << "Velocidade limitada a 2.0";
    QTest::newRow("speed below a step")
        << 2.05 << 25.0 << QList<QByteArray>{Velocidade(2.0), Inclinacao(10)}
        << "Velocidade limitada a 2.0";
    QTest::newRow("grade") << 18.0 << 7.5 << QList<QByteArray>{Velocidade(2.7), Inclinacao(7.5)}
                           << "Inclinação limitada a 7.5";
    QTest::newRow("at the limit") << 2.7 << 10.0
                                  << QList<QByteArray>{Velocidade(2.7), Inclinacao(10)} << "";
}

void TestExecutorProtocolo::limitsClampAndAreRecorded()
{
    QFETCH(double, velocidadeMaxima);
    QFETCH(double, inclinacaoMaxima);
    QFETCH(QList<QByteArray>, quadros);
    QFETCH(QString, evento);
    Criar(Bruce());
    FExecutor->AjustarLimites(velocidadeMaxima, inclinacaoMaxima);
    Iniciar();
    QCOMPARE(Quadros(), quadros);
    Em(1000);  // a re-send stays within the limits too
    QCOMPARE(Ultimos(2), quadros);
    QTRY_VERIFY_WITH_TIMEOUT(!FEventos->isEmpty(), kPrazoMs);
    QCOMPARE(TemEvento(TEventoExecucao::TTipo::Limite, evento), !evento.isEmpty());
}

void TestExecutorProtocolo::clampingNeedsTheOperatorsConsent()
{
    TProtocolo rapido = Bruce();
    rapido.exercicio = {TPasso::Estagio(kMin, 20.0, 30)};
    Criar(rapido);
    FExecutor->Iniciar();
    QCOMPARE(FExecutor->Estado(), TEstadoExecucao::Pronto);
    QTRY_VERIFY_WITH_TIMEOUT(TemEvento(TEventoExecucao::TTipo::Falha, QStringLiteral("18.0")),
                             kPrazoMs);
    FExecutor->AjustarAceitarLimitacao(true);
    Iniciar();
    QCOMPARE(Quadros(), (QList<QByteArray>{Velocidade(18.0), Inclinacao(25)}));
}

void TestExecutorProtocolo::linkLoss_data()
{
    QTest::addColumn<QString>("como");
    QTest::newRow("silent board, two failures") << "silencio";
    QTest::newRow("one failure, 2 s without an answer") << "tempo";
    QTest::newRow("cable pulled") << "cabo";
}

void TestExecutorProtocolo::linkLoss()
{
    QFETCH(QString, como);
    Criar(Bruce());
    Iniciar();
    if (como == "silencio") {
        FPlaca->SetFault({TBoardFault::Silence});
        Em(1000);
    } else if (como == "tempo") {
        FPlaca->SetScript({{TBoardFault::None}, {TBoardFault::Silence}});
        Em(1000);  // speed answered, grade in flight to a silent board
        FRelogio->Ajustar(FInicio + 1000 + TExecutorProtocolo::kSemRespostaParaPerdaMs);
    } else {
        FPlaca->PullCable();
        FRelogio->Ajustar(FInicio + 1000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::LinkPerdido, kPrazoMs);
    QTRY_VERIFY_WITH_TIMEOUT(
        TemEvento(TEventoExecucao::TTipo::Falha, QStringLiteral("Comunicação perdida")), kPrazoMs);
    QCOMPARE(FExecutor->UltimaAmostra().estagio, 1);
    if (como == "cabo")  // seen by the port at once, not only by failed exchanges
        QTRY_VERIFY_WITH_TIMEOUT(
            TemEvento(TEventoExecucao::TTipo::Falha, QStringLiteral("perdeu o dispositivo")),
            kPrazoMs);
}

void TestExecutorProtocolo::noCatchUpAfterTheLinkReturns()
{
    Criar(Bruce());
    Iniciar();
    // Stage 1's re-send goes unanswered twice: the link is lost a second into the stage.
    FPlaca->SetFault({TBoardFault::Silence});
    Em(1000);
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::LinkPerdido, kPrazoMs);
    FPlaca->SetFault({TBoardFault::None});
    // Far past several boundaries: only what the board surely holds (stage 1, re-sent with the
    // same values) goes out, and the protocol stays where it was held.
    Em(5 * kEstagioBruce);
    QTRY_VERIFY_WITH_TIMEOUT(FExecutor->UltimaAmostra().linkOk, kPrazoMs);
    Em(5 * kEstagioBruce + 1000);
    QCOMPARE(Ultimos(2), (QList<QByteArray>{Velocidade(2.7), Inclinacao(10)}));
    QCOMPARE(FExecutor->Estado(), TEstadoExecucao::LinkPerdido);
    QCOMPARE(FExecutor->UltimaAmostra().velocidadeConfirmada, 2.7);
    // Resuming goes on with stage 1 from where it was held, not from where the clock is.
    const qsizetype antes = FPlaca->Frames().size();
    FExecutor->Retomar();
    QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= antes + 2, kPrazoMs);
    QCOMPARE(Quadros().mid(antes, 2), (QList<QByteArray>{Velocidade(2.7), Inclinacao(10)}));
    QCOMPARE(FExecutor->Estado(), TEstadoExecucao::Exercicio);
    QCOMPARE(FExecutor->UltimaAmostra().estagio, 1);
    QCOMPARE(FExecutor->UltimaAmostra().tempoParaProximoMs, kEstagioBruce - 1000);
}

// Stage 2's frames are applied by the board but answered after the time-out: the board runs
// stage 2 while the runner cannot know it. Nothing automatic may send stage 1 again (the belt
// would slow down and flatten) nor anything else, until the operator resumes.
void TestExecutorProtocolo::lateAnswersLeaveTheBeltWhereItMayBe()
{
    Criar(Bruce());
    Iniciar();
    FPlaca->SetFault({TBoardFault::Late, 1000});
    Em(kEstagioBruce);
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::LinkPerdido, kPrazoMs);
    FPlaca->SetFault({TBoardFault::None});
    const qsizetype antes = FPlaca->Frames().size();
    // Each sample proves the worker saw that second (and would have probed after it).
    QSignalSpy amostras(FExecutor.get(), &TExecutorProtocolo::Amostra);
    for (qint64 t = 1; t <= 5; ++t) {
        FRelogio->Ajustar(FInicio + kEstagioBruce + t * 1000);
        QVERIFY(amostras.wait(kPrazoMs));
    }
    QCOMPARE(FPlaca->Frames().size(), antes);
    QCOMPARE(FPlaca->State().speedCode, int(TOrvanta::ConverterVelocidade(4.0)));
    QCOMPARE(FPlaca->State().inclineCode, int(TOrvanta::ConverterInclinacao(12)));
    FExecutor->Retomar();
    QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= antes + 2, kPrazoMs);
    QCOMPARE(Quadros().mid(antes, 2), (QList<QByteArray>{Velocidade(4.0), Inclinacao(12)}));
}

void TestExecutorProtocolo::reopenedDeviceWaitsForTheOperator_data()
{
    QTest::addColumn<bool>("retomar");
    QTest::newRow("resumed") << true;
    QTest::newRow("stopped while lost") << false;
}

// The cable is pulled during stage 2 and the board comes back behind the same link; the owner
// hands the runner the reopened device. Nothing but a stop goes out until Retomar, which sends
// the held stage's target (within the limits), however far the clock went meanwhile.
void TestExecutorProtocolo::reopenedDeviceWaitsForTheOperator()
{
    QFETCH(bool, retomar);
    QTemporaryDir pasta;
    const QString link = pasta.filePath("orvanta");
    QVERIFY(QFile::link(FPlaca->DevicePath(), link));
    qputenv("KESTROVA_COM3", link.toLocal8Bit());
    FOrvanta.reset();  // the port held through the pty's own path
    FOrvanta = std::make_unique<TOrvanta>(nullptr, 3);
    Criar(Bruce());
    FExecutor->AjustarLimites(3.5, 25);
    Iniciar();
    Em(kEstagioBruce);
    QCOMPARE(Ultimos(2), (QList<QByteArray>{Velocidade(3.5), Inclinacao(12)}));
    FRelogio->Ajustar(FInicio + kEstagioBruce + kMin);
    FPlaca->PullCable();
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::LinkPerdido, kPrazoMs);

    FPlaca = std::make_unique<TBoardSimulator>();
    QString erro;
    QVERIFY2(FPlaca->Start(&erro), qPrintable(erro));
    QVERIFY(QFile::remove(link) && QFile::link(FPlaca->DevicePath(), link));
    auto reaberta = std::make_unique<TOrvanta>(nullptr, 3);
    QVERIFY(reaberta->Porta()->Opened());
    FExecutor->TrocarDispositivo(reaberta.get());
    std::swap(FOrvanta, reaberta);
    reaberta.reset();
    QTRY_VERIFY_WITH_TIMEOUT(TemEvento(TEventoExecucao::TTipo::Estado, "Porta reaberta"), kPrazoMs);
    // Past several boundaries and re-send periods: the board hears nothing, and the run holds.
    for (qint64 t = 2; t <= 6; ++t) {
        FRelogio->Ajustar(FInicio + t * kEstagioBruce);
        QTest::qWait(50);
    }
    QCOMPARE(FPlaca->Frames().size(), 0);
    QCOMPARE(FExecutor->Estado(), TEstadoExecucao::LinkPerdido);
    if (!retomar) {
        FExecutor->Parar();
        QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::Parado, kPrazoMs);
        QVERIFY(!Quadros().isEmpty());
        for (const QByteArray &quadro : Quadros())
            QCOMPARE(quadro, kParada);
        return;
    }
    FExecutor->Retomar();
    QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= 2, kPrazoMs);
    QCOMPARE(Quadros(), (QList<QByteArray>{Velocidade(3.5), Inclinacao(12)}));
    QCOMPARE(FExecutor->UltimaAmostra().estagio, 2);
    QCOMPARE(FExecutor->UltimaAmostra().tempoParaProximoMs, 2 * kMin);
    QTRY_VERIFY_WITH_TIMEOUT(FExecutor->UltimaAmostra().linkOk, kPrazoMs);
}

void TestExecutorProtocolo::stopIsTheNextFrame_data()
{
    QTest::addColumn<TBoardFault>("falha");
    QTest::newRow("during a stage change") << TBoardFault::Delay;
    QTest::newRow("during a silent exchange") << TBoardFault::Silence;
}

void TestExecutorProtocolo::stopIsTheNextFrame()
{
    QFETCH(TBoardFault, falha);
    Criar(Bruce());
    Iniciar();
    FPlaca->SetScript({{falha, 300}});  // the next frame, stage 2's speed, stays in flight
    Em(kEstagioBruce, 1);
    QCOMPARE(Ultimos(1), QList<QByteArray>{Velocidade(4.0)});
    FExecutor->Parar();
    QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= 4, kPrazoMs);
    QCOMPARE(Quadros().at(3), kParada);  // right after the frame in flight, before its grade
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::Parado, kPrazoMs);
    // Nothing but stops afterwards, however far the clock goes; a second stop marks the end.
    const qsizetype depois = FPlaca->Frames().size();
    FRelogio->Ajustar(FInicio + 4 * kEstagioBruce);
    FExecutor->Retomar();  // ignored when stopped
    FExecutor->Parar();
    QTRY_VERIFY_WITH_TIMEOUT(Quadros().mid(depois).contains(kParada), kPrazoMs);
    for (const QByteArray &quadro : Quadros().mid(depois))
        QCOMPARE(quadro, kParada);
}

void TestExecutorProtocolo::stopOvertakesFramesNotOnTheLine_data()
{
    QTest::addColumn<std::function<void(TExecutorProtocolo &)>>("parada");
    QTest::addColumn<TBoardFault>("falha");
    using E = TExecutorProtocolo;
    const std::pair<const char *, std::function<void(E &)>> paradas[] = {
        {"PARAR", [](E &e) { e.Parar(); }},
        {"next stage past the last", [](E &e) { e.ProximoEstagio(); }},
        {"recovery when there is none", [](E &e) { e.IrParaRecuperacao(); }},
        {"a late cancel", [](E &e) { e.CancelarContagem(); }}};
    for (const auto &[nome, parada] : paradas) {
        QTest::addRow("%s, speed in flight", nome) << parada << TBoardFault::Delay;
        QTest::addRow("%s, line settling after a time-out", nome) << parada << TBoardFault::Silence;
    }
}

// A one-stage protocol without recovery; a re-send's speed frame is in flight (its answer
// delayed), or timed out with the line still settling before the grade. The stop goes out next
// whatever asked for it; the grade frame, not yet on the line, never does.
void TestExecutorProtocolo::stopOvertakesFramesNotOnTheLine()
{
    QFETCH(std::function<void(TExecutorProtocolo &)>, parada);
    QFETCH(TBoardFault, falha);
    TProtocolo curto = Bruce();
    curto.exercicio = {TPasso::Estagio(10 * kMin, 2.7, 10)};
    curto.recuperacao.clear();
    Criar(curto);
    Iniciar();
    FPlaca->SetScript({{falha, 300}});
    Em(1000, 1);
    if (falha == TBoardFault::Silence)
        QTRY_VERIFY_WITH_TIMEOUT(TemEvento(TEventoExecucao::TTipo::Falha,
                                           QStringLiteral("Falha ao enviar a velocidade")),
                                 kPrazoMs);
    parada(*FExecutor);
    QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= 4, kPrazoMs);
    QCOMPARE(Quadros().mid(2), (QList<QByteArray>{Velocidade(2.7), kParada}));
    QTRY_VERIFY_WITH_TIMEOUT(FExecutor->Estado() == TEstadoExecucao::Parado ||
                                 FExecutor->Estado() == TEstadoExecucao::Concluido,
                             kPrazoMs);
}

// PARAR pressed again while the stop's own frame waits for its answer: that stop answers both.
// The next test starts clean and drives the belt, and the runner can still be destroyed.
void TestExecutorProtocolo::secondStopDuringTheStopIsSatisfiedByIt()
{
    Criar(Bruce());
    Iniciar();
    FPlaca->SetScript({{TBoardFault::Delay, 300}});
    FExecutor->Parar();
    QTRY_VERIFY_WITH_TIMEOUT(Quadros().contains(kParada), kPrazoMs);
    FExecutor->Parar();
    QTRY_COMPARE_WITH_TIMEOUT(FExecutor->Estado(), TEstadoExecucao::Parado, kPrazoMs);
    FPlaca->ClearLog();
    Iniciar();
    QCOMPARE(Quadros(), (QList<QByteArray>{Velocidade(2.7), Inclinacao(10)}));
    QCOMPARE(FExecutor->Estado(), TEstadoExecucao::Exercicio);
    FExecutor.reset();  // stops the belt and returns
    QVERIFY(Quadros().endsWith(kParada));
}

QTEST_GUILESS_MAIN(TestExecutorProtocolo)
#include "tst_executorprotocolo.moc"
