// Replay speed of the chart's command store against a raw QPainter polyline and QCustomPlot.
//
// For stores of 10^4, 10^5 and 10^6 LineScaledTo records (a noisy signal across the X range),
// times the replay into the control (plot area 1000 x 600), a QPainter::drawPolyline of the same
// mapped points into an image of the control's size, and a QCustomPlot replot of the same points
// into an image of that size. Best of several runs; prints a table and the ratios against the
// bars: the replay at most 1.5x the raw polyline and no slower than QCustomPlot.
//
// Usage: bench_chart_replay [--quick]   (--quick: fewer runs, sizes up to 10^5)
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "chart/vtxgraph.h"
#ifdef KESTROVA_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

namespace {

struct TSignal {
    std::vector<float> x, y;
};

// A heart-rate-like trace: slow drift, a beat and some noise, spanning X 0..100, Y 0..60.
TSignal MakeSignal(int n)
{
    std::mt19937 rng(42);
    std::normal_distribution<float> noise(0.0f, 1.5f);
    TSignal s;
    s.x.resize(size_t(n) + 1);
    s.y.resize(size_t(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const float t = 100.0f * float(i) / float(n);
        s.x[size_t(i)] = t;
        s.y[size_t(i)] = 30 + 15 * std::sin(t * 0.1f) + 8 * std::sin(t * 7.0f) + noise(rng);
    }
    return s;
}

void SetUp(TvtxGraph &graph)
{
    graph.XAxis()->SetNumberOfDivisions(10);
    graph.XAxis()->SetDivisionWidth(100);
    graph.XAxis()->SetScalePerDivision(10);
    graph.YAxis()->SetNumberOfDivisions(6);
    graph.YAxis()->SetDivisionWidth(100);
    graph.YAxis()->SetScalePerDivision(10);
    graph.CalculaDimensoes();
}

double BestMs(int runs, const std::function<void()> &work)
{
    double best = 1e300;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool quick = false;
    for (int i = 1; i < argc; ++i)
        quick |= std::strcmp(argv[i], "--quick") == 0;
    const int runs = quick ? 2 : 5;
    std::vector<int> sizes = {10000, 100000};
    if (!quick)
        sizes.push_back(1000000);

#ifndef KESTROVA_HAVE_QCUSTOMPLOT
    std::printf("QCustomPlot not found\n");
#endif
    std::printf("%9s %12s %12s %12s %10s %10s %8s\n", "records", "replay ms", "polyline ms",
                "qcp ms", "/polyline", "/qcp", "B/line");
    bool withinBars = true;
    for (const int n : sizes) {
        const TSignal s = MakeSignal(n);
        TvtxGraph graph;
        SetUp(graph);
        graph.SetAtualizarControles(false);
        graph.MoveScaledTo(s.x[0], s.y[0]);
        for (size_t i = 1; i < s.x.size(); ++i)
            graph.LineScaledTo(s.x[i], s.y[i]);
        const double bytesPerLine = double(graph.Store().size() - 9) / n;

        // The control's replay, on its own image canvas.
        graph.Paint();
        const double replay = BestMs(runs, [&] { graph.DesenhaGrafico(graph.Canvas()); });

        // The same mapped points through QPainter, clipped to the plot area.
        QPolygon points;
        points.reserve(qsizetype(s.x.size()));
        for (size_t i = 0; i < s.x.size(); ++i)
            points << QPoint(graph.RealX2Canvas(s.x[i]), graph.RealY2Canvas(s.y[i]));
        QImage raw(graph.size(), QImage::Format_RGB32);
        raw.fill(Qt::white);
        const QRect plot(QPoint(graph.Xorigin(), graph.Yend()),
                         QPoint(graph.Xend(), graph.Yorigin()));
        const double polyline = BestMs(runs, [&] {
            QPainter p(&raw);
            p.setClipRect(plot);
            p.setPen(QPen(Qt::red, 0));
            p.drawPolyline(points);
        });

        double qcp = 0;
#ifdef KESTROVA_HAVE_QCUSTOMPLOT
        QCustomPlot plotWidget;
        plotWidget.resize(graph.size());
        QVector<double> qx(qsizetype(s.x.size())), qy(qsizetype(s.y.size()));
        for (size_t i = 0; i < s.x.size(); ++i) {
            qx[qsizetype(i)] = s.x[i];
            qy[qsizetype(i)] = s.y[i];
        }
        plotWidget.addGraph();
        plotWidget.graph(0)->setData(qx, qy, true);
        plotWidget.graph(0)->setPen(QPen(Qt::red, 0));
        plotWidget.xAxis->setRange(0, 100);
        plotWidget.yAxis->setRange(0, 60);
        plotWidget.setNotAntialiasedElements(QCP::aeAll);
        QImage qcpImage(graph.size(), QImage::Format_RGB32);
        qcp = BestMs(runs, [&] {
            QCPPainter painter(&qcpImage);
            plotWidget.toPainter(&painter, qcpImage.width(), qcpImage.height());
        });
#endif
        const double perPolyline = replay / polyline;
        const double perQcp = qcp > 0 ? replay / qcp : 0;
        withinBars &= perPolyline <= 1.5 && (qcp == 0 || perQcp <= 1.0);
        std::printf("%9d %12.3f %12.3f %12.3f %10.2f %10.2f %8.2f\n", n, replay, polyline, qcp,
                    perPolyline, perQcp, bytesPerLine);
    }
    std::printf("bars (replay <= 1.5x polyline, <= QCustomPlot): %s\n",
                withinBars ? "met" : "NOT met");
    return 0;
}
