#include <QTest>

#include "protocol/embutidos.h"
#include "protocol/maquinaexecucao.h"

// The runner's state machine alone: what it wants sent while the link is lost, by cause.
class TestMaquinaExecucao : public QObject {
    Q_OBJECT

private slots:
    void lostLinkProbesOnlyAcknowledgedValues_data();
    void lostLinkProbesOnlyAcknowledgedValues();
};

using TEnvio = TMaquinaExecucao::TEnvio;

void TestMaquinaExecucao::lostLinkProbesOnlyAcknowledgedValues_data()
{
    QTest::addColumn<bool>("dispositivoPerdido");
    QTest::addColumn<TEnvio>("sondagem");
    QTest::newRow("silent board: acknowledged values") << false << TEnvio::Alvo;
    QTest::newRow("device lost: nothing until resumed") << true << TEnvio::Nada;
}

void TestMaquinaExecucao::lostLinkProbesOnlyAcknowledgedValues()
{
    QFETCH(bool, dispositivoPerdido);
    QFETCH(TEnvio, sondagem);
    TMaquinaExecucao m;
    m.Configuracao().protocolo = TEmbutidos::Todos().first();
    qint64 t = 0;
    m.Iniciar(t);
    m.Avancar(t += TMaquinaExecucao::kContagemMs);
    QCOMPARE(m.Pendente(t), TEnvio::Alvo);
    m.EnvioIniciado(t);
    m.ResultadoVelocidade(t, 2.7, {});
    m.ResultadoInclinacao(t, 10, {});
    m.Avancar(t += 3 * 60000);  // stage 2 is due, and goes unanswered
    m.EnvioIniciado(t);
    if (dispositivoPerdido) {
        m.DispositivoPerdido(t);
    } else {
        m.ResultadoVelocidade(t, 4.0, QStringLiteral("Falha na comunicação"));
        m.ResultadoInclinacao(t, 12, QStringLiteral("Falha na comunicação"));
    }
    QCOMPARE(m.Estado(), TEstadoExecucao::LinkPerdido);
    m.Avancar(t += 60000);
    QCOMPARE(m.Pendente(t), sondagem);
    QCOMPARE(m.AlvoParaEnviar(), (TMaquinaExecucao::TAlvo{2.7, 10}));
    m.Retomar(t);
    QCOMPARE(m.Estado(), TEstadoExecucao::Exercicio);
    QCOMPARE(m.Pendente(t), TEnvio::Alvo);
    QCOMPARE(m.AlvoParaEnviar(), (TMaquinaExecucao::TAlvo{4.0, 12}));
}

QTEST_GUILESS_MAIN(TestMaquinaExecucao)
#include "tst_maquinaexecucao.moc"
