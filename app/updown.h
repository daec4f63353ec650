#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include "kestrova_app_export.h"

class QToolButton;

// A pair of arrow buttons that steps an integer Position within [Min, Max] and writes it into an
// associated edit, as the framework's up-down control does. The position follows the edit: a
// valid integer typed there is taken (clamped to the range) before a step and by Position().
class KESTROVA_APP_EXPORT TUpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)

public:
    explicit TUpDown(QWidget *parent = nullptr);

    int Min() const { return FiMin; }
    void SetMin(int value);
    int Max() const { return FiMax; }
    void SetMax(int value);
    int Position() const;
    void SetPosition(int value);
    // The edit that shows the position; its text is set to the position at once.
    void SetAssociate(QLineEdit *edit);

    void StepBy(int delta);

private:
    int Clamp(int value) const;

    QToolButton *FUp;
    QToolButton *FDown;
    QPointer<QLineEdit> FAssociate;
    int FiMin = 0;
    int FiMax = 100;
    int FiPosition = 0;
};
