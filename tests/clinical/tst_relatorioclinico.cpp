#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

#include "chart/vtxgraph.h"
#include "clinical/relatorioclinico.h"
#include "platform/printer.h"
#include "session/bancosessoes.h"
#include "session/graficosessao.h"
#include "session/gravadorsessao.h"

// The printed report of a recorded test with its clinical results, read back with pdftotext.
// Every expected figure is worked by hand from the inputs (docs/clinical.md's equations).
namespace {

QString Executar(const QString &programa, const QStringList &argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// An entry or a stage (its speed and grade sent as the protocol has them) at `s` seconds.
TEventoRegistro Evento(int s, const char *tipo, int fase, double v1, double v2, int estagio = 0)
{
    const bool e = estagio > 0;
    return {s * 1000LL, tipo, fase == 1 ? 3 : 4, fase, estagio, e ? v1 : 0, e ? v2 : 0, {}, v1, v2};
}

}  // namespace

class TstRelatorioClinico : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(FConfig.isValid());
        qputenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit());  // never the user's settings
    }

    void relatorio_data()
    {
        QTest::addColumn<double>("desvioSt");   // mm; < 0: not informed
        QTest::addColumn<int>("angina");        // < 0: not informed
        QTest::addColumn<bool>("laboratorio");  // and a beta blocker, and a limit of 140 bpm
        QTest::addColumn<QStringList>("esperados");
        // Bruce time 12 min, ST 1.0 mm, angina 1: 12 - 5 - 4 = 3.0, between -11 and +5.
        QTest::newRow("sem ST nem angina")
            << -1.0 << -1 << false
            << QStringList{"Escore de Duke: não informado (desvio de ST e índice de angina",
                           "Avisos durante o teste: nenhum"};
        QTest::newRow("com ST e angina") << 1.0 << 1 << false
                                         << QStringList{"! Escore de Duke: 3.0 (risco moderado)",
                                                        "Avisos durante o teste: nenhum"};
        QTest::newRow("laboratório")
            << 1.0 << 0 << true
            << QStringList{
                   "Laboratório Cardio Sul", "Rua das Acácias, 120", "Porto Alegre - RS",
                   "Usa betabloqueador", "Escore de Duke: 7.0 (risco baixo)",
                   // 150 bpm from 9:00, above the limit until 138 at 12:30
                   "Avisos durante o teste: 9:00 FC 150 bpm acima do limite do teste (140 bpm)"};
    }

    // A man born 15/03/1964 tested on 20/05/2024: 60 years, 220 - 60 = 160 bpm. Bruce stages
    // 1-4 of 3 min at 100, 120, 135, 150 bpm, then the recovery at 2.5 km/h to 15:30: 138 bpm
    // at 13:00, 120 at 14:00, 105 at 15:00. Resting 70 bpm and 130/80 mmHg; 140/80 at 2:50,
    // 190/84 at 11:40.
    void relatorio()
    {
        QFETCH(double, desvioSt);
        QFETCH(int, angina);
        QFETCH(bool, laboratorio);
        TLaboratorio lab;
        const QString logo = FConfig.filePath("logo.png");
        if (laboratorio) {
            QImage imagem(120, 60, QImage::Format_RGB32);
            imagem.fill(Qt::white);
            QPainter(&imagem).fillRect(10, 10, 40, 40, Qt::darkRed);
            QVERIFY(imagem.save(logo));
            lab = {"Laboratório Cardio Sul", "Rua das Acácias, 120\nPorto Alegre - RS", logo};
        }
        QVERIFY(lab.Salvar());

        QTemporaryDir pasta;
        const QString caminho = pasta.filePath("s.db");
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(caminho, &erro));
        TPaciente paciente{0,     "Carlos Nunes",      "PR-4412", "15/03/1964", "M", "80",
                           "178", "Dra. Helena Prado", ""};
        TSessao s;
        s.pacienteId = banco.InserirPaciente(paciente, &erro);
        s.protocoloId = QStringLiteral("bruce");
        s.protocoloNome = QStringLiteral("Bruce");
        std::tie(s.velocidadeMaxima, s.inclinacaoMaxima, s.recuperacaoVelocidade) =
            std::tuple(16.0, 25.0, 2.5);
        s.recuperacaoMs = 180000;
        s.inicio = QDateTime(QDate(2024, 5, 20), QTime(10, 0));
        s.betabloqueador = laboratorio;
        s.fcLimite = laboratorio ? std::optional(140) : std::nullopt;
        std::tie(s.fcRepouso, s.sistolicaRepouso, s.diastolicaRepouso) = std::tuple(70, 130, 80);
        if (desvioSt >= 0)
            s.desvioStMm = desvioSt;
        if (angina >= 0)
            s.indiceAngina = angina;
        s.id = banco.IniciarSessao(s, &erro);
        QVERIFY2(s.id, qPrintable(erro));
        {
            TGravadorSessao g(caminho, s.id);
            const double estagios[][2] = {{2.7, 10}, {4.0, 12}, {5.5, 14}, {6.8, 16}, {2.5, 0}};
            for (int i = 0; i < 5; ++i)
                g.Evento(Evento(i * 180, "estagio", i < 4 ? 1 : 2, estagios[i][0], estagios[i][1],
                                i + 1));
            g.Evento(Evento(170, "pa", 1, 140, 80));
            g.Evento(Evento(700, "pa", 1, 190, 84));
            for (int t = 0; t <= 930; ++t) {
                TAmostraRegistro a;
                a.tempoMs = t * 1000;
                a.fase = t < 720 ? 1 : 2;
                a.estado = a.fase == 1 ? 3 : 4;
                a.velocidadeConfirmada = a.velocidadeAlvo = estagios[std::min(t / 180, 4)][0];
                a.inclinacaoConfirmada = a.inclinacaoAlvo = estagios[std::min(t / 180, 4)][1];
                const int exercicio[] = {100, 120, 135, 150};
                a.frequenciaCardiaca = t < 720   ? exercicio[t / 180]
                                       : t < 750 ? 148
                                       : t < 810 ? 138
                                       : t < 870 ? 120
                                                 : 105;
                g.Amostra(a);
            }
            QVERIFY(g.Esvaziar());
        }
        s.situacao = TSessao::TSituacao::Concluida;
        s.duracaoMs = 930000;
        QVERIFY2(banco.FinalizarSessao(s, &erro), qPrintable(erro));

        TvtxGraph grafico;
        TGraficoSessao(grafico).Redesenhar(banco.LerAmostras(s.id), banco.LerEventos(s.id));
        const QString pdf = pasta.filePath("r.pdf");
        Printer()->SetPdfOutput(pdf);
        TRelatorioSessao::Imprimir(TRelatorioClinico::Carregar(banco, s.id), grafico);

        // KESTROVA_KEEP_REPORT=FILE keeps the laboratory's (the picture in docs/ comes from it).
        if (const QString copia = qEnvironmentVariable("KESTROVA_KEEP_REPORT");
            laboratorio && !copia.isEmpty())
            QFile::copy(pdf, copia);
        QVERIFY(Executar("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
        const QString texto = Executar("pdftotext", {"-layout", pdf, "-"});
        QFETCH(QStringList, esperados);
        esperados << QStringList{
            "Nascimento (60 anos)",
            "METs de pico: 13.6",  // ACSM, 6.8 km/h at 16 %: 3.5 + 11.333 + 32.64 = 47.47 / 3.5
            "VO2máx estimado: 42.4 ml/kg/min, Foster (Bruce)",  // Foster at 12 min: 42.42
            "FC máxima prevista: 160 bpm (220 - idade)",
            "FC de pico: 150 bpm (94 % da prevista)",  // 150 / 160 = 0.9375
            "FC alvo (85 %): 136 bpm, atingida",
            "Índice cronotrópico: 0.89",  // (150 - 70) / (160 - 70)
            // 150 - 138, 150 - 120, 150 - 105; 12 or less at 1 min is flagged
            "! Recuperação da FC em 1, 2 e 3 min: 12, 30, 45 bpm (baixa em 1 min)",
            "Duplo produto de pico: 28500 bpm x mmHg",  // 150 x 190
            "Resposta hipertensiva: não",
            "Conclusão:", "Assinatura e carimbo do médico responsável"};
        for (const QString &e : esperados)
            QVERIFY2(texto.contains(e), qPrintable(e));
        QCOMPARE(texto.contains("Laboratório Cardio Sul"), laboratorio);
        QCOMPARE(texto.contains("Usa betabloqueador"), laboratorio);
        // METs of the speed and grade sent (ACSM walking, 2.7 km/h at 10 %: 16.1 / 3.5 = 4.6),
        // and the product at the stage's pressure entry (100 x 140).
        QVERIFY(texto.contains(QRegularExpression(
            "1\\s+Exercício\\s+0:00\\s+3:00\\s+2.7 km/h\\s+10.0 %\\s+4.6\\s+100 bpm\\s+140/80 "
            "mmHg\\s+14000")));
        QVERIFY(texto.contains(QRegularExpression(
            "4\\s+Exercício\\s+9:00\\s+12:00\\s+6.8 km/h\\s+16.0 %\\s+13.6\\s+150 bpm\\s+190/84 "
            "mmHg\\s+28500")));
        // The logo is the page's one image.
        QCOMPARE(Executar("pdfimages", {"-list", pdf}).count(QRegularExpression("\\n\\s*1\\s")),
                 laboratorio ? 1 : 0);
    }

private:
    QTemporaryDir FConfig;
};

QTEST_MAIN(TstRelatorioClinico)
#include "tst_relatorioclinico.moc"
