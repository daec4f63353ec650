#pragma once

// Bit rates that have no Bxxx constant, set and read through the Linux termios2 interface
// (TCGETS2/TCSETS2 with BOTHER). Kept apart because <asm/termbits.h> clashes with <termios.h>.
// Both return 0 on success, -1 with errno set otherwise (ENOTTY where unsupported).

namespace kestrova::comm {

int SetLinuxCustomBaud(int fd, unsigned baud);
int GetLinuxCustomBaud(int fd, unsigned &baud);

}  // namespace kestrova::comm
