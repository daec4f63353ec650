#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "platform/recordingcanvas.h"
#include "somatochart/colecaodepontos.h"
#include "somatochart/somatocarta.h"

int FuzzSomatochartProperties(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    // Every property read redraws the chart: on a recording canvas, so that the chart's geometry
    // runs for each value at the cost of a list of calls (the chart store's target rasterises).
    // One chart for every input (building one costs more than the input): reading sets each
    // property the input leaves out to its default, and the points to the input's.
    static TRecordingCanvas *canvas = new TRecordingCanvas;
    static TSomatocarta *carta = [] {
        auto *c = new TSomatocarta;
        c->resize(80, 80);
        c->SetCanvas(canvas);
        c->SetPrinterCanvas(canvas);
        return c;
    }();
    TSomatocarta &chart = *carta;
    if (!FuzzReadProperties(&chart, data, size)) {
        const QString text = QString::fromUtf8(FuzzBytes(data, size));
        chart.AjustarPontosJson(text);
        // Points read from a text write back as a text that reads to the same points.
        const QString written = chart.PontosJson();
        chart.AjustarPontosJson(written);
        FuzzCheck(chart.PontosJson() == written, "PontosJson does not read back");
    }
    canvas->ClearCalls();
    return 0;
}
