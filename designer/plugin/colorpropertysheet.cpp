#include "colorpropertysheet.h"

#include <QColor>
#include <QMetaProperty>
#include <QtDesigner/QDesignerDynamicPropertySheetExtension>
#include <QtDesigner/QExtensionManager>

#include "components/editimp.h"
#include "components/interfaceimpressora.h"
#include "platform/color.h"

namespace {

bool HasColorProperty(const QObject *object)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        if (meta->property(i).metaType() == QMetaType::fromType<TColor>())
            return true;
    return false;
}

// The printed box of a TEditImp as dynamic properties, with its current values.
void AddPrintBoxProperties(TEditImp *edit, QDesignerPropertySheetExtension *sheet,
                           QDesignerDynamicPropertySheetExtension *dynamic)
{
    if (!dynamic || !dynamic->dynamicPropertiesAllowed())
        return;
    const QMetaObject *meta = edit->InterfaceImpressora()->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty box = meta->property(i);
        const QString name =
            QLatin1String(TEditImp::kPrefixoInterfaceImpressora) + QLatin1String(box.name());
        if (sheet->indexOf(name) != -1 || !dynamic->canAddDynamicProperty(name))
            continue;
        QVariant value = box.read(edit->InterfaceImpressora());
        // Designer has no editor for the box's enumeration: its value as an int.
        if (box.isEnumType())
            value = QVariant(value.toInt());
        dynamic->addDynamicProperty(name, value);
    }
}

}  // namespace

TColorPropertySheet::TColorPropertySheet(QObject *object, QDesignerPropertySheetExtension *base,
                                         QObject *parent)
    : QObject(parent), FObject(object), FBase(base)
{
}

int TColorPropertySheet::count() const
{
    return FBase->count();
}

int TColorPropertySheet::indexOf(const QString &name) const
{
    return FBase->indexOf(name);
}

QString TColorPropertySheet::propertyName(int index) const
{
    return FBase->propertyName(index);
}

QString TColorPropertySheet::propertyGroup(int index) const
{
    return FBase->propertyGroup(index);
}

void TColorPropertySheet::setPropertyGroup(int index, const QString &group)
{
    FBase->setPropertyGroup(index, group);
}

bool TColorPropertySheet::hasReset(int index) const
{
    return FBase->hasReset(index);
}

bool TColorPropertySheet::reset(int index)
{
    return FBase->reset(index);
}

bool TColorPropertySheet::isVisible(int index) const
{
    return FBase->isVisible(index);
}

void TColorPropertySheet::setVisible(int index, bool b)
{
    FBase->setVisible(index, b);
}

bool TColorPropertySheet::isAttribute(int index) const
{
    return FBase->isAttribute(index);
}

void TColorPropertySheet::setAttribute(int index, bool b)
{
    FBase->setAttribute(index, b);
}

QVariant TColorPropertySheet::property(int index) const
{
    const QVariant value = FBase->property(index);
    if (value.metaType() == QMetaType::fromType<TColor>())
        return value.value<TColor>().ToQColor();
    return value;
}

void TColorPropertySheet::setProperty(int index, const QVariant &value)
{
    if (IsColor(index) && value.metaType() == QMetaType::fromType<QColor>()) {
        FBase->setProperty(index, QVariant::fromValue(TColor::FromQColor(value.value<QColor>())));
        return;
    }
    FBase->setProperty(index, value);
}

bool TColorPropertySheet::isChanged(int index) const
{
    return FBase->isChanged(index);
}

void TColorPropertySheet::setChanged(int index, bool changed)
{
    FBase->setChanged(index, changed);
}

bool TColorPropertySheet::isEnabled(int index) const
{
    return FBase->isEnabled(index);
}

bool TColorPropertySheet::IsColor(int index) const
{
    if (!FObject)
        return false;
    const QMetaObject *meta = FObject->metaObject();
    const int property = meta->indexOfProperty(FBase->propertyName(index).toLatin1().constData());
    return property >= 0 && meta->property(property).metaType() == QMetaType::fromType<TColor>();
}

TColorPropertySheetFactory::TColorPropertySheetFactory(QExtensionManager *parent)
    : QExtensionFactory(parent)
{
}

QObject *TColorPropertySheetFactory::createExtension(QObject *object, const QString &iid,
                                                     QObject *parent) const
{
    if (FBuscandoBase || iid != QLatin1String(Q_TYPEID(QDesignerPropertySheetExtension)))
        return nullptr;
    auto *edit = qobject_cast<TEditImp *>(object);
    if (!edit && !HasColorProperty(object))
        return nullptr;
    // Designer's own sheet: the next factory the manager asks once this one steps aside.
    FBuscandoBase = true;
    QExtensionManager *manager = extensionManager();
    auto *base = qt_extension<QDesignerPropertySheetExtension *>(manager, object);
    auto *dynamic = qt_extension<QDesignerDynamicPropertySheetExtension *>(manager, object);
    FBuscandoBase = false;
    if (!base)
        return nullptr;
    if (edit)
        AddPrintBoxProperties(edit, base, dynamic);
    return new TColorPropertySheet(object, base, parent);
}
