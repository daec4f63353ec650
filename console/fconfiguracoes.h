#pragma once

#include "kestrova_console_export.h"

#include <QDialog>

#include "protocol/unidadevelocidade.h"
#include "session/graficosessao.h"

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;

// The console's settings, set once: the predicted maximum heart rate's formula and the target's
// share of it (the console's own settings, taken by each new test), the unit speeds are shown
// and typed in (km/h or mph; the board, the database and the files stay km/h), and the
// laboratory the reports are printed for (shared by every Kestrova program, TLaboratorio).
class KESTROVA_CONSOLE_EXPORT TfrmConfiguracoes : public QDialog {
    Q_OBJECT
public:
    static constexpr double kAlvoPadrao = 85;

    explicit TfrmConfiguracoes(QWidget *parent = nullptr);
    // Stores what the dialog shows; false (and a message) when it could not.
    bool Salvar();

    // The console's settings as a new test takes them.
    static QString FormulaFcMaxima();  // TBancoSessoes::CodigoFormula's code
    static double PercentualAlvo();
    static TUnidadeVelocidade UnidadeVelocidade();
    // The unit as session/'s charts and report take it.
    static TEscalaVelocidade Escala(const TUnidadeVelocidade &unidade);

private:
    QComboBox *FFormula = nullptr, *FUnidade = nullptr;
    QDoubleSpinBox *FAlvo = nullptr;
    QLineEdit *FNome = nullptr, *FLogotipo = nullptr;
    QPlainTextEdit *FEndereco = nullptr;
};
