// Replay speed of the chart's command store against a raw QPainter polyline and QCustomPlot.
//
// For stores of 10^4 ... 10^7 LineScaledTo records (a noisy signal across the X range), times
// the replay into the control (plot area 1000 x 600), a QPainter::drawPolyline of the same mapped
// points into an image of the control's size, (up to 10^6) a QCustomPlot replot of the same
// points into an image of that size, and the memory floor: one read of the store's bytes (their
// sum), what any replay must at least cost. Medians of several runs in this process; prints a
// table and checks the bars: the replay at most 0.5x QCustomPlot (10^4 ... 10^6) and at most 1.5x
// the raw polyline at every size, 10^7 records in at most 100 ms, 9 bytes a line record; the
// cold replay of 10^6 records at most 0.3x QCustomPlot, and of 10^6 and 10^7 records at most 3x
// the floor.
//
// Exits 1, saying why, when a bar is missed or a baseline is missing (QCustomPlot is Debian's
// libqcustomplot-dev, which `scripts/setup.sh bench` installs).
//
// Usage: bench_chart_replay [--quick]   (--quick: sizes up to 10^5)
//        bench_chart_replay --profile N     (N records replayed 50 times, no baselines: for perf)
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

#ifdef KESTROVA_HAVE_QCUSTOMPLOT
// The sum of the bytes, read once front to back in 8-byte words (four sums, so that the reads,
// not the additions, set the pace).
quint64 SumOfBytes(const QByteArray &bytes)
{
    const char *p = bytes.constData();
    const qsizetype words = bytes.size() / 8;
    quint64 s[4] = {0, 0, 0, 0};
    qsizetype i = 0;
    for (; i + 4 <= words; i += 4) {
        for (int k = 0; k < 4; ++k) {
            quint64 w;
            std::memcpy(&w, p + 8 * (i + k), 8);
            s[k] += w;
        }
    }
    for (; i < words; ++i) {
        quint64 w;
        std::memcpy(&w, p + 8 * i, 8);
        s[0] += w;
    }
    for (qsizetype b = words * 8; b < bytes.size(); ++b)
        s[1] += quint8(p[b]);
    return s[0] + s[1] + s[2] + s[3];
}
#endif

double MedianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

TSignal Recorded(TvtxGraph &graph, int n)
{
    TSignal s = MakeSignal(n);
    SetUp(graph);
    graph.SetAtualizarControles(false);
    graph.MoveScaledTo(s.x[0], s.y[0]);
    for (size_t i = 1; i < s.x.size(); ++i)
        graph.LineScaledTo(s.x[i], s.y[i]);
    graph.Paint();
    return s;
}

int Profile(int n)
{
    TvtxGraph graph;
    Recorded(graph, std::max(n, 1));
    const QByteArray bytes = graph.Store();
    std::vector<double> ms;
    for (int r = 0; r < 50; ++r) {
        graph.SetStore(bytes);  // nothing kept from the previous replay
        ms.push_back(MedianMs(1, [&] { graph.DesenhaGrafico(graph.Canvas()); }));
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%d records: cold replay %.3f ms (median of 50)\n", n, ms[25]);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        quick |= std::strcmp(argv[i], "--quick") == 0;
        if (std::strcmp(argv[i], "--profile") == 0 && i + 1 < argc)
            return Profile(std::atoi(argv[i + 1]));
    }
#ifndef KESTROVA_HAVE_QCUSTOMPLOT
    (void)quick;
    std::printf(
        "FAIL: QCustomPlot (libqcustomplot-dev) was not found when this benchmark was "
        "built, so the replay has no baseline to be measured against; install it "
        "(scripts/setup.sh bench) and build again\n");
    return 1;
#else
    constexpr int kQcpLimit = 1000000;  // QCustomPlot is compared up to this size
    const int runs = 7;
    std::vector<int> sizes = {10000, 100000};
    if (!quick) {
        sizes.push_back(1000000);
        sizes.push_back(10000000);
    }
    std::printf("medians of %d runs\n", runs);
    std::printf("%9s %10s %10s %9s %12s %10s %10s %10s %10s %10s %7s\n", "records", "repaint ms",
                "cold ms", "floor ms", "polyline ms", "qcp ms", "cold/floor", "cold/poly",
                "cold/qcp", "repaint/qcp", "B/line");
    QStringList failures;
    for (const int n : sizes) {
        TvtxGraph graph;
        const TSignal s = Recorded(graph, n);
        const double bytesPerLine = double(graph.Store().size() - 9) / n;

        // The control's replay, on its own image canvas: a repaint, which finds the pixel
        // operations of the previous replay, and a cold replay after the store was set anew
        // (nothing kept: every record decoded and mapped).
        const double replay = MedianMs(runs, [&] { graph.DesenhaGrafico(graph.Canvas()); });
        // The floor is read just before each cold replay, in the same state of the caches.
        const QByteArray bytes = graph.Store();
        std::vector<double> colds, floors;
        quint64 sum = 0;
        for (int r = 0; r < runs; ++r) {
            graph.SetStore(bytes);
            floors.push_back(MedianMs(1, [&] { sum += SumOfBytes(graph.Store()); }));
            colds.push_back(MedianMs(1, [&] { graph.DesenhaGrafico(graph.Canvas()); }));
        }
        std::sort(colds.begin(), colds.end());
        std::sort(floors.begin(), floors.end());
        const double cold = colds[colds.size() / 2], floor = floors[floors.size() / 2];
        if (sum == 42)  // keeps the sums from being left out
            std::printf(" ");

        // The same mapped points through QPainter, clipped to the plot area.
        QPolygon points;
        points.reserve(qsizetype(s.x.size()));
        for (size_t i = 0; i < s.x.size(); ++i)
            points << QPoint(graph.RealX2Canvas(s.x[i]), graph.RealY2Canvas(s.y[i]));
        QImage raw(graph.size(), QImage::Format_RGB32);
        raw.fill(Qt::white);
        const QRect plot(QPoint(graph.Xorigin(), graph.Yend()),
                         QPoint(graph.Xend(), graph.Yorigin()));
        const double polyline = MedianMs(n > kQcpLimit ? 5 : runs, [&] {
            QPainter p(&raw);
            p.setClipRect(plot);
            p.setPen(QPen(Qt::red, 0));
            p.drawPolyline(points);
        });

        double qcp = 0;
        if (n <= kQcpLimit) {
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
            qcp = MedianMs(runs, [&] {
                QCPPainter painter(&qcpImage);
                plotWidget.toPainter(&painter, qcpImage.width(), qcpImage.height());
            });
        }
        // The bars hold for the cold replay (the slower one).
        const double slower = std::max(replay, cold);
        const double perPolyline = slower / polyline;
        const double perQcp = qcp > 0 ? slower / qcp : 0;
        if (perPolyline > 1.5)
            failures << QStringLiteral("%1 records: replay %2x the polyline (bar 1.5x)")
                            .arg(n)
                            .arg(perPolyline, 0, 'f', 2);
        if (qcp > 0 && perQcp > 0.5)
            failures << QStringLiteral("%1 records: replay %2x QCustomPlot (bar 0.5x)")
                            .arg(n)
                            .arg(perQcp, 0, 'f', 2);
        if (n >= 1000000 && cold > 3 * floor)
            failures << QStringLiteral("%1 records: cold replay %2x the memory floor (bar 3x)")
                            .arg(n)
                            .arg(cold / floor, 0, 'f', 2);
        if (n == 1000000 && qcp > 0 && cold > 0.3 * qcp)
            failures << QStringLiteral("%1 records: cold replay %2x QCustomPlot (bar 0.3x)")
                            .arg(n)
                            .arg(cold / qcp, 0, 'f', 2);
        if (n >= 10000000 && slower > 100)
            failures << QStringLiteral("%1 records: replay %2 ms (bar 100 ms)")
                            .arg(n)
                            .arg(slower, 0, 'f', 1);
        if (bytesPerLine != 9)
            failures
                << QStringLiteral("%1 records: %2 bytes a line (bar 9)").arg(n).arg(bytesPerLine);
        if (qcp > 0)
            std::printf("%9d %10.3f %10.3f %9.3f %12.3f %10.3f %10.2f %10.3f %10.3f %10.3f %7.2f\n",
                        n, replay, cold, floor, polyline, qcp, cold / floor, perPolyline,
                        cold / qcp, replay / qcp, bytesPerLine);
        else
            std::printf("%9d %10.3f %10.3f %9.3f %12.3f %10s %10.2f %10.3f %10s %10s %7.2f\n", n,
                        replay, cold, floor, polyline, "-", cold / floor, perPolyline, "-", "-",
                        bytesPerLine);
        std::fflush(stdout);
    }
    if (!failures.isEmpty()) {
        for (const QString &f : failures)
            std::printf("FAIL: %s\n", qPrintable(f));
        return 1;
    }
    std::printf(
        "bars (replay <= 0.5x QCustomPlot, <= 1.5x polyline, 10^7 in <= 100 ms, 9 B a line; "
        "cold replay of 10^6 <= 0.3x QCustomPlot, of 10^6 and 10^7 <= 3x the floor): met\n");
    return 0;
#endif
}
