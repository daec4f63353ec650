#pragma once

#include <termios.h>
#include <memory>

#include "kestrova_comm_export.h"

namespace kestrova::comm {

// The terminal-control calls of the POSIX serial backend: attributes, modem lines, RS-485 mode
// and draining. Data still flows through read()/write()/poll() on the real descriptor; tests
// derive from this class to give a pseudo-terminal the modem lines it lacks.
// Each call returns 0 on success and -1 with errno set on failure, like the system calls.
class KESTROVA_COMM_EXPORT TTtyIo {
public:
    virtual ~TTtyIo();

    // open(2) of the device; returns the descriptor.
    virtual int OpenDevice(const char *path, int flags);

    virtual int GetAttributes(int fd, termios &attributes);
    virtual int SetAttributes(int fd, const termios &attributes);
    // Rates without a Bxxx constant, through the Linux termios2 interface.
    virtual int SetCustomBaudRate(int fd, unsigned baud);
    virtual int GetCustomBaudRate(int fd, unsigned &baud);
    // TIOCM_* bits.
    virtual int GetModemBits(int fd, int &bits);
    virtual int SetModemBits(int fd, int bits, bool on);
    // Lets the driver raise RTS while it transmits (RS-485); off restores plain operation.
    virtual int SetRs485RtsOnSend(int fd, bool on);
    virtual int Drain(int fd);

    static std::shared_ptr<TTtyIo> System();
};

}  // namespace kestrova::comm
