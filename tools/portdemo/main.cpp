// Drives the simulated treadmill board through TOrvanta the way an operator session would: a
// reset, a few speeds and inclines, both calibrations, a refused frame and a silent board, printing
// each outcome (and, with --trace, every frame on the wire).

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <functional>

#include "device/orvanta.h"
#include "platform/exception.h"
#include "platform/trace.h"
#include "tools/boardsim/boardsimulator.h"

namespace {

constexpr int kPort = 3;

struct TStep {
    const char *what;
    std::function<void(TOrvanta &)> command;
    TFaultStep fault;
};

void Print(const char *what, const QString &outcome, const TBoardState &state)
{
    std::printf("%-28s %-22s board: speed code %3d, incline code %2d\n", what,
                qUtf8Printable(outcome), state.speedCode, state.inclineCode);
    std::fflush(stdout);
}

int RunSteps(TBoardSimulator &board, TOrvanta &orvanta)
{
    const QList<TStep> steps = {
        {"reset", [](TOrvanta &o) { o.Parar(); }, {}},
        {"speed 1.5 km/h", [](TOrvanta &o) { o.AjustarVelocidade(1.5); }, {}},
        {"speed 8.2 km/h", [](TOrvanta &o) { o.AjustarVelocidade(8.2); }, {}},
        {"incline 2.5 %", [](TOrvanta &o) { o.AjustarInclinacao(2.5); }, {}},
        {"calibrate speed 106", [](TOrvanta &o) { o.CalibrarVelocidade(106, 4000); }, {}},
        {"calibrate incline 18", [](TOrvanta &o) { o.CalibrarInclinacao(18, 4000); }, {}},
        {"speed 9 km/h, board NAKs",
         [](TOrvanta &o) { o.AjustarVelocidade(9); },
         {TBoardFault::Nak}},
        {"speed 9 km/h, board silent",
         [](TOrvanta &o) { o.AjustarVelocidade(9); },
         {TBoardFault::Silence}},
        {"stop", [](TOrvanta &o) { o.Parar(); }, {}},
    };
    int failures = 0;
    for (const TStep &step : steps) {
        board.SetScript({step.fault});
        QString outcome = QStringLiteral("OK");
        try {
            step.command(orvanta);
        } catch (const Exception &error) {
            outcome = error.Message();
            ++failures;
        }
        Print(step.what, outcome, board.State());
    }
    return failures == 2 ? 0 : 1;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Drives the simulated Orvanta Kestrova board through the device classes.");
    parser.addHelpOption();
    parser.addOption({"trace", "Print every frame sent and every chunk received."});
    parser.process(app);
    EnableTrace(parser.isSet("trace"));

    TBoardSimulator board;
    QString error;
    if (!board.Start(&error)) {
        std::fprintf(stderr, "kestrova-portdemo: %s\n", qUtf8Printable(error));
        return 1;
    }
    qputenv("KESTROVA_COM3", board.DevicePath().toLocal8Bit());
    std::printf("simulated board on %s (port %d)\n\n", qPrintable(board.DevicePath()), kPort);
    TOrvanta orvanta(nullptr, kPort);
    if (!orvanta.Porta()->Opened())
        return 1;
    const int status = RunSteps(board, orvanta);
    std::printf(
        "\nThe controller window comes next; meanwhile orvanta-sim and orvanta-ctl (see the "
        "README) drive the board by hand.\n");
    return status;
}
