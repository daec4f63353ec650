#include <QApplication>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <functional>

#include "chart/vtxgraph.h"
#include "platform/exception.h"
#include "platform/printer.h"
#include "platform/recordingcanvas.h"
#include "tests/chart/recordedchart.h"

using TCall = TRecordingCanvas::TCall;
using TRun = std::function<void(TvtxGraph &, TCanvas &)>;
Q_DECLARE_METATYPE(TRun)

namespace {

// A recording canvas whose lines in blue raise, as a failing device would.
class TFailingCanvas : public TRecordingCanvas {
public:
    void LineTo(int x, int y) override
    {
        if (Pen().Color == clBlue)
            throw Exception(QStringLiteral("device failure"));
        TRecordingCanvas::LineTo(x, y);
    }
};

QPoint FirstMove(const QList<TCall> &calls)
{
    qsizetype last = -1;
    for (qsizetype i = 0; i < calls.size(); ++i)
        if (calls[i].Op == "TextOut")
            last = i;
    for (qsizetype i = last + 1; i < calls.size(); ++i)
        if (calls[i].Op == "MoveTo")
            return QPoint(calls[i].Args[0], calls[i].Args[1]);
    return QPoint(-1, -1);
}

}  // namespace

class TstChartRobustness : public QObject {
    Q_OBJECT

private slots:
    void replayRestoresStateWhenCanvasRaises_data();
    void replayRestoresStateWhenCanvasRaises();
    void repaintShowsCommandsRecordedWithoutUpdate();
    void clearRecomputesPaperScale();
    void pixelCommandsRecordedAgainstAxisDrawnWith();
    void hugePlotIsBoundedAndPaints();
    void noExceptionLeavesEventHandlers();
    void screenCallsDoNotCreatePrinter();
};

void TstChartRobustness::replayRestoresStateWhenCanvasRaises_data()
{
    QTest::addColumn<TRun>("run");
    QTest::newRow("screen replay") << TRun([](TvtxGraph &g, TCanvas &failing) {
        QVERIFY_THROWS_EXCEPTION(Exception, g.DesenhaGrafico(failing));
    });
    QTest::newRow("printed replay") << TRun([](TvtxGraph &g, TCanvas &failing) {
        g.SetPrinterCanvas(&failing);
        g.Imprime(0, 0, 4, 3);  // absorbs the failure
        g.SetPrinterCanvas(nullptr);
    });
}

void TstChartRobustness::replayRestoresStateWhenCanvasRaises()
{
    QFETCH(TRun, run);
    TRecordedChart c;
    TFailingCanvas failing;
    failing.SetPixelsPerInch(96, 96);
    TvtxGraph &g = c.graph;
    g.YAxis2()->SetScalePerDivision(2);
    g.Clear();
    g.MoveScaledTo(0, 0);
    g.SetPenColor(clBlue);
    g.SetPenWidth(3);
    g.SetPenStyle(TCanvas::psDash);
    g.SetUseSecondYAxis(true);
    g.LineScaledTo(5, 5);  // replayed in blue: the failing canvas raises there
    g.SetUseSecondYAxis(false);
    g.SetPenColor(clGreen);
    g.SetPenWidth(2);
    g.SetPenStyle(TCanvas::psSolid);
    const float scaleY = g.ScaleY();

    run(g, failing);

    QCOMPARE(g.PenColor(), clGreen);
    QCOMPARE(g.PenWidth(), 2);
    QCOMPARE(g.PenStyle(), TCanvas::psSolid);
    QVERIFY(!g.UseSecondYAxis());
    QCOMPARE(g.ScaleY(), scaleY);
    QVERIFY(!failing.HasClip());
    QVERIFY(g.ScreenEnabled());
    QVERIFY(!g.PrintFlag());
    // Commands are recorded again.
    const qsizetype size = g.Store().size();
    g.LineScaledTo(6, 6);
    QCOMPARE(g.Store().size(), size + 9);
}

void TstChartRobustness::repaintShowsCommandsRecordedWithoutUpdate()
{
    TvtxGraph g;
    g.grab();  // the image is up to date
    g.SetAtualizarControles(false);
    g.MoveScaledTo(0, 15);
    g.LineScaledTo(30, 15);
    const QImage shown = g.grab().toImage();  // a Qt repaint, not Atualiza
    QCOMPARE(shown.pixelColor(g.RealX2Canvas(15), g.RealY2Canvas(15)), QColor(Qt::red));
}

void TstChartRobustness::clearRecomputesPaperScale()
{
    TRecordingCanvas screen, paper;
    screen.SetPixelsPerInch(96, 96);
    paper.SetPixelsPerInch(600, 600);
    TvtxGraph g;
    g.SetCanvas(&screen);
    g.SetPrinterCanvas(&paper);
    g.YAxis2()->SetScalePerDivision(2);
    g.PrintGrids(0, 0, 4);
    g.SetPlotDestination(TvtxGraph::PrinterOnly);
    g.MoveScaledTo(0, 10);
    const int expectedY = paper.PenPos().y();
    g.SetPlotDestination(TvtxGraph::ScreenOnly);
    g.SetUseSecondYAxis(true);
    g.Clear();
    g.SetPlotDestination(TvtxGraph::PrinterOnly);
    g.MoveScaledTo(0, 10);
    QCOMPARE(paper.PenPos().y(), expectedY);
}

void TstChartRobustness::pixelCommandsRecordedAgainstAxisDrawnWith()
{
    TRecordedChart c;
    TvtxGraph &g = c.graph;
    g.YAxis2()->SetScalePerDivision(2);  // SecondYaxis stays false
    g.Clear();
    g.SetUseSecondYAxis(true);
    g.MoveTo(150, 100);
    QCOMPARE(c.canvas.PenPos(), QPoint(150, 100));
    QCOMPARE(FirstMove(c.Painted()), QPoint(150, 100));
}

void TstChartRobustness::hugePlotIsBoundedAndPaints()
{
    TvtxGraph g;
    g.XAxis()->SetNumberOfDivisions(10);
    g.XAxis()->SetDivisionWidth(300000000);  // 3 x 10^9 pixels
    g.CalculaDimensoes();
    QVERIFY(g.Xend() > g.Xorigin());
    QVERIFY(g.width() <= 32767);
    QCOMPARE(g.width(), g.Xorigin() + g.Xend());
    g.MoveScaledTo(0, 0);
    g.LineScaledTo(1, 1);
    QVERIFY(!g.grab().isNull());
}

void TstChartRobustness::noExceptionLeavesEventHandlers()
{
    TvtxGraph g;
    g.LineScaledTo(1, 1);
    auto raise = [](auto...) { throw Exception(QStringLiteral("handler failure")); };
    g.OnPaint = raise;
    g.OnMouseDown = raise;
    g.OnMouseUp = raise;
    g.OnMouseMove = raise;
    g.OnClick = raise;
    g.OnDblClick = raise;
    g.SetTitle(QStringLiteral("Outro"));  // the next paint event redraws, OnPaint raises
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("handler failure"));
    g.grab();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseMove, QEvent::MouseButtonDblClick}) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("handler failure"));
        if (type == QEvent::MouseButtonRelease)  // and the click
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("handler failure"));
        QMouseEvent event(type, QPointF(60, 60), QPointF(60, 60), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&g, &event);
    }
}

void TstChartRobustness::screenCallsDoNotCreatePrinter()
{
    SetPrinter(nullptr);
    TvtxGraph g;
    TRecordingCanvas recording;
    g.Paint();
    g.SymbolOut(60, 60, g.Canvas());
    g.SymbolOut(60, 60, recording);
    g.SimularDashDot(g.Canvas(), QPoint(100, 100), QPoint(60, 60));
    g.DesenhaGrafico(g.Canvas());
    g.DesenhaGrafico(recording);
    QVERIFY(!SetPrinter(nullptr));
}

QTEST_MAIN(TstChartRobustness)
#include "tst_chartrobustness.moc"
