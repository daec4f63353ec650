#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/escolherporta.h"

using kestrova::comm::TSerialPortEntry;

namespace {

TSerialPortEntry Entry(const QString &device, const QString &stable, QList<unsigned> ports,
                       bool inUse)
{
    TSerialPortEntry entry;
    entry.device = device;
    entry.stableName = stable;
    entry.mappedPorts = ports;
    entry.inUse = inUse;
    return entry;
}

}  // namespace

// The port chooser: marks, the row preselected, and the name it hands back.
class TestEscolherPorta : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("KESTROVA_COM3"); }
    void situation_data();
    void situation();
    void picksTheStableNameOrTheDefault();
};

void TestEscolherPorta::situation_data()
{
    QTest::addColumn<QList<unsigned>>("ports");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<QString>("text");
    QTest::newRow("free") << QList<unsigned>{} << false << "";
    QTest::newRow("this port, in use") << QList<unsigned>{3} << true << "COM3 (esta porta), em uso";
    QTest::newRow("two numbers") << QList<unsigned>{1, 3} << false << "COM1, COM3 (esta porta)";
}

void TestEscolherPorta::situation()
{
    QFETCH(QList<unsigned>, ports);
    QFETCH(bool, inUse);
    QFETCH(QString, text);
    QCOMPARE(TfrmEscolherPorta::Situacao(3, Entry("/dev/ttyUSB0", "", ports, inUse)), text);
}

void TestEscolherPorta::picksTheStableNameOrTheDefault()
{
    const QList<TSerialPortEntry> entries{
        Entry("/dev/ttyS0", "/dev/ttyS0", {}, false),
        Entry("/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_A1-if00-port0", {3}, true)};
    TfrmEscolherPorta dialog(3, entries);
    QTableWidget *table = dialog.Tabela();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->currentRow(), 1);  // the device port 3 maps to
    QVERIFY(table->item(1, 0)->font().bold());
    QVERIFY(!table->item(0, 0)->font().bold());
    QCOMPARE(table->item(1, 5)->text(), "COM3 (esta porta), em uso");
    table->selectRow(1);
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.DispositivoEscolhido(), "/dev/serial/by-id/usb-FTDI_A1-if00-port0");

    TfrmEscolherPorta reset(3, entries);
    reset.findChild<QPushButton *>("btnPadrao")->click();
    QCOMPARE(reset.result(), int(QDialog::Accepted));
    QVERIFY(reset.DispositivoEscolhido().isEmpty());
}

QTEST_MAIN(TestEscolherPorta)
#include "tst_escolherporta.moc"
