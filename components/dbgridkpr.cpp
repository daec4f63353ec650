#include "components/dbgridkpr.h"

#include <QDragMoveEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/canvas.h"
#include "platform/eventguard.h"

namespace {

QString EditorText(const QWidget *editor)
{
    const QMetaProperty user = editor->metaObject()->userProperty();
    return user.isValid() ? user.read(editor).toString() : QString();
}

}  // namespace

// The grid's item delegate: drops the highlight where the grid says so, and keeps the grid's edit
// text member up to date whenever an editor is filled from the model or written back to it.
class TDBGridKprDelegate : public QStyledItemDelegate {
public:
    explicit TDBGridKprDelegate(TDBGridKpr *grid) : QStyledItemDelegate(grid), FGrid(grid) {}

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        QStyledItemDelegate::setEditorData(editor, index);
        FGrid->EditorTextRead(EditorText(editor));
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        QStyledItemDelegate::setModelData(editor, model, index);
        FGrid->EditorTextWritten(EditorText(editor));
    }

    // The view paints the cell's row panel (PE_PanelItemViewRow, which styles fill with the
    // selection colour) before the delegate; where the grid does not highlight, the cell is
    // painted again from its background up, as a row that is not selected, through the widget's
    // own style: the application's, whatever it is and whenever it changes.
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        if (FGrid->HighlightCell(index) ||
            !(option.state & (QStyle::State_Selected | QStyle::State_HasFocus))) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        const QWidget *viewport = FGrid->viewport();
        painter->fillRect(option.rect, viewport->palette().brush(viewport->backgroundRole()));
        FGrid->style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &plain, painter, FGrid);
        QStyledItemDelegate::paint(painter, plain, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!FGrid->HighlightCell(index)) {
            option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        }
    }

private:
    TDBGridKpr *FGrid;
};

TDBGridKpr::TDBGridKpr(QWidget *Owner) : QTableView(Owner), FDelegate(new TDBGridKprDelegate(this))
{
    setItemDelegate(FDelegate);
}

TDBGridKpr::~TDBGridKpr() = default;

void TDBGridKpr::AjustarFbMarcaLinhaAtiva(bool value)
{
    if (FbMarcaLinhaAtiva == value)
        return;
    FbMarcaLinhaAtiva = value;
    viewport()->update();
}

void TDBGridKpr::AjustarFbSinalizarArrasto(bool value)
{
    if (value == FbSinalizarArrasto)
        return;
    FbSinalizarArrasto = value;
    // The marker needs the drag events: turning it on takes drops on the grid and its viewport,
    // turning it off gives both back the settings they had before.
    if (value) {
        FbAceitavaSoltar = acceptDrops();
        FbViewportAceitavaSoltar = viewport()->acceptDrops();
        setAcceptDrops(true);
        viewport()->setAcceptDrops(true);
    } else {
        ApagarMarcador();
        setAcceptDrops(FbAceitavaSoltar);
        viewport()->setAcceptDrops(FbViewportAceitavaSoltar);
    }
}

int TDBGridKpr::PegarLinhasVisiveis() const
{
    return int(VisibleRows().size());
}

int TDBGridKpr::PegarLarguraPadraoDaLinha() const
{
    return verticalHeader()->defaultSectionSize();
}

QString TDBGridKpr::PegaValorCelula(int column) const
{
    const QModelIndex current = currentIndex();
    if (column < 0 || model() == nullptr || !current.isValid())
        return QString();
    if (column >= model()->columnCount(rootIndex()))
        return QString();
    return DisplayText(model()->index(current.row(), column, rootIndex()));
}

QString TDBGridKpr::PegarCelula(int column, int row) const
{
    if (model() == nullptr || column < 0 || column >= model()->columnCount(rootIndex())) {
        return QString();
    }
    const QList<int> rows = VisibleRows();
    if (row < 0 || row >= rows.size())
        return QString();
    return DisplayText(model()->index(rows.at(row), column, rootIndex()));
}

QString TDBGridKpr::GetEditText(const QModelIndex &index)
{
    FEditText = index.isValid() ? index.data(Qt::EditRole).toString() : QString();
    return FEditText;
}

void TDBGridKpr::SetEditText(const QModelIndex &index, const QString &text)
{
    if (model() != nullptr && index.isValid())
        model()->setData(index, text, Qt::EditRole);
    FEditText = text;
}

bool TDBGridKpr::HighlightCell(const QModelIndex &index) const
{
    return FbMarcaLinhaAtiva || InMultiRowSelection(index.row());
}

bool TDBGridKpr::InMultiRowSelection(int row) const
{
    const QItemSelectionModel *selection = selectionModel();
    if (selection == nullptr)
        return false;
    bool containsRow = false;
    int someRow = -1;
    bool severalRows = false;
    for (const QItemSelectionRange &range : selection->selection()) {
        if (range.parent() != rootIndex())
            continue;
        if (range.top() <= row && row <= range.bottom())
            containsRow = true;
        if (range.top() != range.bottom() || (someRow >= 0 && someRow != range.top())) {
            severalRows = true;
        }
        someRow = range.top();
    }
    return containsRow && severalRows;
}

QString TDBGridKpr::DisplayText(const QModelIndex &index) const
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.isValid())
        return QString();
    const auto *styled = qobject_cast<QStyledItemDelegate *>(itemDelegateForIndex(index));
    return styled != nullptr ? styled->displayText(value, locale()) : value.toString();
}

void TDBGridKpr::mousePressEvent(QMouseEvent *event)
{
    TEventGuard::Run("TDBGridKpr::mousePressEvent", [&] {
        QTableView::mousePressEvent(event);
        RaiseMouseClick(*event);
    });
}

void TDBGridKpr::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Qt delivers the second press of a double click as this event, not as a press.
    TEventGuard::Run("TDBGridKpr::mouseDoubleClickEvent", [&] {
        QTableView::mouseDoubleClickEvent(event);
        RaiseMouseClick(*event);
    });
}

void TDBGridKpr::RaiseMouseClick(const QMouseEvent &event)
{
    if (OnCliqueDoMouse) {
        const QPoint at = event.position().toPoint();
        OnCliqueDoMouse(this, event.button(), event.modifiers(), at.x(), at.y());
    }
}

void TDBGridKpr::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The base scrolls the new current row into view: one move, one event.
    const bool outerMoving = FbMovendoLinhaAtual;
    const bool outerScrolled = FbRolouNaMudanca;
    FbMovendoLinhaAtual = true;
    FbRolouNaMudanca = false;
    QTableView::currentChanged(current, previous);
    const bool scrolled = FbRolouNaMudanca;
    FbMovendoLinhaAtual = outerMoving;
    FbRolouNaMudanca = outerScrolled;
    const bool rowMoved = current.row() != previous.row() || current.parent() != previous.parent();
    if (rowMoved || scrolled)
        RaiseScroll();
}

void TDBGridKpr::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    // The viewport moved its pixels, the marker's line with them: paint it afresh where it is.
    if (FMarcador.Estado == 0)
        viewport()->update();
    if (dy == 0)
        return;
    if (FbMovendoLinhaAtual)
        FbRolouNaMudanca = true;
    else
        RaiseScroll();
}

void TDBGridKpr::RaiseScroll()
{
    // Raised from Qt's handlers (keys, clicks, the scroll bar's signals): the handler's exception
    // must not cross them.
    if (OnDepoisScroll)
        TEventGuard::Run("TDBGridKpr::OnDepoisScroll", [&] { OnDepoisScroll(this); });
}

void TDBGridKpr::paintEvent(QPaintEvent *event)
{
    TEventGuard::Run("TDBGridKpr::paintEvent", [&] {
        QTableView::paintEvent(event);
        if (FMarcador.Estado != 0)
            return;
        QPainter painter(viewport());
        TCanvas canvas;
        canvas.SetPainter(&painter);
        canvas.Pen().Color = clRed;
        canvas.MoveTo(FMarcador.Esquerda, FMarcador.Y);
        canvas.LineTo(FMarcador.Esquerda + FMarcador.Comprimento, FMarcador.Y);
    });
}

void TDBGridKpr::dragEnterEvent(QDragEnterEvent *event)
{
    TEventGuard::Run("TDBGridKpr::dragEnterEvent", [&] {
        QTableView::dragEnterEvent(event);
        // Take the drag even when the model refuses its data, so the marker follows the pointer;
        // each move still asks the base grid whether a drop is possible there.
        if (FbSinalizarArrasto)
            event->accept();
    });
}

void TDBGridKpr::dragMoveEvent(QDragMoveEvent *event)
{
    TEventGuard::Run("TDBGridKpr::dragMoveEvent", [&] {
        if (FbSinalizarArrasto) {
            const int linha = VisibleOrdinalAt(event->position().toPoint().y());
            if (linha < 0) {
                ApagarMarcador();
            } else if (linha != FMarcador.Linha) {
                MostrarMarcador(linha);
            }
        }
        QTableView::dragMoveEvent(event);
    });
}

void TDBGridKpr::dragLeaveEvent(QDragLeaveEvent *event)
{
    TEventGuard::Run("TDBGridKpr::dragLeaveEvent", [&] {
        ApagarMarcador();
        QTableView::dragLeaveEvent(event);
    });
}

void TDBGridKpr::dropEvent(QDropEvent *event)
{
    TEventGuard::Run("TDBGridKpr::dropEvent", [&] {
        ApagarMarcador();
        QTableView::dropEvent(event);
    });
}

void TDBGridKpr::startDrag(Qt::DropActions supportedActions)
{
    QTableView::startDrag(supportedActions);
    ApagarMarcador();
}

QList<int> TDBGridKpr::VisibleRows() const
{
    QList<int> rows;
    if (model() == nullptr)
        return rows;
    const int first = rowAt(0);
    if (first < 0)
        return rows;
    const int height = viewport()->height();
    const int count = model()->rowCount(rootIndex());
    for (int row = first; row < count; ++row) {
        if (isRowHidden(row))
            continue;
        if (rowViewportPosition(row) >= height)
            break;
        rows.append(row);
    }
    return rows;
}

int TDBGridKpr::VisibleOrdinalAt(int y) const
{
    const int row = rowAt(y);
    return row < 0 ? -1 : int(VisibleRows().indexOf(row));
}

void TDBGridKpr::MostrarMarcador(int linha)
{
    if (FMarcador.Estado == 0)
        AtualizarFaixa(FMarcador.Y);
    // From the first data column across all columns, on the first pixel under the row (rows
    // may differ in height; each row's grid line is its own last pixel).
    const int row = VisibleRows().at(linha);
    FMarcador.Linha = linha;
    FMarcador.Estado = 0;
    FMarcador.Esquerda = -horizontalHeader()->offset();
    FMarcador.Y = rowViewportPosition(row) + rowHeight(row);
    FMarcador.Comprimento = horizontalHeader()->length();
    AtualizarFaixa(FMarcador.Y);
}

void TDBGridKpr::ApagarMarcador()
{
    if (FMarcador.Linha == -1)
        return;
    AtualizarFaixa(FMarcador.Y);
    FMarcador.Linha = -1;
    FMarcador.Estado = -1;
}

void TDBGridKpr::AtualizarFaixa(int y)
{
    viewport()->update(QRect(0, y, viewport()->width(), 1));
}
