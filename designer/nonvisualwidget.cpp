#include "designer/nonvisualwidget.h"

#include <QPainter>
#include <QPalette>

#include "platform/exception.h"
#include "platform/messagebox.h"

namespace {

constexpr int kIconSize = 24;
constexpr int kMargin = 4;

}  // namespace

TNonVisualWidget::TNonVisualWidget(QObject *component, QWidget *parent)
    : QWidget(parent), FComponent(component)
{
    FComponent->setParent(this);
    // Explicitly hidden, so showing the form does not show it.
    setVisible(false);
}

TNonVisualWidget::~TNonVisualWidget() = default;

void TNonVisualWidget::ShowForDesign(const QIcon &icon)
{
    FIcon = icon;
    FDesignMode = true;
    setFixedSize(sizeHint());
    setVisible(true);
}

void TNonVisualWidget::ApplySetting(const std::function<void()> &setter)
{
    if (!FDesignMode) {
        setter();
        return;
    }
    try {
        setter();
    } catch (const Exception &e) {
        ShowErrorMessage(e.Message());
    }
}

QSize TNonVisualWidget::sizeHint() const
{
    const QString name = QString::fromLatin1(FComponent->metaObject()->className());
    const int text = fontMetrics().horizontalAdvance(name);
    return QSize(kMargin * 3 + kIconSize + text, kMargin * 2 + kIconSize);
}

void TNonVisualWidget::paintEvent(QPaintEvent *)
{
    if (!FDesignMode)
        return;
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(box, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box);
    const QRect iconRect(kMargin, (height() - kIconSize) / 2, kIconSize, kIconSize);
    FIcon.paint(&painter, iconRect);
    const QRect textRect(iconRect.right() + 1 + kMargin, 0, width() - iconRect.right() - kMargin,
                         height());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromLatin1(FComponent->metaObject()->className()));
}
