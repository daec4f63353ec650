#pragma once

// The Windows test program's end of the order line to ptypeer (the pty peer on the Linux side),
// a TCP connection on the loopback interface whose port is in KESTROVA_PEER_PORT.

#include <cstdint>
#include <string>

class TPeerClient {
public:
    TPeerClient();
    ~TPeerClient();
    TPeerClient(const TPeerClient &) = delete;
    TPeerClient &operator=(const TPeerClient &) = delete;

    bool Connected() const;
    // A new pseudo-terminal behind the COM port; false when the peer could not make one.
    bool Fresh();
    bool Send(const std::string &bytes);
    // What the peer read from the line: up to max bytes within waitMs.
    std::string Receive(std::size_t max, int waitMs);
    // Discards what arrives until the line has been quiet for quietMs; the count discarded.
    std::size_t Drain(int quietMs);
    // Closes the peer's side of the line, as a pulled cable does.
    bool Hangup();

private:
    std::string Order(const std::string &line);

    std::uintptr_t FSocket;
};
