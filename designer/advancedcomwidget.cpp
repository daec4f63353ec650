#include "designer/advancedcomwidget.h"

TAdvancedComWidget::TAdvancedComWidget(QWidget *parent)
    : TComThreadWidget(new TAdvancedCom, parent),
      FAdvancedCom(static_cast<TAdvancedCom *>(ComThread()))
{
}

TAdvancedComWidget::~TAdvancedComWidget() = default;

void TAdvancedComWidget::SetDtrControl(TAdvancedCom::TDtrControl value)
{
    ApplySetting([&] { FAdvancedCom->SetDtrControl(value); });
}

void TAdvancedComWidget::SetRtsControl(TAdvancedCom::TRtsControl value)
{
    ApplySetting([&] { FAdvancedCom->SetRtsControl(value); });
}
