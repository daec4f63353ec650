#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "chart/vtxgraph.h"
#include "platform/printer.h"
#include "platform/recordingcanvas.h"

using TCall = TRecordingCanvas::TCall;

namespace {

// A chart (292 x 306, plot 192 x 192 at (50, 57), fixed text metrics) printing on a recording
// canvas that stands for a printer of the given resolution.
struct TPrintedChart {
    TRecordingCanvas screen;
    TRecordingCanvas paper;
    TvtxGraph graph;

    explicit TPrintedChart(int dpi = 600)
    {
        screen.SetPixelsPerInch(96, 96);
        paper.SetPixelsPerInch(dpi, dpi);
        graph.SetCanvas(&screen);
        graph.SetPrinterCanvas(&paper);
        graph.CalculaDimensoes();
    }
};

// Offsets along x between consecutive pen positions of the dashed walk: positive for drawn
// segments, negative for gaps.
QList<int> Walk(const QList<TCall> &calls, int fromX)
{
    QList<int> steps;
    int x = fromX;
    for (const TCall &c : calls) {
        if (c.Op != "LineTo" && c.Op != "MoveTo")
            continue;
        const int d = c.Args[0] - x;
        if (d != 0)
            steps << (c.Op == "LineTo" ? d : -d);
        x = c.Args[0];
    }
    return steps;
}

}  // namespace

class TstChartPrint : public QObject {
    Q_OBJECT

private slots:
    void imprimeGeometry();
    void imprimeReplaysOnPaper();
    void imprimeAbsorbsPrinterFailure();
    void printGrids_data();
    void printGrids();
    void thickDashedPenIsSimulated();
    void thinDashedPenUsesPrinterStyle();
    void lowResolutionDashesEnd();
    void pdfOutput();
};

void TstChartPrint::imprimeGeometry()
{
    TPrintedChart c;
    c.graph.Imprime(1, 1, 4, 3);
    const QList<TCall> rects = c.paper.CallsNamed("Rectangle");
    QVERIFY(rects.size() >= 2);
    QCOMPARE(rects[0].Args, QList<int>({600, 600, 3000, 2400}));
    // The plot area scaled as on screen (192/292 of the width, 192/306 of the height) and
    // centred in the chart rectangle.
    const int ppw = int(192.0 * 2400 / 292 + 0.5), pph = int(192.0 * 1800 / 306 + 0.5);
    const QList<int> plot = rects[1].Args;
    QCOMPARE(plot[2] - plot[0], ppw);
    QCOMPARE(plot[3] - plot[1], pph);
    QVERIFY(std::abs((plot[0] - 600) - (3000 - plot[2])) <= 1);
    QVERIFY(std::abs((plot[1] - 600) - (2400 - plot[3])) <= 1);
    // Border on the chart rectangle, title above the plot area.
    const QList<TCall> lines = c.paper.CallsNamed("LineTo");
    QCOMPARE(lines[0].PenPos, QPoint(600, 2400));
    QCOMPARE(lines[0].Args, QList<int>({600, 600}));
    const TCall title = c.paper.CallsNamed("TextOut").first();
    QCOMPARE(title.Text, c.graph.Title());
    c.paper.Font() = title.Font;
    const QSize extent = c.paper.TextExtent(title.Text);
    QCOMPARE(title.Args[0], (2400 - extent.width()) / 2 + 600);
    QCOMPARE(title.Args[1], int(plot[1] - extent.height() - 5.0 * pph / 192));
    // Printer grid widths: 3 for the major grid, 1 for the minor one.
    bool major = false, minor = false;
    for (const TCall &l : lines) {
        major |= l.Pen.Color == clBlack && l.Pen.Width == 3;
        minor |= l.Pen.Color == clSilver && l.Pen.Width == 1;
    }
    QVERIFY(major && minor);
    QVERIFY(c.graph.ScreenEnabled());
    QVERIFY(!c.graph.PrintFlag());
}

void TstChartPrint::imprimeReplaysOnPaper()
{
    TPrintedChart c;
    c.graph.MoveScaledTo(0, 0);
    c.graph.LineScaledTo(30, 30);
    c.graph.SetUseSecondYAxis(true);
    c.graph.YAxis2()->SetScalePerDivision(20);
    c.graph.MoveScaledTo(0, 0);
    c.graph.LineScaledTo(30, 30);
    const QByteArray store = c.graph.Store();
    c.graph.Imprime(1, 1, 4, 3);
    const QList<int> plot = c.paper.CallsNamed("Rectangle")[1].Args;
    QList<TCall> replayed;
    for (const TCall &l : c.paper.CallsNamed("LineTo"))
        if (l.Pen.Color == clRed)
            replayed << l;
    QCOMPARE(replayed.size(), 2);
    // Left axis: 30 is the top right corner; right axis: 30 of 60 is half way up.
    QCOMPARE(replayed[0].Args, QList<int>({plot[2], plot[1]}));
    QCOMPARE(replayed[1].Args[0], plot[2]);
    QVERIFY(std::abs(replayed[1].Args[1] - (plot[1] + plot[3]) / 2) <= 1);
    QCOMPARE(replayed[0].Clip, QRegion(QRect(QPoint(plot[0], plot[1]), QPoint(plot[2], plot[3]))));
    QCOMPARE(c.graph.Store(), store);
    QVERIFY(c.graph.UseSecondYAxis());
}

void TstChartPrint::imprimeAbsorbsPrinterFailure()
{
    TvtxGraph graph;
    TCanvas noSurface;  // raises on every drawing call
    graph.SetPrinterCanvas(&noSurface);
    graph.SetPlotDestination(TvtxGraph::Both);
    graph.SetScreenEnabled(false);
    graph.Imprime(1, 1, 4, 3);
    graph.PrintGrids(0, 0, 0);
    QVERIFY(!graph.ScreenEnabled());
    QVERIFY(graph.PrintFlag());
}

void TstChartPrint::printGrids_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("2 inches") << 2.0f << 1200 << int(1200.0 * 306 / 292 + 0.5);
    QTest::newRow("screen size") << 0.0f << -1 << -1;
}

void TstChartPrint::printGrids()
{
    QFETCH(float, width);
    QFETCH(int, w);
    QFETCH(int, h);
    TPrintedChart c;
    if (w < 0) {
        // The control's size converted from screen to printer resolution.
        const double screen = c.graph.logicalDpiX();
        w = int(292 / screen * 600);
        h = int(306 / screen * 600);
    }
    c.graph.PrintGrids(0.5f, 0.25f, width);
    QVERIFY(c.paper.CallsNamed("TextOut").size() == 10);  // numbers and labels, no title
    const QList<TCall> rects = c.paper.CallsNamed("Rectangle");
    QCOMPARE(rects[0].Args, QList<int>({300, 150, 300 + w, 150 + h}));
    QVERIFY(!c.graph.PrintFlag());
}

void TstChartPrint::thickDashedPenIsSimulated()
{
    TPrintedChart c;
    c.graph.PrintGrids(0, 0, 4);
    c.graph.SetPrintFlag(true);
    c.graph.SetPrinterPenWidth(3);
    c.graph.SetPenStyle(TCanvas::psDash);
    c.graph.MoveScaledTo(0, 15);
    const QPoint start = c.paper.PenPos();
    c.paper.ClearCalls();
    c.graph.LineScaledTo(30, 15);
    const int end = c.paper.PenPos().x();
    // 4 mm dashes and 3 mm gaps at 600 dpi, drawn solid with the 3-pixel pen.
    const int dash = int(600 * 4 / 25.4 + 0.5), gap = int(600 * 3 / 25.4 + 0.5);
    const QList<int> steps = Walk(c.paper.Calls(), start.x());
    QVERIFY(steps.size() > 10);
    for (int i = 0; i + 1 < steps.size(); ++i)
        QCOMPARE(steps[i], i % 2 == 0 ? dash : -gap);
    QCOMPARE(c.paper.Calls().last().Args, QList<int>({end, start.y()}));
    for (const TCall &l : c.paper.CallsNamed("LineTo")) {
        QCOMPARE(l.Pen.Style, TCanvas::psSolid);
        QCOMPARE(l.Pen.Width, 3);
        QCOMPARE(l.Args[1], start.y());
    }
    QCOMPARE(c.paper.Pen().Style, TCanvas::psDash);
}

void TstChartPrint::thinDashedPenUsesPrinterStyle()
{
    TPrintedChart c;
    c.graph.PrintGrids(0, 0, 4);
    c.graph.SetPlotDestination(TvtxGraph::Both);
    c.graph.SetPenStyle(TCanvas::psDash);
    c.graph.MoveScaledTo(0, 15);
    c.paper.ClearCalls();
    c.graph.LineScaledTo(30, 15);
    const QList<TCall> lines = c.paper.CallsNamed("LineTo");
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].Pen.Style, TCanvas::psDash);
    QCOMPARE(lines[0].Pen.Width, 1);
}

// Under 25 dpi a 0.5 mm dot rounds to no pixel; the walk must still advance and end.
void TstChartPrint::lowResolutionDashesEnd()
{
    for (int dpi : {10, 20, 50}) {
        TRecordingCanvas canvas;
        canvas.SetPixelsPerInch(dpi, dpi);
        canvas.Pen().Style = TCanvas::psDashDotDot;
        TvtxGraph graph;
        graph.SetPrinterCanvas(&canvas);
        graph.SimularDashDot(canvas, QPoint(40, 30), QPoint(0, 0));
        const QList<TCall> calls = canvas.Calls();
        QVERIFY(!calls.isEmpty());
        QVERIFY(calls.size() <= 2 * 41);
        QCOMPARE(calls.last().Op, QStringLiteral("LineTo"));
        QCOMPARE(calls.last().Args, QList<int>({40, 30}));
    }
}

void TstChartPrint::pdfOutput()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath("chart.pdf");
    TPrinter *printer = Printer();
    printer->SetPdfOutput(pdf);
    printer->SetResolution(600);
    TvtxGraph graph;
    graph.SetPenWidth(1);
    graph.SetPrinterPenWidth(12);
    graph.MoveScaledTo(0, 0);
    graph.LineScaledTo(30, 30);
    printer->BeginDoc();
    graph.Imprime(1, 1, 4, 3);
    printer->EndDoc();
    QVERIFY(QFileInfo(pdf).size() > 1000);
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm not installed: the PDF's pixels are not checked");
    QVERIFY(QProcess::execute(pdftoppm,
                              {"-png", "-r", "50", "-singlefile", pdf, dir.filePath("page")}) == 0);
    const QImage page(dir.filePath("page.png"));
    QVERIFY(!page.isNull());
    // The red diagonal lies inside the 4 x 3 inch chart at (1, 1) inch: 50..250 x 50..200.
    int red = 0, redOutside = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor p = page.pixelColor(x, y);
            if (p.red() > 200 && p.green() < 80 && p.blue() < 80) {
                ++red;
                redOutside += x < 50 || x > 250 || y < 50 || y > 200;
            }
        }
    QVERIFY(red > 20);
    QCOMPARE(redOutside, 0);
}

QTEST_MAIN(TstChartPrint)
#include "tst_chartprint.moc"
