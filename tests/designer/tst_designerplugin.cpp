#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QUndoStack>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtTest>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <memory>

#include "designer/nonvisualwidget.h"
#include "somatochart/propriedadespontos.h"
#include "somatochart/somatocarta.h"

// The plugin as Qt Designer loads it: what it lists, and the somatochart's points editor on its
// task menu inside a real form window.
class TstDesignerPlugin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void listsEveryComponent();
    void component_data();
    void component();
    void editarPontos_data();
    void editarPontos();
    void editarPontosTwice();
    void editarPontosOutsideAForm();
    void cleanup();

private:
    QDesignerCustomWidgetInterface *Widget(const QString &name) const;
    // A form window holding one somatochart, with the points given as PontosJson (none: "").
    std::unique_ptr<QDesignerFormWindowInterface> FormWithChart(const QString &pontos) const;

    QDesignerCustomWidgetCollectionInterface *FCollection = nullptr;
    QDesignerFormEditorInterface *FCore = nullptr;
};

void TstDesignerPlugin::initTestCase()
{
    QPluginLoader loader(QStringLiteral(KESTROVA_DESIGNER_PLUGIN));
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    FCollection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(loader.instance());
    QVERIFY(FCollection);

    // A form editor as Designer builds one, finding the plugin where the build tree keeps it,
    // and only there: a Kestrova plugin installed in Qt's own folder must not stand in for it.
    QCoreApplication::setLibraryPaths(
        {QFileInfo(QStringLiteral(KESTROVA_DESIGNER_PLUGIN)).absoluteDir().absoluteFilePath("..")});
    QDesignerComponents::initializeResources();
    FCore = QDesignerComponents::createFormEditor(this);
    FCore->setIntegration(new QDesignerIntegration(FCore, FCore));
    QDesignerComponents::createTaskMenu(FCore, FCore);
    QDesignerComponents::initializePlugins(FCore);
}

QDesignerCustomWidgetInterface *TstDesignerPlugin::Widget(const QString &name) const
{
    for (QDesignerCustomWidgetInterface *w : FCollection->customWidgets()) {
        if (w->name() == name)
            return w;
    }
    return nullptr;
}

std::unique_ptr<QDesignerFormWindowInterface> TstDesignerPlugin::FormWithChart(
    const QString &pontos) const
{
    std::unique_ptr<QDesignerFormWindowInterface> form(
        FCore->formWindowManager()->createFormWindow());
    const QString property = pontos.isEmpty()
                                 ? QString()
                                 : QStringLiteral(
                                       "<property name=\"PontosJson\" stdset=\"0\"><string>%1"
                                       "</string></property>")
                                       .arg(pontos.toHtmlEscaped());
    form->setContents(QStringLiteral("<ui version=\"4.0\"><class>Form</class>"
                                     "<widget class=\"QWidget\" name=\"Form\">"
                                     "<widget class=\"TSomatocarta\" name=\"somatocarta\">%1"
                                     "</widget></widget></ui>")
                          .arg(property));
    return form;
}

void TstDesignerPlugin::listsEveryComponent()
{
    QStringList names;
    for (const QDesignerCustomWidgetInterface *w : FCollection->customWidgets())
        names << w->name();
    names.sort();
    QCOMPARE(names,
             QStringList({"TAdvancedComWidget", "TComThreadWidget", "TCustomVersao", "TDBGridKpr",
                          "TEditImp", "TSomatocarta", "TVtxTimerWidget", "TvtxGraph"}));
}

void TstDesignerPlugin::component_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("component");  // the non-visual component a host owns

    QTest::newRow("TComThread") << "TComThreadWidget"
                                << "Extras"
                                << "TComThread";
    QTest::newRow("TAdvancedCom") << "TAdvancedComWidget"
                                  << "Extras"
                                  << "TAdvancedCom";
    QTest::newRow("TVtxTimer") << "TVtxTimerWidget"
                               << "CompsKpr"
                               << "TVtxTimer";
    QTest::newRow("TEditImp") << "TEditImp"
                              << "CompsKpr" << QString();
    QTest::newRow("TDBGridKpr") << "TDBGridKpr"
                                << "CompsKpr" << QString();
    QTest::newRow("TSomatocarta") << "TSomatocarta"
                                  << "CompsKpr" << QString();
    QTest::newRow("TCustomVersao") << "TCustomVersao"
                                   << "Kestrova" << QString();
    QTest::newRow("TvtxGraph") << "TvtxGraph"
                               << "Kestrova" << QString();
}

void TstDesignerPlugin::component()
{
    QFETCH(QString, name);
    QFETCH(QString, group);
    QFETCH(QString, component);

    QDesignerCustomWidgetInterface *plugin = Widget(name);
    QVERIFY(plugin);
    QCOMPARE(plugin->group(), group);
    QVERIFY(!plugin->icon().isNull());
    QVERIFY(!plugin->toolTip().isEmpty());
    QVERIFY(!plugin->whatsThis().isEmpty());
    QVERIFY(!plugin->isContainer());
    QVERIFY2(QFileInfo::exists(QStringLiteral(KESTROVA_SOURCE_DIR "/") + plugin->includeFile()),
             qPrintable(plugin->includeFile()));

    QWidget parent;
    QWidget *widget = plugin->createWidget(&parent);
    QVERIFY(widget);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), name);
    auto *host = qobject_cast<TNonVisualWidget *>(widget);
    QCOMPARE(host != nullptr, !component.isEmpty());
    if (host) {
        QVERIFY(host->DesignMode());
        QCOMPARE(QString::fromLatin1(host->Component()->metaObject()->className()), component);
    }

    QXmlStreamReader xml(plugin->domXml());
    QString domClass;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("widget")) {
            domClass = xml.attributes().value(QLatin1String("class")).toString();
            break;
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(domClass, name);
}

void TstDesignerPlugin::editarPontos_data()
{
    QTest::addColumn<QString>("pontos");  // the points the form holds
    QTest::addColumn<bool>("adds");
    QTest::newRow("a point added") << QString() << true;
    QTest::newRow("nothing changed") << QString() << false;
    // A NaN coordinate is never equal to itself, yet the points are the same.
    QTest::newRow("nothing changed, NaN") << R"([{"X":"NaN","Y":1}])" << false;
}

void TstDesignerPlugin::editarPontos()
{
    QFETCH(QString, pontos);
    QFETCH(bool, adds);

    const std::unique_ptr<QDesignerFormWindowInterface> form = FormWithChart(pontos);
    auto *carta = form->mainContainer()->findChild<TSomatocarta *>();
    QVERIFY(carta);
    const int count = carta->Pontos()->Count();
    QCOMPARE(count, pontos.isEmpty() ? 0 : 1);
    auto *menu = qt_extension<QDesignerTaskMenuExtension *>(FCore->extensionManager(), carta);
    QVERIFY(menu);
    QAction *editar = menu->preferredEditAction();
    QVERIFY(editar);
    QCOMPARE(editar->text(), QStringLiteral("Editar pontos..."));
    QVERIFY(menu->taskActions().contains(editar));

    form->setDirty(false);
    const int commands = form->commandHistory()->count();
    const QString contents = form->contents();
    int runs = 0;
    TPropriedadesPontos::SetExecHook([&](TEditorPropriedadesPontos &) {
        ++runs;
        if (adds)
            carta->Pontos()->AcrescentarPonto(2, -3, clBlue, 1, 5, QStringLiteral("novo"));
        return int(QDialog::Accepted);
    });
    editar->trigger();
    QCOMPARE(runs, 1);

    if (!adds) {
        QCOMPARE(form->commandHistory()->count(), commands);
        QVERIFY(!form->isDirty());
        QCOMPARE(form->contents(), contents);
        return;
    }
    // One undoable change, which the form saves.
    QCOMPARE(form->commandHistory()->count(), commands + 1);
    QVERIFY(form->isDirty());
    QCOMPARE(carta->Pontos()->Count(), count + 1);
    QCOMPARE(carta->Pontos()->Items(count).Descricao, QStringLiteral("novo"));
    const QString saved = form->contents();
    QVERIFY2(saved.contains(QLatin1String("PontosJson")), qPrintable(saved));
    QVERIFY(saved.contains(QLatin1String("novo")));
    form->commandHistory()->undo();
    QCOMPARE(carta->Pontos()->Count(), count);
    form->commandHistory()->redo();
    QCOMPARE(carta->Pontos()->Count(), count + 1);
}

void TstDesignerPlugin::editarPontosTwice()
{
    // Each run of the editor is its own step on the undo stack.
    const std::unique_ptr<QDesignerFormWindowInterface> form = FormWithChart(QString());
    auto *carta = form->mainContainer()->findChild<TSomatocarta *>();
    QVERIFY(carta);
    auto *menu = qt_extension<QDesignerTaskMenuExtension *>(FCore->extensionManager(), carta);
    QVERIFY(menu);
    TPropriedadesPontos::SetExecHook([&](TEditorPropriedadesPontos &) {
        const int n = carta->Pontos()->Count();
        carta->Pontos()->AcrescentarPonto(n, n, clRed, 0, 3, QString::number(n));
        return int(QDialog::Accepted);
    });
    menu->preferredEditAction()->trigger();
    menu->preferredEditAction()->trigger();
    QCOMPARE(carta->Pontos()->Count(), 2);
    form->commandHistory()->undo();
    QCOMPARE(carta->Pontos()->Count(), 1);
    QCOMPARE(carta->Pontos()->Items(0).Descricao, QStringLiteral("0"));
    form->commandHistory()->undo();
    QCOMPARE(carta->Pontos()->Count(), 0);
}

void TstDesignerPlugin::editarPontosOutsideAForm()
{
    // A chart outside a form window: the editor opens over the chart and its edit stays.
    TSomatocarta carta;
    auto *menu = qt_extension<QDesignerTaskMenuExtension *>(FCore->extensionManager(), &carta);
    QVERIFY(menu);
    TPropriedadesPontos::SetExecHook([&](TEditorPropriedadesPontos &) {
        carta.Pontos()->AcrescentarPonto(1, 1, clRed, 0, 3, QStringLiteral("solto"));
        return int(QDialog::Accepted);
    });
    menu->preferredEditAction()->trigger();
    QCOMPARE(carta.Pontos()->Count(), 1);
    QVERIFY(carta.PontosJson().contains(QLatin1String("solto")));
}

void TstDesignerPlugin::cleanup()
{
    TPropriedadesPontos::SetExecHook({});
}

QTEST_MAIN(TstDesignerPlugin)
#include "tst_designerplugin.moc"
