#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <QString>

#include "components/interfaceimpressora.h"
#include "kestrova_components_export.h"
#include "platform/color.h"
#include "platform/event.h"

class QMenu;

// A single-line edit whose text is printed later in a fixed box (InterfaceImpressora).
//
// While InterfaceImpressoraAtiva, input that would make the text overflow the box is refused and
// OnLimiteTexto(this) is raised once per refusal: typed text (any printable character, accented
// and other non-ASCII ones included), pastes (Ctrl+V and the other paste shortcuts, the context
// menu, the paste() slot called on a TEditImp, middle-click selection pastes), drops and input
// method commits. The background (QPalette::Base) shows Color while the text fits and CorLimite
// while it does not; the fit is tested when focus enters, when the interface is switched on, on
// AplicarCor, and after every change while the text is flagged as not fitting.
//
// Text set with setText() is not tested; AjustarTexto is the tested way to set it.
//
// Main (GUI) thread only.
class KESTROVA_COMPONENTS_EXPORT TEditImp : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE AjustarFcColor)
    Q_PROPERTY(TColor CorLimite READ CorLimite WRITE AjustarFcCorLimite)
    Q_PROPERTY(bool InterfaceImpressoraAtiva READ InterfaceImpressoraAtiva WRITE
                   AjustarFbInterfaceImpressoraAtiva)
    Q_PROPERTY(TInterfaceImpressora *InterfaceImpressora READ InterfaceImpressora CONSTANT)
    Q_CLASSINFO("palette", "CompsKpr")
    Q_CLASSINFO("default:Color", "clWindow")
    Q_CLASSINFO("default:CorLimite", "clInfoBk")
    Q_CLASSINFO("default:InterfaceImpressoraAtiva", "false")

public:
    explicit TEditImp(QWidget *Owner = nullptr);
    ~TEditImp() override;

    TColor Color() const { return FcColor; }
    TColor CorLimite() const { return FcCorLimite; }
    bool InterfaceImpressoraAtiva() const { return FbInterfaceImpressoraAtiva; }
    TInterfaceImpressora *InterfaceImpressora() const { return FInterfaceImpressora; }
    // Whether the text fitted the box when last tested (true while the interface is off).
    bool TextoCabe() const { return FbTextoCabe; }

    // Stores the colour; shows it while the text fits.
    void AjustarFcColor(TColor cor);
    // Stores the warning colour; shows it while the text does not fit.
    void AjustarFcCorLimite(TColor cor);
    // Switching on tests the text and shows the matching colour; switching off shows Color.
    void AjustarFbInterfaceImpressoraAtiva(bool ativa);

    // Sets the text when the interface is off or the text fits; otherwise keeps the old text and
    // raises OnLimiteTexto.
    void AjustarTexto(const QString &texto);
    QString PegarTexto() const { return text(); }
    // Tests the text (when the interface is on) and shows Color or CorLimite.
    void AplicarCor();

    // Raised, with this edit as Sender, whenever input is refused because it would not fit.
    TNotifyEvent OnLimiteTexto;

    // Forms give the printed box as dynamic properties of the edit named this prefix plus the
    // box's property ("InterfaceImpressora_Largura", ..._Fonte, ..._Alinhamento as an int):
    // Qt Designer cannot edit a property holding an object, so it stores the box's values this
    // way, and setProperty (uic, QUiLoader) on such a name sets the box's property.
    static constexpr const char *kPrefixoInterfaceImpressora = "InterfaceImpressora_";

public Q_SLOTS:
    // QLineEdit::paste with the fit test. Hides the base slot, so connections by name and calls
    // through a TEditImp reach this one.
    void paste();

protected:
    // Raises OnLimiteTexto.
    virtual void LimiteTexto();

    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void Change();
    void MostrarCor(TColor cor);
    // True when the key is a paste, a typed text or Enter that the box has no room for (and
    // raises OnLimiteTexto then).
    bool TeclaRecusada(const QKeyEvent &event);
    // The text after inserting `inserted` in place of [start, start + removed), as QLineEdit
    // would make it (maxLength included).
    QString Candidato(int start, int removed, const QString &inserted) const;
    // The text after replacing the selection (or inserting at the cursor).
    QString CandidatoNaSelecao(const QString &inserted) const;
    // True when the interface is off or the candidate fits; raises OnLimiteTexto otherwise.
    bool Aceita(const QString &candidato);
    bool ColagemAceita(QClipboard::Mode modo);
    void RedirecionarColar(QMenu *menu);

    TInterfaceImpressora *FInterfaceImpressora = nullptr;
    TColor FcColor = clWindow;
    TColor FcCorLimite = clInfoBk;
    bool FbInterfaceImpressoraAtiva = false;
    bool FbTextoCabe = true;
};
