#ifdef _WIN32

#include "serialdevice_win.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

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

// Throws message with what the system said about the calling thread's last error, and its code.
[[noreturn]] void Fail(const char *message, const std::string &call)
{
    const DWORD code = GetLastError();
    throw TSerialError(message, call + ": " + WinSystemText(code), int(code));
}

[[noreturn]] void ThrowSendError(DWORD code, const char *call)
{
    throw TSerialError("Send Error: " + std::to_string(code),
                       call + std::string(": ") + WinSystemText(code), int(code));
}

// Holds a slim reader/writer lock exclusively for its lifetime.
class TExclusive {
public:
    explicit TExclusive(SRWLOCK &lock) : FLock(lock) { AcquireSRWLockExclusive(&FLock); }
    ~TExclusive() { ReleaseSRWLockExclusive(&FLock); }
    TExclusive(const TExclusive &) = delete;
    TExclusive &operator=(const TExclusive &) = delete;

private:
    SRWLOCK &FLock;
};

}  // namespace

TOpenFailureKind WinOpenFailureKindOf(std::uint32_t code)
{
    switch (code) {
        case 0: return TOpenFailureKind::none;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_UNIT:
        case ERROR_DEV_NOT_EXIST: return TOpenFailureKind::noSuchDevice;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY: return TOpenFailureKind::busy;
        default: return TOpenFailureKind::other;
    }
}

std::string Utf8FromUtf16(const wchar_t *text, int length)
{
    if (length <= 0) {
        return {};
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
    }
    return out;
}

std::string WinSystemText(std::uint32_t code, std::uint16_t language)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, language, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string message = length > 0 && text ? Utf8FromUtf16(text, int(length)) : "error";
    if (text) {
        LocalFree(text);
    }
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return message + " (" + std::to_string(code) + ")";
}

struct TWinSerialDevice::TImpl {
    HANDLE port = INVALID_HANDLE_VALUE;
    OVERLAPPED readOverlapped{};   // used by Read only
    OVERLAPPED writeOverlapped{};  // used by Write only
    DCB dcb{};                     // as last read, so SetState keeps the fields it does not set
    bool dcbValid = false;
    COMMTIMEOUTS timeouts{};  // as last read, so SetTimeouts keeps the write time-outs
    bool timeoutsValid = false;
    bool manualRtsToggle = false;      // RTS raised by Write: the driver refused RTS_CONTROL_TOGGLE
    SRWLOCK readStart = SRWLOCK_INIT;  // orders issuing and ending a read with DiscardInput
    // Reads that went pending in the driver, and how many of them have ended (under readStart):
    // a read is pending while they differ. Counts, not an event, so that a discard waits for the
    // read pending when it ran and never for one issued after it.
    std::atomic<std::uint64_t> readsPending{0};  // atomic for PendingReadsStarted
    std::uint64_t readsEnded = 0;
    CONDITION_VARIABLE readEnded = CONDITION_VARIABLE_INIT;

    void EndPendingRead()
    {
        TExclusive lock(readStart);
        ++readsEnded;
        WakeAllConditionVariable(&readEnded);
    }
};

TWinSerialDevice::TWinSerialDevice(std::shared_ptr<TWinCommIo> io)
    : FIo(io ? std::move(io) : TWinCommIo::System()), FImpl(std::make_unique<TImpl>())
{
}

TWinSerialDevice::~TWinSerialDevice()
{
    Close();
}

void TWinSerialDevice::Open(const std::string &name)
{
    Close();
    // Exclusive access, overlapped so that reading and writing do not serialise on the handle.
    FImpl->port = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (FImpl->port == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        throw TSerialError("Comport Unavailable.",
                           "CreateFile " + name + ": " + WinSystemText(code), int(code));
    }
    FImpl->readOverlapped.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    FImpl->writeOverlapped.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    if (!FImpl->readOverlapped.hEvent || !FImpl->writeOverlapped.hEvent) {
        const DWORD code = GetLastError();
        Close();
        throw TSerialError("Comport Unavailable.", "CreateEvent: " + WinSystemText(code),
                           int(code));
    }
}

TLineState TWinSerialDevice::GetState()
{
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(FImpl->port, &dcb)) {
        Fail("GetCommState Failed.", "GetCommState");
    }
    FImpl->dcb = dcb;
    FImpl->dcbValid = true;
    TLineState state;
    state.baudRate = dcb.BaudRate;
    state.byteSize = dcb.ByteSize;
    state.parity = dcb.Parity;
    state.stopBits = dcb.StopBits;
    state.dtrControl = static_cast<std::uint8_t>(dcb.fDtrControl);
    state.rtsControl = FImpl->manualRtsToggle ? std::uint8_t(RTS_CONTROL_TOGGLE)
                                              : static_cast<std::uint8_t>(dcb.fRtsControl);
    return state;
}

void TWinSerialDevice::SetState(const TLineState &state)
{
    ReadStateIfNeeded();
    DCB dcb = FImpl->dcb;
    dcb.BaudRate = state.baudRate;
    dcb.ByteSize = state.byteSize;
    dcb.Parity = state.parity;
    dcb.StopBits = state.stopBits;
    dcb.fDtrControl = state.dtrControl & 3u;
    dcb.fRtsControl = state.rtsControl & 3u;
    bool manual = false;
    if (!SetCommState(FImpl->port, &dcb)) {
        // Refused with RTS toggling: take the rest with RTS off, and toggle it by hand.
        const DWORD code = GetLastError();
        manual = dcb.fRtsControl == RTS_CONTROL_TOGGLE;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        if (!manual || !SetCommState(FImpl->port, &dcb)) {
            SetLastError(code);
            Fail("SetCommState Failed.", "SetCommState");
        }
    }
    FImpl->dcb = dcb;  // only what the driver accepted becomes the base for the next change
    FImpl->manualRtsToggle = manual;
}

TReadTimeouts TWinSerialDevice::GetTimeouts()
{
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(FImpl->port, &timeouts)) {
        Fail("GetCommTimeouts Failed.", "GetCommTimeouts");
    }
    FImpl->timeouts = timeouts;
    FImpl->timeoutsValid = true;
    return {timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
            timeouts.ReadTotalTimeoutConstant};
}

void TWinSerialDevice::SetTimeouts(const TReadTimeouts &timeouts)
{
    ReadTimeoutsIfNeeded();
    COMMTIMEOUTS all = FImpl->timeouts;
    all.ReadIntervalTimeout = timeouts.interval;
    all.ReadTotalTimeoutMultiplier = timeouts.totalMultiplier;
    all.ReadTotalTimeoutConstant = timeouts.totalConstant;
    if (!SetCommTimeouts(FImpl->port, &all)) {
        Fail("SetCommTimeouts Failed.", "SetCommTimeouts");
    }
    FImpl->timeouts = all;
}

void TWinSerialDevice::SetQueueSizes(std::uint32_t input, std::uint32_t output)
{
    if (!SetupComm(FImpl->port, input, output)) {
        Fail("SetupComm Failed - try reducing buffer size.", "SetupComm");
    }
}

bool TWinSerialDevice::IsOpen() const
{
    return FImpl->port != INVALID_HANDLE_VALUE;
}

void TWinSerialDevice::Close() noexcept
{
    if (FImpl->port != INVALID_HANDLE_VALUE) {
        // Whichever thread started it: CancelIo would reach only the calling thread's I/O.
        CancelIoEx(FImpl->port, nullptr);
    }
    CloseIfSet(FImpl->port, INVALID_HANDLE_VALUE);
    CloseIfSet(FImpl->writeOverlapped.hEvent, nullptr);
    CloseIfSet(FImpl->readOverlapped.hEvent, nullptr);
    FImpl->dcbValid = false;
    FImpl->timeoutsValid = false;
    FImpl->manualRtsToggle = false;
    FWakeRequested = false;
    FDiscarded = false;
}

TReadResult TWinSerialDevice::Read(char *buffer, std::uint32_t count)
{
    OVERLAPPED &overlapped = FImpl->readOverlapped;
    PrepareOverlapped(overlapped);
    if (FWakeRequested) {
        return {};
    }
    std::uint32_t purges = 0;
    std::uint32_t started = 0;
    std::uint32_t error = 0;
    if (!StartRead(buffer, count, started, error, purges)) {
        return {};
    }
    if (error != ERROR_IO_PENDING) {
        return error == 0 ? TReadResult{started, 0} : Finished(started, error, purges);
    }
    // Whichever way it ends, the pending read is counted as ended once the driver let go of it.
    struct TEndOnExit {
        TImpl &impl;
        ~TEndOnExit() { impl.EndPendingRead(); }
    } const endOnExit{*FImpl};
    // ReadFile resets the event itself, so a wake that came just before it would be lost
    // without this second look at the flag.
    if (!FWakeRequested) {
        WaitForSingleObject(overlapped.hEvent, INFINITE);
    }
    // Woken, or a discard came since the read was issued: it ends here with what it took.
    if (FWakeRequested || FPurges != purges) {
        return {FinishWokenRead(), 0};
    }
    DWORD done = 0;
    if (!GetOverlappedResult(FImpl->port, &overlapped, &done, TRUE)) {
        return Finished(done, GetLastError(), purges);
    }
    return {done, 0};
}

// Issues the read, unless a discard came since the last one: its caller may hold the generation
// before that discard, so it returns empty and the next read is of the new generation. The lock
// makes a discard either find this read issued (and end it) or be over before it is issued.
bool TWinSerialDevice::StartRead(char *buffer, std::uint32_t count, std::uint32_t &done,
                                 std::uint32_t &error, std::uint32_t &purges)
{
    TExclusive lock(FImpl->readStart);
    if (FDiscarded.exchange(false)) {
        return false;
    }
    purges = FPurges;
    DWORD got = 0;
    error = ReadFile(FImpl->port, buffer, count, &got, &FImpl->readOverlapped) ? 0 : GetLastError();
    done = got;
    if (error == ERROR_IO_PENDING) {
        ++FImpl->readsPending;
    }
    return true;
}

// A read that failed: the time-outs expiring (Wine reports ERROR_TIMEOUT where Windows reports
// success) and an abort by Purge are ordinary ends of a read, with what it had.
TReadResult TWinSerialDevice::Finished(std::uint32_t done, std::uint32_t error,
                                       std::uint32_t purgesAtStart)
{
    const bool purged = (purgesAtStart & 1u) != 0 || FPurges != purgesAtStart;
    if (error == ERROR_TIMEOUT || (error == ERROR_OPERATION_ABORTED && purged)) {
        return {done, 0};
    }
    return {done, error};
}

// Cancels the pending read and waits until the driver has let go of the buffer. The event may
// have been set by WakeReader rather than by the I/O, so completion is judged by the record's
// status, re-armed before each wait so that a completion cannot slip between check and wait.
std::uint32_t TWinSerialDevice::FinishWokenRead()
{
    OVERLAPPED &overlapped = FImpl->readOverlapped;
    CancelIoEx(FImpl->port, &overlapped);
    while (!HasOverlappedIoCompleted(&overlapped)) {
        ResetEvent(overlapped.hEvent);
        if (HasOverlappedIoCompleted(&overlapped)) {
            break;
        }
        WaitForSingleObject(overlapped.hEvent, INFINITE);
    }
    DWORD done = 0;
    GetOverlappedResult(FImpl->port, &overlapped, &done, FALSE);
    return done;
}

void TWinSerialDevice::WakeReader() noexcept
{
    FWakeRequested = true;
    if (FImpl->readOverlapped.hEvent) {
        SetEvent(FImpl->readOverlapped.hEvent);
    }
}

void TWinSerialDevice::Write(const char *data, std::uint32_t count, std::uint64_t waitLimitMs)
{
    if (!FImpl->manualRtsToggle) {
        WriteOnce(data, count, waitLimitMs);
        return;
    }
    const std::uint64_t deadline = GetTickCount64() + waitLimitMs;
    FIo->EscapeFunction(FImpl->port, SETRTS);
    try {
        WriteOnce(data, count, waitLimitMs);
        WaitSent(deadline);
    } catch (...) {
        FIo->EscapeFunction(FImpl->port, CLRRTS);
        throw;
    }
    FIo->EscapeFunction(FImpl->port, CLRRTS);
}

// Waits until the driver's output queue is empty, then for the characters still in the UART's
// transmit FIFO (up to 16, and the shift register) to leave, so that RTS drops after the last bit.
void TWinSerialDevice::WaitSent(std::uint64_t deadlineMs)
{
    std::uint32_t queued = 0;
    while (FIo->OutputQueued(FImpl->port, queued) && queued > 0) {
        if (GetTickCount64() >= deadlineMs) {
            FIo->Purge(FImpl->port, PURGE_TXABORT | PURGE_TXCLEAR);
            throw TSerialError("Send Timeout", std::to_string(queued) + " bytes still queued");
        }
        Sleep(1);
    }
    const DWORD baud = FImpl->dcb.BaudRate > 0 ? FImpl->dcb.BaudRate : 1;
    constexpr DWORD kBitsInFlight = 17 * 11;  // 16 in the FIFO, 1 shifting; 11 bits at most each
    Sleep(static_cast<DWORD>((std::uint64_t(kBitsInFlight) * 1000 + baud - 1) / baud));
}

void TWinSerialDevice::WriteOnce(const char *data, std::uint32_t count, std::uint64_t waitLimitMs)
{
    OVERLAPPED &overlapped = FImpl->writeOverlapped;
    PrepareOverlapped(overlapped);
    DWORD done = 0;
    if (WriteFile(FImpl->port, data, count, &done, &overlapped)) {
        return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
        ThrowSendError(error, "WriteFile");
    }
    FinishWrite(waitLimitMs);
}

void TWinSerialDevice::FinishWrite(std::uint64_t waitLimitMs)
{
    OVERLAPPED &overlapped = FImpl->writeOverlapped;
    constexpr std::uint64_t kLongestWait = INFINITE - 1;  // INFINITE itself would mean no limit
    const DWORD limit = static_cast<DWORD>(waitLimitMs < kLongestWait ? waitLimitMs : kLongestWait);
    if (WaitForSingleObject(overlapped.hEvent, limit) == WAIT_TIMEOUT) {
        AbortWrite();
        throw TSerialError("Send Timeout",
                           "the write did not complete within " + std::to_string(limit) + " ms");
    }
    DWORD done = 0;
    if (GetOverlappedResult(FImpl->port, &overlapped, &done, TRUE)) {
        return;
    }
    const DWORD error = GetLastError();
    AbortWrite();
    ThrowSendError(error, "WriteFile");
}

// Discards the transmit side and waits for the aborted write to complete, so that neither the
// OVERLAPPED record nor the caller's data is still in the driver's hands once Write returns. The
// write is also cancelled: a purge does not abort it everywhere (Wine), and the wait below would
// then last until the other end read everything.
void TWinSerialDevice::AbortWrite() noexcept
{
    FIo->Purge(FImpl->port, PURGE_TXABORT | PURGE_TXCLEAR);
    CancelIoEx(FImpl->port, &FImpl->writeOverlapped);
    DWORD done = 0;
    GetOverlappedResult(FImpl->port, &FImpl->writeOverlapped, &done, TRUE);
}

// The pending read is also cancelled, since not every purge aborts it (Wine's does not); either
// way it ends empty (see Finished), and the reader carries on with a read that starts afresh.
void TWinSerialDevice::Purge() noexcept
{
    if (FImpl->port == INVALID_HANDLE_VALUE) {
        return;
    }
    ++FPurges;
    FIo->Purge(FImpl->port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CancelIoEx(FImpl->port, &FImpl->readOverlapped);
    ++FPurges;
}

// The receive side only: a frame still in the output queue goes out. The pending read is woken
// and cancels itself (Wine does not find a read that another thread cancels by its record); it
// returns what it took, bytes of the old generation. The discard waits, without a time limit,
// for that read to end: still pending when the next frame went out, it would take the answer as
// old bytes (a purge under Wine does not end it). The wait cannot deadlock: the read was woken,
// and a reader holds no lock while its read is pending (on the reader thread none is pending).
// With no read pending, the reader may be on its way into one with the old generation in hand:
// that read returns empty.
void TWinSerialDevice::DiscardInput() noexcept
{
    if (FImpl->port == INVALID_HANDLE_VALUE) {
        return;
    }
    TExclusive lock(FImpl->readStart);
    ++FPurges;
    FIo->Purge(FImpl->port, PURGE_RXABORT | PURGE_RXCLEAR);
    NextInputGeneration();
    const std::uint64_t pendingNow = FImpl->readsPending;
    FDiscarded = FImpl->readsEnded == pendingNow;
    ++FPurges;
    SetEvent(FImpl->readOverlapped.hEvent);
    while (FImpl->readsEnded < pendingNow) {
        SleepConditionVariableSRW(&FImpl->readEnded, &FImpl->readStart, INFINITE, 0);
    }
}

std::string TWinSerialDevice::ReadErrorDetail(std::uint32_t code) const
{
    return "ReadFile: " + WinSystemText(code);
}

std::uint64_t TWinSerialDevice::PendingReadsStarted() const noexcept
{
    return FImpl->readsPending;
}

bool TWinSerialDevice::GetModemStatus(std::uint32_t &bits)
{
    std::uint32_t status = 0;
    if (FImpl->port == INVALID_HANDLE_VALUE || !FIo->GetModemStatus(FImpl->port, status)) {
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
    if (FImpl->port != INVALID_HANDLE_VALUE) {
        FIo->EscapeFunction(FImpl->port, function);
    }
}

void TWinSerialDevice::ReadStateIfNeeded()
{
    if (!FImpl->dcbValid) {
        GetState();
    }
}

void TWinSerialDevice::ReadTimeoutsIfNeeded()
{
    if (!FImpl->timeoutsValid) {
        GetTimeouts();
    }
}

std::unique_ptr<TSerialDevice> CreateSystemSerialDevice()
{
    return std::make_unique<TWinSerialDevice>();
}

}  // namespace kestrova::comm

#endif  // _WIN32
