#include "advcomport.h"

#include "serialdevice.h"

using namespace kestrova::comm;

TAdvComport::TAdvComport(TSerialDevice *port, bool start, quint32 packetSize,
                         const TPacketReceivedEvent &onPacketReceived,
                         const TStatusChangedEvent &onStatusChanged)
    : TComport(port, false, packetSize, onPacketReceived), FOnStatusChanged(onStatusChanged)
{
    if (start) {
        Start();
    }
}

// The thread runs this class's overrides: it must end before the derived part goes away.
TAdvComport::~TAdvComport()
{
    Terminate();
    WaitFor();
}

void TAdvComport::Execute()
{
    std::uint32_t bits = 0;
    if (Port()->GetModemStatus(bits)) {
        ctsOn = bits & kModemCts;
        dsrOn = bits & kModemDsr;
        ringOn = bits & kModemRing;
        rlsdOn = bits & kModemRlsd;
        if ((ctsOn || dsrOn || ringOn || rlsdOn) && !Terminated()) {
            Synchronize([this] { DoStatusChanged(); });
        }
    }
    TComport::Execute();
}

void TAdvComport::ReadLoop()
{
    while (!Terminated() && ReadPacket()) {
        if (FOnStatusChanged && PollOneLineChange() && !Terminated()) {
            Synchronize([this] { DoStatusChanged(); });
        }
    }
}

bool TAdvComport::PollOneLineChange()
{
    std::uint32_t bits = 0;
    if (!Port()->GetModemStatus(bits)) {
        return false;
    }
    const std::pair<bool *, std::uint32_t> lines[] = {
        {&ctsOn, kModemCts}, {&dsrOn, kModemDsr}, {&ringOn, kModemRing}, {&rlsdOn, kModemRlsd}};
    for (const auto &[flag, mask] : lines) {
        const bool now = bits & mask;
        if (now != *flag) {
            *flag = now;
            return true;
        }
    }
    return false;
}

// Main thread. Copies first: the handler may close the port and so destroy this object.
void TAdvComport::DoStatusChanged()
{
    if (!FOnStatusChanged || Terminated()) {
        return;
    }
    TStatusChangedEvent handler = FOnStatusChanged;
    CallHandler("OnStatusChanged", [&] { handler(this, ctsOn, dsrOn, ringOn, rlsdOn); });
}
