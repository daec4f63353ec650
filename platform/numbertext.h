#pragma once

#include <QLocale>
#include <QString>

#include "kestrova_platform_export.h"

// Numbers as the components write them: ASCII digits, minus sign and exponent, with only the
// decimal separator taken from the locale (no digit grouping), so texts and exported lines read
// the same in every locale apart from that one character. Read reads them back in every locale,
// and reads the locale's own form too (its digits, minus and plus signs), so that whatever a
// component shows in an edit, or the user types in the locale's way, converts to a number.
class KESTROVA_PLATFORM_EXPORT TNumberText {
public:
    // Fixed point with the given decimals after rounding to 9 significant digits; values of a
    // billion and more in scientific form with 9 significant digits.
    static QString Fixed(double value, int decimals, const QLocale &locale = QLocale());
    // Shortest general form with up to 15 significant digits.
    static QString General(double value, const QLocale &locale = QLocale());
    // Fixed notation with the fewest digits that read back to the same double (no exponent).
    static QString Exact(double value, const QLocale &locale = QLocale());

    // Reads a decimal number: optional blanks around it, an optional sign, digits with the
    // locale's decimal separator, an optional exponent. Digits may be ASCII or the locale's (any
    // script's decimal digits), signs ASCII, U+2212 or the locale's; direction marks are ignored.
    // Group separators, NaN, infinities and anything else are refused (false, value kept).
    static bool Read(const QString &text, const QLocale &locale, double &value);
    // The same for an integer in int's range (no separator, no exponent).
    static bool ReadInt(const QString &text, const QLocale &locale, int &value);
    // The text in the C locale's form ("-12.5e3") for Read's rules; empty when refused.
    static QString ToCLocale(const QString &text, const QLocale &locale);

private:
    static QString WithDecimalPoint(QString text, const QLocale &locale);
};
