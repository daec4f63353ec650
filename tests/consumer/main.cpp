// Uses the installed chart and serial components the way a sibling program does: a port opened
// on a pseudo-terminal exchanges bytes both ways, a chart draws a line, and the version label
// shows the version this project embedded with kestrova_embed_product_version. Exits 0 when all of
// it works and prints what failed otherwise.
#include <kestrova/chart/vtxgraph.h>
#include <kestrova/comm/comthread.h>
#include <kestrova/comm/ptypair.h>
#include <kestrova/components/customversao.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <cstdio>
#include <cstdlib>

namespace {

bool Check(bool condition, const char *what)
{
    if (!condition)
        std::fprintf(stderr, "consumer: %s\n", what);
    return condition;
}

bool ExchangeOverPty()
{
    kestrova::comm::TPtyPair pty;
    qputenv("KESTROVA_COM9", QByteArray::fromStdString(pty.SlavePath()));
    TComThread port;
    port.SetPort(9);
    port.SetBaud(9600);
    QByteArray received;
    port.OnPacketReceived = [&received](QObject *, QByteArray &bytes) { received += bytes; };
    port.ComInit();
    if (!Check(port.Opened(), "the port did not open"))
        return false;
    port.Write(QByteArray("ping"));
    const bool sent = Check(pty.Receive(2000) == "ping", "the far end did not get the bytes");
    pty.Send("pong");
    const QDeadlineTimer deadline(5000);
    while (received.size() < 4 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return sent && Check(received == "pong", "the port did not deliver the answer");
}

bool DrawChart()
{
    TvtxGraph chart;
    chart.MoveTo(0, 0);
    chart.LineTo(100, 100);
    const QImage image = chart.grab().toImage();
    return Check(chart.width() > 0 && chart.height() > 0, "the chart has no size") &&
           Check(!image.isNull(), "the chart did not paint");
}

bool ShowsOwnVersion()
{
    TCustomVersao label(nullptr);
    return Check(label.text() == QStringLiteral(CONSUMER_VERSION),
                 "the version label does not show the consumer's version");
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const bool exchanged = ExchangeOverPty();
    const bool drawn = DrawChart();
    const bool versioned = ShowsOwnVersion();
    const bool ok = exchanged && drawn && versioned;
    std::puts(ok ? "consumer: ok" : "consumer: FAILED");
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
