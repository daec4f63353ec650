#ifdef _WIN32

#include "serialdevice_win.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace kestrova::comm {

namespace {

constexpr DWORD kModemBits = MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON;
static_assert(MS_CTS_ON == kModemCts && MS_DSR_ON == kModemDsr && MS_RING_ON == kModemRing &&
              MS_RLSD_ON == kModemRlsd);

// Starts an overlapped operation afresh: the record is cleared but keeps its event, and the
// event is unsignalled so that only this operation (or a wake) can signal it.
void PrepareOverlapped(OVERLAPPED &overlapped)
{
    const HANDLE event = overlapped.hEvent;
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event;
    ResetEvent(event);
}

void CloseIfSet(HANDLE &handle, HANDLE unset) noexcept
{
    if (handle != unset) {
        CloseHandle(handle);
        handle = unset;
    }
}

[[noreturn]] void ThrowSendError(DWORD code)
{
    throw TSerialError("Send Error: " + std::to_string(code));
}

}  // namespace

struct TWinSerialDevice::TImpl {
    HANDLE port = INVALID_HANDLE_VALUE;
    OVERLAPPED readOverlapped{};   // used by Read only
    OVERLAPPED writeOverlapped{};  // used by Write only
    DCB dcb{};                     // as last read, so SetState keeps the fields it does not set
    bool dcbValid = false;
    COMMTIMEOUTS timeouts{};  // as last read, so SetTimeouts keeps the write time-outs
    bool timeoutsValid = false;
};

TWinSerialDevice::TWinSerialDevice() : impl_(std::make_unique<TImpl>()) {}

TWinSerialDevice::~TWinSerialDevice()
{
    Close();
}

void TWinSerialDevice::Open(const std::string &name)
{
    Close();
    // Exclusive access, overlapped so that reading and writing do not serialise on the handle.
    impl_->port = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (impl_->port == INVALID_HANDLE_VALUE) {
        throw TSerialError("Comport Unavailable.");
    }
    impl_->readOverlapped.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    impl_->writeOverlapped.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    if (!impl_->readOverlapped.hEvent || !impl_->writeOverlapped.hEvent) {
        Close();
        throw TSerialError("Comport Unavailable.");
    }
}

TLineState TWinSerialDevice::GetState()
{
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(impl_->port, &dcb)) {
        throw TSerialError("GetCommState Failed.");
    }
    impl_->dcb = dcb;
    impl_->dcbValid = true;
    TLineState state;
    state.baudRate = dcb.BaudRate;
    state.byteSize = dcb.ByteSize;
    state.parity = dcb.Parity;
    state.stopBits = dcb.StopBits;
    state.dtrControl = static_cast<std::uint8_t>(dcb.fDtrControl);
    state.rtsControl = static_cast<std::uint8_t>(dcb.fRtsControl);
    return state;
}

void TWinSerialDevice::SetState(const TLineState &state)
{
    ReadStateIfNeeded();
    DCB dcb = impl_->dcb;
    dcb.BaudRate = state.baudRate;
    dcb.ByteSize = state.byteSize;
    dcb.Parity = state.parity;
    dcb.StopBits = state.stopBits;
    dcb.fDtrControl = state.dtrControl & 3u;
    dcb.fRtsControl = state.rtsControl & 3u;
    if (!SetCommState(impl_->port, &dcb)) {
        throw TSerialError("SetCommState Failed.");
    }
    impl_->dcb = dcb;  // only what the driver accepted becomes the base for the next change
}

TReadTimeouts TWinSerialDevice::GetTimeouts()
{
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(impl_->port, &timeouts)) {
        throw TSerialError("GetCommTimeouts Failed.");
    }
    impl_->timeouts = timeouts;
    impl_->timeoutsValid = true;
    return {timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
            timeouts.ReadTotalTimeoutConstant};
}

void TWinSerialDevice::SetTimeouts(const TReadTimeouts &timeouts)
{
    ReadTimeoutsIfNeeded();
    COMMTIMEOUTS all = impl_->timeouts;
    all.ReadIntervalTimeout = timeouts.interval;
    all.ReadTotalTimeoutMultiplier = timeouts.totalMultiplier;
    all.ReadTotalTimeoutConstant = timeouts.totalConstant;
    if (!SetCommTimeouts(impl_->port, &all)) {
        throw TSerialError("SetCommTimeouts Failed.");
    }
    impl_->timeouts = all;
}

void TWinSerialDevice::SetQueueSizes(std::uint32_t input, std::uint32_t output)
{
    if (!SetupComm(impl_->port, input, output)) {
        throw TSerialError("SetupComm Failed - try reducing buffer size.");
    }
}

bool TWinSerialDevice::IsOpen() const
{
    return impl_->port != INVALID_HANDLE_VALUE;
}

void TWinSerialDevice::Close() noexcept
{
    if (impl_->port != INVALID_HANDLE_VALUE) {
        CancelIo(impl_->port);
    }
    CloseIfSet(impl_->port, INVALID_HANDLE_VALUE);
    CloseIfSet(impl_->writeOverlapped.hEvent, nullptr);
    CloseIfSet(impl_->readOverlapped.hEvent, nullptr);
    impl_->dcbValid = false;
    impl_->timeoutsValid = false;
    wakeRequested_ = false;
}

TReadResult TWinSerialDevice::Read(char *buffer, std::uint32_t count)
{
    OVERLAPPED &overlapped = impl_->readOverlapped;
    PrepareOverlapped(overlapped);
    if (wakeRequested_) {
        return {};
    }
    DWORD done = 0;
    if (ReadFile(impl_->port, buffer, count, &done, &overlapped)) {
        return {done, 0};
    }
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
        return {done, error};
    }
    // ReadFile resets the event itself, so a wake that came just before it would be lost
    // without this second look at the flag.
    if (!wakeRequested_) {
        WaitForSingleObject(overlapped.hEvent, INFINITE);
    }
    if (wakeRequested_) {
        return {FinishWokenRead(), 0};
    }
    if (!GetOverlappedResult(impl_->port, &overlapped, &done, TRUE)) {
        return {done, GetLastError()};
    }
    return {done, 0};
}

// Cancels the pending read and waits until the driver has let go of the buffer. The event may
// have been set by WakeReader rather than by the I/O, so completion is judged by the record's
// status, re-armed before each wait so that a completion cannot slip between check and wait.
std::uint32_t TWinSerialDevice::FinishWokenRead()
{
    OVERLAPPED &overlapped = impl_->readOverlapped;
    CancelIo(impl_->port);
    while (!HasOverlappedIoCompleted(&overlapped)) {
        ResetEvent(overlapped.hEvent);
        if (HasOverlappedIoCompleted(&overlapped)) {
            break;
        }
        WaitForSingleObject(overlapped.hEvent, INFINITE);
    }
    DWORD done = 0;
    GetOverlappedResult(impl_->port, &overlapped, &done, FALSE);
    return done;
}

void TWinSerialDevice::WakeReader() noexcept
{
    wakeRequested_ = true;
    if (impl_->readOverlapped.hEvent) {
        SetEvent(impl_->readOverlapped.hEvent);
    }
}

void TWinSerialDevice::Write(const char *data, std::uint32_t count, std::uint64_t waitLimitMs)
{
    OVERLAPPED &overlapped = impl_->writeOverlapped;
    PrepareOverlapped(overlapped);
    DWORD done = 0;
    if (WriteFile(impl_->port, data, count, &done, &overlapped)) {
        return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
        ThrowSendError(error);
    }
    FinishWrite(waitLimitMs);
}

void TWinSerialDevice::FinishWrite(std::uint64_t waitLimitMs)
{
    OVERLAPPED &overlapped = impl_->writeOverlapped;
    constexpr std::uint64_t kLongestWait = INFINITE - 1;  // INFINITE itself would mean no limit
    const DWORD limit = static_cast<DWORD>(waitLimitMs < kLongestWait ? waitLimitMs : kLongestWait);
    if (WaitForSingleObject(overlapped.hEvent, limit) == WAIT_TIMEOUT) {
        AbortWrite();
        throw TSerialError("Send Timeout");
    }
    DWORD done = 0;
    if (GetOverlappedResult(impl_->port, &overlapped, &done, TRUE)) {
        return;
    }
    const DWORD error = GetLastError();
    AbortWrite();
    ThrowSendError(error);
}

// Discards the transmit side and waits for the aborted write to complete, so that neither the
// OVERLAPPED record nor the caller's data is still in the driver's hands once Write returns.
void TWinSerialDevice::AbortWrite() noexcept
{
    PurgeComm(impl_->port, PURGE_TXABORT | PURGE_TXCLEAR);
    DWORD done = 0;
    GetOverlappedResult(impl_->port, &impl_->writeOverlapped, &done, TRUE);
}

void TWinSerialDevice::Purge() noexcept
{
    PurgeComm(impl_->port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

bool TWinSerialDevice::GetModemStatus(std::uint32_t &bits)
{
    DWORD status = 0;
    if (!GetCommModemStatus(impl_->port, &status)) {
        return false;
    }
    bits = status & kModemBits;
    return true;
}

void TWinSerialDevice::SetModemLine(TModemLine line, bool on) noexcept
{
    DWORD function = 0;
    if (line == TModemLine::dtr) {
        function = on ? SETDTR : CLRDTR;
    } else {
        function = on ? SETRTS : CLRRTS;
    }
    EscapeCommFunction(impl_->port, function);
}

void TWinSerialDevice::ReadStateIfNeeded()
{
    if (!impl_->dcbValid) {
        GetState();
    }
}

void TWinSerialDevice::ReadTimeoutsIfNeeded()
{
    if (!impl_->timeoutsValid) {
        GetTimeouts();
    }
}

std::unique_ptr<TSerialDevice> CreateSystemSerialDevice()
{
    return std::make_unique<TWinSerialDevice>();
}

}  // namespace kestrova::comm

#endif  // _WIN32
