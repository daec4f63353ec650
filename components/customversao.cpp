#include "components/customversao.h"

#include <QPalette>

#include "components/productversion.h"

namespace {

constexpr Qt::Alignment kHorizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
constexpr Qt::Alignment kVertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};

}  // namespace

TCustomVersao::TCustomVersao(QWidget *Owner) : QLabel(Owner)
{
    using kestrova::components::RunningExecutablePath;
    SetAlignmentBits(Qt::AlignLeft, Qt::AlignTop);
    setAutoFillBackground(true);
    QLabel::setText(VersionText(QString::fromStdString(RunningExecutablePath())));
}

QString TCustomVersao::VersionText(const QString &path)
{
    const std::optional<std::string> version =
        kestrova::components::ReadProductVersion(path.toStdString());
    return QString::fromStdString(version.value_or(kUnknownVersion));
}

TCustomVersao::TAlignment TCustomVersao::Alignment() const
{
    const Qt::Alignment bits = alignment() & Qt::AlignHorizontal_Mask;
    if (bits & Qt::AlignRight) {
        return taRightJustify;
    }
    return bits & Qt::AlignHCenter ? taCenter : taLeftJustify;
}

void TCustomVersao::SetAlignment(TAlignment value)
{
    // A value read from a stream or a QVariant may lie outside the enumeration: ignored.
    if (value < taLeftJustify || value > taCenter) {
        return;
    }
    SetAlignmentBits(kHorizontal[value], alignment() & Qt::AlignVertical_Mask);
}

TCustomVersao::TTextLayout TCustomVersao::Layout() const
{
    const Qt::Alignment bits = alignment() & Qt::AlignVertical_Mask;
    if (bits & Qt::AlignBottom) {
        return tlBottom;
    }
    return bits & Qt::AlignVCenter ? tlCenter : tlTop;
}

void TCustomVersao::SetLayout(TTextLayout value)
{
    if (value < tlTop || value > tlBottom) {
        return;
    }
    SetAlignmentBits(alignment() & Qt::AlignHorizontal_Mask, kVertical[value]);
}

void TCustomVersao::SetAlignmentBits(Qt::Alignment horizontal, Qt::Alignment vertical)
{
    setAlignment(horizontal | vertical);
}

TColor TCustomVersao::Color() const
{
    return TColor::FromQColor(palette().color(QPalette::Window));
}

void TCustomVersao::SetColor(TColor value)
{
    QPalette own = palette();
    own.setColor(QPalette::Window, value.ToQColor());
    setPalette(own);
}

bool TCustomVersao::ParentColor() const
{
    return !testAttribute(Qt::WA_SetPalette);
}

void TCustomVersao::SetParentColor(bool value)
{
    if (value) {
        setPalette(QPalette());
    } else if (ParentColor()) {
        SetColor(Color());
    }
}

bool TCustomVersao::ParentFont() const
{
    return !testAttribute(Qt::WA_SetFont);
}

void TCustomVersao::SetParentFont(bool value)
{
    if (value) {
        setFont(QFont());
    } else if (ParentFont()) {
        QFont own = font();
        own.setResolveMask(QFont::AllPropertiesResolved);
        setFont(own);
    }
}

void TCustomVersao::SetFont(const QFont &value)
{
    setFont(value);
}

bool TCustomVersao::Transparent() const
{
    return !autoFillBackground();
}

void TCustomVersao::SetTransparent(bool value)
{
    setAutoFillBackground(!value);
}
