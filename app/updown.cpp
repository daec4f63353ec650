#include "app/updown.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/formatfloat.h"

TUpDown::TUpDown(QWidget *parent)
    : QWidget(parent), FUp(new QToolButton(this)), FDown(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {FUp, FDown}) {
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    FUp->setArrowType(Qt::UpArrow);
    FDown->setArrowType(Qt::DownArrow);
    connect(FUp, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(FDown, &QToolButton::clicked, this, [this] { StepBy(-1); });
}

void TUpDown::SetMin(int value)
{
    FiMin = value;
    FiPosition = Clamp(FiPosition);
}

void TUpDown::SetMax(int value)
{
    FiMax = value;
    FiPosition = Clamp(FiPosition);
}

int TUpDown::Position() const
{
    int typed = 0;
    if (FAssociate && TryStrToInt(FAssociate->text(), typed))
        return Clamp(typed);
    return FiPosition;
}

void TUpDown::SetPosition(int value)
{
    FiPosition = Clamp(value);
    if (FAssociate)
        FAssociate->setText(QString::number(FiPosition));
}

void TUpDown::SetAssociate(QLineEdit *edit)
{
    FAssociate = edit;
    SetPosition(FiPosition);
}

void TUpDown::StepBy(int delta)
{
    SetPosition(Position() + delta);
}

int TUpDown::Clamp(int value) const
{
    return std::clamp(value, FiMin, std::max(FiMin, FiMax));
}
