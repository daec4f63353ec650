#pragma once

#include <QList>
#include <QString>
#include <QTableView>

#include "kestrova_components_export.h"
#include "platform/event.h"

class TDBGridKprDelegate;

// A data grid over a QSqlQueryModel / QSqlTableModel (any item model works) with reading of any
// visible cell as text, optional suppression of the current-row highlight, events after a scroll
// and on mouse press, a cache of the in-place editor's text, and a red insertion marker drawn under
// the row the pointer is over while something is dragged over the grid.
//
// Rows and columns are the model's. "Visible rows" are the rows at least partly shown in the
// viewport, in order from the top, skipping hidden rows; they are the records the grid buffers.
// The grid installs its own item delegate (highlight suppression, edit text cache); replacing it
// with setItemDelegate turns both off. It keeps the application's style. Main (GUI) thread only.
class KESTROVA_COMPONENTS_EXPORT TDBGridKpr : public QTableView {
    Q_OBJECT
    Q_PROPERTY(bool bMarcaLinhaAtiva READ bMarcaLinhaAtiva WRITE AjustarFbMarcaLinhaAtiva)
    Q_PROPERTY(bool SinalizarArrasto READ SinalizarArrasto WRITE AjustarFbSinalizarArrasto)
    Q_CLASSINFO("palette", "CompsKpr")
    Q_CLASSINFO("default:bMarcaLinhaAtiva", "true")
    Q_CLASSINFO("default:SinalizarArrasto", "false")

public:
    // The drag marker: Linha is the visible row (0 = first visible row) under which the line is
    // drawn, -1 for none; Estado is 0 while shown, -1 otherwise. The line runs from
    // (Esquerda, Y) to (Esquerda + Comprimento, Y), end point excluded, in viewport coordinates:
    // from the left edge of the first data column across all columns, Y the first pixel under
    // the row.
    struct TMarcadorArrasto {
        int Linha = -1;
        int Estado = -1;
        int Esquerda = 11;
        int Y = 0;
        int Comprimento = 0;
    };

    // x of the marker's start in the classic grid, right of its 11-pixel indicator column; this
    // grid has no indicator column and starts the marker at its first data column.
    static constexpr int kEsquerdaDoMarcador = 11;

    explicit TDBGridKpr(QWidget *Owner = nullptr);
    ~TDBGridKpr() override;

    bool bMarcaLinhaAtiva() const { return FbMarcaLinhaAtiva; }
    // false: the current row is painted without highlight unless it belongs to a selection of
    // two or more rows.
    void AjustarFbMarcaLinhaAtiva(bool value);
    bool SinalizarArrasto() const { return FbSinalizarArrasto; }
    // Turning it off while a marker is shown removes the marker.
    void AjustarFbSinalizarArrasto(bool value);

    // Number of visible rows (see above).
    int PegarLinhasVisiveis() const;
    // The default row height.
    int PegarLarguraPadraoDaLinha() const;
    // Display text of column `column` in the current row; "" for a negative or missing column or
    // when there is no current row.
    QString PegaValorCelula(int column) const;
    // Display text of the cell at column `column` of visible row `row` (0 = first visible row);
    // "" when either is out of range. The current row is left as it is.
    QString PegarCelula(int column, int row) const;

    // The edit text member: the last text read into or written from the in-place editor.
    QString EditText() const { return FEditText; }
    // The text the in-place editor starts with for `index` (its edit role); stored and returned.
    QString GetEditText(const QModelIndex &index);
    // Writes `text` to `index` as the editor does; the edit text member becomes `text`.
    void SetEditText(const QModelIndex &index, const QString &text);

    TMarcadorArrasto Marcador() const { return FMarcador; }

    // Raised after every mouse press handled by the grid, with the button, the keyboard
    // modifiers and the viewport coordinates of the press.
    TEvent<Qt::MouseButton, Qt::KeyboardModifiers, int, int> OnCliqueDoMouse;
    // Raised after every scroll: the current row moved to another row, or the rows shown in the
    // viewport moved (vertical scroll); once for a move of the current row that also scrolls.
    TNotifyEvent OnDepoisScroll;

protected:
    // Whether the delegate may paint `index` highlighted (selected / focused).
    bool HighlightCell(const QModelIndex &index) const;
    // Called by the delegate after the editor got its text / the model got the editor's text.
    void EditorTextRead(const QString &text) { FEditText = text; }
    void EditorTextWritten(const QString &text) { FEditText = text; }

    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    friend class TDBGridKprDelegate;

    QList<int> VisibleRows() const;
    bool InMultiRowSelection(int row) const;
    QString DisplayText(const QModelIndex &index) const;
    int VisibleOrdinalAt(int y) const;
    void MostrarMarcador(int linha);
    void ApagarMarcador();
    void AtualizarFaixa(int y);
    void RaiseScroll();
    void RaiseMouseClick(const QMouseEvent &event);

    TDBGridKprDelegate *FDelegate = nullptr;
    QString FEditText;
    bool FbMarcaLinhaAtiva = true;
    bool FbSinalizarArrasto = false;
    // While the base handles a move of the current row, and whether it scrolled meanwhile.
    bool FbMovendoLinhaAtual = false;
    bool FbRolouNaMudanca = false;
    TMarcadorArrasto FMarcador;
    // The drop settings of the grid and its viewport before SinalizarArrasto turned them on.
    bool FbAceitavaSoltar = false;
    bool FbViewportAceitavaSoltar = false;
};
