// Full repaint of the somatochart (TSomatocarta::PlotarSomatocarta on its backing image) with
// 10, 1,000 and 10,000 points beside an empty chart in the same run. Prints the median of several
// runs and the ratio to the empty chart. Bars: a repaint of 10,000 points under 50 ms; the first
// paint of a fresh chart with 10,000 points under 50 ms, with 1,000 points at most 1.5 x the empty
// chart.
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "bench/latencystats.h"
#include "somatochart/somatocarta.h"

namespace {

constexpr int kRuns = 9;
constexpr double kBarMs = 50.0;
constexpr double kFirstPaint1000Ratio = 1.5;

void Fill(TSomatocarta &carta, int points)
{
    QRandomGenerator random(12345);
    const QString names[] = {QStringLiteral("Ana"), QStringLiteral("Bia"), QStringLiteral("Caio")};
    for (int i = 0; i < points; ++i) {
        TPonto &p = carta.Pontos()->Add();
        // Somatotype coordinates with one decimal, as ratings give them.
        p.X = std::round(random.bounded(120.0)) / 10 - 6;
        p.Y = std::round(random.bounded(180.0)) / 10 - 6;
        p.Cor = TColor(random.bounded(0x1000000u));
        p.Forma = i % 2;
        p.Tamanho = 3;
        p.Descricao = names[i % 3];
    }
}

// A repaint of a chart that has been painted before (texts already kept).
double MedianRepaintMs(int points, bool coord = true)
{
    TSomatocarta carta;
    carta.AjustarFbMostrarCoord(coord);
    carta.Legenda()->AjustarFbVisivel(false);
    Fill(carta, points);
    carta.PlotarSomatocarta();  // warm-up
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        carta.PlotarSomatocarta();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return TLatencyStats::Of(std::move(times)).median;
}

// The first paint of a fresh chart (every text laid out once).
double MedianFirstPaintMs(int points)
{
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        TSomatocarta carta;
        carta.Legenda()->AjustarFbVisivel(false);
        Fill(carta, points);
        QElapsedTimer timer;
        timer.start();
        carta.PlotarSomatocarta();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return TLatencyStats::Of(std::move(times)).median;
}

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const double empty = MedianRepaintMs(0);
    std::printf(
        "bench_somatochart_repaint: PlotarSomatocarta on the 375 x 305 backing image, "
        "median of %d runs\n",
        kRuns);
    std::printf("%8s %12s %10s\n", "points", "median ms", "x empty");
    std::printf("%8d %12.3f %10.2f\n", 0, empty, 1.0);
    bool ok = true, firstOk = true;
    for (int n : {10, 1000, 10000}) {
        const double ms = MedianRepaintMs(n);
        std::printf("%8d %12.3f %10.2f\n", n, ms, ms / empty);
        const double semTexto = MedianRepaintMs(n, false);
        std::printf("%8d %12.3f %10.2f  (MostrarCoord off)\n", n, semTexto, semTexto / empty);
        const double primeira = MedianFirstPaintMs(n);
        std::printf("%8d %12.3f %10.2f  (first paint of a fresh chart)\n", n, primeira,
                    primeira / empty);
        if (n == 10000)
            ok = ms < kBarMs;
        if (n == 10000 && primeira >= kBarMs)
            firstOk = false;
        if (n == 1000 && primeira > kFirstPaint1000Ratio * empty)
            firstOk = false;
    }
    std::printf("bar: 10,000 points under %.0f ms: %s\n", kBarMs, ok ? "met" : "NOT met");
    std::printf(
        "bar: first paint of 10,000 points under %.0f ms, of 1,000 points at most %.1f x "
        "empty: %s\n",
        kBarMs, kFirstPaint1000Ratio, firstOk ? "met" : "NOT met");
    return ok && firstOk ? 0 : 1;
}
