#pragma once

#include <QList>

#include "chart/vtxgraph.h"
#include "platform/recordingcanvas.h"

// A chart drawing on a recording canvas that measures text with fixed metrics at 96 pixels per
// inch: a 9-point font is 12 pixels high (ascent 12, descent 3), its characters 6 pixels wide
// (7 in bold); the 10-point bold title is 13 + 4 = 17 pixels high. The default layout puts the
// plot area at (50, 57) - (242, 249) in a 292 x 306 control.
struct TRecordedChart {
    TRecordingCanvas canvas;
    TvtxGraph graph;

    TRecordedChart()
    {
        canvas.SetPixelsPerInch(96, 96);
        graph.SetCanvas(&canvas);
        graph.CalculaDimensoes();
    }
    QList<TRecordingCanvas::TCall> Painted()
    {
        canvas.ClearCalls();
        graph.Paint();
        return canvas.Calls();
    }
};
