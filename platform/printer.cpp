#include "printer.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <functional>

#include "platform/exception.h"

namespace {

constexpr int kPdfResolution = 600;

// A canvas whose device capabilities come from elsewhere (the printer, or a snapshot of it).
class TDeviceCanvas final : public TCanvas {
public:
    explicit TDeviceCanvas(std::function<int(TDeviceCap)> caps) : FCaps(std::move(caps)) {}

    int DeviceCaps(TDeviceCap cap) const override
    {
        if (cap == LogPixelsX && OverridePpiX())
            return OverridePpiX();
        if (cap == LogPixelsY && OverridePpiY())
            return OverridePpiY();
        return FCaps(cap);
    }

private:
    std::function<int(TDeviceCap)> FCaps;
};

std::unique_ptr<TPrinter> &CurrentPrinter()
{
    static std::unique_ptr<TPrinter> printer;
    return printer;
}

void DestroyCurrentPrinter()
{
    CurrentPrinter().reset();
}

// The current printer goes with the application object, before Qt's printing support unloads.
void DestroyWithApplication()
{
    static bool registered = false;
    if (!registered)
        qAddPostRoutine(DestroyCurrentPrinter);
    registered = true;
}

}  // namespace

TPrinter::TPrinter()
{
    // QPrinter aborts the process when created without an application object.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw Exception(QStringLiteral("Printing needs a QGuiApplication"));
    FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    FCanvas = std::make_unique<TDeviceCanvas>(
        [this](TCanvas::TDeviceCap cap) { return DeviceCaps(cap); });
    UseDefaultOutput();
}

TPrinter::~TPrinter()
{
    Abort();
}

QStringList TPrinter::Printers()
{
    return QPrinterInfo::availablePrinterNames();
}

void TPrinter::RequireIdle(const char *what) const
{
    if (FPrinting)
        throw Exception(QStringLiteral("Cannot %1 while printing").arg(QLatin1String(what)));
}

QString TPrinter::DefaultPdfPath() const
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    QString name = FTitle;
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    return QDir(dir).filePath((name.isEmpty() ? QStringLiteral("Kestrova") : name) +
                              QStringLiteral(".pdf"));
}

void TPrinter::UseDefaultOutput()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        FPrinter->setOutputFormat(QPrinter::NativeFormat);
        FPrinter->setPrinterName(info.printerName());
        FPrinter->setOutputFileName(QString());
        return;
    }
    FPrinter->setOutputFormat(QPrinter::PdfFormat);
    FPrinter->setResolution(kPdfResolution);
    FPrinter->setOutputFileName(DefaultPdfPath());
}

QString TPrinter::PrinterName() const
{
    return IsPdfOutput() ? QString() : FPrinter->printerName();
}

void TPrinter::SetPrinterName(const QString &name)
{
    RequireIdle("change the printer");
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        throw Exception(QStringLiteral("Printer \"%1\" not found").arg(name));
    FPdfAsked = false;
    FPrinter->setOutputFormat(QPrinter::NativeFormat);
    FPrinter->setPrinterName(info.printerName());
    FPrinter->setOutputFileName(QString());
}

void TPrinter::SetPdfOutput(const QString &path)
{
    RequireIdle("change the printer");
    FPdfAsked = !path.isEmpty();
    if (!FPdfAsked) {
        UseDefaultOutput();
        return;
    }
    FPrinter->setOutputFormat(QPrinter::PdfFormat);
    FPrinter->setResolution(kPdfResolution);
    FPrinter->setOutputFileName(path);
}

bool TPrinter::IsPdfOutput() const
{
    return FPrinter->outputFormat() == QPrinter::PdfFormat;
}

QString TPrinter::OutputFileName() const
{
    return FPrinter->outputFileName();
}

void TPrinter::SetResolution(int dpi)
{
    RequireIdle("change the resolution");
    if (dpi <= 0)
        throw Exception(QStringLiteral("Invalid printer resolution: %1").arg(dpi));
    FPrinter->setResolution(dpi);
}

int TPrinter::Resolution() const
{
    return FPrinter->resolution();
}

void TPrinter::SetTitle(const QString &title)
{
    RequireIdle("change the title");
    const bool defaultPdf = IsPdfOutput() && !FPdfAsked;
    FTitle = title;
    FPrinter->setDocName(title);
    if (defaultPdf)
        FPrinter->setOutputFileName(DefaultPdfPath());
}

void TPrinter::BeginDoc()
{
    RequireIdle("start a document");
    FPrinter->setDocName(FTitle);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(FPrinter.get())) {
        const QString target = IsPdfOutput() ? OutputFileName() : PrinterName();
        throw Exception(QStringLiteral("Cannot start printing on \"%1\"").arg(target));
    }
    FPainter = std::move(painter);
    FPrinting = true;
    FPageNumber = 1;
    FCanvas->ResetClip();
    FCanvas->MoveTo(0, 0);
    FCanvas->SetPainter(FPainter.get());
}

void TPrinter::EndDoc()
{
    if (!FPrinting)
        throw Exception(QStringLiteral("Printing not in progress"));
    FCanvas->SetPainter(nullptr);
    const bool ok = FPainter->end();
    FPainter.reset();
    FPrinting = false;
    FPageNumber = 0;
    if (!ok)
        throw Exception(QStringLiteral("The printer could not complete the document"));
}

void TPrinter::NewPage()
{
    if (!FPrinting)
        throw Exception(QStringLiteral("Printing not in progress"));
    if (!FPrinter->newPage())
        throw Exception(QStringLiteral("The printer could not start a new page"));
    ++FPageNumber;
    FCanvas->MoveTo(0, 0);
}

void TPrinter::Abort()
{
    if (!FPrinting)
        return;
    FCanvas->SetPainter(nullptr);
    FPrinter->abort();
    if (FPainter->isActive())
        FPainter->end();
    FPainter.reset();
    FPrinting = false;
    FPageNumber = 0;
}

TCanvas &TPrinter::Canvas()
{
    return *FCanvas;
}

int TPrinter::PageWidth() const
{
    return DeviceCaps(TCanvas::HorzRes);
}

int TPrinter::PageHeight() const
{
    return DeviceCaps(TCanvas::VertRes);
}

int TPrinter::DeviceCaps(TCanvas::TDeviceCap cap) const
{
    const int dpi = FPrinter->resolution();
    const QPageLayout layout = FPrinter->pageLayout();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    switch (cap) {
        case TCanvas::LogPixelsX:
        case TCanvas::LogPixelsY: return dpi;
        case TCanvas::HorzRes: return paint.width();
        case TCanvas::VertRes: return paint.height();
        case TCanvas::HorzSize: return qRound(paint.width() * 25.4 / dpi);
        case TCanvas::VertSize: return qRound(paint.height() * 25.4 / dpi);
        case TCanvas::PhysicalWidth: return full.width();
        case TCanvas::PhysicalHeight: return full.height();
        case TCanvas::PhysicalOffsetX: return paint.left();
        case TCanvas::PhysicalOffsetY: return paint.top();
    }
    return 0;
}

std::unique_ptr<TCanvas> TPrinter::CreateInformationContext() const
{
    QHash<int, int> caps;
    for (TCanvas::TDeviceCap cap :
         {TCanvas::HorzSize, TCanvas::VertSize, TCanvas::HorzRes, TCanvas::VertRes,
          TCanvas::LogPixelsX, TCanvas::LogPixelsY, TCanvas::PhysicalWidth, TCanvas::PhysicalHeight,
          TCanvas::PhysicalOffsetX, TCanvas::PhysicalOffsetY})
        caps.insert(cap, DeviceCaps(cap));
    return std::make_unique<TDeviceCanvas>(
        [caps](TCanvas::TDeviceCap cap) { return caps.value(cap, 0); });
}

QPrinter &TPrinter::QtPrinter()
{
    return *FPrinter;
}

TPrinter *Printer()
{
    std::unique_ptr<TPrinter> &current = CurrentPrinter();
    if (!current) {
        current = std::make_unique<TPrinter>();
        DestroyWithApplication();
    }
    return current.get();
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer)
{
    std::unique_ptr<TPrinter> old = std::move(CurrentPrinter());
    CurrentPrinter() = std::move(printer);
    DestroyWithApplication();
    return old;
}
