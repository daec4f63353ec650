#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "console/painelentradas.h"

// The operator's entries record exactly what was typed, or nothing: a value out of range is
// refused with its range said, and Registrar stays off until the fields hold a valid value.
class TstPainelEntradas : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        FPainel = std::make_unique<TPainelEntradas>();
        FPainel->AjustarGravando(true);
        FEntradas = std::make_unique<QSignalSpy>(FPainel.get(), &TPainelEntradas::Entrada);
    }

    void entradas_data()
    {
        QTest::addColumn<QStringList>("campos");  // name=text
        QTest::addColumn<QString>("botao");
        QTest::addColumn<QString>("gravado");  // the entry's text, empty: refused
        QTest::addColumn<QString>("problema");
        QTest::newRow("fc") << QStringList{"edtFc=158"} << "btnRegistrarFc"
                            << "FC 158 bpm"
                            << "";
        QTest::newRow("fc letter") << QStringList{"edtFc=8a"} << "btnRegistrarFc"
                                   << ""
                                   << "FC: de 30 a 250 bpm";
        QTest::newRow("fc 0") << QStringList{"edtFc=0"} << "btnRegistrarFc"
                              << ""
                              << "de 30 a 250";
        QTest::newRow("fc 400, not 40") << QStringList{"edtFc=400"} << "btnRegistrarFc"
                                        << ""
                                        << "de 30 a 250";
        QTest::newRow("fc empty") << QStringList{} << "btnRegistrarFc"
                                  << ""
                                  << "";
        QTest::newRow("pa") << QStringList{"edtSistolica=120", "edtDiastolica=80"}
                            << "btnRegistrarPa"
                            << "PA 120/80 mmHg"
                            << "";
        QTest::newRow("systolic 40")
            << QStringList{"edtSistolica=40", "edtDiastolica=30"} << "btnRegistrarPa"
            << ""
            << "Sistólica: de 50 a 300";
        QTest::newRow("diastolic 0")
            << QStringList{"edtSistolica=120", "edtDiastolica=0"} << "btnRegistrarPa"
            << ""
            << "Diastólica: de 20 a 200";
        QTest::newRow("diastolic above systolic")
            << QStringList{"edtSistolica=120", "edtDiastolica=190"} << "btnRegistrarPa"
            << ""
            << "menor que a sistólica";
        QTest::newRow("borg") << QStringList{"edtBorg=17"} << "btnRegistrarBorg"
                              << "Borg 17"
                              << "";
        QTest::newRow("borg 5") << QStringList{"edtBorg=5"} << "btnRegistrarBorg"
                                << ""
                                << "Borg: de 6 a 20";
        QTest::newRow("borg 25") << QStringList{"edtBorg=25"} << "btnRegistrarBorg"
                                 << ""
                                 << "de 6 a 20";
        QTest::newRow("angina 0") << QStringList{"edtAngina=0"} << "btnRegistrarAngina"
                                  << "Angina 0/4"
                                  << "";
        QTest::newRow("angina 5") << QStringList{"edtAngina=5"} << "btnRegistrarAngina"
                                  << ""
                                  << "Angina: de 0 a 4";
        QTest::newRow("st comma") << QStringList{"edtSt=1,5"} << "btnRegistrarSt"
                                  << "Desvio de ST 1.5 mm"
                                  << "";
        QTest::newRow("st 0") << QStringList{"edtSt=0"} << "btnRegistrarSt"
                              << "Desvio de ST 0.0 mm"
                              << "";
        QTest::newRow("st two decimals") << QStringList{"edtSt=1.25"} << "btnRegistrarSt"
                                         << ""
                                         << "uma casa decimal";
        QTest::newRow("st 10.5") << QStringList{"edtSt=10.5"} << "btnRegistrarSt"
                                 << ""
                                 << "de 0 a 10 mm";
    }
    void entradas()
    {
        QFETCH(QStringList, campos);
        QFETCH(QString, botao);
        QFETCH(QString, gravado);
        QFETCH(QString, problema);
        for (const QString &campo : campos) {
            const QStringList par = campo.split('=');
            QTest::keyClicks(FPainel->findChild<QLineEdit *>(par.at(0)), par.at(1));
        }
        auto *registrar = FPainel->findChild<QPushButton *>(botao);
        QCOMPARE(registrar->isEnabled(), !gravado.isEmpty());
        registrar->click();  // a disabled button records nothing
        QCOMPARE(FEntradas->size(), gravado.isEmpty() ? 0 : 1);
        if (!gravado.isEmpty())
            QCOMPARE(FEntradas->first().at(0).value<TEventoRegistro>().texto, gravado);
        const QString mostrado = FPainel->findChild<QLabel *>("lblProblemaEntrada")->text();
        QVERIFY2(problema.isEmpty() ? mostrado.isEmpty() : mostrado.contains(problema),
                 qPrintable(mostrado));
    }

    // A new test starts with empty fields: nothing of the last patient can be recorded.
    void camposComecamVazios()
    {
        QTest::keyClicks(FPainel->findChild<QLineEdit *>("edtFc"), "158");
        FPainel->Limpar();
        QVERIFY(FPainel->findChild<QLineEdit *>("edtFc")->text().isEmpty());
        QVERIFY(!FPainel->findChild<QPushButton *>("btnRegistrarFc")->isEnabled());
    }

    // The report's comments are saved once typing pauses, and at once when asked (the report
    // made, the window closed), whatever the stop reason did before.
    void comentariosSalvos()
    {
        QSignalSpy mudou(FPainel.get(), &TPainelEntradas::ConclusaoMudou);
        FPainel->AjustarMotivoParada("Fadiga");
        QCOMPARE(mudou.size(), 1);
        auto *caixa = FPainel->findChild<QPlainTextEdit *>("txtComentarios");
        QTest::keyClicks(caixa, "Sem alteracoes");
        QTRY_COMPARE_WITH_TIMEOUT(mudou.size(), 2, 5000);
        QCOMPARE(FPainel->Comentarios(), QStringLiteral("Sem alteracoes"));
        QTest::keyClicks(caixa, ".");
        FPainel->ConfirmarComentarios();
        QCOMPARE(mudou.size(), 3);
        FPainel->ConfirmarComentarios();  // nothing new
        QCOMPARE(mudou.size(), 3);
    }

private:
    std::unique_ptr<TPainelEntradas> FPainel;
    std::unique_ptr<QSignalSpy> FEntradas;
};

QTEST_MAIN(TstPainelEntradas)
#include "tst_painelentradas.moc"
