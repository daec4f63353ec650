#include "componentplugin.h"

#include <QIcon>
#include <QMetaClassInfo>

#include "chart/vtxgraph.h"
#include "designer/nonvisualwidget.h"

namespace {

// The default object name: the class name without its "T", the leading capitals in lower case
// ("TComThread" -> "comThread", "TDBGridKpr" -> "dbGridKpr").
QString ObjectName(const char *className)
{
    QString name = QString::fromLatin1(className + 1);
    for (int i = 0; i < name.size() && name[i].isUpper(); ++i) {
        if (i > 0 && i + 1 < name.size() && name[i + 1].isLower())
            break;
        name[i] = name[i].toLower();
    }
    return name;
}

}  // namespace

TComponentPlugin::TComponentPlugin(const TComponentEntry &entry, QObject *parent)
    : QObject(parent), FEntry(entry)
{
}

QString TComponentPlugin::name() const
{
    return QString::fromLatin1(FEntry.className);
}

QString TComponentPlugin::group() const
{
    const int index = FEntry.component->indexOfClassInfo("palette");
    return index < 0 ? QString() : QString::fromUtf8(FEntry.component->classInfo(index).value());
}

QString TComponentPlugin::toolTip() const
{
    return QString::fromUtf8(FEntry.toolTip);
}

QString TComponentPlugin::whatsThis() const
{
    return QString::fromUtf8(FEntry.whatsThis);
}

QString TComponentPlugin::includeFile() const
{
    return QString::fromLatin1(FEntry.includeFile);
}

QIcon TComponentPlugin::icon() const
{
    return QIcon(QString::fromLatin1(FEntry.icon));
}

bool TComponentPlugin::isContainer() const
{
    return false;
}

QWidget *TComponentPlugin::createWidget(QWidget *parent)
{
    QWidget *widget = FEntry.create(parent);
    // Designer initializes its plugins before it creates widgets. QUiLoader, which builds a form
    // in a program at run time from the same plugin, never does: there a widget stays as a
    // compiled form has it (a host hidden, the timer running when enabled, a chart not in design
    // mode).
    if (!FInitialized)
        return widget;
    if (auto *host = qobject_cast<TNonVisualWidget *>(widget))
        host->ShowForDesign(icon());
    // In design mode the chart shows its sample curve, so the form shows what it will draw.
    if (auto *graph = qobject_cast<TvtxGraph *>(widget))
        graph->SetDesignMode(true);
    return widget;
}

bool TComponentPlugin::isInitialized() const
{
    return FInitialized;
}

void TComponentPlugin::initialize(QDesignerFormEditorInterface *core)
{
    if (FInitialized)
        return;
    if (FEntry.initialize)
        FEntry.initialize(core);
    FInitialized = true;
}

QString TComponentPlugin::domXml() const
{
    return QStringLiteral(
               "<ui language=\"c++\">\n"
               " <widget class=\"%1\" name=\"%2\">\n"
               "  <property name=\"geometry\">\n"
               "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
               "  </property>\n"
               " </widget>\n"
               "</ui>\n")
        .arg(name(), ObjectName(FEntry.component->className()))
        .arg(FEntry.size.width())
        .arg(FEntry.size.height());
}
