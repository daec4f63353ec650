// The Linux side of the Windows backend tests run under Wine: it owns a pseudo-terminal whose slave
// Wine opens as a COM port (through a symbolic link in the prefix's dosdevices folder), and it
// takes orders from the test program over a TCP connection on the loopback interface.
//
//   ptypeer <link>        creates the pty, points <link> at its slave, prints the TCP port, serves.
//
// Orders (one line each, one line answered):
//   fresh                 a new pty pair, <link> re-pointed at it        -> ok <slave path>
//   send <hex>            writes the bytes to the master                  -> ok
//   recv <max> <ms>       reads up to max bytes within ms                 -> data <hex>
//   drain <ms>            reads and discards until ms of quiet            -> ok <count>
//   hangup                closes the master and the held slave            -> ok
//   quit                  ends the program                                -> ok
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hexcodec.h"

namespace {

int gMaster = -1;
int gSlave = -1;
std::string gLink;

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Hangup()
{
    if (gMaster >= 0) {
        ::close(gMaster);
    }
    if (gSlave >= 0) {
        ::close(gSlave);
    }
    gMaster = gSlave = -1;
}

bool MakeRaw(int fd)
{
    termios attributes{};
    if (::tcgetattr(fd, &attributes) != 0) {
        return false;
    }
    ::cfmakeraw(&attributes);
    return ::tcsetattr(fd, TCSANOW, &attributes) == 0;
}

// A new pair; the slave is held open so that Wine's open and close do not hang up the line.
std::string Fresh()
{
    Hangup();
    gMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (gMaster < 0 || ::grantpt(gMaster) != 0 || ::unlockpt(gMaster) != 0 ||
        ::ptsname_r(gMaster, name, sizeof name) != 0) {
        return {};
    }
    gSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (gSlave < 0 || !MakeRaw(gMaster) || !MakeRaw(gSlave)) {
        return {};
    }
    ::fcntl(gMaster, F_SETFL, ::fcntl(gMaster, F_GETFL) | O_NONBLOCK);
    const std::string temporary = gLink + ".new";
    ::unlink(temporary.c_str());
    if (::symlink(name, temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), gLink.c_str()) != 0) {
        return {};
    }
    return name;
}

bool SendAll(int fd, const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd out{fd, POLLOUT, 0};
            ::poll(&out, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}

// Reads from the master until max bytes came, the deadline passed, or (quietMs > 0) the line was
// quiet that long.
std::string Receive(std::size_t max, long long waitMs, long long quietMs)
{
    std::string bytes;
    const long long deadline = NowMs() + waitMs;
    long long last = NowMs();
    while (gMaster >= 0 && bytes.size() < max) {
        const long long now = NowMs();
        long long left = deadline - now;
        if (quietMs > 0) {
            left = std::min(left, last + quietMs - now);
        }
        if (left <= 0) {
            break;
        }
        pollfd in{gMaster, POLLIN, 0};
        if (::poll(&in, 1, static_cast<int>(left)) <= 0) {
            continue;
        }
        char buffer[65536];
        const ssize_t n = ::read(gMaster, buffer, std::min(sizeof buffer, max - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        last = NowMs();
    }
    return bytes;
}

std::string Answer(const std::string &line, bool &quit)
{
    char word[16] = {};
    std::sscanf(line.c_str(), "%15s", word);
    const std::string order = word;
    const std::string rest = line.size() > order.size() + 1 ? line.substr(order.size() + 1) : "";
    if (order == "fresh") {
        const std::string slave = Fresh();
        return slave.empty() ? "error " + std::string(std::strerror(errno)) : "ok " + slave;
    }
    if (order == "send") {
        return gMaster >= 0 && SendAll(gMaster, Unhex(rest)) ? "ok" : "error send";
    }
    if (order == "recv") {
        std::size_t max = 0;
        long long waitMs = 0;
        std::sscanf(rest.c_str(), "%zu %lld", &max, &waitMs);
        return "data " + Hex(Receive(max, waitMs, 0));
    }
    if (order == "drain") {
        const long long quietMs = std::atoll(rest.c_str());
        return "ok " + std::to_string(Receive(SIZE_MAX, 60000, quietMs).size());
    }
    if (order == "hangup") {
        Hangup();
        return "ok";
    }
    if (order == "quit") {
        quit = true;
        return "ok";
    }
    return "error unknown order";
}

void Serve(int client)
{
    std::string pending;
    bool quit = false;
    char buffer[1 << 16];
    while (!quit) {
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t end = 0;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string reply = Answer(pending.substr(0, end), quit) + "\n";
            pending.erase(0, end + 1);
            ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
    }
    ::exit(0);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ptypeer <dosdevices link>\n");
        return 2;
    }
    gLink = argv[1];
    if (Fresh().empty()) {
        std::perror("ptypeer: pseudo-terminal");
        return 1;
    }
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::listen(listener, 4) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        std::perror("ptypeer: socket");
        return 1;
    }
    std::printf("%u\n", ntohs(address.sin_port));
    std::fflush(stdout);
    // One test program at a time; each connection is served until it closes.
    for (;;) {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
            Serve(client);
            ::close(client);
        }
    }
}
