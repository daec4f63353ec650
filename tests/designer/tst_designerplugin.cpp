#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QUiLoader>
#include <QUndoStack>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtTest>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <memory>

#include "chart/vtxgraph.h"
#include "components/customversao.h"
#include "components/editimp.h"
#include "components/interfaceimpressora.h"
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
    void colorsAndPrintBoxInForms();
    void designerFormAsDesignerWritesIt();
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

namespace {

// The <property name="name"> elements of a .ui text, whitespace between tags removed.
QStringList PropertyElements(QString ui, const QString &name)
{
    ui.replace(QRegularExpression(QStringLiteral(">\\s+<")), QStringLiteral("><"));
    QStringList found;
    const QRegularExpression element(QStringLiteral("<property name=\"%1\"[^>]*>.*?</property>")
                                         .arg(QRegularExpression::escape(name)));
    for (const QRegularExpressionMatch &m : element.globalMatch(ui))
        found << m.captured(0);
    return found;
}

}  // namespace

// Colours (TColor) and the edit's printed box are edited in Designer as a QColor and as
// dynamic properties, saved in the form, and read back by QUiLoader.
void TstDesignerPlugin::colorsAndPrintBoxInForms()
{
    const std::unique_ptr<QDesignerFormWindowInterface> form(
        FCore->formWindowManager()->createFormWindow());
    form->setContents(QStringLiteral(
        "<ui version=\"4.0\"><class>Form</class><widget class=\"QWidget\" name=\"Form\">"
        "<widget class=\"TSomatocarta\" name=\"somatocarta\"/>"
        "<widget class=\"TvtxGraph\" name=\"vtxGraph\"/>"
        "<widget class=\"TEditImp\" name=\"editImp\"/>"
        "<widget class=\"TCustomVersao\" name=\"customVersao\"/>"
        "</widget></ui>"));
    QWidget *main = form->mainContainer();
    auto *carta = main->findChild<TSomatocarta *>();
    auto *graph = main->findChild<TvtxGraph *>();
    auto *edit = main->findChild<TEditImp *>();
    auto *versao = main->findChild<TCustomVersao *>();
    QVERIFY(carta && graph && edit && versao);
    QVERIFY(graph->DesignMode());  // the sample curve shows in Designer

    // Every TColor property is a QColor in Designer's sheet, and a colour set there arrives.
    int cores = 0;
    for (QWidget *w : std::initializer_list<QWidget *>{carta, graph, edit, versao}) {
        auto *sheet = qt_extension<QDesignerPropertySheetExtension *>(FCore->extensionManager(), w);
        QVERIFY(sheet);
        const QMetaObject *meta = w->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            if (p.metaType() != QMetaType::fromType<TColor>())
                continue;
            ++cores;
            const int index = sheet->indexOf(QLatin1String(p.name()));
            QVERIFY2(index >= 0, p.name());
            QCOMPARE(sheet->property(index).metaType(), QMetaType::fromType<QColor>());
            const QColor cor(10 + cores, 20, 30);
            form->cursor()->setWidgetProperty(w, QLatin1String(p.name()), cor);
            QCOMPARE(quint32(p.read(w).value<TColor>()), quint32(TColor::FromQColor(cor)));
        }
    }
    QCOMPARE(cores, 15);

    // The printed box, as the edit's dynamic properties.
    form->cursor()->setWidgetProperty(edit, QStringLiteral("InterfaceImpressora_Largura"), 321);
    form->cursor()->setWidgetProperty(edit, QStringLiteral("InterfaceImpressora_Alinhamento"), 2);
    const QFont fonte(QStringLiteral("DejaVu Sans"), 14);
    form->cursor()->setWidgetProperty(edit, QStringLiteral("InterfaceImpressora_Fonte"), fonte);
    QCOMPARE(edit->InterfaceImpressora()->Largura(), 321);
    QCOMPARE(edit->InterfaceImpressora()->Alinhamento(), TInterfaceImpressora::taCenter);
    QCOMPARE(edit->InterfaceImpressora()->Fonte().pointSize(), 14);

    const QString saved = form->contents();
    QVERIFY2(PropertyElements(saved, QStringLiteral("CorDaCarta"))
                 .value(0)
                 .contains(QLatin1String("stdset=\"0\"><color>")),
             qPrintable(saved));
    QVERIFY(PropertyElements(saved, QStringLiteral("InterfaceImpressora_Largura"))
                .value(0)
                .contains(QLatin1String("stdset=\"0\"><number>321</number>")));

    // Read back at run time.
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QFileInfo(QStringLiteral(KESTROVA_DESIGNER_PLUGIN)).absolutePath());
    QByteArray bytes = saved.toUtf8();
    QBuffer buffer(&bytes);
    const std::unique_ptr<QWidget> loaded(loader.load(&buffer));
    QVERIFY2(loaded, qPrintable(loader.errorString()));
    auto *editLido = loaded->findChild<TEditImp *>();
    QVERIFY(editLido);
    QCOMPARE(editLido->InterfaceImpressora()->Largura(), 321);
    QCOMPARE(editLido->InterfaceImpressora()->Alinhamento(), TInterfaceImpressora::taCenter);
    QCOMPARE(editLido->InterfaceImpressora()->Fonte().pointSize(), 14);
    QCOMPARE(quint32(editLido->CorLimite()), quint32(edit->CorLimite()));
    QCOMPARE(quint32(loaded->findChild<TSomatocarta *>()->CorDaBorda()),
             quint32(carta->CorDaBorda()));
    QCOMPARE(quint32(loaded->findChild<TvtxGraph *>()->ShadowColor()),
             quint32(graph->ShadowColor()));
}

// The test form compiled by uic holds colours and a printed box exactly as Designer's form
// writer writes them: opened and saved again by Designer, those elements come out unchanged.
void TstDesignerPlugin::designerFormAsDesignerWritesIt()
{
    QFile file(QStringLiteral(KESTROVA_SOURCE_DIR "/tests/designer/designerform.ui"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString original = QString::fromUtf8(file.readAll());
    const std::unique_ptr<QDesignerFormWindowInterface> form(
        FCore->formWindowManager()->createFormWindow());
    form->setContents(original);
    const QString saved = form->contents();
    int checked = 0;
    for (const QString &name :
         {QStringLiteral("CorDeFundo"), QStringLiteral("PlotAreaColor"), QStringLiteral("Color"),
          QStringLiteral("InterfaceImpressora_Fonte"),
          QStringLiteral("InterfaceImpressora_Largura"),
          QStringLiteral("InterfaceImpressora_Alinhamento")}) {
        const QStringList before = PropertyElements(original, name);
        QVERIFY2(!before.isEmpty(), qPrintable(name));
        for (const QString &element : before) {
            QVERIFY2(PropertyElements(saved, name).contains(element),
                     qPrintable(element + QLatin1String("\n") + saved));
            ++checked;
        }
    }
    QVERIFY(checked >= 7);
}

void TstDesignerPlugin::cleanup()
{
    TPropriedadesPontos::SetExecHook({});
}

QTEST_MAIN(TstDesignerPlugin)
#include "tst_designerplugin.moc"
