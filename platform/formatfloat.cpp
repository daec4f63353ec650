#include "platform/formatfloat.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/exception.h"
#include "platform/numbertext.h"

namespace {

// The parts of a picture: literal prefix, number part, literal suffix.
struct TPicture {
    QString prefix;
    QString suffix;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
};

[[noreturn]] void RefusePicture(const QString &picture)
{
    throw Exception(
        QCoreApplication::translate("FormatFloat", "Formato numérico não suportado: \"%1\"")
            .arg(picture));
}

bool IsPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

TPicture ParsePicture(const QString &picture)
{
    static const QString kRefused = QStringLiteral(",;eE\"'");
    TPicture result;
    qsizetype i = 0;
    while (i < picture.size() && !IsPlaceholder(picture[i]) && picture[i] != u'.')
        result.prefix += picture[i++];
    bool afterPoint = false;
    bool anyPlaceholder = false;
    for (; i < picture.size() && (IsPlaceholder(picture[i]) || picture[i] == u'.'); ++i) {
        const QChar c = picture[i];
        if (c == u'.') {
            if (afterPoint)
                RefusePicture(picture);
            afterPoint = true;
            continue;
        }
        anyPlaceholder = true;
        if (!afterPoint && c == u'0')
            ++result.minIntegerDigits;
        if (afterPoint) {
            ++result.maxDecimals;
            if (c == u'0')
                result.minDecimals = result.maxDecimals;
        }
    }
    result.suffix = picture.mid(i);
    for (const QChar c : result.prefix + result.suffix)
        if (kRefused.contains(c) || IsPlaceholder(c) || c == u'.')
            RefusePicture(picture);
    if (!anyPlaceholder)
        RefusePicture(picture);
    return result;
}

// The decimal digits of |value| to 18 significant digits, and the power of ten of the first one:
// value = 0.d1d2...d18 x 10^exponent.
struct TDigits {
    std::string digits;
    int exponent = 0;
};

TDigits DecimalDigits(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17e", std::fabs(value));
    const std::string text(buffer);
    const auto e = text.find('e');
    TDigits result;
    result.digits = text.substr(0, 1) + text.substr(2, e - 2);
    result.exponent = std::stoi(text.substr(e + 1)) + 1;
    return result;
}

// Digits of |value| rounded half away from zero to the given decimals: integer part and
// fraction part as digit strings (the integer part may be empty).
std::pair<std::string, std::string> RoundedParts(double value, int decimals)
{
    TDigits d = DecimalDigits(value);
    if (value == 0.0)
        return {std::string(), std::string(decimals, '0')};
    // Keep exponent + decimals digits; the digit after them decides.
    const int keep = d.exponent + decimals;
    if (keep < 0)
        return {std::string(), std::string(decimals, '0')};
    std::string kept = d.digits.substr(0, std::min<size_t>(keep, d.digits.size()));
    kept.resize(keep, '0');
    int exponent = d.exponent;
    if (size_t(keep) < d.digits.size() && d.digits[keep] >= '5') {
        int k = keep - 1;
        while (k >= 0 && kept[k] == '9')
            kept[k--] = '0';
        if (k >= 0)
            ++kept[k];
        else {
            kept.insert(kept.begin(), '1');
            ++exponent;
        }
    }
    // kept now holds the digits of the rounded value from 10^(exponent-1) down to 10^-decimals.
    const int integerDigits = exponent;
    std::string integerPart;
    std::string fraction;
    if (integerDigits > 0) {
        integerPart = kept.substr(0, integerDigits);
        fraction = kept.substr(integerDigits);
    } else {
        fraction = std::string(-integerDigits, '0') + kept;
        fraction = fraction.substr(fraction.size() - decimals);
    }
    return {integerPart, fraction};
}

}  // namespace

QString FormatFloat(const QString &picture, double value)
{
    const TPicture p = ParsePicture(picture);
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    auto [integerPart, fraction] = RoundedParts(value, p.maxDecimals);
    integerPart.erase(0, integerPart.find_first_not_of('0'));
    if (integerPart.size() < size_t(p.minIntegerDigits))
        integerPart.insert(0, size_t(p.minIntegerDigits) - integerPart.size(), '0');
    while (fraction.size() > size_t(p.minDecimals) && fraction.back() == '0')
        fraction.pop_back();
    const bool zero = (integerPart + fraction).find_first_not_of('0') == std::string::npos;
    QString number = QString::fromLatin1(integerPart);
    if (!fraction.empty())
        number += QLocale().decimalPoint() + QString::fromLatin1(fraction);
    if (value < 0 && !zero)
        number.prepend(u'-');
    return p.prefix + number + p.suffix;
}

bool TryStrToFloat(const QString &text, double &value)
{
    return TNumberText::Read(text, QLocale(), value);
}

bool TryStrToInt(const QString &text, int &value)
{
    return TNumberText::ReadInt(text, QLocale(), value);
}
