#include <QTest>

#include "heartrate/falhabluetooth.h"
#include "heartrate/reconexaocinta.h"

// A strap's reconnection: what the operator reads as attempts fail and succeed, each text once.
class TestReconexaoCinta : public QObject {
    Q_OBJECT

private slots:
    void failureLines();
    void textsAsTheConnectionGoes_data();
    void textsAsTheConnectionGoes();
};

// One line each, distinct, none empty.
void TestReconexaoCinta::failureLines()
{
    QStringList lines;
    for (TFalhaBluetooth falha :
         {TFalhaBluetooth::SemAdaptador, TFalhaBluetooth::Desligado, TFalhaBluetooth::SemPermissao,
          TFalhaBluetooth::Servico, TFalhaBluetooth::NaoCompilado}) {
        const QString line = TextoFalhaBluetooth(falha);
        QVERIFY(!line.isEmpty());
        QVERIFY2(!line.contains('\n'), qPrintable(line));
        QVERIFY2(!lines.contains(line), qPrintable(line));
        lines << line;
    }
    QCOMPARE(TextoFalhaBluetooth(TFalhaBluetooth::NaoCompilado),
             QStringLiteral("Bluetooth não disponível nesta compilação"));
}

// Events: "conectou", "perdeu", "desligado", "sem adaptador", "iniciar". Each expected text is
// the start of the one said; "" is silence.
void TestReconexaoCinta::textsAsTheConnectionGoes_data()
{
    QTest::addColumn<QStringList>("eventos");
    QTest::addColumn<QStringList>("textos");
    const QString desligado = TextoFalhaBluetooth(TFalhaBluetooth::Desligado);
    const QString semAdaptador = TextoFalhaBluetooth(TFalhaBluetooth::SemAdaptador);
    QTest::newRow("connected") << QStringList{"conectou"} << QStringList{"cinta conectada"};
    QTest::newRow("lost, retried, back")
        << QStringList{"conectou", "perdeu", "perdeu", "perdeu", "conectou"}
        << QStringList{"cinta conectada", "conexão com a cinta perdida", "", "",
                       "cinta reconectada"};
    QTest::newRow("not found until worn")
        << QStringList{"perdeu", "perdeu", "conectou"}
        << QStringList{"cinta não encontrada", "", "cinta conectada"};
    QTest::newRow("switched off, then on, strap asleep")
        << QStringList{"desligado", "desligado", "perdeu", "conectou"}
        << QStringList{desligado, "", "cinta não encontrada", "cinta conectada"};
    QTest::newRow("adapter pulled while connected")
        << QStringList{"conectou", "sem adaptador", "desligado", "conectou"}
        << QStringList{"cinta conectada", semAdaptador, desligado, "cinta reconectada"};
    QTest::newRow("a new start forgets")
        << QStringList{"conectou", "perdeu", "iniciar", "conectou"}
        << QStringList{"cinta conectada", "conexão com a cinta perdida", "", "cinta conectada"};
}

void TestReconexaoCinta::textsAsTheConnectionGoes()
{
    QFETCH(QStringList, eventos);
    QFETCH(QStringList, textos);
    TReconexaoCinta reconexao;
    reconexao.Iniciar();
    for (qsizetype i = 0; i < eventos.size(); ++i) {
        QString dito;
        if (eventos[i] == "conectou")
            dito = reconexao.Conectou();
        else if (eventos[i] == "perdeu")
            dito = reconexao.Perdeu();
        else if (eventos[i] == "desligado")
            dito = reconexao.FalhaDoAdaptador(TFalhaBluetooth::Desligado);
        else if (eventos[i] == "sem adaptador")
            dito = reconexao.FalhaDoAdaptador(TFalhaBluetooth::SemAdaptador);
        else
            reconexao.Iniciar();
        QVERIFY2(textos[i].isEmpty() ? dito.isEmpty() : dito.startsWith(textos[i]),
                 qPrintable(QStringLiteral("%1: \"%2\"").arg(eventos[i], dito)));
        QVERIFY(reconexao.Tentando());
    }
    reconexao.Parar();
    QVERIFY(!reconexao.Tentando());
}

QTEST_GUILESS_MAIN(TestReconexaoCinta)
#include "tst_reconexaocinta.moc"
