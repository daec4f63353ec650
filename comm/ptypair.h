#pragma once

#include <string>

#include "kestrova_comm_export.h"

namespace kestrova::comm {

// A pseudo-terminal pair: the slave side behaves as a serial device that a port component can
// open by path; the master side is the "far end" of the cable (a simulated board, a test peer).
// The master is raw and non-blocking. POSIX only.
class KESTROVA_COMM_EXPORT TPtyPair {
public:
    TPtyPair();  // throws std::runtime_error when no pseudo-terminal can be had
    ~TPtyPair();
    TPtyPair(const TPtyPair &) = delete;
    TPtyPair &operator=(const TPtyPair &) = delete;

    const std::string &SlavePath() const { return FSlavePath; }
    int Master() const { return FMaster; }

    // Writes all bytes to the master side (data the port will receive).
    bool Send(const std::string &bytes);
    // Reads from the master side what the port wrote, waiting at most timeoutMs for the first
    // byte and then taking what is available, up to max bytes.
    std::string Receive(int timeoutMs, std::size_t max = 4096);
    // Bytes written to the master side that the slave side has not read yet. While the kernel
    // is still moving bytes just sent it may count fewer, never 0: 0 means all was read (or
    // that the count is unknown).
    int UnreadBySlave() const;
    // Pulls the cable: closes the master side. Idempotent.
    void CloseMaster();

private:
    void Release();

    int FMaster = -1;
    // An open slave descriptor keeps the pair usable when the port closes its own.
    int FSlaveKeeper = -1;
    std::string FSlavePath;
};

}  // namespace kestrova::comm
