#pragma once

#include "kestrova_console_export.h"

#include <QDoubleSpinBox>

#include "protocol/unidadevelocidade.h"

// A speed box: its value() is km/h at the board's 0.1 km/h step, whatever it shows. In mph it
// shows the value converted back (TUnidadeVelocidade::Numero), and a typed mph value becomes
// TUnidadeVelocidade::Kmh (converted, quantised once); the arrows move one board step. The range
// is km/h too, so the limits the console checks stay the board's.
class KESTROVA_CONSOLE_EXPORT TCaixaVelocidade : public QDoubleSpinBox {
    Q_OBJECT
public:
    TCaixaVelocidade(double minimoKmh, double maximoKmh, double valorKmh,
                     QWidget *parent = nullptr);

    // Keeps the value (km/h); shows it in the new unit.
    void AjustarUnidade(const TUnidadeVelocidade &unidade);
    const TUnidadeVelocidade &Unidade() const { return FUnidade; }

    QString textFromValue(double value) const override;
    double valueFromText(const QString &text) const override;
    QValidator::State validate(QString &text, int &pos) const override;

private:
    // The number typed, without the suffix; nullopt when it is not one (yet).
    std::optional<double> Lido(const QString &text) const;

    TUnidadeVelocidade FUnidade;
};
