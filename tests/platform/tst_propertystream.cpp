#include <QJsonDocument>
#include <QtTest>
#include <cmath>

#include "platform/canvas.h"
#include "platform/color.h"
#include "platform/customproperties.h"
#include "platform/exception.h"
#include "platform/propertystream.h"

// What the samples hear of a reading, in order.
QStringList gReadLog;

// A sub-object with its own defaults and one custom entry, as a chart's axis has.
class TSampleAxis : public QObject, public TCustomProperties {
    Q_OBJECT
    Q_PROPERTY(int DivisionWidth READ DivisionWidth WRITE SetDivisionWidth)
    Q_PROPERTY(double ScalePerDivision READ ScalePerDivision WRITE SetScalePerDivision)
    Q_PROPERTY(QString AxisLabel READ AxisLabel WRITE SetAxisLabel STORED false)
    Q_CLASSINFO("default:DivisionWidth", "64")

public:
    using QObject::QObject;
    int DivisionWidth() const { return FDivisionWidth; }
    void SetDivisionWidth(int v)
    {
        gReadLog << QStringLiteral("axis width");
        FDivisionWidth = qAbs(v);
    }
    double ScalePerDivision() const { return FScale; }
    void SetScalePerDivision(double v) { FScale = v; }
    QString AxisLabel() const { return FLabel; }
    void SetAxisLabel(const QString &v) { FLabel = v; }

    void WriteCustom(QJsonObject &json) const override
    {
        json.insert(QStringLiteral("AxisLabel"), FLabel);
    }
    void ReadCustom(const QJsonObject &json) override
    {
        gReadLog << QStringLiteral("axis custom");
        if (json.value(QStringLiteral("AxisLabel")).isString())
            FLabel = json.value(QStringLiteral("AxisLabel")).toString();
    }
    void BeginRead() override { gReadLog << QStringLiteral("axis begin"); }
    void EndRead() override { gReadLog << QStringLiteral("axis end"); }

private:
    int FDivisionWidth = 64;
    double FScale = 10.0;
    QString FLabel = QStringLiteral("Título do Eixo");
};

class TSample : public QObject, public TCustomProperties {
    Q_OBJECT
    Q_PROPERTY(bool Border READ Border WRITE SetBorder)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(double Ratio READ Ratio WRITE SetRatio)
    Q_PROPERTY(float Factor READ Factor WRITE SetFactor)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TColor PenColor READ PenColor WRITE SetPenColor)
    Q_PROPERTY(QColor Background READ Background WRITE SetBackground)
    Q_PROPERTY(TKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(TCanvas::TPenStyle PenStyle READ PenStyle WRITE SetPenStyle)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle STORED false)
    Q_PROPERTY(int Computed READ Computed)
    Q_PROPERTY(int BadDefault READ BadDefault WRITE SetBadDefault)
    Q_PROPERTY(int Guarded READ Guarded WRITE SetGuarded)
    Q_PROPERTY(TSampleAxis *XAxis READ XAxis)
    Q_PROPERTY(TSampleAxis *YAxis READ YAxis)
    Q_PROPERTY(QObject *Self READ Self)
    Q_CLASSINFO("default:Border", "true")
    Q_CLASSINFO("default:Margin", "10")
    Q_CLASSINFO("default:Ratio", "2.5")
    Q_CLASSINFO("default:Factor", "0.1")
    Q_CLASSINFO("default:Color", "clSilver")
    Q_CLASSINFO("default:PenColor", "0xFF")
    Q_CLASSINFO("default:Background", "#ffffff")
    Q_CLASSINFO("default:Kind", "Square")
    Q_CLASSINFO("default:PenStyle", "psSolid")
    Q_CLASSINFO("default:Caption", "")
    Q_CLASSINFO("default:BadDefault", "ten")
    Q_CLASSINFO("default:Guarded", "1")

public:
    enum TKind : unsigned char { Circle, Square, Diamond };
    Q_ENUM(TKind)

    explicit TSample(QObject *owner = nullptr)
        : QObject(owner), FXAxis(new TSampleAxis(this)), FYAxis(new TSampleAxis(this))
    {
    }

    bool Border() const { return FBorder; }
    void SetBorder(bool v) { FBorder = v; }
    int Margin() const { return FMargin; }
    void SetMargin(int v) { FMargin = v; }
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    float Factor() const { return FFactor; }
    void SetFactor(float v) { FFactor = v; }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor v) { FPenColor = v; }
    QColor Background() const { return FBackground; }
    void SetBackground(const QColor &v) { FBackground = v; }
    TKind Kind() const { return FKind; }
    void SetKind(TKind v) { FKind = v; }
    TCanvas::TPenStyle PenStyle() const { return FPenStyle; }
    void SetPenStyle(TCanvas::TPenStyle v) { FPenStyle = v; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &v) { FCaption = v; }
    QString Title() const { return FTitle; }
    void SetTitle(const QString &v) { FTitle = v; }
    int Computed() const { return 42; }
    int Guarded() const { return FGuarded; }
    // Refuses negative values by raising, as components refuse changes they cannot take.
    void SetGuarded(int v)
    {
        if (v < 0)
            throw Exception(QStringLiteral("refused"));
        FGuarded = v;
    }
    int BadDefault() const { return FBadDefault; }
    void SetBadDefault(int v) { FBadDefault = v; }
    TSampleAxis *XAxis() const { return FXAxis; }
    TSampleAxis *YAxis() const { return FYAxis; }
    QObject *Self() { return this; }

    void WriteCustom(QJsonObject &json) const override
    {
        json.insert(QStringLiteral("Title"), FTitle);
    }
    void ReadCustom(const QJsonObject &json) override
    {
        gReadLog << QStringLiteral("custom");
        if (json.value(QStringLiteral("Title")).isString())
            FTitle = json.value(QStringLiteral("Title")).toString();
        if (json.value(QStringLiteral("Title")).toString() == QLatin1String("raise"))
            throw Exception(QStringLiteral("refused"));
    }
    void BeginRead() override { gReadLog << QStringLiteral("begin"); }
    void EndRead() override { gReadLog << QStringLiteral("end"); }

private:
    bool FBorder = true;
    int FMargin = 10;
    double FRatio = 2.5;
    float FFactor = 0.1f;
    TColor FColor = clBtnFace;  // differs from the declared default, as in the chart
    TColor FPenColor = clRed;
    QColor FBackground = Qt::white;
    TKind FKind = Square;
    TCanvas::TPenStyle FPenStyle = TCanvas::psSolid;
    QString FCaption;
    QString FTitle = QStringLiteral("Título do Gráfico");
    int FBadDefault = 10;
    int FGuarded = 1;
    TSampleAxis *FXAxis;
    TSampleAxis *FYAxis;
};

class TestPropertyStream : public QObject {
    Q_OBJECT

private slots:
    void defaultsAreOmitted();
    void roundTrip();
    void valuesAreReadable();
    void wrongValuesAreIgnored_data();
    void wrongValuesAreIgnored();
    void absentPropertiesTakeDeclaredDefaults();
    void specialDoubles();
    void nullObjects();
    void readingIsBracketed();
};

void TestPropertyStream::defaultsAreOmitted()
{
    TSample sample;
    const QJsonObject json = TPropertyStream::Write(&sample);
    // Color differs from its declared default; BadDefault's default does not convert; Title and
    // the axes' labels are custom entries; nothing else is written.
    QCOMPARE(json.keys(), QStringList({QStringLiteral("BadDefault"), QStringLiteral("Color"),
                                       QStringLiteral("Title"), QStringLiteral("XAxis"),
                                       QStringLiteral("YAxis")}));
    QCOMPARE(json.value(QStringLiteral("Color")).toString(), QStringLiteral("clBtnFace"));
    QCOMPARE(json.value(QStringLiteral("XAxis")).toObject().keys(),
             QStringList({QStringLiteral("AxisLabel"), QStringLiteral("ScalePerDivision")}));
    // Not stored, read-only and Qt's own properties never appear.
    QVERIFY(!json.contains(QStringLiteral("objectName")));
    QVERIFY(!json.contains(QStringLiteral("Computed")));
    QVERIFY(!json.contains(QStringLiteral("Self")));
}

void TestPropertyStream::roundTrip()
{
    TSample source;
    source.SetBorder(false);
    source.SetMargin(-7);
    source.SetRatio(0.1 + 0.2);
    source.SetFactor(3.25f);
    source.SetColor(clSilver);
    source.SetPenColor(0x123456u);
    source.SetBackground(QColor(16, 32, 48, 128));
    source.SetKind(TSample::Diamond);
    source.SetPenStyle(TCanvas::psDashDotDot);
    source.SetCaption(QStringLiteral("Velocidade (km/h)"));
    source.SetTitle(QString());
    source.XAxis()->SetDivisionWidth(80);
    source.XAxis()->SetAxisLabel(QStringLiteral("Tempo"));
    source.YAxis()->SetScalePerDivision(2.5);
    const QJsonObject json = TPropertyStream::Write(&source);
    // Through text, as it is stored.
    const QJsonObject parsed = QJsonDocument::fromJson(QJsonDocument(json).toJson()).object();

    TSample target;
    TPropertyStream::Read(&target, parsed);
    QCOMPARE(target.Border(), false);
    QCOMPARE(target.Margin(), -7);
    QCOMPARE(target.Ratio(), 0.1 + 0.2);
    QCOMPARE(target.Factor(), 3.25f);
    QCOMPARE(target.Color(), clSilver);
    QCOMPARE(target.PenColor(), TColor(0x123456u));
    QCOMPARE(target.Background(), QColor(16, 32, 48, 128));
    QCOMPARE(target.Kind(), TSample::Diamond);
    QCOMPARE(target.PenStyle(), TCanvas::psDashDotDot);
    QCOMPARE(target.Caption(), QStringLiteral("Velocidade (km/h)"));
    QCOMPARE(target.Title(), QString());
    QCOMPARE(target.XAxis()->DivisionWidth(), 80);
    QCOMPARE(target.XAxis()->AxisLabel(), QStringLiteral("Tempo"));
    QCOMPARE(target.YAxis()->ScalePerDivision(), 2.5);
    QCOMPARE(target.YAxis()->AxisLabel(), QStringLiteral("Título do Eixo"));
    QCOMPARE(TPropertyStream::Write(&target), json);
}

void TestPropertyStream::valuesAreReadable()
{
    TSample sample;
    sample.SetKind(TSample::Circle);
    sample.SetPenStyle(TCanvas::psDash);
    sample.SetPenColor(clBlue);
    sample.SetColor(0x00C0FFEEu);
    sample.SetBackground(QColor(255, 0, 0));
    const QJsonObject json = TPropertyStream::Write(&sample);
    QCOMPARE(json.value(QStringLiteral("Kind")).toString(), QStringLiteral("Circle"));
    QCOMPARE(json.value(QStringLiteral("PenStyle")).toString(), QStringLiteral("psDash"));
    QCOMPARE(json.value(QStringLiteral("PenColor")).toString(), QStringLiteral("clBlue"));
    QCOMPARE(json.value(QStringLiteral("Color")).toString(), QStringLiteral("$00C0FFEE"));
    QCOMPARE(json.value(QStringLiteral("Background")).toString(), QStringLiteral("#ff0000"));
}

void TestPropertyStream::wrongValuesAreIgnored_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    QTest::newRow("int given text") << "Margin" << QJsonValue(QStringLiteral("12"));
    QTest::newRow("int given fraction") << "Margin" << QJsonValue(2.5);
    QTest::newRow("int out of range") << "Margin" << QJsonValue(1e12);
    QTest::newRow("bool given number") << "Border" << QJsonValue(0);
    QTest::newRow("double given bool") << "Ratio" << QJsonValue(true);
    QTest::newRow("enum unknown key") << "Kind" << QJsonValue(QStringLiteral("Hexagon"));
    QTest::newRow("enum unknown number") << "Kind" << QJsonValue(9);
    QTest::newRow("enum other enum's key") << "PenStyle" << QJsonValue(QStringLiteral("Square"));
    QTest::newRow("colour garbage") << "Color" << QJsonValue(QStringLiteral("greenish"));
    QTest::newRow("colour negative") << "Color" << QJsonValue(-5);
    QTest::newRow("qcolor garbage") << "Background" << QJsonValue(QStringLiteral("#12"));
    QTest::newRow("string given array") << "Caption" << QJsonValue(QJsonArray{1, 2});
    QTest::newRow("string given null") << "Caption" << QJsonValue(QJsonValue::Null);
    QTest::newRow("sub-object given number") << "XAxis" << QJsonValue(5);
    QTest::newRow("read-only property") << "Computed" << QJsonValue(7);
    QTest::newRow("unknown key") << "NoSuchProperty" << QJsonValue(1);
    QTest::newRow("custom entry wrong type") << "Title" << QJsonValue(3);
    QTest::newRow("setter raises") << "Guarded" << QJsonValue(-3);
    QTest::newRow("self reference") << "Self" << QJsonValue(QJsonObject{{"Margin", 99}});
}

void TestPropertyStream::wrongValuesAreIgnored()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    TSample sample;
    sample.SetCaption(QStringLiteral("kept"));
    const QJsonObject before = TPropertyStream::Write(&sample);
    QJsonObject json = before;
    json.insert(key, value);
    json.insert(QStringLiteral("BadDefault"), 5);  // a valid entry beside the bad one still applies
    TPropertyStream::Read(&sample, json);
    QCOMPARE(sample.BadDefault(), 5);
    sample.SetBadDefault(10);
    QCOMPARE(TPropertyStream::Write(&sample), before);
}

void TestPropertyStream::absentPropertiesTakeDeclaredDefaults()
{
    TSample sample;
    sample.SetMargin(3);
    sample.SetKind(TSample::Circle);
    sample.XAxis()->SetDivisionWidth(7);
    sample.SetBadDefault(1);
    TPropertyStream::Read(&sample, QJsonObject{{"Caption", "x"}});
    QCOMPARE(sample.Margin(), 10);
    QCOMPARE(sample.Kind(), TSample::Square);
    QCOMPARE(sample.Color(), clSilver);
    QCOMPARE(sample.XAxis()->DivisionWidth(), 64);
    QCOMPARE(sample.Caption(), QStringLiteral("x"));
    QCOMPARE(sample.BadDefault(), 1);  // no usable default: left alone
}

void TestPropertyStream::specialDoubles()
{
    TSample sample;
    sample.SetRatio(std::numeric_limits<double>::quiet_NaN());
    sample.SetFactor(-std::numeric_limits<float>::infinity());
    const QJsonObject json = TPropertyStream::Write(&sample);
    QCOMPARE(json.value(QStringLiteral("Ratio")).toString(), QStringLiteral("NaN"));
    QCOMPARE(json.value(QStringLiteral("Factor")).toString(), QStringLiteral("-Infinity"));
    TSample target;
    TPropertyStream::Read(&target, json);
    QVERIFY(std::isnan(target.Ratio()));
    QVERIFY(std::isinf(target.Factor()) && target.Factor() < 0);
}

void TestPropertyStream::nullObjects()
{
    QCOMPARE(TPropertyStream::Write(nullptr), QJsonObject());
    TPropertyStream::Read(nullptr, QJsonObject{{"Margin", 1}});
    TSample sample;
    const QMetaObject *meta = sample.metaObject();
    const QMetaProperty kind = meta->property(meta->indexOfProperty("Kind"));
    QCOMPARE(TPropertyStream::DeclaredDefault(meta, kind).toInt(), int(TSample::Square));
    const QMetaProperty bad = meta->property(meta->indexOfProperty("BadDefault"));
    QVERIFY(!TPropertyStream::DeclaredDefault(meta, bad).isValid());
}

void TestPropertyStream::readingIsBracketed()
{
    // Each object hears the beginning before its first property and the end after its custom
    // entries, nested objects inside; the end comes also when reading raises.
    TSample sample;
    gReadLog.clear();
    TPropertyStream::Read(&sample, QJsonObject());
    const QStringList axis = {QStringLiteral("axis begin"), QStringLiteral("axis width"),
                              QStringLiteral("axis custom"), QStringLiteral("axis end")};
    const QStringList expected = QStringList{QStringLiteral("begin")} + axis + axis +
                                 QStringList{QStringLiteral("custom"), QStringLiteral("end")};
    QCOMPARE(gReadLog, expected);
    gReadLog.clear();
    QVERIFY_THROWS_EXCEPTION(Exception,
                             TPropertyStream::Read(&sample, QJsonObject{{"Title", "raise"}}));
    QCOMPARE(gReadLog.last(), QStringLiteral("end"));
}

QTEST_MAIN(TestPropertyStream)
#include "tst_propertystream.moc"
