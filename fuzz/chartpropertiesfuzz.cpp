#include <QImage>

#include "chart/vtxgraph.h"
#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "platform/canvas.h"

int FuzzChartProperties(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    TvtxGraph graph;
    graph.resize(96, 64);
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
