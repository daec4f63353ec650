#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <thread>

#include "comm/comthread.h"
#include "comm/ptypair.h"
#include "tests/support/raisedby.h"

// The port without an application object: received data has no main thread to go to.
class TstComThreadNoApp : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        FPty = std::make_unique<kestrova::comm::TPtyPair>();
        qputenv("KESTROVA_COM6", FPty->SlavePath().c_str());
        FCom = std::make_unique<TComThread>();
        FCom->SetPort(6);
    }
    void comInitIsRefusedClearly()
    {
        QVERIFY(RaisedBy([&] { FCom->ComInit(); }).contains(QStringLiteral("QCoreApplication")));
        QVERIFY(!FCom->IsOpen());
    }
    // The application went away while the port was open: the handler runs on the reader thread
    // and closes the port from there. Neither that nor the destruction afterwards may abort.
    void closeFromAHandlerOnTheReaderThread()
    {
        std::atomic<bool> closed{false};
        FCom->OnPacketReceived = [&](QObject *, QByteArray &) {
            FCom->ComClose();
            closed = true;
        };
        int argc = 1;
        char name[] = "tst_comthreadnoapp";
        char *argv[] = {name, nullptr};
        auto *app = new QCoreApplication(argc, argv);
        FCom->ComInit();
        delete app;
        QVERIFY(FPty->Send("x"));
        for (int i = 0; i < 500 && !closed; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QVERIFY(closed);
    }
    void cleanup()
    {
        FCom.reset();
        FPty.reset();
    }

private:
    std::unique_ptr<kestrova::comm::TPtyPair> FPty;
    std::unique_ptr<TComThread> FCom;
};

QTEST_APPLESS_MAIN(TstComThreadNoApp)
#include "tst_comthreadnoapp.moc"
