#include <QTest>

#include "protocol/embutidos.h"
#include "protocol/maquinaexecucao.h"

// The runner's state machine alone, on a clock the test moves: what it wants sent while the
// link is lost, what a start, a cancel or a lost device during the countdown do, and what the
// stage events carry. Bruce: stage 1 is 2.7 km/h, 10 %; stage 2 4.0 km/h, 12 %.
class TestMaquinaExecucao : public QObject {
    Q_OBJECT

private slots:
    void lostLinkProbesOnlyWhatTheBoardSurelyHolds_data();
    void lostLinkProbesOnlyWhatTheBoardSurelyHolds();
    void newTestKnowsNothingOfTheBoard();
    void countdownInterrupted_data();
    void countdownInterrupted();
    void speedLimitBelowTheLowestMovingSpeedIsRefused();
    void stageEventsCarryWhatIsSent();
    void eachTestStartsAtItsOwnCountdown();
};

using TEnvio = TMaquinaExecucao::TEnvio;
using TQuadros = TMaquinaExecucao::TQuadros;
Q_DECLARE_METATYPE(TQuadros)

namespace {

const QString kSemResposta = QStringLiteral("Falha na comunicação");
constexpr qint64 kEstagio = 3 * 60000;

// Bruce through its countdown, stage 1 acknowledged; returns the clock.
qint64 NoEstagio1(TMaquinaExecucao &m)
{
    m.Configuracao().protocolo = TEmbutidos::Todos().first();
    qint64 t = 0;
    m.Iniciar(t);
    m.Avancar(t += TMaquinaExecucao::kContagemMs);
    m.EnvioIniciado(t);
    m.ResultadoVelocidade(t, 2.7, {});
    m.ResultadoInclinacao(t, 10, {});
    return t;
}

}  // namespace

// Rows: how the exchanges before the loss went. The board may hold either value of an axis
// whose last frame went unanswered with a new value; the probe never sends that axis.
void TestMaquinaExecucao::lostLinkProbesOnlyWhatTheBoardSurelyHolds_data()
{
    QTest::addColumn<QString>("como");
    QTest::addColumn<TQuadros>("sonda");
    QTest::newRow("stage 2 unanswered: both in doubt, nothing") << "novo" << TQuadros{};
    QTest::newRow("stage 2 speed answered, grade in doubt")
        << "velocidade" << TQuadros{4.0, std::nullopt};
    QTest::newRow("stage 1 re-sent unanswered: the same values")
        << "reenvio" << TQuadros{2.7, 10.0};
    QTest::newRow("device lost: nothing until resumed") << "cabo" << TQuadros{};
}

void TestMaquinaExecucao::lostLinkProbesOnlyWhatTheBoardSurelyHolds()
{
    QFETCH(QString, como);
    QFETCH(TQuadros, sonda);
    TMaquinaExecucao m;
    qint64 t = NoEstagio1(m);
    m.Avancar(t += como == "reenvio" ? 1000 : kEstagio);
    QCOMPARE(m.Pendente(t), TEnvio::Alvo);
    m.EnvioIniciado(t);
    const double v = como == "reenvio" ? 2.7 : 4.0, i = como == "reenvio" ? 10 : 12;
    if (como == "cabo") {
        m.DispositivoPerdido(t);
    } else {
        m.ResultadoVelocidade(t, v, como == "velocidade" ? QString() : kSemResposta);
        m.ResultadoInclinacao(t, i, kSemResposta);
        m.Avancar(t += TMaquinaExecucao::kSemRespostaParaPerdaMs);
    }
    QCOMPARE(m.Estado(), TEstadoExecucao::LinkPerdido);
    m.Avancar(t += 60000);
    QCOMPARE(m.Pendente(t), sonda.Vazio() ? TEnvio::Nada : TEnvio::Alvo);
    const TQuadros enviados = m.QuadrosParaEnviar();
    QCOMPARE(enviados.velocidade, sonda.velocidade);
    QCOMPARE(enviados.inclinacao, sonda.inclinacao);
    // The operator's Retomar sends the protocol's target where it was held.
    m.Retomar(t);
    QCOMPARE(m.Pendente(t), TEnvio::Alvo);
    QCOMPARE(m.QuadrosParaEnviar().velocidade, v);
    QCOMPARE(m.QuadrosParaEnviar().inclinacao, i);
}

// After a stop the board did not confirm, the next test starts from nothing known: no
// acknowledged values in its samples, and no probe with the old ones.
void TestMaquinaExecucao::newTestKnowsNothingOfTheBoard()
{
    TMaquinaExecucao m;
    qint64 t = NoEstagio1(m);
    m.PedirParada(t);
    QCOMPARE(m.Pendente(t), TEnvio::Parada);
    m.ResultadoParada(t, kSemResposta);
    QCOMPARE(m.Estado(), TEstadoExecucao::Parado);
    m.Iniciar(t += 1000);
    QCOMPARE(m.Estado(), TEstadoExecucao::Contagem);
    QCOMPARE(m.Pendente(t), TEnvio::Nada);  // the old stop is not retried into the new test
    const TAmostraExecucao contagem = m.Amostra(t);
    QVERIFY(!contagem.velocidadeConhecida && !contagem.inclinacaoConhecida);
    QCOMPARE(contagem.velocidadeConfirmada, 0.0);
    m.Avancar(t += TMaquinaExecucao::kContagemMs);
    m.EnvioIniciado(t);
    m.ResultadoVelocidade(t, 2.7, kSemResposta);
    m.ResultadoInclinacao(t, 10, kSemResposta);
    QCOMPARE(m.Estado(), TEstadoExecucao::LinkPerdido);
    QCOMPARE(m.Pendente(t + 5000), TEnvio::Nada);
}

void TestMaquinaExecucao::countdownInterrupted_data()
{
    QTest::addColumn<QString>("como");
    QTest::addColumn<qint64>("quando");  // ms after the start
    QTest::addColumn<TEstadoExecucao>("estado");
    QTest::addColumn<TEnvio>("envio");  // at the countdown's end
    QTest::newRow("cancelled") << "cancelar" << qint64(2999) << TEstadoExecucao::Pronto
                               << TEnvio::Nada;
    QTest::newRow("device lost") << "perdido" << qint64(1000) << TEstadoExecucao::Pronto
                                 << TEnvio::Nada;
    QTest::newRow("device lost and back")
        << "volta" << qint64(1000) << TEstadoExecucao::Pronto << TEnvio::Nada;
    QTest::newRow("cancel just after the end stops")
        << "cancelar" << qint64(3000) << TEstadoExecucao::Aquecimento << TEnvio::Parada;
}

void TestMaquinaExecucao::countdownInterrupted()
{
    QFETCH(QString, como);
    QFETCH(qint64, quando);
    QFETCH(TEstadoExecucao, estado);
    QFETCH(TEnvio, envio);
    TMaquinaExecucao m;
    TProtocolo p = TEmbutidos::Todos().first();
    p.aquecimento = {TPasso::Estagio(60000, 2.0, 0)};
    m.Configuracao().protocolo = p;
    m.Iniciar(0);
    m.Avancar(quando);
    if (como == "cancelar") {
        m.CancelarContagem(quando);
    } else {
        m.DispositivoPerdido(quando);
        if (como == "volta")
            m.DispositivoReaberto(quando + 500);
    }
    m.Avancar(TMaquinaExecucao::kContagemMs);
    QCOMPARE(m.Estado(), estado);
    QCOMPARE(m.Pendente(TMaquinaExecucao::kContagemMs), envio);
}

void TestMaquinaExecucao::speedLimitBelowTheLowestMovingSpeedIsRefused()
{
    TMaquinaExecucao m;
    m.Configuracao().protocolo = TEmbutidos::Todos().first();
    m.Configuracao().velocidadeMaxima = 1.4;
    QVERIFY(m.MotivoRecusa().contains(QStringLiteral("1.5 km/h")));
    m.Iniciar(0);
    QCOMPARE(m.Estado(), TEstadoExecucao::Pronto);
    m.Configuracao().velocidadeMaxima = 1.5;
    QVERIFY(m.MotivoRecusa().isEmpty());
    m.Iniciar(0);
    m.Avancar(TMaquinaExecucao::kContagemMs);
    QCOMPARE(m.QuadrosParaEnviar().velocidade, 1.5);
}

// With a 5.0 km/h limit, Bruce's stage 3 (5.5 km/h) is sent at 5.0: its stage event says so
// and keeps the protocol's value beside it.
void TestMaquinaExecucao::stageEventsCarryWhatIsSent()
{
    TMaquinaExecucao m;
    m.Configuracao().protocolo = TEmbutidos::Todos().first();
    m.Configuracao().velocidadeMaxima = 5.0;
    m.Iniciar(0);
    m.Avancar(TMaquinaExecucao::kContagemMs);
    m.Avancar(TMaquinaExecucao::kContagemMs + 2 * kEstagio);
    QList<TEventoExecucao> estagios;
    for (const TEventoExecucao &e : m.TomarEventos())
        if (e.tipo == TEventoExecucao::TTipo::Estagio)
            estagios << e;
    QCOMPARE(estagios.size(), 2);
    QCOMPARE(estagios[0].velocidade, 2.7);
    QCOMPARE(estagios[0].texto, QStringLiteral("Estágio 1 (Exercício): 2.7 km/h, 10.0 %"));
    QCOMPARE(estagios[1].velocidade, 5.0);
    QCOMPARE(estagios[1].inclinacao, 14.0);
    QCOMPARE(estagios[1].velocidadeProtocolo, 5.5);
    QCOMPARE(estagios[1].texto, QStringLiteral("Estágio 3 (Exercício): 5.0 km/h, 14.0 % "
                                               "(protocolo: 5.5 km/h, 14.0 %)"));
}

// A second test in the same run: its events start at 0 in the countdown (the phase it begins
// with, here the exercise), and the first test's end left a last sample at the stop.
void TestMaquinaExecucao::eachTestStartsAtItsOwnCountdown()
{
    TMaquinaExecucao m;
    qint64 t = NoEstagio1(m);
    m.AmostraDevida(t);
    m.Avancar(t += 10 * 60000);
    m.AmostraDevida(t);
    m.PedirParada(t);
    m.ResultadoParada(t, {});
    const std::optional<TAmostraExecucao> fim = m.AmostraDevida(t);
    QVERIFY(fim);
    QCOMPARE(fim->estado, TEstadoExecucao::Parado);
    QCOMPARE(fim->velocidadeConfirmada, 0.0);
    QCOMPARE(fim->velocidadeAlvo, 0.0);
    QVERIFY(!m.AmostraDevida(t + 5000));  // only one
    m.TomarEventos();
    m.Iniciar(t += 60000);
    const QList<TEventoExecucao> eventos = m.TomarEventos();
    QVERIFY(!eventos.isEmpty());
    for (const TEventoExecucao &e : eventos) {
        QCOMPARE(e.tempoMs, 0);
        QCOMPARE(e.estado, TEstadoExecucao::Contagem);
        QCOMPARE(e.fase, TFase::Exercicio);
        QCOMPARE(e.estagio, 0);
    }
    QCOMPARE(m.Amostra(t).fase, TFase::Exercicio);
}

QTEST_GUILESS_MAIN(TestMaquinaExecucao)
#include "tst_maquinaexecucao.moc"
