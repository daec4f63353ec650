#include "ptypair.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace kestrova::comm {

namespace {

bool MakeRaw(int fd)
{
    termios attributes{};
    if (::tcgetattr(fd, &attributes) != 0) {
        return false;
    }
    ::cfmakeraw(&attributes);
    return ::tcsetattr(fd, TCSANOW, &attributes) == 0;
}

}  // namespace

TPtyPair::TPtyPair()
{
    FMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (FMaster < 0 || ::grantpt(FMaster) != 0 || ::unlockpt(FMaster) != 0) {
        if (FMaster >= 0) {
            ::close(FMaster);
        }
        throw std::runtime_error("cannot open a pseudo-terminal");
    }
    char name[128] = {};
    if (::ptsname_r(FMaster, name, sizeof name) == 0) {
        FSlavePath = name;
        FSlaveKeeper = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    }
    if (FSlaveKeeper < 0 || !MakeRaw(FMaster) || !MakeRaw(FSlaveKeeper) ||
        ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK) != 0) {
        Release();
        throw std::runtime_error("cannot set up a pseudo-terminal");
    }
}

TPtyPair::~TPtyPair()
{
    Release();
}

void TPtyPair::Release()
{
    CloseMaster();
    if (FSlaveKeeper >= 0) {
        ::close(FSlaveKeeper);
        FSlaveKeeper = -1;
    }
}

bool TPtyPair::Send(const std::string &bytes)
{
    std::size_t sent = 0;
    while (FMaster >= 0 && sent < bytes.size()) {
        const ssize_t n = ::write(FMaster, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += std::size_t(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd out{FMaster, POLLOUT, 0};
            ::poll(&out, 1, 100);
        }
    }
    return sent == bytes.size();
}

std::string TPtyPair::Receive(int timeoutMs, std::size_t max)
{
    std::string bytes;
    pollfd in{FMaster, POLLIN, 0};
    if (FMaster < 0 || ::poll(&in, 1, timeoutMs) <= 0) {
        return bytes;
    }
    char buffer[4096];
    while (bytes.size() < max) {
        const ssize_t n = ::read(FMaster, buffer, std::min(sizeof buffer, max - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.append(buffer, std::size_t(n));
    }
    return bytes;
}

int TPtyPair::UnreadBySlave() const
{
    if (FSlaveKeeper < 0) {
        return 0;
    }
    // Bytes written to the master reach the slave's input queue later, from a kernel worker;
    // FIONREAD alone may count 0 for bytes just sent. Polling the slave first pushes them in.
    pollfd in{FSlaveKeeper, POLLIN, 0};
    ::poll(&in, 1, 0);
    int count = 0;
    return ::ioctl(FSlaveKeeper, FIONREAD, &count) == 0 ? count : 0;
}

void TPtyPair::CloseMaster()
{
    if (FMaster >= 0) {
        ::close(FMaster);
        FMaster = -1;
    }
}

}  // namespace kestrova::comm
