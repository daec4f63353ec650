#include <QImage>

#include "chart/vtxgraph.h"
#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "fuzz/geometrycanvas.h"
#include "platform/canvas.h"

constexpr qint64 kMostPixels = 320 * 200;

int FuzzChartProperties(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    // One chart for every input (building one, with its backing image, costs more than the
    // input): reading sets each property the input leaves out to its default. Its own screen
    // drawing runs the geometry only, with fixed text metrics (shaping the axes' numbers cost
    // more than the rest of an input); the replay below draws pixels.
    static TvtxGraph *chart = [] {
        auto *g = new TvtxGraph;
        g->SetCanvas(new TGeometryCanvas);
        g->resize(96, 64);
        return g;
    }();
    TvtxGraph &graph = *chart;
    graph.Clear();
    if (!FuzzReadProperties(&graph, data, size))
        return 0;
    // The control sizes itself from its axes (the resize above only holds until the first
    // layout): a picture of up to 320 x 200 pixels is drawn, larger ones would only repeat the
    // same code over more pixels at a cost of milliseconds. Reading already laid the chart out.
    if (qint64(graph.width()) * graph.height() > kMostPixels)
        return 0;
    graph.LineScaledTo(1, 2);
    static QImage image;
    if (image.size() != graph.size())
        image = QImage(graph.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    graph.DesenhaGrafico(canvas);
    return 0;
}
