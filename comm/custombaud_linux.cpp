#include "custombaud_linux.h"

#include <cerrno>

#ifdef __linux__
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>
#endif

namespace kestrova::comm {

#ifdef __linux__

int SetLinuxCustomBaud(int fd, unsigned baud)
{
    termios2 attributes{};
    if (::ioctl(fd, TCGETS2, &attributes) != 0) {
        return -1;
    }
    attributes.c_cflag &= ~CBAUD;
    attributes.c_cflag |= BOTHER;
    attributes.c_cflag &= ~(CBAUD << IBSHIFT);
    attributes.c_cflag |= BOTHER << IBSHIFT;
    attributes.c_ispeed = baud;
    attributes.c_ospeed = baud;
    return ::ioctl(fd, TCSETS2, &attributes);
}

int GetLinuxCustomBaud(int fd, unsigned &baud)
{
    termios2 attributes{};
    if (::ioctl(fd, TCGETS2, &attributes) != 0) {
        return -1;
    }
    baud = attributes.c_ospeed;
    return 0;
}

#else

int SetLinuxCustomBaud(int, unsigned)
{
    errno = ENOTTY;
    return -1;
}

int GetLinuxCustomBaud(int, unsigned &)
{
    errno = ENOTTY;
    return -1;
}

#endif

}  // namespace kestrova::comm
