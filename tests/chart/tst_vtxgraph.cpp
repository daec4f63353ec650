#include <QTest>
#include <functional>

#include "chart/vtxgraph.h"
#include "platform/recordingcanvas.h"
#include "tests/chart/recordedchart.h"

using TCommand = std::function<void(TvtxGraph &)>;
Q_DECLARE_METATYPE(TCommand)

namespace {

using TChart = TRecordedChart;

}  // namespace

class TstVtxGraph : public QObject {
    Q_OBJECT

private slots:
    void defaultLayout();
    void margins_data();
    void margins();
    void divisionsNeverZero();
    void mapping();
    void getValues_data();
    void getValues();
    void getValuesZeroDivisionWidth();
    void recordBytes_data();
    void recordBytes();
    void xorLineNotRecordedAndOneShot();
    void nothingRecordedWhileScreenDisabled();
    void negativePenWidth();
    void clearEmptiesStoreAndSelectsFirstAxis();
    void plotDestination();
};

void TstVtxGraph::defaultLayout()
{
    TChart c;
    const TRect plot = c.graph.PlotArea();
    QCOMPARE(plot.Width(), 192);
    QCOMPARE(plot.Height(), 192);
    // Left: widest Y number "30.0" (4 x 7) + offset 5 + LRmargin 10 + tic 5, plus 2.
    QCOMPARE(c.graph.Xorigin(), 50);
    // Top: the bottom margin wins: X numbers 15 + 5, TBmargin 10, label 15 + 5, tic 5 = 55.
    QCOMPARE(c.graph.Yend(), 57);
    QCOMPARE(c.graph.Xend(), 50 + 192);
    QCOMPARE(c.graph.Yorigin(), 57 + 192);
    // Equal margins on both sides: the control sizes itself around the plot area.
    QCOMPARE(c.graph.width(), 50 + 242);
    QCOMPARE(c.graph.height(), 57 + 249);
    c.graph.resize(600, 600);
    c.graph.CalculaDimensoes();
    QCOMPARE(c.graph.size(), QSize(292, 306));
    QCOMPARE(c.graph.Image().size(), QSize(292, 306));
}

// Rows: title, X annotation custom, X label, Y custom, second axis -> Xorigin, Yend.
void TstVtxGraph::margins_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("xCustom");
    QTest::addColumn<QString>("xLabel");
    QTest::addColumn<bool>("yCustom");
    QTest::addColumn<bool>("second");
    QTest::addColumn<int>("xorigin");
    QTest::addColumn<int>("yend");
    // Bottom margin without numbers or label: TBmargin 10 + tic 5 = 15.
    QTest::newRow("title wins") << "T" << true << "" << false << false << 50 << 17 + 5 + 10 + 2;
    QTest::newRow("empty title: TBmargin only")
        << "" << true << "" << false << false << 50 << 15 + 2;
    QTest::newRow("custom Y annotation") << "" << true << "" << true << false << 10 + 5 + 2 << 17;
    // The right axis (same numbers as the left) is as wide; the larger side counts.
    QTest::newRow("second axis") << "" << true << "" << true << true << 50 << 17;
}

void TstVtxGraph::margins()
{
    QFETCH(QString, title);
    QFETCH(bool, xCustom);
    QFETCH(QString, xLabel);
    QFETCH(bool, yCustom);
    QFETCH(bool, second);
    QFETCH(int, xorigin);
    QFETCH(int, yend);
    TChart c;
    c.graph.SetTitle(title);
    c.graph.XAxis()->SetUseCustomAnnotation(xCustom);
    c.graph.XAxis()->SetAxisLabel(xLabel);
    c.graph.YAxis()->SetUseCustomAnnotation(yCustom);
    c.graph.SetSecondYaxis(second);
    QCOMPARE(c.graph.Xorigin(), xorigin);
    QCOMPARE(c.graph.Yend(), yend);
    QCOMPARE(c.graph.width(), 2 * xorigin + 192);
    QCOMPARE(c.graph.height(), 2 * yend + 192);
}

void TstVtxGraph::divisionsNeverZero()
{
    TChart c;
    c.graph.XAxis()->SetNumberOfDivisions(0);
    c.graph.YAxis()->SetNumberOfDivisions(-4);
    QCOMPARE(c.graph.PlotArea().Width(), 64);
    QCOMPARE(c.graph.PlotArea().Height(), 4 * 64);
}

void TstVtxGraph::mapping()
{
    TChart c;
    c.graph.XAxis()->SetOriginValue(-5);
    c.graph.YAxis2()->SetOriginValue(100);
    c.graph.YAxis2()->SetScalePerDivision(50);
    // 6.4 pixels per unit on both default axes.
    QCOMPARE(c.graph.RealX2Canvas(-5), 50);
    QCOMPARE(c.graph.RealX2Canvas(0), 50 + 32);
    // Truncation toward zero, not floor: -0.64 + 0.5 -> 0, -1.92 + 0.5 -> -1.
    QCOMPARE(c.graph.RealX2Canvas(-5.1f), 50);
    QCOMPARE(c.graph.RealX2Canvas(-5.3f), 49);
    QCOMPARE(c.graph.RealY2Canvas(30), 249 - 192);
    QCOMPARE(c.graph.RealY2Canvas(0.1f), 249 - 1);
    c.graph.SetUseSecondYAxis(true);
    // Second axis: 64 pixels per 50 units from 100.
    QCOMPARE(c.graph.RealY2Canvas(150), 249 - 64);
    QCOMPARE(c.graph.RealY2Canvas(100), 249);
    QVERIFY(c.graph.CursorInPlotArea(50, 57));
    QVERIFY(c.graph.CursorInPlotArea(242, 249));
    QVERIFY(!c.graph.CursorInPlotArea(243, 249));
}

void TstVtxGraph::getValues_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("inside");
    QTest::newRow("left edge") << QPoint(50, 100) << true;
    QTest::newRow("one left") << QPoint(49, 100) << false;
    QTest::newRow("right edge") << QPoint(242, 100) << true;
    QTest::newRow("one right") << QPoint(243, 100) << false;
    QTest::newRow("top edge") << QPoint(100, 57) << true;
    QTest::newRow("one above") << QPoint(100, 56) << false;
    QTest::newRow("bottom edge") << QPoint(100, 249) << true;
    QTest::newRow("one below") << QPoint(100, 250) << false;
}

void TstVtxGraph::getValues()
{
    QFETCH(QPoint, pixel);
    QFETCH(bool, inside);
    TChart c;
    c.graph.XAxis()->SetOriginValue(1);
    c.graph.YAxis()->SetOriginValue(2);
    float rx = -1, ry = -1;
    int dx = 0, dy = 0;
    c.graph.GetValues(pixel.x(), pixel.y(), rx, ry, dx, dy);
    QCOMPARE(dx, pixel.x() - 50);
    QCOMPARE(dy, 249 - pixel.y());
    if (inside) {
        QCOMPARE(rx, float(float(dx / 64.0) * 10.0 + 1));
        QCOMPARE(ry, float(float(dy / 64.0) * 10.0 + 2));
    } else {
        QCOMPARE(rx, 0.0f);
        QCOMPARE(ry, 0.0f);
    }
}

// A zero division width is accepted by the axis; reading values must not divide by it.
void TstVtxGraph::getValuesZeroDivisionWidth()
{
    TChart c;
    c.graph.XAxis()->SetOriginValue(7);
    c.graph.YAxis()->SetDivisionWidth(0);
    QCOMPARE(c.graph.PlotArea().Height(), 0);
    float rx = -1, ry = -1;
    int dx = 0, dy = 0;
    const int y = c.graph.Yorigin();
    c.graph.GetValues(c.graph.Xorigin() + 64, y, rx, ry, dx, dy);
    QCOMPARE(rx, 17.0f);
    QCOMPARE(ry, 0.0f);
    QVERIFY(std::isfinite(ry));
    c.graph.XAxis()->SetDivisionWidth(0);
    c.graph.GetValues(c.graph.Xorigin(), y, rx, ry, dx, dy);
    QCOMPARE(rx, 0.0f);
}

void TstVtxGraph::recordBytes_data()
{
    QTest::addColumn<TCommand>("command");
    QTest::addColumn<QByteArray>("bytes");
    // 10.0 = 0x41200000, 20.0 = 0x41a00000, 0.0 = 0.
    QTest::newRow("MoveScaledTo") << TCommand([](TvtxGraph &g) { g.MoveScaledTo(10, 20); })
                                  << QByteArray::fromHex("01 00002041 0000a041");
    QTest::newRow("LineScaledTo") << TCommand([](TvtxGraph &g) { g.LineScaledTo(10, 20); })
                                  << QByteArray::fromHex("02 00002041 0000a041");
    // Pixel (50 + 64, 249 - 128) is real (10, 20).
    QTest::newRow("MoveTo") << TCommand([](TvtxGraph &g) { g.MoveTo(114, 121); })
                            << QByteArray::fromHex("01 00002041 0000a041");
    QTest::newRow("LineTo") << TCommand([](TvtxGraph &g) { g.LineTo(114, 121); })
                            << QByteArray::fromHex("02 00002041 0000a041");
    QTest::newRow("MoveTo outside") << TCommand([](TvtxGraph &g) { g.MoveTo(5, 5); })
                                    << QByteArray::fromHex("01 00000000 00000000");
    QTest::newRow("DrawSymbolScaled") << TCommand([](TvtxGraph &g) { g.DrawSymbolScaled(10, 20); })
                                      << QByteArray::fromHex("0a 00002041 0000a041");
    QTest::newRow("DrawSymbol") << TCommand([](TvtxGraph &g) { g.DrawSymbol(114, 121); })
                                << QByteArray::fromHex("0a 00002041 0000a041");
    QTest::newRow("second axis on, off") << TCommand([](TvtxGraph &g) {
        g.SetUseSecondYAxis(true);
        g.SetUseSecondYAxis(true);
        g.SetUseSecondYAxis(false);
    }) << QByteArray::fromHex("06 05");
    QTest::newRow("PenColor") << TCommand([](TvtxGraph &g) { g.SetPenColor(0x00804020); })
                              << QByteArray::fromHex("07 20408000");
    QTest::newRow("PenStyle") << TCommand([](TvtxGraph &g) { g.SetPenStyle(TCanvas::psDot); })
                              << QByteArray::fromHex("08 02");
    QTest::newRow("PenWidth") << TCommand([](TvtxGraph &g) { g.SetPenWidth(3); })
                              << QByteArray::fromHex("09 03000000");
    QTest::newRow("PenMode not recorded")
        << TCommand([](TvtxGraph &g) { g.SetPenMode(TCanvas::pmXor); }) << QByteArray();
    QTest::newRow("SetSymbolStyle") << TCommand([](TvtxGraph &g) {
        g.SetSymbolStyle(TvtxGraph::Diamond, 7, 2, clBlue, clYellow, TCanvas::bsCross);
    }) << QByteArray::fromHex("0b 04 02000000 0000ff00 ffff0000 06 07000000");
    QTest::newRow("PolyLineScaled") << TCommand([](TvtxGraph &g) {
        g.PolyLineScaled({QPoint(10, 20), QPoint(20, 10)});
    }) << QByteArray::fromHex("01 00002041 0000a041 02 0000a041 00002041");
    QTest::newRow("PolySymbolScaled joined") << TCommand([](TvtxGraph &g) {
        g.PolySymbolScaled({QPoint(10, 20), QPoint(20, 10)}, true);
    })
                                             << QByteArray::fromHex(
                                                    "01 00002041 0000a041 02 0000a041 00002041 "
                                                    "0a 00002041 0000a041 0a 0000a041 00002041");
    QTest::newRow("PolySymbol apart")
        << TCommand([](TvtxGraph &g) { g.PolySymbol({QPoint(114, 121)}, false); })
        << QByteArray::fromHex("0a 00002041 0000a041");
}

void TstVtxGraph::recordBytes()
{
    QFETCH(TCommand, command);
    QFETCH(QByteArray, bytes);
    TChart c;
    command(c.graph);
    QCOMPARE(c.graph.Store().toHex(' '), bytes.toHex(' '));
}

void TstVtxGraph::xorLineNotRecordedAndOneShot()
{
    TChart c;
    c.graph.SetAtualizarControles(true);
    c.graph.MoveScaledTo(0, 0);
    const QByteArray before = c.graph.Store();
    c.canvas.ClearCalls();
    c.graph.SetPenMode(TCanvas::pmXor);
    c.graph.LineScaledTo(10, 10);
    QCOMPARE(c.graph.Store(), before);
    QCOMPARE(c.graph.PenMode(), TCanvas::pmCopy);
    c.graph.LineScaledTo(20, 20);
    const QList<TRecordingCanvas::TCall> lines = c.canvas.CallsNamed("LineTo");
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].Pen.Mode, TCanvas::pmXor);
    QCOMPARE(lines[1].Pen.Mode, TCanvas::pmCopy);
    QCOMPARE(c.graph.Store().size(), before.size() + 9);
    // A move under xor is not recorded either, and does not end the xor mode.
    c.graph.SetPenMode(TCanvas::pmXor);
    c.graph.MoveScaledTo(5, 5);
    QCOMPARE(c.graph.Store().size(), before.size() + 9);
    QCOMPARE(c.graph.PenMode(), TCanvas::pmXor);
}

void TstVtxGraph::nothingRecordedWhileScreenDisabled()
{
    TChart c;
    c.graph.SetScreenEnabled(false);
    c.canvas.ClearCalls();
    c.graph.MoveScaledTo(1, 1);
    c.graph.LineScaledTo(2, 2);
    c.graph.SetPenColor(clBlue);
    c.graph.SetPenWidth(4);
    c.graph.DrawSymbolScaled(3, 3);
    QVERIFY(c.graph.Store().isEmpty());
    QVERIFY(c.canvas.Calls().isEmpty());
    // The axis selection is recorded whatever the destination: later lines drawn on screen
    // must replay against the axis they were drawn with.
    c.graph.SetUseSecondYAxis(true);
    QCOMPARE(c.graph.Store(), QByteArray::fromHex("06"));
    c.graph.Clear();
    QCOMPARE(c.graph.PenColor(), clBlue);
    QCOMPARE(c.graph.PenWidth(), 4);
    // Record only: no drawing, but recorded.
    c.graph.SetScreenEnabled(true);
    c.graph.SetAtualizarControles(false);
    c.graph.LineScaledTo(2, 2);
    QVERIFY(c.canvas.CallsNamed("LineTo").isEmpty());
    QCOMPARE(c.graph.Store().size(), 9);
}

void TstVtxGraph::negativePenWidth()
{
    TChart c;
    c.graph.SetPenWidth(-3);
    QCOMPARE(c.graph.PenWidth(), 3);
    QCOMPARE(c.graph.Store(), QByteArray::fromHex("09 fdffffff"));
}

void TstVtxGraph::clearEmptiesStoreAndSelectsFirstAxis()
{
    TChart c;
    c.graph.YAxis2()->SetScalePerDivision(100);
    c.graph.SetUseSecondYAxis(true);
    c.graph.LineScaledTo(1, 1);
    QCOMPARE(c.graph.ScaleY(), 0.64f);
    c.graph.Clear();
    QVERIFY(c.graph.Store().isEmpty());
    QVERIFY(!c.graph.UseSecondYAxis());
    QCOMPARE(c.graph.ScaleY(), 6.4f);
    QStringList lines;
    c.graph.getComandos(lines);
    QVERIFY(lines.isEmpty());
}

void TstVtxGraph::plotDestination()
{
    TChart c;
    c.graph.SetPlotDestination(TvtxGraph::PrinterOnly);
    QVERIFY(!c.graph.ScreenEnabled());
    QVERIFY(c.graph.PrintFlag());
    c.graph.SetPlotDestination(TvtxGraph::Both);
    QVERIFY(c.graph.ScreenEnabled());
    QVERIFY(c.graph.PrintFlag());
    c.graph.SetPlotDestination(TvtxGraph::ScreenOnly);
    QVERIFY(c.graph.ScreenEnabled());
    QVERIFY(!c.graph.PrintFlag());
}

QTEST_MAIN(TstVtxGraph)
#include "tst_vtxgraph.moc"
