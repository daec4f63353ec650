#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include "console/fconsole.h"
#include "platform/messagebox.h"
#include "protocol/executorprotocolo.h"
#include "session/bancosessoes.h"
#include "tests/support/servidorpostgres.h"
#include "tools/boardsim/boardsimulator.h"

// The console recording into a lab's server that goes away in the middle of a test.
class TstConsoleServidor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (const QString motivo = TServidorPostgres::Indisponivel(); !motivo.isEmpty())
            QSKIP(qPrintable(motivo));
        QString erro;
        QVERIFY2(FServidor.Iniciar(&erro), qPrintable(erro));
    }

    // The outage is in the status bar in words, the test and the belt go on, and the end of the
    // test is written once the server is back, with every second of it; a test stopped during
    // the outage has its end written when the server answers again, not marked interrupted.
    void servidorCaiDuranteOTeste_data()
    {
        QTest::addColumn<bool>("pararNaQueda");
        QTest::newRow("parado depois da volta") << false;
        QTest::newRow("parado durante a queda") << true;
    }
    void servidorCaiDuranteOTeste()
    {
        QFETCH(bool, pararNaQueda);
        TBoardSimulator placa;
        QVERIFY(placa.Start());
        qputenv("KESTROVA_COM1", placa.DevicePath().toLocal8Bit());
        QStringList mensagens;
        SetErrorMessageHook([&](const QString &t) { mensagens << t; });
        TBancoSessoes banco;
        banco.AjustarEstacao("sala-1");
        QString erro;
        QVERIFY2(
            banco.Abrir(FServidor.NovoBanco(QStringLiteral("console_%1").arg(pararNaQueda)), &erro),
            qPrintable(erro));
        TfrmConsole janela(&banco);
        janela.AjustarEscalaTempo(20);
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        QTest::keyClicks(janela.findChild<QLineEdit *>("edt_nome"), "Marta Quintela");
        QTest::mouseClick(janela.findChild<QPushButton *>("btnIniciar"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(janela.Executor()->Estado() == TEstadoExecucao::Exercicio, 15000);
        QList<qint64> emitidas;  // every sample the runner gave the window from now on
        connect(janela.Executor(), &TExecutorProtocolo::Amostra, this,
                [&](const TAmostraExecucao &a) { emitidas << a.tempoMs; });
        auto *gravacao = janela.findChild<QLabel *>("lblGravacao");

        QVERIFY(FServidor.Parar());
        QTRY_VERIFY_WITH_TIMEOUT(
            gravacao->text().contains(QRegularExpression(
                "^Servidor de sessões indisponível: gravando localmente; [1-9]\\d* registros "
                "aguardando$")),
            10000);
        const qint64 naQueda = janela.Executor()->UltimaAmostra().tempoMs;
        QTRY_VERIFY_WITH_TIMEOUT(janela.Executor()->UltimaAmostra().tempoMs > naQueda + 60000,
                                 10000);  // three samples or more while the server is away
        QCOMPARE(janela.Executor()->Estado(), TEstadoExecucao::Exercicio);
        for (const TFrameRecord &r : placa.Frames())
            QVERIFY(r.frame != QByteArray("\x02T\x00", 3));  // no stop went out

        if (pararNaQueda) {
            QTest::mouseClick(janela.findChild<QPushButton *>("btnParar"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(
                gravacao->text().contains("o fim do teste 1 será gravado quando ele responder"),
                10000);
            QVERIFY(FServidor.Retomar());
        } else {
            QVERIFY(FServidor.Retomar());
            QTRY_VERIFY_WITH_TIMEOUT(gravacao->text().contains("Servidor de sessões de volta"),
                                     15000);
            QTest::mouseClick(janela.findChild<QPushButton *>("btnParar"), Qt::LeftButton);
        }
        QTRY_VERIFY_WITH_TIMEOUT(gravacao->text().startsWith("Teste 1 gravado"), 15000);
        const TSessao s = *banco.LerSessao(1);
        QCOMPARE(s.situacao, TSessao::TSituacao::Parada);
        QCOMPARE(s.estacao, QStringLiteral("sala-1"));
        QVERIFY(s.duracaoMs > naQueda);
        QVERIFY(!banco.LerEstagios(1).isEmpty());
        const auto gravadas = [&] {
            QList<qint64> tempos;
            for (const TAmostraRegistro &a : banco.LerAmostras(1))
                tempos << a.tempoMs;
            return tempos.mid(tempos.size() - emitidas.size());
        };
        QVERIFY(emitidas.size() >= 4);
        QTRY_COMPARE_WITH_TIMEOUT(gravadas(), emitidas, 5000);  // each once, in order
        QVERIFY2(mensagens.isEmpty(), qPrintable(mensagens.join('\n')));
        SetErrorMessageHook({});
    }

private:
    TServidorPostgres FServidor;
};

QTEST_MAIN(TstConsoleServidor)
#include "tst_consoleservidor.moc"
