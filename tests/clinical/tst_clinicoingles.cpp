// clinical/ in English: the report's lines and the warnings and reasons shown, once the English
// translation is installed; the computed texts and the JSON stay the Portuguese source texts.

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTest>

#include "clinical/alertasclinicos.h"
#include "clinical/avaliacaoclinica.h"
#include "clinical/idade.h"
#include "clinical/jsonclinico.h"
#include "clinical/relatorioclinico.h"
#include "clinical/textosclinicos.h"
#include "platform/idioma.h"

namespace {

TAmostraRegistro Amostra(int s, int fase, int fc)
{
    TAmostraRegistro a;
    a.tempoMs = s * 1000LL;
    a.fase = fase;
    a.velocidadeConfirmada = 2.7;
    a.inclinacaoConfirmada = 10;
    a.frequenciaCardiaca = fc;
    return a;
}

// A Bruce test of a man of 60 (predicted maximum 160 bpm): 10 min of exercise at 120 bpm with
// 171 at 5:00, then 160 and 150 bpm at the recovery's 0 and 1 min; no resting values, no ST or
// angina entries.
TRelatorioSessao::TDados Teste()
{
    TRelatorioSessao::TDados d;
    d.sessao.protocoloId = QStringLiteral("bruce");
    d.sessao.inicio = QDateTime(QDate(2026, 1, 20), QTime(10, 0));
    d.paciente.nascimento = QStringLiteral("10/01/1966");
    d.paciente.sexo = QStringLiteral("M");
    for (int s = 0; s < 600; s += 60)
        d.amostras << Amostra(s, 1, s == 300 ? 171 : 120);
    d.amostras << Amostra(600, 2, 160) << Amostra(660, 2, 150);
    return d;
}

QString Valor(const TRelatorioSessao::TDados &d, const QString &rotulo)
{
    for (const TRelatorioSessao::TLinhaResultado &l : d.resultados)
        if (l.rotulo == rotulo)
            return l.valor;
    return QStringLiteral("<no line %1>").arg(rotulo);
}

}  // namespace

class TstClinicoIngles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles, QLocale::c()));
    }
    void cleanupTestCase()
    {
        InstalarIdioma(*QCoreApplication::instance(), TIdioma::Portugues, QLocale::c());
    }

    // A computed text stays Portuguese; the text shown is English with its values.
    void textoMostrado_data()
    {
        QTest::addColumn<QString>("calculado");
        QTest::addColumn<QString>("portugues");
        QTest::addColumn<QString>("ingles");
        TAlertasClinicos::TMomento acima;
        acima.fc = 171;
        QTest::newRow("heart-rate warning")
            << TAlertasClinicos::Avisos(acima, {166.0, QString()}).value(0)
            << "FC 171 bpm acima do limite do teste (166 bpm)"
            << "HR 171 bpm above the test's limit (166 bpm)";
        TAlertasClinicos::TMomento queda;
        queda.pressao = TAlertasClinicos::TPressao{150, 80};
        queda.anterior = TAlertasClinicos::TPressao{190, 80};
        queda.exercicio = true;
        QTest::newRow("systolic fall")
            << TAlertasClinicos::Avisos(queda, {}).value(0)
            << "Queda da PA sistólica de 40 mmHg durante o exercício (190 → 150 mmHg)"
            << "Systolic BP fall of 40 mmHg during exercise (190 → 150 mmHg)";
        QTest::newRow("unreadable birth date")
            << TIdade::NaData("31/02/%1", QDate(2026, 1, 1)).motivo
            << "data de nascimento \"31/02/%1\" ilegível (dd/mm/aaaa)"
            << "birth date \"31/02/%1\" unreadable (dd/mm/yyyy)";
        QTest::newRow("chronotropic index")
            << TAvaliacaoClinica::IndiceCronotropico(150, 170, 160).motivo
            << "frequência de repouso não é menor que a máxima prevista"
            << "resting heart rate not below the predicted maximum heart rate";
        TRelatorioSessao::TDados modificado = Teste();
        modificado.sessao.protocoloId = QStringLiteral("bruce-modificado");
        QTest::newRow("VO2max method")
            << TAvaliacaoClinica::Calcular(modificado.sessao, modificado.paciente,
                                           modificado.amostras, modificado.eventos)
                   .metodoVo2max
            << "Foster (Bruce modificado)"
            << "Foster (modified Bruce)";
    }
    void textoMostrado()
    {
        QFETCH(QString, calculado);
        QFETCH(QString, portugues);
        QFETCH(QString, ingles);
        QCOMPARE(calculado, portugues);
        QCOMPARE(TTextosClinicos::Traduzir(calculado), ingles);
    }

    void relatorio_data()
    {
        QTest::addColumn<QString>("rotulo");
        QTest::addColumn<QString>("valor");
        QTest::newRow("peak METs") << "Peak METs"
                                   << "4.6";  // ACSM walking, 2.7 km/h at 10 %
        QTest::newRow("VO2max") << "Estimated VO2max"
                                << "34.1 ml/kg/min, Foster (Bruce)";  // Foster at 10 min
        QTest::newRow("Duke") << "Duke treadmill score"
                              << "not entered (ST deviation and angina index not entered)";
        QTest::newRow("predicted") << "Predicted maximum heart rate"
                                   << "160 bpm (220 - age)";
        QTest::newRow("peak") << "Peak heart rate"
                              << "171 bpm (107 % of predicted)";
        QTest::newRow("recovery")
            << "Heart-rate recovery at 1, 2 and 3 min"
            << "21, -, - bpm (not available at 2 min: no heart rate within 10 s of 2 min of "
               "recovery; 3 min: no heart rate within 10 s of 3 min of recovery)";
        QTest::newRow("chronotropic index") << "Chronotropic index"
                                            << "not available (resting heart rate not entered)";
        QTest::newRow("hypertensive") << "Hypertensive response"
                                      << "not available (no blood pressure measured during "
                                         "exercise)";
    }
    void relatorio()
    {
        QFETCH(QString, rotulo);
        QFETCH(QString, valor);
        TRelatorioSessao::TDados d = Teste();
        TRelatorioClinico::Completar(d);
        QCOMPARE(Valor(d, rotulo), valor);
    }

    void avisoDoRelatorio()
    {
        TRelatorioSessao::TDados d = Teste();
        TRelatorioClinico::Completar(d);
        QCOMPARE(d.avisos, QStringList{"5:00 HR 171 bpm above the test's limit (160 bpm)"});
    }

    // The JSON is data: the same keys, codes and reasons in either language.
    void jsonIgualEmIngles()
    {
        const TRelatorioSessao::TDados d = Teste();
        const auto json = [&d] {
            return TJsonClinico::Converter(
                TAvaliacaoClinica::Calcular(d.sessao, d.paciente, d.amostras, d.eventos));
        };
        const QJsonObject ingles = json();
        QVERIFY(InstalarIdioma(*QCoreApplication::instance(), TIdioma::Portugues, QLocale::c()));
        const QJsonObject portugues = json();
        QVERIFY(InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles, QLocale::c()));
        QCOMPARE(ingles.keys(), portugues.keys());
        QCOMPARE(QJsonDocument(ingles).toJson(), QJsonDocument(portugues).toJson());
        QVERIFY(ingles.contains("fc_maxima_prevista"));
        QCOMPARE(ingles["metodo_vo2max"].toString(), QStringLiteral("Foster (Bruce)"));
        QCOMPARE(ingles["motivos"]["escore_duke"].toString(),
                 QStringLiteral("desvio de ST e índice de angina não informados"));
        QCOMPARE(ingles["avisos"][0]["texto"].toString(),
                 QStringLiteral("FC 171 bpm acima do limite do teste (160 bpm)"));
    }
};

QTEST_GUILESS_MAIN(TstClinicoIngles)
#include "tst_clinicoingles.moc"
