// The Windows serial backend against a pseudo-terminal on the Linux side (see ptypeer.cpp), under
// Wine: the data path as the reader thread uses it, the write wait limit, hang-ups, closing.
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "comm/portname.h"
#include "comm/serialdevice_win.h"
#include "comm/wincommio_win.h"
#include "peerclient.h"
#include "testharness.h"

using namespace kestrova::comm;

namespace {

constexpr unsigned kPort = 5;  // the script links dosdevices/com5 to the peer's pty

TPeerClient &Peer()
{
    static TPeerClient peer;
    return peer;
}

std::string AllByteValues()
{
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

// A fresh line behind COM5, opened and set up as TComThread::ComInit does for the given Timeout.
void OpenPort(TWinSerialDevice &device, std::uint32_t timeout)
{
    REQUIRE(Peer().Fresh());
    device.Open(PortDeviceName(kPort));
    TLineState state = device.GetState();
    state.baudRate = 9600;
    state.byteSize = 8;
    device.SetState(state);
    device.SetTimeouts({timeout / 10 + 1, timeout / 10 + 1, timeout});
    device.SetQueueSizes(128, 128);
}

// Waits (bounded) until the device's count of reads gone pending reaches count: that read is
// in progress, and stays so until data, a wake, a purge or its total time-out end it.
bool ReadPending(const TWinSerialDevice &device, std::uint64_t count)
{
    return TTestHarness::WaitFor([&] { return device.PendingReadsStarted() >= count; }, 3000);
}

struct TChunk {
    std::string bytes;
    std::int64_t atMs;
    std::uint64_t generation;  // the device's input generation when the chunk's read began
};

// Reads as TComport does: one read after another, each non-empty chunk kept; it stops at the first
// failure or once Stop was asked (checked after each read, so a wake that comes while it is on its
// way into the next read must still end that read at once). With a hand-off, each chunk waits for
// the test thread (the "main thread") to take it, as Synchronize does.
class TReader {
public:
    TReader(TSerialDevice &device, std::uint32_t packetSize, bool handOff = false)
        : FDevice(device), FPacketSize(packetSize), FHandOff(handOff)
    {
        InitializeSRWLock(&FLock);
        FTaken = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        FThread = CreateThread(nullptr, 0, &TReader::Run, this, 0, nullptr);
    }
    ~TReader()
    {
        Stop();
        CloseHandle(FThread);
        CloseHandle(FTaken);
    }

    // Wakes the reader and waits (bounded) for it to end; false when it did not.
    bool Stop(DWORD waitMs = 5000)
    {
        FStop = true;
        FDevice.WakeReader();
        SetEvent(FTaken);
        return WaitForSingleObject(FThread, waitMs) == WAIT_OBJECT_0;
    }
    // What a handler does: terminate and wake, without waiting.
    void RequestStop()
    {
        FStop = true;
        FDevice.WakeReader();
    }
    bool Ended() const { return WaitForSingleObject(FThread, 0) == WAIT_OBJECT_0; }
    HANDLE Thread() const { return FThread; }

    std::vector<TChunk> Chunks()
    {
        AcquireSRWLockShared(&FLock);
        std::vector<TChunk> copy = FChunks;
        ReleaseSRWLockShared(&FLock);
        return copy;
    }
    std::string All()
    {
        std::string bytes;
        for (const TChunk &chunk : Chunks()) {
            bytes += chunk.bytes;
        }
        return bytes;
    }
    // The bytes of the chunks that TComport would still deliver: those of the current generation.
    std::string Current()
    {
        std::string bytes;
        for (const TChunk &chunk : Chunks()) {
            bytes += chunk.generation == FDevice.InputGeneration() ? chunk.bytes : "";
        }
        return bytes;
    }
    int Failures() const { return FFailures; }
    std::uint32_t FailureCode() const { return FFailureCode; }
    int EmptyReads() const { return FEmptyReads; }
    // Hand-off mode: waits for a chunk to be waiting for the test thread.
    bool ChunkWaiting(std::int64_t timeoutMs)
    {
        return TTestHarness::WaitFor([this] { return FWaiting.load(); }, timeoutMs);
    }
    void TakeChunk()
    {
        FWaiting = false;
        SetEvent(FTaken);
    }
    std::int64_t LastReadStartMs() const { return FReadStart; }

private:
    static DWORD WINAPI Run(void *self)
    {
        static_cast<TReader *>(self)->Loop();
        return 0;
    }

    void Loop()
    {
        std::vector<char> buffer(FPacketSize + 1);
        for (;;) {
            FReadStart = TTestHarness::NowMs();
            const std::uint64_t generation = FDevice.InputGeneration();
            const TReadResult result = FDevice.Read(buffer.data(), FPacketSize);
            if (result.Failed()) {
                FFailureCode = result.errorCode;
                ++FFailures;
                return;
            }
            if (result.count > 0) {
                AcquireSRWLockExclusive(&FLock);
                FChunks.push_back(
                    {std::string(buffer.data(), result.count), TTestHarness::NowMs(), generation});
                ReleaseSRWLockExclusive(&FLock);
                if (FHandOff && !FStop) {
                    FWaiting = true;
                    WaitForSingleObject(FTaken, INFINITE);
                }
            } else {
                ++FEmptyReads;
            }
            if (FStop) {
                return;
            }
        }
    }

    TSerialDevice &FDevice;
    std::uint32_t FPacketSize;
    bool FHandOff;
    SRWLOCK FLock;
    std::vector<TChunk> FChunks;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FWaiting{false};
    std::atomic<int> FFailures{0};
    std::atomic<std::uint32_t> FFailureCode{0};
    std::atomic<int> FEmptyReads{0};
    std::atomic<std::int64_t> FReadStart{0};
    HANDLE FTaken;
    HANDLE FThread;
};

KTEST(peerIsReachable)
{
    REQUIRE(Peer().Connected());
}

KTEST(allByteValuesPassBothWays)
{
    TWinSerialDevice device;
    OpenPort(device, 100);
    TReader reader(device, 80);
    const std::string bytes = AllByteValues();
    REQUIRE(Peer().Send(bytes));
    CHECK(TTestHarness::WaitFor([&] { return reader.All().size() >= bytes.size(); }, 5000));
    CHECK(reader.All() == bytes);
    for (const TChunk &chunk : reader.Chunks()) {
        CHECK(!chunk.bytes.empty() && chunk.bytes.size() <= 80);
    }
    device.Write(bytes.data(), std::uint32_t(bytes.size()), 5000);
    CHECK(Peer().Receive(bytes.size(), 5000) == bytes);
    CHECK(reader.Failures() == 0);
}

// The interval time-out (Timeout / 10 + 1 = 11 ms) ends the read after the byte; without it the
// read would wait for the total time-out (100 + 11 x 80 = 980 ms).
KTEST(oneByteAnswerIsOneDelivery)
{
    TWinSerialDevice device;
    OpenPort(device, 100);
    TReader reader(device, 80);
    const std::int64_t sent = TTestHarness::NowMs();
    REQUIRE(Peer().Send("\x06"));
    REQUIRE(TTestHarness::WaitFor([&] { return !reader.Chunks().empty(); }, 3000));
    Sleep(200);  // a second delivery, if any, would come within the interval time-out
    const std::vector<TChunk> chunks = reader.Chunks();
    CHECK(chunks.size() == 1);
    CHECK(chunks[0].bytes == "\x06");
    CHECK_MSG(chunks[0].atMs - sent < 500, std::to_string(chunks[0].atMs - sent) + " ms");
}

KTEST(burstComesInOrderedChunksOfAtMostThePacketSize)
{
    TWinSerialDevice device;
    OpenPort(device, 100);
    TReader reader(device, 80);
    std::string burst;
    for (int i = 0; i < 200; ++i) {
        burst += static_cast<char>(i % 7 == 0 ? 0 : i);
    }
    REQUIRE(Peer().Send(burst));
    CHECK(TTestHarness::WaitFor([&] { return reader.All().size() >= burst.size(); }, 5000));
    CHECK(reader.All() == burst);
    const std::vector<TChunk> chunks = reader.Chunks();
    CHECK(chunks.size() >= 3);
    for (const TChunk &chunk : chunks) {
        CHECK_MSG(chunk.bytes.size() <= 80, std::to_string(chunk.bytes.size()));
    }
}

// An idle read ends empty after Timeout + (Timeout / 10 + 1) x PacketSize ms, not as a failure
// (Wine ends it with ERROR_TIMEOUT, Windows with success and no bytes).
KTEST(idleReadEndsEmptyAtTheTotalTimeout)
{
    struct TRow {
        std::uint32_t timeout, packetSize;
        std::int64_t expectedMs;
    };
    for (const TRow &row : {TRow{20, 4, 20 + 3 * 4}, TRow{100, 80, 980}}) {
        TWinSerialDevice device;
        OpenPort(device, row.timeout);
        std::vector<char> buffer(row.packetSize + 1);
        const std::int64_t start = TTestHarness::NowMs();
        const TReadResult result = device.Read(buffer.data(), row.packetSize);
        const std::int64_t took = TTestHarness::NowMs() - start;
        CHECK_MSG(!result.Failed(), "error " + std::to_string(result.errorCode));
        CHECK(result.count == 0);
        CHECK_MSG(took >= row.expectedMs - 5 && took <= row.expectedMs + 400,
                  std::to_string(took) + " ms, expected " + std::to_string(row.expectedMs));
    }
}

KTEST(wakeEndsAPendingReadAtOnce)
{
    TWinSerialDevice device;
    OpenPort(device, 2000);  // an idle read would last 2000 + 201 x 80 ms
    TReader reader(device, 80);
    REQUIRE(TTestHarness::WaitFor([&] { return reader.LastReadStartMs() != 0; }, 2000));
    Sleep(50);
    const std::int64_t start = TTestHarness::NowMs();
    CHECK(reader.Stop(3000));
    CHECK_MSG(TTestHarness::NowMs() - start < 500, std::to_string(TTestHarness::NowMs() - start));
    CHECK(reader.Failures() == 0);
    device.Close();
    CHECK(!device.IsOpen());
}

// The handler (on the test thread) closes the port: it wakes the reader, which is on its way
// into its next read; that read must end at once, then the port closes.
KTEST(closeFromTheHandler)
{
    TWinSerialDevice device;
    OpenPort(device, 2000);
    TReader reader(device, 80, true);
    REQUIRE(Peer().Send("\x06"));
    REQUIRE(reader.ChunkWaiting(5000));
    const std::int64_t start = TTestHarness::NowMs();
    reader.RequestStop();
    reader.TakeChunk();
    CHECK(TTestHarness::WaitFor([&] { return reader.Ended(); }, 3000));
    CHECK_MSG(TTestHarness::NowMs() - start < 500, std::to_string(TTestHarness::NowMs() - start));
    device.Close();
    CHECK(reader.Failures() == 0);
    CHECK(reader.All() == "\x06");
}

// Bytes sent before the hang-up arrive; then the reader stops once with a failure, and a write
// is refused with "Send Error: <code>".
KTEST(cablePullIsReportedOnce)
{
    TWinSerialDevice device;
    OpenPort(device, 100);
    TReader reader(device, 80);
    REQUIRE(Peer().Send("AB"));
    REQUIRE(TTestHarness::WaitFor([&] { return reader.All() == "AB"; }, 3000));
    REQUIRE(Peer().Hangup());
    CHECK(TTestHarness::WaitFor([&] { return reader.Ended(); }, 5000));
    CHECK(reader.Failures() == 1);
    CHECK(reader.FailureCode() != 0);
    CHECK(reader.All() == "AB");
    // The trace beside "Read Error: <code>" carries the system's text for the code.
    const std::string code = "(" + std::to_string(reader.FailureCode()) + ")";
    const std::string detail = device.ReadErrorDetail(reader.FailureCode());
    CHECK_MSG(detail.rfind("ReadFile: ", 0) == 0 && detail != "ReadFile: error " + code &&
                  detail.size() > code.size() && detail.substr(detail.size() - code.size()) == code,
              detail);
    bool refused = false;
    try {
        device.Write("x", 1, 1000);
    } catch (const TSerialError &error) {
        refused = std::string(error.what()).rfind("Send Error: ", 0) == 0;
    }
    CHECK(refused);
}

// Nobody reads the other end, so the driver's queue fills and the write cannot complete: it must
// end with "Send Timeout" at the wait limit, and the line must stay usable.
KTEST(writeBeyondTheWaitLimitIsSendTimeout)
{
    TWinSerialDevice device;
    OpenPort(device, 100);
    const std::string block(1 << 20, 'w');
    std::string message;
    const std::int64_t start = TTestHarness::NowMs();
    try {
        device.Write(block.data(), std::uint32_t(block.size()), 300);
    } catch (const TSerialError &error) {
        message = error.what();
    }
    const std::int64_t took = TTestHarness::NowMs() - start;
    CHECK(message == "Send Timeout");
    CHECK_MSG(took >= 290 && took < 3000, std::to_string(took) + " ms");
    Peer().Drain(300);
    device.Write("ok", 2, 2000);
    CHECK(Peer().Receive(2, 3000) == "ok");
}

// Modem lines the test sets, recorded line calls, and (with abortReads) a purge that aborts the
// pending read, as Windows' PURGE_RXABORT does and Wine's does not. Data stay on the real line.
class TFakeComm : public TWinCommIo {
public:
    std::atomic<std::uint32_t> inputs{0};
    std::atomic<bool> statusWorks{true};
    bool abortReads = false;
    std::vector<std::uint32_t> escapes;  // written by the test thread only
    THandle port = nullptr;              // as last seen
    std::uint32_t queuedAtRtsDrop = 0;
    std::atomic<std::uint32_t> purged{0};  // every PURGE_* flag asked for

    bool GetModemStatus(THandle handle, std::uint32_t &status) override
    {
        port = handle;
        if (!statusWorks) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return false;
        }
        status = inputs;
        return true;
    }
    bool EscapeFunction(THandle handle, std::uint32_t function) override
    {
        escapes.push_back(function);
        if (function == CLRRTS) {
            TWinCommIo::OutputQueued(handle, queuedAtRtsDrop);
        }
        return true;
    }
    bool Purge(THandle port, std::uint32_t flags) override
    {
        purged |= flags;
        const bool done = TWinCommIo::Purge(port, flags);
        if (abortReads && (flags & PURGE_RXABORT)) {
            CancelIoEx(port, nullptr);
        }
        return done;
    }
};

// Purge ends a pending read as an empty read, whether the driver's purge aborts it (Windows) or not
// (Wine): the reader goes on and takes what comes next. A read aborted by anything else is still a
// failure.
KTEST(purgeKeepsTheReaderRunning)
{
    for (const bool abortReads : {false, true}) {
        auto comm = std::make_shared<TFakeComm>();
        comm->abortReads = abortReads;
        TWinSerialDevice device(comm);
        OpenPort(device, 2000);
        TReader reader(device, 80);
        REQUIRE(ReadPending(device, 1));
        device.Purge();
        // It ends at once, empty, so that the next read starts after the purge (a read the reader
        // issued while the purge was still cancelling may end empty too).
        CHECK(TTestHarness::WaitFor([&] { return reader.EmptyReads() >= 1; }, 1000));
        REQUIRE(Peer().Send("Z"));
        CHECK(TTestHarness::WaitFor([&] { return reader.All() == "Z"; }, 3000));
        CHECK(reader.Failures() == 0 && !reader.Ended());
    }
    auto comm = std::make_shared<TFakeComm>();
    TWinSerialDevice device(comm);
    OpenPort(device, 2000);
    std::uint32_t bits = 0;
    device.GetModemStatus(bits);  // lets the layer see the port's handle
    TReader reader(device, 80);
    REQUIRE(ReadPending(device, 1));
    CancelIoEx(comm->port, nullptr);
    CHECK(TTestHarness::WaitFor([&] { return reader.Ended(); }, 3000));
    CHECK(reader.Failures() == 1 && reader.FailureCode() == ERROR_OPERATION_ABORTED);
}

// Before a frame, what was received is dropped: bytes waiting in the driver's queue, and bytes a
// pending read took (that read ends, its chunk of the old generation). A frame written earlier and
// not yet read by the far end still goes out, and the answer that follows is delivered.
KTEST(discardInputDropsOnlyReceivedBytes)
{
    for (const bool abortReads : {false, true}) {
        auto comm = std::make_shared<TFakeComm>();
        comm->abortReads = abortReads;
        TWinSerialDevice device(comm);
        OpenPort(device, 2000);  // a read gathers until 201 ms after its last byte
        device.Write("frame", 5, 2000);
        REQUIRE(Peer().Send("queued"));  // no read is pending: it waits in the driver's queue
        device.DiscardInput();
        TReader reader(device, 80);
        // The first read may hold the generation before the discard: it returns empty.
        CHECK(TTestHarness::WaitFor([&] { return reader.EmptyReads() == 1; }, 2000));
        REQUIRE(ReadPending(device, 1));  // the next read
        REQUIRE(Peer().Send("held"));
        device.DiscardInput();
        // A pty under Wine keeps a written frame even through a transmit purge: the flags tell.
        CHECK(Peer().Receive(5, 3000) == "frame");
        CHECK(comm->purged == (PURGE_RXABORT | PURGE_RXCLEAR));
        REQUIRE(Peer().Send("2"));
        CHECK_MSG(TTestHarness::WaitFor([&] { return reader.Current() == "2"; }, 3000),
                  reader.All() + ", of which current: " + reader.Current());
        CHECK_MSG(reader.All().find("queued") == std::string::npos, reader.All());
        CHECK(reader.Failures() == 0 && !reader.Ended());
    }
}

// The reader may not run between a discard and the answer to the next frame (a loaded machine):
// the discard waits for the read pending before it to end, however long that takes, so the answer
// lands in a read of the new generation. Here the reader is held suspended through the discard and
// let go 600 ms later (past the 250 ms the discard once waited at most).
KTEST(discardWaitsForTheReadPendingBeforeIt)
{
    auto comm = std::make_shared<TFakeComm>();
    TWinSerialDevice device(comm);
    OpenPort(device, 2000);
    TReader reader(device, 80);
    REQUIRE(ReadPending(device, 1));
    REQUIRE(SuspendThread(reader.Thread()) != DWORD(-1));
    struct THold {
        HANDLE thread;
        std::atomic<bool> resumed{false};
    } hold{reader.Thread()};
    HANDLE release = CreateThread(
        nullptr, 0,
        [](LPVOID param) -> DWORD {
            THold &hold = *static_cast<THold *>(param);
            Sleep(600);
            hold.resumed = true;
            return ResumeThread(hold.thread) == DWORD(-1);
        },
        &hold, 0, nullptr);
    REQUIRE(release != nullptr);
    device.DiscardInput();
    CHECK(hold.resumed);  // the old read can only end once its thread runs again
    REQUIRE(Peer().Send("2"));
    CHECK(WaitForSingleObject(release, 3000) == WAIT_OBJECT_0);
    CloseHandle(release);
    CHECK_MSG(TTestHarness::WaitFor([&] { return reader.Current() == "2"; }, 3000),
              reader.All() + ", of which current: " + reader.Current());
}

KTEST(modemLinesThroughTheCommLayer)
{
    auto comm = std::make_shared<TFakeComm>();
    TWinSerialDevice device(comm);
    OpenPort(device, 100);
    std::uint32_t bits = 0;
    comm->inputs = MS_CTS_ON | MS_RLSD_ON | 0x0F;  // bits outside the four lines are dropped
    CHECK(device.GetModemStatus(bits));
    CHECK(bits == (kModemCts | kModemRlsd));
    comm->statusWorks = false;  // as on a pty under Wine: no report at all
    CHECK(!device.GetModemStatus(bits));
    device.SetModemLine(TModemLine::dtr, true);
    device.SetModemLine(TModemLine::dtr, false);
    device.SetModemLine(TModemLine::rts, true);
    device.SetModemLine(TModemLine::rts, false);
    CHECK((comm->escapes == std::vector<std::uint32_t>{SETDTR, CLRDTR, SETRTS, CLRRTS}));
    device.Close();
    comm->statusWorks = true;
    CHECK(!device.GetModemStatus(bits));  // a closed port reports nothing and sets nothing
    device.SetModemLine(TModemLine::dtr, true);
    CHECK(comm->escapes.size() == 4);
}

// Every DTR and RTS mode is taken and reads back (Wine's device control block on a pty keeps its
// own modes: there, only the taking is checked).
KTEST(lineModesReachTheDeviceControlBlock)
{
    TWinSerialDevice device;
    OpenPort(device, 100);
    const bool wine = TTestHarness::UnderWine();
    for (int mode = 0; mode < 4; ++mode) {
        TLineState state = device.GetState();
        state.dtrControl = std::uint8_t(mode % 3);
        state.rtsControl = std::uint8_t(3 - mode);
        device.SetState(state);
        const TLineState back = device.GetState();
        CHECK(wine || back.dtrControl == state.dtrControl);
        CHECK(wine || back.rtsControl == state.rtsControl);
    }
    if (wine) {
        TTestHarness::Skip("modes read back: a pty under Wine keeps its own DTR/RTS modes");
    }
}

// A driver that refuses RTS on while transmitting (Wine's) is not a failed open: RTS is raised
// around each write and dropped once the output queue is empty, also when the write times out.
KTEST(rtsToggledByHandWhenTheDriverRefuses)
{
    auto comm = std::make_shared<TFakeComm>();
    TWinSerialDevice device(comm);
    OpenPort(device, 100);
    TLineState state = device.GetState();
    state.rtsControl = 3;
    device.SetState(state);
    CHECK(device.GetState().rtsControl == 3);
    device.Write("abc", 3, 2000);
    CHECK(Peer().Receive(3, 3000) == "abc");
    if (comm->escapes.empty() && !TTestHarness::UnderWine()) {
        TTestHarness::Skip("this driver toggles RTS itself");
    }
    CHECK((comm->escapes == std::vector<std::uint32_t>{SETRTS, CLRRTS}));
    CHECK(comm->queuedAtRtsDrop == 0);
    const std::string block(1 << 20, 'w');
    bool timedOut = false;
    try {
        device.Write(block.data(), std::uint32_t(block.size()), 300);
    } catch (const TSerialError &error) {
        timedOut = std::string(error.what()) == "Send Timeout";
    }
    CHECK(timedOut);
    CHECK(comm->escapes.size() == 4 && comm->escapes.back() == CLRRTS);
}

KTEST(waitLimitOfAWrite)
{
    CHECK(WriteWaitLimitMs(3, 9600) == 9000);
    CHECK(WriteWaitLimitMs(150, 9600) == 450000);  // past 32 bits in the product
    CHECK(WriteWaitLimitMs(1, 0) == 28800000);
}

// What TComThread records as OpenErrorCode() is the failure's OsError(): GetLastError's value,
// also when the failure comes after CreateFile (GetCommState on a file that is not a port, whose
// code is whichever the system names: 0 in the row).
KTEST(openFailureCarriesTheWin32Code)
{
    char folder[MAX_PATH] = {};
    REQUIRE(GetTempPathA(MAX_PATH, folder) > 0);
    const std::string file = std::string(folder) + "kestrova-not-a-port.txt";
    CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    struct TRow {
        std::string name;
        DWORD code;
        std::string message;
        TOpenFailureKind kind;
    };
    for (const TRow &row :
         {TRow{"\\\\.\\COM250", ERROR_FILE_NOT_FOUND, "Comport Unavailable.",
               TOpenFailureKind::noSuchDevice},
          TRow{folder, ERROR_ACCESS_DENIED, "Comport Unavailable.", TOpenFailureKind::busy},
          TRow{file, 0, "GetCommState Failed.", TOpenFailureKind::other}}) {
        TWinSerialDevice device;
        std::string message, detail;
        int osError = 0;
        try {
            device.Open(row.name);
            device.GetState();
        } catch (const TSerialError &error) {
            message = error.what();
            detail = error.Detail();
            osError = error.OsError();
        }
        device.Close();
        CHECK_MSG(message == row.message, row.name + ": " + message);
        CHECK_MSG(osError != 0 && (row.code == 0 || osError == int(row.code)),
                  row.name + ": " + std::to_string(osError));
        CHECK(WinOpenFailureKindOf(std::uint32_t(osError)) == row.kind);
        const std::string code = "(" + std::to_string(osError) + ")";
        CHECK_MSG(detail.size() > code.size() && detail.substr(detail.size() - code.size()) == code,
                  detail);
    }
    DeleteFileA(file.c_str());
    CHECK(WinOpenFailureKindOf(ERROR_SHARING_VIOLATION) == TOpenFailureKind::busy);
    CHECK(WinOpenFailureKindOf(0) == TOpenFailureKind::none);
}

// System texts arrive in UTF-8 whatever the language: a Portuguese sentence and a character
// beyond the 16-bit range convert, and a message the system gives in Portuguese (Wine has one)
// decodes back to the very UTF-16 text FormatMessageW gives.
KTEST(systemTextsAreUtf8)
{
    const wchar_t sentence[] =
        L"O sistema n\u00e3o pode encontrar o arquivo especificado. \U0001F600";
    CHECK(Utf8FromUtf16(sentence, int(wcslen(sentence))) ==
          "O sistema n\xc3\xa3o pode encontrar o arquivo especificado. \xf0\x9f\x98\x80");
    CHECK(Utf8FromUtf16(sentence, 0).empty());
    const WORD portuguese = MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN);
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, ERROR_FILE_NOT_FOUND, portuguese, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring expected(text ? text : L"", length);
    LocalFree(text);
    while (!expected.empty() && (expected.back() == L'\n' || expected.back() == L'\r')) {
        expected.pop_back();
    }
    if (expected.find_first_not_of(L" .abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") ==
        std::wstring::npos) {
        TTestHarness::Skip("no Portuguese message with a non-ASCII letter on this system");
    }
    expected += L" (2)";
    const std::string utf8 = WinSystemText(ERROR_FILE_NOT_FOUND, portuguese);
    std::wstring back(utf8.size(), L'\0');
    back.resize(std::size_t(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                                int(utf8.size()), back.data(), int(back.size()))));
    CHECK_MSG(back == expected, utf8);
}

KTEST(secondOpenerIsRefused)
{
    if (TTestHarness::UnderWine()) {
        TTestHarness::Skip("Wine lets a second exclusive open of a COM port succeed");
    }
    TWinSerialDevice first, second;
    OpenPort(first, 100);
    bool refused = false;
    try {
        second.Open(PortDeviceName(kPort));
    } catch (const TSerialError &) {
        refused = true;
    }
    CHECK(refused);
}

KTEST(lineSettingsReadBack)
{
    TWinSerialDevice device;
    OpenPort(device, 100);
    TLineState state = device.GetState();
    state.baudRate = 19200;
    state.byteSize = 7;
    state.stopBits = 2;
    device.SetState(state);
    const TLineState back = device.GetState();
    CHECK(back.baudRate == 19200);
    CHECK(back.stopBits == 2);
    if (TTestHarness::UnderWine()) {
        TTestHarness::Skip("data bits and parity: a pty under Wine reads back 8 bits, no parity");
    }
    CHECK(back.byteSize == 7);
}

}  // namespace

int main(int argc, char **argv)
{
    return TTestHarness::RunAll(argc, argv);
}
