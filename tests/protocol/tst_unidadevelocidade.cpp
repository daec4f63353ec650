#include <QTest>
#include <cmath>

#include "device/orvanta.h"
#include "protocol/editorprotocolo.h"
#include "protocol/faixaesteira.h"
#include "protocol/unidadevelocidade.h"

// Speeds shown and typed in mph: every board step reads back as itself, a typed value goes to
// the nearest 0.1 km/h, the texts and the editor in mph.
class TestUnidadeVelocidade : public QObject {
    Q_OBJECT

private slots:
    void everyBoardStepShownInMphReadsBackAsTheSameStep();
    void typedMphGoesToTheNearestBoardStep_data();
    void typedMphGoesToTheNearestBoardStep();
    void textsAndEditorInMph();
};

namespace {
const TUnidadeVelocidade kMph(TUnidadeVelocidade::TUnidade::Mph);
}  // namespace

void TestUnidadeVelocidade::everyBoardStepShownInMphReadsBackAsTheSameStep()
{
    QSet<QString> mostrados;
    for (int decimos = 15; decimos <= 180; ++decimos) {
        const QString mostrado = kMph.Numero(decimos / 10.0);
        const double volta = kMph.Kmh(mostrado.toDouble());  // typed back as shown
        QVERIFY2(
            TOrvanta::ConverterVelocidade(volta) == TOrvanta::ConverterVelocidade(decimos / 10.0) &&
                std::lround(volta * 10) == decimos,
            qPrintable(
                QStringLiteral("%1 km/h -> %2 mph -> %3").arg(decimos).arg(mostrado).arg(volta)));
        mostrados.insert(mostrado);
    }
    QCOMPARE(mostrados.size(), 166);  // distinct steps, distinct figures
}

void TestUnidadeVelocidade::typedMphGoesToTheNearestBoardStep_data()
{
    QTest::addColumn<double>("mph");
    QTest::addColumn<int>("decimos");
    // mph x 1.609344 = km/h, then the nearest 0.1 km/h.
    QTest::newRow("1 mph = 1.609 km/h") << 1.0 << 16;
    QTest::newRow("6 mph = 9.656 km/h") << 6.0 << 97;
    QTest::newRow("3.2 mph = 5.1499 km/h, just below halfway") << 3.2 << 51;
    QTest::newRow("2.89 mph = 4.6510 km/h, just above halfway") << 2.89 << 47;
    QTest::newRow("11.18 mph = 17.992 km/h") << 11.18 << 180;
}

void TestUnidadeVelocidade::typedMphGoesToTheNearestBoardStep()
{
    QFETCH(double, mph);
    QFETCH(int, decimos);
    QCOMPARE(std::lround(kMph.Kmh(mph) * 10), long(decimos));
    QCOMPARE(TUnidadeVelocidade().Kmh(mph), mph);  // km/h as typed, as before
}

void TestUnidadeVelocidade::textsAndEditorInMph()
{
    // 4.0 / 1.609344 = 2.485 mph; 20 km/h = 12.427 mph, the board's 18 km/h = 11.185 mph.
    QCOMPARE(kMph.TextoNaUnidade(QStringLiteral("Estágio 2 (Exercício): 4.0 km/h, 12.0 %")),
             QStringLiteral("Estágio 2 (Exercício): 2.49 mph, 12.0 %"));
    TPasso passo;
    passo.velocidadeInicial = passo.velocidadeFinal = 20;
    passo.duracaoMs = 60000;
    QCOMPARE(TFaixaEsteira::LimitacoesDoPasso(passo, QStringLiteral("Estágio 1"), kMph),
             QStringList{"Estágio 1: velocidade 12.43 mph acima de 11.18 mph (limitada a 11.18)"});

    // The editor: the file's 2.7 km/h shows as 1.68; a typed 4.97 mph (7.998 km/h) is saved as
    // the board's 8.0; 16 mph (25.7 km/h after quantising, 15.97 mph) is beyond the file's 25 km/h.
    using TCampo = TEditorProtocolo::TCampo;
    TEditorProtocolo editor({}, QLocale::c());
    editor.AjustarUnidade(kMph);
    TProtocolo p;
    p.id = p.nome = QStringLiteral("teste");
    passo.velocidadeInicial = passo.velocidadeFinal = 2.7;
    p.exercicio = {passo};
    editor.Abrir(p);
    QCOMPARE(editor.Linha(TFase::Exercicio, 0).Texto(TCampo::Velocidade), QStringLiteral("1.68"));
    QVERIFY(editor.AjustarTexto(TFase::Exercicio, 0, TCampo::Velocidade, QStringLiteral("4,97")));
    QCOMPARE(std::lround(editor.Protocolo().exercicio.at(0).velocidadeInicial * 10), 80L);
    QCOMPARE(editor.ProblemaDoTexto(TFase::Exercicio, 0, TCampo::Velocidade, QStringLiteral("16")),
             QStringLiteral("exercicio, passo 1: \"velocidade\" = 15.97 mph fora da faixa da "
                            "esteira (0 a 15.53)"));
}

QTEST_GUILESS_MAIN(TestUnidadeVelocidade)
#include "tst_unidadevelocidade.moc"
