#include "pontostaskmenufactory.h"

#include <QtDesigner/taskmenu.h>

#include "pontostaskmenu.h"
#include "somatochart/somatocarta.h"

TPontosTaskMenuFactory::TPontosTaskMenuFactory(QExtensionManager *parent)
    : QExtensionFactory(parent)
{
}

QObject *TPontosTaskMenuFactory::createExtension(QObject *object, const QString &iid,
                                                 QObject *parent) const
{
    if (iid != QLatin1String(Q_TYPEID(QDesignerTaskMenuExtension)))
        return nullptr;
    if (auto *carta = qobject_cast<TSomatocarta *>(object))
        return new TPontosTaskMenu(carta, parent);
    return nullptr;
}
