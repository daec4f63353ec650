#pragma once

#include "kestrova_console_export.h"

#include <QDialog>
#include <functional>

#include "session/registrossessao.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class TBancoSessoes;

// The patient list: a search box (name or identifier, case and accents ignored; every key typed
// filters the list, the arrow keys move in it from the box), the matching patients, the latest
// tested first, and the chosen one's earlier tests. "Usar este paciente" (Enter, a double click)
// hands the patient to OnEscolher and closes; "Novo paciente" calls OnNovo and closes. A double
// click on an earlier test hands it to OnAbrirTeste (the console shows it in the sessions browser).
class KESTROVA_CONSOLE_EXPORT TfrmPacientes : public QDialog {
    Q_OBJECT
public:
    TfrmPacientes(TBancoSessoes *banco, QWidget *parent = nullptr);

    std::function<void(const TPaciente &paciente)> OnEscolher;
    std::function<void()> OnNovo;
    std::function<void(qint64 sessao)> OnAbrirTeste;

    // Off while a test runs, when the set-up it would fill cannot change.
    void AjustarEscolha(bool permitida);
    // The search of the box's text again, the first match selected.
    void Buscar();
    // The selected patient's id, 0 when none.
    qint64 PacienteSelecionado() const;
    // Hands the selected patient to OnEscolher and closes (nothing when none is selected).
    void Escolher();

    QLineEdit *Busca() const { return FBusca; }
    QTreeWidget *Pacientes() const { return FPacientes; }
    QTreeWidget *Testes() const { return FTestes; }

protected:
    bool eventFilter(QObject *alvo, QEvent *evento) override;

private:
    QWidget *CriarListas();
    QLayout *CriarBotoes();
    void MostrarTestes();

    TBancoSessoes *FBanco;
    QLineEdit *FBusca = nullptr;
    QLabel *FContagem = nullptr;
    QTreeWidget *FPacientes = nullptr;
    QLabel *FTitulo = nullptr;
    QTreeWidget *FTestes = nullptr;
    QPushButton *FUsar = nullptr;
    QPushButton *FNovo = nullptr;
};
