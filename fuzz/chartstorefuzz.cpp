#include "fuzz/chartstorefuzz.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "chart/vtxgraph.h"
#include "fuzz/geometrycanvas.h"

namespace {

// The application object outlives every input; a libFuzzer run never returns to destroy it.
void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_chart_store";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Built once: the chart, its screen and paper canvases, and the two pictures the screen replays
// are drawn on. The canvases only run the geometry (with fixed text metrics): the chart's own
// picture and the printout are not compared, and shaping their numbers would cost more than the
// replays.
struct TFuzzChart {
    TvtxGraph graph;
    TGeometryCanvas screen, paper;
    QImage batched, single;
};

TFuzzChart *Chart = nullptr;

void Replay(TvtxGraph &graph, QImage &image, bool batching)
{
    image.fill(Qt::white);
    TCanvas canvas(&image);
    graph.SetReplayBatching(batching);
    graph.DesenhaGrafico(canvas);
}

TvtxGraph &LoadStore(const uint8_t *data, size_t size)
{
    EnsureApplication();
    if (!Chart) {
        Chart = new TFuzzChart;
        // A small plot area keeps each input cheap; the records' coordinates still reach every
        // clipping and scaling case.
        Chart->graph.SetCanvas(&Chart->screen);
        Chart->graph.resize(120, 90);
        // The chart's own picture is not drawn: an append would repaint it whole (frame, grids
        // and a third screen replay). The properties target draws it; here the two replays below
        // are compared instead.
        Chart->graph.SetAtualizarControles(false);
        Chart->graph.SetPrinterCanvas(&Chart->paper);
        Chart->batched = QImage(Chart->graph.size(), QImage::Format_RGB32);
        Chart->single = QImage(Chart->graph.size(), QImage::Format_RGB32);
    }
    TvtxGraph &graph = Chart->graph;
    graph.Clear();
    graph.SetStore(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    graph.CalculaDimensoes();
    if (graph.Store().size() > qsizetype(size))
        std::abort();
    return graph;
}

void ReplayBothWays(TvtxGraph &graph, const uint8_t *data, size_t size)
{
    QImage &batched = Chart->batched, &single = Chart->single;
    Replay(graph, batched, true);
    Replay(graph, single, false);
    if (batched == single)
        return;
    std::fprintf(stderr, "batched and single-line replays differ\n");
    // KESTROVA_FUZZ_DUMP=<prefix> keeps both pictures for a look.
    const QString dump = qEnvironmentVariable("KESTROVA_FUZZ_DUMP");
    if (!dump.isEmpty()) {
        batched.save(dump + QStringLiteral("-batched.png"));
        single.save(dump + QStringLiteral("-single.png"));
        QFile input(dump + QStringLiteral("-input.bin"));
        if (input.open(QIODevice::WriteOnly))
            input.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    std::abort();
}

void PrintAndRecalculate(TvtxGraph &graph)
{
    Chart->paper.SetPixelsPerInch(300, 300);
    graph.Imprime(0, 0, 2, 2);
    graph.RecalculaPontos();
}

void ExportAfterAppend(TvtxGraph &graph)
{
    // Appending after foreign bytes must give a record that reads back; the export runs over
    // the foreign records as well.
    graph.LineScaledTo(1, 2);
    QStringList lines;
    graph.getComandos(lines);
    if (lines.isEmpty() || lines.last() != QLatin1String("pCanvas->LineTo(1, 2);")) {
        std::fprintf(stderr, "a record appended after the store does not read back\n");
        std::abort();
    }
}

}  // namespace

int FuzzChartStore(const uint8_t *data, size_t size)
{
    // One use of the store per input, picked by its length: each input stays cheap, and the
    // fuzzer's length changes move an input between the uses.
    TvtxGraph &graph = LoadStore(data, size);
    switch (size % 3) {
        case 0: ReplayBothWays(graph, data, size); break;
        case 1: PrintAndRecalculate(graph); break;
        default: ExportAfterAppend(graph); break;
    }
    return 0;
}

int FuzzChartStoreEveryUse(const uint8_t *data, size_t size)
{
    TvtxGraph &graph = LoadStore(data, size);
    ReplayBothWays(graph, data, size);
    PrintAndRecalculate(graph);
    ExportAfterAppend(graph);
    return 0;
}

void FuzzChartStoreShutdown()
{
    delete Chart;
    Chart = nullptr;
}
