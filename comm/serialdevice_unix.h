#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "kestrova_comm_export.h"
#include "serialdevice.h"
#include "ttyio.h"

namespace kestrova::comm {

// A serial port on a POSIX terminal device. The descriptor is non-blocking; reads emulate the
// Windows read time-outs with poll() and wake through an eventfd; writes wait with poll().
// Read completes as soon as the bytes that have arrived are taken: the interval time-out bounds
// how long a read may keep gathering, it never delays a delivery.
class KESTROVA_COMM_EXPORT TUnixSerialDevice final : public TSerialDevice {
public:
    explicit TUnixSerialDevice(std::shared_ptr<TTtyIo> io = TTtyIo::System());
    ~TUnixSerialDevice() override;

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
    // Flushes the kernel's input queue, then starts a new input generation and interrupts a
    // Read in progress (once; unlike WakeReader it is not sticky).
    void DiscardInput() noexcept override;
    bool GetModemStatus(std::uint32_t &bits) override;
    void SetModemLine(TModemLine line, bool on) noexcept override;

    int Descriptor() const { return FFd; }
    // True when RTS-on-send is done by hand around each write (no RS-485 mode in the driver).
    bool ManualRtsToggle() const { return FManualRtsToggle; }

private:
    enum class TPollOutcome { timeout, readable, hangup, woken, interrupted, failed };

    void ApplyModemLines(const TLineState &state);
    void VerifyAttributes(const termios &wanted, std::uint32_t baud);
    TPollOutcome WaitReadable(std::int64_t waitMs, int &errorCode);
    void WriteAll(const char *data, std::uint32_t count, std::uint64_t waitLimitMs);

    std::shared_ptr<TTtyIo> FIo;
    int FFd = -1;
    int FWakeFd = -1;
    int FDiscardFd = -1;
    TReadTimeouts FTimeouts;
    bool FManualRtsToggle = false;
    bool FRs485 = false;
    bool FRtsHandshake = false;
};

}  // namespace kestrova::comm
