#pragma once

#include "kestrova_somatochart_export.h"
#include "platform/color.h"

#include <QColor>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <functional>
#include <memory>

class TColecaoDePontos;

namespace Ui {
class TEditorPropriedadesPontos;
}

// The modal window in which a designer steps through a somatochart's points and adds, edits or
// deletes them. It edits the collection it is given (not owned) in place: every button acts on the
// collection at once through AcrescentarPonto, EditarPonto and ExcluirPonto. Should the collection
// be destroyed while the window is open, the buttons do nothing.
//
// The coordinate edits accept digits, "-" and the locale's decimal separator; "." and "," are
// turned into that separator and every other character is dropped, whether typed, pasted or
// dropped. Numbers are read with the default QLocale.
class KESTROVA_SOMATOCHART_EXPORT TEditorPropriedadesPontos : public QDialog {
    Q_OBJECT
public:
    // Shows a message box titled "Atenção" with the given icon; tests replace it to read the text.
    using TMessageBoxHook =
        std::function<void(QWidget *parent, const QString &text, QMessageBox::Icon icon)>;
    // Runs the colour choice; returns an invalid QColor when the user cancels.
    using TColorDialogHook = std::function<QColor(QWidget *parent, const QColor &initial)>;

    explicit TEditorPropriedadesPontos(TColecaoDePontos *pontos, QWidget *parent = nullptr);
    ~TEditorPropriedadesPontos() override;

    // Empty collection: "Nenhum ponto na carta", "0/0"; otherwise shows the first point.
    void Inicializar();
    // Fills the fields from point i; does nothing when i is not a valid index.
    void MostrarPonto(int i);

    int Posicao() const { return FPosicao; }  // the up-down's position (index of the shown point)
    int Maximo() const { return FMaximo; }    // the up-down's maximum (count - 1, 0 when empty)
    TColor Cor() const { return FCor; }       // the swatch's colour

    // Install a hook and return the previous one; an empty hook restores the real dialog.
    static TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook);
    static TColorDialogHook SetColorDialogHook(TColorDialogHook hook);

    // The source texts (Portuguese) of the title and messages; shown translated.
    static const QString kTituloVazio;           // "Nenhum ponto na carta"
    static const QString kMensagemObrigatorios;  // every field but the description is required
    static const QString kMensagemErroValores;   // "Erro nos valores informados."

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void pUpDownAnteriorClick();
    void pUpDownProximoClick();
    void pBotaoAcrescentarClick();
    void pBotaoEditarClick();
    void pBotaoExcluirClick();

private:
    struct TValores;

    void pUpDownClick();
    void pShapeCorMouseDown();
    void AjustarCor(TColor cor);
    void AtualizarUpDown();
    void AtualizarContador();
    bool LerValores(TValores *valores);
    void Mensagem(const QString &text, QMessageBox::Icon icon);

    std::unique_ptr<Ui::TEditorPropriedadesPontos> ui;
    QPointer<TColecaoDePontos> FPontos;  // null once the collection is destroyed
    TColor FCor = clBlack;
    int FPosicao = 0;
    int FMaximo = 0;
};
