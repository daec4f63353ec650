#include <QTest>
#include <cmath>
#include <functional>
#include <limits>

#include "chart/vtxgraph.h"
#include "platform/recordingcanvas.h"
#include "tests/chart/recordedchart.h"

using TCall = TRecordingCanvas::TCall;
using TPlot = std::function<void(TvtxGraph &)>;
Q_DECLARE_METATYPE(TPlot)

namespace {

using TChart = TRecordedChart;

QStringList Texts(const QList<TCall> &calls)
{
    QStringList texts;
    for (const TCall &c : calls)
        if (c.Op == "TextOut")
            texts << c.Text;
    return texts;
}

// The calls after the last one named op (the replay follows the grid and annotation).
QList<TCall> After(const QList<TCall> &calls, const QString &op)
{
    qsizetype last = -1;
    for (qsizetype i = 0; i < calls.size(); ++i)
        if (calls[i].Op == op)
            last = i;
    return calls.mid(last + 1);
}

// The chart on its own image, the whole control painted.
QImage Rendered(const QByteArray &store, bool batching, int penWidth = 1, bool avx2 = true)
{
    TvtxGraph graph;
    graph.SetPenWidth(penWidth);
    graph.Clear();
    graph.SetReplayBatching(batching);
    graph.SetReplayAvx2(avx2);
    graph.SetStore(store);
    graph.Paint();
    return graph.Image();
}

}  // namespace

class TstChartPaint : public QObject {
    Q_OBJECT

private slots:
    void backgroundBorderTitleAndPlotArea();
    void annotation();
    void customAnnotationDrawsNoNumbers();
    void noMajorGridNoNumbersOrLabels();
    void bothYAxesReplayedAgainstTheirOwnAxis();
    void replayStartsFromStateAtClear();
    void designModeSampleCurve();
    void truncatedStore();
    void symbols_data();
    void symbols();
    void batchedReplaySamePixels_data();
    void batchedReplaySamePixels();
    void wideBlocksSamePixels_data();
    void wideBlocksSamePixels();
    void keptOperationsSamePixels();
    void liveDrawingMatchesRepaint();
};

void TstChartPaint::backgroundBorderTitleAndPlotArea()
{
    TChart c;
    const QList<TCall> calls = c.Painted();
    const QList<TCall> rects = c.canvas.CallsNamed("Rectangle");
    QVERIFY(rects.size() >= 2);
    QCOMPARE(rects[0].Args, QList<int>({0, 0, 292, 306}));
    QCOMPARE(rects[0].Brush.Color, clBtnFace);
    QCOMPARE(rects[1].Args, QList<int>({50, 57, 242, 249}));
    QCOMPARE(rects[1].Brush.Color, clWhite);
    const QList<TCall> lines = c.canvas.CallsNamed("LineTo");
    QCOMPARE(lines[0].PenPos, QPoint(0, 305));
    QCOMPARE(lines[0].Args, QList<int>({0, 0}));
    QCOMPARE(lines[0].Pen.Color, clBtnHighlight);
    QCOMPARE(lines[1].Args, QList<int>({291, 0}));
    QCOMPARE(lines[2].Args, QList<int>({291, 305}));
    QCOMPARE(lines[2].Pen.Color, clBtnShadow);
    QCOMPARE(lines[3].Args, QList<int>({0, 305}));
    const QList<TCall> texts = c.canvas.CallsNamed("TextOut");
    QCOMPARE(texts[0].Text, QStringLiteral("Título do Gráfico"));
    // 17 characters of 8 pixels (10-point bold), 17 pixels high, 5 above the plot area.
    QCOMPARE(texts[0].Args, QList<int>({(292 - 17 * 8) / 2, 57 - 17 - 5}));
}

void TstChartPaint::annotation()
{
    TChart c;
    const QList<TCall> calls = c.Painted();
    QStringList expected = {QStringLiteral("Título do Gráfico"), "0.0", "10.0", "20.0", "30.0",
                            QStringLiteral("Título do Eixo"),    "0.0", "10.0", "20.0", "30.0",
                            QStringLiteral("Título do Eixo")};
    QCOMPARE(Texts(calls), expected);
    const QList<TCall> texts = c.canvas.CallsNamed("TextOut");
    // X numbers centred under their grid lines, top at bottom + 1 + tic + offset.
    QCOMPARE(texts[1].Args, QList<int>({50 - 21 / 2, 249 + 1 + 10}));
    QCOMPARE(texts[2].Args, QList<int>({114 - 28 / 2, 260}));
    // X label centred (width measured in the numbers' bold font), below the tallest number.
    QCOMPARE(texts[5].Args, QList<int>({(50 + 242 - 14 * 7) / 2, 260 + 15 + 5}));
    QCOMPARE(texts[5].Font.Bold, false);
    // Y numbers right-aligned left of the tics, centred on their lines.
    QCOMPARE(texts[6].TextAlign & TCanvas::taHorizontalMask, unsigned(TCanvas::taRight));
    QCOMPARE(texts[6].Args, QList<int>({50 - 10, 249 - 15 / 2}));
    QCOMPARE(texts[9].Args, QList<int>({40, 249 - 7 - 3 * 64}));
    // Y label left-aligned at the same x, above the highest number.
    QCOMPARE(texts[10].TextAlign & TCanvas::taHorizontalMask, unsigned(TCanvas::taLeft));
    const int highest = 249 - 15 / 2 - 3 * 64;
    QCOMPARE(texts[10].Args, QList<int>({40, int(highest - 15 / 2.0 - 5)}));
    // Major grid: 4 horizontal lines from the tic to the right edge, 4 vertical ones.
    int majors = 0;
    for (const TCall &l : c.canvas.CallsNamed("LineTo"))
        if (l.Pen.Color == clBlack && l.PenPos.x() == 45 && l.Args == QList<int>({242, l.Args[1]}))
            ++majors;
    QCOMPARE(majors, 4);
}

void TstChartPaint::customAnnotationDrawsNoNumbers()
{
    TChart c;
    c.graph.YAxis()->SetUseCustomAnnotation(true);
    c.graph.XAxis()->SetUseCustomAnnotation(true);
    QCOMPARE(Texts(c.Painted()), QStringList{QStringLiteral("Título do Gráfico")});
}

void TstChartPaint::noMajorGridNoNumbersOrLabels()
{
    TChart c;
    c.graph.SetMajorGrid(false);
    c.graph.SetSecondYaxis(true);
    const int xorigin = c.graph.Xorigin();
    const QList<TCall> calls = c.Painted();
    QCOMPARE(Texts(calls), QStringList{QStringLiteral("Título do Gráfico")});
    for (const TCall &l : c.canvas.CallsNamed("LineTo"))
        QVERIFY2(l.Pen.Color != clBlack, qPrintable(l.ToString()));
    // The room for numbers and labels stays reserved.
    QCOMPARE(xorigin, 50);
    QCOMPARE(c.graph.Yend(), 57);
}

void TstChartPaint::bothYAxesReplayedAgainstTheirOwnAxis()
{
    TChart c;
    c.graph.SetSecondYaxis(true);
    c.graph.YAxis2()->SetOriginValue(100);
    c.graph.YAxis2()->SetScalePerDivision(50);
    c.graph.MoveScaledTo(0, 0);
    c.graph.LineScaledTo(10, 30);  // left axis: top
    c.graph.SetUseSecondYAxis(true);
    c.graph.MoveScaledTo(0, 100);
    c.graph.LineScaledTo(20, 150);  // right axis: one division up
    const QList<TCall> replay = After(c.Painted(), "TextOut");
    QList<QList<int>> lines;
    for (const TCall &call : replay)
        if (call.Op == "LineTo")
            lines << call.Args;
    const int yo = c.graph.Yorigin();
    const int xo = c.graph.Xorigin();
    QCOMPARE(lines, QList<QList<int>>({{xo + 64, yo - 192}, {xo + 128, yo - 64}}));
    for (const TCall &call : replay)
        if (call.Op == "LineTo")
            QCOMPARE(call.Clip, QRegion(xo, yo - 192, 193, 193));
    // The selection in force before the repaint is kept.
    QVERIFY(c.graph.UseSecondYAxis());
    QCOMPARE(c.graph.ScaleY(), float(64 / 50.0));
}

// Width and style recorded before a Clear are where a repaint starts, not the current ones.
void TstChartPaint::replayStartsFromStateAtClear()
{
    TChart c;
    c.graph.SetPenWidth(3);
    c.graph.SetPenColor(clBlue);
    c.graph.Clear();
    c.graph.MoveScaledTo(0, 0);
    c.graph.LineScaledTo(10, 10);
    c.graph.SetPenWidth(1);
    c.graph.SetPenColor(clGreen);
    c.graph.LineScaledTo(20, 20);
    QList<TCall> lines;
    for (const TCall &call : After(c.Painted(), "TextOut"))
        if (call.Op == "LineTo")
            lines << call;
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].Pen.Width, 3);
    QCOMPARE(lines[0].Pen.Color, clBlue);
    QCOMPARE(lines[1].Pen.Width, 1);
    QCOMPARE(lines[1].Pen.Color, clGreen);
    QCOMPARE(c.graph.PenColor(), clGreen);
}

void TstChartPaint::designModeSampleCurve()
{
    TChart c;
    c.graph.LineScaledTo(1, 1);
    c.graph.SetDesignMode(true);
    bool painted = false;
    c.graph.OnPaint = [&](QObject *) { painted = true; };
    const QList<TCall> tail = After(c.Painted(), "TextOut");
    QList<QList<int>> lines;
    for (const TCall &call : tail)
        if (call.Op == "LineTo")
            lines << call.Args;
    QCOMPARE(lines,
             QList<QList<int>>({{64 + 51, 58}, {96 + 51, 128 + 58}, {128 + 51, 58}, {241, 248}}));
    QVERIFY(!painted);
    c.graph.SetDesignMode(false);
    c.Painted();
    QVERIFY(painted);
}

// A store cut inside its last record replays, exports and grows as if the cut record were absent.
void TstChartPaint::truncatedStore()
{
    TChart c;
    c.graph.MoveScaledTo(0, 0);
    c.graph.LineScaledTo(10, 10);
    c.graph.LineScaledTo(20, 0);
    const QByteArray whole = c.graph.Store();
    for (int cut = 1; cut <= 8; ++cut) {
        c.graph.SetStore(QByteArray(whole.constData(), whole.size() - cut));
        QCOMPARE(c.graph.Store().size(), 18);
        int lineCount = 0;
        for (const TCall &call : After(c.Painted(), "TextOut"))
            lineCount += call.Op == "LineTo";
        QCOMPARE(lineCount, 1);
        QStringList exported;
        c.graph.getComandos(exported);
        QCOMPARE(exported.size(), 2);
        c.graph.LineScaledTo(30, 30);
        exported.clear();
        c.graph.getComandos(exported);
        QCOMPARE(exported.last(), QStringLiteral("pCanvas->LineTo(30, 30);"));
    }
}

void TstChartPaint::symbols_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QList<int>>("args");
    // Half height 6 at (100, 80): screen triangle offsets 4 and 8.
    QTest::newRow("circle") << int(TvtxGraph::Circle) << "Ellipse" << QList<int>{94, 74, 107, 87};
    QTest::newRow("square") << int(TvtxGraph::Square) << "Rectangle" << QList<int>{94, 74, 107, 87};
    QTest::newRow("up") << int(TvtxGraph::TriangleUp) << "Polygon"
                        << QList<int>{100, 72, 94, 84, 106, 84};
    QTest::newRow("down") << int(TvtxGraph::TriangleDown) << "Polygon"
                          << QList<int>{100, 88, 94, 76, 106, 76};
    QTest::newRow("diamond") << int(TvtxGraph::Diamond) << "Polygon"
                             << QList<int>{100, 74, 94, 80, 100, 86, 106, 80};
    QTest::newRow("plus") << int(TvtxGraph::Plus) << "LineTo" << QList<int>{100, 87, 106, 80};
    QTest::newRow("cross") << int(TvtxGraph::Cross) << "LineTo" << QList<int>{107, 87, 107, 73};
    QTest::newRow("star") << int(TvtxGraph::Star) << "LineTo"
                          << QList<int>{100, 87, 106, 80, 107, 87, 107, 73};
    QTest::newRow("unknown") << 9 << "LineTo" << QList<int>{};
}

void TstChartPaint::symbols()
{
    QFETCH(int, style);
    QFETCH(QString, op);
    QFETCH(QList<int>, args);
    TChart c;
    c.graph.SetSymbolStyle(TvtxGraph::TSymbolStyle(style), 6, 2, clBlue, clYellow,
                           TCanvas::bsSolid);
    c.canvas.ClearCalls();
    c.canvas.Pen().Color = clGreen;
    c.graph.SymbolOut(100, 80, c.canvas);
    QList<int> drawn;
    for (const TCall &call : c.canvas.CallsNamed(op)) {
        drawn << call.Args;
        QCOMPARE(call.Pen.Color, clBlue);
        QCOMPARE(call.Pen.Width, 2);
        QCOMPARE(call.Brush.Color, clYellow);
    }
    QCOMPARE(drawn, args);
    QCOMPARE(c.canvas.Pen().Color, clGreen);
    QCOMPARE(c.canvas.PenPos(), QPoint(100, 80));
}

void TstChartPaint::batchedReplaySamePixels_data()
{
    QTest::addColumn<TPlot>("plot");
    QTest::addColumn<int>("penWidth");
    auto wave = [](TvtxGraph &g) {
        g.MoveScaledTo(-3, 15);
        for (int i = 0; i <= 400; ++i)
            g.LineScaledTo(i * 0.08f - 1, 15 + 17 * std::sin(i * 0.13f));
    };
    QTest::newRow("thin wave, leaving the plot area") << TPlot(wave) << 1;
    QTest::newRow("thick wave") << TPlot(wave) << 4;
    QTest::newRow("colours, styles, widths, axes, symbols") << TPlot([](TvtxGraph &g) {
        g.YAxis2()->SetScalePerDivision(2);
        g.MoveScaledTo(0, 0);
        g.LineScaledTo(5, 25);
        g.SetPenColor(clBlue);
        g.LineScaledTo(10, 5);
        g.SetPenStyle(TCanvas::psDash);
        g.LineScaledTo(20, 28);
        g.SetPenStyle(TCanvas::psSolid);
        g.SetPenWidth(3);
        g.LineScaledTo(25, 2);
        g.SetUseSecondYAxis(true);
        g.SetPenWidth(1);
        g.LineScaledTo(29, 5);
        g.DrawSymbolScaled(29, 5);
        g.LineScaledTo(2, 1);
        g.SetPenColor(clNone);
        g.LineScaledTo(28, 1);
    }) << 1;
    // About a hundred records per pixel column, many right on a row boundary (6.4 y + 0.5 an
    // integer) or one float step beside it, and some NaN.
    QTest::newRow("dense, boundary values") << TPlot([](TvtxGraph &g) {
        g.MoveScaledTo(0, 15);
        for (int i = 0; i < 20000; ++i) {
            float y = (float(80 + (i * 7919) % 61) - 0.5f) / 6.4f;
            if (i % 3 == 1)
                y = std::nextafter(y, 100.0f);
            if (i % 3 == 2)
                y = std::nextafter(y, -100.0f);
            if (i % 997 == 0)
                y = std::numeric_limits<float>::quiet_NaN();
            g.LineScaledTo(30.0f * float(i) / 20000, y);
        }
    }) << 1;
    // Records are taken four at a time while they stay in one column: blocks broken at every
    // offset by a NaN or infinite y, a pen record, a step to the next column and back, and a
    // run that ends inside a block.
    QTest::newRow("dense, blocks broken at every offset") << TPlot([](TvtxGraph &g) {
        g.MoveScaledTo(0, 15);
        for (int i = 0; i < 4003; ++i) {
            float y = 15 + 9 * std::sin(i * 0.37f);
            if (i % 37 == 5)
                y = std::numeric_limits<float>::quiet_NaN();
            if (i % 53 == 7)
                y = (i % 2 ? 1 : -1) * std::numeric_limits<float>::infinity();
            if (i % 101 == 3)
                g.SetPenColor(i % 2 ? clRed : clBlue);
            const float x = 2.0f * float(i) / 4003 + (i % 29 == 11 ? 0.05f : 0.0f);
            g.LineScaledTo(x, y);
        }
    }) << 1;
    QTest::newRow("dense, every column's last block cut short") << TPlot([](TvtxGraph &g) {
        g.MoveScaledTo(0, 10);
        for (int i = 0; i < 3001; ++i)
            g.LineScaledTo(float(i / 7) * 0.1f, 10 + float(i % 13));
    }) << 1;
    QTest::newRow("far away points") << TPlot([](TvtxGraph &g) {
        g.MoveScaledTo(-1e30f, 1e30f);
        g.LineScaledTo(15, 15);
        g.LineScaledTo(3e9f, -7e8f);
        g.LineScaledTo(std::numeric_limits<float>::quiet_NaN(), 10);
        g.LineScaledTo(20, std::numeric_limits<float>::infinity());
    }) << 1;
    // Found by the fuzzer: the pen leaves a column with a span drawn and comes back to it; the
    // rows between the two visits stay empty.
    QTest::newRow("back to a column left earlier") << TPlot([](TvtxGraph &g) {
        g.MoveScaledTo(0, 25);
        g.LineScaledTo(0, 20);
        g.LineScaledTo(5, 20);
        g.LineScaledTo(0, 5);
        g.LineScaledTo(0, 2);
    }) << 1;
    // Found by the fuzzer: the run ends on a column's extreme row, reached twice (rows 67, 63,
    // 63: the repeat draws nothing, so row 63 stays empty) or left and reached again (67, 63,
    // 65, 63: row 63 is drawn as the start of 63 -> 65).
    QTest::newRow("run ends on a row reached twice") << TPlot([](TvtxGraph &g) {
        g.MoveScaledTo(0.6f, 28.1f);
        g.LineScaledTo(0.6f, 28.75f);
        g.LineScaledTo(0.65f, 28.75f);
    }) << 1;
    QTest::newRow("run ends on a row left and reached again") << TPlot([](TvtxGraph &g) {
        g.MoveScaledTo(0.6f, 28.1f);
        g.LineScaledTo(0.6f, 28.75f);
        g.LineScaledTo(0.62f, 28.45f);
        g.LineScaledTo(0.63f, 28.75f);
    }) << 1;
}

void TstChartPaint::batchedReplaySamePixels()
{
    QFETCH(TPlot, plot);
    QFETCH(int, penWidth);
    TvtxGraph source;
    source.SetAtualizarControles(false);
    source.SetPenWidth(penWidth);
    plot(source);
    const QImage batched = Rendered(source.Store(), true, penWidth);
    const QImage single = Rendered(source.Store(), false, penWidth);
    QCOMPARE(batched.size(), single.size());
    QVERIFY(batched == single);
    // The replay drew something inside the plot area.
    const TRect p = source.PlotArea();
    QVERIFY(
        batched.copy(p.Left + 1, p.Top + 1, p.Width() - 1, p.Height() - 1) !=
        Rendered(QByteArray(), true).copy(p.Left + 1, p.Top + 1, p.Width() - 1, p.Height() - 1));
}

// Runs of line records in one pixel column of every length from 0 to 40 and of some lengths
// around whole steps of blocks, each ended by cut. Records are taken four at a time on SSE2 and
// eight at a time on AVX2, in steps of up to 16 blocks, so the runs end at every offset within a
// block and within a step.
TPlot Runs(const std::function<void(TvtxGraph &, float x, int length)> &cut)
{
    return [cut](TvtxGraph &g) {
        QList<int> lengths = {63, 64, 65, 127, 128, 129, 255, 256, 257, 300};
        for (int length = 0; length <= 40; ++length)
            lengths << length;
        g.MoveScaledTo(0.5f, 15);
        for (qsizetype run = 0; run < lengths.size(); ++run) {
            const int length = lengths[run];
            const float x = 0.5f + 0.55f * float(run);
            for (int i = 0; i < length; ++i)
                g.LineScaledTo(x, 15 + 12 * std::sin(float(length * 31 + i)));
            cut(g, x, length);
        }
    };
}

void TstChartPaint::wideBlocksSamePixels_data()
{
    QTest::addColumn<TPlot>("plot");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("empty store") << TPlot([](TvtxGraph &) {});
    QTest::newRow("one record") << TPlot([](TvtxGraph &g) { g.LineScaledTo(10, 20); });
    QTest::newRow("cut by a pen colour") << Runs(
        [](TvtxGraph &g, float, int length) { g.SetPenColor(length % 2 ? clBlue : clRed); });
    QTest::newRow("cut by a Y axis")
        << Runs([](TvtxGraph &g, float, int length) { g.SetUseSecondYAxis(length % 2 == 1); });
    // A move or a symbol has a line's size and layout: the run goes on in the same column after it.
    const auto goOn = [](TvtxGraph &g, float x) {
        for (int i = 0; i < 20; ++i)
            g.LineScaledTo(x, 15 + 10 * std::cos(float(i)));
    };
    QTest::newRow("cut by a move") << Runs([goOn](TvtxGraph &g, float x, int) {
        g.MoveScaledTo(x, 3);
        goOn(g, x);
    });
    QTest::newRow("cut by a symbol") << Runs([goOn](TvtxGraph &g, float x, int) {
        g.DrawSymbolScaled(x, 20);
        goOn(g, x);
    });
    QTest::newRow("cut by a NaN y")
        << Runs([nan](TvtxGraph &g, float x, int) { g.LineScaledTo(x, nan); });
    QTest::newRow("cut by an infinite y") << Runs(
        [inf](TvtxGraph &g, float x, int length) { g.LineScaledTo(x, length % 2 ? inf : -inf); });
    QTest::newRow("cut by the next column and back") << Runs([](TvtxGraph &g, float x, int) {
        g.LineScaledTo(x + 0.3f, 15);
        g.LineScaledTo(x, 16);
    });
    for (int tail = 0; tail <= 8; ++tail)
        QTest::addRow("store ends %d records after whole blocks", tail)
            << TPlot([tail](TvtxGraph &g) {
                   g.MoveScaledTo(5, 15);
                   for (int i = 0; i < 8 * 15 + tail; ++i)
                       g.LineScaledTo(5, 15 + 12 * std::sin(float(i)));
               });
}

// The AVX2 walk, the SSE2 walk and the line-by-line replay set the same pixels.
void TstChartPaint::wideBlocksSamePixels()
{
    QFETCH(TPlot, plot);
    TvtxGraph source;
    source.SetAtualizarControles(false);
    plot(source);
    const QImage wide = Rendered(source.Store(), true, 1, true);
    QVERIFY(wide == Rendered(source.Store(), true, 1, false));
    QVERIFY(wide == Rendered(source.Store(), false));
    if (!source.Store().isEmpty())
        QVERIFY(wide != Rendered(QByteArray(), true));
}

// Repaints that find the pixel operations of the previous replay (as they are, with records
// appended to the run, after a layout change, after the store was cut) draw what a replay one
// line at a time draws.
void TstChartPaint::keptOperationsSamePixels()
{
    TvtxGraph kept, single;
    single.SetReplayBatching(false);
    const QList<TPlot> steps = {
        [](TvtxGraph &g) {
            g.SetAtualizarControles(false);
            g.MoveScaledTo(0, 15);
            for (int i = 0; i < 3000; ++i)
                g.LineScaledTo(i * 0.01f, 15 + 10 * std::sin(i * 0.05f));
        },
        [](TvtxGraph &) {},
        [](TvtxGraph &g) {
            for (int i = 3000; i < 6000; ++i)
                g.LineScaledTo(i * 0.005f, 15 + 10 * std::cos(i * 0.05f));
        },
        [](TvtxGraph &g) { g.YAxis()->SetScalePerDivision(7); },
        [](TvtxGraph &g) { g.SetStore(g.Store().left(9 * 2000)); },
    };
    for (qsizetype i = 0; i < steps.size(); ++i) {
        steps[i](kept);
        steps[i](single);
        kept.Paint();
        single.Paint();
        QVERIFY2(kept.Image() == single.Image(), qPrintable(QString::number(i)));
    }
}

// What the commands draw at once is what a later repaint draws from the store.
void TstChartPaint::liveDrawingMatchesRepaint()
{
    TvtxGraph graph;
    graph.Paint();
    graph.MoveScaledTo(0, 0);
    for (int i = 1; i <= 60; ++i)
        graph.LineScaledTo(i * 0.5f, 15 + 14 * std::cos(i * 0.3f));
    graph.SetPenWidth(2);
    graph.SetPenColor(clBlue);
    graph.LineScaledTo(0, 30);
    graph.DrawSymbolScaled(0, 30);
    const QImage live = graph.Image();
    graph.Paint();
    if (graph.Image() != live) {
        live.save("/tmp/live.png");
        graph.Image().save("/tmp/repaint.png");
    }
    QVERIFY(graph.Image() == live);
}

QTEST_MAIN(TstChartPaint)
#include "tst_chartpaint.moc"
