#include <QJsonDocument>
#include <QTest>

#include "chart/vtxgraph.h"
#include "platform/propertystream.h"

class TstChartStreaming : public QObject {
    Q_OBJECT

private slots:
    void defaultsOmitted();
    void roundTrip();
    void foreignJsonIgnored();
};

// Constructor values equal to the declared defaults are left out; those that differ are written.
void TstChartStreaming::defaultsOmitted()
{
    TvtxGraph graph;
    const QJsonObject json = TPropertyStream::Write(&graph);
    for (const char *omitted : {"Border", "MajorGrid", "PenColor", "PenMode", "PlotDestination",
                                "TBmargin", "UseSecondYAxis", "MinorGridDivisions", "Xorigin"})
        QVERIFY2(!json.contains(omitted), omitted);
    // clBtnFace against a declared clSilver, 5 minor divisions against 4, printer pen 1 against 0.
    QCOMPARE(json.value("Color").toString(), QStringLiteral("clBtnFace"));
    QCOMPARE(json.value("MinorXGridDivisions").toInt(), 5);
    QCOMPARE(json.value("PrinterPenWidth").toInt(), 1);
    QCOMPARE(json.value("Title").toString(), QStringLiteral("Título do Gráfico"));
    const QJsonObject x = json.value("XAxis").toObject();
    QCOMPARE(x.value("AxisLabel").toString(), QStringLiteral("Título do Eixo"));
    QVERIFY(!x.contains("DivisionWidth"));
    QCOMPARE(x.value("AxisLabelOffset").toInt(), 5);  // declared default 10
}

void TstChartStreaming::roundTrip()
{
    TvtxGraph source;
    source.SetTitle("Esteira");
    source.SetColor(clSilver);
    source.SetBorder(false);
    source.SetPenStyle(TCanvas::psDashDot);
    source.SetPenColor(clBlue);
    source.SetSecondYaxis(true);
    source.SetPlotDestination(TvtxGraph::Both);
    source.SetMinorYGridDivisions(2);
    QFont font("Arial", 14);
    font.setItalic(true);
    source.SetTitleFont(font);
    source.YAxis2()->SetAxisLabel("km/h");
    source.YAxis2()->SetOriginValue(-2.5);
    source.XAxis()->SetNumberOfDivisions(7);
    source.XAxis()->SetAxisLabel(QString());
    const QJsonObject json = TPropertyStream::Write(&source);
    QVERIFY(!json.contains("Color"));  // now the declared default

    TvtxGraph copy;
    TPropertyStream::Read(&copy, QJsonObject::fromVariantMap(json.toVariantMap()));
    QCOMPARE(copy.Title(), QStringLiteral("Esteira"));
    QCOMPARE(copy.Color(), clSilver);
    QVERIFY(!copy.Border());
    QCOMPARE(copy.PenStyle(), TCanvas::psDashDot);
    QCOMPARE(copy.PenColor(), clBlue);
    QVERIFY(copy.SecondYaxis());
    QCOMPARE(copy.PlotDestination(), TvtxGraph::Both);
    QVERIFY(copy.PrintFlag());
    QCOMPARE(copy.MinorYGridDivisions(), 2);
    QCOMPARE(copy.TitleFont().pointSize(), 14);
    QVERIFY(copy.TitleFont().italic());
    QCOMPARE(copy.YAxis2()->AxisLabel(), QStringLiteral("km/h"));
    QCOMPARE(copy.YAxis2()->OriginValue(), -2.5);
    QCOMPARE(copy.XAxis()->NumberOfDivisions(), 7);
    QCOMPARE(copy.XAxis()->AxisLabel(), QString());
    QCOMPARE(TPropertyStream::Write(&copy), json);
    // The layout follows the streamed axes, and the control is sized once reading ends.
    QCOMPARE(copy.PlotArea().Width(), 7 * 64);
    QCOMPARE(copy.size(), source.size());
}

void TstChartStreaming::foreignJsonIgnored()
{
    TvtxGraph graph;
    const QJsonObject json = QJsonDocument::fromJson(R"({"Title": 5, "Unknown": true,
        "PenStyle": "psNothing", "XAxis": {"AxisLabel": [], "DivisionWidth": "wide"}})")
                                 .object();
    TPropertyStream::Read(&graph, json);
    QCOMPARE(graph.Title(), QStringLiteral("Título do Gráfico"));
    QCOMPARE(graph.XAxis()->AxisLabel(), QStringLiteral("Título do Eixo"));
    QCOMPARE(graph.XAxis()->DivisionWidth(), 64);
    QCOMPARE(graph.PenStyle(), TCanvas::psSolid);
}

QTEST_MAIN(TstChartStreaming)
#include "tst_chartstreaming.moc"
