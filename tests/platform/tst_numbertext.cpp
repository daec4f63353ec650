#include <QLocale>
#include <QTest>
#include <cmath>

#include "platform/formatfloat.h"
#include "platform/numbertext.h"
#include "tests/support/nonasciilocales.h"

// Numbers shown in an edit and read back, in every locale whose numbers are not plain ASCII.
class TstNumberText : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void sweepFindsTheLocales();
    void roundTrip_data() { AddNonAsciiLocaleRows(); }
    void roundTrip();
    void refused_data();
    void refused();
};

void TstNumberText::sweepFindsTheLocales()
{
    // Swedish (U+2212 minus), Arabic (Arabic-Indic digits, marks around the sign), Persian.
    const QList<QLocale> locales = NonAsciiNumberLocales();
    for (const char *name : {"sv_SE", "ar_EG", "fa_IR", "fi_FI", "nb_NO"})
        QVERIFY2(locales.contains(QLocale(QLatin1String(name))), name);
    QVERIFY(!locales.contains(QLocale(QLocale::Portuguese, QLocale::Brazil)));
}

void TstNumberText::roundTrip()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    QLocale semGrupos = locale;
    semGrupos.setNumberOptions(QLocale::OmitGroupSeparator);
    for (const double value : {-1.7, -0.25, 12345.625, 0.1 + 0.2, -6.0}) {
        // What the components show, and the locale's own form a user types.
        double lido = 0;
        QVERIFY(TNumberText::Read(TNumberText::Exact(value, locale), locale, lido));
        QVERIFY(lido == value);
        lido = 0;
        QVERIFY2(TNumberText::Read(semGrupos.toString(value, 'f', QLocale::FloatingPointShortest),
                                   locale, lido),
                 qPrintable(semGrupos.toString(value, 'f', QLocale::FloatingPointShortest)));
        QVERIFY(lido == value);
        lido = 0;
        QVERIFY(TNumberText::Read(semGrupos.toString(value, 'e', 17), locale, lido));
        QVERIFY(lido == value);
        // The program's pictures (speed, incline) and TryStrToFloat, also on the locale's form.
        const QString velocidade = FormatFloat(QStringLiteral("0.0"), value);
        QVERIFY(TryStrToFloat(velocidade, lido));
        QCOMPARE(lido, std::round(value * 10) / 10);
        QVERIFY(TryStrToFloat(semGrupos.toString(value, 'f', 1), lido));
        QCOMPARE(lido, QString::number(value, 'f', 1).toDouble());
    }
    for (const int value : {-42, 0, 2147483647}) {
        int lido = 1;
        QVERIFY(TNumberText::ReadInt(semGrupos.toString(value), locale, lido));
        QCOMPARE(lido, value);
        QVERIFY(TryStrToInt(QString::number(value), lido));
        QCOMPARE(lido, value);
    }
}

void TstNumberText::refused_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    const QLocale sueco(QLocale::Swedish, QLocale::Sweden);
    const QLocale arabe(QLocale::Arabic, QLocale::Egypt);
    QTest::newRow("group separator") << sueco << QStringLiteral("1\u00a0000,5");
    QTest::newRow("point in a comma locale") << sueco << QStringLiteral("1.5");
    QTest::newRow("two signs") << sueco << QStringLiteral("\u2212-1");
    QTest::newRow("letters") << arabe << QStringLiteral("\u0661x");
    QTest::newRow("NaN") << arabe << QStringLiteral("NaN");
    QTest::newRow("empty") << arabe << QString();
}

void TstNumberText::refused()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    double value = 7;
    QVERIFY(!TNumberText::Read(text, locale, value));
    QCOMPARE(value, 7.0);
}

QTEST_GUILESS_MAIN(TstNumberText)
#include "tst_numbertext.moc"
