#pragma once

// The operating-system side of one serial port, free of Qt so that the Windows backend builds with
// nothing but the Windows API. TComThread drives it; tests may substitute their own.

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "kestrova_comm_export.h"

namespace kestrova::comm {

// Line settings as the OS device control block holds them. The numbers are the ordinals of
// TComThread::TParity / TStopBits and TAdvancedCom::TDtrControl / TRtsControl.
struct TLineState {
    std::uint32_t baudRate = 9600;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;      // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t stopBits = 0;    // 0 one, 1 one and a half, 2 two
    std::uint8_t dtrControl = 1;  // 0 off, 1 on while open, 2 handshake
    std::uint8_t rtsControl = 1;  // 0 off, 1 on while open, 2 handshake, 3 on while transmitting
};

// Read time-outs with the meaning of the Windows COMMTIMEOUTS read fields, in milliseconds.
struct TReadTimeouts {
    std::uint32_t interval = 0;
    std::uint32_t totalMultiplier = 0;
    std::uint32_t totalConstant = 0;
};

// Outcome of one read: the bytes placed in the buffer, and the OS error code that ended the
// read (0 when it ended normally: count reached, time-out, or woken).
struct TReadResult {
    std::uint32_t count = 0;
    std::uint32_t errorCode = 0;
    bool Failed() const { return errorCode != 0; }
};

// Modem status bits, as the OS reports them.
inline constexpr std::uint32_t kModemCts = 0x10;
inline constexpr std::uint32_t kModemDsr = 0x20;
inline constexpr std::uint32_t kModemRing = 0x40;
inline constexpr std::uint32_t kModemRlsd = 0x80;

enum class TModemLine { dtr, rts };

// Carries one of the serial component's failure texts ("Comport Unavailable.", "Send Timeout",
// ...). The optional detail says what the OS reported, for traces; the message is what users see.
// Callers compare these texts, so they are the same in every language: never pass them to tr().
// osError is the OS error code behind the failure (errno on POSIX, GetLastError's value on
// Windows), 0 when there is none.
class KESTROVA_COMM_EXPORT TSerialError : public std::runtime_error {
public:
    explicit TSerialError(const std::string &message, std::string detail = {}, int osError = 0)
        : std::runtime_error(message), FDetail(std::move(detail)), FOsError(osError)
    {
    }
    const std::string &Detail() const noexcept { return FDetail; }
    int OsError() const noexcept { return FOsError; }

private:
    std::string FDetail;
    int FOsError;
};

// Why a device could not be opened, from the OS error code of the failure (TSerialError::OsError,
// TComThread::OpenErrorCode); see OpenFailureKindOf.
enum class TOpenFailureKind { none, noSuchDevice, permissionDenied, busy, other };

// One open port. Open, configuration, Write, Purge and modem lines are used by the owning thread;
// Read runs on the reader thread at the same time as Write; WakeReader may be called from any
// thread. Close is called only after the reader has stopped.
class KESTROVA_COMM_EXPORT TSerialDevice {
public:
    virtual ~TSerialDevice();

    // Each of these throws TSerialError with the failure text named beside it.
    virtual void Open(const std::string &name) = 0;               // "Comport Unavailable."
    virtual TLineState GetState() = 0;                            // "GetCommState Failed."
    virtual void SetState(const TLineState &state) = 0;           // "SetCommState Failed."
    virtual TReadTimeouts GetTimeouts() = 0;                      // "GetCommTimeouts Failed."
    virtual void SetTimeouts(const TReadTimeouts &timeouts) = 0;  // "SetCommTimeouts Failed."
    virtual void SetQueueSizes(std::uint32_t input, std::uint32_t output) = 0;
    // ^ "SetupComm Failed - try reducing buffer size."

    virtual bool IsOpen() const = 0;
    virtual void Close() noexcept = 0;

    // Reads up to count bytes, completing as the read time-outs say; returns early with what it
    // has (possibly nothing) once WakeReader was called. Reader thread only.
    virtual TReadResult Read(char *buffer, std::uint32_t count) = 0;
    // Makes a blocked or future Read return at once. Sticky until the port is closed.
    virtual void WakeReader() noexcept = 0;
    // What the OS says about the error code that ended a Read, for traces beside "Read Error:
    // <code>"; empty (the base version) where the code is all there is to say.
    virtual std::string ReadErrorDetail(std::uint32_t code) const;

    // Hands count bytes to the driver, waiting at most waitLimitMs. Throws TSerialError
    // "Send Timeout" (after discarding the transmit side) or "Send Error: <code>".
    virtual void Write(const char *data, std::uint32_t count, std::uint64_t waitLimitMs) = 0;
    // Discards both driver queues and aborts pending transfers.
    virtual void Purge() noexcept = 0;

    // Discards what has been received so far, before a frame is written whose answer must not be
    // confused with older bytes: the driver's input queue is emptied, InputGeneration() changes,
    // and a Read in progress returns at once. Every byte of a Read that started before the new
    // generation is stale. Any thread; the base version counts and purges (which aborts reads).
    virtual void DiscardInput() noexcept;
    std::uint64_t InputGeneration() const noexcept { return FInputGeneration.load(); }

protected:
    void NextInputGeneration() noexcept { ++FInputGeneration; }

public:
    // Reads the four modem input lines as kModem* bits; false when the OS cannot report them.
    virtual bool GetModemStatus(std::uint32_t &bits) = 0;
    // Raises or drops an output line at once; OS failures are not reported.
    virtual void SetModemLine(TModemLine line, bool on) noexcept = 0;

private:
    std::atomic<std::uint64_t> FInputGeneration{0};
};

// The backend of the platform the library was built for.
KESTROVA_COMM_EXPORT std::unique_ptr<TSerialDevice> CreateSystemSerialDevice();

// Longest time a write of count bytes may take: count x 28,800,000 / baud milliseconds, computed
// in 64 bits so that large writes cannot wrap. A baud rate of 0 counts as 1.
KESTROVA_COMM_EXPORT std::uint64_t WriteWaitLimitMs(std::uint32_t count, std::uint32_t baud);

}  // namespace kestrova::comm
