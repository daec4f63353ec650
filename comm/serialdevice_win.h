#pragma once

// Windows backend of TSerialDevice. The header stays free of <windows.h>; the handles live in a
// private structure defined in the source file.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "kestrova_comm_export.h"
#include "serialdevice.h"
#include "wincommio_win.h"

namespace kestrova::comm {

// A COM port driven through the Win32 communications API. The handle is opened for overlapped
// I/O so that Read on the reader thread and Write on the owning thread can be in flight at the
// same time; each has its own OVERLAPPED record and event.
//
// Windows and Wine differ in places, and both are handled: a read that times out with no data is
// an empty read whether it ends with success and no bytes (Windows) or with ERROR_TIMEOUT (Wine);
// Purge ends a pending read as an empty read, whether the purge aborts it (Windows) or not (Wine);
// an aborted write is cancelled outright, since Wine's purge does not abort it either. A driver
// that refuses RTS on while transmitting (Wine's, some USB adapters') gets RTS raised by hand
// around each write, until the driver's output queue has been sent, as the POSIX backend does.
class KESTROVA_COMM_EXPORT TWinSerialDevice final : public TSerialDevice {
public:
    explicit TWinSerialDevice(std::shared_ptr<TWinCommIo> io = TWinCommIo::System());
    ~TWinSerialDevice() override;

    TWinSerialDevice(const TWinSerialDevice &) = delete;
    TWinSerialDevice &operator=(const TWinSerialDevice &) = delete;

    void Open(const std::string &name) override;
    TLineState GetState() override;
    void SetState(const TLineState &state) override;
    TReadTimeouts GetTimeouts() override;
    void SetTimeouts(const TReadTimeouts &timeouts) override;
    void SetQueueSizes(std::uint32_t input, std::uint32_t output) override;

    bool IsOpen() const override;
    void Close() noexcept override;

    TReadResult Read(char *buffer, std::uint32_t count) override;
    void WakeReader() noexcept override;

    void Write(const char *data, std::uint32_t count, std::uint64_t waitLimitMs) override;
    void Purge() noexcept override;
    // Clears the driver's input queue only (a frame being sent is kept), starts a new input
    // generation, ends a pending read and returns once it has ended (so the next frame's answer
    // lands in a read of the new generation); with none pending, the next read returns empty.
    void DiscardInput() noexcept override;
    // "ReadFile: " and the system's text for the code, e.g. "The pipe has been ended. (109)".
    std::string ReadErrorDetail(std::uint32_t code) const override;

    bool GetModemStatus(std::uint32_t &bits) override;
    void SetModemLine(TModemLine line, bool on) noexcept override;

    // How many reads have gone pending in the driver so far: a test waits for it to move to know
    // that a read is in progress (an idle read stays pending for its total time-out).
    std::uint64_t PendingReadsStarted() const noexcept;

private:
    struct TImpl;  // port and event handles, OVERLAPPED records, cached DCB and time-outs

    void ReadStateIfNeeded();
    void ReadTimeoutsIfNeeded();
    bool StartRead(char *buffer, std::uint32_t count, std::uint32_t &done, std::uint32_t &error,
                   std::uint32_t &purges);
    TReadResult Finished(std::uint32_t done, std::uint32_t error, std::uint32_t purgesAtStart);
    std::uint32_t FinishWokenRead();
    void WriteOnce(const char *data, std::uint32_t count, std::uint64_t waitLimitMs);
    void FinishWrite(std::uint64_t waitLimitMs);
    void WaitSent(std::uint64_t deadlineMs);
    void AbortWrite() noexcept;

    std::shared_ptr<TWinCommIo> FIo;
    std::unique_ptr<TImpl> FImpl;
    std::atomic<bool> FWakeRequested{false};
    // Set by a DiscardInput that found no read pending, taken by the next Read, which then returns
    // empty: it may have been given the old generation by its caller, so it must not take the
    // bytes of the new one.
    std::atomic<bool> FDiscarded{false};
    // Odd while a purge or discard runs; each adds two. A read that started during a purge, or saw
    // one start since, may have been aborted by it.
    std::atomic<std::uint32_t> FPurges{0};
};

// What a Win32 error code of a failed open stands for. A port that another program holds answers
// access denied (or a sharing violation), so both are "busy".
KESTROVA_COMM_EXPORT TOpenFailureKind WinOpenFailureKindOf(std::uint32_t code);

// The system's text for a Win32 error code, asked for in UTF-16 and given in UTF-8, with the code
// after it: "Access is denied. (5)". language is a LANGID; 0 lets the system choose (the user's).
KESTROVA_COMM_EXPORT std::string WinSystemText(std::uint32_t code, std::uint16_t language = 0);

// UTF-8 of length UTF-16 units of text (surrogate pairs included).
KESTROVA_COMM_EXPORT std::string Utf8FromUtf16(const wchar_t *text, int length);

}  // namespace kestrova::comm
