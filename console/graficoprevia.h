#pragma once

#include "kestrova_console_export.h"

#include <QWidget>

#include "protocol/previaprotocolo.h"
#include "protocol/unidadevelocidade.h"

// The protocol editor's preview chart: the speed (red, left scale) and grade (blue, right scale)
// the board will receive, as steps over the protocol's minutes, with the step boundaries as grey
// lines. It draws a TPreviaProtocolo and computes nothing of its own.
class KESTROVA_CONSOLE_EXPORT TGraficoPrevia : public QWidget {
    Q_OBJECT
public:
    explicit TGraficoPrevia(QWidget *parent = nullptr);

    // Speeds drawn and scaled in `unidade` (the preview's are km/h).
    void Mostrar(const TPreviaProtocolo &previa, const TUnidadeVelocidade &unidade);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPreviaProtocolo FPrevia;
    TUnidadeVelocidade FUnidade;
};
