#include "components/vtxtimer_linux.h"

#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace kestrova::components {

namespace {

timespec Add(timespec t, std::uint32_t ms)
{
    t.tv_sec += static_cast<time_t>(ms / 1000);
    t.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (t.tv_nsec >= 1000000000L) {
        t.tv_nsec -= 1000000000L;
        ++t.tv_sec;
    }
    return t;
}

}  // namespace

// One running event: its descriptors and its thread. The thread holds a reference, so a worker
// stopped from inside its own tick lives until that tick has returned.
class TTimerWorker {
public:
    TTimerWorker(TTimerService::TTick tick, bool realtime)
        : FTick(std::move(tick)), FRealtime(realtime)
    {
    }

    ~TTimerWorker()
    {
        if (FTimerFd >= 0) {
            ::close(FTimerFd);
        }
        if (FStopFd >= 0) {
            ::close(FStopFd);
        }
    }

    bool Arm(std::uint32_t periodMs)
    {
        FTimerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
        FStopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (FTimerFd < 0 || FStopFd < 0) {
            return false;
        }
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        itimerspec spec{};
        spec.it_value = Add(now, periodMs);
        spec.it_interval = Add(timespec{}, periodMs);
        return ::timerfd_settime(FTimerFd, TFD_TIMER_ABSTIME, &spec, nullptr) == 0;
    }

    static bool Start(const std::shared_ptr<TTimerWorker> &self)
    {
        // The thread waits for FThread to be assigned before its first tick can call Stop.
        std::lock_guard lock(self->FStartMutex);
        try {
            self->FThread = std::thread([self] { self->Run(); });
        } catch (const std::system_error &) {
            return false;
        }
        return true;
    }

    // Wakes the thread; joins it unless the caller is that thread (stop from inside a tick).
    void Stop()
    {
        const std::uint64_t one = 1;
        while (::write(FStopFd, &one, sizeof one) < 0 && errno == EINTR) {
        }
        if (std::this_thread::get_id() == FThread.get_id()) {
            FThread.detach();
        } else if (FThread.joinable()) {
            FThread.join();
        }
    }

private:
    void Run()
    {
        {
            std::lock_guard lock(FStartMutex);
        }
        if (FRealtime) {
            sched_param param{};
            param.sched_priority = ::sched_get_priority_min(SCHED_FIFO);
            ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &param);  // best effort
        }
        pollfd fds[2] = {{FTimerFd, POLLIN, 0}, {FStopFd, POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
            std::uint64_t expirations = 0;
            if (::read(FTimerFd, &expirations, sizeof expirations) == sizeof expirations &&
                expirations > 0) {
                FTick();
            }
        }
    }

    TTimerService::TTick FTick;
    bool FRealtime;
    int FTimerFd = -1;
    int FStopFd = -1;
    std::mutex FStartMutex;
    std::thread FThread;
};

TLinuxTimerService::TLinuxTimerService(bool realtime) : FRealtime(realtime) {}

TLinuxTimerService::~TLinuxTimerService()
{
    std::map<std::uint32_t, std::shared_ptr<TTimerWorker>> workers;
    {
        std::lock_guard lock(FMutex);
        workers.swap(FWorkers);
    }
    for (auto &entry : workers) {
        entry.second->Stop();
    }
}

bool TLinuxTimerService::GetDevCaps(TTimerCaps &caps)
{
    caps = {kPeriodMin, kPeriodMax};
    return true;
}

bool TLinuxTimerService::BeginPeriod(std::uint32_t resolution)
{
    // timerfd has no resolution request; accept the values the multimedia timer accepts.
    return resolution >= kPeriodMin && resolution <= kPeriodMax;
}

bool TLinuxTimerService::EndPeriod(std::uint32_t resolution)
{
    return BeginPeriod(resolution);
}

std::uint32_t TLinuxTimerService::SetEvent(std::uint32_t periodMs, std::uint32_t, TTick tick)
{
    if (periodMs == 0 || !tick) {
        return 0;
    }
    auto worker = std::make_shared<TTimerWorker>(std::move(tick), FRealtime);
    if (!worker->Arm(periodMs) || !TTimerWorker::Start(worker)) {
        return 0;
    }
    std::lock_guard lock(FMutex);
    const std::uint32_t id = FNextId++;
    if (FNextId == 0) {
        FNextId = 1;
    }
    FWorkers.emplace(id, std::move(worker));
    return id;
}

bool TLinuxTimerService::KillEvent(std::uint32_t id)
{
    std::shared_ptr<TTimerWorker> worker;
    {
        std::lock_guard lock(FMutex);
        const auto it = FWorkers.find(id);
        if (it == FWorkers.end()) {
            return false;
        }
        worker = std::move(it->second);
        FWorkers.erase(it);
    }
    worker->Stop();
    return true;
}

std::unique_ptr<TTimerService> CreatePlatformTimerService(bool realtime)
{
    return std::make_unique<TLinuxTimerService>(realtime);
}

}  // namespace kestrova::components
