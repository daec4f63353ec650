// kestrova-chartdemo: a treadmill stress test on the X/Y chart, heart rate on the left axis and
// belt speed on the right one.
//
//   kestrova-chartdemo             shows the chart in a window
//   kestrova-chartdemo --pdf FILE  prints it to FILE (PDF) through the platform printer and exits
#include <QApplication>
#include <QCommandLineParser>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <random>

#include "chart/vtxgraph.h"
#include "platform/exception.h"
#include "platform/printer.h"

namespace {

constexpr float kStageMinutes = 3.0f;
constexpr float kExerciseMinutes = 15.0f;
constexpr float kTotalMinutes = 18.0f;
constexpr float kSampleMinutes = 2.0f / 60.0f;  // one sample every 2 s

// Belt speed in km/h at minute t: five 3-minute stages, then a slow walk to recover.
float Speed(float t)
{
    static const float stages[] = {2.7f, 4.0f, 5.5f, 6.8f, 8.0f};
    if (t >= kExerciseMinutes)
        return 2.5f;
    return stages[int(t / kStageMinutes)];
}

// Heart rate follows the effort with a lag of about a minute, plus breathing and noise.
struct THeartRate {
    std::mt19937 rng{7};
    std::normal_distribution<float> noise{0.0f, 0.7f};
    float rate = 72.0f;

    float Next(float t)
    {
        const float target = 70.0f + 13.5f * Speed(t);
        rate += (target - rate) * (kSampleMinutes / 0.9f);
        return rate + 0.8f * std::sin(t * 40.0f) + noise(rng);
    }
};

void SetUp(TvtxGraph &chart)
{
    chart.SetTitle(QStringLiteral("Teste de esforço em esteira"));
    chart.SetSecondYaxis(true);
    chart.XAxis()->SetNumberOfDivisions(9);
    chart.XAxis()->SetDivisionWidth(60);
    chart.XAxis()->SetScalePerDivision(2);
    chart.XAxis()->SetNumberOfDecimals(0);
    chart.XAxis()->SetAxisLabel(QStringLiteral("Tempo (min)"));
    chart.YAxis()->SetNumberOfDivisions(7);
    chart.YAxis()->SetDivisionWidth(50);
    chart.YAxis()->SetOriginValue(60);
    chart.YAxis()->SetScalePerDivision(20);
    chart.YAxis()->SetNumberOfDecimals(0);
    chart.YAxis()->SetAxisLabel(QStringLiteral("FC (bpm)"));
    chart.YAxis2()->SetScalePerDivision(2);
    chart.YAxis2()->SetNumberOfDecimals(0);
    chart.YAxis2()->SetAxisLabel(QStringLiteral("Velocidade (km/h)"));
    chart.SetPrinterPenWidth(6);
    chart.Clear();
}

void Plot(TvtxGraph &chart)
{
    // Heart rate on the left axis, red.
    THeartRate heart;
    chart.SetPenColor(clRed);
    chart.SetPenWidth(1);
    chart.MoveScaledTo(0, heart.Next(0));
    for (float t = kSampleMinutes; t <= kTotalMinutes; t += kSampleMinutes)
        chart.LineScaledTo(t, heart.Next(t));

    // Belt speed on the right axis, blue steps with a marker at each change.
    chart.SetUseSecondYAxis(true);
    chart.SetPenColor(clBlue);
    chart.SetPenWidth(2);
    chart.SetSymbolStyle(TvtxGraph::Diamond, 4, 1, clNavy, clAqua, TCanvas::bsSolid);
    float speed = Speed(0);
    chart.MoveScaledTo(0, speed);
    chart.DrawSymbolScaled(0, speed);
    for (float t = kStageMinutes; t <= kExerciseMinutes; t += kStageMinutes) {
        chart.LineScaledTo(t, speed);
        speed = Speed(t);
        chart.LineScaledTo(t, speed);
        chart.DrawSymbolScaled(t, speed);
    }
    chart.LineScaledTo(kTotalMinutes, speed);
    chart.SetUseSecondYAxis(false);
}

int PrintPdf(TvtxGraph &chart, const QString &file)
{
    TPrinter *printer = Printer();
    printer->SetTitle(QStringLiteral("kestrova-chartdemo"));
    printer->SetPdfOutput(file);
    printer->BeginDoc();
    // 7 x 5 inches, half an inch from the top-left corner of the printable area.
    chart.Imprime(0.5f, 0.5f, 7.0f, 5.0f);
    printer->EndDoc();
    std::printf("%s\n", qPrintable(printer->OutputFileName()));
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrova-chartdemo"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Treadmill stress test on the X/Y chart."));
    parser.addHelpOption();
    const QCommandLineOption pdf(QStringLiteral("pdf"),
                                 QStringLiteral("Print the chart to <file> (PDF) and exit."),
                                 QStringLiteral("file"));
    parser.addOption(pdf);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Kestrova - gráfico"));
    auto *layout = new QVBoxLayout(&window);
    auto *chart = new TvtxGraph(&window);
    layout->addWidget(chart);
    SetUp(*chart);
    Plot(*chart);

    if (parser.isSet(pdf)) {
        try {
            return PrintPdf(*chart, parser.value(pdf));
        } catch (const Exception &e) {
            std::fprintf(stderr, "kestrova-chartdemo: %s\n", e.what());
            return 1;
        }
    }
    window.show();
    return app.exec();
}
