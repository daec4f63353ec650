// Talks to a stand-in for the treadmill board over a pseudo-terminal: sends stop, speed and
// incline frames through the serial component and prints each answer as it comes back.

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <stdexcept>

#include "comm/advancedcom.h"
#include "comm/ptypair.h"
#include "platform/trace.h"

using kestrova::comm::TPtyPair;

namespace {

constexpr char kStx = 0x02;
constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr quint32 kPort = 3;
constexpr int kAnswerDeadlineMs = 800;

// The board's end of the cable: STX <letter> <value> gets ACK, anything else NAK.
class TStandInBoard {
public:
    explicit TStandInBoard(TPtyPair &pty)
        : FPty(pty), FNotifier(pty.Master(), QSocketNotifier::Read)
    {
        QObject::connect(&FNotifier, &QSocketNotifier::activated, &FNotifier,
                         [this] { OnReadable(); });
    }

private:
    static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

    void OnReadable()
    {
        FPending += QByteArray::fromStdString(FPty.Receive(0));
        while (!FPending.isEmpty()) {
            if (FPending[0] != kStx) {  // garbage: one NAK, then resync on the next STX
                const qsizetype next = FPending.indexOf(kStx);
                FPending.remove(0, next < 0 ? FPending.size() : next);
                FPty.Send(std::string(1, kNak));
            } else if (FPending.size() >= 3) {
                FPty.Send(std::string(1, IsLetter(FPending[1]) ? kAck : kNak));
                FPending.remove(0, 3);
            } else {
                break;  // wait for the rest of the frame
            }
        }
    }

    TPtyPair &FPty;
    QSocketNotifier FNotifier;
    QByteArray FPending;
};

struct TCommand {
    const char *name;
    QByteArray frame;
};

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Sends stop, speed and incline frames through port 3 to a stand-in board on a "
        "pseudo-terminal and prints the answers.");
    parser.addHelpOption();
    const QCommandLineOption traceOption("trace", "Print the port's diagnostic traces.");
    parser.addOption(traceOption);
    parser.process(app);
    if (parser.isSet(traceOption)) {
        EnableTrace(true);
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // keeps our lines in order with the traces

    try {
        TPtyPair pty;
        TStandInBoard board(pty);
        qputenv("KESTROVA_COM3", QByteArray::fromStdString(pty.SlavePath()));
        std::printf("stand-in board on %s; port 3 maps to it (KESTROVA_COM3)\n",
                    pty.SlavePath().c_str());

        TAdvancedCom com;
        com.SetPort(kPort);
        com.SetBaud(9600);
        com.SetParity(TComThread::even);
        com.SetPacketSize(80);
        com.SetRtsControl(TAdvancedCom::rtsToggle);
        com.SetDtrControl(TAdvancedCom::dtrEnable);
        QEventLoop loop;
        QByteArray answer;
        com.OnPacketReceived = [&](QObject *, QByteArray &chunk) {
            answer += chunk;
            loop.quit();
        };
        com.ComInit();
        if (!com.Opened()) {
            std::fprintf(stderr, "cannot open port 3: %s\n", qPrintable(com.ErrorMessage()));
            return 1;
        }
        std::printf("port 3 open: 9600 baud, even parity, RTS toggle, DTR on\n");

        const TCommand commands[] = {
            {"stop", QByteArray("\x02\x54\x00", 3)},
            {"speed 1.5 km/h", QByteArray("\x02\x51\x01", 3)},
            {"incline 0", QByteArray("\x02\x52\x00", 3)},
        };
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        int missing = 0;
        for (const TCommand &command : commands) {
            answer.clear();
            deadline.start(kAnswerDeadlineMs);
            com.Write(command.frame);
            if (answer.isEmpty()) {
                loop.exec();  // until the answer arrives or the deadline passes
            }
            deadline.stop();
            const char *verdict = answer.isEmpty()          ? "no answer"
                                  : answer.startsWith(kAck) ? "ACK"
                                  : answer.startsWith(kNak) ? "NAK"
                                                            : "unexpected";
            std::printf("%-15s %s  ->  %-8s %s\n", command.name,
                        command.frame.toHex(' ').constData(),
                        answer.isEmpty() ? "-" : answer.toHex(' ').constData(), verdict);
            missing += answer.isEmpty() ? 1 : 0;
        }
        com.ComClose();
        std::printf("port 3 closed\n");
        return missing == 0 ? 0 : 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
