#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "kestrova_platform_export.h"
#include "platform/canvas.h"

class QPainter;
class QPrinter;

// The printer components print on: a QPrinter with a TCanvas and the device capabilities of the
// classic printer API.
//
// Output goes to the system's default printer (QPrinterInfo), or to a PDF file when SetPdfOutput
// names one or when the system has no printer at all (then to "<Title>.pdf" in the user's
// documents folder). A PDF target prints at 600 dpi unless SetResolution says otherwise.
//
// Coordinates on the canvas are device pixels with (0, 0) at the top-left of the printable area,
// as on a printer device context. Page size, margins and resolution can be read at any time;
// they may change only while no document is open (changing them while printing raises).
class KESTROVA_PLATFORM_EXPORT TPrinter {
public:
    // Raises when there is no QGuiApplication (Qt cannot print without one).
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter &) = delete;
    TPrinter &operator=(const TPrinter &) = delete;

    // Names of the system's printers; empty when none is installed.
    static QStringList Printers();

    // The system printer's name, or an empty text for PDF output.
    QString PrinterName() const;
    // Selects a system printer by name (raises for an unknown name).
    void SetPrinterName(const QString &name);
    // Sends the output to a PDF file. An empty path returns to the default printer (or, with no
    // printer installed, to the default PDF file).
    void SetPdfOutput(const QString &path);
    bool IsPdfOutput() const;
    QString OutputFileName() const;
    // Device pixels per inch (both directions).
    void SetResolution(int dpi);
    int Resolution() const;
    // The document name shown by the print queue (and the default PDF file name).
    void SetTitle(const QString &title);
    QString Title() const { return FTitle; }

    // The print job. BeginDoc raises when a document is already open or the output cannot be
    // opened; EndDoc and NewPage raise when no document is open or the device fails.
    void BeginDoc();
    void EndDoc();
    void NewPage();
    // Ends an open document, discarding what the device allows to discard; no effect when idle.
    void Abort();
    bool Printing() const { return FPrinting; }
    int PageNumber() const { return FPageNumber; }

    // The canvas draws only between BeginDoc and EndDoc; it measures text at printer
    // resolution at any time.
    TCanvas &Canvas();
    // Printable area in device pixels (HorzRes, VertRes).
    int PageWidth() const;
    int PageHeight() const;
    int DeviceCaps(TCanvas::TDeviceCap cap) const;

    // An information context: a canvas that measures text and answers DeviceCaps with this
    // printer's values at the time of the call, without a document. It cannot draw, and it stays
    // valid after the printer is gone.
    std::unique_ptr<TCanvas> CreateInformationContext() const;

    // The underlying QPrinter, for settings this class does not wrap (page size, orientation).
    QPrinter &QtPrinter();

private:
    void RequireIdle(const char *what) const;
    void UseDefaultOutput();
    QString DefaultPdfPath() const;

    std::unique_ptr<QPrinter> FPrinter;
    std::unique_ptr<QPainter> FPainter;
    std::unique_ptr<TCanvas> FCanvas;
    QString FTitle = QStringLiteral("Kestrova");
    bool FPrinting = false;
    int FPageNumber = 0;
    bool FPdfAsked = false;
};

// The process-wide current printer, created on first use and destroyed with the application
// object. Raises, like the constructor, when there is no QGuiApplication.
KESTROVA_PLATFORM_EXPORT TPrinter *Printer();
// Replaces the current printer (ownership passes to the process) and returns the old one to the
// caller, who then owns it; nullptr makes the next Printer() call create a fresh one.
KESTROVA_PLATFORM_EXPORT std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer);
