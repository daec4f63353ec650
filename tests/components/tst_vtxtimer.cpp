#include <pthread.h>
#include <sched.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "components/vtxtimer.h"
#include "components/vtxtimer_linux.h"
#include "platform/exception.h"

using namespace std::chrono_literals;
using kestrova::components::TLinuxTimerService;
using kestrova::components::TTimerCaps;
using kestrova::components::TTimerService;

namespace {

// Aborts the test run when a step that must not deadlock has not finished within its bound.
class TWatchdog {
public:
    explicit TWatchdog(std::chrono::milliseconds bound)
        : FThread([this, bound] {
              std::unique_lock lock(FMutex);
              if (!FDone.wait_for(lock, bound, [this] { return FFinished; })) {
                  std::fprintf(stderr, "watchdog: step still blocked after its bound\n");
                  std::abort();
              }
          })
    {
    }
    ~TWatchdog()
    {
        {
            std::lock_guard lock(FMutex);
            FFinished = true;
        }
        FDone.notify_all();
        FThread.join();
    }

private:
    std::mutex FMutex;
    std::condition_variable FDone;
    bool FFinished = false;
    std::thread FThread;
};

// A one-shot latch a handler can block on until another thread releases it.
class TGate {
public:
    void Release()
    {
        {
            std::lock_guard lock(FMutex);
            FOpen = true;
        }
        FCv.notify_all();
    }
    bool Wait(std::chrono::milliseconds bound)
    {
        std::unique_lock lock(FMutex);
        return FCv.wait_for(lock, bound, [this] { return FOpen; });
    }

private:
    std::mutex FMutex;
    std::condition_variable FCv;
    bool FOpen = false;
};

// Counts the ticks that arrive during a window that starts now.
int TicksDuring(const std::atomic<int> &ticks, std::chrono::milliseconds window)
{
    const int before = ticks.load();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < window.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return ticks.load() - before;
}

// A service that runs no thread: it records the calls and refuses what it is told to refuse.
class TFakeService : public TTimerService {
public:
    bool capsOk = true;
    bool setEventOk = true;
    int begins = 0;
    int ends = 0;
    int kills = 0;
    std::uint32_t lastResolution = 99;

    bool GetDevCaps(TTimerCaps &caps) override
    {
        caps = {5, 500};
        return capsOk;
    }
    bool BeginPeriod(std::uint32_t resolution) override
    {
        lastResolution = resolution;
        ++begins;
        return resolution != 0;
    }
    bool EndPeriod(std::uint32_t resolution) override
    {
        ++ends;
        return resolution != 0;
    }
    std::uint32_t SetEvent(std::uint32_t, std::uint32_t, TTick) override
    {
        return setEventOk ? 7 : 0;
    }
    bool KillEvent(std::uint32_t) override
    {
        ++kills;
        return true;
    }
};

// A service whose first tick arrives, on another thread, before SetEvent has returned (a start
// preempted for longer than one period); later ticks are fired by the test.
class TEagerService : public TFakeService {
public:
    TTick tick;

    std::uint32_t SetEvent(std::uint32_t, std::uint32_t, TTick t) override
    {
        tick = std::move(t);
        FireFromOtherThread();
        return 7;
    }
    void FireFromOtherThread()
    {
        std::thread([this] { tick(); }).join();
    }
};

// The scheduling policy of the thread that runs the first tick of a timer on this service.
int PolicyOfTickThread(std::unique_ptr<TTimerService> service)
{
    std::atomic<int> policy{-1};
    TVtxTimer timer(nullptr, std::move(service));
    timer.AjustarFiIntervalo(5);
    timer.OnTimer = [&](QObject *) {
        sched_param param{};
        int seen = -1;
        if (policy.load() == -1 && ::pthread_getschedparam(::pthread_self(), &seen, &param) == 0) {
            policy = seen;
        }
    };
    timer.AjustarFbHabilitado(true);
    QElapsedTimer clock;
    clock.start();
    while (policy.load() == -1 && clock.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    timer.AjustarFbHabilitado(false);
    return policy.load();
}

// Whether this process may run a thread at SCHED_FIFO.
bool RealtimeAllowed()
{
    bool allowed = false;
    std::thread([&] {
        sched_param param{};
        param.sched_priority = ::sched_get_priority_min(SCHED_FIFO);
        allowed = ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &param) == 0;
    }).join();
    return allowed;
}

}  // namespace

class TstVtxTimer : public QObject {
    Q_OBJECT

private slots:
    void defaultsAndCapabilities();
    void nonPositiveIntervalDoesNotStart_data();
    void nonPositiveIntervalDoesNotStart();
    void enablingTwiceRunsOneSchedule();
    void intervalChangeWhileRunningRestarts();
    void callbackRunsOffMainThread();
    void destroyWaitsForCallbackInProgress();
    void destroyPumpsEventsForCallbackNeedingMainThread();
    void handlerStopsOrDeletesItsOwnTimer_data();
    void handlerStopsOrDeletesItsOwnTimer();
    void handlerExceptionIsContained();
    void resolutionRequestsStayBalanced();
    void unreadableCapabilitiesStillStartAndStop();
    void serviceOverrunKeepsAbsoluteSchedule();
    void serviceRefusesBadRequests();
    void tickBeforeStartCompletesIsNotDelivered();
    void realtimeThreadsAreOptIn();
};

void TstVtxTimer::defaultsAndCapabilities()
{
    QObject owner;
    auto *timer = new TVtxTimer(&owner);
    QCOMPARE(timer->parent(), &owner);
    QVERIFY(!timer->Habilitado());
    QCOMPARE(timer->Intervalo(), 1000);
    QCOMPARE(timer->IdDoTimer(), 0u);
    QCOMPARE(timer->Capacidades().periodMin, TLinuxTimerService::kPeriodMin);
    QCOMPARE(timer->Resolucao(), 1u);
    QVERIFY(!timer->OnTimer);

    int calls = 0;
    TVtxTimer second(nullptr, 250, [&](QObject *) { ++calls; });
    QCOMPARE(second.Intervalo(), 250);
    QVERIFY(second.OnTimer);
    QVERIFY(!second.Habilitado());
    // Resolution from capabilities: min(max(min period, 1), max period).
    TVtxTimer faked(nullptr, std::make_unique<TFakeService>());
    QCOMPARE(faked.Resolucao(), 5u);
}

void TstVtxTimer::nonPositiveIntervalDoesNotStart_data()
{
    QTest::addColumn<int>("intervalo");
    QTest::newRow("zero") << 0;
    QTest::newRow("minus one") << -1;
    QTest::newRow("very negative") << -100000;
}

void TstVtxTimer::nonPositiveIntervalDoesNotStart()
{
    QFETCH(int, intervalo);
    std::atomic<int> ticks{0};
    TVtxTimer timer(nullptr, intervalo, [&](QObject *) { ++ticks; });
    timer.AjustarFbHabilitado(true);
    QVERIFY(!timer.Habilitado());
    QCOMPARE(timer.IdDoTimer(), 0u);
    QVERIFY(!timer.Habilitar());
    QVERIFY(!timer.Desabilitar());
}

void TstVtxTimer::enablingTwiceRunsOneSchedule()
{
    std::atomic<int> ticks{0};
    TVtxTimer timer(nullptr, 100, [&](QObject *) { ++ticks; });
    timer.AjustarFbHabilitado(true);
    const std::uint32_t id = timer.IdDoTimer();
    timer.AjustarFbHabilitado(true);
    QVERIFY(!timer.Habilitar());
    QVERIFY(timer.Habilitado());
    QCOMPARE(timer.IdDoTimer(), id);
    QTRY_VERIFY_WITH_TIMEOUT(ticks.load() >= 1, 2000);
    // One 100 ms schedule gives about 10 ticks a second; two would give about 20.
    const int counted = TicksDuring(ticks, 1000ms);
    QVERIFY2(counted >= 7 && counted <= 13, qPrintable(QString::number(counted)));
}

void TstVtxTimer::intervalChangeWhileRunningRestarts()
{
    std::atomic<int> ticks{0};
    TVtxTimer timer(nullptr, 5000, [&](QObject *) { ++ticks; });
    timer.AjustarFbHabilitado(true);
    const std::uint32_t first = timer.IdDoTimer();
    QVERIFY(first != 0);
    timer.AjustarFiIntervalo(20);
    QVERIFY(timer.Habilitado());
    QCOMPARE(timer.Intervalo(), 20);
    QVERIFY(timer.IdDoTimer() != 0);
    QVERIFY(timer.IdDoTimer() != first);
    // The 5 s period would give no tick at all in this bound.
    QTRY_VERIFY_WITH_TIMEOUT(ticks.load() >= 5, 2000);

    timer.AjustarFbHabilitado(false);
    QVERIFY(!timer.Habilitado());
    QCOMPARE(timer.IdDoTimer(), 0u);
    timer.AjustarFiIntervalo(30);
    QCOMPARE(timer.Intervalo(), 30);
    QVERIFY(!timer.Habilitado());
}

void TstVtxTimer::callbackRunsOffMainThread()
{
    std::atomic<bool> ticked{false};
    std::atomic<bool> onMain{true};
    QObject *sender = nullptr;
    TVtxTimer timer(nullptr, 10, {});
    timer.OnTimer = [&](QObject *s) {
        if (!ticked) {
            sender = s;
            onMain = QThread::currentThread() == QCoreApplication::instance()->thread();
            ticked = true;
        }
    };
    timer.AjustarFbHabilitado(true);
    QTRY_VERIFY_WITH_TIMEOUT(ticked.load(), 2000);
    timer.AjustarFbHabilitado(false);
    QVERIFY(!onMain.load());
    QCOMPARE(sender, &timer);
}

void TstVtxTimer::destroyWaitsForCallbackInProgress()
{
    std::atomic<bool> entered{false};
    std::atomic<bool> ended{false};
    TGate latch;
    auto *timer = new TVtxTimer(nullptr, 10, {});
    timer->OnTimer = [&](QObject *) {
        if (entered.exchange(true)) {
            return;
        }
        latch.Wait(5s);
        ended = true;
    };
    timer->AjustarFbHabilitado(true);
    QTRY_VERIFY_WITH_TIMEOUT(entered.load(), 2000);
    std::thread releaser([&] {
        std::this_thread::sleep_for(150ms);
        latch.Release();
    });
    bool endedWhenDestructorReturned = false;
    {
        TWatchdog watchdog(10s);
        delete timer;
        endedWhenDestructorReturned = ended.load();
    }
    releaser.join();
    QVERIFY(endedWhenDestructorReturned);
}

void TstVtxTimer::destroyPumpsEventsForCallbackNeedingMainThread()
{
    std::atomic<bool> entered{false};
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> ended{false};
    TGate proceed;
    QObject mainObject;
    auto *timer = new TVtxTimer(nullptr, 10, {});
    timer->OnTimer = [&](QObject *) {
        if (entered.exchange(true)) {
            return;
        }
        proceed.Wait(5s);
        // Hands work to the main thread and blocks until it has run there.
        QMetaObject::invokeMethod(
            &mainObject, [&] { ranOnMain = true; }, Qt::BlockingQueuedConnection);
        ended = true;
    };
    timer->AjustarFbHabilitado(true);
    QTRY_VERIFY_WITH_TIMEOUT(entered.load(), 2000);
    proceed.Release();
    {
        TWatchdog watchdog(10s);
        delete timer;
    }
    QVERIFY(ranOnMain.load());
    QVERIFY(ended.load());
}

void TstVtxTimer::handlerStopsOrDeletesItsOwnTimer_data()
{
    QTest::addColumn<bool>("deleteIt");
    QTest::newRow("stop") << false;
    QTest::newRow("delete") << true;
}

void TstVtxTimer::handlerStopsOrDeletesItsOwnTimer()
{
    QFETCH(bool, deleteIt);
    std::atomic<int> ticks{0};
    std::atomic<bool> returned{false};
    auto *timer = new TVtxTimer(nullptr, 10, {});
    QPointer<TVtxTimer> alive(timer);
    timer->OnTimer = [&, timer, deleteIt](QObject *) {
        if (ticks++ > 0) {
            return;
        }
        if (deleteIt) {
            delete timer;
        } else {
            timer->AjustarFbHabilitado(false);
        }
        returned = true;
    };
    timer->AjustarFbHabilitado(true);
    QTRY_VERIFY_WITH_TIMEOUT(returned.load(), 5000);
    // Ten periods: a timer that kept running would tick again.
    QCOMPARE(TicksDuring(ticks, 100ms), 0);
    QCOMPARE(ticks.load(), 1);
    if (deleteIt) {
        QVERIFY(alive.isNull());
    } else {
        QVERIFY(!timer->Habilitado());
        QCOMPARE(timer->IdDoTimer(), 0u);
        delete timer;
    }
}

void TstVtxTimer::handlerExceptionIsContained()
{
    std::atomic<int> ticks{0};
    TVtxTimer timer(nullptr, 10, [&](QObject *) {
        if (ticks++ == 0) {
            throw Exception(QStringLiteral("falha no tique"));
        }
    });
    QTest::ignoreMessage(QtWarningMsg, "TVtxTimer: OnTimer raised: falha no tique");
    timer.AjustarFbHabilitado(true);
    // The timer survives the exception and keeps ticking; stopping still works.
    QTRY_VERIFY_WITH_TIMEOUT(ticks.load() >= 3, 2000);
    timer.AjustarFbHabilitado(false);
    QVERIFY(!timer.Habilitado());
}

void TstVtxTimer::resolutionRequestsStayBalanced()
{
    auto service = std::make_unique<TFakeService>();
    TFakeService *fake = service.get();
    {
        TVtxTimer timer(nullptr, std::move(service));
        timer.AjustarFiIntervalo(50);
        fake->setEventOk = false;
        timer.AjustarFbHabilitado(true);
        QVERIFY(!timer.Habilitado());
        QCOMPARE(fake->begins, 1);
        QCOMPARE(fake->ends, 1);
        QCOMPARE(fake->lastResolution, 5u);

        fake->setEventOk = true;
        timer.AjustarFbHabilitado(true);
        QVERIFY(timer.Habilitado());
        timer.AjustarFiIntervalo(60);
        QVERIFY(timer.Habilitado());
        QCOMPARE(fake->begins, 3);
        QCOMPARE(fake->ends, 2);
        QCOMPARE(fake->kills, 1);
    }
    // The destructor stops the running event and gives the resolution back.
}

void TstVtxTimer::unreadableCapabilitiesStillStartAndStop()
{
    auto service = std::make_unique<TFakeService>();
    service->capsOk = false;
    TFakeService *fake = service.get();
    TVtxTimer timer(nullptr, std::move(service));
    QCOMPARE(timer.Resolucao(), 0u);
    QCOMPARE(timer.Capacidades().periodMax, 0u);
    timer.AjustarFbHabilitado(true);
    QVERIFY(timer.Habilitado());
    // No resolution was granted, so none is given back, and stopping still succeeds.
    QCOMPARE(fake->begins, 0);
    timer.AjustarFbHabilitado(false);
    QVERIFY(!timer.Habilitado());
    QCOMPARE(fake->kills, 1);
    QCOMPARE(fake->ends, 0);
}

void TstVtxTimer::serviceOverrunKeepsAbsoluteSchedule()
{
    using Clock = std::chrono::steady_clock;
    constexpr int period = 100;
    std::mutex mutex;
    std::vector<Clock::time_point> times;
    // Real-time when permitted, so the busy test machine does not blur the grid being checked.
    TLinuxTimerService service(true);
    const Clock::time_point start = Clock::now();
    const std::uint32_t id = service.SetEvent(period, 1, [&] {
        std::size_t count = 0;
        {
            std::lock_guard lock(mutex);
            times.push_back(Clock::now());
            count = times.size();
        }
        if (count == 1) {
            std::this_thread::sleep_for(250ms);  // overruns two and a half periods
        }
    });
    QVERIFY(id != 0);
    const auto count = [&] {
        std::lock_guard lock(mutex);
        return times.size();
    };
    QTRY_VERIFY_WITH_TIMEOUT(count() >= 4, 3000);
    QVERIFY(service.KillEvent(id));
    QVERIFY(!service.KillEvent(id));

    std::lock_guard lock(mutex);
    std::vector<long> ms;
    for (const Clock::time_point t : times) {
        ms.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(t - start).count());
    }
    const QString seen = QString("%1 %2 %3 %4").arg(ms[0]).arg(ms[1]).arg(ms[2]).arg(ms[3]);
    const long slack = period / 4;
    // First tick on deadline 1; it overruns deadlines 2 and 3, which are folded into one tick as
    // soon as it returns (not a burst of two); then the ticks are back on the grid
    // start + k x period, not one period after the late tick.
    QVERIFY2(ms[0] >= period && ms[0] < period + slack, qPrintable(seen));
    QVERIFY2(ms[1] >= ms[0] + 250 && ms[1] < ms[0] + 250 + slack, qPrintable(seen));
    QVERIFY2(ms[2] >= 4 * period && ms[2] < 4 * period + slack, qPrintable(seen));
    QVERIFY2(ms[3] >= 5 * period && ms[3] < 5 * period + slack, qPrintable(seen));
}

void TstVtxTimer::serviceRefusesBadRequests()
{
    TLinuxTimerService service;
    TTimerCaps caps;
    QVERIFY(service.GetDevCaps(caps));
    QVERIFY(caps.periodMin >= 1 && caps.periodMin <= caps.periodMax);
    QVERIFY(!service.BeginPeriod(0));
    QVERIFY(service.BeginPeriod(1));
    QCOMPARE(service.SetEvent(0, 1, [] {}), 0u);
    QCOMPARE(service.SetEvent(10, 1, {}), 0u);
    QVERIFY(!service.KillEvent(12345));
}

void TstVtxTimer::tickBeforeStartCompletesIsNotDelivered()
{
    auto service = std::make_unique<TEagerService>();
    TEagerService *eager = service.get();
    TVtxTimer timer(nullptr, std::move(service));
    std::atomic<int> handled{0};
    // A one-shot handler: it stops its timer on its first tick.
    timer.OnTimer = [&](QObject *sender) {
        ++handled;
        static_cast<TVtxTimer *>(sender)->AjustarFbHabilitado(false);
    };
    timer.AjustarFbHabilitado(true);
    // The early tick found a half-started timer: it must not reach the handler, whose stop
    // would have been lost and left the timer running.
    QCOMPARE(handled.load(), 0);
    QVERIFY(timer.Habilitado());
    QCOMPARE(timer.IdDoTimer(), 7u);

    eager->FireFromOtherThread();
    QCOMPARE(handled.load(), 1);
    QVERIFY(!timer.Habilitado());
    QCOMPARE(timer.IdDoTimer(), 0u);
    QCOMPARE(eager->kills, 1);
}

void TstVtxTimer::realtimeThreadsAreOptIn()
{
    // By default handlers run at normal priority, so one that blocks or runs long cannot take a
    // CPU from the GUI and other ordinary threads.
    QCOMPARE(PolicyOfTickThread(kestrova::components::CreatePlatformTimerService()),
             int(SCHED_OTHER));
    const int optedIn = PolicyOfTickThread(kestrova::components::CreatePlatformTimerService(true));
    QCOMPARE(optedIn, RealtimeAllowed() ? int(SCHED_FIFO) : int(SCHED_OTHER));
}

QTEST_GUILESS_MAIN(TstVtxTimer)
#include "tst_vtxtimer.moc"
