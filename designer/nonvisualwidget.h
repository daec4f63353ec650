#pragma once

#include <QIcon>
#include <QWidget>
#include <functional>

#include "kestrova_designer_export.h"

// Stands for a component without a window of its own (a serial port, a timer) on a Qt Designer
// form, and owns it (as a QObject child). At run time the widget stays hidden; the form reaches
// the component through the subclass' accessor. In Designer (design mode) it shows the
// component's icon and class name in a small box of fixed size.
class KESTROVA_DESIGNER_EXPORT TNonVisualWidget : public QWidget {
    Q_OBJECT

public:
    ~TNonVisualWidget() override;

    QObject *Component() const { return FComponent; }
    bool DesignMode() const { return FDesignMode; }

    // Switches to design mode (Designer's plugin does it): fixes the box size, keeps the icon
    // and shows the widget.
    void ShowForDesign(const QIcon &icon);

    QSize sizeHint() const override;

protected:
    // Takes the component over as a child of this widget; the widget starts hidden.
    TNonVisualWidget(QObject *component, QWidget *parent);

    // Runs a forwarded setter. At run time the component's Exception (a setting refused)
    // reaches the caller; in design mode it becomes an error box and the value stays, as an
    // exception must not end Designer.
    void ApplySetting(const std::function<void()> &setter);

    void paintEvent(QPaintEvent *event) override;

private:
    QObject *FComponent;
    QIcon FIcon;
    bool FDesignMode = false;
};
