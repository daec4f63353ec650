#pragma once

#include <QPointer>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionFactory>

class QExtensionManager;

// The property sheet Qt Designer uses for Kestrova's widgets: Designer's own sheet, with every
// TColor property shown, edited and saved as a QColor (Designer has no editor for TColor; a form
// stores <color>, which uic and QUiLoader give back to the property as a QColor that converts to
// TColor). TEditImp also gets its printed box as dynamic properties "InterfaceImpressora_Fonte",
// ..._Alinhamento, ..._Largura, ..._Altura, ..._LargDaPaginaNaTela, which the edit passes on to
// its box. Everything else is Designer's sheet unchanged, index for index.
class TColorPropertySheet : public QObject, public QDesignerPropertySheetExtension {
    Q_OBJECT
    Q_INTERFACES(QDesignerPropertySheetExtension)

public:
    TColorPropertySheet(QObject *object, QDesignerPropertySheetExtension *base, QObject *parent);

    int count() const override;
    int indexOf(const QString &name) const override;
    QString propertyName(int index) const override;
    QString propertyGroup(int index) const override;
    void setPropertyGroup(int index, const QString &group) override;
    bool hasReset(int index) const override;
    bool reset(int index) override;
    bool isVisible(int index) const override;
    void setVisible(int index, bool b) override;
    bool isAttribute(int index) const override;
    void setAttribute(int index, bool b) override;
    QVariant property(int index) const override;
    void setProperty(int index, const QVariant &value) override;
    bool isChanged(int index) const override;
    void setChanged(int index, bool changed) override;
    bool isEnabled(int index) const override;

private:
    bool IsColor(int index) const;

    QPointer<QObject> FObject;
    QDesignerPropertySheetExtension *FBase;
};

// Creates a TColorPropertySheet over Designer's sheet for every Kestrova widget with a TColor
// property or a printed box; other objects keep Designer's sheet.
class TColorPropertySheetFactory : public QExtensionFactory {
    Q_OBJECT

public:
    explicit TColorPropertySheetFactory(QExtensionManager *parent);

protected:
    QObject *createExtension(QObject *object, const QString &iid, QObject *parent) const override;

private:
    // Set while asking the manager for Designer's own sheet, so this factory steps aside.
    mutable bool FBuscandoBase = false;
};
