#include <QImage>

#include "chart/vtxgraph.h"
#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "platform/canvas.h"

int FuzzChartProperties(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    // One chart for every input (building one, with its backing image, costs more than the
    // input): reading sets each property the input leaves out to its default.
    static TvtxGraph *chart = [] {
        auto *g = new TvtxGraph;
        g->resize(96, 64);
        return g;
    }();
    TvtxGraph &graph = *chart;
    graph.Clear();
    if (!FuzzReadProperties(&graph, data, size))
        return 0;
    graph.CalculaDimensoes();
    graph.LineScaledTo(1, 2);
    QImage image(graph.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    graph.DesenhaGrafico(canvas);
    return 0;
}
