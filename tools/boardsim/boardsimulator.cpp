#include "boardsimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "comm/ptypair.h"
#include "tools/boardsim/boardprotocol.h"

using Clock = std::chrono::steady_clock;
using kestrova::comm::TPtyPair;

namespace {

constexpr int kDefaultLateMs = 1000;
constexpr std::chrono::milliseconds kSplitGap{3};

// An answer waiting for its time, or being written.
struct TOutgoing {
    Clock::time_point due;
    TFrameRecord record;  // the frame and the answer byte this packet carries
    QByteArray bytes;     // what goes on the line
    bool split = false;   // one byte per write, kSplitGap apart
};

void SetError(QString *error, const QString &text)
{
    if (error) {
        *error = text;
    }
}

QString SystemError(const QString &what, int code)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(code)));
}

// Opens a terminal device as the board's end: 9600 baud, 8 data bits, even parity, 1 stop bit,
// raw, non-blocking, locked against a second user.
int OpenDevice(const QString &path, QString *error)
{
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, SystemError(QStringLiteral("cannot open %1").arg(path), errno));
        return -1;
    }
    termios attributes{};
    QString failure;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        failure = SystemError(QStringLiteral("%1 is in use").arg(path), errno);
    } else if (::tcgetattr(fd, &attributes) != 0) {
        failure = SystemError(QStringLiteral("%1 is not a terminal").arg(path), errno);
    } else {
        ::cfmakeraw(&attributes);
        attributes.c_cflag &= ~tcflag_t(CSIZE | PARODD | CSTOPB | CRTSCTS);
        attributes.c_cflag |= CS8 | PARENB | CLOCAL | CREAD;
        attributes.c_cc[VMIN] = 0;
        attributes.c_cc[VTIME] = 0;
        if (::cfsetispeed(&attributes, B9600) != 0 || ::cfsetospeed(&attributes, B9600) != 0 ||
            ::tcsetattr(fd, TCSANOW, &attributes) != 0) {
            failure = SystemError(QStringLiteral("cannot configure %1").arg(path), errno);
        } else {
            ::tcflush(fd, TCIOFLUSH);
        }
    }
    if (!failure.isEmpty()) {
        ::close(fd);
        SetError(error, failure);
        return -1;
    }
    return fd;
}

}  // namespace

struct TBoardSimulator::TPrivate {
    mutable std::mutex mutex;  // guards everything below except the thread object
    mutable std::condition_variable changed;
    std::mutex lifecycle;  // serialises Start and Stop
    std::thread thread;
    std::thread::id boardThread;

    int wakeFd = -1;
    std::unique_ptr<TPtyPair> pty;
    int deviceFd = -1;
    int fd = -1;  // the board's end (pty master or device); -1 once the cable is pulled
    QString devicePath;
    bool running = false;       // a thread was started and not yet joined
    bool threadActive = false;  // its loop still runs
    bool stopRequested = false;
    bool pullRequested = false;
    bool pulled = false;

    TBoardProtocol protocol;
    QByteArray inbox;  // read from the line, not yet parsed
    QByteArray received;
    QList<TFrameRecord> frames;
    TFaultStep standing;
    QList<TFaultStep> script;
    std::function<void(const TFrameRecord &)> frameObserver;
    std::function<void(const TFrameRecord &)> answerObserver;

    std::vector<TOutgoing> queue;  // by due time; equal times keep their arrival order
    std::optional<TOutgoing> current;
    qsizetype sent = 0;
    Clock::time_point nextPiece;
    bool waitWritable = false;

    void Wake()
    {
        if (wakeFd >= 0) {
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
        }
    }

    void Schedule(TOutgoing outgoing)
    {
        const auto at = std::upper_bound(
            queue.begin(), queue.end(), outgoing.due,
            [](Clock::time_point due, const TOutgoing &other) { return due < other.due; });
        queue.insert(at, std::move(outgoing));
    }

    // Closes the far end; answers not yet written count as silent.
    void Pull()
    {
        pullRequested = false;
        if (fd < 0) {
            return;
        }
        state().silent += int(queue.size()) + (current ? 1 : 0);
        inbox.clear();
        queue.clear();
        current.reset();
        waitWritable = false;
        if (pty) {
            pty->CloseMaster();
        } else if (deviceFd >= 0) {
            ::close(deviceFd);
            deviceFd = -1;
        }
        fd = -1;
        pulled = true;
        changed.notify_all();
    }

    TBoardState &state() { return protocol.State(); }

    void HandleFrame(const QByteArray &frame, std::vector<TFrameRecord> &parsed)
    {
        const TFaultStep step = script.isEmpty() ? standing : script.takeFirst();
        TOutgoing outgoing;
        outgoing.record.frame = frame;
        outgoing.due = Clock::now();
        switch (step.fault) {
            case TBoardFault::Silence:
            case TBoardFault::CablePull: ++state().silent; break;
            case TBoardFault::Nak: outgoing.record.answer = TBoardProtocol::Nak; break;
            default: outgoing.record.answer = protocol.Execute(frame); break;
        }
        const char answer = outgoing.record.answer;
        outgoing.bytes = QByteArray(1, answer);
        switch (step.fault) {
            case TBoardFault::Delay:
                outgoing.due += std::chrono::milliseconds(std::max(0, step.delayMs));
                break;
            case TBoardFault::Late:
                outgoing.due +=
                    std::chrono::milliseconds(step.delayMs > 0 ? step.delayMs : kDefaultLateMs);
                break;
            case TBoardFault::Split:
            case TBoardFault::Noise:
                outgoing.bytes = QByteArray("AB") + answer + TBoardProtocol::Opposite(answer) + 'C';
                outgoing.split = step.fault == TBoardFault::Split;
                break;
            default: break;
        }
        frames.append(outgoing.record);
        parsed.push_back(outgoing.record);
        changed.notify_all();
        if (step.fault == TBoardFault::CablePull) {
            Pull();
        } else if (answer != 0) {
            Schedule(std::move(outgoing));
        }
    }

    // Parses the inbox up to the end of its first frame, so that each frame's observer sees
    // the state right after that frame.
    void Receive(std::vector<TFrameRecord> &parsed)
    {
        QByteArray frame;
        qsizetype used = 0;
        bool complete = false;
        while (used < inbox.size() && !complete) {
            const char byte = inbox[used++];
            received.append(byte);
            complete = protocol.Feed(byte, frame);
        }
        inbox.remove(0, used);
        if (complete) {
            HandleFrame(frame, parsed);  // may pull the cable, which empties the inbox
        }
        if (used > 0) {
            changed.notify_all();
        }
    }

    // Writes what is due now; completed answers go to answered.
    void ServeDue(std::vector<TFrameRecord> &answered)
    {
        const Clock::time_point now = Clock::now();
        while (fd >= 0 && !waitWritable) {
            if (!current) {
                if (queue.empty() || queue.front().due > now) {
                    return;
                }
                current = std::move(queue.front());
                queue.erase(queue.begin());
                sent = 0;
                nextPiece = now;
            }
            if (nextPiece > now) {
                return;
            }
            const qsizetype left = current->bytes.size() - sent;
            const ssize_t n =
                ::write(fd, current->bytes.constData() + sent, current->split ? 1 : left);
            if (n < 0) {
                if (errno == EAGAIN) {
                    waitWritable = true;
                    return;
                }
                if (errno == EINTR) {
                    continue;
                }
                ++state().silent;  // the line refuses it: this answer is lost
                current.reset();
                continue;
            }
            sent += n;
            if (sent < current->bytes.size()) {
                if (current->split) {
                    nextPiece = now + kSplitGap;
                }
                continue;
            }
            ++(current->record.answer == TBoardProtocol::Ack ? state().acks : state().naks);
            answered.push_back(current->record);
            current.reset();
            changed.notify_all();
        }
    }

    // Milliseconds until the next piece of output is due, -1 when nothing waits for a time.
    int PollTimeout() const
    {
        std::optional<Clock::time_point> next;
        if (fd < 0 || waitWritable) {
            return -1;
        }
        if (current) {
            next = nextPiece;
        } else if (!queue.empty()) {
            next = queue.front().due;
        }
        if (!next) {
            return -1;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now());
        return int(std::clamp<std::int64_t>(wait.count(), 0, INT_MAX));
    }

    void CloseAll()
    {
        queue.clear();
        current.reset();
        waitWritable = false;
        pty.reset();
        if (deviceFd >= 0) {
            ::close(deviceFd);
            deviceFd = -1;
        }
        if (wakeFd >= 0) {
            ::close(wakeFd);
            wakeFd = -1;
        }
        fd = -1;
        devicePath.clear();
    }
};

TBoardSimulator::TBoardSimulator() : d(std::make_unique<TPrivate>()) {}

TBoardSimulator::~TBoardSimulator()
{
    Stop();
}

bool TBoardSimulator::Start(QString *error)
{
    return StartOn(QString(), error);
}

bool TBoardSimulator::StartOnDevice(const QString &path, QString *error)
{
    if (path.isEmpty()) {
        SetError(error, QStringLiteral("no device given"));
        return false;
    }
    return StartOn(path, error);
}

bool TBoardSimulator::StartOn(const QString &devicePath, QString *error)
{
    std::lock_guard lifecycle(d->lifecycle);
    {
        std::lock_guard lock(d->mutex);
        if (d->running) {
            SetError(error, QStringLiteral("the board already runs"));
            return false;
        }
    }
    std::unique_ptr<TPtyPair> pty;
    int deviceFd = -1;
    int fd = -1;
    QString path = devicePath;
    if (devicePath.isEmpty()) {
        try {
            pty = std::make_unique<TPtyPair>();
        } catch (const std::exception &failure) {
            SetError(error, QString::fromLocal8Bit(failure.what()));
            return false;
        }
        fd = pty->Master();
        path = QString::fromStdString(pty->SlavePath());
    } else {
        deviceFd = OpenDevice(devicePath, error);
        if (deviceFd < 0) {
            return false;
        }
        fd = deviceFd;
    }
    const int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) {
        SetError(error, SystemError(QStringLiteral("cannot create an eventfd"), errno));
        if (deviceFd >= 0) {
            ::close(deviceFd);
        }
        return false;
    }

    std::lock_guard lock(d->mutex);
    d->protocol.Reset();
    d->inbox.clear();
    d->received.clear();
    d->frames.clear();
    d->queue.clear();
    d->current.reset();
    d->waitWritable = false;
    d->pty = std::move(pty);
    d->deviceFd = deviceFd;
    d->fd = fd;
    d->wakeFd = wakeFd;
    d->devicePath = path;
    d->stopRequested = false;
    d->pullRequested = false;
    d->pulled = false;
    d->running = true;
    d->threadActive = true;
    d->thread = std::thread(&TBoardSimulator::Run, this);
    d->boardThread = d->thread.get_id();
    return true;
}

void TBoardSimulator::Stop()
{
    {
        std::lock_guard lock(d->mutex);
        if (d->running && std::this_thread::get_id() == d->boardThread) {
            d->stopRequested = true;  // the loop ends once the observer returns
            return;
        }
    }
    std::lock_guard lifecycle(d->lifecycle);
    {
        std::lock_guard lock(d->mutex);
        if (!d->running) {
            return;
        }
        d->stopRequested = true;
        d->Wake();
    }
    d->thread.join();
    std::lock_guard lock(d->mutex);
    d->CloseAll();
    d->running = false;
    d->boardThread = {};
    d->changed.notify_all();
}

bool TBoardSimulator::Running() const
{
    std::lock_guard lock(d->mutex);
    return d->threadActive && !d->stopRequested;
}

void TBoardSimulator::Run()
{
    std::vector<TFrameRecord> parsed;
    std::vector<TFrameRecord> answered;
    std::unique_lock lock(d->mutex);
    for (;;) {
        if (d->stopRequested) {
            break;
        }
        if (d->pullRequested) {
            d->Pull();
        }
        if (parsed.empty()) {
            d->Receive(parsed);
        }
        d->ServeDue(answered);
        if (!parsed.empty() || !answered.empty()) {
            // Observers run unlocked so that they may call any member; then look again.
            const auto onFrame = d->frameObserver;
            const auto onAnswer = d->answerObserver;
            lock.unlock();
            for (const TFrameRecord &record : parsed) {
                if (onFrame) {
                    onFrame(record);
                }
            }
            for (const TFrameRecord &record : answered) {
                if (onAnswer) {
                    onAnswer(record);
                }
            }
            parsed.clear();
            answered.clear();
            lock.lock();
            continue;
        }
        if (!d->inbox.isEmpty()) {
            continue;  // parse the rest before waiting again
        }
        pollfd fds[2] = {{d->wakeFd, POLLIN, 0}, {d->fd, POLLIN, 0}};
        if (d->waitWritable) {
            fds[1].events |= POLLOUT;
        }
        const nfds_t count = d->fd >= 0 ? 2 : 1;
        const int timeout = d->PollTimeout();
        lock.unlock();

        // Only this thread uses or closes the far end while it runs.
        char buffer[4096];
        ssize_t n = 0;
        bool lost = false;
        if (::poll(fds, count, timeout) > 0) {
            if (fds[0].revents & POLLIN) {
                std::uint64_t value = 0;
                [[maybe_unused]] const ssize_t r = ::read(fds[0].fd, &value, sizeof value);
            }
            if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL))) {
                n = ::read(fds[1].fd, buffer, sizeof buffer);
                lost = n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR);
            }
        }

        lock.lock();
        if (count == 2 && (fds[1].revents & POLLOUT)) {
            d->waitWritable = false;
        }
        if (n > 0) {
            d->inbox.append(buffer, n);
        }
        if (lost) {
            d->Pull();  // the device went away: as good as a pulled cable
        }
    }
    d->threadActive = false;
    d->changed.notify_all();
}

QString TBoardSimulator::DevicePath() const
{
    std::lock_guard lock(d->mutex);
    return d->devicePath;
}

TBoardState TBoardSimulator::State() const
{
    std::lock_guard lock(d->mutex);
    return d->protocol.State();
}

// The logs are handed out as deep copies: the board thread keeps appending to its own.
QByteArray TBoardSimulator::ReceivedBytes() const
{
    std::lock_guard lock(d->mutex);
    return QByteArray(d->received.constData(), d->received.size());
}

QList<TFrameRecord> TBoardSimulator::Frames() const
{
    std::lock_guard lock(d->mutex);
    QList<TFrameRecord> frames;
    frames.reserve(d->frames.size());
    for (const TFrameRecord &record : d->frames) {
        frames.append({QByteArray(record.frame.constData(), record.frame.size()), record.answer});
    }
    return frames;
}

bool TBoardSimulator::WaitForFrames(int count, int timeoutMs) const
{
    std::unique_lock lock(d->mutex);
    return d->changed.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)),
                               [&] { return d->frames.size() >= count; });
}

void TBoardSimulator::ClearLog()
{
    std::lock_guard lock(d->mutex);
    d->received.clear();
    d->frames.clear();
}

void TBoardSimulator::SetFault(TFaultStep standing)
{
    std::lock_guard lock(d->mutex);
    d->standing = standing;
}

void TBoardSimulator::SetScript(QList<TFaultStep> steps)
{
    std::lock_guard lock(d->mutex);
    d->script = std::move(steps);
}

void TBoardSimulator::SetFrameObserver(std::function<void(const TFrameRecord &)> observer)
{
    std::lock_guard lock(d->mutex);
    d->frameObserver = std::move(observer);
}

void TBoardSimulator::SetAnswerObserver(std::function<void(const TFrameRecord &)> observer)
{
    std::lock_guard lock(d->mutex);
    d->answerObserver = std::move(observer);
}

void TBoardSimulator::PullCable()
{
    std::unique_lock lock(d->mutex);
    if (!d->threadActive || std::this_thread::get_id() == d->boardThread) {
        d->Pull();  // no other thread uses the far end now
        return;
    }
    d->pullRequested = true;
    d->Wake();
    d->changed.wait(lock, [&] { return d->pulled || !d->threadActive; });
    d->Pull();
}

bool TBoardSimulator::WaitUntilAnswersRead(int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard lock(d->mutex);
            if (!d->pty) {
                if (d->fd >= 0)
                    ::tcdrain(d->fd);
                return true;
            }
            if (d->pulled || d->pty->UnreadBySlave() == 0)
                return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool TBoardSimulator::CablePulled() const
{
    std::lock_guard lock(d->mutex);
    return d->pulled;
}
