// The canvas' exact shapes against QPainter: an arc, ellipse, pie, chord and rounded rectangle of
// 50, 300 and 1,000 pixels, each drawn by TCanvas on its image and, in the same run, by QPainter's
// non-antialiased drawArc / drawEllipse / drawPie / drawChord / drawRoundedRect (1-pixel pen,
// solid brush) into a same-size QImage through one painter kept open (the painter's cheapest
// use). The two are timed in turns; medians of several rounds, each round drawing a shape often
// enough to take about 2 ms. Bar: TCanvas at most 2x QPainter for every shape and size; prints
// "ok" or "MISSED" per row and exits 1 when any is missed.
//
// Usage: bench_canvas_shapes [--quick]          (--quick: fewer rounds)
//        bench_canvas_shapes --profile SHAPE SIZE (TCanvas alone draws that shape, 0 arc ... 4
//                                                  round rect, for about a second: for perf)
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "bench/latencystats.h"
#include "platform/canvas.h"

namespace {

constexpr double kBar = 2.0;
constexpr int kMargin = 10;

enum TShape { shArc, shEllipse, shPie, shChord, shRoundRect };
const char *const kShapeNames[] = {"arc", "ellipse", "pie", "chord", "round rect"};

// A sweep from 30 to 250 degrees (crossing three quadrants), the corners a fifth of the size.
constexpr int kStartDegrees = 30, kSpanDegrees = 220;

QPoint Radial(int size, int degrees)
{
    const double t = degrees * M_PI / 180, c = kMargin + size / 2.0;
    return QPoint(int(std::lround(c + size * std::cos(t))),
                  int(std::lround(c - size * std::sin(t))));
}

// Microseconds a draw of one shape takes: `reps` draws timed together.
double MicrosPerDraw(int reps, const std::function<void()> &draw)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < reps; ++i)
        draw();
    return double(timer.nsecsElapsed()) / 1e3 / reps;
}

struct TResult {
    double canvas = 0, painter = 0;
};

TResult Measure(TShape shape, int size, int rounds, bool canvasOnly = false)
{
    const int side = size + 2 * kMargin;
    QImage canvasImage(side, side, QImage::Format_RGB32), painterImage = canvasImage;
    canvasImage.fill(Qt::white);
    painterImage.fill(Qt::white);
    TCanvas canvas(&canvasImage);
    canvas.Pen() = TCanvas::TPen{clBlack, 1, TCanvas::psSolid, TCanvas::pmCopy};
    canvas.Brush() = TCanvas::TBrush{clRed, TCanvas::bsSolid};
    const int l = kMargin, t = kMargin, r = kMargin + size, b = kMargin + size;
    const QPoint s = Radial(size, kStartDegrees), e = Radial(size, kStartDegrees + kSpanDegrees);
    const int corner = size / 5;
    const std::function<void()> drawCanvas = [&] {
        switch (shape) {
            case shArc: canvas.Arc(l, t, r, b, s.x(), s.y(), e.x(), e.y()); break;
            case shEllipse: canvas.Ellipse(l, t, r, b); break;
            case shPie: canvas.Pie(l, t, r, b, s.x(), s.y(), e.x(), e.y()); break;
            case shChord: canvas.Chord(l, t, r, b, s.x(), s.y(), e.x(), e.y()); break;
            case shRoundRect: canvas.RoundRect(l, t, r, b, corner, corner); break;
        }
    };
    QPainter painter(&painterImage);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::red);
    // QPainter's boxes include their right and bottom edge: one pixel less for the same box.
    const QRect box(l, t, size - 1, size - 1);
    const std::function<void()> drawPainter = [&] {
        switch (shape) {
            case shArc: painter.drawArc(box, kStartDegrees * 16, kSpanDegrees * 16); break;
            case shEllipse: painter.drawEllipse(box); break;
            case shPie: painter.drawPie(box, kStartDegrees * 16, kSpanDegrees * 16); break;
            case shChord: painter.drawChord(box, kStartDegrees * 16, kSpanDegrees * 16); break;
            case shRoundRect: painter.drawRoundedRect(box, corner / 2.0, corner / 2.0); break;
        }
    };
    if (canvasOnly) {
        const int reps = std::max(1, int(1e6 / (MicrosPerDraw(3, drawCanvas) + 0.05)));
        return {MicrosPerDraw(reps, drawCanvas), 0};
    }
    // Repetitions for about 2 ms a round, from a first estimate of the slower of the two.
    const double estimate =
        std::max(MicrosPerDraw(3, drawCanvas), MicrosPerDraw(3, drawPainter)) + 0.05;
    const int reps = std::max(1, int(2000 / estimate));
    std::vector<double> canvasTimes, painterTimes;
    for (int round = 0; round < rounds; ++round) {
        canvasTimes.push_back(MicrosPerDraw(reps, drawCanvas));
        painterTimes.push_back(MicrosPerDraw(reps, drawPainter));
    }
    return {TLatencyStats::Of(canvasTimes).median, TLatencyStats::Of(painterTimes).median};
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    if (argc > 3 && std::strcmp(argv[1], "--profile") == 0) {
        const TShape shape = TShape(qBound(0, std::atoi(argv[2]), int(shRoundRect)));
        const int size = qMax(1, std::atoi(argv[3]));
        std::printf("%s of %d px: %.2f us\n", kShapeNames[shape], size,
                    Measure(shape, size, 1, true).canvas);
        return 0;
    }
    const int rounds = quick ? 5 : 15;
    std::printf(
        "bench_canvas_shapes: TCanvas against non-antialiased QPainter, 1-pixel pen, solid "
        "brush, medians of %d rounds\n",
        rounds);
    std::printf("%6s %-11s %12s %12s %9s\n", "size", "shape", "TCanvas us", "QPainter us", "ratio");
    bool ok = true;
    for (int size : {50, 300, 1000}) {
        for (TShape shape : {shArc, shEllipse, shPie, shChord, shRoundRect}) {
            const TResult r = Measure(shape, size, rounds);
            const double ratio = r.canvas / r.painter;
            const bool met = ratio <= kBar;
            ok = ok && met;
            std::printf("%6d %-11s %12.2f %12.2f %8.2fx %s\n", size, kShapeNames[shape], r.canvas,
                        r.painter, ratio, met ? "ok" : "MISSED");
            std::fflush(stdout);
        }
    }
    std::printf("bar: TCanvas at most %.0fx QPainter for every shape and size: %s\n", kBar,
                ok ? "met" : "NOT met");
    return ok ? 0 : 1;
}
