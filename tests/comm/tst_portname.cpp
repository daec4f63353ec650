#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "comm/portname.h"
#include "comm/portsettings.h"

using namespace kestrova::comm;

class TstPortName : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void mapping_data();
    void mapping();
    void stableName();

private:
    QTemporaryDir FConfig;
};

void TstPortName::initTestCase()
{
    // The mapping goes to a settings file of this test, never the user's.
    QVERIFY(FConfig.isValid());
    qputenv("XDG_CONFIG_HOME", FConfig.path().toLocal8Bit());
}

void TstPortName::mapping_data()
{
    QTest::addColumn<uint>("port");
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("mapped");
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("source");
    const int environment = int(TPortNameSource::environment);
    const int settings = int(TPortNameSource::settings);
    const int standard = int(TPortNameSource::standard);
    QTest::newRow("port 1") << 1u << QByteArray() << ""
                            << "/dev/ttyS0" << standard;
    QTest::newRow("port 8") << 8u << QByteArray() << ""
                            << "/dev/ttyS7" << standard;
    QTest::newRow("two digits") << 12u << QByteArray() << ""
                                << "/dev/ttyS11" << standard;
    QTest::newRow("named by the environment") << 3u << QByteArray("/dev/ttyUSB0") << ""
                                              << "/dev/ttyUSB0" << environment;
    QTest::newRow("empty variable is ignored") << 4u << QByteArray("") << ""
                                               << "/dev/ttyS3" << standard;
    QTest::newRow("port 0 names nothing") << 0u << QByteArray() << ""
                                          << "" << standard;
    QTest::newRow("port 0 can be named") << 0u << QByteArray("/dev/pts/7") << ""
                                         << "/dev/pts/7" << environment;
    QTest::newRow("named by the settings") << 3u << QByteArray() << "/dev/serial/by-id/usb-x"
                                           << "/dev/serial/by-id/usb-x" << settings;
    QTest::newRow("the environment wins over the settings")
        << 3u << QByteArray("/tmp/orvanta") << "/dev/ttyUSB0"
        << "/tmp/orvanta" << environment;
    QTest::newRow("empty variable falls to the settings") << 5u << QByteArray("") << "/dev/ttyACM0"
                                                          << "/dev/ttyACM0" << settings;
}

void TstPortName::mapping()
{
    QFETCH(uint, port);
    QFETCH(QByteArray, variable);
    QFETCH(QString, mapped);
    QFETCH(QString, device);
    QFETCH(int, source);
    const QByteArray name = "KESTROVA_COM" + QByteArray::number(port);
    if (variable.isNull()) {
        qunsetenv(name);
    } else {
        qputenv(name, variable);
    }
    QVERIFY(SetMappedPortDevice(port, mapped));
    QCOMPARE(MappedPortDevice(port), mapped);
    QCOMPARE(QString::fromStdString(PortDeviceName(port)), device);
    QCOMPARE(int(PortDeviceSource(port)), source);
    qunsetenv(name);
    QVERIFY(SetMappedPortDevice(port, QString()));
}

void TstPortName::stableName()
{
    QTemporaryDir dir;
    const QString device = dir.filePath("ttyUSB0");
    const QString other = dir.filePath("ttyUSB1");
    for (const QString &path : {device, other}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir("by-id"));
    const QString link = dir.filePath("by-id/usb-FTDI_FT232R_A10K5XYZ-if00-port0");
    QVERIFY(QFile::link(device, link));
    QCOMPARE(StableDeviceName(device, dir.filePath("by-id")), link);
    QCOMPARE(StableDeviceName(link, dir.filePath("by-id")), link);
    QCOMPARE(StableDeviceName(other, dir.filePath("by-id")), other);
    QCOMPARE(StableDeviceName("/dev/kestrova-none", dir.filePath("by-id")), "/dev/kestrova-none");
}

QTEST_APPLESS_MAIN(TstPortName)
#include "tst_portname.moc"
