#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "comm/comthread.h"
#include "comm/ptypair.h"
#include "tests/support/raisedby.h"

using kestrova::comm::TPtyPair;

namespace {

constexpr unsigned kPtyPort = 6;

bool WaitFor(const std::atomic<bool> &flag, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!flag && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return flag;
}

}  // namespace

// The port without an application object: received data has no main thread to go to.
class TstComThreadNoApp : public QObject {
    Q_OBJECT

private slots:
    void comInitIsRefusedClearly();
    void closeFromAHandlerOnTheReaderThread();
};

void TstComThreadNoApp::comInitIsRefusedClearly()
{
    TPtyPair pty;
    qputenv("KESTROVA_COM6", pty.SlavePath().c_str());
    TComThread com;
    com.SetPort(kPtyPort);
    QVERIFY(RaisedBy([&] { com.ComInit(); }).contains(QStringLiteral("QCoreApplication")));
    QVERIFY(!com.IsOpen());
}

// The application object went away while the port was open: the handler now runs on the reader
// thread, and closes the port from there. Neither the close nor the later destruction may abort.
void TstComThreadNoApp::closeFromAHandlerOnTheReaderThread()
{
    TPtyPair pty;
    qputenv("KESTROVA_COM6", pty.SlavePath().c_str());
    auto com = std::make_unique<TComThread>();
    com->SetPort(kPtyPort);
    com->SetTimeout(10);
    std::atomic<bool> closed{false};
    com->OnPacketReceived = [&](QObject *, QByteArray &) {
        com->ComClose();
        closed = true;
    };
    {
        int argc = 1;
        char name[] = "tst_comthreadnoapp";
        char *argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        com->ComInit();
        QVERIFY(com->Opened());
    }
    QVERIFY(pty.Send("x"));
    QVERIFY(WaitFor(closed, std::chrono::seconds(5)));
    QVERIFY(!com->IsOpen());
    com.reset();
}

QTEST_APPLESS_MAIN(TstComThreadNoApp)
#include "tst_comthreadnoapp.moc"
