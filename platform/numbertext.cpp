#include "platform/numbertext.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char32_t kMinusSign = 0x2212;

// Marks that only steer the direction of the text (left-to-right and right-to-left marks, the
// Arabic letter mark, and the like): some locales put them around their signs.
bool IsFormatMark(char32_t c)
{
    return QChar::category(c) == QChar::Other_Format;
}

// The code point at i of text and the number of UTF-16 units it takes.
std::pair<char32_t, int> CodePointAt(QStringView text, qsizetype i)
{
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(text[i], text[i + 1]), 2};
    return {text[i].unicode(), 1};
}

// The locale's sign without its direction marks ("\u200e\u2212" -> "\u2212").
QString Sign(const QString &sign)
{
    QString result;
    for (qsizetype i = 0; i < sign.size();) {
        const auto [c, units] = CodePointAt(sign, i);
        if (!IsFormatMark(c))
            result += sign.mid(i, units);
        i += units;
    }
    return result;
}

}  // namespace

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

QString TNumberText::Exact(double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString::number(value);
    return WithDecimalPoint(QString::number(value, 'f', QLocale::FloatingPointShortest), locale);
}

QString TNumberText::ToCLocale(const QString &text, const QLocale &locale)
{
    // The locale's tokens first (a sign or separator may be more than one character), then the
    // ASCII ones; a decimal digit of any script stands for its value.
    const QString point = locale.decimalPoint();
    const std::pair<QString, char> tokens[] = {
        {point, '.'},
        {Sign(locale.negativeSign()), '-'},
        {Sign(locale.positiveSign()), '+'},
        {locale.exponential(), 'e'},
        {QStringLiteral("-"), '-'},
        {QString(QChar(kMinusSign)), '-'},
        {QStringLiteral("+"), '+'},
        {QStringLiteral("e"), 'e'},
        {QStringLiteral("E"), 'e'},
    };
    const QString trimmed = text.trimmed();
    QString result;
    qsizetype i = 0;
    while (i < trimmed.size()) {
        const QStringView rest = QStringView(trimmed).mid(i);
        const auto token = std::find_if(std::begin(tokens), std::end(tokens), [&](const auto &t) {
            return !t.first.isEmpty() && rest.startsWith(t.first, Qt::CaseInsensitive);
        });
        if (token != std::end(tokens)) {
            result += QLatin1Char(token->second);
            i += token->first.size();
            continue;
        }
        const auto [c, units] = CodePointAt(rest, 0);
        i += units;
        if (IsFormatMark(c))
            continue;
        if (QChar::category(c) != QChar::Number_DecimalDigit)
            return QString();
        result += QLatin1Char(char('0' + QChar::digitValue(c)));
    }
    return result;
}

bool TNumberText::Read(const QString &text, const QLocale &locale, double &value)
{
    const QString c = ToCLocale(text, locale);
    bool ok = false;
    const double parsed = QLocale::c().toDouble(c, &ok);
    if (c.isEmpty() || !ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool TNumberText::ReadInt(const QString &text, const QLocale &locale, int &value)
{
    const QString c = ToCLocale(text, locale);
    bool ok = false;
    const int parsed = c.toInt(&ok, 10);
    if (c.isEmpty() || !ok)
        return false;
    value = parsed;
    return true;
}

QString TNumberText::WithDecimalPoint(QString text, const QLocale &locale)
{
    return text.replace(QLatin1Char('.'), locale.decimalPoint());
}
