#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <csignal>
#include <memory>

#include "components/editimp.h"
#include "console/acompanhamentoclinico.h"
#include "console/fconfiguracoes.h"
#include "console/fconsole.h"
#include "console/fresultados.h"
#include "console/fsessoes.h"
#include "console/monitorcardiaco.h"
#include "console/painelpaciente.h"
#include "console/preferencias.h"
#include "heartrate/falhabluetooth.h"
#include "heartrate/fontereproducao.h"
#include "heartrate/fontesimulada.h"
#include "heartrate/preferenciacinta.h"
#include "platform/messagebox.h"
#include "protocol/executorprotocolo.h"
#include "protocol/relogiomanual.h"
#include "session/bancosessoes.h"
#include "session/laboratorio.h"
#include "session/relatoriosessao.h"
#include "tools/boardsim/boardsimulator.h"

namespace {

// Speed and grade codes as the board receives them (km/h x 10 - 14; whole percents).
QByteArray Alvo(double kmh, int pct)
{
    const char q[3] = {0x02, 'Q', char(qRound(kmh * 10) - 14)};
    const char r[3] = {0x02, 'R', char(pct)};
    return QByteArray(q, 3) + QByteArray(r, 3);
}

const QByteArray kParar("\x02T\x00", 3);

QString Texto(const QString &programa, const QStringList &argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TstConsole : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(FPasta.isValid());
        qputenv("XDG_CONFIG_HOME", FPasta.filePath("config").toLocal8Bit());
    }
    void init()
    {
        PreferenciasConsole().clear();
        FPlaca = std::make_unique<TBoardSimulator>();
        QVERIFY(FPlaca->Start());
        qputenv("KESTROVA_COM1", FPlaca->DevicePath().toLocal8Bit());
        FMensagens.clear();
        SetErrorMessageHook([this](const QString &t) { FMensagens << t; });
        FBanco = std::make_unique<TBancoSessoes>();
        QString erro;
        QVERIFY(FBanco->Abrir(FPasta.filePath(QTest::currentTestFunction()) + ".db", &erro));
        FJanela = std::make_unique<TfrmConsole>(FBanco.get());
        FJanela->show();
        QVERIFY(QTest::qWaitForWindowExposed(FJanela.get()));
        QTest::keyClicks(FJanela->findChild<QLineEdit *>("edt_nome"), "Marta Quintela");
    }
    void cleanup()
    {
        FJanela.reset();
        FBanco.reset();
        FPlaca.reset();
        SetErrorMessageHook({});
    }

    // A whole modified Bruce at 300 times real speed through the window: every stage's
    // targets on the wire at its boundary, the recovery, the stop at the end; the rows in the
    // database; the report's text.
    void bruceModificadoCompleto()
    {
        auto *protocolo = FJanela->findChild<QComboBox *>("cmbProtocolo");
        protocolo->setCurrentIndex(protocolo->findData("bruce-modificado"));
        FJanela->findChild<QDoubleSpinBox *>("spnRecuperacao")->setValue(1);
        FJanela->findChild<QDoubleSpinBox *>("spnVelocidadeMaxima")->setValue(10.0);
        FJanela->AjustarEscalaTempo(300);
        Clicar("btnIniciar");
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor()->Estado() == TEstadoExecucao::Exercicio,
                                 10000);
        QTest::keyClicks(FJanela->findChild<QLineEdit *>("edtFc"), "80");
        QTest::keyClicks(FJanela->findChild<QLineEdit *>("edtSistolica"), "120");
        QTest::keyClicks(FJanela->findChild<QLineEdit *>("edtDiastolica"), "80");
        Clicar("btnRegistrarFc");
        Clicar("btnRegistrarPa");
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor()->Estado() == TEstadoExecucao::Concluido,
                                 60000);
        QVERIFY(!FJanela->EmTeste());
        QTRY_COMPARE_WITH_TIMEOUT(FJanela->SessaoAtual(), qint64(0), 5000);

        QByteArray fio;
        for (const TFrameRecord &r : FPlaca->Frames())
            fio += r.frame;
        const std::pair<double, int> estagios[] = {{2.7, 0},  {2.7, 5},   {2.7, 10}, {4.0, 12},
                                                   {5.5, 14}, {6.8, 16},  {8.0, 18}, {8.9, 20},
                                                   {9.7, 22}, {10.0, 24}, {2.5, 0}};
        qsizetype onde = 0;
        for (const auto &[kmh, pct] : estagios) {
            onde = fio.indexOf(Alvo(kmh, pct), onde);
            QVERIFY2(onde >= 0, qPrintable(QStringLiteral("%1 km/h %2 %").arg(kmh).arg(pct)));
        }
        QVERIFY(fio.endsWith(kParar));

        const qint64 id = FJanela->UltimaSessao();
        const TSessao s = *FBanco->LerSessao(id);
        QCOMPARE(s.situacao, TSessao::TSituacao::Concluida);
        QCOMPARE(s.motivoParada, QStringLiteral("Teste completo"));
        const QList<TResumoEstagio> tabela = FBanco->LerEstagios(id);
        QCOMPARE(tabela.size(), qsizetype(std::size(estagios)));
        for (int i = 0; i < tabela.size(); ++i) {
            QCOMPARE(tabela.at(i).velocidade, estagios[i].first);
            QCOMPARE(tabela.at(i).inclinacao, double(estagios[i].second));
        }
        // The last stage ran at the test's limit; the protocol's value stays beside it.
        QCOMPARE(tabela.at(9).velocidadeProtocolo, 10.5);
        QCOMPARE(tabela.at(8).velocidadeProtocolo, 0.0);
        QCOMPARE(tabela.at(0).frequenciaCardiaca, 80);
        QCOMPARE(tabela.at(0).pressaoSistolica, 120);
        QVERIFY(!FBanco->LerAmostras(id).isEmpty());

        const QString pdf = FPasta.filePath("bruce.pdf");
        QVERIFY(FJanela->ImprimirRelatorio(id, pdf));
        const QString texto = Texto("pdftotext", {"-layout", pdf, "-"});
        for (const char *esperado :
             {"Marta Quintela", "Protocolo: Bruce modificado", "Concluído",
              "Motivo da interrupção: Teste completo", "10.0 km/h (protocolo 10.5)", "Recuperação"})
            QVERIFY2(texto.contains(QString::fromUtf8(esperado)), esperado);
        QVERIFY(FMensagens.isEmpty());

        // Closing the records shows the results. Peak: 10.0 km/h at 24 %, running (ACSM):
        // S = 166.67 m/min, VO2 = 3.5 + 0.2 S + 0.9 S 0.24 = 72.83 ml/kg/min = 20.8 METs.
        Clicar("btnEncerrar");
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Resultados() && FJanela->Resultados()->isVisible(), 5000);
        const QList<QTreeWidgetItem *> pico = FJanela->Resultados()->Lista()->findItems(
            QStringLiteral("METs de pico"), Qt::MatchExactly);
        QCOMPARE(pico.size(), 1);
        QVERIFY2(pico.first()->text(1).startsWith("20.8"), qPrintable(pico.first()->text(1)));
    }

    // A test at 60 times real speed with a heart-rate source: every sample carries the rate
    // current at its time and the source's name, none across a gap of the trace (and the events
    // say when the signal went and came back); the simulated strap rises with the workload; the
    // running view shows the figure.
    void frequenciaDaFonte_data()
    {
        QTest::addColumn<bool>("simulada");
        QTest::newRow("cinta simulada") << true;
        QTest::newRow("traço gravado") << false;
    }
    void frequenciaDaFonte()
    {
        QFETCH(bool, simulada);
        auto relogio = std::make_shared<TRelogioMonotonico>();
        if (simulada) {
            FJanela->AjustarFonteCardiaca(std::make_unique<TFonteSimulada>(relogio));
        } else {
            // 95 bpm, nothing from 60 s to 180 s, then 130 bpm.
            QByteArray csv("tempo_s,fc\n");
            for (int t = -5; t <= 600; ++t)
                if (t < 60 || t > 180)
                    csv += QByteArray::number(t) + (t < 60 ? ",95\n" : ",130\n");
            QString erro;
            const std::optional<TTracoCardiaco> traco = TTracoCardiaco::Ler(csv, &erro);
            QVERIFY2(traco, qPrintable(erro));
            FJanela->AjustarFonteCardiaca(
                std::make_unique<TFonteReproducao>(*traco, QStringLiteral("traço"), relogio));
        }
        FJanela->AjustarEscalaTempo(60);
        Clicar("btnIniciar");
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor()->UltimaAmostra().tempoMs > 300000, 20000);
        QVERIFY(FJanela->findChild<QLabel *>("lblFc")->text().endsWith(" bpm"));
        Clicar("btnParar");
        QTRY_VERIFY_WITH_TIMEOUT(!FJanela->EmTeste(), 5000);
        const qint64 id = FJanela->UltimaSessao();
        QTRY_VERIFY_WITH_TIMEOUT(FBanco->LerAmostras(id).size() >= 5, 5000);
        const QList<TAmostraRegistro> amostras = FBanco->LerAmostras(id);
        const QString nome = simulada ? QStringLiteral("Cinta simulada") : QStringLiteral("traço");
        int comFc = 0, naLacuna = 0;
        for (const TAmostraRegistro &a : amostras) {
            if (a.frequenciaCardiaca > 0) {
                ++comFc;
                QCOMPARE(a.fonteFc, nome);
            }
            if (simulada || a.tempoMs < 0)
                continue;
            // Clear of the edges, where a sample and a reading may be a second apart.
            const int esperada = a.tempoMs < 58000 ? 95 : a.tempoMs > 182000 ? 130 : 0;
            const bool naBorda = (a.tempoMs >= 58000 && a.tempoMs <= 66000) ||
                                 (a.tempoMs >= 180000 && a.tempoMs <= 182000);
            if (naBorda || a.tempoMs > 600000)
                continue;
            QCOMPARE(a.frequenciaCardiaca, esperada);
            naLacuna += esperada == 0;
        }
        QVERIFY(comFc >= 3);
        const QString pdf = FPasta.filePath(QStringLiteral("fc.pdf"));
        QVERIFY(FJanela->ImprimirRelatorio(id, pdf));
        QVERIFY(Texto("pdftotext", {pdf, "-"}).contains(QStringLiteral("FC medida")));
        if (simulada) {
            QVERIFY(amostras.last().frequenciaCardiaca > amostras.first().frequenciaCardiaca + 10);
        } else {
            QVERIFY(naLacuna > 0);
            QVERIFY(TemEvento(id, "sinal_fc", "sem sinal"));
            QVERIFY(TemEvento(id, "sinal_fc", "sinal restabelecido"));
        }
    }

    // The strap's choice: the simulated strap only for a demonstration; the remembered strap
    // listed and chosen in the next window, its failure (no adapter here) said under the list;
    // a choice stored as it is made.
    void escolhaDaCinta()
    {
        auto *lista = FJanela->findChild<QComboBox *>("cmbCinta");
        QCOMPARE(lista->count(), 1);
        QVERIFY(!FJanela->MonitorCardiaco()->Fonte());
        FJanela->OferecerDemonstracao(true);
        QCOMPARE(lista->currentText(), QStringLiteral("Cinta simulada"));
        QVERIFY(FJanela->MonitorCardiaco()->Fonte());
        QVERIFY((TPreferenciaCinta{TPreferenciaCinta::TTipo::Bluetooth, "A0:9E:1A:12:34:56",
                                   "Polar H10"})
                    .Salvar());
        FJanela = std::make_unique<TfrmConsole>(FBanco.get());
        lista = FJanela->findChild<QComboBox *>("cmbCinta");
        QCOMPARE(lista->currentText(), QStringLiteral("Polar H10 (A0:9E:1A:12:34:56)"));
#ifdef KESTROVA_HEARTRATE_BLUETOOTH
        QVERIFY(FJanela->MonitorCardiaco()->Fonte());
        QTRY_COMPARE_WITH_TIMEOUT(FJanela->findChild<QLabel *>("lblSituacaoCinta")->text(),
                                  TextoFalhaBluetooth(TFalhaBluetooth::SemAdaptador), 10000);
#endif
        lista->setCurrentIndex(0);
        QCOMPARE(TPreferenciaCinta::Carregar().tipo, TPreferenciaCinta::TTipo::Nenhuma);
        QVERIFY(!FJanela->MonitorCardiaco()->Fonte());
        QCOMPARE(FJanela->findChild<QLabel *>("lblFc")->text(), QStringLiteral("-"));
    }

    // A pressure above the warning's bound: shown in the running view and recorded, once; the
    // live load in METs; the belt untouched (its targets only the protocol's).
    void avisoClinico()
    {
        Iniciado();
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->findChild<QLabel *>("lblMets")->text().endsWith("METs"),
                                 5000);
        const qsizetype quadros = FPlaca->Frames().size();
        for (int i = 0; i < 2; ++i) {
            auto *s = FJanela->findChild<QLineEdit *>("edtSistolica");
            auto *d = FJanela->findChild<QLineEdit *>("edtDiastolica");
            s->setText("262");
            d->setText("100");
            Clicar("btnRegistrarPa");
        }
        auto *aviso = FJanela->findChild<QLabel *>("lblAvisoClinico");
        QVERIFY(aviso->isVisible() && aviso->text().contains("262 mmHg"));
        const qint64 id = FJanela->UltimaSessao();
        QTRY_VERIFY_WITH_TIMEOUT(TemEvento(id, "aviso", "262 mmHg"), 5000);
        int avisos = 0;
        for (const TEventoRegistro &e : FBanco->LerEventos(id))
            avisos += e.tipo == "aviso";
        QCOMPARE(avisos, 1);
        // Stage 1 of Bruce (2.7 km/h, 10 %) re-sent as it was: speed and grade frames only.
        const QByteArray velocidade = Alvo(2.7, 10).left(3), inclinacao = Alvo(2.7, 10).mid(3);
        for (qsizetype i = quadros; i < FPlaca->Frames().size(); ++i)
            QVERIFY(FPlaca->Frames().at(i).frame == velocidade ||
                    FPlaca->Frames().at(i).frame == inclinacao);
    }

    // What the entries give the session: a resting rate typed within the minute before the
    // start (else the sensor's), the largest ST deviation, and the angina index (2 when angina
    // stopped the test, 1 for angina, 0 for an entry of none, empty when never entered).
    void dadosClinicosDasEntradas_data()
    {
        QTest::addColumn<qint64>("repousoHaMs");  // the resting entry's age at the start
        QTest::addColumn<QList<int>>("anginas");
        QTest::addColumn<QString>("motivo");
        QTest::addColumn<int>("fcRepouso");
        QTest::addColumn<int>("indice");  // -1: empty
        QTest::newRow("nada") << qint64(61000) << QList<int>{} << "Fadiga" << 77 << -1;
        QTest::newRow("sem angina") << qint64(60000) << QList<int>{0} << "Fadiga" << 64 << 0;
        QTest::newRow("angina") << qint64(1000) << QList<int>{0, 2} << "Fadiga" << 64 << 1;
        QTest::newRow("parou por angina")
            << qint64(0) << QList<int>{} << "Angina moderada a intensa" << 64 << 2;
    }
    void dadosClinicosDasEntradas()
    {
        QFETCH(qint64, repousoHaMs);
        QFETCH(QList<int>, anginas);
        QFETCH(QString, motivo);
        auto relogio = std::make_shared<TRelogioManual>();
        TAcompanhamentoClinico clinico(relogio);
        TEventoRegistro e;
        e.tipo = "fc";
        e.valor1 = 64;
        clinico.Repouso(e);
        relogio->Avancar(repousoHaMs);
        TSessao sessao;
        clinico.IniciarTeste(sessao, TPaciente{}, 77);
        QTEST(*sessao.fcRepouso, "fcRepouso");
        for (double st : {1.0, 2.5, 0.5}) {
            e.tipo = "st";
            e.valor1 = st;
            clinico.Entrada(e);
        }
        for (int angina : anginas) {
            e.tipo = "angina";
            e.valor1 = angina;
            clinico.Entrada(e);
        }
        clinico.Concluir(sessao, motivo);
        QCOMPARE(sessao.desvioStMm, std::optional<double>(2.5));
        QTEST(sessao.indiceAngina.value_or(-1), "indice");
    }

    // The settings a new test takes (the predicted maximum's formula, the target) and the
    // laboratory every report prints.
    void configuracoes()
    {
        TfrmConfiguracoes configuracoes;
        configuracoes.findChild<QComboBox *>("cmbFormulaFc")->setCurrentIndex(1);
        configuracoes.findChild<QDoubleSpinBox *>("spnAlvoFc")->setValue(90);
        configuracoes.findChild<QLineEdit *>("edtLaboratorio")->setText("Laboratório Vértice");
        QVERIFY(configuracoes.Salvar());
        QCOMPARE(TLaboratorio::Carregar().nome, QStringLiteral("Laboratório Vértice"));
        Iniciado();
        const TSessao s = *FBanco->LerSessao(FJanela->UltimaSessao());
        QCOMPARE(s.formulaFcMaxima, TSessao::TFormulaFcMaxima::Tanaka);
        QCOMPARE(s.percentualFcAlvo, 90.0);
        QVERIFY(TLaboratorio{}.Salvar());
    }

    // The set-up's step list gives each stage's METs (ACSM, worked by hand): Bruce 1, 2.7 km/h
    // at 10 % walking, S = 45 m/min: 3.5 + 4.5 + 1.8 x 45 x 0.10 = 16.1 -> 4.6; Bruce 4, 6.8 km/h
    // at 16 %: 3.5 + 11.33 + 1.8 x 113.33 x 0.16 = 47.47 -> 13.6; Bruce 5, 8.0 km/h at 18 %,
    // running from 8.0: 3.5 + 26.67 + 0.9 x 133.33 x 0.18 = 51.77 -> 14.8.
    void metsDosPassos()
    {
        auto *protocolo = FJanela->findChild<QComboBox *>("cmbProtocolo");
        protocolo->setCurrentIndex(protocolo->findData("bruce"));
        auto *passos = FJanela->findChild<QTreeWidget *>("lstPassos");
        QCOMPARE(passos->topLevelItem(0)->text(5), QStringLiteral("4.6"));
        QCOMPARE(passos->topLevelItem(3)->text(5), QStringLiteral("13.6"));
        QCOMPARE(passos->topLevelItem(4)->text(5), QStringLiteral("14.8"));
    }

    // The runner has ended but the window has not yet heard it (its signals held back here):
    // closing records the session as complete, not left open or stopped.
    void fecharComOFimAindaNaFila()
    {
        FJanela->AjustarEscalaTempo(1000);
        Clicar("btnIniciar");
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor(), 5000);
        FJanela->Executor()->blockSignals(true);
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor()->Estado() == TEstadoExecucao::Concluido,
                                 60000);
        QVERIFY(FJanela->SessaoAtual() != 0);
        QVERIFY(FJanela->close());
        const TSessao s = *FBanco->LerSessao(FJanela->UltimaSessao());
        QCOMPARE(s.situacao, TSessao::TSituacao::Concluida);
        QCOMPARE(s.motivoParada, QStringLiteral("Teste completo"));
    }

    // Space and Escape press PARAR: the stop frame is the last on the wire and the session is
    // recorded as stopped. Escape works from a text field too.
    void teclasDeParada_data()
    {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<bool>("noComentario");
        QTest::newRow("Espaço") << int(Qt::Key_Space) << false;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
        QTest::newRow("Esc no comentário") << int(Qt::Key_Escape) << true;
    }
    void teclasDeParada()
    {
        QFETCH(int, tecla);
        QFETCH(bool, noComentario);
        Iniciado();
        QWidget *alvo = FJanela.get();
        if (noComentario) {
            alvo = FJanela->findChild<QLineEdit *>("edtComentario");
            alvo->setFocus();
        }
        QTest::keyClick(alvo, Qt::Key(tecla));
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor()->Estado() == TEstadoExecucao::Parado, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(
            !FPlaca->Frames().isEmpty() && FPlaca->Frames().last().frame == kParar, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(FBanco->LerSessao(FJanela->UltimaSessao())->situacao,
                                  TSessao::TSituacao::Parada, 5000);
        // The state change that ends the test is recorded too.
        QTRY_VERIFY_WITH_TIMEOUT(TemEvento(FJanela->UltimaSessao(), "estado", "Parado"), 5000);
    }

    // After PARAR: the screen shows what the board holds (0), the reason is asked, and the
    // recovery readings are still taken on the test's clock until "Encerrar teste"; the report's
    // comments typed after the reason are stored; what is typed after that rests for the next.
    void depoisDaParada()
    {
        Iniciado();
        Clicar("btnParar");
        QTRY_COMPARE_WITH_TIMEOUT(FJanela->Executor()->Estado(), TEstadoExecucao::Parado, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(FJanela->findChild<QLabel *>("lblLink")->text(),
                                  QStringLiteral("Conectada: 0.0 km/h, 0.0 %"), 5000);
        QVERIFY(FJanela->findChild<QLabel *>("lblAlvo")->text().startsWith("0.0 km/h"));
        auto *motivo = FJanela->findChild<QInputDialog *>("dlgMotivo");
        QVERIFY(motivo && motivo->isVisible());
        motivo->setTextValue("Fadiga");
        motivo->accept();
        const qint64 id = FJanela->UltimaSessao();
        QTRY_COMPARE_WITH_TIMEOUT(FBanco->LerSessao(id)->motivoParada, QStringLiteral("Fadiga"),
                                  5000);
        QTest::keyClicks(FJanela->findChild<QPlainTextEdit *>("txtComentarios"), "Sem queixas");
        QTRY_COMPARE_WITH_TIMEOUT(FBanco->LerSessao(id)->comentarios, QStringLiteral("Sem queixas"),
                                  5000);
        const qint64 parada = FBanco->LerSessao(id)->duracaoMs;
        QTest::keyClicks(FJanela->findChild<QLineEdit *>("edtFc"), "96");
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor()->UltimaAmostra().tempoMs > parada, 5000);
        Clicar("btnRegistrarFc");
        QTRY_VERIFY_WITH_TIMEOUT(TemEvento(id, "fc", "FC 96 bpm"), 5000);
        for (const TEventoRegistro &e : FBanco->LerEventos(id))
            if (e.tipo == "fc")
                QVERIFY(e.tempoMs > parada);
        Clicar("btnEncerrar");
        // Once the test is closed, an entry is the next test's resting value, not this one's.
        const qsizetype eventos = FBanco->LerEventos(id).size();
        Clicar("btnRegistrarFc");  // "96" is still typed
        QCOMPARE(FBanco->LerEventos(id).size(), eventos);
        Iniciado();
        const qint64 proximo = FJanela->UltimaSessao();
        QCOMPARE(FBanco->LerSessao(proximo)->fcRepouso, std::optional<int>(96));
        QTRY_VERIFY_WITH_TIMEOUT(TemEvento(proximo, "fc", "FC 96 bpm (repouso)"), 5000);
    }

    // Two tests of one person: one patient row, reused and updated; each report keeps the
    // weight of its day; a wrong field refuses the start and records nothing.
    void pacienteReusado()
    {
        auto *peso = FJanela->findChild<QLineEdit *>("edt_peso");
        qint64 sessoes[2] = {};
        for (const char *kg : {"70", "72"}) {
            peso->clear();
            QTest::keyClicks(peso, "abc");
            const qint64 antes = FJanela->UltimaSessao();
            Clicar("btnIniciar");
            QVERIFY(!FJanela->EmTeste());
            QCOMPARE(FJanela->UltimaSessao(), antes);
            QVERIFY(!FMensagens.isEmpty() && FMensagens.last().contains("Peso"));
            peso->clear();
            QTest::keyClicks(peso, kg);
            Iniciado();
            Clicar("btnParar");
            QTRY_VERIFY_WITH_TIMEOUT(!FJanela->EmTeste(), 5000);
            // The stop acknowledged and the window caught up (slow under the sanitizers).
            QTRY_VERIFY_WITH_TIMEOUT(FJanela->findChild<QPushButton *>("btnEncerrar")->isEnabled(),
                                     10000);
            Clicar("btnEncerrar");
            sessoes[kg[1] == '2'] = FJanela->UltimaSessao();
        }
        for (qint64 id : sessoes) {  // each test's times start at its own countdown
            const QList<TEventoRegistro> eventos = FBanco->LerEventos(id);
            QVERIFY(!eventos.isEmpty() && eventos.first().texto == "Operador: iniciar");
            QCOMPARE(eventos.first().tempoMs, qint64(0));
            QVERIFY(FBanco->LerSessao(id)->duracaoMs < 30000);
        }
        QCOMPARE(FBanco->BuscarPacientes(QString(), 10).size(), qsizetype(1));
        QCOMPARE(FBanco->LerSessao(sessoes[0])->pacienteId,
                 FBanco->LerSessao(sessoes[1])->pacienteId);
        QCOMPARE(TRelatorioSessao::Carregar(*FBanco, sessoes[0]).paciente.peso,
                 QStringLiteral("70"));
        QCOMPARE(TRelatorioSessao::Carregar(*FBanco, sessoes[1]).paciente.peso,
                 QStringLiteral("72"));
        QCOMPARE(FBanco->LerPaciente(FBanco->LerSessao(sessoes[0])->pacienteId)->peso,
                 QStringLiteral("72"));
    }

    // The port of the last test is the next window's; the first default is COM1.
    void portaLembrada()
    {
        QCOMPARE(FJanela->findChild<QSpinBox *>("spnPorta")->value(), 1);
        qputenv("KESTROVA_COM2", FPlaca->DevicePath().toLocal8Bit());
        FJanela->findChild<QSpinBox *>("spnPorta")->setValue(2);
        Iniciado();
        Clicar("btnParar");
        QTRY_VERIFY_WITH_TIMEOUT(!FJanela->EmTeste(), 5000);
        qunsetenv("KESTROVA_COM2");
        FJanela.reset();
        FJanela = std::make_unique<TfrmConsole>(FBanco.get());
        QCOMPARE(FJanela->findChild<QSpinBox *>("spnPorta")->value(), 2);
    }

    // --help prints without a display (a window system is needed only for the window).
    void ajudaSemTela()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *v : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(v);
        p.setProcessEnvironment(env);
        p.start(ORVANTA_TESTE, {"--help"});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardOutput().contains("--database"));
    }

    // Space and Escape stop the belt from any window of the program in front during a test:
    // the sessions browser (Escape would close it) and a message box (Space would press its
    // button). What opens a modal box is off meanwhile.
    void teclasDeParadaEmOutraJanela_data()
    {
        QTest::addColumn<int>("tecla");
        QTest::addColumn<bool>("caixa");
        QTest::newRow("Esc no navegador de sessões") << int(Qt::Key_Escape) << false;
        QTest::newRow("Espaço no navegador de sessões") << int(Qt::Key_Space) << false;
        QTest::newRow("Espaço numa caixa de mensagem") << int(Qt::Key_Space) << true;
    }
    void teclasDeParadaEmOutraJanela()
    {
        QFETCH(int, tecla);
        QFETCH(bool, caixa);
        Iniciado();
        for (QAction *acao : FJanela->menuBar()->actions().first()->menu()->actions())
            if (acao->text().contains("Relatório"))
                QVERIFY2(!acao->isEnabled(), qPrintable(acao->text()));
        QWidget *frente = nullptr;
        if (caixa) {
            auto *box = new QMessageBox(QMessageBox::Question, "?", "?",
                                        QMessageBox::Yes | QMessageBox::No, FJanela.get());
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
            frente = box;
        } else {
            Menu("&Sessões...")->trigger();
            auto *sessoes = FJanela->findChild<TfrmSessoes *>();
            QVERIFY(sessoes);
            QVERIFY(!sessoes->findChild<QPushButton *>("btnCsv")->isEnabled());
            frente = sessoes;
        }
        QVERIFY(QTest::qWaitForWindowExposed(frente));
        frente->activateWindow();
        QTest::keyClick(frente, Qt::Key(tecla));
        QTRY_COMPARE_WITH_TIMEOUT(FJanela->Executor()->Estado(), TEstadoExecucao::Parado, 5000);
        QVERIFY(frente->isVisible());  // the key stopped the belt and did nothing else
        QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().last().frame == kParar, 5000);
    }

    // A button does what it said when clicked, though the state moved on before the window
    // heard it (its signals held back here): a pause as the link is lost stays a pause, a
    // cancel as the countdown ends stops the belt.
    void botaoFazOQueDizia_data()
    {
        QTest::addColumn<QString>("botao");
        QTest::addColumn<TEstadoExecucao>("estado");
        QTest::newRow("Pausar quando o link cai") << "btnPausar" << TEstadoExecucao::LinkPerdido;
        QTest::newRow("Cancelar quando a contagem acaba")
            << "btnIniciar" << TEstadoExecucao::Parado;
    }
    void botaoFazOQueDizia()
    {
        QFETCH(QString, botao);
        QFETCH(TEstadoExecucao, estado);
        if (botao == "btnPausar") {
            Iniciado();
            QTRY_VERIFY_WITH_TIMEOUT(FJanela->findChild<QPushButton *>("btnPausar")->isEnabled(),
                                     5000);
            FJanela->Executor()->blockSignals(true);
            FPlaca->SetFault({TBoardFault::Silence});
            QTRY_COMPARE_WITH_TIMEOUT(FJanela->Executor()->Estado(), TEstadoExecucao::LinkPerdido,
                                      15000);
        } else {
            Clicar("btnIniciar");
            FJanela->Executor()->blockSignals(true);
            QTRY_VERIFY_WITH_TIMEOUT(!FPlaca->Frames().isEmpty(), 15000);
        }
        Clicar(qPrintable(botao));
        if (estado == TEstadoExecucao::Parado)
            QTRY_COMPARE_WITH_TIMEOUT(FJanela->Executor()->Estado(), estado, 5000);
        QCOMPARE(FJanela->Executor()->Estado(), estado);
    }

    // A start the runner refuses (a recovery below the board's range, not accepted) records
    // no session.
    void inicioRecusadoNaoGrava()
    {
        FJanela->findChild<QDoubleSpinBox *>("spnRecuperacaoVelocidade")->setValue(1.0);
        QVERIFY(!FJanela->IniciarTeste());
        QCOMPARE(FMensagens.size(), 1);
        QVERIFY2(FMensagens.first().contains("limitação"), qPrintable(FMensagens.first()));
        QSqlQuery q(FBanco->Conexao());
        QVERIFY(q.exec("SELECT count(*) FROM sessoes") && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
        QCOMPARE(FJanela->UltimaSessao(), qint64(0));
    }

    // Closing during a test while the board does not answer the stop: the window stays, says
    // so, records the session as such and keeps sending the stop; once the board answers,
    // the session is stopped and the window closes.
    void fecharSemConfirmacaoDaParada()
    {
        Iniciado();
        FJanela->OnConfirmar = [](const QString &) { return true; };
        FPlaca->SetFault({TBoardFault::Silence});
        QVERIFY(!FJanela->close());
        QVERIFY(FJanela->isVisible());
        const qint64 id = FJanela->UltimaSessao();
        QCOMPARE(FBanco->LerSessao(id)->situacao, TSessao::TSituacao::ParadaNaoConfirmada);
        QVERIFY(FJanela->findChild<QLabel *>("lblLink")->text().contains("não confirmou"));
        auto paradas = [this] {
            int n = 0;
            for (const TFrameRecord &r : FPlaca->Frames())
                n += r.frame == kParar;
            return n;
        };
        QTRY_VERIFY_WITH_TIMEOUT(paradas() >= 3, 10000);  // retried
        QTRY_VERIFY_WITH_TIMEOUT(TemEvento(id, "falha", "Falha ao parar"), 5000);
        FPlaca->SetFault({TBoardFault::None});
        QTRY_COMPARE_WITH_TIMEOUT(FBanco->LerSessao(id)->situacao, TSessao::TSituacao::Parada,
                                  10000);
        QVERIFY(FJanela->close());
    }

    // A manual step starts from the target just sent, not from the last sample: pressed right
    // at Bruce's second boundary (4.0 km/h, the sample still says 2.7), it asks for 4.1 and
    // holds the protocol.
    void ajusteManual()
    {
        FJanela->AjustarEscalaTempo(60);
        bool clicado = false;
        Clicar("btnIniciar");
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor(), 5000);
        connect(FJanela->Executor(), &TExecutorProtocolo::Evento, this,
                [&](const TEventoExecucao &e) {
                    if (!clicado && e.tipo == TEventoExecucao::TTipo::Alvo && e.velocidade > 3.9) {
                        clicado = true;
                        QTimer::singleShot(0, this, [this] { Clicar("btnVelocidadeMais"); });
                    }
                });
        QTRY_COMPARE_WITH_TIMEOUT(FJanela->Executor()->Estado(), TEstadoExecucao::Pausado, 15000);
        const QByteArray q41 = Alvo(4.1, 12).left(3);
        QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().last().frame == q41 ||
                                     FPlaca->Frames().at(FPlaca->Frames().size() - 2).frame == q41,
                                 5000);
        for (const TFrameRecord &r : FPlaca->Frames())
            QVERIFY(r.frame != Alvo(2.8, 0).left(3));
    }

    // Closing while the belt runs asks first; "no" keeps the test, "yes" stops the belt, then
    // closes.
    void fecharDuranteOTeste()
    {
        Iniciado();
        QStringList perguntas;
        bool resposta = false;
        FJanela->OnConfirmar = [&](const QString &t) {
            perguntas << t;
            return resposta;
        };
        QVERIFY(!FJanela->close());
        QCOMPARE(perguntas.size(), 1);
        QVERIFY(FJanela->EmTeste());
        resposta = true;
        QVERIFY(FJanela->close());
        QCOMPARE(FJanela->Executor()->Estado(), TEstadoExecucao::Parado);
        QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().last().frame == kParar, 5000);
        QCOMPARE(FBanco->LerSessao(FJanela->UltimaSessao())->situacao, TSessao::TSituacao::Parada);
    }

    // A database that cannot take the test is reported at Iniciar, and the belt never moves.
    void bancoRuimAntesDoTeste_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::newRow("fechado") << "fechado";
        QTest::newRow("disco cheio") << "cheio";
    }
    void bancoRuimAntesDoTeste()
    {
        QFETCH(QString, caso);
        if (caso == "fechado")
            FBanco->Fechar();
        else
            FBanco->AjustarEspacoMinimo(std::numeric_limits<qint64>::max());
        QVERIFY(!FJanela->IniciarTeste());
        QCOMPARE(FMensagens.size(), 1);
        QVERIFY2(FMensagens.first().contains(caso == "fechado" ? "não abriu"
                                                               : "Espaço em disco insuficiente"),
                 qPrintable(FMensagens.first()));
        QVERIFY(!FJanela->EmTeste());
        QTest::qWait(200);
        QVERIFY(FPlaca->Frames().isEmpty());
    }

    // The program killed in the middle of a test: on the next open every sample it had
    // recorded more than a second before the kill is there, the session is interrupted and the
    // file is sound.
    void matarEReabrir()
    {
        const QString caminho = FPasta.filePath("morto.db");
        QProcess programa;
        programa.setProcessChannelMode(QProcess::SeparateChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        programa.setProcessEnvironment(env);
        programa.start(ORVANTA_TESTE, {"--simulate", "--trace", "--database", caminho, "--start",
                                       "bruce", "--time-scale", "5"});
        QVERIFY(programa.waitForStarted());
        QElapsedTimer relogio;
        relogio.start();
        QList<std::pair<qint64, qint64>> vistas;  // (sample time, when it was reported)
        QByteArray resto;
        const QRegularExpression linha("amostra (\\d+) registrada");
        connect(&programa, &QProcess::readyReadStandardError, this, [&] {
            resto += programa.readAllStandardError();
            qsizetype fim;
            while ((fim = resto.indexOf('\n')) >= 0) {
                const auto m = linha.match(QString::fromUtf8(resto.left(fim)));
                if (m.hasMatch())
                    vistas.append({m.captured(1).toLongLong(), relogio.elapsed()});
                resto.remove(0, fim + 1);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(vistas.size() >= 6, 30000);
        ::kill(pid_t(programa.processId()), SIGKILL);
        const qint64 morte = relogio.elapsed();
        QVERIFY(programa.waitForFinished(5000));

        TBancoSessoes banco;
        QString erro;
        QVERIFY2(banco.Abrir(caminho, &erro), qPrintable(erro));
        QCOMPARE(banco.Recuperadas(), 1);
        const TSessao s = *banco.LerSessao(1);
        QCOMPARE(s.situacao, TSessao::TSituacao::Interrompida);
        QSet<qint64> gravadas;
        for (const TAmostraRegistro &a : banco.LerAmostras(1))
            gravadas << a.tempoMs;
        int antigas = 0;
        for (const auto &[tempo, quando] : vistas)
            if (morte - quando > 1000) {
                ++antigas;
                QVERIFY2(gravadas.contains(tempo), qPrintable(QString::number(tempo)));
            }
        QVERIFY(antigas >= 4);
        QSqlQuery q(banco.Conexao());
        QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
    }

    // The cable is pulled during a stage and the board returns on a new pty behind the same
    // link: the loss is in words at once, the test holds, the port reopens by itself, and the
    // board hears nothing until Retomar (the held stage's target) or PARAR (a stop, which
    // works while the device is gone too).
    void caboPuxadoEDeVolta_data()
    {
        QTest::addColumn<bool>("retomar");
        QTest::newRow("Retomar") << true;
        QTest::newRow("PARAR durante a perda") << false;
    }
    void caboPuxadoEDeVolta()
    {
        QFETCH(bool, retomar);
        const QString link = FPasta.filePath(QStringLiteral("orvanta-%1").arg(retomar));
        QVERIFY(QFile::link(FPlaca->DevicePath(), link));
        qputenv("KESTROVA_COM1", link.toLocal8Bit());
        FJanela->AjustarIntervaloDeReabertura(200);
        Iniciado();
        FPlaca->PullCable();
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->DispositivoPerdido(), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(FJanela->Executor()->Estado(), TEstadoExecucao::LinkPerdido,
                                  3000);
        auto *estado = FJanela->findChild<QLabel *>("lblLink");
        QVERIFY2(estado->text().startsWith("PORTA PERDIDA") && estado->text().contains(link),
                 qPrintable(estado->text()));
        QVERIFY(!FJanela->findChild<QPushButton *>("btnPausar")->isEnabled());
        if (!retomar) {
            Clicar("btnParar");
            QTRY_COMPARE_WITH_TIMEOUT(FJanela->Executor()->Estado(), TEstadoExecucao::Parado, 3000);
        }

        FPlaca = std::make_unique<TBoardSimulator>();
        QVERIFY(FPlaca->Start());
        QVERIFY(QFile::remove(link) && QFile::link(FPlaca->DevicePath(), link));
        QTRY_VERIFY_WITH_TIMEOUT(!FJanela->DispositivoPerdido(), 5000);
        if (!retomar) {
            QTRY_VERIFY_WITH_TIMEOUT(!FPlaca->Frames().isEmpty(), 5000);
            for (const TFrameRecord &r : FPlaca->Frames())
                QCOMPARE(r.frame, kParar);
            QTRY_COMPARE_WITH_TIMEOUT(FBanco->LerSessao(FJanela->UltimaSessao())->situacao,
                                      TSessao::TSituacao::Parada, 5000);
            return;
        }
        QVERIFY2(estado->text().startsWith("Porta reaberta"), qPrintable(estado->text()));
        QTest::qWait(1500);  // past the re-send period: nothing goes out by itself
        QCOMPARE(FPlaca->Frames().size(), 0);
        QCOMPARE(FJanela->Executor()->Estado(), TEstadoExecucao::LinkPerdido);
        Clicar("btnPausar");
        QTRY_VERIFY_WITH_TIMEOUT(FPlaca->Frames().size() >= 2, 5000);
        QCOMPARE(FPlaca->Frames().at(0).frame + FPlaca->Frames().at(1).frame, Alvo(2.7, 10));
        QTRY_VERIFY_WITH_TIMEOUT(estado->text().startsWith("Conectada"), 5000);
        QVERIFY(FMensagens.isEmpty());
    }

private:
    QAction *Menu(const QString &texto)
    {
        for (QAction *acao : FJanela->menuBar()->actions().first()->menu()->actions())
            if (acao->text() == texto)
                return acao;
        return nullptr;
    }
    bool TemEvento(qint64 sessao, const QString &tipo, const QString &trecho)
    {
        for (const TEventoRegistro &e : FBanco->LerEventos(sessao))
            if (e.tipo == tipo && e.texto.contains(trecho))
                return true;
        return false;
    }
    void Clicar(const char *nome)
    {
        auto *botao = FJanela->findChild<QPushButton *>(nome);
        QVERIFY2(botao && botao->isEnabled(), nome);
        QTest::mouseClick(botao, Qt::LeftButton);
    }
    // Bruce at real speed, past the countdown.
    void Iniciado()
    {
        Clicar("btnIniciar");
        QTRY_VERIFY_WITH_TIMEOUT(FJanela->Executor()->Estado() == TEstadoExecucao::Exercicio,
                                 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!FPlaca->Frames().isEmpty(), 5000);
    }

    QTemporaryDir FPasta;
    std::unique_ptr<TBoardSimulator> FPlaca;
    std::unique_ptr<TBancoSessoes> FBanco;
    std::unique_ptr<TfrmConsole> FJanela;
    QStringList FMensagens;
};

QTEST_MAIN(TstConsole)
#include "tst_console.moc"
