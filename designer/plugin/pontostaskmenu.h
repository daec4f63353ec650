#pragma once

#include <QtDesigner/taskmenu.h>
#include <QObject>

class QAction;
class TSomatocarta;

// The somatochart's task menu in Qt Designer: "Editar pontos..." (also on double-click) opens
// the points editor and stores the edited points in the form as PontosJson, as one undoable
// change.
class TPontosTaskMenu : public QObject, public QDesignerTaskMenuExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerTaskMenuExtension)

public:
    TPontosTaskMenu(TSomatocarta *carta, QObject *parent);

    QAction *preferredEditAction() const override;
    QList<QAction *> taskActions() const override;

    // Runs the editor; when the points changed, writes them through the form window (or, on a
    // chart outside a form, sets the property directly).
    void EditarPontos();

private:
    TSomatocarta *FCarta;
    QAction *FEditar;
};
