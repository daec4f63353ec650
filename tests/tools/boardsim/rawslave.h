#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <QByteArray>
#include <QString>
#include <cerrno>
#include <chrono>

// The port's side of the cable for tests, opened with plain POSIX calls (raw, non-blocking), so
// the simulator is tested without the serial components.
class TRawSlave {
public:
    explicit TRawSlave(const QString &path)
    {
        FFd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios attributes{};
        if (FFd >= 0 && ::tcgetattr(FFd, &attributes) == 0) {
            ::cfmakeraw(&attributes);
            ::tcsetattr(FFd, TCSANOW, &attributes);
        }
    }
    ~TRawSlave()
    {
        if (FFd >= 0) {
            ::close(FFd);
        }
    }
    TRawSlave(const TRawSlave &) = delete;
    TRawSlave &operator=(const TRawSlave &) = delete;

    bool IsOpen() const { return FFd >= 0; }

    bool Write(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(FFd, bytes.constData() + done, bytes.size() - done);
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            } else {
                pollfd out{FFd, POLLOUT, 0};
                ::poll(&out, 1, 100);
            }
        }
        return true;
    }

    // Reads until count bytes arrived or timeoutMs passed; chunks counts the reads that
    // returned data.
    QByteArray Read(int count, int timeoutMs, int *chunks = nullptr)
    {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        QByteArray bytes;
        while (bytes.size() < count) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) {
                break;
            }
            // Signals (a child process ending) interrupt poll and read: try again.
            pollfd in{FFd, POLLIN, 0};
            const int ready = ::poll(&in, 1, int(left));
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready <= 0 || !(in.revents & POLLIN)) {
                break;
            }
            char buffer[256];
            const ssize_t n = ::read(FFd, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            bytes.append(buffer, n);
            if (chunks) {
                ++*chunks;
            }
        }
        return bytes;
    }

    // True when the line hangs up (POLLHUP/POLLERR, or a read that fails) within timeoutMs.
    bool WaitHangup(int timeoutMs)
    {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            pollfd in{FFd, POLLIN, 0};
            const int ready = left > 0 ? ::poll(&in, 1, int(left)) : 0;
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready <= 0) {
                return false;
            }
            if (in.revents & (POLLHUP | POLLERR)) {
                return true;
            }
            char byte = 0;
            const ssize_t n = ::read(FFd, &byte, 1);
            if (n < 0 && errno == EIO) {
                return true;
            }
            if (n < 0 && errno != EINTR && errno != EAGAIN) {
                return false;
            }
            // a byte still in the line, or a spurious wake-up: look again
        }
    }

private:
    int FFd = -1;
};
