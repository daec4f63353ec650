#include "platform/numbertext.h"

#include <algorithm>
#include <cmath>

QString TNumberText::Fixed(double value, int decimals, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (std::abs(value) >= 1e9)
        return WithDecimalPoint(QString::number(value, 'E', 8), locale);
    const double rounded = QString::number(value, 'g', 9).toDouble();
    return WithDecimalPoint(QString::number(rounded, 'f', std::clamp(decimals, 0, 18)), locale);
}

QString TNumberText::General(double value, const QLocale &locale)
{
    return WithDecimalPoint(QString::number(value, 'g', 15), locale);
}

QString TNumberText::WithDecimalPoint(QString text, const QLocale &locale)
{
    return text.replace(QLatin1Char('.'), locale.decimalPoint());
}
