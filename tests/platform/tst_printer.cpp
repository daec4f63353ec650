#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/exception.h"
#include "platform/printer.h"

// The printer on its PDF target: device capabilities, the print job, the canvas on paper and
// the information context. Checks that read the PDF back run only where poppler's tools exist.
class TestPrinter : public QObject {
    Q_OBJECT

private:
    QTemporaryDir FDir;

    QString PdfPath(const QString &name) const { return FDir.filePath(name); }
    static bool HasTool(const QString &tool)
    {
        return !QStandardPaths::findExecutable(tool).isEmpty();
    }
    static QByteArray Run(const QString &tool, const QStringList &args)
    {
        QProcess p;
        p.start(tool, args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return QByteArray();
        return p.readAllStandardOutput();
    }

private slots:
    void initTestCase();
    void deviceCapsFollowResolution_data();
    void deviceCapsFollowResolution();
    void withoutPrinterOutputIsPdf();
    void printsPagesToPdf();
    void paperGeometryOnRenderedPage();
    void jobStateErrors();
    void unwritableOutputFails();
    void informationContextMeasuresAtPrinterResolution();
    void processWidePrinter();
};

void TestPrinter::initTestCase()
{
    QVERIFY(FDir.isValid());
}

void TestPrinter::deviceCapsFollowResolution_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("300") << 300;
    QTest::newRow("600") << 600;
    QTest::newRow("1200") << 1200;
}

void TestPrinter::deviceCapsFollowResolution()
{
    QFETCH(int, dpi);
    TPrinter printer;
    printer.SetPdfOutput(PdfPath(QStringLiteral("caps.pdf")));
    printer.SetResolution(dpi);
    QCOMPARE(printer.Resolution(), dpi);
    QCOMPARE(printer.DeviceCaps(TCanvas::LogPixelsX), dpi);
    QCOMPARE(printer.DeviceCaps(TCanvas::LogPixelsY), dpi);
    // A4 (210 x 297 mm) whole page, within a hundredth of an inch (A4 is 595 x 842 points).
    const int slack = dpi / 100;
    QVERIFY(qAbs(printer.DeviceCaps(TCanvas::PhysicalWidth) - qRound(210 / 25.4 * dpi)) <= slack);
    QVERIFY(qAbs(printer.DeviceCaps(TCanvas::PhysicalHeight) - qRound(297 / 25.4 * dpi)) <= slack);
    // The printable area sits inside the page at the physical offset.
    const int offX = printer.DeviceCaps(TCanvas::PhysicalOffsetX);
    const int offY = printer.DeviceCaps(TCanvas::PhysicalOffsetY);
    QVERIFY(offX >= 0 && offY >= 0);
    QVERIFY(offX + printer.DeviceCaps(TCanvas::HorzRes) <=
            printer.DeviceCaps(TCanvas::PhysicalWidth));
    QVERIFY(offY + printer.DeviceCaps(TCanvas::VertRes) <=
            printer.DeviceCaps(TCanvas::PhysicalHeight));
    QCOMPARE(printer.PageWidth(), printer.DeviceCaps(TCanvas::HorzRes));
    QCOMPARE(printer.PageHeight(), printer.DeviceCaps(TCanvas::VertRes));
    QCOMPARE(printer.DeviceCaps(TCanvas::HorzSize), qRound(printer.PageWidth() * 25.4 / dpi));
    QCOMPARE(printer.DeviceCaps(TCanvas::VertSize), qRound(printer.PageHeight() * 25.4 / dpi));
    // The canvas reports the same.
    QCOMPARE(printer.Canvas().PixelsPerInchX(), dpi);
    QCOMPARE(printer.Canvas().DeviceCaps(TCanvas::PhysicalOffsetX), offX);
}

void TestPrinter::withoutPrinterOutputIsPdf()
{
    if (!TPrinter::Printers().isEmpty())
        QSKIP("a system printer is installed");
    TPrinter printer;
    QVERIFY(printer.IsPdfOutput());
    QVERIFY(printer.PrinterName().isEmpty());
    QCOMPARE(printer.Resolution(), 600);
    printer.SetTitle(QStringLiteral("Relatório/1"));
    QVERIFY(printer.OutputFileName().endsWith(QStringLiteral("Relatório_1.pdf")));
    // Asking for PDF and then for "no PDF" goes back to the default output.
    printer.SetPdfOutput(PdfPath(QStringLiteral("asked.pdf")));
    QCOMPARE(printer.OutputFileName(), PdfPath(QStringLiteral("asked.pdf")));
    printer.SetPdfOutput(QString());
    QVERIFY(printer.OutputFileName().endsWith(QStringLiteral("Relatório_1.pdf")));
}

void TestPrinter::printsPagesToPdf()
{
    const QString path = PdfPath(QStringLiteral("pages.pdf"));
    TPrinter printer;
    printer.SetPdfOutput(path);
    printer.SetResolution(600);
    printer.SetTitle(QStringLiteral("Kestrova test"));
    printer.BeginDoc();
    QVERIFY(printer.Printing());
    QCOMPARE(printer.PageNumber(), 1);
    TCanvas &c = printer.Canvas();
    QVERIFY(c.HasSurface());
    c.Font().SetSize(12);
    c.TextOut(600, 600, QStringLiteral("FirstPageText"));
    c.Rectangle(600, 1200, 1800, 2400);
    c.Pen().Width = 3;
    c.Pen().Style = TCanvas::psDash;
    c.MoveTo(600, 3000);
    c.LineTo(3000, 3000);
    printer.NewPage();
    QCOMPARE(printer.PageNumber(), 2);
    c.TextOut(600, 600, QStringLiteral("SecondPageText"));
    printer.EndDoc();
    QVERIFY(!printer.Printing());
    QVERIFY(!c.HasSurface());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.size() > 500);
    QVERIFY(pdf.startsWith("%PDF"));
    if (!HasTool(QStringLiteral("pdftotext")))
        QSKIP("pdftotext is not installed");
    const QByteArray text = Run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    const QList<QByteArray> pages = text.split('\f');
    QVERIFY(pages.size() >= 2);
    QVERIFY(pages[0].contains("FirstPageText"));
    QVERIFY(!pages[0].contains("SecondPageText"));
    QVERIFY(pages[1].contains("SecondPageText"));
}

void TestPrinter::paperGeometryOnRenderedPage()
{
    if (!HasTool(QStringLiteral("pdftoppm")))
        QSKIP("pdftoppm is not installed");
    const QString path = PdfPath(QStringLiteral("geometry.pdf"));
    TPrinter printer;
    printer.SetPdfOutput(path);
    printer.SetResolution(600);
    const int offX = printer.DeviceCaps(TCanvas::PhysicalOffsetX);
    const int offY = printer.DeviceCaps(TCanvas::PhysicalOffsetY);
    printer.BeginDoc();
    // A black one-inch square one inch from the printable area's corner.
    printer.Canvas().Brush().Color = clBlack;
    printer.Canvas().FillRect({600, 600, 1200, 1200});
    printer.EndDoc();
    // Render at 60 dpi: one inch is 60 pixels, device pixels divide by 10.
    const QString prefix = PdfPath(QStringLiteral("geometry"));
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), path, prefix});
    QImage page(prefix + QStringLiteral(".png"));
    QVERIFY(!page.isNull());
    const int left = (offX + 600) / 10, top = (offY + 600) / 10;
    auto dark = [&page](int x, int y) { return qGray(page.pixel(x, y)) < 64; };
    QVERIFY(dark(left + 2, top + 2));
    QVERIFY(dark(left + 57, top + 57));
    QVERIFY(!dark(left - 3, top + 30));
    QVERIFY(!dark(left + 63, top + 30));
    QVERIFY(!dark(left + 30, top - 3));
    QVERIFY(!dark(left + 30, top + 63));
}

void TestPrinter::jobStateErrors()
{
    TPrinter printer;
    printer.SetPdfOutput(PdfPath(QStringLiteral("state.pdf")));
    QVERIFY_THROWS_EXCEPTION(Exception, printer.EndDoc());
    QVERIFY_THROWS_EXCEPTION(Exception, printer.NewPage());
    QVERIFY_THROWS_EXCEPTION(Exception, printer.Canvas().LineTo(10, 10));
    QVERIFY_THROWS_EXCEPTION(Exception, printer.SetResolution(0));
    printer.BeginDoc();
    QVERIFY_THROWS_EXCEPTION(Exception, printer.BeginDoc());
    QVERIFY_THROWS_EXCEPTION(Exception, printer.SetResolution(300));
    QVERIFY_THROWS_EXCEPTION(Exception, printer.SetPdfOutput(PdfPath(QStringLiteral("x.pdf"))));
    QVERIFY(printer.Printing());
    printer.Abort();
    QVERIFY(!printer.Printing());
    QVERIFY_THROWS_EXCEPTION(Exception, printer.EndDoc());
    // A new job can start after an abort.
    printer.BeginDoc();
    printer.Canvas().TextOut(10, 10, QStringLiteral("again"));
    printer.EndDoc();
    QVERIFY(QFileInfo(PdfPath(QStringLiteral("state.pdf"))).size() > 0);
}

void TestPrinter::unwritableOutputFails()
{
    TPrinter printer;
    printer.SetPdfOutput(FDir.filePath(QStringLiteral("no/such/dir/out.pdf")));
    QVERIFY_THROWS_EXCEPTION(Exception, printer.BeginDoc());
    QVERIFY(!printer.Printing());
    QVERIFY(!printer.Canvas().HasSurface());
}

void TestPrinter::informationContextMeasuresAtPrinterResolution()
{
    std::unique_ptr<TCanvas> ic;
    int physicalWidth = 0;
    {
        TPrinter printer;
        printer.SetPdfOutput(PdfPath(QStringLiteral("ic.pdf")));
        printer.SetResolution(600);
        physicalWidth = printer.DeviceCaps(TCanvas::PhysicalWidth);
        ic = printer.CreateInformationContext();
        QVERIFY(!printer.Printing());
    }
    // The context outlives its printer and keeps the values of the moment it was made.
    QCOMPARE(ic->DeviceCaps(TCanvas::LogPixelsX), 600);
    QCOMPARE(ic->DeviceCaps(TCanvas::PhysicalWidth), physicalWidth);
    QVERIFY(!ic->HasSurface());
    QVERIFY_THROWS_EXCEPTION(Exception, ic->TextOut(0, 0, QStringLiteral("x")));
    // A 10-point font is 10/72 inch high there: about 6.25 times its height at 96 dpi.
    ic->Font().SetSize(10);
    TCanvas screen;
    screen.Font().SetSize(10);
    QCOMPARE(ic->Font().PixelHeight(ic->PixelsPerInchY()), 83);
    const double ratio = double(ic->TextWidth(QStringLiteral("Measured text"))) /
                         screen.TextWidth(QStringLiteral("Measured text"));
    QVERIFY2(ratio > 5.5 && ratio < 7.0, qPrintable(QString::number(ratio)));
}

void TestPrinter::processWidePrinter()
{
    TPrinter *first = Printer();
    QVERIFY(first);
    QCOMPARE(Printer(), first);
    auto replacement = std::make_unique<TPrinter>();
    TPrinter *raw = replacement.get();
    std::unique_ptr<TPrinter> old = SetPrinter(std::move(replacement));
    QCOMPARE(old.get(), first);
    QCOMPARE(Printer(), raw);
    SetPrinter(nullptr);
    QVERIFY(Printer() != nullptr);
}

QTEST_MAIN(TestPrinter)
#include "tst_printer.moc"
