// Loads Kestrova's Qt Designer plugin from the file given, as Designer loads it, and checks the
// widgets it offers: each class named, in its widget-box group, creating a widget of that class.
//   designer-plugin-check <path of libkestrova_designer_plugin.so>
#include <QApplication>
#include <QFileInfo>
#include <QPluginLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <cstdio>
#include <map>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <plugin>\n", argv[0]);
        return 2;
    }
    // An absolute path: QPluginLoader looks a relative one up in Qt's library paths.
    QPluginLoader loader(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(loader.instance());
    if (!collection) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(loader.errorString()));
        return 1;
    }
    const std::map<QString, QString> expected = {
        {"TComThreadWidget", "Extras"},  {"TAdvancedComWidget", "Extras"},
        {"TVtxTimerWidget", "CompsKpr"}, {"TEditImp", "CompsKpr"},
        {"TDBGridKpr", "CompsKpr"},      {"TSomatocarta", "CompsKpr"},
        {"TCustomVersao", "Kestrova"},   {"TvtxGraph", "Kestrova"}};
    std::map<QString, QString> found;
    int failures = 0;
    QWidget parent;
    for (QDesignerCustomWidgetInterface *widget : collection->customWidgets()) {
        found[widget->name()] = widget->group();
        const QWidget *created = widget->createWidget(&parent);
        if (!created || QString::fromLatin1(created->metaObject()->className()) != widget->name()) {
            std::fprintf(stderr, "%s creates no widget of its class\n", qPrintable(widget->name()));
            ++failures;
        }
    }
    if (found != expected) {
        std::fprintf(stderr, "the plugin offers other classes or groups than expected:\n");
        for (const auto &[name, group] : found)
            std::fprintf(stderr, "  %s (%s)\n", qPrintable(name), qPrintable(group));
        ++failures;
    }
    if (failures == 0)
        std::printf("%s: %zu classes checked\n", argv[1], found.size());
    return failures == 0 ? 0 : 1;
}
