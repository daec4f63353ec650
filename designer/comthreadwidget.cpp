#include "designer/comthreadwidget.h"

TComThreadWidget::TComThreadWidget(QWidget *parent) : TComThreadWidget(new TComThread, parent) {}

TComThreadWidget::TComThreadWidget(TComThread *component, QWidget *parent)
    : TNonVisualWidget(component, parent), FComThread(component)
{
}

TComThreadWidget::~TComThreadWidget() = default;

void TComThreadWidget::SetPort(quint32 value)
{
    ApplySetting([&] { FComThread->SetPort(value); });
}

void TComThreadWidget::SetBaud(quint32 value)
{
    ApplySetting([&] { FComThread->SetBaud(value); });
}

void TComThreadWidget::SetDataBits(quint32 value)
{
    ApplySetting([&] { FComThread->SetDataBits(value); });
}

void TComThreadWidget::SetParity(TComThread::TParity value)
{
    ApplySetting([&] { FComThread->SetParity(value); });
}

void TComThreadWidget::SetStopBits(TComThread::TStopBits value)
{
    ApplySetting([&] { FComThread->SetStopBits(value); });
}

void TComThreadWidget::SetBufSize(quint32 value)
{
    ApplySetting([&] { FComThread->SetBufSize(value); });
}

void TComThreadWidget::SetPacketSize(quint32 value)
{
    ApplySetting([&] { FComThread->SetPacketSize(value); });
}

void TComThreadWidget::SetTimeout(quint32 value)
{
    ApplySetting([&] { FComThread->SetTimeout(value); });
}
