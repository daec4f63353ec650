#include "pontostaskmenu.h"

#include <QAction>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include "somatochart/propriedadespontos.h"
#include "somatochart/somatocarta.h"

TPontosTaskMenu::TPontosTaskMenu(TSomatocarta *carta, QObject *parent)
    : QObject(parent), FCarta(carta), FEditar(new QAction(tr("Editar pontos..."), this))
{
    connect(FEditar, &QAction::triggered, this, &TPontosTaskMenu::EditarPontos);
}

QAction *TPontosTaskMenu::preferredEditAction() const
{
    return FEditar;
}

QList<QAction *> TPontosTaskMenu::taskActions() const
{
    return {FEditar};
}

void TPontosTaskMenu::EditarPontos()
{
    QDesignerFormWindowInterface *form = QDesignerFormWindowInterface::findFormWindow(FCarta);
    const QString antes = FCarta->PontosJson();
    if (!TPropriedadesPontos::Edit(FCarta->Pontos(), form ? form : static_cast<QWidget *>(FCarta)))
        return;
    // Edit compares the points field by field, so a point with a NaN coordinate always counts
    // as changed; the text says whether anything is to be written.
    const QString depois = FCarta->PontosJson();
    if (depois == antes)
        return;
    if (!form) {
        FCarta->setProperty("PontosJson", depois);
        return;
    }
    // The editor changed the live points. Back to the old ones first, so the form's command
    // records them for undo, then the new ones as a property change (which marks the form
    // modified). Inside a command of its own, so that Designer does not merge it with the
    // previous change of PontosJson: each run of the editor is one step to undo.
    FCarta->AjustarPontosJson(antes);
    form->beginCommand(tr("Editar pontos"));
    form->cursor()->setWidgetProperty(FCarta, QStringLiteral("PontosJson"), depois);
    form->endCommand();
}
