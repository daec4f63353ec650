#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

#include "platform/formatfloat.h"
#include "tests/support/raisedby.h"

class TestFormatFloat : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void formats_data();
    void formats();
    void unsupportedPicturesRaise_data();
    void unsupportedPicturesRaise();
    void parsesNumbers_data();
    void parsesNumbers();
    void parsesIntegers_data();
    void parsesIntegers();
};

void TestFormatFloat::formats_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("speed") << "C"
                           << "0.00 Km/h" << 5.3 << "5.30 Km/h";
    QTest::newRow("speed, comma locale") << "pt_BR"
                                         << "0.00 Km/h" << 5.3 << "5,30 Km/h";
    QTest::newRow("speed zero") << "C"
                                << "0.00 Km/h" << 0.0 << "0.00 Km/h";
    QTest::newRow("speed 18.05 from single steps")
        << "C"
        << "0.00 Km/h" << 17.95f + double(0.1f) << "18.05 Km/h";
    QTest::newRow("speed 1.6 from a single step")
        << "C"
        << "0.00 Km/h" << 1.5 + double(0.1f) << "1.60 Km/h";
    QTest::newRow("incline buttons") << "C"
                                     << "0.0%" << 2.5 << "2.5%";
    QTest::newRow("incline buttons, comma") << "pt_BR"
                                            << "0.0%" << 2.5 << "2,5%";
    QTest::newRow("incline typed") << "C"
                                   << "0 %" << 3.0 << "3 %";
    QTest::newRow("half rounds away from zero") << "C"
                                                << "0" << 2.5 << "3";
    QTest::newRow("negative half away from zero") << "C"
                                                  << "0" << -2.5 << "-3";
    QTest::newRow("0.125 exact half") << "C"
                                      << "0.00" << 0.125 << "0.13";
    QTest::newRow("1.45 is below the half in binary") << "C"
                                                      << "0.0" << 1.45 << "1.4";
    QTest::newRow("0.05 is above the half in binary") << "C"
                                                      << "0.0" << 0.05 << "0.1";
    QTest::newRow("carry into a new digit") << "C"
                                            << "0.0" << 9.96 << "10.0";
    QTest::newRow("below one keeps the leading zero") << "C"
                                                      << "0.0" << 0.04 << "0.0";
    QTest::newRow("negative rounding to zero has no sign") << "C"
                                                           << "0.0" << -0.04 << "0.0";
    QTest::newRow("0.5 whole") << "C"
                               << "0" << 0.5 << "1";
    QTest::newRow("0.4 whole") << "C"
                               << "0" << 0.4 << "0";
    QTest::newRow("large") << "C"
                           << "0.0" << 123456.75 << "123456.8";
    QTest::newRow("hash drops trailing zeros") << "C"
                                               << "0.##" << 1.5 << "1.5";
    QTest::newRow("hash integer part may vanish") << "C"
                                                  << "#.00" << 0.25 << ".25";
    QTest::newRow("speed from typed single 1.8") << "C"
                                                 << "0.0" << double(1.8f) << "1.8";
    QTest::newRow("nan") << "C"
                         << "0.0" << std::nan("") << "NAN";
    QTest::newRow("infinity") << "C"
                              << "0.0" << -std::numeric_limits<double>::infinity() << "-INF";
}

void TestFormatFloat::formats()
{
    QFETCH(QString, locale);
    QFETCH(QString, picture);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(FormatFloat(picture, value), expected);
}

void TestFormatFloat::unsupportedPicturesRaise_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("no placeholder") << "Km/h";
    QTest::newRow("two points") << "0.0.0";
    QTest::newRow("thousands") << "#,##0.00";
    QTest::newRow("sections") << "0.0;-0.0";
    QTest::newRow("exponent") << "0.00E+00";
    QTest::newRow("digits in the suffix") << "0 a 0";
}

void TestFormatFloat::unsupportedPicturesRaise()
{
    QFETCH(QString, picture);
    QVERIFY(!RaisedBy([&] { FormatFloat(picture, 1.0); }).isEmpty());
}

void TestFormatFloat::parsesNumbers_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("point in C") << "C"
                                << "17.95" << true << 17.95;
    QTest::newRow("comma in pt_BR") << "pt_BR"
                                    << "17,95" << true << 17.95;
    QTest::newRow("point refused in pt_BR") << "pt_BR"
                                            << "1.5" << false << 0.0;
    QTest::newRow("comma refused in C") << "C"
                                        << "1,5" << false << 0.0;
    QTest::newRow("blanks around") << "C"
                                   << "  3.7 " << true << 3.7;
    QTest::newRow("negative") << "C"
                              << "-3" << true << -3.0;
    QTest::newRow("exponent") << "C"
                              << "1e1" << true << 10.0;
    QTest::newRow("nan") << "C"
                         << "nan" << false << 0.0;
    QTest::newRow("NaN") << "C"
                         << "NaN" << false << 0.0;
    QTest::newRow("inf") << "C"
                         << "inf" << false << 0.0;
    QTest::newRow("-infinity") << "C"
                               << "-infinity" << false << 0.0;
    QTest::newRow("overflow") << "C"
                              << "1e999" << false << 0.0;
    QTest::newRow("garbage") << "C"
                             << "abc" << false << 0.0;
    QTest::newRow("trailing garbage") << "C"
                                      << "5x" << false << 0.0;
    QTest::newRow("empty") << "C"
                           << "" << false << 0.0;
}

void TestFormatFloat::parsesNumbers()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    QLocale::setDefault(QLocale(locale));
    double parsed = -42;
    QCOMPARE(TryStrToFloat(text, parsed), ok);
    QCOMPARE(parsed, ok ? value : -42.0);
}

void TestFormatFloat::parsesIntegers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "250" << true << 250;
    QTest::newRow("blanks and sign") << " -7 " << true << -7;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("decimal") << "1.5" << false << 0;
    QTest::newRow("too large") << "99999999999" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void TestFormatFloat::parsesIntegers()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int parsed = -42;
    QCOMPARE(TryStrToInt(text, parsed), ok);
    QCOMPARE(parsed, ok ? value : -42);
}

QTEST_GUILESS_MAIN(TestFormatFloat)
#include "tst_formatfloat.moc"
