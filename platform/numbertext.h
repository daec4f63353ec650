#pragma once

#include <QLocale>
#include <QString>

#include "kestrova_platform_export.h"

// Numbers as the charts write them: ASCII digits, minus sign and exponent, with only the decimal
// separator taken from the locale (no digit grouping), so texts and exported lines read the same
// in every locale apart from that one character.
class KESTROVA_PLATFORM_EXPORT TNumberText {
public:
    // Fixed point with the given decimals after rounding to 9 significant digits; values of a
    // billion and more in scientific form with 9 significant digits.
    static QString Fixed(double value, int decimals, const QLocale &locale = QLocale());
    // Shortest general form with up to 15 significant digits.
    static QString General(double value, const QLocale &locale = QLocale());

private:
    static QString WithDecimalPoint(QString text, const QLocale &locale);
};
