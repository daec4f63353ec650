#pragma once

#include "components/vtxtimer.h"
#include "designer/nonvisualwidget.h"
#include "kestrova_designer_export.h"

// A TVtxTimer on a Qt Designer form, with its Habilitado and Intervalo forwarded. In design mode
// Habilitado is only kept, so the timer never runs inside Designer.
class KESTROVA_DESIGNER_EXPORT TVtxTimerWidget : public TNonVisualWidget {
    Q_OBJECT
    Q_PROPERTY(bool Habilitado READ Habilitado WRITE AjustarFbHabilitado)
    Q_PROPERTY(int Intervalo READ Intervalo WRITE AjustarFiIntervalo)

public:
    explicit TVtxTimerWidget(QWidget *parent = nullptr);
    ~TVtxTimerWidget() override;

    TVtxTimer *VtxTimer() const { return FVtxTimer; }

    bool Habilitado() const;
    void AjustarFbHabilitado(bool value);
    int Intervalo() const { return FVtxTimer->Intervalo(); }
    void AjustarFiIntervalo(int value);

private:
    TVtxTimer *FVtxTimer;
    bool FbHabilitadoNoProjeto = false;
};
