#include <QTest>
#include <climits>

#include "chart/axis.h"

class TstAxis : public QObject {
    Q_OBJECT

private slots:
    void constructorValues();
    void setterRules_data();
    void setterRules();
    void unchangedValueFiresNothing();
    void numberTexts();
};

void TstAxis::constructorValues()
{
    TAxis axis(TAxis::LeftYAxisKind);
    QCOMPARE(axis.Kind(), 1);
    QCOMPARE(axis.DivisionWidth(), 64);
    QCOMPARE(axis.NumberOfDivisions(), 3);
    QCOMPARE(axis.ScalePerDivision(), 10.0);
    QCOMPARE(axis.AxisLabelOffset(), 5);
    QCOMPARE(axis.AxisLabel(), QStringLiteral("Título do Eixo"));
    QVERIFY(axis.Font().bold());
    QCOMPARE(axis.Font().pointSize(), 9);
    QVERIFY(!axis.LabelFont().bold());
}

// Each row: property, value written, value read back.
void TstAxis::setterRules_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QVariant>("read");
    QTest::newRow("divisions 0 -> 1")
        << QByteArray("NumberOfDivisions") << QVariant(0) << QVariant(1);
    QTest::newRow("divisions -4 -> 4")
        << QByteArray("NumberOfDivisions") << QVariant(-4) << QVariant(4);
    QTest::newRow("divisions beyond a pixel each")
        << QByteArray("NumberOfDivisions") << QVariant(1888888) << QVariant(TAxis::kMaxDivisions);
    QTest::newRow("divisions INT_MIN")
        << QByteArray("NumberOfDivisions") << QVariant(INT_MIN) << QVariant(TAxis::kMaxDivisions);
    QTest::newRow("tic INT_MIN") << QByteArray("TicLength") << QVariant(INT_MIN)
                                 << QVariant(INT_MAX);
    QTest::newRow("division width abs")
        << QByteArray("DivisionWidth") << QVariant(-20) << QVariant(20);
    QTest::newRow("division width 0 kept")
        << QByteArray("DivisionWidth") << QVariant(0) << QVariant(0);
    QTest::newRow("decimals abs") << QByteArray("NumberOfDecimals") << QVariant(-2) << QVariant(2);
    QTest::newRow("fixed abs") << QByteArray("NumberOfFixed") << QVariant(-7) << QVariant(7);
    QTest::newRow("offset abs") << QByteArray("NumberOffset") << QVariant(-9) << QVariant(9);
    QTest::newRow("tic abs") << QByteArray("TicLength") << QVariant(-3) << QVariant(3);
    QTest::newRow("label offset as given")
        << QByteArray("AxisLabelOffset") << QVariant(-3) << QVariant(-3);
    QTest::newRow("scale 0 ignored")
        << QByteArray("ScalePerDivision") << QVariant(0.0) << QVariant(10.0);
    QTest::newRow("scale negative ignored")
        << QByteArray("ScalePerDivision") << QVariant(-2.5) << QVariant(10.0);
    QTest::newRow("scale positive")
        << QByteArray("ScalePerDivision") << QVariant(2.5) << QVariant(2.5);
    QTest::newRow("origin negative")
        << QByteArray("OriginValue") << QVariant(-40.0) << QVariant(-40.0);
}

void TstAxis::setterRules()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, written);
    QFETCH(QVariant, read);
    TAxis axis;
    QVERIFY(axis.setProperty(property.constData(), written));
    QCOMPARE(axis.property(property.constData()), read);
}

void TstAxis::unchangedValueFiresNothing()
{
    TAxis axis;
    QList<QObject *> senders;
    axis.OnChange = [&](QObject *sender) { senders << sender; };
    axis.SetDivisionWidth(64);
    axis.SetNumberOfDivisions(-3);  // becomes 3, the current value
    axis.SetScalePerDivision(-1);
    axis.SetAxisLabel(axis.AxisLabel());
    QCOMPARE(senders.size(), 0);
    axis.SetDivisionWidth(10);
    QFont font = axis.LabelFont();
    font.setItalic(true);
    axis.SetLabelFont(font);
    axis.SetAxisLabel(QString());
    QCOMPARE(senders.size(), 3);
    QCOMPARE(senders.first(), &axis);
}

void TstAxis::numberTexts()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TAxis axis;
    axis.SetOriginValue(-0.5);
    axis.SetScalePerDivision(1000.25);
    axis.SetNumberOfDecimals(2);
    axis.SetNumberOfDivisions(2);
    QCOMPARE(axis.NumberTexts(), QStringList({"-0,50", "999,75", "2000,00"}));
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    axis.SetOriginValue(-1);
    axis.SetScalePerDivision(0.123456789012);
    axis.SetNumberOfDecimals(12);
    axis.SetNumberOfDivisions(1);
    // Nine significant digits, then the decimals; an ASCII minus sign in every locale.
    QCOMPARE(axis.NumberTexts(), QStringList({"-1,000000000000", "-0,876543211000"}));
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TstAxis)
#include "tst_axis.moc"
