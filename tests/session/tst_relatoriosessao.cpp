#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "chart/vtxgraph.h"
#include "components/interfaceimpressora.h"
#include "platform/idioma.h"
#include "platform/printer.h"
#include "session/bancosessoes.h"
#include "session/graficosessao.h"
#include "session/gravadorsessao.h"
#include "session/relatoriosessao.h"
#include "session/resumosessao.h"

namespace {

TEventoRegistro Evento(qint64 t, const char *tipo, double v1 = 0, double v2 = 0, int fase = 1,
                       int estagio = 0, double vel = 0, double inc = 0)
{
    TEventoRegistro e;
    e.tempoMs = t;
    e.tipo = QString::fromLatin1(tipo);
    e.valor1 = v1;
    e.valor2 = v2;
    e.fase = fase;
    e.estagio = estagio;
    e.velocidade = vel;
    e.inclinacao = inc;
    return e;
}

QString Executar(const QString &programa, const QStringList &argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TstRelatorioSessao : public QObject {
    Q_OBJECT

private slots:
    // A recorded modified-Bruce-like test printed to PDF: one page with the patient block, the
    // protocol, the stage table with the entries of each stage, peaks, reason and comments.
    void relatorioEmPdf()
    {
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath("s.db");
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(caminho, &erro));
        TPaciente p;
        p.nome = QStringLiteral("Joana Brandão da Silva");
        p.identificador = QStringLiteral("PR-20931");
        p.nascimento = QStringLiteral("04/09/1968");
        p.sexo = QStringLiteral("F");
        p.peso = QStringLiteral("67");
        p.altura = QStringLiteral("164");
        p.medico = QStringLiteral("Dr. Paulo Mendes");
        TSessao s;
        s.pacienteId = banco.InserirPaciente(p, &erro);
        s.protocoloNome = QStringLiteral("Bruce modificado");
        s.velocidadeMaxima = 12;
        s.inclinacaoMaxima = 20;
        s.recuperacaoMs = 180000;
        s.recuperacaoVelocidade = 2.5;
        s.inicio = QDateTime::currentDateTimeUtc();
        s.id = banco.IniciarSessao(s, &erro);
        {
            TGravadorSessao g(caminho, s.id);
            // Four exercise stages, then the recovery from 12:00 until the stop at 13:20.
            const double estagios[][2] = {{2.7, 0}, {2.7, 5}, {2.7, 10}, {4.0, 12}, {2.5, 0}};
            // valor1/valor2: the protocol's own speed and grade (before the test's limits);
            // stage 1 as an older recording has it (none), stage 4 limited.
            const double protocolo[][2] = {{0, 0}, {2.7, 5}, {2.7, 10}, {4.2, 14}};
            for (int i = 0; i < 4; ++i)
                g.Evento(Evento(i * 180000, "estagio", protocolo[i][0], protocolo[i][1], 1, i + 1,
                                estagios[i][0], estagios[i][1]));
            g.Evento(Evento(4 * 180000, "estagio", 0, 0, 2, 5, 2.5, 0));
            g.Evento(Evento(200000, "fc", 104));
            g.Evento(Evento(400000, "pa", 150, 85));
            g.Evento(Evento(650000, "fc", 141));
            g.Evento(Evento(700000, "borg", 15));
            for (int t = 0; t <= 800; ++t) {
                TAmostraRegistro a;
                a.tempoMs = t * 1000;
                a.velocidadeAlvo = a.velocidadeConfirmada = estagios[std::min(t / 180, 4)][0];
                a.inclinacaoAlvo = a.inclinacaoConfirmada = estagios[std::min(t / 180, 4)][1];
                // The strap's rate, lost for half a minute in stage 3.
                a.frequenciaCardiaca = t / 30 == 15 ? 0 : 78 + std::min(t, 700) / 10;
                g.Amostra(a);
            }
            QVERIFY(g.Esvaziar());
        }
        s.situacao = TSessao::TSituacao::Parada;
        s.duracaoMs = 800000;
        s.motivoParada = QStringLiteral("Fadiga");
        s.comentarios = QStringLiteral("Sem alterações do segmento ST.");
        QVERIFY(banco.FinalizarSessao(s, &erro));

        TvtxGraph grafico;
        TGraficoSessao(grafico).Redesenhar(banco.LerAmostras(s.id), banco.LerEventos(s.id));
        const QString pdf = pasta.filePath("r.pdf");
        Printer()->SetPdfOutput(pdf);
        TRelatorioSessao::Imprimir(TRelatorioSessao::Carregar(banco, s.id), grafico);

        // KESTROVA_KEEP_REPORT=FILE keeps a copy.
        if (const QString copia = qEnvironmentVariable("KESTROVA_KEEP_REPORT"); !copia.isEmpty())
            QFile::copy(pdf, copia);
        QVERIFY(Executar("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
        const QString texto = Executar("pdftotext", {"-layout", pdf, "-"});
        for (const char *esperado :
             {"Joana Brandão da Silva", "PR-20931", "Dr. Paulo Mendes",
              "Protocolo: Bruce modificado", "Limites: 12.0 km/h, 20.0 %", "Duração: 13:20",
              "Parado pelo operador", "Motivo da interrupção: Fadiga",
              "Sem alterações do segmento ST.", "Picos: 4.0 km/h, 12.0 %", "FC 148 bpm",
              "PA 150/85 mmHg", "Borg 15", "Velocidade e inclinação",
              "Frequência cardíaca e pressão arterial"})
            QVERIFY2(texto.contains(QString::fromUtf8(esperado)), esperado);
        // Stage rows carry what was entered during them; without a typed rate, the strap's last.
        QVERIFY(texto.contains(
            QRegularExpression("2\\s+Exercício\\s+3:00\\s+6:00\\s+2.7 km/h\\s+5.0 %\\s+104 bpm")));
        QVERIFY(texto.contains(QRegularExpression(
            "3\\s+Exercício\\s+6:00\\s+9:00\\s+2.7 km/h\\s+10.0 %\\s+131 bpm\\s+150/85 mmHg")));
        QVERIFY(texto.contains(QRegularExpression(
            "4\\s+Exercício\\s+9:00\\s+12:00\\s+4.0 km/h \\(protocolo 4.2\\)\\s+12.0 % "
            "\\(protocolo 14.0\\)\\s+141 bpm\\s+15")));
        QCOMPARE(texto.count("protocolo "), 2);
        QVERIFY(texto.contains(
            QRegularExpression("5\\s+Recuperação\\s+12:00\\s+13:20\\s+2.5 km/h\\s+0.0 %")));
    }

    // A 60-stage session: the table goes on to a second page, under its header again, and the
    // rest of the report follows it there.
    void relatorioComMuitosEstagios()
    {
        QTemporaryDir pasta;
        const QString caminho = pasta.filePath("s.db");
        TBancoSessoes banco;
        QString erro;
        QVERIFY(banco.Abrir(caminho, &erro));
        TSessao s;
        TPaciente paciente;
        paciente.nome = QStringLiteral("Rui Antunes");
        s.pacienteId = banco.InserirPaciente(paciente, &erro);
        s.protocoloNome = QStringLiteral("Rampa de 60 estágios");
        s.inicio = QDateTime::currentDateTimeUtc();
        s.id = banco.IniciarSessao(s, &erro);
        QVERIFY2(s.id, qPrintable(erro));
        {
            TGravadorSessao g(caminho, s.id);
            for (int i = 0; i < 60; ++i)
                g.Evento(Evento(i * 30000, "estagio", 0, 0, 1, i + 1, 2 + i * 0.1, i * 0.2));
            QVERIFY(g.Encerrar());
        }
        s.situacao = TSessao::TSituacao::Concluida;
        s.duracaoMs = 1800000;
        s.comentarios = QStringLiteral("Rampa completa sem intercorrências.");
        QVERIFY2(banco.FinalizarSessao(s, &erro), qPrintable(erro));
        TvtxGraph grafico;
        TGraficoSessao(grafico).Redesenhar(banco.LerAmostras(s.id), banco.LerEventos(s.id));
        const QString pdf = pasta.filePath("r.pdf");
        Printer()->SetPdfOutput(pdf);
        TRelatorioSessao::Imprimir(TRelatorioSessao::Carregar(banco, s.id), grafico);

        QVERIFY(Executar("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+2\\n")));
        QStringList paginas;
        for (const char *n : {"1", "2"})
            paginas << Executar("pdftotext", {"-layout", "-f", n, "-l", n, pdf, "-"});
        for (const QString &pagina : paginas)
            QVERIFY(pagina.contains(
                QRegularExpression("Estágio\\s+Fase\\s+Início\\s+Fim\\s+Velocidade\\s+"
                                   "Inclinação\\s+METs\\s+FC\\s+PA\\s+DP\\s+Borg\\s+Obs.")));
        for (int i = 1; i <= 60; ++i)
            QCOMPARE(paginas.join('\n').count(
                         QRegularExpression(QStringLiteral("(?m)^\\s*%1\\s+Exercício").arg(i))),
                     1);
        QVERIFY(paginas[1].contains(
            QRegularExpression("60\\s+Exercício\\s+29:30\\s+29:30\\s+7.9 km/h\\s+11.8 %")));
        for (const char *depois : {"Rampa completa sem intercorrências.", "Velocidade e inclinação",
                                   "Motivo da interrupção"})
            QVERIFY2(paginas[1].contains(QString::fromUtf8(depois)), depois);
    }

    // The chart on paper: a white background, the X caption inside its frame, speed solid and
    // grade dashed, and a legend naming them.
    void graficoImpresso()
    {
        QList<TAmostraRegistro> amostras(601);  // 10 min at 1 Hz
        for (qsizetype i = 0; i < amostras.size(); ++i) {
            amostras[i].tempoMs = i * 1000;
            amostras[i].velocidadeAlvo = 5;
            amostras[i].inclinacaoAlvo = 9;
        }
        TvtxGraph grafico;
        TGraficoSessao(grafico).Redesenhar(amostras, {Evento(0, "estagio", 0, 0, 1, 1, 5, 9)});
        TRelatorioSessao::TDados dados;
        QTemporaryDir pasta;
        const QString pdf = pasta.filePath("g.pdf");
        Printer()->SetPdfOutput(pdf);
        const QSize tamanho = grafico.size();
        const TColor cor = grafico.Color();
        TRelatorioSessao::Imprimir(dados, grafico);
        // Set up for paper only while printing.
        QCOMPARE(grafico.size(), tamanho);
        QCOMPARE(grafico.Color(), cor);

        QVERIFY(Executar("pdftotext", {"-layout", pdf, "-"})
                    .contains(QRegularExpression(
                        QStringLiteral("Velocidade \\(km/h\\)\\s+Inclinação \\(%\\)"))));
        // The caption's box in points; at 72 dpi a pixel is a point.
        const QRegularExpressionMatch rotulo =
            QRegularExpression(
                R"x(xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">Tempo<)x")
                .match(Executar("pdftotext", {"-bbox", pdf, "-"}));
        QVERIFY(rotulo.hasMatch());
        const int x0 = int(rotulo.captured(1).toDouble()),
                  topo = int(rotulo.captured(2).toDouble()),
                  fundo = int(rotulo.captured(3).toDouble()) + 1;
        Executar("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, pasta.filePath("g")});
        const QImage imagem(pasta.filePath("g.png"));
        QVERIFY(!imagem.isNull());
        auto cinza = [&](int x, int y) { return qGray(imagem.pixel(x, y)); };
        // The chart's background beside the caption is white, not grey.
        for (int x = x0 - 150; x < x0 - 3; ++x)
            QVERIFY2(cinza(x, (topo + fundo) / 2) == 255, qPrintable(QString::number(x)));
        // Below the caption, beside it, the first thing met is the frame's dark line.
        int y = topo;
        while (y < imagem.height() - 1 && cinza(x0 - 6, y) == 255)
            ++y;
        QVERIFY2(y > fundo && cinza(x0 - 6, y) < 128, qPrintable(QString::number(y)));
        // Along the row holding most of a colour: speed one run, grade several dashes.
        auto trechos = [&](auto daCor) {
            int maximo = 0, n = 0;
            for (int linha = 0; linha < imagem.height(); ++linha) {
                int pixels = 0, corridas = 0;
                for (int x = 0; x < imagem.width(); ++x)
                    if (daCor(imagem.pixel(x, linha))) {
                        ++pixels;
                        corridas += x == 0 || !daCor(imagem.pixel(x - 1, linha));
                    }
                if (pixels > maximo)
                    std::tie(maximo, n) = std::pair(pixels, corridas);
            }
            return n;
        };
        QCOMPARE(trechos([](QRgb c) { return qRed(c) - std::max(qGreen(c), qBlue(c)) > 100; }), 1);
        QVERIFY(trechos([](QRgb c) { return qBlue(c) - std::max(qRed(c), qGreen(c)) > 100; }) >= 3);
    }

    // The heart-rate chart and its legend under the belt chart's when the session has a rate,
    // measured or typed; the belt chart's legend names speed and grade only.
    void graficoCardiacoImpresso_data()
    {
        QTest::addColumn<bool>("medida");
        QTest::addColumn<bool>("anotada");
        QTest::newRow("sem FC") << false << false;
        QTest::newRow("FC medida") << true << false;
        QTest::newRow("FC anotada") << false << true;
    }
    void graficoCardiacoImpresso()
    {
        QFETCH(bool, medida);
        QFETCH(bool, anotada);
        TRelatorioSessao::TDados dados;
        dados.amostras.resize(601);
        for (int t = 0; t <= 600; ++t) {
            dados.amostras[t].tempoMs = t * 1000;
            dados.amostras[t].frequenciaCardiaca = medida ? 90 + t / 20 : 0;
        }
        dados.eventos << Evento(0, "estagio", 0, 0, 1, 1, 5, 0);
        if (anotada)
            dados.eventos << Evento(120000, "fc", 120);
        TvtxGraph grafico;
        TGraficoSessao(grafico).Redesenhar(dados.amostras, dados.eventos);
        QTemporaryDir pasta;
        const QString pdf = pasta.filePath("c.pdf");
        Printer()->SetPdfOutput(pdf);
        TRelatorioSessao::Imprimir(dados, grafico);

        const QString texto = Executar("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(
            texto.contains(QRegularExpression("Velocidade \\(km/h\\)\\s+Inclinação \\(%\\)\\n")));
        const bool cardiaco = medida || anotada;
        QCOMPARE(texto.contains(QStringLiteral("Frequência cardíaca e pressão arterial")),
                 cardiaco);
        QCOMPARE(texto.contains(QRegularExpression(
                     QStringLiteral("FC medida\\s+FC anotada\\s+PA sistólica\\s+PA diastólica"))),
                 cardiaco);
        // The time axes line up: each X axis' last number ("10" right of the page's middle; the
        // belt's speed "10" is on the left) at the same place.
        QList<double> fins;
        for (const QRegularExpressionMatch &m :
             QRegularExpression(R"x(xMin="([\d.]+)"[^>]*>10<)x")
                 .globalMatch(Executar("pdftotext", {"-bbox", pdf, "-"})))
            if (m.captured(1).toDouble() > 300)
                fins << m.captured(1).toDouble();
        QCOMPARE(fins.size(), cardiaco ? 2 : 1);
        QCOMPARE(fins.first(), fins.last());
    }

    // A stage's protocol values come from valor1/valor2 of its event; none (older recordings:
    // both 0) or the same as sent give 0.
    void estagiosComValoresDoProtocolo_data()
    {
        QTest::addColumn<double>("velocidade");
        QTest::addColumn<double>("inclinacao");
        QTest::addColumn<double>("valor1");
        QTest::addColumn<double>("valor2");
        QTest::addColumn<double>("velocidadeProtocolo");
        QTest::addColumn<double>("inclinacaoProtocolo");
        QTest::newRow("gravação antiga") << 5.5 << 10.0 << 0.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("sem limite") << 5.5 << 10.0 << 5.5 << 10.0 << 0.0 << 0.0;
        QTest::newRow("limitado") << 5.0 << 8.0 << 5.5 << 10.0 << 5.5 << 10.0;
        QTest::newRow("só a velocidade") << 5.0 << 10.0 << 5.5 << 10.0 << 5.5 << 0.0;
        QTest::newRow("inclinação zero") << 5.0 << 0.0 << 5.5 << 0.0 << 5.5 << 0.0;
    }
    void estagiosComValoresDoProtocolo()
    {
        QFETCH(double, velocidade);
        QFETCH(double, inclinacao);
        QFETCH(double, valor1);
        QFETCH(double, valor2);
        const QList<TResumoEstagio> estagios = TResumoSessao::Estagios(
            {}, {Evento(0, "estagio", valor1, valor2, 1, 1, velocidade, inclinacao)});
        QCOMPARE(estagios.size(), 1);
        QTEST(estagios.at(0).velocidadeProtocolo, "velocidadeProtocolo");
        QTEST(estagios.at(0).inclinacaoProtocolo, "inclinacaoProtocolo");
    }

    // The stage's heart rate: the operator's typed one, else the sensor's last in the stage;
    // the peak is the highest of either.
    void frequenciaDoEstagio_data()
    {
        QTest::addColumn<QList<int>>("medidas");  // the samples' rates, at 10 s, 20 s, 30 s
        QTest::addColumn<int>("digitada");        // 0: none typed
        QTest::addColumn<int>("doEstagio");
        QTest::addColumn<int>("pico");
        QTest::newRow("só digitada") << QList<int>{0, 0, 0} << 90 << 90 << 90;
        QTest::newRow("só medida") << QList<int>{100, 120, 110} << 0 << 110 << 120;
        QTest::newRow("medida acaba sem sinal") << QList<int>{100, 118, 0} << 0 << 118 << 118;
        QTest::newRow("digitada vence") << QList<int>{100, 130, 125} << 95 << 95 << 130;
    }
    void frequenciaDoEstagio()
    {
        QFETCH(QList<int>, medidas);
        QFETCH(int, digitada);
        QList<TAmostraRegistro> amostras;
        for (int i = 0; i < medidas.size(); ++i) {
            TAmostraRegistro a;
            a.tempoMs = (i + 1) * 10000;
            a.fase = a.estagio = 1;
            a.frequenciaCardiaca = medidas.at(i);
            amostras << a;
        }
        QList<TEventoRegistro> eventos = {Evento(0, "estagio", 0, 0, 1, 1, 2.7, 10)};
        if (digitada)
            eventos << Evento(15000, "fc", digitada, 0, 1, 1, 0, 0);
        QTEST(TResumoSessao::Estagios(amostras, eventos).at(0).frequenciaCardiaca, "doEstagio");
        QTEST(TResumoSessao::Picos(amostras, eventos).frequenciaCardiaca, "pico");
    }

    // Stages 1 and 2 in exercise from 0 and 60 s, 3 in recovery from 120 s to 180 s: a skip is
    // the operator's action recorded in the stage it leaves, a hold a record in it in the paused
    // (5) or lost-link (6) state. One record more ("amostra": the sample at 70 s in `estado`);
    // "pulado"/"espera" one digit per stage.
    void marcasDosEstagios_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("segundo");
        QTest::addColumn<int>("estagio");
        QTest::addColumn<int>("estado");
        QTest::addColumn<QString>("pulado");
        QTest::addColumn<QString>("espera");
        const QString proximo = QStringLiteral("Operador: próximo estágio");
        const QString recuperacao = QStringLiteral("Operador: ir para a recuperação");
        QTest::newRow("nada") << ""
                              << "" << 0 << 0 << 3 << "000"
                              << "000";
        QTest::newRow("próximo estágio") << "acao" << proximo << 60 << 1 << 3 << "100"
                                         << "000";
        QTest::newRow("à recuperação") << "acao" << recuperacao << 120 << 2 << 3 << "010"
                                       << "000";
        QTest::newRow("já na recuperação") << "acao" << recuperacao << 150 << 3 << 4 << "000"
                                           << "000";
        QTest::newRow("último estágio") << "acao" << proximo << 180 << 3 << 4 << "001"
                                        << "000";
        QTest::newRow("outra ação") << "acao"
                                    << "Operador: pausar" << 60 << 1 << 3 << "000"
                                    << "000";
        QTest::newRow("pausa") << "estado"
                               << "Pausado" << 30 << 1 << 5 << "000"
                               << "100";
        QTest::newRow("link perdido") << "amostra"
                                      << "" << 70 << 2 << 6 << "000"
                                      << "010";
    }
    void marcasDosEstagios()
    {
        QFETCH(QString, tipo);
        QFETCH(int, estagio);
        QFETCH(int, estado);
        QList<TEventoRegistro> eventos = {Evento(0, "estagio", 0, 0, 1, 1, 2.7, 10),
                                          Evento(60000, "estagio", 0, 0, 1, 2, 4.0, 12),
                                          Evento(120000, "estagio", 0, 0, 2, 3, 2.5, 0)};
        QList<TAmostraRegistro> amostras(2);
        amostras[0].tempoMs = 70000;
        amostras[0].estado = tipo == QLatin1String("amostra") ? estado : 3;
        amostras[1].tempoMs = 180000;
        if (tipo != QLatin1String("amostra") && !tipo.isEmpty()) {
            QFETCH(int, segundo);
            eventos << Evento(segundo * 1000, qPrintable(tipo), 0, 0, estagio == 3 ? 2 : 1,
                              estagio);
            QFETCH(QString, texto);
            eventos.last().texto = texto;
            eventos.last().estado = estado;
        }
        QString pulado, espera;
        for (const TResumoEstagio &e : TResumoSessao::Estagios(amostras, eventos)) {
            pulado += e.pulado ? '1' : '0';
            espera += e.espera ? '1' : '0';
        }
        QTEST(pulado, "pulado");
        QTEST(espera, "espera");
    }

    // With English installed the report's headings, stage table, charts and the reason the
    // database records are English, the Portuguese ones gone; numbers and the date follow the
    // default locale (English in Germany: a decimal comma, the month first).
    void relatorioEmIngles()
    {
        QVERIFY(InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles,
                               QLocale(QLocale::English, QLocale::Germany)));
        const auto portugues =
            qScopeGuard([] { InstalarIdioma(*QCoreApplication::instance(), TIdioma::Portugues); });
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
        TRelatorioSessao::TDados dados;
        dados.sessao.protocoloNome = QStringLiteral("Bruce");
        dados.sessao.velocidadeMaxima = 12.5;
        dados.sessao.situacao = TSessao::TSituacao::Interrompida;
        dados.sessao.inicio = QDateTime(QDate(2026, 3, 25), QTime(12, 0));
        dados.sessao.motivoParada = QStringLiteral("Programa interrompido durante o teste");
        dados.sessao.comentarios = QStringLiteral("-");
        TRelatorioSessao::TEstagio estagio;
        estagio.resumo.estagio = 1;
        estagio.resumo.fase = 1;
        dados.estagios << estagio;
        for (int t = 0; t <= 60; ++t) {
            TAmostraRegistro a;
            a.tempoMs = t * 1000;
            a.frequenciaCardiaca = 100;
            dados.amostras << a;
        }
        dados.eventos << Evento(0, "estagio", 0, 0, 1, 1, 5, 0);
        TvtxGraph grafico;
        TGraficoSessao(grafico).Redesenhar(dados.amostras, dados.eventos);
        QTemporaryDir pasta;
        const QString pdf = pasta.filePath("en.pdf");
        Printer()->SetPdfOutput(pdf);
        TRelatorioSessao::Imprimir(dados, grafico);
        // KESTROVA_KEEP_REPORT_EN=FILE keeps a copy (docs/report-en.png is its page).
        if (const QString copia = qEnvironmentVariable("KESTROVA_KEEP_REPORT_EN"); !copia.isEmpty())
            QFile::copy(pdf, copia);

        const QString texto = Executar("pdftotext", {"-layout", pdf, "-"});
        for (const char *esperado :
             {"Exercise test report", "Protocol: Bruce", "Date: 03/25/2026 12:00",
              "Limits: 12,5 km/h", "Status: Interrupted",
              "Peaks:", "Reason for stopping: Program interrupted during the test",
              "Comments:", "Conclusion:", "Referring physician", "Speed and grade",
              "Heart rate and blood pressure", "Measured HR"})
            QVERIFY2(texto.contains(QString::fromUtf8(esperado)), esperado);
        QVERIFY(texto.contains(QRegularExpression(
            "Stage\\s+Phase\\s+Start\\s+End\\s+Speed\\s+Grade\\s+METs\\s+HR\\s+BP")));
        QVERIFY(texto.contains(QRegularExpression("1\\s+Exercise\\s+")));
        for (const char *ausente :
             {"Relatório", "Protocolo", "Estágio", "Exercício", "Velocidade", "Motivo da",
              "Conclusão", "Frequência", "Programa interrompido", "Tempo"})
            QVERIFY2(!texto.contains(QString::fromUtf8(ausente)), ausente);
    }

    // Every patient box has the report's geometry in the printable edit's interface.
    void caixasDoPaciente()
    {
        for (const TRelatorioSessao::TCaixa &c : TRelatorioSessao::CaixasPaciente()) {
            TInterfaceImpressora i(nullptr);
            TRelatorioSessao::ConfigurarCaixa(i, c.campo);
            QCOMPARE(i.Largura(), c.largura);
            QCOMPARE(i.Altura(), c.altura);
            QCOMPARE(i.LargDaPaginaNaTela(), TRelatorioSessao::kLarguraPagina);
            QVERIFY(c.x + c.largura <= TRelatorioSessao::kLarguraPagina - 30);
        }
    }
};

QTEST_MAIN(TstRelatorioSessao)
#include "tst_relatoriosessao.moc"
