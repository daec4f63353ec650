#include "designer/vtxtimerwidget.h"

TVtxTimerWidget::TVtxTimerWidget(QWidget *parent)
    : TNonVisualWidget(new TVtxTimer(nullptr), parent),
      FVtxTimer(static_cast<TVtxTimer *>(Component()))
{
}

TVtxTimerWidget::~TVtxTimerWidget() = default;

bool TVtxTimerWidget::Habilitado() const
{
    return DesignMode() ? FbHabilitadoNoProjeto : FVtxTimer->Habilitado();
}

void TVtxTimerWidget::AjustarFbHabilitado(bool value)
{
    if (DesignMode())
        FbHabilitadoNoProjeto = value;
    else
        FVtxTimer->AjustarFbHabilitado(value);
}

void TVtxTimerWidget::AjustarFiIntervalo(int value)
{
    ApplySetting([&] { FVtxTimer->AjustarFiIntervalo(value); });
}
