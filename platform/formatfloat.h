#pragma once

#include <QString>

#include "kestrova_platform_export.h"

// Formats value with a picture of the framework's kind: optional literal text, a number part of
// '0' (a digit always shown) and '#' (a digit shown when needed) with at most one '.', then
// literal text, e.g. "0.00 Km/h", "0.0%", "0 %". The '.' stands for the decimal separator of the
// user's locale (QLocale()). The value is rounded half away from zero on its decimal expansion to
// 18 significant digits, as the framework does; a result of zero carries no minus sign. A picture
// with no digit placeholder, more than one '.', or with ',', ';', 'E', 'e', quotes or digit
// placeholders after the literal suffix raises Exception. NaN and infinities give "NAN", "INF"
// and "-INF".
KESTROVA_PLATFORM_EXPORT QString FormatFloat(const QString &picture, double value);

// Reads a decimal number typed by the user: optional blanks around it, an optional sign, digits
// with the locale's decimal separator (not '.', unless that is the locale's), an optional
// exponent. Digits and signs may be ASCII (as FormatFloat writes them) or the locale's own
// (TNumberText::Read). Group separators, NaN, infinities and anything else are refused (false,
// value kept).
KESTROVA_PLATFORM_EXPORT bool TryStrToFloat(const QString &text, double &value);

// Reads a decimal integer: optional blanks around it and an optional sign, ASCII or the locale's
// digits and signs. Out of int's range or anything else is refused (false, value kept).
KESTROVA_PLATFORM_EXPORT bool TryStrToInt(const QString &text, int &value);
