#pragma once

#include "kestrova_somatochart_export.h"
#include "platform/color.h"

#include <QString>

// One somatotype position of the chart: a plain value whose fields are read and written directly.
// Writing a field notifies nobody; the chart shows the change at its next paint.
class KESTROVA_SOMATOCHART_EXPORT TPonto {
public:
    double X = 0;
    double Y = 0;
    TColor Cor = 0;
    int Forma = 0;    // 0 filled circle, 1 cross, anything else no marker
    int Tamanho = 0;  // marker half-size in chart pixels
    QString Descricao;
};
