#include <QtTest>

#include "platform/exception.h"
#include "platform/printer.h"

// Without an application object Qt cannot create a printer; the printer layer must raise
// instead of letting QPrinter abort the process.
class TestPrinterWithoutApp : public QObject {
    Q_OBJECT

private slots:
    void raisesInsteadOfAborting()
    {
        QVERIFY(!QCoreApplication::instance());
        QVERIFY_THROWS_EXCEPTION(Exception, TPrinter());
        QVERIFY_THROWS_EXCEPTION(Exception, Printer());
        // Still nothing cached: a later call tries again (and raises again here).
        QVERIFY_THROWS_EXCEPTION(Exception, Printer());
    }
};

QTEST_APPLESS_MAIN(TestPrinterWithoutApp)
#include "tst_printerwithoutapp.moc"
