#include "components/dbgridkpr.h"

#include <QDragMoveEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyledItemDelegate>

#include "platform/canvas.h"

namespace {

// QTableView draws each grid line inside its row's height (the row's last pixel), so rows are not
// separated by extra pixels: the pen width of the marker's row formula is 0.
constexpr int kLarguraDaCaneta = 0;

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

// The view paints each cell's row panel (PE_PanelItemViewRow) before the delegate paints the cell,
// and styles fill that panel with the selection colour; this style leaves the selection state out
// of the panel where the grid does not highlight.
class TDBGridKprStyle : public QProxyStyle {
public:
    explicit TDBGridKprStyle(TDBGridKpr *grid) : FGrid(grid) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionViewItem *>(option);
        if (element == PE_PanelItemViewRow && widget == FGrid && item != nullptr &&
            !FGrid->HighlightCell(FGrid->indexAt(item->rect.center()))) {
            QStyleOptionViewItem plain(*item);
            plain.state &= ~(State_Selected | State_HasFocus);
            QProxyStyle::drawPrimitive(element, &plain, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    TDBGridKpr *FGrid;
};

TDBGridKpr::TDBGridKpr(QWidget *Owner)
    : QTableView(Owner),
      FDelegate(new TDBGridKprDelegate(this)),
      FStyle(std::make_unique<TDBGridKprStyle>(this))
{
    setItemDelegate(FDelegate);
    setStyle(FStyle.get());
}

TDBGridKpr::~TDBGridKpr()
{
    // Back to the application's style before the proxy goes.
    setStyle(nullptr);
}

void TDBGridKpr::AjustarFbMarcaLinhaAtiva(bool value)
{
    if (FbMarcaLinhaAtiva == value)
        return;
    FbMarcaLinhaAtiva = value;
    viewport()->update();
}

void TDBGridKpr::AjustarFbSinalizarArrasto(bool value)
{
    FbSinalizarArrasto = value;
    // The marker needs the drag events; turning it off leaves drops as the caller set them.
    if (value) {
        setAcceptDrops(true);
        viewport()->setAcceptDrops(true);
    } else {
        ApagarMarcador();
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
    QTableView::mousePressEvent(event);
    if (OnCliqueDoMouse) {
        const QPoint at = event->position().toPoint();
        OnCliqueDoMouse(this, event->button(), event->modifiers(), at.x(), at.y());
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
    if (OnDepoisScroll)
        OnDepoisScroll(this);
}

void TDBGridKpr::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (FMarcador.Estado != 0)
        return;
    QPainter painter(viewport());
    TCanvas canvas;
    canvas.SetPainter(&painter);
    canvas.Pen().Color = clRed;
    canvas.MoveTo(FMarcador.Esquerda, FMarcador.Y);
    canvas.LineTo(FMarcador.Esquerda + FMarcador.Comprimento, FMarcador.Y);
}

void TDBGridKpr::dragEnterEvent(QDragEnterEvent *event)
{
    QTableView::dragEnterEvent(event);
    // Take the drag even when the model refuses its data, so the marker follows the pointer;
    // each move still asks the base grid whether a drop is possible there.
    if (FbSinalizarArrasto)
        event->accept();
}

void TDBGridKpr::dragMoveEvent(QDragMoveEvent *event)
{
    if (FbSinalizarArrasto) {
        const int linha = VisibleOrdinalAt(event->position().toPoint().y());
        if (linha < 0) {
            ApagarMarcador();
        } else if (linha != FMarcador.Linha) {
            MostrarMarcador(linha);
        }
    }
    QTableView::dragMoveEvent(event);
}

void TDBGridKpr::dragLeaveEvent(QDragLeaveEvent *event)
{
    ApagarMarcador();
    QTableView::dragLeaveEvent(event);
}

void TDBGridKpr::dropEvent(QDropEvent *event)
{
    ApagarMarcador();
    QTableView::dropEvent(event);
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
    FMarcador.Linha = linha;
    FMarcador.Estado = 0;
    FMarcador.Esquerda = kEsquerdaDoMarcador;
    FMarcador.Y = kLarguraDaCaneta * linha + (linha + 1) * PegarLarguraPadraoDaLinha();
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
