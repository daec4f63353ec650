#pragma once

#include <QObject>
#include <QSize>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

// What Qt Designer is told about one component.
struct TComponentEntry {
    const char *className;         // the widget class placed on forms
    const QMetaObject *component;  // the component's class, holding its "palette" class info
    const char *icon;              // resource path
    const char *toolTip;           // UTF-8
    const char *whatsThis;         // UTF-8
    const char *includeFile;       // "<folder>/<file>.h"
    QSize size;                    // default geometry on a form
    QWidget *(*create)(QWidget *parent);
    // Registers the component's Designer extensions, or nullptr.
    void (*initialize)(QDesignerFormEditorInterface *core);
};

// One component in Designer's widget box, described by its table entry. Widgets standing for a
// non-visual component are switched to design mode when Designer (which initializes the plugin
// first) creates them.
class TComponentPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    TComponentPlugin(const TComponentEntry &entry, QObject *parent);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override;

private:
    const TComponentEntry &FEntry;
    bool FInitialized = false;
};
