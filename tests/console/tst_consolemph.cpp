#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "console/fconfiguracoes.h"
#include "console/fconsole.h"
#include "protocol/executorprotocolo.h"
#include "session/bancosessoes.h"
#include "tools/boardsim/boardsimulator.h"

// The console with its speeds in mph (offscreen, the simulated board over a pty): the setting
// remembered, the step list, a typed limit, the live figures and the printed report in mph, and
// the board receiving km/h at its 0.1 step.
class TstConsoleMph : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(FPasta.isValid());
        qputenv("XDG_CONFIG_HOME", FPasta.filePath("config").toLocal8Bit());
    }

    // Set in the dialog, remembered, and taken by the next window.
    void umTesteEmMph()
    {
        {
            TfrmConfiguracoes configuracoes;
            auto *unidade = configuracoes.findChild<QComboBox *>("cmbUnidadeVelocidade");
            QCOMPARE(unidade->currentText(), QStringLiteral("km/h"));
            unidade->setCurrentIndex(unidade->findText(QStringLiteral("mph")));
            QVERIFY(configuracoes.Salvar());
        }
        QCOMPARE(TfrmConfiguracoes().findChild<QComboBox *>("cmbUnidadeVelocidade")->currentText(),
                 QStringLiteral("mph"));
        // Bruce with a 4.97 mph limit: 4.97 x 1.609344 = 7.998, the board's 8.0 km/h (code 66).
        TBoardSimulator placa;
        QVERIFY(placa.Start());
        qputenv("KESTROVA_COM1", placa.DevicePath().toLocal8Bit());
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(FPasta.filePath("mph.db"), &erro));
        TfrmConsole janela(&banco);
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        QTest::keyClicks(janela.findChild<QLineEdit *>("edt_nome"), "Marta Quintela");
        auto *protocolo = janela.findChild<QComboBox *>("cmbProtocolo");
        protocolo->setCurrentIndex(protocolo->findData("bruce"));

        // 2.7 km/h = 1.678 mph; 10.5 km/h = 6.524 mph.
        auto *passos = janela.findChild<QTreeWidget *>("lstPassos");
        QCOMPARE(passos->topLevelItem(0)->text(3), QStringLiteral("1.68 mph"));
        QCOMPARE(passos->topLevelItem(7)->text(3), QStringLiteral("6.52 mph"));

        auto *limite = janela.findChild<QDoubleSpinBox *>("spnVelocidadeMaxima");
        limite->setFocus();
        limite->selectAll();
        QTest::keyClicks(limite, "4.97");
        QTest::keyClick(limite, Qt::Key_Enter);
        QCOMPARE(limite->value(), 8.0);
        QCOMPARE(limite->text(), QStringLiteral("4.97 mph"));
        janela.findChild<QDoubleSpinBox *>("spnRecuperacao")->setValue(0);

        // Real time; the operator's "Próximo estágio" from stage 1 up to stage 6
        // (8.9 km/h, 20 %), which runs at the limit.
        Clicar(janela, "btnIniciar");
        auto *alvo = janela.findChild<QLabel *>("lblAlvo");
        QTRY_VERIFY_WITH_TIMEOUT(janela.Executor()->Estado() == TEstadoExecucao::Exercicio, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(alvo->text(), QStringLiteral("1.68 mph   10.0 %"), 5000);
        for (int estagio = 2; estagio <= 6; ++estagio) {
            Clicar(janela, "btnProximo");
            QTRY_COMPARE_WITH_TIMEOUT(janela.Executor()->UltimaAmostra().estagio, estagio, 5000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(alvo->text(), QStringLiteral("4.97 mph   20.0 %"), 5000);
        // What the board acknowledged: 8.0 km/h exactly (4.96 and 4.98 mph are other steps).
        QTRY_COMPARE_WITH_TIMEOUT(janela.findChild<QLabel *>("lblLink")->text(),
                                  QStringLiteral("Conectada: 4.97 mph, 20.0 %"), 5000);
        Clicar(janela, "btnParar");
        QTRY_VERIFY_WITH_TIMEOUT(!janela.EmTeste(), 5000);
        // The stop acknowledged, then the records closed: the session as the report reads it.
        QTRY_VERIFY_WITH_TIMEOUT(janela.findChild<QPushButton *>("btnEncerrar")->isEnabled(),
                                 10000);
        Clicar(janela, "btnEncerrar");
        QTRY_COMPARE_WITH_TIMEOUT(banco.LerSessao(janela.UltimaSessao())->situacao,
                                  TSessao::TSituacao::Parada, 5000);

        const QString pdf = FPasta.filePath("mph.pdf");
        QVERIFY(janela.ImprimirRelatorio(janela.UltimaSessao(), pdf));
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString texto = QString::fromUtf8(pdftotext.readAllStandardOutput());
        // 8.9 km/h = 5.530 mph; the recovery's 2.5 km/h = 1.553 mph.
        for (const char *esperado :
             {"Limites: 4.97 mph, 25.0 %", "a 1.55 mph", "1.68 mph", "4.97 mph (protocolo 5.53)",
              "Picos: 4.97 mph", "Velocidade (mph)"})
            QVERIFY2(texto.contains(QString::fromUtf8(esperado)),
                     qPrintable(QString::fromUtf8(esperado) + '\n' + texto));
        QVERIFY2(!texto.contains("km/h"), qPrintable(texto));
    }

private:
    static void Clicar(TfrmConsole &janela, const char *nome)
    {
        auto *botao = janela.findChild<QPushButton *>(nome);
        QVERIFY2(botao && botao->isEnabled(), nome);
        QTest::mouseClick(botao, Qt::LeftButton);
    }

    QTemporaryDir FPasta;
};

QTEST_MAIN(TstConsoleMph)
#include "tst_consolemph.moc"
