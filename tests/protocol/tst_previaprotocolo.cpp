#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "clinical/equacoesmetabolicas.h"
#include "device/orvanta.h"
#include "platform/messagebox.h"
#include "protocol/embutidos.h"
#include "protocol/executorprotocolo.h"
#include "protocol/geradorrampa.h"
#include "protocol/previaprotocolo.h"
#include "protocol/relogiomanual.h"
#include "tools/boardsim/boardsimulator.h"

Q_DECLARE_METATYPE(TProtocolo)

// The editor's preview against a real runner on the simulated board, its clock moved by hand:
// for every built-in (and a ramp, and a protocol the board clamps) the runner sends the same
// targets at the same protocol times, and the board receives exactly those frames.
namespace {

constexpr int kPrazoMs = 10000;

QByteArray Quadro(char letra, int valor)
{
    return QByteArray{"\x02"} + letra + char(valor);
}

struct TAlvoVisto {
    qint64 tempoMs;
    double velocidade, inclinacao;
    bool operator==(const TAlvoVisto &) const = default;
};

char *toString(const TAlvoVisto &a)
{
    return qstrdup(QStringLiteral("%1 ms: %2 km/h %3 %")
                       .arg(a.tempoMs)
                       .arg(a.velocidade)
                       .arg(a.inclinacao)
                       .toLatin1());
}

}  // namespace

class TestPreviaProtocolo : public QObject {
    Q_OBJECT

private slots:
    void runnerSendsThePreviewsTargets_data();
    void runnerSendsThePreviewsTargets();
    void summaryAndMets();
};

void TestPreviaProtocolo::runnerSendsThePreviewsTargets_data()
{
    QTest::addColumn<TProtocolo>("protocolo");
    for (const TProtocolo &p : TEmbutidos::Todos())
        QTest::newRow(qPrintable(p.id)) << p;
    QTest::newRow("ramp generator") << TGeradorRampa::Gerar({2.7, 0, 8, 15}, nullptr);
    TProtocolo limitado;
    limitado.id = QStringLiteral("limitado");
    limitado.nome = QStringLiteral("Limitado");
    limitado.aquecimento = {TPasso::Rampa(20000, 0, 0, 2.0, 1)};  // from a stop: below 1.5
    limitado.exercicio = {TPasso::Estagio(30000, 20, 30), TPasso::Rampa(7000, 5, 3, 4.6, 1)};
    limitado.recuperacao = {TPasso::Estagio(10000, 2.5, 0)};
    QTest::newRow("clamped") << limitado;
}

void TestPreviaProtocolo::runnerSendsThePreviewsTargets()
{
    QFETCH(TProtocolo, protocolo);
    SetErrorMessageHook([](const QString &texto) { qWarning() << texto; });
    TBoardSimulator placa;
    QString erro;
    QVERIFY2(placa.Start(&erro), qPrintable(erro));
    qputenv("KESTROVA_COM3", placa.DevicePath().toLocal8Bit());
    TOrvanta orvanta(nullptr, 3);
    QVERIFY(orvanta.Porta()->Opened());
    auto relogio = std::make_shared<TRelogioManual>();
    relogio->Ajustar(1000000);
    TExecutorProtocolo executor(&orvanta, relogio);
    QSignalSpy eventos(&executor, &TExecutorProtocolo::Evento);
    executor.AjustarProtocolo(protocolo);
    executor.AjustarAceitarLimitacao(true);
    executor.AjustarPeriodoMs(1000000000);  // only the protocol's own changes go out
    executor.AjustarVigiaDaJanela(false);

    const TPreviaProtocolo previa(protocolo, &TEquacoesMetabolicas::Mets);
    QVERIFY(!previa.Pontos().isEmpty());
    QCOMPARE(previa.DuracaoMs(), protocolo.DuracaoTotalMs());
    auto alvos = [&] {
        QList<TAlvoVisto> vistos;
        for (const QList<QVariant> &a : eventos) {
            const auto e = a.at(0).value<TEventoExecucao>();
            if (e.tipo == TEventoExecucao::TTipo::Alvo)
                vistos.append({e.tempoMs, e.velocidade, e.inclinacao});
        }
        return vistos;
    };
    executor.Iniciar();
    const qint64 inicio = relogio->AgoraMs() + TExecutorProtocolo::kContagemMs;
    QList<TAlvoVisto> esperados;
    QList<QByteArray> quadros;
    for (const TPreviaProtocolo::TPonto &p : previa.Pontos()) {
        relogio->Ajustar(inicio + p.tempoMs);
        esperados.append({p.tempoMs, p.velocidade, p.inclinacao});
        quadros << Quadro('Q', TOrvanta::ConverterVelocidade(p.velocidade))
                << Quadro('R', TOrvanta::ConverterInclinacao(float(p.inclinacao)));
        QTRY_VERIFY_WITH_TIMEOUT(
            alvos().size() >= esperados.size() && placa.Frames().size() >= quadros.size(),
            kPrazoMs);
        QCOMPARE(alvos(), esperados);
    }
    relogio->Ajustar(inicio + previa.DuracaoMs());
    QTRY_COMPARE_WITH_TIMEOUT(executor.Estado(), TEstadoExecucao::Concluido, kPrazoMs);
    quadros << Quadro('T', 0);
    QList<QByteArray> recebidos;
    for (const TFrameRecord &r : placa.Frames())
        recebidos << r.frame;
    QCOMPARE(recebidos, quadros);
    QCOMPARE(alvos(), esperados);
    // Every clamp the preview names is the runner's reason to ask for the operator's consent.
    executor.AjustarAceitarLimitacao(false);
    QCOMPARE(executor.MotivoRecusa().isEmpty(), previa.Limitacoes().isEmpty());
}

void TestPreviaProtocolo::summaryAndMets()
{
    const TProtocolo bruce = TEmbutidos::Todos().at(0);
    const TPreviaProtocolo previa(bruce, &TEquacoesMetabolicas::Mets);
    QCOMPARE(previa.Etapas().size(), bruce.Etapas().size());
    QCOMPARE(previa.VelocidadePico(), 10.5);
    QCOMPARE(previa.InclinacaoPico(), 24.0);
    QCOMPARE(previa.MetsPico(), TEquacoesMetabolicas::Mets(10.5, 24));
    for (const TPreviaProtocolo::TEtapa &e : previa.Etapas()) {
        QCOMPARE(e.metsInicial, TEquacoesMetabolicas::Mets(e.etapa.passo.velocidadeInicial,
                                                           e.etapa.passo.inclinacaoInicial));
        QVERIFY(e.limitacoes.isEmpty());
    }
    // A ramp's METs run from its start to its end value.
    const TProtocolo rampa = TGeradorRampa::Gerar({3, 0, 8, 12}, nullptr);
    const TPreviaProtocolo r(rampa, &TEquacoesMetabolicas::Mets);
    QCOMPARE(r.Etapas().first().metsInicial, TEquacoesMetabolicas::Mets(3, 0));
    QCOMPARE(r.Etapas().first().metsFinal, TEquacoesMetabolicas::Mets(8, 12));
    QCOMPARE(r.PontoEm(rampa.exercicio.first().duracaoMs - 1).velocidade, 8.0);
}

QTEST_GUILESS_MAIN(TestPreviaProtocolo)
#include "tst_previaprotocolo.moc"
