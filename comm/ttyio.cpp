#include "ttyio.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <cerrno>

#ifdef __linux__
#include <linux/serial.h>
#endif

#include "custombaud_linux.h"

namespace kestrova::comm {

TTtyIo::~TTtyIo() = default;

int TTtyIo::OpenDevice(const char *path, int flags)
{
    return ::open(path, flags);
}

int TTtyIo::GetAttributes(int fd, termios &attributes)
{
    return ::tcgetattr(fd, &attributes);
}

int TTtyIo::SetAttributes(int fd, const termios &attributes)
{
    return ::tcsetattr(fd, TCSANOW, &attributes);
}

int TTtyIo::SetCustomBaudRate(int fd, unsigned baud)
{
    return SetLinuxCustomBaud(fd, baud);
}

int TTtyIo::GetCustomBaudRate(int fd, unsigned &baud)
{
    return GetLinuxCustomBaud(fd, baud);
}

int TTtyIo::GetModemBits(int fd, int &bits)
{
    return ::ioctl(fd, TIOCMGET, &bits);
}

int TTtyIo::SetModemBits(int fd, int bits, bool on)
{
    return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits);
}

int TTtyIo::SetRs485RtsOnSend(int fd, bool on)
{
#if defined(__linux__) && defined(TIOCSRS485)
    serial_rs485 rs485{};
    if (on) {
        rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    }
    return ::ioctl(fd, TIOCSRS485, &rs485);
#else
    (void)fd;
    (void)on;
    errno = ENOTTY;
    return -1;
#endif
}

int TTtyIo::Drain(int fd)
{
    return ::tcdrain(fd);
}

std::shared_ptr<TTtyIo> TTtyIo::System()
{
    static const auto system = std::make_shared<TTtyIo>();
    return system;
}

}  // namespace kestrova::comm
