#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "platform/mainthreadhandoff.h"

class TstMainThreadHandOff : public QObject {
    Q_OBJECT

private slots:
    void workRunsOnMainThreadAndCallerWaits();
    void callOnMainThreadRunsAtOnce();
    void cancelWakesCallerAndSkipsQueuedWork();
    void workThatCancelsItselfDoesNotDeadlock();
    void callsAfterCancelAreRefused();
};

void TstMainThreadHandOff::workRunsOnMainThreadAndCallerWaits()
{
    TMainThreadHandOff handOff;
    QThread *ranOn = nullptr;
    std::atomic<bool> returned{false};
    bool result = false;
    bool workFinishedBeforeReturn = false;
    std::thread worker([&] {
        result = handOff.Call([&] {
            ranOn = QThread::currentThread();
            QTest::qSleep(50);  // the caller must still be waiting after this
            workFinishedBeforeReturn = !returned;
        });
        returned = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(returned.load(), 5000);
    worker.join();
    QVERIFY(result);
    QCOMPARE(ranOn, QCoreApplication::instance()->thread());
    QVERIFY(workFinishedBeforeReturn);
}

void TstMainThreadHandOff::callOnMainThreadRunsAtOnce()
{
    TMainThreadHandOff handOff;
    bool ran = false;
    QVERIFY(handOff.Call([&] { ran = true; }));
    QVERIFY(ran);
}

// The main thread is busy (not processing events) while the worker waits; cancelling must free
// the worker, and the queued work must not run when events are processed later.
void TstMainThreadHandOff::cancelWakesCallerAndSkipsQueuedWork()
{
    auto handOff = std::make_unique<TMainThreadHandOff>();
    std::atomic<bool> ran{false};
    std::atomic<bool> posted{false};
    std::atomic<int> result{-1};
    std::thread worker([&] {
        posted = true;
        result = handOff->Call([&] { ran = true; }) ? 1 : 0;
    });
    QElapsedTimer waited;
    waited.start();
    while (!posted && waited.elapsed() < 5000) {
        std::this_thread::yield();
    }
    QTest::qSleep(50);  // most likely blocked in Call by now; either way it must not run
    handOff->Cancel();
    worker.join();
    QCOMPARE(result.load(), 0);
    handOff.reset();  // the queued call must outlive its hand-off safely
    QCoreApplication::processEvents();
    QVERIFY(!ran);
}

void TstMainThreadHandOff::workThatCancelsItselfDoesNotDeadlock()
{
    TMainThreadHandOff handOff;
    std::atomic<bool> returned{false};
    bool workFinished = false;
    std::thread worker([&] {
        handOff.Call([&] {
            handOff.Cancel();
            QTRY_VERIFY_WITH_TIMEOUT(returned.load(), 5000);  // released before the work ends
            workFinished = true;
        });
        returned = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(workFinished, 5000);
    worker.join();
}

void TstMainThreadHandOff::callsAfterCancelAreRefused()
{
    TMainThreadHandOff handOff;
    handOff.Cancel();
    bool ran = false;
    QVERIFY(!handOff.Call([&] { ran = true; }));
    bool result = true;
    std::thread worker([&] { result = handOff.Call([&] { ran = true; }); });
    worker.join();
    QCoreApplication::processEvents();
    QVERIFY(!result);
    QVERIFY(!ran);
}

QTEST_GUILESS_MAIN(TstMainThreadHandOff)
#include "tst_mainthreadhandoff.moc"
