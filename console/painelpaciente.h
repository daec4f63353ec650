#pragma once

#include "kestrova_console_export.h"

#include <QGroupBox>
#include <QMap>

#include "session/registrossessao.h"

class TEditImp;

// The patient block of the set-up: one TEditImp per field, each measuring against the box the
// report prints it in (TRelatorioSessao::CaixasPaciente), so what is typed always fits the page.
class KESTROVA_CONSOLE_EXPORT TPainelPaciente : public QGroupBox {
    Q_OBJECT
public:
    explicit TPainelPaciente(QWidget *parent = nullptr);
    TPaciente Paciente() const;
    void AjustarPaciente(const TPaciente &paciente);
    TEditImp *Campo(const QString &campo) const { return FCampos.value(campo); }

private:
    QMap<QString, TEditImp *> FCampos;
};
