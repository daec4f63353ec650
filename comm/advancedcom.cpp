#include "advancedcom.h"

#include "platform/exception.h"

using namespace kestrova::comm;

TAdvancedCom::TAdvancedCom(QObject *Owner) : TComThread(Owner) {}

TAdvancedCom::~TAdvancedCom()
{
    ComClose();
}

void TAdvancedCom::SetDtrControl(TDtrControl value)
{
    RefuseWhileOpen("Dtr control can only be set before ComInit()!");
    FDtrControl = value;
}

void TAdvancedCom::SetRtsControl(TRtsControl value)
{
    RefuseWhileOpen("Rts control can only be set before ComInit()!");
    FRtsControl = value;
}

void TAdvancedCom::SetDtr(bool on)
{
    if (!IsOpen()) {
        throw Exception(QStringLiteral("Initialize port before setting DTR"));
    }
    if (FDtrControl == dtrHandshake) {
        throw Exception(QStringLiteral("Can't set DTR when DtrControl is dtrHandshake"));
    }
    Device()->SetModemLine(TModemLine::dtr, on);
}

void TAdvancedCom::SetRts(bool on)
{
    if (!IsOpen()) {
        throw Exception(QStringLiteral("Initialize port before setting RTS"));
    }
    if (FRtsControl == rtsHandshake) {
        throw Exception(QStringLiteral("Can't set RTS when RtsControl is rtsHandshake"));
    }
    Device()->SetModemLine(TModemLine::rts, on);
}

void TAdvancedCom::SetupThread()
{
    if (PortHandleValid()) {
        StartReader(std::make_unique<TAdvComport>(Device(), false, PacketSize(), OnPacketReceived,
                                                  OnStatusChanged));
    }
}

void TAdvancedCom::SetupState()
{
    TLineState state = Device()->GetState();
    FillLineState(state);
    state.dtrControl = FDtrControl;
    state.rtsControl = FRtsControl;
    Device()->SetState(state);
}
