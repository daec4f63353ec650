#pragma once

// The communications calls of the Windows serial backend that a pseudo-terminal under Wine cannot
// carry (modem lines) or that a test must be able to shape (purging). Data still flows through
// ReadFile/WriteFile on the real handle; tests derive from this class to give a port the modem
// lines it lacks, as the POSIX backend's tests do with TTtyIo. Free of <windows.h>: handles are
// passed as void *, flags and codes with their Windows values.

#include <cstdint>
#include <memory>

#include "kestrova_comm_export.h"

namespace kestrova::comm {

class KESTROVA_COMM_EXPORT TWinCommIo {
public:
    using THandle = void *;

    virtual ~TWinCommIo();

    // GetCommModemStatus: the MS_*_ON bits. False on failure, with the thread's last error set.
    virtual bool GetModemStatus(THandle port, std::uint32_t &status);
    // EscapeCommFunction with SETDTR, CLRDTR, SETRTS or CLRRTS.
    virtual bool EscapeFunction(THandle port, std::uint32_t function);
    // PurgeComm with PURGE_* flags.
    virtual bool Purge(THandle port, std::uint32_t flags);
    // The bytes in the driver's output queue not yet sent (ClearCommError's cbOutQue).
    virtual bool OutputQueued(THandle port, std::uint32_t &bytes);

    static std::shared_ptr<TWinCommIo> System();
};

}  // namespace kestrova::comm
