#include "serialdevice_unix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "readdeadline.h"

namespace kestrova::comm {

namespace {

struct TBaudEntry {
    std::uint32_t rate;
    speed_t code;
};

constexpr TBaudEntry kStandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

const TBaudEntry *FindRate(std::uint32_t rate)
{
    for (const auto &entry : kStandardRates) {
        if (entry.rate == rate) {
            return &entry;
        }
    }
    return nullptr;
}

const TBaudEntry *FindCode(speed_t code)
{
    for (const auto &entry : kStandardRates) {
        if (entry.code == code) {
            return &entry;
        }
    }
    return nullptr;
}

std::string OsReason(const std::string &what, int error)
{
    return what + ": " + std::strerror(error);
}

[[noreturn]] void Fail(const char *message, const std::string &what, int error)
{
    throw TSerialError(message, OsReason(what, error), error);
}

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool IsLostDevice(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV;
}

constexpr const char *kSetStateFailed = "SetCommState Failed.";

tcflag_t CharacterSize(std::uint8_t byteSize)
{
    switch (byteSize) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        case 8: return CS8;
        default: throw TSerialError(kSetStateFailed, "unsupported data bits");
    }
}

tcflag_t ParityFlags(std::uint8_t parity)
{
    switch (parity) {
        case 0: return 0;
        case 1: return PARENB | PARODD;
        case 2: return PARENB;
        case 3: return PARENB | CMSPAR | PARODD;
        case 4: return PARENB | CMSPAR;
        default: throw TSerialError(kSetStateFailed, "unsupported parity");
    }
}

tcflag_t StopFlags(std::uint8_t stopBits, std::uint8_t byteSize)
{
    if (stopBits == 0) {
        return 0;
    }
    if (stopBits == 2 || (stopBits == 1 && byteSize == 5)) {
        return CSTOPB;  // with 5 data bits the UART sends 1.5 stop bits for CSTOPB
    }
    throw TSerialError(kSetStateFailed, "unsupported stop bits");
}

constexpr tcflag_t kLineFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;

// Linux pseudo-terminals always report 8 data bits and no parity, whatever was asked: there is
// no wire to frame. They stand in for real ports (the simulated board), so those two settings
// are not held against them.
bool IsPseudoTerminal(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) {
        return false;
    }
    const unsigned majorNumber = major(status.st_rdev);
    return majorNumber >= 136 && majorNumber <= 143;
}

// A pseudo-terminal takes the settings but ignores parity; glibc notices that the parity it reads
// back differs from the one asked for (from the second setting on) and reports EINVAL. The
// read-back that follows checks everything a pty can carry.
bool PtyRefusedParity(int fd, int error)
{
    return error == EINVAL && IsPseudoTerminal(fd);
}

}  // namespace

TUnixSerialDevice::TUnixSerialDevice(std::shared_ptr<TTtyIo> io) : FIo(std::move(io)) {}

TUnixSerialDevice::~TUnixSerialDevice()
{
    Close();
}

void TUnixSerialDevice::Open(const std::string &name)
{
    Close();
    constexpr const char *kUnavailable = "Comport Unavailable.";
    if (name.empty()) {
        throw TSerialError(kUnavailable, "no device for this port number");
    }
    const int fd = FIo->OpenDevice(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Fail(kUnavailable, "open", errno);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        Fail(kUnavailable, "in use by another program (flock)", error);
    }
    const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const int discardFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0 || discardFd < 0) {
        const int error = errno;
        for (const int open : {fd, wakeFd, discardFd}) {
            if (open >= 0) {
                ::close(open);
            }
        }
        Fail(kUnavailable, "eventfd", error);
    }
    ::ioctl(fd, TIOCEXCL);  // refuses other openers; not every device supports it
    FFd = fd;
    FWakeFd = wakeFd;
    FDiscardFd = discardFd;
}

TLineState TUnixSerialDevice::GetState()
{
    termios attributes{};
    if (FFd < 0 || FIo->GetAttributes(FFd, attributes) != 0) {
        Fail("GetCommState Failed.", "tcgetattr", FFd < 0 ? EBADF : errno);
    }
    TLineState state;
    if (const TBaudEntry *entry = FindCode(cfgetospeed(&attributes))) {
        state.baudRate = entry->rate;
    } else {
        unsigned custom = 0;
        state.baudRate = FIo->GetCustomBaudRate(FFd, custom) == 0 ? custom : 0;
    }
    const tcflag_t size = attributes.c_cflag & CSIZE;
    state.byteSize = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
    if (attributes.c_cflag & PARENB) {
        const bool odd = attributes.c_cflag & PARODD;
        state.parity = (attributes.c_cflag & CMSPAR) ? (odd ? 3 : 4) : (odd ? 1 : 2);
    }
    state.stopBits = (attributes.c_cflag & CSTOPB) ? (state.byteSize == 5 ? 1 : 2) : 0;
    state.dtrControl = 1;
    state.rtsControl = (attributes.c_cflag & CRTSCTS) ? 2 : (FRs485 || FManualRtsToggle ? 3 : 1);
    return state;
}

void TUnixSerialDevice::SetState(const TLineState &state)
{
    if (state.dtrControl == 2) {
        throw TSerialError("SetCommState Failed. DTR handshake is not supported on this system.",
                           "no DTR/DSR flow control on POSIX terminals");
    }
    termios attributes{};
    if (FFd < 0 || FIo->GetAttributes(FFd, attributes) != 0) {
        Fail(kSetStateFailed, "tcgetattr", FFd < 0 ? EBADF : errno);
    }
    cfmakeraw(&attributes);
    attributes.c_cflag &= ~(kLineFlags | HUPCL);
    attributes.c_cflag |= CLOCAL | CREAD | CharacterSize(state.byteSize) |
                          ParityFlags(state.parity) | StopFlags(state.stopBits, state.byteSize);
    if (state.rtsControl == 2) {
        attributes.c_cflag |= CRTSCTS;
    }
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 0;
    const TBaudEntry *standard = FindRate(state.baudRate);
    if (state.baudRate == 0) {
        throw TSerialError(kSetStateFailed, "baud rate 0");
    }
    if (standard) {
        cfsetispeed(&attributes, standard->code);
        cfsetospeed(&attributes, standard->code);
    }
    if (FIo->SetAttributes(FFd, attributes) != 0 && !PtyRefusedParity(FFd, errno)) {
        Fail(kSetStateFailed, "tcsetattr", errno);
    }
    if (!standard && FIo->SetCustomBaudRate(FFd, state.baudRate) != 0) {
        Fail(kSetStateFailed, "baud rate " + std::to_string(state.baudRate), errno);
    }
    VerifyAttributes(attributes, state.baudRate);
    ApplyModemLines(state);
}

// The driver may silently ignore what it cannot do; read the settings back so that such a port
// is reported as not configured rather than used with the wrong framing.
void TUnixSerialDevice::VerifyAttributes(const termios &wanted, std::uint32_t baud)
{
    termios actual{};
    if (FIo->GetAttributes(FFd, actual) != 0) {
        Fail(kSetStateFailed, "tcgetattr", errno);
    }
    const tcflag_t checked = IsPseudoTerminal(FFd) ? kLineFlags & ~(CSIZE | PARENB) : kLineFlags;
    if ((actual.c_cflag & checked) != (wanted.c_cflag & checked)) {
        throw TSerialError(kSetStateFailed, "the driver did not take the line settings");
    }
    const TBaudEntry *entry = FindCode(cfgetospeed(&actual));
    unsigned custom = 0;
    const bool rateTaken =
        entry ? entry->rate == baud : FIo->GetCustomBaudRate(FFd, custom) == 0 && custom == baud;
    if (!rateTaken) {
        throw TSerialError(kSetStateFailed,
                           "the driver did not take baud rate " + std::to_string(baud));
    }
}

void TUnixSerialDevice::ApplyModemLines(const TLineState &state)
{
    FIo->SetModemBits(FFd, TIOCM_DTR, state.dtrControl == 1);
    FRtsHandshake = state.rtsControl == 2;
    if (FRs485 && state.rtsControl != 3) {
        FIo->SetRs485RtsOnSend(FFd, false);
        FRs485 = false;
    }
    FManualRtsToggle = false;
    switch (state.rtsControl) {
        case 0: FIo->SetModemBits(FFd, TIOCM_RTS, false); break;
        case 1: FIo->SetModemBits(FFd, TIOCM_RTS, true); break;
        case 3:
            FRs485 = FIo->SetRs485RtsOnSend(FFd, true) == 0;
            if (!FRs485) {
                FManualRtsToggle = true;
                FIo->SetModemBits(FFd, TIOCM_RTS, false);
            }
            break;
        default: break;  // handshake: the driver drives RTS
    }
}

TReadTimeouts TUnixSerialDevice::GetTimeouts()
{
    if (FFd < 0) {
        Fail("GetCommTimeouts Failed.", "port not open", EBADF);
    }
    return FTimeouts;
}

void TUnixSerialDevice::SetTimeouts(const TReadTimeouts &timeouts)
{
    if (FFd < 0) {
        Fail("SetCommTimeouts Failed.", "port not open", EBADF);
    }
    FTimeouts = timeouts;
}

// The kernel's terminal buffers have fixed sizes; the request is accepted as a hint.
void TUnixSerialDevice::SetQueueSizes(std::uint32_t, std::uint32_t)
{
    if (FFd < 0) {
        Fail("SetupComm Failed - try reducing buffer size.", "port not open", EBADF);
    }
}

bool TUnixSerialDevice::IsOpen() const
{
    return FFd >= 0;
}

void TUnixSerialDevice::Close() noexcept
{
    if (FFd >= 0) {
        if (FRs485) {
            FIo->SetRs485RtsOnSend(FFd, false);
        }
        // Hang-up-on-close is off, so the kernel would leave the lines raised: drop them, as
        // closing a port does on Windows. In handshake mode the driver owns RTS.
        FIo->SetModemBits(FFd, TIOCM_DTR, false);
        if (!FRtsHandshake) {
            FIo->SetModemBits(FFd, TIOCM_RTS, false);
        }
        ::ioctl(FFd, TIOCNXCL);
        ::close(FFd);  // also releases the flock
        FFd = -1;
    }
    for (int *descriptor : {&FWakeFd, &FDiscardFd}) {
        if (*descriptor >= 0) {
            ::close(*descriptor);
            *descriptor = -1;
        }
    }
    FRs485 = false;
    FRtsHandshake = false;
    FManualRtsToggle = false;
}

TUnixSerialDevice::TPollOutcome TUnixSerialDevice::WaitReadable(std::int64_t waitMs, int &errorCode)
{
    pollfd fds[3] = {{FFd, POLLIN, 0}, {FWakeFd, POLLIN, 0}, {FDiscardFd, POLLIN, 0}};
    const int timeout = waitMs < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(waitMs, 1 << 30));
    const int ready = ::poll(fds, 3, timeout);
    if (ready < 0) {
        if (errno == EINTR) {
            return TPollOutcome::timeout;
        }
        errorCode = errno;
        return TPollOutcome::failed;
    }
    if (fds[1].revents != 0) {
        return TPollOutcome::woken;
    }
    if (fds[2].revents != 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t taken = ::read(FDiscardFd, &count, sizeof count);
        return TPollOutcome::interrupted;
    }
    if (fds[0].revents & POLLNVAL) {
        errorCode = EBADF;
        return TPollOutcome::failed;
    }
    if (ready == 0) {
        return TPollOutcome::timeout;
    }
    const bool hungUp = (fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN);
    return hungUp ? TPollOutcome::hangup : TPollOutcome::readable;
}

TReadResult TUnixSerialDevice::Read(char *buffer, std::uint32_t count)
{
    TReadProgress progress{count, 0, 0, 0};
    const std::int64_t start = NowMs();
    std::int64_t lastByte = start;
    bool emptyReadiness = false;
    for (;;) {
        const std::int64_t now = NowMs();
        progress.sinceStartMs = now - start;
        progress.sinceLastByteMs = now - lastByte;
        std::int64_t wait = ReadWaitMs(FTimeouts, progress);
        if (wait == 0) {
            return {progress.received, 0};
        }
        if (progress.received > 0) {
            wait = 0;  // hand over what arrived instead of waiting for more
        }
        int error = 0;
        const TPollOutcome outcome = WaitReadable(wait, error);
        switch (outcome) {
            case TPollOutcome::woken:
            case TPollOutcome::interrupted: return {progress.received, 0};
            case TPollOutcome::failed: return {progress.received, std::uint32_t(error)};
            case TPollOutcome::timeout:
                if (progress.received > 0) {
                    return {progress.received, 0};
                }
                continue;
            case TPollOutcome::readable:
            case TPollOutcome::hangup: break;
        }
        const ssize_t n = ::read(FFd, buffer + progress.received, count - progress.received);
        if (n > 0) {
            progress.received += static_cast<std::uint32_t>(n);
            lastByte = NowMs();
            emptyReadiness = false;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && outcome != TPollOutcome::hangup) {
            continue;
        }
        // DiscardInput on another thread may flush the bytes that made the line readable, and
        // a terminal in raw mode then reads zero bytes: only a second empty readiness in a row
        // (a hung-up terminal stays readable and empty) means the device is gone.
        if (n == 0 && outcome == TPollOutcome::readable && !emptyReadiness) {
            emptyReadiness = true;
            continue;
        }
        // Repeated zero-byte reads, or EIO/ENXIO/ENODEV: the device is gone. Bytes already
        // taken are handed over first; the next read reports the loss.
        const int lost = (n == 0 || errno == EAGAIN || errno == EINTR) ? EIO : errno;
        if (progress.received > 0 && IsLostDevice(lost)) {
            return {progress.received, 0};
        }
        return {progress.received, std::uint32_t(lost)};
    }
}

void TUnixSerialDevice::WakeReader() noexcept
{
    if (FWakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(FWakeFd, &one, sizeof one);
    }
}

void TUnixSerialDevice::Write(const char *data, std::uint32_t count, std::uint64_t waitLimitMs)
{
    if (!FManualRtsToggle) {
        WriteAll(data, count, waitLimitMs);
        return;
    }
    FIo->SetModemBits(FFd, TIOCM_RTS, true);
    try {
        WriteAll(data, count, waitLimitMs);
        FIo->Drain(FFd);
    } catch (...) {
        FIo->SetModemBits(FFd, TIOCM_RTS, false);
        throw;
    }
    FIo->SetModemBits(FFd, TIOCM_RTS, false);
}

void TUnixSerialDevice::WriteAll(const char *data, std::uint32_t count, std::uint64_t waitLimitMs)
{
    const std::int64_t limit = std::int64_t(std::min<std::uint64_t>(waitLimitMs, INT64_MAX / 2));
    const std::int64_t deadline = NowMs() + limit;
    std::uint32_t written = 0;
    while (written < count) {
        const ssize_t n = ::write(FFd, data + written, count - written);
        if (n > 0) {
            written += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            throw TSerialError("Send Error: " + std::to_string(errno), OsReason("write", errno));
        }
        const std::int64_t left = deadline - NowMs();
        if (left <= 0) {
            ::tcflush(FFd, TCOFLUSH);
            throw TSerialError("Send Timeout", "the driver took " + std::to_string(written) +
                                                   " of " + std::to_string(count) + " bytes");
        }
        pollfd out{FFd, POLLOUT, 0};
        ::poll(&out, 1, static_cast<int>(std::min<std::int64_t>(left, 1 << 30)));
    }
}

void TUnixSerialDevice::Purge() noexcept
{
    if (FFd >= 0) {
        ::tcflush(FFd, TCIOFLUSH);
    }
}

// Flush first, then the new generation: a Read that starts after it can only see bytes that
// arrived after the flush. A Read of the old generation is interrupted so that the answer to
// the next frame lands in a read of the new one.
void TUnixSerialDevice::DiscardInput() noexcept
{
    if (FFd < 0) {
        return;
    }
    ::tcflush(FFd, TCIFLUSH);
    NextInputGeneration();
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(FDiscardFd, &one, sizeof one);
}

bool TUnixSerialDevice::GetModemStatus(std::uint32_t &bits)
{
    int lines = 0;
    if (FFd < 0 || FIo->GetModemBits(FFd, lines) != 0) {
        return false;
    }
    bits = ((lines & TIOCM_CTS) ? kModemCts : 0) | ((lines & TIOCM_DSR) ? kModemDsr : 0) |
           ((lines & TIOCM_RI) ? kModemRing : 0) | ((lines & TIOCM_CD) ? kModemRlsd : 0);
    return true;
}

void TUnixSerialDevice::SetModemLine(TModemLine line, bool on) noexcept
{
    if (FFd >= 0) {
        FIo->SetModemBits(FFd, line == TModemLine::dtr ? TIOCM_DTR : TIOCM_RTS, on);
    }
}

std::unique_ptr<TSerialDevice> CreateSystemSerialDevice()
{
    return std::make_unique<TUnixSerialDevice>();
}

}  // namespace kestrova::comm
