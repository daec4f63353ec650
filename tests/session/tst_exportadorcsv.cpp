#include <QTest>

#include "session/exportadorcsv.h"

namespace {

QList<QByteArray> Linhas(const QByteArray &csv)
{
    QList<QByteArray> linhas = csv.split('\n');
    if (linhas.last().isEmpty())
        linhas.removeLast();
    return linhas;
}

}  // namespace

class TstExportadorCsv : public QObject {
    Q_OBJECT

private slots:
    // RFC 4180 quoting of one field.
    void campo_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("separador");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("simples") << "Fadiga"
                                 << ","
                                 << "Fadiga";
        QTest::newRow("vírgula") << "dor, leve"
                                 << ","
                                 << "\"dor, leve\"";
        QTest::newRow("vírgula com ;") << "dor, leve"
                                       << ";"
                                       << "dor, leve";
        QTest::newRow("ponto e vírgula") << "a;b"
                                         << ";"
                                         << "\"a;b\"";
        QTest::newRow("aspas") << "disse \"pare\""
                               << ","
                               << "\"disse \"\"pare\"\"\"";
        QTest::newRow("quebra") << "linha\r\noutra"
                                << ","
                                << "\"linha\r\noutra\"";
    }
    void campo()
    {
        QFETCH(QString, texto);
        QFETCH(QString, separador);
        QFETCH(QString, esperado);
        QCOMPARE(TExportadorCsv::Campo(texto, separador.at(0)), esperado);
    }

    // Dot and comma by default whatever the locale; the locale's separator only on request,
    // with a semicolon between fields where the decimal separator is a comma.
    void separadores_data()
    {
        QTest::addColumn<bool>("doLocal");
        QTest::addColumn<QString>("local");
        QTest::addColumn<int>("fc");
        QTest::addColumn<QByteArray>("amostra");
        QTest::newRow("padrão, pt_BR")
            << false << "pt_BR" << 0
            << QByteArray("amostra,61.500,3,Exercício,2,4.0,12.5,4.0,12.0,1,,,,,,,,");
        QTest::newRow("local pt_BR")
            << true << "pt_BR" << 0
            << QByteArray("amostra;61,500;3;Exercício;2;4,0;12,5;4,0;12,0;1;;;;;;;;");
        QTest::newRow("local en_US")
            << true << "en_US" << 0
            << QByteArray("amostra,61.500,3,Exercício,2,4.0,12.5,4.0,12.0,1,,,,,,,,");
        QTest::newRow("heart rate from a sensor")
            << false << "pt_BR" << 131
            << QByteArray("amostra,61.500,3,Exercício,2,4.0,12.5,4.0,12.0,1,,,,,,,131,Cinta");
        // fc -1: with the METs column, which the caller computes (here 7.02).
        QTest::newRow("METs, local pt_BR")
            << true << "pt_BR" << -1
            << QByteArray("amostra;61,500;3;Exercício;2;4,0;12,5;4,0;12,0;1;;;;;;;;;7,0");
    }
    void separadores()
    {
        QFETCH(bool, doLocal);
        QFETCH(QString, local);
        QFETCH(int, fc);
        QFETCH(QByteArray, amostra);
        TAmostraRegistro a{61500, 3, 1, 2, 4.0, 12.5, 4.0, 12.0, true, 0, {}, {}};
        a.frequenciaCardiaca = std::max(fc, 0);
        a.fonteFc = fc > 0 ? QStringLiteral("Cinta") : QString();
        TExportadorCsv::TOpcoes opcoes{doLocal, QLocale(local), {}, {}};
        if (fc < 0)
            opcoes.mets = [](const TAmostraRegistro &) { return 7.02; };
        const QList<QByteArray> linhas = Linhas(TExportadorCsv::Texto({a}, {}, opcoes));
        QCOMPARE(linhas.size(), 2);
        QCOMPARE(linhas.at(0).endsWith(";mets\r"), fc < 0);
        QVERIFY(linhas.at(0).startsWith(doLocal && local == "pt_BR" ? "registro;tempo_s;"
                                                                    : "registro,tempo_s,"));
        QCOMPARE(linhas.at(1), amostra + "\r");
    }

    // Samples and events interleave by time, a sample first at the same millisecond; an event's
    // text keeps its quoting; every line ends in CRLF.
    void ordemEEventos()
    {
        TAmostraRegistro a0{0, 2, 0, 1, 2.7, 0, 0, 0, true, 0, {}, {}},
            a1{1000, 2, 0, 1, 2.7, 0, 2.7, 0, true, 0, {}, {}};
        TEventoRegistro e;
        e.tempoMs = 1000;
        e.tipo = "comentario";
        e.texto = "queixa: \"cansaço\", leve";
        TExportadorCsv::TOpcoes opcoes;
        opcoes.nomeEstado = [](int v) { return QStringLiteral("E%1").arg(v); };
        const QByteArray csv = TExportadorCsv::Texto({a0, a1}, {e}, opcoes);
        QCOMPARE(csv.count("\r\n"), 4);
        QCOMPARE(csv.count('\n'), 4);
        const QList<QByteArray> linhas = Linhas(csv);
        QVERIFY(linhas.at(1).startsWith("amostra,0.000,E2,"));
        QVERIFY(linhas.at(2).startsWith("amostra,1.000,"));
        QCOMPARE(linhas.at(3), QByteArray("evento,1.000,E0,Aquecimento,0,,,,,,comentario,,,,,"
                                          "\"queixa: \"\"cansaço\"\", leve\",,\r"));
    }

    // An event fills only the cells its kind has; the others stay empty, not 0.
    void celulasDoEvento_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QByteArray>("celulas");  // evento .. valor2
        QTest::newRow("target") << "alvo" << QByteArray("alvo,4.0,12.0,,");
        QTest::newRow("heart rate") << "fc" << QByteArray("fc,,,120,");
        QTest::newRow("pressure") << "pa" << QByteArray("pa,,,120,80");
        QTest::newRow("action") << "acao" << QByteArray("acao,,,,");
    }
    void celulasDoEvento()
    {
        QFETCH(QString, tipo);
        QFETCH(QByteArray, celulas);
        TEventoRegistro e;
        e.tipo = tipo;
        e.velocidade = 4.0;
        e.inclinacao = 12;
        e.valor1 = 120;
        e.valor2 = tipo == "pa" ? 80 : 0;
        const QList<QByteArray> linhas = Linhas(TExportadorCsv::Texto({}, {e}, {}));
        QVERIFY2(linhas.at(1).contains("," + celulas + ","), linhas.at(1).constData());
    }
};

QTEST_GUILESS_MAIN(TstExportadorCsv)
#include "tst_exportadorcsv.moc"
