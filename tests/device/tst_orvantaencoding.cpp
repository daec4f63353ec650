#include <QTest>
#include <cmath>
#include <limits>

#include "device/orvanta.h"
#include "tests/support/raisedby.h"

class TestOrvantaEncoding : public QObject {
    Q_OBJECT

private slots:
    void speedCodes_data();
    void speedCodes();
    void windowSpeedStepsEachGetTheirOwnCode();
    void speedThatIsNotANumberIsRefused_data();
    void speedThatIsNotANumberIsRefused();
    void inclineCodes_data();
    void inclineCodes();
};

void TestOrvantaEncoding::speedCodes_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("code");
    QTest::newRow("stopped") << 0.0 << 0;
    QTest::newRow("minimum 1.5") << 1.5 << 1;
    QTest::newRow("1.6") << 1.6 << 2;
    QTest::newRow("1.8 typed, single precision") << double(1.8f) << 3;
    QTest::newRow("1.8 double") << 1.8 << 4;
    QTest::newRow("5.3") << 5.3 << 39;
    QTest::newRow("17.95 typed") << 17.95 << 165;
    QTest::newRow("maximum 18.0") << 18.0 << 166;
    QTest::newRow("18.05 clamped") << 18.05 << 166;
    QTest::newRow("25 clamped") << 25.0 << 166;
    // Below the minimum the code is negative; its low 8 bits go on the wire.
    QTest::newRow("1.0 -> -4") << 1.0 << 252;
    QTest::newRow("0.5 -> -9") << 0.5 << 247;
    QTest::newRow("-1 -> -24") << -1.0 << 232;
    QTest::newRow("-0.0 is stopped") << -0.0 << 0;
    QTest::newRow("huge negative") << -1e300 << 0;
}

void TestOrvantaEncoding::speedCodes()
{
    QFETCH(double, speed);
    QFETCH(int, code);
    QCOMPARE(int(TOrvanta::ConverterVelocidade(speed)), code);
}

// The window raises the speed from 1.5 by single-precision 0.1 steps added in double precision;
// the rounding rule has to give every one of those values its own code.
void TestOrvantaEncoding::windowSpeedStepsEachGetTheirOwnCode()
{
    double speed = 1.5;
    for (int expected = 1; expected <= 166; ++expected) {
        QCOMPARE(int(TOrvanta::ConverterVelocidade(speed)), expected);
        speed += 0.1f;
    }
}

void TestOrvantaEncoding::speedThatIsNotANumberIsRefused_data()
{
    QTest::addColumn<double>("speed");
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("+inf") << std::numeric_limits<double>::infinity();
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity();
}

void TestOrvantaEncoding::speedThatIsNotANumberIsRefused()
{
    QFETCH(double, speed);
    QCOMPARE(RaisedBy([&] { TOrvanta::ConverterVelocidade(speed); }),
             QStringLiteral("Velocidade inválida."));
}

void TestOrvantaEncoding::inclineCodes_data()
{
    QTest::addColumn<float>("incline");
    QTest::addColumn<int>("code");
    QTest::newRow("-1") << -1.0f << 0;
    QTest::newRow("0") << 0.0f << 0;
    QTest::newRow("0.5") << 0.5f << 26;
    QTest::newRow("3") << 3.0f << 3;
    QTest::newRow("24.5") << 24.5f << 50;
    QTest::newRow("25") << 25.0f << 25;
    QTest::newRow("25.5 clamped") << 25.5f << 25;
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << 0;
    QTest::newRow("+inf") << std::numeric_limits<float>::infinity() << 25;
    QTest::newRow("2.4 rounds down") << 2.4f << 2;
    QTest::newRow("2.6 counts as a half") << 2.6f << 28;
}

void TestOrvantaEncoding::inclineCodes()
{
    QFETCH(float, incline);
    QFETCH(int, code);
    QCOMPARE(int(TOrvanta::ConverterInclinacao(incline)), code);
}

QTEST_GUILESS_MAIN(TestOrvantaEncoding)
#include "tst_orvantaencoding.moc"
