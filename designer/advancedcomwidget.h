#pragma once

#include "comm/advancedcom.h"
#include "designer/comthreadwidget.h"
#include "kestrova_designer_export.h"

// A TAdvancedCom on a Qt Designer form: the port's properties of TComThreadWidget plus the
// control of the DTR and RTS lines.
class KESTROVA_DESIGNER_EXPORT TAdvancedComWidget : public TComThreadWidget {
    Q_OBJECT
    Q_PROPERTY(TAdvancedCom::TDtrControl DtrControl READ DtrControl WRITE SetDtrControl)
    Q_PROPERTY(TAdvancedCom::TRtsControl RtsControl READ RtsControl WRITE SetRtsControl)

public:
    explicit TAdvancedComWidget(QWidget *parent = nullptr);
    ~TAdvancedComWidget() override;

    TAdvancedCom *AdvancedCom() const { return FAdvancedCom; }

    TAdvancedCom::TDtrControl DtrControl() const { return FAdvancedCom->DtrControl(); }
    TAdvancedCom::TRtsControl RtsControl() const { return FAdvancedCom->RtsControl(); }
    void SetDtrControl(TAdvancedCom::TDtrControl value);
    void SetRtsControl(TAdvancedCom::TRtsControl value);

private:
    TAdvancedCom *FAdvancedCom;
};
