#include "chart/axis.h"

#include "platform/numbertext.h"

#include <QJsonObject>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// The absolute value; INT_MIN, whose magnitude an int cannot hold, gives INT_MAX.
int Magnitude(int value)
{
    return value == INT_MIN ? INT_MAX : std::abs(value);
}

}  // namespace

TAxis::TAxis(int kind, QObject *Owner)
    : QObject(Owner),
      FKind(kind),
      FFont(QStringLiteral("Arial"), 9, QFont::Bold),
      FAxisLabel(QStringLiteral("Título do Eixo")),
      FLabelFont(QStringLiteral("Arial"), 9)
{
}

TAxis::~TAxis() = default;

void TAxis::Changed()
{
    if (OnChange)
        OnChange(this);
}

template <typename T>
void TAxis::Assign(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TAxis::SetDivisionWidth(int value)
{
    Assign(FDivisionWidth, Magnitude(value));
}
void TAxis::SetFont(const QFont &value)
{
    Assign(FFont, value);
}
void TAxis::SetNumberOfDecimals(int value)
{
    Assign(FNumberOfDecimals, Magnitude(value));
}

void TAxis::SetNumberOfDivisions(int value)
{
    Assign(FNumberOfDivisions, value == 0 ? 1 : std::min(Magnitude(value), kMaxDivisions));
}

void TAxis::SetNumberOfFixed(int value)
{
    Assign(FNumberOfFixed, Magnitude(value));
}
void TAxis::SetNumberOffset(int value)
{
    Assign(FNumberOffset, Magnitude(value));
}
void TAxis::SetOriginValue(double value)
{
    Assign(FOriginValue, value);
}

void TAxis::SetScalePerDivision(double value)
{
    if (value > 0)
        Assign(FScalePerDivision, value);
}

void TAxis::SetTicLength(int value)
{
    Assign(FTicLength, Magnitude(value));
}
void TAxis::SetAxisLabel(const QString &value)
{
    Assign(FAxisLabel, value);
}
void TAxis::SetLabelFont(const QFont &value)
{
    Assign(FLabelFont, value);
}
void TAxis::SetAxisLabelOffset(int value)
{
    Assign(FAxisLabelOffset, value);
}
void TAxis::SetUseCustomAnnotation(bool value)
{
    Assign(FUseCustomAnnotation, value);
}

QStringList TAxis::NumberTexts(int divisions) const
{
    const QLocale locale;
    QStringList texts;
    double value = FOriginValue;
    const int count = divisions < 0 ? FNumberOfDivisions : divisions;
    for (int i = 0; i <= count; ++i) {
        texts << TNumberText::Fixed(value, FNumberOfDecimals, locale);
        value += FScalePerDivision;
    }
    return texts;
}

void TAxis::WriteCustom(QJsonObject &json) const
{
    json.insert(QStringLiteral("AxisLabel"), FAxisLabel);
}

void TAxis::ReadCustom(const QJsonObject &json)
{
    const QJsonValue label = json.value(QStringLiteral("AxisLabel"));
    if (label.isString())
        SetAxisLabel(label.toString());
}
