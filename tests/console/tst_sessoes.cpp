#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "chart/vtxgraph.h"
#include "components/dbgridkpr.h"
#include "console/fsessoes.h"
#include "session/bancosessoes.h"
#include "session/gravadorsessao.h"

// The sessions browser over a real file: enough of its list shown, a search, its size kept; the
// names its save dialogs propose.
class TstSessoes : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(FPasta.isValid());
        qputenv("XDG_CONFIG_HOME", FPasta.filePath("config").toLocal8Bit());
        QString erro;
        QVERIFY2(FBanco.Abrir(FPasta.filePath("sessoes.db"), &erro), qPrintable(erro));
        const QStringList nomes = {"Ana Souza", "Conceição Araújo", "Ana/Lima: 2.", ""};
        for (int i = 0; i < 40; ++i)
            Gravar(nomes.at(i % nomes.size()),
                   QDateTime(QDate(2026, 12, 9), QTime(8, 0).addSecs(i * 60)));
    }

    void listaBuscaETamanho()
    {
        {
            TfrmSessoes janela(&FBanco);
            janela.show();
            QVERIFY(QTest::qWaitForWindowExposed(&janela));
            TDBGridKpr *grade = janela.Grade();
            QVERIFY2(grade->viewport()->height() >= 8 * grade->rowHeight(0),
                     qPrintable(QString::number(grade->viewport()->height())));
            auto *contagem = janela.findChild<QLabel *>("lblContagemSessoes");
            QCOMPARE(contagem->text(), QStringLiteral("40 de 40 sessões"));
            janela.findChild<QLineEdit *>("edtBuscaSessoes")->setText("  ARAUJO  conc ");
            QCOMPARE(contagem->text(), QStringLiteral("10 de 40 sessões"));
            const qint64 escolhida = janela.SessaoSelecionada();
            QCOMPARE(FBanco.LerPaciente(FBanco.LerSessao(escolhida)->pacienteId)->nome,
                     QStringLiteral("Conceição Araújo"));
            janela.findChild<QLineEdit *>("edtBuscaSessoes")->setText("ninguém");
            QCOMPARE(contagem->text(), QStringLiteral("0 de 40 sessões"));
            QVERIFY(janela.Selecionar(FSessoes.at(5)));  // from the patient list: search cleared
            QCOMPARE(janela.SessaoSelecionada(), FSessoes.at(5));
            QCOMPARE(contagem->text(), QStringLiteral("40 de 40 sessões"));
            janela.resize(900, 640);
            janela.close();
        }
        TfrmSessoes outra(&FBanco);
        QCOMPARE(outra.size(), QSize(900, 640));
    }

    void arquivoProposto_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("nome");
        QTest::newRow("nome e data") << 0 << "Ana Souza 2026-12-09 08h00.pdf";
        QTest::newRow("acentos ficam") << 1 << "Conceição Araújo 2026-12-09 08h01.pdf";
        QTest::newRow("caracteres proibidos") << 2 << "Ana-Lima- 2 2026-12-09 08h02.pdf";
        QTest::newRow("sem nome") << 3 << "Teste %1 2026-12-09 08h03.pdf";
    }
    void arquivoProposto()
    {
        QFETCH(int, indice);
        QFETCH(QString, nome);
        const qint64 id = FSessoes.at(indice);
        const QString proposto = TfrmSessoes::ArquivoProposto(FBanco, id, "pdf");
        QCOMPARE(QFileInfo(proposto).fileName(), nome.contains("%1") ? nome.arg(id) : nome);
        TfrmSessoes::LembrarPasta(FPasta.filePath("relatorios/x.pdf"));
        QDir().mkpath(FPasta.filePath("relatorios"));
        QCOMPARE(QFileInfo(TfrmSessoes::ArquivoProposto(FBanco, id, "csv")).absolutePath(),
                 FPasta.filePath("relatorios"));
    }

    // The chosen session's heart rate is drawn under its belt chart, their time axes lined up.
    void graficoCardiaco()
    {
        Gravar(QStringLiteral("Rita Prado"), QDateTime::currentDateTime());
        {
            TGravadorSessao gravador(FPasta.filePath("sessoes.db"), FSessoes.last());
            TAmostraRegistro a;
            a.frequenciaCardiaca = 90;
            for (a.tempoMs = 0; a.tempoMs <= 120000; a.tempoMs += 1000)
                gravador.Amostra(a);
            QVERIFY(gravador.Encerrar());
        }
        TfrmSessoes janela(&FBanco);
        janela.show();
        QVERIFY(QTest::qWaitForWindowExposed(&janela));
        auto *esteira = janela.findChild<TvtxGraph *>("graficoSessao");
        auto *cardiaco = janela.findChild<TvtxGraph *>("graficoCardiacoSessao");
        QVERIFY(janela.Selecionar(FSessoes.first()));  // no samples
        const qsizetype vazio = cardiaco->Store().size();
        QVERIFY(janela.Selecionar(FSessoes.last()) && cardiaco->Store().size() > vazio);
        auto naJanela = [&](TvtxGraph *g, int x) { return g->mapTo(&janela, QPoint(x, 0)); };
        QVERIFY(naJanela(cardiaco, 0).y() >= naJanela(esteira, 0).y() + esteira->height());
        for (auto ponta : {&TvtxGraph::Xorigin, &TvtxGraph::Xend})
            QCOMPARE(naJanela(cardiaco, (cardiaco->*ponta)()).x(),
                     naJanela(esteira, (esteira->*ponta)()).x());
    }

private:
    void Gravar(const QString &nome, const QDateTime &inicio)
    {
        QString erro;
        TPaciente p;
        p.nome = nome;
        TSessao s;
        s.pacienteId = FBanco.InserirPaciente(p, &erro);
        s.protocoloNome = QStringLiteral("Bruce");
        s.inicio = inicio.toUTC();
        s.id = FBanco.IniciarSessao(s, &erro);
        QVERIFY2(s.id, qPrintable(erro));
        FSessoes << s.id;
    }

    QTemporaryDir FPasta;
    TBancoSessoes FBanco;
    QList<qint64> FSessoes;
};

QTEST_MAIN(TstSessoes)
#include "tst_sessoes.moc"
