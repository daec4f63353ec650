#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzsupport.h"
#include "fuzz/geometrycanvas.h"
#include "somatochart/colecaodepontos.h"
#include "somatochart/somatocarta.h"

int FuzzSomatochartProperties(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    // Reading draws the chart once, on a canvas that runs the geometry without drawing. One
    // chart for every input (building one costs more than the input): reading sets each
    // property the input leaves out to its default, and the points to the input's.
    static TGeometryCanvas *canvas = new TGeometryCanvas;
    static TSomatocarta *carta = [] {
        auto *c = new TSomatocarta;
        c->resize(80, 80);
        c->SetCanvas(canvas);
        c->SetPrinterCanvas(canvas);
        return c;
    }();
    TSomatocarta &chart = *carta;
    if (!FuzzReadProperties(&chart, data, size)) {
        // Points read from a text write back as a text that reads to the same points; drawn
        // once, as a form read would.
        chart.BeginRead();
        chart.AjustarPontosJson(QString::fromUtf8(FuzzBytes(data, size)));
        const QString written = chart.PontosJson();
        chart.AjustarPontosJson(written);
        chart.EndRead();
        FuzzCheck(chart.PontosJson() == written, "PontosJson does not read back");
    }
    return 0;
}
