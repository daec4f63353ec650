#pragma once

#include "comm/comthread.h"
#include "designer/nonvisualwidget.h"
#include "kestrova_designer_export.h"

// A TComThread on a Qt Designer form. The component's published properties are forwarded, so
// Designer's property editor shows and stores them and a form built by uic sets them on the
// component (through setProperty, as the setters are not named set<Name>).
class KESTROVA_DESIGNER_EXPORT TComThreadWidget : public TNonVisualWidget {
    Q_OBJECT
    Q_PROPERTY(quint32 Port READ Port WRITE SetPort)
    Q_PROPERTY(quint32 Baud READ Baud WRITE SetBaud)
    Q_PROPERTY(quint32 DataBits READ DataBits WRITE SetDataBits)
    Q_PROPERTY(TComThread::TParity Parity READ Parity WRITE SetParity)
    Q_PROPERTY(TComThread::TStopBits StopBits READ StopBits WRITE SetStopBits)
    Q_PROPERTY(quint32 BufSize READ BufSize WRITE SetBufSize)
    Q_PROPERTY(quint32 PacketSize READ PacketSize WRITE SetPacketSize)
    Q_PROPERTY(quint32 Timeout READ Timeout WRITE SetTimeout)

public:
    explicit TComThreadWidget(QWidget *parent = nullptr);
    ~TComThreadWidget() override;

    TComThread *ComThread() const { return FComThread; }

    quint32 Port() const { return FComThread->Port(); }
    quint32 Baud() const { return FComThread->Baud(); }
    quint32 DataBits() const { return FComThread->DataBits(); }
    TComThread::TParity Parity() const { return FComThread->Parity(); }
    TComThread::TStopBits StopBits() const { return FComThread->StopBits(); }
    quint32 BufSize() const { return FComThread->BufSize(); }
    quint32 PacketSize() const { return FComThread->PacketSize(); }
    quint32 Timeout() const { return FComThread->Timeout(); }

    // At run time each raises the component's Exception when it refuses the value (port open,
    // 1.5 stop bits with more than 5 data bits); in design mode an error box shows it.
    void SetPort(quint32 value);
    void SetBaud(quint32 value);
    void SetDataBits(quint32 value);
    void SetParity(TComThread::TParity value);
    void SetStopBits(TComThread::TStopBits value);
    void SetBufSize(quint32 value);
    void SetPacketSize(quint32 value);
    void SetTimeout(quint32 value);

protected:
    // For subclasses that stand for a derived port component.
    TComThreadWidget(TComThread *component, QWidget *parent);

private:
    TComThread *FComThread;
};
