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
    const QString depois = FCarta->PontosJson();
    if (!form) {
        FCarta->setProperty("PontosJson", depois);
        return;
    }
    // The editor changed the live points. Back to the old ones first, so the form's command
    // records them for undo, then the new ones as a property change (which marks the form
    // modified).
    FCarta->AjustarPontosJson(antes);
    form->cursor()->setWidgetProperty(FCarta, QStringLiteral("PontosJson"), depois);
}
