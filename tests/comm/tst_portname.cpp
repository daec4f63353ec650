#include <QTest>

#include "comm/portname.h"

using kestrova::comm::PortDeviceName;

class TstPortName : public QObject {
    Q_OBJECT

private slots:
    void mapping_data();
    void mapping();
};

void TstPortName::mapping_data()
{
    QTest::addColumn<uint>("port");
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("device");
    QTest::newRow("port 1") << 1u << QByteArray() << "/dev/ttyS0";
    QTest::newRow("port 8") << 8u << QByteArray() << "/dev/ttyS7";
    QTest::newRow("two digits") << 12u << QByteArray() << "/dev/ttyS11";
    QTest::newRow("named by the environment") << 3u << QByteArray("/dev/ttyUSB0") << "/dev/ttyUSB0";
    QTest::newRow("empty variable is ignored") << 4u << QByteArray("") << "/dev/ttyS3";
    QTest::newRow("port 0 names nothing") << 0u << QByteArray() << "";
    QTest::newRow("port 0 can be named") << 0u << QByteArray("/dev/pts/7") << "/dev/pts/7";
}

void TstPortName::mapping()
{
    QFETCH(uint, port);
    QFETCH(QByteArray, variable);
    QFETCH(QString, device);
    const QByteArray name = "KESTROVA_COM" + QByteArray::number(port);
    if (variable.isNull()) {
        qunsetenv(name);
    } else {
        qputenv(name, variable);
    }
    QCOMPARE(QString::fromStdString(PortDeviceName(port)), device);
    qunsetenv(name);
}

QTEST_APPLESS_MAIN(TstPortName)
#include "tst_portname.moc"
