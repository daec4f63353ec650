#pragma once

#include "kestrova_console_export.h"

#include <QGroupBox>
#include <QMap>
#include <QPointer>

#include "console/fpacientes.h"
#include "session/registrossessao.h"

class QCheckBox;
class QComboBox;
class QLabel;
class TBancoSessoes;
class TEditImp;

// The patient block of the set-up: one TEditImp per text field, each measuring against the box the
// report prints it in (TRelatorioSessao::CaixasPaciente), so what is typed always fits the page;
// the sex from a list. A field is checked when it is left, the reason shown under it and in its
// tooltip; Problema gives the first one, so a test does not start with a block that is wrong.
//
// The block holds a stored patient (PacienteId, chosen in the patient list or saved by the last
// test) or a new one (0). "Novo paciente" clears every field and the id, so nothing of the
// previous patient reaches the next one's report.
class KESTROVA_CONSOLE_EXPORT TPainelPaciente : public QGroupBox {
    Q_OBJECT
public:
    explicit TPainelPaciente(QWidget *parent = nullptr);
    ~TPainelPaciente() override;

    // The fields, trimmed; sexo as stored ("F", "M" or empty); id = PacienteId().
    TPaciente Paciente() const;
    // Fills every field and holds paciente.id (0: a new patient); shows what is wrong in it.
    void AjustarPaciente(const TPaciente &paciente);
    // Clears every field, the reasons and the id.
    void NovoPaciente();
    qint64 PacienteId() const { return FCarregado.id; }
    // "Usa betabloqueador": the test's, not stored with the patient (cleared by NovoPaciente).
    bool Betabloqueador() const;
    // Whether the fields differ from the stored patient held (false for a new one).
    bool Alterado() const;

    // The block's first problem as a sentence for the operator; empty when it can be used.
    QString Problema() const;
    // Problema, after showing every field's reason at the field (for a start that is refused).
    QString Verificar();
    // One field's problem ("nome", "nascimento", "sexo", "peso", "altura"); empty when none.
    QString ProblemaCampo(const QString &campo) const;

    // The database the patient list searches; without one "Pacientes..." is off.
    void AjustarBanco(TBancoSessoes *banco);
    // Opens the patient list window, or brings it to the front.
    void AbrirPacientes();
    // An earlier test chosen in the patient list, to be shown.
    std::function<void(qint64 sessao)> OnAbrirTeste;
    TfrmPacientes *JanelaPacientes() const { return FJanela; }

    TEditImp *Campo(const QString &campo) const { return FCampos.value(campo); }
    QComboBox *Sexo() const { return FSexo; }
    // The stored code ("F", "M") of a stored or typed text ("f", "Feminino", "masc"); empty
    // when it is neither.
    static QString CodigoSexo(const QString &texto);

protected:
    void changeEvent(QEvent *event) override;

private:
    QWidget *CriarCampo(const QString &campo, QWidget *editor);
    QWidget *CriarSituacao();
    void AjustarSexo(const QString &texto);
    void MostrarProblema(const QString &campo);
    void AtualizarSituacao();

    QMap<QString, TEditImp *> FCampos;
    QMap<QString, QLabel *> FAvisos;
    QComboBox *FSexo = nullptr;
    QCheckBox *FBetabloqueador = nullptr;
    QLabel *FSituacao = nullptr;
    QWidget *FBotaoPacientes = nullptr;
    TBancoSessoes *FBanco = nullptr;
    QPointer<TfrmPacientes> FJanela;
    TPaciente FCarregado;  // the stored patient as it was chosen; id 0 for a new one
};
