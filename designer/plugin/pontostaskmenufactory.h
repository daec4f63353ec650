#pragma once

#include <QtDesigner/QExtensionFactory>

class QExtensionManager;

// Gives every TSomatocarta on a form its points task menu (TPontosTaskMenu).
class TPontosTaskMenuFactory : public QExtensionFactory {
    Q_OBJECT

public:
    explicit TPontosTaskMenuFactory(QExtensionManager *parent);

protected:
    QObject *createExtension(QObject *object, const QString &iid, QObject *parent) const override;
};
