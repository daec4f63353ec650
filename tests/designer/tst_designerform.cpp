#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUiLoader>
#include <QtTest>
#include <cmath>
#include <memory>

#include "chart/vtxgraph.h"
#include "components/customversao.h"
#include "components/editimp.h"
#include "components/interfaceimpressora.h"
#include "designer/advancedcomwidget.h"
#include "designer/comthreadwidget.h"
#include "designer/vtxtimerwidget.h"
#include "platform/exception.h"
#include "platform/messagebox.h"
#include "platform/propertystream.h"
#include "ui_designerform.h"

// The host widgets of the non-visual components, a form as Qt Designer writes it (compiled by
// uic against the libraries), and the somatochart's points as Designer keeps them.
class TstDesignerForm : public QObject {
    Q_OBJECT

private slots:
    void designModeShowsTheBox();
    void propertiesReachTheComponent_data();
    void propertiesReachTheComponent();
    void settersReachTheComponent();
    void refusedSetting();
    void formFromDesigner();
    void formLoadedAtRunTime();
    void pontosJson_data();
    void pontosJson();
    void pontosStreamedOnce();

private:
    static void ColoursAndPrintBox(QWidget *form);
};

namespace {

TNonVisualWidget *CreateHost(const QString &className)
{
    if (className == QLatin1String("TComThreadWidget"))
        return new TComThreadWidget();
    if (className == QLatin1String("TAdvancedComWidget"))
        return new TAdvancedComWidget();
    return new TVtxTimerWidget();
}

}  // namespace

void TstDesignerForm::designModeShowsTheBox()
{
    QWidget window;
    auto *host = new TVtxTimerWidget(&window);
    host->ShowForDesign(QIcon());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(host->isVisible());
    QCOMPARE(host->minimumSize(), host->maximumSize());
    QVERIFY(host->width() > host->fontMetrics().horizontalAdvance(QStringLiteral("TVtxTimer")));
    // Designer keeps Habilitado; the timer itself never runs there.
    host->AjustarFbHabilitado(true);
    QVERIFY(host->Habilitado());
    QVERIFY(!host->VtxTimer()->Habilitado());
}

void TstDesignerForm::propertiesReachTheComponent_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");

    const QString com = QStringLiteral("TComThreadWidget");
    const QString adv = QStringLiteral("TAdvancedComWidget");
    QTest::newRow("Port") << com << QByteArray("Port") << QVariant(4u);
    QTest::newRow("Baud") << com << QByteArray("Baud") << QVariant(115200u);
    QTest::newRow("DataBits") << com << QByteArray("DataBits") << QVariant(7u);
    QTest::newRow("Parity") << com << QByteArray("Parity") << QVariant::fromValue(TComThread::odd);
    // uic passes an enum of a stdset="0" property as its int.
    QTest::newRow("Parity as int")
        << com << QByteArray("Parity") << QVariant(int(TComThread::mark));
    QTest::newRow("StopBits") << com << QByteArray("StopBits")
                              << QVariant::fromValue(TComThread::s2);
    QTest::newRow("BufSize") << com << QByteArray("BufSize") << QVariant(512u);
    QTest::newRow("PacketSize") << com << QByteArray("PacketSize") << QVariant(16u);
    QTest::newRow("Timeout") << com << QByteArray("Timeout") << QVariant(900u);
    QTest::newRow("inherited Baud") << adv << QByteArray("Baud") << QVariant(1200u);
    QTest::newRow("DtrControl") << adv << QByteArray("DtrControl")
                                << QVariant::fromValue(TAdvancedCom::dtrDisable);
    QTest::newRow("RtsControl as int")
        << adv << QByteArray("RtsControl") << QVariant(int(TAdvancedCom::rtsHandshake));
    QTest::newRow("Intervalo") << QStringLiteral("TVtxTimerWidget") << QByteArray("Intervalo")
                               << QVariant(40);
    QTest::newRow("Habilitado") << QStringLiteral("TVtxTimerWidget") << QByteArray("Habilitado")
                                << QVariant(true);
}

void TstDesignerForm::propertiesReachTheComponent()
{
    QFETCH(QString, host);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);

    std::unique_ptr<TNonVisualWidget> widget(CreateHost(host));
    // Designer offers an enum property's keys (and writes them into the form).
    const QMetaObject *meta = widget->metaObject();
    if (value.metaType().flags() & QMetaType::IsEnumeration)
        QVERIFY(meta->property(meta->indexOfProperty(property)).enumerator().isValid());
    const QVariant before = widget->Component()->property(property);
    QVERIFY(before.toLongLong() != value.toLongLong());
    QVERIFY(widget->setProperty(property, value));
    QCOMPARE(widget->Component()->property(property).toLongLong(), value.toLongLong());
    QCOMPARE(widget->property(property).toLongLong(), value.toLongLong());
}

void TstDesignerForm::settersReachTheComponent()
{
    TAdvancedComWidget adv;
    adv.SetPort(5);
    adv.SetBaud(38400);
    adv.SetParity(TComThread::space);
    adv.SetStopBits(TComThread::s2);
    adv.SetRtsControl(TAdvancedCom::rtsDisable);
    QCOMPARE(adv.ComThread(), adv.AdvancedCom());
    QCOMPARE(adv.AdvancedCom()->Port(), 5u);
    QCOMPARE(adv.AdvancedCom()->Baud(), 38400u);
    QCOMPARE(adv.AdvancedCom()->Parity(), TComThread::space);
    QCOMPARE(adv.AdvancedCom()->StopBits(), TComThread::s2);
    QCOMPARE(adv.AdvancedCom()->RtsControl(), TAdvancedCom::rtsDisable);

    TVtxTimerWidget timer;
    timer.AjustarFiIntervalo(30);
    timer.AjustarFbHabilitado(true);
    QVERIFY(timer.VtxTimer()->Habilitado());
    QCOMPARE(timer.VtxTimer()->Intervalo(), 30);
    timer.AjustarFbHabilitado(false);
    QVERIFY(!timer.VtxTimer()->Habilitado());
}

void TstDesignerForm::refusedSetting()
{
    // 1.5 stop bits need 5 data bits: the program hears the refusal, Designer shows it.
    TComThreadWidget host;
    QVERIFY_THROWS_EXCEPTION(Exception, host.SetStopBits(TComThread::s1_5));
    QStringList shown;
    const TErrorMessageHook previous =
        SetErrorMessageHook([&](const QString &text) { shown << text; });
    host.ShowForDesign(QIcon());
    host.setProperty("StopBits", QVariant::fromValue(TComThread::s1_5));
    SetErrorMessageHook(previous);
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].contains(QLatin1String("1.5 Stop Bits")));
    QCOMPARE(host.StopBits(), TComThread::s1);
    host.SetDataBits(5);
    host.SetStopBits(TComThread::s1_5);
    QCOMPARE(host.ComThread()->StopBits(), TComThread::s1_5);
}

void TstDesignerForm::formFromDesigner()
{
    QWidget form;
    Ui::DesignerForm ui;
    ui.setupUi(&form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QVERIFY(!ui.comThread->isVisible());
    QVERIFY(!ui.advancedCom->isVisible());
    QVERIFY(!ui.vtxTimer->isVisible());
    QVERIFY(ui.somatocarta->isVisible());

    const TComThread *com = ui.comThread->ComThread();
    QCOMPARE(com->Port(), 3u);
    QCOMPARE(com->Baud(), 9600u);
    QCOMPARE(com->Parity(), TComThread::even);
    QCOMPARE(com->StopBits(), TComThread::s2);
    const TAdvancedCom *adv = ui.advancedCom->AdvancedCom();
    QCOMPARE(adv->Baud(), 4800u);
    QCOMPARE(adv->Timeout(), 250u);
    QCOMPARE(adv->DtrControl(), TAdvancedCom::dtrDisable);
    QCOMPARE(adv->RtsControl(), TAdvancedCom::rtsEnable);
    QVERIFY(ui.vtxTimer->VtxTimer()->Habilitado());
    QCOMPARE(ui.vtxTimer->VtxTimer()->Intervalo(), 250);

    QVERIFY(!ui.somatocarta->MostrarEixos());
    const TColecaoDePontos *pontos = ui.somatocarta->Pontos();
    QCOMPARE(pontos->Count(), 2);
    QCOMPARE(pontos->Items(0).X, 1.5);
    QCOMPARE(pontos->Items(0).Tamanho, 6);
    QCOMPARE(quint32(pontos->Items(0).Cor), quint32(clRed));
    QCOMPARE(pontos->Items(0).Descricao, QStringLiteral("Atleta"));
    QCOMPARE(pontos->Items(1).Y, 4.25);
    QCOMPARE(pontos->Items(1).Forma, 1);

    QVERIFY(!ui.vtxGraph->MajorGrid());
    QCOMPARE(ui.vtxGraph->PenWidth(), 3);
    QCOMPARE(ui.vtxGraph->PenStyle(), TCanvas::psDash);
    QCOMPARE(ui.vtxGraph->TBmargin(), 25);
    QVERIFY(!ui.vtxGraph->DesignMode());
    ColoursAndPrintBox(&form);
}

// The colours (saved as <color>) and the edit's printed box (dynamic properties) of the form.
void TstDesignerForm::ColoursAndPrintBox(QWidget *form)
{
    QCOMPARE(quint32(form->findChild<TSomatocarta *>()->CorDeFundo()),
             quint32(TColor::FromRgb(255, 255, 192)));
    QCOMPARE(quint32(form->findChild<TvtxGraph *>()->PlotAreaColor()),
             quint32(TColor::FromRgb(0, 0, 128)));
    QCOMPARE(quint32(form->findChild<TCustomVersao *>()->Color()),
             quint32(TColor::FromRgb(0, 128, 0)));
    const TEditImp *edit = form->findChild<TEditImp *>();
    QVERIFY(edit);
    QCOMPARE(quint32(edit->Color()), quint32(TColor::FromRgb(240, 240, 255)));
    QCOMPARE(edit->palette().color(QPalette::Base), QColor(240, 240, 255));
    const TInterfaceImpressora *box = edit->InterfaceImpressora();
    QCOMPARE(box->Fonte().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(box->Fonte().pointSize(), 14);
    QCOMPARE(box->Alinhamento(), TInterfaceImpressora::taCenter);
    QCOMPARE(box->Largura(), 321);
    QCOMPARE(box->Altura(), 60);
}

void TstDesignerForm::formLoadedAtRunTime()
{
    // QUiLoader builds a form in a program at run time, creating Kestrova's widgets through the
    // Designer plugin; the hosts must behave as in a compiled form, not as inside Designer.
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QFileInfo(QStringLiteral(KESTROVA_DESIGNER_PLUGIN)).absolutePath());
    QVERIFY(loader.availableWidgets().contains(QStringLiteral("TVtxTimerWidget")));
    QFile file(QStringLiteral(KESTROVA_DESIGNER_FORM));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::unique_ptr<QWidget> form(loader.load(&file));
    QVERIFY2(form, qPrintable(loader.errorString()));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    auto *timer = form->findChild<TVtxTimerWidget *>(QStringLiteral("vtxTimer"));
    QVERIFY(timer);
    QVERIFY(!timer->DesignMode());
    QVERIFY(!timer->isVisible());
    QVERIFY(timer->VtxTimer()->Habilitado());
    QCOMPARE(timer->VtxTimer()->Intervalo(), 250);
    auto *com = form->findChild<TAdvancedComWidget *>(QStringLiteral("advancedCom"));
    QVERIFY(com);
    QVERIFY(!com->isVisible());
    QCOMPARE(com->AdvancedCom()->DtrControl(), TAdvancedCom::dtrDisable);
    auto *carta = form->findChild<TSomatocarta *>(QStringLiteral("somatocarta"));
    QVERIFY(carta);
    QCOMPARE(carta->Pontos()->Count(), 2);
    // A chart QUiLoader builds is not in design mode: no sample curve in a program.
    QVERIFY(!form->findChild<TvtxGraph *>()->DesignMode());
    ColoursAndPrintBox(form.get());
}

void TstDesignerForm::pontosJson_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");  // -1: the points stay as they were
    QTest::addColumn<QString>("written");

    QTest::newRow("empty array") << "[]" << 0 << "[]";
    QTest::newRow("two points")
        << R"([{"X":1.5,"Y":-2,"Cor":"clRed","Descricao":"Atleta"},{"Forma":2,"Tamanho":7}])" << 2
        << R"([{"Cor":"clRed","Descricao":"Atleta","X":1.5,"Y":-2},{"Forma":2,"Tamanho":7}])";
    QTest::newRow("zeros omitted") << R"([{"X":0,"Y":0,"Descricao":""}])" << 1 << "[{}]";
    QTest::newRow("special numbers")
        << R"([{"X":"NaN","Y":"-Infinity"}])" << 1 << R"([{"X":"NaN","Y":"-Infinity"}])";
    QTest::newRow("cut short") << R"([{"X":1)" << -1 << QString();
    QTest::newRow("object, not array") << R"({"X":1})" << -1 << QString();
    QTest::newRow("empty text") << "" << -1 << QString();
    QTest::newRow("not JSON") << "pontos" << -1 << QString();
}

void TstDesignerForm::pontosJson()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, written);

    TSomatocarta carta;
    carta.Pontos()->AcrescentarPonto(-1, 3, clBlue, 1, 4, QStringLiteral("antes"));
    const QString before = carta.PontosJson();
    QVERIFY(carta.setProperty("PontosJson", text));
    if (count < 0) {
        QCOMPARE(carta.PontosJson(), before);
        QCOMPARE(carta.Pontos()->Count(), 1);
        return;
    }
    QCOMPARE(carta.Pontos()->Count(), count);
    QCOMPARE(carta.PontosJson(), written);
    // What one chart writes, another reads back to the same points.
    TSomatocarta copia;
    copia.AjustarPontosJson(carta.PontosJson());
    QCOMPARE(copia.PontosJson(), written);
}

void TstDesignerForm::pontosStreamedOnce()
{
    TSomatocarta carta;
    carta.AjustarPontosJson(QStringLiteral(R"([{"X":2,"Y":-1},{"X":-4,"Descricao":"b"}])"));
    const QJsonObject json = TPropertyStream::Write(&carta);
    QVERIFY(!json.contains(QStringLiteral("PontosJson")));
    const QJsonArray pontos = json.value(QStringLiteral("Pontos")).toArray();
    QCOMPARE(pontos.size(), 2);
    QCOMPARE(QString::fromUtf8(QJsonDocument(pontos).toJson(QJsonDocument::Compact)),
             carta.PontosJson());

    TSomatocarta copia;
    TPropertyStream::Read(&copia, json);
    QCOMPARE(copia.PontosJson(), carta.PontosJson());
}

QTEST_MAIN(TstDesignerForm)
#include "tst_designerform.moc"
