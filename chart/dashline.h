#pragma once

#include <QPoint>

#include "kestrova_chart_export.h"
#include "platform/canvas.h"

// A dashed or dotted line drawn with solid strokes, as thick printer pens need: the canvas pen's
// style gives the pattern (dash 4 mm, dot 0.5 mm, gap 3 mm, or 1.8 mm with dots), measured at the
// canvas font's pixels per inch, four times longer off the printer.
class KESTROVA_CHART_EXPORT TDashLine {
public:
    // Draws from start to end; any other style than dash/dot patterns draws a plain line. The
    // canvas' pen style is left as it was.
    static void Draw(TCanvas &canvas, QPoint end, QPoint start, bool printer);
};
