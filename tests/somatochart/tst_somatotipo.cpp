#include <QTest>
#include <cmath>
#include <limits>

#include "platform/exception.h"
#include "somatochart/colecaodepontos.h"
#include "somatochart/somatotipo.h"

class TstSomatotipo : public QObject {
    Q_OBJECT

private slots:
    void coordinates_data();
    void coordinates();
    void invalidRatings_data();
    void invalidRatings();
    void addsPointToCollection();
};

void TstSomatotipo::coordinates_data()
{
    QTest::addColumn<double>("endo");
    QTest::addColumn<double>("meso");
    QTest::addColumn<double>("ecto");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    // Published ratings with their chart positions.
    QTest::newRow("3.0-2.1-4.8") << 3.0 << 2.1 << 4.8 << 1.8 << -3.6;
    QTest::newRow("1.6-5.4-3.2") << 1.6 << 5.4 << 3.2 << 1.6 << 6.0;
    QTest::newRow("1.6-4.2-3.8, no binary noise") << 1.6 << 4.2 << 3.8 << 2.2 << 3.0;
    QTest::newRow("2.5-7.2-0.8, no binary noise") << 2.5 << 7.2 << 0.8 << -1.7 << 11.1;
    QTest::newRow("balanced 4-4-4") << 4.0 << 4.0 << 4.0 << 0.0 << 0.0;
    QTest::newRow("pure endomorph 7-1-1") << 7.0 << 1.0 << 1.0 << -6.0 << -6.0;
    QTest::newRow("zero ratings") << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
}

void TstSomatotipo::coordinates()
{
    QFETCH(double, endo);
    QFETCH(double, meso);
    QFETCH(double, ecto);
    QFETCH(double, x);
    QFETCH(double, y);
    const TSomatotipo somatotipo(endo, meso, ecto);
    QCOMPARE(somatotipo.Endo(), endo);
    QCOMPARE(somatotipo.Meso(), meso);
    QCOMPARE(somatotipo.Ecto(), ecto);
    // Exactly the double nearest the decimal result, as the editor and legend then show it.
    // (QCOMPARE on doubles is fuzzy; these must be exact.)
    QVERIFY2(somatotipo.X() == x, qPrintable(QString::number(somatotipo.X(), 'g', 17)));
    QVERIFY2(somatotipo.Y() == y, qPrintable(QString::number(somatotipo.Y(), 'g', 17)));
}

void TstSomatotipo::invalidRatings_data()
{
    QTest::addColumn<double>("endo");
    QTest::addColumn<double>("meso");
    QTest::addColumn<double>("ecto");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("negative endo") << -0.1 << 3.0 << 3.0;
    QTest::newRow("negative meso") << 3.0 << -1.0 << 3.0;
    QTest::newRow("negative ecto") << 3.0 << 3.0 << -0.5;
    QTest::newRow("NaN endo") << nan << 3.0 << 3.0;
    QTest::newRow("NaN meso") << 3.0 << nan << 3.0;
    QTest::newRow("infinite ecto") << 3.0 << 3.0 << inf;
    QTest::newRow("minus infinity meso") << 3.0 << -inf << 3.0;
    QTest::newRow("Y overflows") << 0.0 << 1e308 << 0.0;
}

void TstSomatotipo::invalidRatings()
{
    QFETCH(double, endo);
    QFETCH(double, meso);
    QFETCH(double, ecto);
    try {
        TSomatotipo somatotipo(endo, meso, ecto);
        QFAIL(qPrintable(QStringLiteral("accepted, X = %1").arg(somatotipo.X())));
    } catch (const Exception &e) {
        QCOMPARE(e.Message(), TSomatotipo::kMensagemInvalido);
    }
}

void TstSomatotipo::addsPointToCollection()
{
    TColecaoDePontos pontos;
    pontos.AcrescentarPonto(0, 0, clBlack, 0, 1, QStringLiteral("first"));
    int added = 0;
    pontos.OnPontoAcrescentado = [&](QObject *sender) {
        QCOMPARE(sender, &pontos);
        ++added;
    };
    TSomatotipo(3.0, 2.1, 4.8).AcrescentarEm(pontos, clRed, 1, 5, QStringLiteral("Atleta"));
    QCOMPARE(added, 1);
    QCOMPARE(pontos.Count(), 2);
    const TPonto &ponto = pontos.Items(1);
    QCOMPARE(ponto.X, 1.8);
    QCOMPARE(ponto.Y, -3.6);
    QCOMPARE(quint32(ponto.Cor), quint32(clRed));
    QCOMPARE(ponto.Forma, 1);
    QCOMPARE(ponto.Tamanho, 5);
    QCOMPARE(ponto.Descricao, QStringLiteral("Atleta"));
}

QTEST_GUILESS_MAIN(TstSomatotipo)
#include "tst_somatotipo.moc"
