// heartrate/ in English: the refusals, the trace file's failures, a reading's line and the
// Bluetooth failures come out in English once the translation is installed; what a source says
// (recorded with the test) and the trace lines stay Portuguese.

#include <QCoreApplication>
#include <QTest>

#include "heartrate/decodificadormedicao.h"
#include "heartrate/falhabluetooth.h"
#include "heartrate/reconexaocinta.h"
#include "heartrate/situacaocardiaca.h"
#include "heartrate/tracocardiaco.h"
#include "heartrate/vigiasinal.h"
#include "platform/idioma.h"
#include "platform/trace.h"

namespace {

QStringList gTraces;

void GuardarTrace(QtMsgType, const QMessageLogContext &contexto, const QString &texto)
{
    if (QLatin1String(contexto.category) == QLatin1String("kestrova.trace"))
        gTraces << texto;
}

QString Recusa(const QByteArray &hex)
{
    QString motivo;
    TDecodificadorMedicao::Interpretar(QByteArray::fromHex(hex), &motivo);
    return motivo;
}

QString FalhaDoTraco(const QByteArray &csv)
{
    QString erro;
    TTracoCardiaco::Ler(csv, &erro);
    return erro;
}

}  // namespace

class TstCardiacoIngles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles, QLocale::c()));
    }
    void cleanupTestCase()
    {
        InstalarIdioma(*QCoreApplication::instance(), TIdioma::Portugues, QLocale::c());
    }

    void mostrados_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("ingles");
        QTest::newRow("empty notification") << Recusa("") << "empty notification";
        QTest::newRow("rate of 0")
            << Recusa("0000") << "impossible heart rate: 0 bpm (accepted from 1 to 250)";
        // The flags 0x01 ask for a uint16 rate: 1 + 2 bytes.
        QTest::newRow("too short") << Recusa("0148")
                                   << "too short: 2 bytes, the flags (0x01) call "
                                      "for 3 bytes";
        QString motivo;
        TDecodificadorMedicao::LerHex(QStringLiteral("4g"), &motivo);
        QTest::newRow("not hex") << motivo
                                 << "\"4g\" is not a sequence of bytes in hexadecimal (two digits "
                                    "a byte)";
        TLeituraCardiaca leitura;
        leitura.bpm = 72;
        leitura.contato = TContatoSensor::Detectado;
        leitura.energiaKj = 5;
        QTest::newRow("reading") << TDecodificadorMedicao::Descrever(leitura)
                                 << "72 bpm, contact detected, energy 5 kJ";
        QTest::newRow("trace header")
            << FalhaDoTraco("t,fc\n1,70\n")
            << "line 1: header \"t,fc\"; it must be \"tempo_s,fc\" or \"tempo_s,fc,rr_ms\"";
        QTest::newRow("adapter off") << TextoFalhaBluetooth(TFalhaBluetooth::Desligado)
                                     << "Bluetooth is switched off: switch it on (bluetoothctl "
                                        "power on)";
    }
    void mostrados()
    {
        QFETCH(QString, texto);
        QFETCH(QString, ingles);
        QCOMPARE(texto, ingles);
    }

    // What a source says is recorded as the Portuguese source text and shown in English.
    void situacoes_data()
    {
        QTest::addColumn<QString>("dito");
        QTest::addColumn<QString>("portugues");
        QTest::addColumn<QString>("ingles");
        TVigiaSinal vigia;
        TLeituraCardiaca leitura;
        leitura.bpm = 70;
        vigia.Registrar(leitura);
        QTest::newRow("signal received") << vigia.Mudanca(0) << "sinal recebido"
                                         << "signal received";
        QTest::newRow("no signal") << vigia.Mudanca(TVigiaSinal::kValidadeMs + 1) << "sem sinal"
                                   << "no signal";
        TReconexaoCinta reconexao;
        reconexao.Iniciar();
        QTest::newRow("not found")
            << reconexao.Perdeu()
            << "cinta não encontrada ou recusou a conexão (vista-a para acordá-la): nova "
               "tentativa a cada 3 s"
            << "strap not found or it refused the connection (put it on to wake it): trying "
               "again every 3 s";
        QTest::newRow("connected") << reconexao.Conectou() << "cinta conectada"
                                   << "strap connected";
        QTest::newRow("adapter") << reconexao.FalhaDoAdaptador(TFalhaBluetooth::SemPermissao)
                                 << "o sistema negou a permissão de usar o Bluetooth"
                                 << "the system denied permission to use Bluetooth";
        QTest::newRow("battery") << QString::fromUtf8(SituacaoCardiaca::kBateria).arg(80)
                                 << "bateria da cinta: 80 %"
                                 << "strap battery: 80 %";
        QTest::newRow("other text") << "Cinta simulada"
                                    << "Cinta simulada"
                                    << "Cinta simulada";
    }
    void situacoes()
    {
        QFETCH(QString, dito);
        QFETCH(QString, portugues);
        QFETCH(QString, ingles);
        QCOMPARE(dito, portugues);
        QCOMPARE(TraduzirSituacaoCardiaca(dito), ingles);
    }

    // The trace keeps the Portuguese reason; the caller gets it in English.
    void traceEmPortugues()
    {
        gTraces.clear();
        EnableTrace(true);
        const QtMessageHandler anterior = qInstallMessageHandler(GuardarTrace);
        TDecodificadorMedicao decodificador;
        QString motivo;
        const bool leu = decodificador.Decodificar(QByteArray(), &motivo).has_value();
        qInstallMessageHandler(anterior);
        EnableTrace(false);
        QVERIFY(!leu);
        QCOMPARE(motivo, QStringLiteral("empty notification"));
        QCOMPARE(gTraces, QStringList{"FC RECUSOU   (notificação vazia; 1 recusadas)"});
    }
};

QTEST_GUILESS_MAIN(TstCardiacoIngles)
#include "tst_cardiacoingles.moc"
