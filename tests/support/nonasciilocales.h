#pragma once

#include <QList>
#include <QLocale>
#include <QTest>

// Every locale Qt knows whose numbers are not written with ASCII: a minus or plus sign other
// than "-" / "+", digits other than "0".."9", or a decimal or group separator outside ASCII.
inline QList<QLocale> NonAsciiNumberLocales()
{
    const auto ascii = [](const QString &text) {
        for (const QChar c : text)
            if (c.unicode() > 0x7f)
                return false;
        return true;
    };
    QList<QLocale> result;
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        if (locale.negativeSign() != u"-" || locale.positiveSign() != u"+" ||
            locale.zeroDigit() != u"0" || !ascii(locale.decimalPoint()) ||
            !ascii(locale.groupSeparator()))
            result.append(locale);
    }
    return result;
}

// One data row per such locale, named after it, in the column "locale".
inline void AddNonAsciiLocaleRows()
{
    QTest::addColumn<QLocale>("locale");
    for (const QLocale &locale : NonAsciiNumberLocales())
        QTest::newRow(qPrintable(locale.name() + u' ' + locale.bcp47Name())) << locale;
}
