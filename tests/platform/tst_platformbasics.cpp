#include <QTest>

#include "platform/eventguard.h"
#include "platform/exception.h"
#include "platform/ticks.h"
#include "platform/trace.h"
#include "platform/traducoesqt.h"

class TstPlatformBasics : public QObject {
    Q_OBJECT

private slots:
    void exceptionKeepsMessageAndUtf8();
    void tickDifferencesSurviveTheWrap_data();
    void tickDifferencesSurviveTheWrap();
    void traceIsOffUntilEnabled();
    void eventGuardKeepsExceptionsIn();
    void qtStandardTextsInPortuguese();
};

// Whatever a handler's body raises stays in the guard, named in a warning.
void TstPlatformBasics::eventGuardKeepsExceptionsIn()
{
    QVERIFY(TEventGuard::Run("ok", [] {}));
    QTest::ignoreMessage(QtWarningMsg, "paint: Falha na comunicação");
    QVERIFY(!TEventGuard::Run("paint",
                              [] { throw Exception(QStringLiteral("Falha na comunicação")); }));
    QTest::ignoreMessage(QtWarningMsg, "key: std::bad_alloc");
    QVERIFY(!TEventGuard::Run("key", [] { throw std::bad_alloc(); }));
    QTest::ignoreMessage(QtWarningMsg, "mouse: unknown exception");
    QVERIFY(!TEventGuard::Run("mouse", [] { throw 42; }));
}

void TstPlatformBasics::exceptionKeepsMessageAndUtf8()
{
    const QString text = QStringLiteral("Falha na comunicação");
    try {
        throw Exception(text);
    } catch (const std::exception &error) {
        QCOMPARE(QString::fromUtf8(error.what()), text);
        QCOMPARE(dynamic_cast<const Exception &>(error).Message(), text);
    }
}

void TstPlatformBasics::tickDifferencesSurviveTheWrap_data()
{
    QTest::addColumn<quint32>("start");
    QTest::addColumn<quint32>("now");
    QTest::addColumn<quint32>("elapsed");
    QTest::newRow("plain") << 1000u << 1800u << 800u;
    QTest::newRow("across the wrap") << 0xFFFFFF00u << 0x00000220u << 0x320u;
    QTest::newRow("same tick") << 42u << 42u << 0u;
}

void TstPlatformBasics::tickDifferencesSurviveTheWrap()
{
    QFETCH(quint32, start);
    QFETCH(quint32, now);
    QFETCH(quint32, elapsed);
    QCOMPARE(TicksSince(start, now), elapsed);
}

void TstPlatformBasics::traceIsOffUntilEnabled()
{
    QVERIFY(!lcKestrovaTrace().isDebugEnabled());
    EnableTrace(true);
    QVERIFY(lcKestrovaTrace().isDebugEnabled());
    QTest::ignoreMessage(QtDebugMsg, "ENVIOU    0x02  ");
    Trace(QStringLiteral("ENVIOU    0x02  "));
    EnableTrace(false);
    QVERIFY(!lcKestrovaTrace().isDebugEnabled());
}

// The standard dialogs' buttons come from Qt's own catalogue, installed by the build's packages.
void TstPlatformBasics::qtStandardTextsInPortuguese()
{
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    QVERIFY(InstalarTraducoesDoQt(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sim"));
}

QTEST_GUILESS_MAIN(TstPlatformBasics)
#include "tst_platformbasics.moc"
