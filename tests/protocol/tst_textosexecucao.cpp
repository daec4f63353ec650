// The run's event texts shown in English: every text the run machine records on the way through
// a test with failures is known and translated, its values kept; in Portuguese, and for a text
// no model knows, the text is shown as recorded.

#include <QCoreApplication>
#include <QTest>

#include "platform/idioma.h"
#include "protocol/embutidos.h"
#include "protocol/maquinaexecucao.h"
#include "protocol/textosexecucao.h"

namespace {

// Bruce with everything that records an event: a stage, a limit, the operator's actions, failed
// exchanges, a lost and reopened device, a refused and a confirmed stop.
QStringList TextosDeUmTeste()
{
    TMaquinaExecucao m;
    m.Configuracao().protocolo = TEmbutidos::Todos().first();
    m.Configuracao().velocidadeMaxima = 3.5;  // stage 2's 4.0 km/h is limited
    QStringList textos;
    auto tomar = [&] {
        for (const TEventoExecucao &e : m.TomarEventos())
            textos << e.texto;
    };
    qint64 t = 0;
    m.Iniciar(t);
    m.CancelarContagem(t += 10);
    m.Iniciar(t += 10);
    m.DispositivoPerdido(t);
    m.Iniciar(t += 10);
    m.Avancar(t += TMaquinaExecucao::kContagemMs);
    m.EnvioIniciado(t);
    m.ResultadoVelocidade(t, 2.7, {});
    m.ResultadoInclinacao(t, 10, {});
    m.Pausar(t += 1000);
    m.Retomar(t += 1000);
    m.AjustarManual(t += 1000, 3.0, std::nullopt);
    m.AjustarManual(t += 1000, std::nullopt, 11.0);
    m.Retomar(t += 1000);
    m.ProximoEstagio(t += 1000);
    m.JanelaSemResposta(t += 1000);
    m.Retomar(t += 1000);
    m.ResultadoVelocidade(t += 1000, 3.5, QStringLiteral("Retornou NAK"));
    m.ResultadoInclinacao(t, 12, QStringLiteral("Retornou NAK"));
    m.Avancar(t += 5000);  // no answer for 2 s: the link is lost
    m.ResultadoVelocidade(t += 100, 3.5, {});
    m.DispositivoPerdido(t += 100);
    m.DispositivoReaberto(t += 100);
    m.Retomar(t += 100);
    m.IrParaRecuperacao(t += 1000);
    m.PedirParada(t += 1000);
    m.ResultadoParada(t += 100, QStringLiteral("Falha na comunicação"));
    m.ResultadoParada(t += 100, {});
    tomar();
    return textos;
}

}  // namespace

class TestTextosExecucao : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        InstalarIdioma(*QCoreApplication::instance(), TIdioma::Portugues, QLocale::c());
    }

    void everyRecordedTextIsShownInEnglish()
    {
        const QStringList textos = TextosDeUmTeste();
        QVERIFY2(textos.size() >= 25, qPrintable(textos.join('\n')));
        for (const QString &texto : textos)
            QCOMPARE(TTextosExecucao::Traduzir(texto), texto);  // Portuguese: as recorded
        QVERIFY(InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles, QLocale::c()));
        QStringList naoTraduzidos;
        for (const QString &texto : textos)
            if (TTextosExecucao::Traduzir(texto) == texto)
                naoTraduzidos << texto;
        QVERIFY2(naoTraduzidos.isEmpty(), qPrintable(naoTraduzidos.join('\n')));
    }

    void valuesAreKept_data()
    {
        QTest::addColumn<QString>("gravado");
        QTest::addColumn<QString>("ingles");
        QTest::newRow("stage, its phase translated")
            << "Estágio 2 (Exercício): 3.5 km/h, 12.0 % (protocolo: 4.0 km/h, 12.0 %)"
            << "Stage 2 (Exercise): 3.5 km/h, 12.0 % (protocol: 4.0 km/h, 12.0 %)";
        QTest::newRow("the board's failure text stays")
            << "Falha ao enviar a velocidade: Retornou NAK"
            << "Sending the speed failed: Retornou NAK";
        QTest::newRow("a state's name") << "Pausado"
                                        << "Paused";
        QTest::newRow("unknown") << "Operador: dançar"
                                 << "Operador: dançar";
    }

    void valuesAreKept()
    {
        QFETCH(QString, gravado);
        QFETCH(QString, ingles);
        QVERIFY(InstalarIdioma(*QCoreApplication::instance(), TIdioma::Ingles, QLocale::c()));
        QCOMPARE(TTextosExecucao::Traduzir(gravado), ingles);
    }
};

QTEST_GUILESS_MAIN(TestTextosExecucao)
#include "tst_textosexecucao.moc"
