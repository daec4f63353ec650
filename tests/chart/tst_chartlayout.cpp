#include <QTest>

#include "chart/axis.h"
#include "chart/chartlayout.h"

class TstChartLayout : public QObject {
    Q_OBJECT

private slots:
    void placesPlotInsideMargins_data();
    void placesPlotInsideMargins();
    void mappingRoundTrip();
};

void TstChartLayout::placesPlotInsideMargins_data()
{
    QTest::addColumn<int>("divisions");
    QTest::addColumn<int>("divisionWidth");
    QTest::addColumn<qint64>("margin");
    QTest::addColumn<int>("plotWidth");
    QTest::addColumn<int>("origin");
    QTest::newRow("plain") << 3 << 64 << qint64(40) << 192 << 42;
    QTest::newRow("zero-width divisions") << 3 << 0 << qint64(40) << 0 << 42;
    QTest::newRow("product past int") << 100000 << 100000 << qint64(40) << 16384 << 42;
    QTest::newRow("margin past int") << 3 << 64 << (qint64(1) << 40) << 192 << 4098;
}

// The plot starts after the larger margin (+2) and spans divisions x width, both bounded.
void TstChartLayout::placesPlotInsideMargins()
{
    QFETCH(int, divisions);
    QFETCH(int, divisionWidth);
    QFETCH(qint64, margin);
    QFETCH(int, plotWidth);
    QFETCH(int, origin);
    TAxis x(TAxis::XAxisKind), y(TAxis::LeftYAxisKind);
    x.SetNumberOfDivisions(divisions);
    x.SetDivisionWidth(divisionWidth);
    TChartLayout layout;
    layout.Compute(x, y, y, TChartLayout::TMargins{10, 20, margin, 5});
    QCOMPARE(layout.PlotWidth(), plotWidth);
    QCOMPARE(layout.Xorigin(), origin);
    QCOMPARE(layout.Xend(), origin + plotWidth);
    QCOMPARE(layout.Yend(), 22);
    QCOMPARE(layout.ControlSize(), QSize(2 * origin + plotWidth, 44 + layout.PlotHeight()));
}

// Every pixel of the plot area maps to real values that map back to it.
void TstChartLayout::mappingRoundTrip()
{
    TAxis x(TAxis::XAxisKind), y(TAxis::LeftYAxisKind), y2(TAxis::RightYAxisKind);
    x.SetOriginValue(-3.5);
    y2.SetScalePerDivision(2.5);
    y2.SetOriginValue(100);
    TChartLayout layout;
    layout.Compute(x, y, y2, TChartLayout::TMargins{10, 10, 30, 0});
    for (int px = layout.Xorigin(); px <= layout.Xend(); ++px) {
        for (int py = layout.Yend(); py <= layout.Yorigin(); py += 7) {
            float rx, ry;
            int dx, dy;
            layout.GetValues(px, py, x, y, y2, rx, ry, dx, dy);
            QCOMPARE(layout.MapX(rx, x.OriginValue()), px);
            QCOMPARE(layout.MapY(ry, y2.OriginValue()), py);
        }
    }
}

QTEST_MAIN(TstChartLayout)
#include "tst_chartlayout.moc"
