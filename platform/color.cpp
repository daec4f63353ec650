#include "color.h"

#include <array>
#include <utility>

namespace {

// The classic desktop palette for system colours 0..24 (0x00BBGGRR), so drawing does not depend
// on the desktop theme of the machine that runs it.
constexpr std::array<quint32, 25> kSystemColors = {
    0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
    0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000, 0xE1FFFF};

struct TNamedColor {
    quint32 Value;
    const char *Name;
};

constexpr TNamedColor kNames[] = {{0x000000, "clBlack"},          {0x000080, "clMaroon"},
                                  {0x008000, "clGreen"},          {0x008080, "clOlive"},
                                  {0x800000, "clNavy"},           {0x800080, "clPurple"},
                                  {0x808000, "clTeal"},           {0x808080, "clGray"},
                                  {0xC0C0C0, "clSilver"},         {0x0000FF, "clRed"},
                                  {0x00FF00, "clLime"},           {0x00FFFF, "clYellow"},
                                  {0xFF0000, "clBlue"},           {0xFF00FF, "clFuchsia"},
                                  {0xFFFF00, "clAqua"},           {0xFFFFFF, "clWhite"},
                                  {0x80000000, "clScrollBar"},    {0x80000001, "clBackground"},
                                  {0x80000005, "clWindow"},       {0x80000008, "clWindowText"},
                                  {0x8000000F, "clBtnFace"},      {0x80000010, "clBtnShadow"},
                                  {0x80000011, "clGrayText"},     {0x80000012, "clBtnText"},
                                  {0x80000014, "clBtnHighlight"}, {0x80000017, "clInfoText"},
                                  {0x80000018, "clInfoBk"},       {0x1FFFFFFF, "clNone"},
                                  {0x20000000, "clDefault"}};

bool ParseNumber(const QString &text, quint32 *value)
{
    bool ok = false;
    qulonglong v = 0;
    if (text.startsWith(u'$'))
        v = text.mid(1).toULongLong(&ok, 16);
    else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = text.mid(2).toULongLong(&ok, 16);
    else if (text.startsWith(u'-'))
        v = qulonglong(quint32(text.toInt(&ok)));
    else
        v = text.toULongLong(&ok, 10);
    if (!ok || v > 0xFFFFFFFFull)
        return false;
    *value = quint32(v);
    return true;
}

// Forms compiled by uic or loaded by QUiLoader set a colour property with the QColor Qt Designer
// saved; QObject::setProperty converts it to TColor through this converter.
[[maybe_unused]] const bool kQColorConverte =
    QMetaType::registerConverter<QColor, TColor>(&TColor::FromQColor);

}  // namespace

TColor TColor::ToRgb() const
{
    if (IsSystem()) {
        const quint32 index = FValue & 0xFFFFFF;
        return index < kSystemColors.size() ? TColor(kSystemColors[index]) : clBlack;
    }
    return TColor(FValue & 0xFFFFFF);
}

QColor TColor::ToQColor() const
{
    const TColor rgb = ToRgb();
    return QColor(rgb.Red(), rgb.Green(), rgb.Blue());
}

TColor TColor::FromQColor(const QColor &color)
{
    const QColor c = color.toRgb();
    return FromRgb(c.red(), c.green(), c.blue());
}

QString TColor::ToString() const
{
    for (const TNamedColor &named : kNames) {
        if (named.Value == FValue)
            return QString::fromLatin1(named.Name);
    }
    return QStringLiteral("$%1").arg(FValue, 8, 16, QLatin1Char('0')).toUpper();
}

bool TColor::FromString(const QString &text, TColor *color)
{
    const QString t = text.trimmed();
    for (const TNamedColor &named : kNames) {
        if (t.compare(QLatin1String(named.Name), Qt::CaseInsensitive) == 0) {
            *color = TColor(named.Value);
            return true;
        }
    }
    if (t.startsWith(u'#')) {
        const QColor c = QColor::fromString(t);
        if (!c.isValid() || t.size() != 7)
            return false;
        *color = FromQColor(c);
        return true;
    }
    quint32 value = 0;
    if (!ParseNumber(t, &value))
        return false;
    *color = TColor(value);
    return true;
}
