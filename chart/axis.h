#pragma once

#include <QFont>
#include <QObject>
#include <QString>

#include "kestrova_chart_export.h"
#include "platform/customproperties.h"
#include "platform/event.h"

// One axis of a TvtxGraph: a fixed number of equal divisions, each DivisionWidth pixels wide on
// the screen and ScalePerDivision real units long, starting at OriginValue. The chart owns its
// three axes (kind 0 = X, 1 = left Y, 2 = right Y) and is told of every change through OnChange.
//
// Every setter ignores a value equal to the current one; otherwise it stores the value (after
// the rule given beside the property) and fires OnChange. "Absolute value" reads INT_MIN as
// INT_MAX.
class KESTROVA_CHART_EXPORT TAxis : public QObject, public TCustomProperties {
    Q_OBJECT
    // Pixels per division; the absolute value is kept. 0 is accepted (a degenerate axis).
    Q_PROPERTY(int DivisionWidth READ DivisionWidth WRITE SetDivisionWidth)
    // Font of the numbers along the axis.
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    // Decimals of the numbers; absolute value.
    Q_PROPERTY(int NumberOfDecimals READ NumberOfDecimals WRITE SetNumberOfDecimals)
    // Divisions along the axis; 0 becomes 1, otherwise the absolute value, at most
    // kMaxDivisions.
    Q_PROPERTY(int NumberOfDivisions READ NumberOfDivisions WRITE SetNumberOfDivisions)
    // Kept and streamed for compatibility; nothing draws with it.
    Q_PROPERTY(int NumberOfFixed READ NumberOfFixed WRITE SetNumberOfFixed)
    // Pixels between the end of a tic mark and the numbers; absolute value.
    Q_PROPERTY(int NumberOffset READ NumberOffset WRITE SetNumberOffset)
    // Real value at the start of the axis.
    Q_PROPERTY(double OriginValue READ OriginValue WRITE SetOriginValue)
    // Real units per division; values <= 0 are ignored.
    Q_PROPERTY(double ScalePerDivision READ ScalePerDivision WRITE SetScalePerDivision)
    // Tic mark length in pixels; absolute value.
    Q_PROPERTY(int TicLength READ TicLength WRITE SetTicLength)
    // Axis caption; streamed as the custom entry "AxisLabel", not as a property.
    Q_PROPERTY(QString AxisLabel READ AxisLabel WRITE SetAxisLabel STORED false)
    // Font of the caption.
    Q_PROPERTY(QFont LabelFont READ LabelFont WRITE SetLabelFont)
    // Pixels between the numbers and the caption; taken as given.
    Q_PROPERTY(int AxisLabelOffset READ AxisLabelOffset WRITE SetAxisLabelOffset)
    // True: the chart draws no numbers and no caption for this axis (the caller annotates it).
    Q_PROPERTY(bool UseCustomAnnotation READ UseCustomAnnotation WRITE SetUseCustomAnnotation)
    Q_CLASSINFO("default:DivisionWidth", "64")
    Q_CLASSINFO("default:NumberOfDecimals", "1")
    Q_CLASSINFO("default:NumberOfDivisions", "3")
    Q_CLASSINFO("default:NumberOfFixed", "3")
    Q_CLASSINFO("default:NumberOffset", "5")
    Q_CLASSINFO("default:TicLength", "5")
    Q_CLASSINFO("default:AxisLabelOffset", "10")
    Q_CLASSINFO("default:UseCustomAnnotation", "false")

public:
    enum TKind { XAxisKind = 0, LeftYAxisKind = 1, RightYAxisKind = 2 };
    // One division a pixel across the widest plot the chart draws: more could not be told
    // apart, and measuring and drawing millions of them held the window for seconds.
    static constexpr int kMaxDivisions = 16384;

    explicit TAxis(int kind = XAxisKind, QObject *Owner = nullptr);
    ~TAxis() override;

    int Kind() const { return FKind; }

    int DivisionWidth() const { return FDivisionWidth; }
    QFont Font() const { return FFont; }
    int NumberOfDecimals() const { return FNumberOfDecimals; }
    int NumberOfDivisions() const { return FNumberOfDivisions; }
    int NumberOfFixed() const { return FNumberOfFixed; }
    int NumberOffset() const { return FNumberOffset; }
    double OriginValue() const { return FOriginValue; }
    double ScalePerDivision() const { return FScalePerDivision; }
    int TicLength() const { return FTicLength; }
    QString AxisLabel() const { return FAxisLabel; }
    QFont LabelFont() const { return FLabelFont; }
    int AxisLabelOffset() const { return FAxisLabelOffset; }
    bool UseCustomAnnotation() const { return FUseCustomAnnotation; }

    void SetDivisionWidth(int value);
    void SetFont(const QFont &value);
    void SetNumberOfDecimals(int value);
    void SetNumberOfDivisions(int value);
    void SetNumberOfFixed(int value);
    void SetNumberOffset(int value);
    void SetOriginValue(double value);
    void SetScalePerDivision(double value);
    void SetTicLength(int value);
    void SetAxisLabel(const QString &value);
    void SetLabelFont(const QFont &value);
    void SetAxisLabelOffset(int value);
    void SetUseCustomAnnotation(bool value);

    // The texts of numbers 0 ... divisions (default NumberOfDivisions): OriginValue plus i
    // divisions, accumulated by repeated addition, fixed-point with NumberOfDecimals decimals and
    // the locale's decimal separator.
    QStringList NumberTexts(int divisions = -1) const;

    // Streams AxisLabel as the custom entry "AxisLabel".
    void WriteCustom(QJsonObject &json) const override;
    void ReadCustom(const QJsonObject &json) override;

    // Fired after every change, with this axis as sender.
    TNotifyEvent OnChange;

private:
    void Changed();
    template <typename T>
    void Assign(T &field, const T &value);

    int FKind;
    int FDivisionWidth = 64;
    QFont FFont;
    int FNumberOfDecimals = 1;
    int FNumberOfDivisions = 3;
    int FNumberOfFixed = 3;
    int FNumberOffset = 5;
    double FOriginValue = 0.0;
    double FScalePerDivision = 10.0;
    int FTicLength = 5;
    QString FAxisLabel;
    QFont FLabelFont;
    int FAxisLabelOffset = 5;
    bool FUseCustomAnnotation = false;
};
