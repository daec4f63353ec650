#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "platform/printer.h"
#include "platform/recordingcanvas.h"
#include "somatochart/somatocarta.h"

using TCall = TRecordingCanvas::TCall;

namespace {

// Records what the chart prints while answering device capabilities as the current printer.
class TPapelGravado : public TRecordingCanvas {
public:
    int DeviceCaps(TDeviceCap cap) const override { return Printer()->DeviceCaps(cap); }
};

// A PDF print job at 300 dpi on A4 for the duration of a test.
struct TTrabalhoPdf {
    QTemporaryDir dir;
    QString arquivo;

    TTrabalhoPdf()
    {
        arquivo = dir.filePath(QStringLiteral("carta.pdf"));
        Printer()->SetPdfOutput(arquivo);
        Printer()->SetResolution(300);
        Printer()->BeginDoc();
    }
    ~TTrabalhoPdf()
    {
        if (Printer()->Printing())
            Printer()->EndDoc();
    }
};

}  // namespace

class TstSomatocartaPrint : public QObject {
    Q_OBJECT

private slots:
    void nothingWithoutPrintJob();
    void placementAndScale_data();
    void placementAndScale();
    void stateRestoredAfterPrinting();
    void printsToPdf();
};

void TstSomatocartaPrint::nothingWithoutPrintJob()
{
    QVERIFY(!Printer()->Printing());
    TSomatocarta carta;
    TRecordingCanvas tela;
    TPapelGravado papel;
    carta.SetCanvas(&tela);
    carta.SetPrinterCanvas(&papel);
    carta.ImprimirSomatocarta(10, 10, 10);
    QVERIFY(papel.Calls().isEmpty());
    QVERIFY(tela.Calls().isEmpty());
}

void TstSomatocartaPrint::placementAndScale_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("unidade");
    QTest::newRow("millimetres") << 20 << 30 << 10;
    QTest::newRow("screen-page units") << 50 << 70 << 0;
}

void TstSomatocartaPrint::placementAndScale()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, unidade);
    TTrabalhoPdf job;
    QVERIFY(Printer()->Printing());
    const int largura = Printer()->DeviceCaps(TCanvas::PhysicalWidth);
    const int margemX = Printer()->DeviceCaps(TCanvas::PhysicalOffsetX);
    const int margemY = Printer()->DeviceCaps(TCanvas::PhysicalOffsetY);
    const int mm = Printer()->DeviceCaps(TCanvas::HorzSize);
    // A4 at 300 dpi: 2480 pixels, 4.92 printer pixels per screen-page unit.
    QVERIFY(std::abs(largura - 2480) <= 1);
    QVERIFY(mm > 0);

    TSomatocarta carta;
    TRecordingCanvas tela;
    TPapelGravado papel;
    carta.SetCanvas(&tela);
    carta.SetPrinterCanvas(&papel);
    carta.Pontos()->AcrescentarPonto(0, 0, clGreen, 0, 5, QStringLiteral("Ana"));
    carta.Pontos()->AcrescentarPonto(1, 2, clBlue, 1, 5, QStringLiteral("Bia"));
    tela.ClearCalls();
    carta.ImprimirSomatocarta(x, y, unidade);
    QVERIFY(tela.Calls().isEmpty());

    const float s = float(largura) / 504.0f;
    // The chart's origin on the page, in screen-page units, measured from the paper's edge.
    const double origemX = unidade == 10 ? x * 504.0 / mm : x;
    const double origemY = unidade == 10 ? y * 504.0 / mm : y;
    const int ox = int(origemX - margemX / double(s) + 0.5);
    const int oy = int(origemY - margemY / double(s) + 0.5);
    auto S = [s](double v) { return int(v * double(s)); };

    const TCall frame = papel.Calls().last();
    QCOMPARE(frame.Op, QStringLiteral("FrameRect"));
    QCOMPARE(frame.Args, QList<int>({S(ox), S(oy), S(ox + 375), S(oy + 305)}));
    // The frame's left edge lies at the requested place on the paper (within one unit).
    QVERIFY(std::abs(frame.Args[0] + margemX - origemX * s) <= s + 1);

    const QList<TCall> arcos = papel.CallsNamed(QStringLiteral("Arc"));
    QCOMPARE(arcos.size(), 3);
    QCOMPARE(arcos[0].Args[0], S(159 + ox - 217));
    QCOMPARE(arcos[0].Args[1], S(32 + oy - 217));
    QCOMPARE(arcos[0].Pen.Width, 4);
    QCOMPARE(arcos[0].Font.Height(), S(13));

    const QList<TCall> elipses = papel.CallsNamed(QStringLiteral("Ellipse"));
    QCOMPARE(elipses.size(), 1);  // the point; the legend is not printed
    QCOMPARE(elipses[0].Args,
             QList<int>({S(ox + 159 - 5), S(oy + 157 - 5), S(ox + 159 + 5), S(oy + 157 + 5)}));
    // The cross at (177, 136): the far ends apply the scale inside the truncation, plus one.
    QList<QList<int>> cruz;
    for (const TCall &c : papel.CallsNamed(QStringLiteral("LineTo")))
        if (c.Pen.Color == clBlue)
            cruz.append({c.PenPos.x(), c.PenPos.y(), c.Args[0], c.Args[1]});
    const auto T = [s](double v) { return int(v * double(s) + 1); };
    QCOMPARE(cruz, QList<QList<int>>({{S(ox + 177), S(oy + 131), S(ox + 177), T(oy + 141)},
                                      {S(ox + 172), S(oy + 136), T(ox + 182), S(oy + 136)}}));
    // A Y tick, scaled: trunc(219 - 2 h / 18) = 198.
    bool tick = false;
    for (const TCall &c : papel.CallsNamed(QStringLiteral("LineTo")))
        tick |= c.PenPos == QPoint(S(ox + 17), S(oy + 198)) &&
                c.Args == QList<int>({S(ox + 19), S(oy + 198)});
    QVERIFY(tick);
    for (const TCall &c : papel.Calls())
        QVERIFY2(!c.Text.contains(QStringLiteral("Ana")), qPrintable(c.ToString()));
}

void TstSomatocartaPrint::stateRestoredAfterPrinting()
{
    TTrabalhoPdf job;
    TSomatocarta carta;
    TRecordingCanvas tela;
    TPapelGravado papel;
    carta.SetCanvas(&tela);
    carta.SetPrinterCanvas(&papel);
    carta.ImprimirSomatocarta(15, 15, 10);
    QVERIFY(!papel.Calls().isEmpty());
    QCOMPARE(carta.Escala(), 1.0f);
    QCOMPARE(carta.OffsetX(), 0);
    QCOMPARE(carta.OffsetY(), 0);
    QCOMPARE(&carta.Canvas(), static_cast<TCanvas *>(&tela));
    papel.ClearCalls();
    carta.AjustarFcCorDaCarta(clBlue);
    QVERIFY(papel.Calls().isEmpty());
    QCOMPARE(tela.CallsNamed(QStringLiteral("Arc")).first().Args.first(), -58);
}

void TstSomatocartaPrint::printsToPdf()
{
    QString arquivo;
    {
        TTrabalhoPdf job;
        arquivo = job.arquivo;
        TSomatocarta carta;
        carta.Pontos()->AcrescentarPonto(1, 2, clRed, 1, 5, QStringLiteral("Um"));
        carta.ImprimirSomatocarta(20, 20, 10);
        Printer()->EndDoc();
        QVERIFY(QFileInfo(arquivo).size() > 1000);
        // The control draws on its own image again.
        carta.AjustarFcCorDaBorda(clGreen);
        QCOMPARE(carta.Image().pixelColor(0, 0), QColor(0, 128, 0));
    }
}

QTEST_MAIN(TstSomatocartaPrint)
#include "tst_somatocartaprint.moc"
