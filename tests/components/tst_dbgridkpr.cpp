#include <QApplication>
#include <QHeaderView>
#include <QJsonObject>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStyle>
#include <QTest>
#include <memory>

#include "components/dbgridkpr.h"
#include "platform/exception.h"
#include "platform/propertystream.h"

namespace {

// A grid of the given size over an in-memory table "pessoas" (id, nome, idade) of `rows` rows:
// row r holds (r, "nome<r>", 20 + r).
class GridFixture {
public:
    GridFixture(int rows, QSize size)
    {
        static int counter = 0;
        FName = QStringLiteral("tst_dbgridkpr_%1").arg(++counter);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
        db.setDatabaseName(QStringLiteral(":memory:"));
        Ok = db.open();
        QSqlQuery query(db);
        Ok = Ok && query.exec(QStringLiteral(
                       "CREATE TABLE pessoas (id INTEGER PRIMARY KEY, nome TEXT, idade INTEGER)"));
        for (int r = 0; Ok && r < rows; ++r) {
            Ok = query.exec(
                QStringLiteral("INSERT INTO pessoas VALUES (%1, 'nome%1', %2)").arg(r).arg(20 + r));
        }
        Model = std::make_unique<QSqlTableModel>(nullptr, db);
        Model->setTable(QStringLiteral("pessoas"));
        Model->setEditStrategy(QSqlTableModel::OnManualSubmit);
        Ok = Ok && Model->select();
        Grid = std::make_unique<TDBGridKpr>();
        Grid->setModel(Model.get());
        Grid->resize(size);
        Grid->show();
        Ok = Ok && QTest::qWaitForWindowExposed(Grid.get());
    }

    ~GridFixture()
    {
        Grid.reset();
        Model.reset();
        QSqlDatabase::database(FName, false).close();
        QSqlDatabase::removeDatabase(FName);
    }

    QImage Viewport() const { return Grid->viewport()->grab().toImage(); }

    bool Ok = false;
    std::unique_ptr<QSqlTableModel> Model;
    std::unique_ptr<TDBGridKpr> Grid;

private:
    QString FName;
};

const QColor kRed(255, 0, 0);

// The y of every row of the image holding a pure red pixel, with the red pixels' x range.
struct RedLine {
    int y = -1;
    int first = -1;
    int last = -1;
    int count = 0;
};

QList<RedLine> RedLines(const QImage &image)
{
    QList<RedLine> lines;
    for (int y = 0; y < image.height(); ++y) {
        RedLine line;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != kRed)
                continue;
            if (line.count++ == 0)
                line.first = x;
            line.last = x;
        }
        if (line.count > 0) {
            line.y = y;
            lines.append(line);
        }
    }
    return lines;
}

// Whether the grid took the drag.
bool SendDragEnter(TDBGridKpr *grid, const QMimeData &data, QPoint at)
{
    QDragEnterEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid->viewport(), &event);
    return event.isAccepted();
}

// Whether the grid would take a drop there.
bool SendDragMove(TDBGridKpr *grid, const QMimeData &data, QPoint at)
{
    QDragMoveEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid->viewport(), &event);
    return event.isAccepted();
}

// Counts the drag moves that reach a widget.
class DragMoveCounter : public QObject {
public:
    explicit DragMoveCounter(QWidget *widget) { widget->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::DragMove)
            ++Count;
        return false;
    }
};

void SendDragLeave(TDBGridKpr *grid)
{
    QDragLeaveEvent event;
    QCoreApplication::sendEvent(grid->viewport(), &event);
}

// A point in the middle of visible row `ordinal`.
QPoint RowPoint(const TDBGridKpr *grid, int ordinal, int dy = 0)
{
    const int row = grid->rowAt(0) + ordinal;
    return {40, grid->rowViewportPosition(row) + grid->rowHeight(row) / 2 + dy};
}

}  // namespace

class TstDBGridKpr : public QObject {
    Q_OBJECT

private slots:
    void declaredDefaults();
    void visibleRows_data();
    void visibleRows();
    void cellReads_data();
    void cellReads();
    void cellReadsAfterScroll();
    void markerFollowsRows_data();
    void markerFollowsRows();
    void markerGoneBelowLastRecord();
    void noMarkerWhenOff();
    void highlight_data();
    void highlight();
    void mouseAndScrollEvents();
    void markerOnTheRealRowBottom();
    void dropSettingsRestored();
    void followsTheApplicationStyle();
    void doubleClickIsAPress();
    void editTextCache();
};

void TstDBGridKpr::declaredDefaults()
{
    TDBGridKpr grid;
    QVERIFY(grid.bMarcaLinhaAtiva());
    QVERIFY(!grid.SinalizarArrasto());
    QCOMPARE(grid.Marcador().Linha, -1);
    QCOMPARE(grid.Marcador().Estado, -1);
    QVERIFY(grid.EditText().isEmpty());
    // Defaults are not written; changed values are, and read back.
    QJsonObject json = TPropertyStream::Write(&grid);
    QVERIFY(!json.contains("bMarcaLinhaAtiva"));
    QVERIFY(!json.contains("SinalizarArrasto"));
    grid.AjustarFbMarcaLinhaAtiva(false);
    grid.AjustarFbSinalizarArrasto(true);
    json = TPropertyStream::Write(&grid);
    QCOMPARE(json.value("bMarcaLinhaAtiva").toBool(true), false);
    QCOMPARE(json.value("SinalizarArrasto").toBool(false), true);
    TDBGridKpr copy;
    TPropertyStream::Read(&copy, json);
    QVERIFY(!copy.bMarcaLinhaAtiva());
    QVERIFY(copy.SinalizarArrasto());
}

// Visible rows are the rows backed by records that the viewport shows, partly shown ones too.
void TstDBGridKpr::visibleRows_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("height");
    QTest::newRow("more records than fit") << 40 << 200;
    QTest::newRow("fewer records than fit") << 2 << 300;
    QTest::newRow("no records") << 0 << 300;
}

void TstDBGridKpr::visibleRows()
{
    QFETCH(int, records);
    QFETCH(int, height);
    GridFixture f(records, QSize(420, height));
    QVERIFY(f.Ok);
    const int rowHeight = f.Grid->PegarLarguraPadraoDaLinha();
    QCOMPARE(rowHeight, f.Grid->verticalHeader()->defaultSectionSize());
    QVERIFY(rowHeight > 0);
    const int fit = (f.Grid->viewport()->height() + rowHeight - 1) / rowHeight;
    QCOMPARE(f.Grid->PegarLinhasVisiveis(), qMin(records, fit));
}

// Each row: current row, column, visible row, expected PegaValorCelula, expected PegarCelula.
void TstDBGridKpr::cellReads_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("cell");
    QTest::newRow("name") << 3 << 1 << 0 << "nome3"
                          << "nome0";
    QTest::newRow("number") << 2 << 2 << 4 << "22"
                            << "24";
    QTest::newRow("negative column") << 2 << -1 << 1 << ""
                                     << "";
    QTest::newRow("column past the last") << 2 << 3 << 1 << ""
                                          << "";
    QTest::newRow("negative row") << 2 << 1 << -1 << "nome2"
                                  << "";
    QTest::newRow("last visible row") << 1 << 1 << -2 << "nome1"
                                      << "last";
    QTest::newRow("row past the visible ones") << 1 << 1 << -3 << "nome1"
                                               << "";
}

void TstDBGridKpr::cellReads()
{
    QFETCH(int, current);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, value);
    QFETCH(QString, cell);
    GridFixture f(40, QSize(420, 200));
    QVERIFY(f.Ok);
    const int visible = f.Grid->PegarLinhasVisiveis();
    QVERIFY(visible > 2 && visible < 40);
    if (row == -2)
        row = visible - 1;
    if (row == -3)
        row = visible;
    if (cell == "last")
        cell = QStringLiteral("nome%1").arg(visible - 1);
    const QModelIndex currentIndex = f.Model->index(current, 0);
    f.Grid->setCurrentIndex(currentIndex);

    QCOMPARE(f.Grid->PegaValorCelula(column), value);
    QCOMPARE(f.Grid->PegarCelula(column, row), cell);
    QCOMPARE(f.Grid->currentIndex(), currentIndex);
}

// After a scroll the visible rows start at the new top row; the current row stays.
void TstDBGridKpr::cellReadsAfterScroll()
{
    GridFixture f(40, QSize(420, 200));
    QVERIFY(f.Ok);
    f.Grid->setCurrentIndex(f.Model->index(1, 0));
    f.Grid->verticalScrollBar()->setValue(10);
    QCOMPARE(f.Grid->rowAt(0), 10);
    QCOMPARE(f.Grid->PegarCelula(1, 0), QStringLiteral("nome10"));
    QCOMPARE(f.Grid->PegarCelula(2, 2), QStringLiteral("32"));
    QCOMPARE(f.Grid->PegaValorCelula(1), QStringLiteral("nome1"));
    QCOMPARE(f.Grid->currentIndex().row(), 1);
}

// A drag enters row 1, moves within it, moves to row 2 and ends by a drop or by leaving.
void TstDBGridKpr::markerFollowsRows_data()
{
    QTest::addColumn<bool>("drop");
    QTest::newRow("ends by drop") << true;
    QTest::newRow("ends by leaving") << false;
}

void TstDBGridKpr::markerFollowsRows()
{
    QFETCH(bool, drop);
    GridFixture f(40, QSize(420, 240));
    QVERIFY(f.Ok);
    f.Grid->AjustarFbSinalizarArrasto(true);
    const int h = f.Grid->PegarLarguraPadraoDaLinha();
    const int length = f.Grid->horizontalHeader()->length();
    const int right = qMin(length, f.Grid->viewport()->width()) - 1;
    QMimeData data;
    data.setText(QStringLiteral("x"));

    // Plain text the model cannot take: the grid still follows the drag.
    QVERIFY(SendDragEnter(f.Grid.get(), data, RowPoint(f.Grid.get(), 1)));
    QVERIFY(!SendDragMove(f.Grid.get(), data, RowPoint(f.Grid.get(), 1)));
    TDBGridKpr::TMarcadorArrasto m = f.Grid->Marcador();
    QCOMPARE(m.Linha, 1);
    QCOMPARE(m.Estado, 0);
    QCOMPARE(m.Esquerda, 0);  // the first data column's left edge
    QCOMPARE(m.Y, 2 * h);
    QCOMPARE(m.Comprimento, length);
    QList<RedLine> lines = RedLines(f.Viewport());
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].y, 2 * h);
    QCOMPARE(lines[0].first, 0);
    QCOMPARE(lines[0].last, right);
    QCOMPARE(lines[0].count, right + 1);

    // Same row, another point: nothing new.
    SendDragMove(f.Grid.get(), data, RowPoint(f.Grid.get(), 1, 3));
    QCOMPARE(f.Grid->Marcador().Linha, 1);
    QCOMPARE(f.Grid->Marcador().Y, 2 * h);
    lines = RedLines(f.Viewport());
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].y, 2 * h);

    // Next row: the old line is gone, the new one drawn.
    SendDragMove(f.Grid.get(), data, RowPoint(f.Grid.get(), 2));
    m = f.Grid->Marcador();
    QCOMPARE(m.Linha, 2);
    QCOMPARE(m.Estado, 0);
    QCOMPARE(m.Y, 3 * h);
    lines = RedLines(f.Viewport());
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].y, 3 * h);
    QCOMPARE(lines[0].count, right + 1);

    if (drop) {
        QDropEvent event(QPointF(RowPoint(f.Grid.get(), 2)), Qt::CopyAction, &data, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(f.Grid->viewport(), &event);
    } else {
        SendDragLeave(f.Grid.get());
    }
    QCOMPARE(f.Grid->Marcador().Linha, -1);
    QCOMPARE(f.Grid->Marcador().Estado, -1);
    QVERIFY(RedLines(f.Viewport()).isEmpty());
}

// Below the last record there is no row: the marker goes rather than sitting at the top.
void TstDBGridKpr::markerGoneBelowLastRecord()
{
    GridFixture f(3, QSize(420, 300));
    QVERIFY(f.Ok);
    f.Grid->AjustarFbSinalizarArrasto(true);
    QMimeData data;
    data.setText(QStringLiteral("x"));
    QVERIFY(SendDragEnter(f.Grid.get(), data, RowPoint(f.Grid.get(), 2)));
    SendDragMove(f.Grid.get(), data, RowPoint(f.Grid.get(), 2));
    QCOMPARE(f.Grid->Marcador().Linha, 2);
    const int below = f.Grid->rowViewportPosition(2) + f.Grid->rowHeight(2) + 10;
    QVERIFY(below < f.Grid->viewport()->height());
    SendDragMove(f.Grid.get(), data, QPoint(40, below));
    QCOMPARE(f.Grid->Marcador().Linha, -1);
    QCOMPARE(f.Grid->Marcador().Estado, -1);
    QVERIFY(RedLines(f.Viewport()).isEmpty());

    // Turning the marker off while shown removes it.
    SendDragMove(f.Grid.get(), data, RowPoint(f.Grid.get(), 0));
    QCOMPARE(f.Grid->Marcador().Estado, 0);
    f.Grid->AjustarFbSinalizarArrasto(false);
    QCOMPARE(f.Grid->Marcador().Estado, -1);
    QVERIFY(RedLines(f.Viewport()).isEmpty());
    SendDragLeave(f.Grid.get());
}

void TstDBGridKpr::noMarkerWhenOff()
{
    GridFixture f(10, QSize(420, 240));
    QVERIFY(f.Ok);
    // Data the model takes, so the base grid accepts the drag and every move reaches it.
    f.Grid->setDragDropMode(QAbstractItemView::DropOnly);
    QMimeData data;
    data.setData(f.Model->mimeTypes().value(0), QByteArray());
    DragMoveCounter counter(f.Grid->viewport());
    QVERIFY(SendDragEnter(f.Grid.get(), data, RowPoint(f.Grid.get(), 0)));
    for (int ordinal : {0, 1, 2}) {
        SendDragMove(f.Grid.get(), data, RowPoint(f.Grid.get(), ordinal));
        QCOMPARE(counter.Count, ordinal + 1);
        QCOMPARE(f.Grid->Marcador().Linha, -1);
        QCOMPARE(f.Grid->Marcador().Estado, -1);
        QVERIFY(RedLines(f.Viewport()).isEmpty());
    }
    SendDragLeave(f.Grid.get());
}

// Each row: bMarcaLinhaAtiva, rows selected (the first is also current), whether row 1 shows
// the selection colour.
void TstDBGridKpr::highlight_data()
{
    QTest::addColumn<bool>("marca");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("highlighted");
    QTest::newRow("marked, current row") << true << QList<int>{1} << true;
    QTest::newRow("unmarked, current row") << false << QList<int>{1} << false;
    QTest::newRow("unmarked, in multi-selection") << false << QList<int>{1, 3} << true;
    QTest::newRow("unmarked, current outside multi-selection")
        << false << QList<int>{2, 3} << false;
}

void TstDBGridKpr::highlight()
{
    QFETCH(bool, marca);
    QFETCH(QList<int>, selected);
    QFETCH(bool, highlighted);
    GridFixture f(10, QSize(420, 240));
    QVERIFY(f.Ok);
    f.Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    f.Grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    f.Grid->AjustarFbMarcaLinhaAtiva(marca);
    f.Grid->setFocus();
    QItemSelectionModel *selection = f.Grid->selectionModel();
    selection->setCurrentIndex(f.Model->index(1, 0), QItemSelectionModel::NoUpdate);
    selection->clearSelection();
    for (int row : selected) {
        selection->select(f.Model->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // A pixel right of the text in the first column: row 0 (never selected) shows the base.
    const QImage image = f.Viewport();
    const int x = f.Grid->columnViewportPosition(0) + f.Grid->columnWidth(0) - 5;
    const auto pixel = [&](int row) {
        return image.pixelColor(x, f.Grid->rowViewportPosition(row) + f.Grid->rowHeight(row) / 2);
    };
    const QPalette palette = f.Grid->palette();
    // The style may shade the selection slightly; near the highlight colour counts.
    const auto near = [](QColor a, QColor b) {
        return qAbs(a.red() - b.red()) <= 8 && qAbs(a.green() - b.green()) <= 8 &&
               qAbs(a.blue() - b.blue()) <= 8;
    };
    const bool isHighlight = near(pixel(1), palette.color(QPalette::Active, QPalette::Highlight)) ||
                             near(pixel(1), palette.color(QPalette::Inactive, QPalette::Highlight));
    QCOMPARE(isHighlight, highlighted);
    QCOMPARE(pixel(1) == pixel(0), !highlighted);
}

void TstDBGridKpr::mouseAndScrollEvents()
{
    GridFixture f(40, QSize(420, 200));
    QVERIFY(f.Ok);
    struct Click {
        QObject *sender;
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        int x, y;
    };
    QList<Click> clicks;
    QList<QObject *> scrolls;
    f.Grid->OnCliqueDoMouse = [&](QObject *sender, Qt::MouseButton button,
                                  Qt::KeyboardModifiers modifiers, int x, int y) {
        clicks.append({sender, button, modifiers, x, y});
    };
    f.Grid->OnDepoisScroll = [&](QObject *sender) { scrolls.append(sender); };
    f.Grid->setCurrentIndex(f.Model->index(4, 0));
    QCOMPARE(scrolls.size(), 1);

    const QPoint at = RowPoint(f.Grid.get(), 2);
    QTest::mousePress(f.Grid->viewport(), Qt::RightButton, Qt::ShiftModifier, at);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(clicks[0].sender, f.Grid.get());
    QCOMPARE(clicks[0].button, Qt::RightButton);
    QCOMPARE(clicks[0].modifiers, Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(clicks[0].x, at.x());
    QCOMPARE(clicks[0].y, at.y());
    QTest::mouseRelease(f.Grid->viewport(), Qt::RightButton, Qt::ShiftModifier, at);

    // Another column of the same row is no scroll; another row is.
    scrolls.clear();
    f.Grid->setCurrentIndex(f.Model->index(f.Grid->currentIndex().row(), 2));
    QCOMPARE(scrolls.size(), 0);
    f.Grid->setCurrentIndex(f.Model->index(f.Grid->currentIndex().row() + 1, 2));
    QCOMPARE(scrolls.size(), 1);
    QCOMPARE(scrolls[0], f.Grid.get());

    // Moving the shown rows is a scroll too.
    scrolls.clear();
    f.Grid->verticalScrollBar()->setValue(f.Grid->verticalScrollBar()->value() + 5);
    QCOMPARE(scrolls.size(), 1);

    // A move to a row out of view scrolls it in: still one scroll.
    scrolls.clear();
    const int top = f.Grid->rowAt(0);
    f.Grid->setCurrentIndex(f.Model->index(35, 1));
    QVERIFY(f.Grid->rowAt(0) > top);
    QCOMPARE(scrolls.size(), 1);
    // A move within the shown rows after it is one scroll as well.
    scrolls.clear();
    f.Grid->setCurrentIndex(f.Model->index(f.Grid->rowAt(0) + 1, 1));
    QCOMPARE(scrolls.size(), 1);
}

// Rows of other heights and a scrolled grid: the line sits under the row's real bottom and
// starts at the first data column.
void TstDBGridKpr::markerOnTheRealRowBottom()
{
    GridFixture f(10, QSize(200, 300));
    QVERIFY(f.Ok);
    f.Grid->setRowHeight(0, 3 * f.Grid->PegarLarguraPadraoDaLinha());
    f.Grid->setColumnWidth(1, 300);
    f.Grid->horizontalScrollBar()->setValue(40);
    f.Grid->AjustarFbSinalizarArrasto(true);
    QMimeData data;
    data.setText(QStringLiteral("x"));
    QVERIFY(SendDragEnter(f.Grid.get(), data, RowPoint(f.Grid.get(), 1)));
    for (int ordinal : {0, 1}) {
        SendDragMove(f.Grid.get(), data, RowPoint(f.Grid.get(), ordinal));
        const TDBGridKpr::TMarcadorArrasto m = f.Grid->Marcador();
        QCOMPARE(m.Linha, ordinal);
        QCOMPARE(m.Y, f.Grid->rowViewportPosition(ordinal) + f.Grid->rowHeight(ordinal));
        QCOMPARE(m.Esquerda, f.Grid->columnViewportPosition(0));
        QCOMPARE(m.Esquerda, -f.Grid->horizontalHeader()->offset());
        const QList<RedLine> lines = RedLines(f.Viewport());
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].y, m.Y);
    }
    SendDragLeave(f.Grid.get());
}

void TstDBGridKpr::dropSettingsRestored()
{
    GridFixture f(3, QSize(200, 100));
    QVERIFY(f.Ok);
    for (const bool before : {false, true}) {
        f.Grid->setAcceptDrops(before);
        f.Grid->viewport()->setAcceptDrops(before);
        f.Grid->AjustarFbSinalizarArrasto(true);
        QVERIFY(f.Grid->acceptDrops() && f.Grid->viewport()->acceptDrops());
        f.Grid->AjustarFbSinalizarArrasto(false);
        QCOMPARE(f.Grid->acceptDrops(), before);
        QCOMPARE(f.Grid->viewport()->acceptDrops(), before);
    }
}

// The grid draws with the application's style, also one set later, and still drops the
// highlight of the current row.
void TstDBGridKpr::followsTheApplicationStyle()
{
    GridFixture f(5, QSize(300, 150));
    QVERIFY(f.Ok);
    QCOMPARE(f.Grid->style(), QApplication::style());
    const QString antes = QApplication::style()->name();
    QApplication::setStyle(QStringLiteral("Windows"));
    QCOMPARE(f.Grid->style(), QApplication::style());
    QCOMPARE(f.Grid->style()->name(), QStringLiteral("windows"));
    f.Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    f.Grid->AjustarFbMarcaLinhaAtiva(false);
    f.Grid->setFocus();
    f.Grid->selectRow(1);
    const QImage image = f.Viewport();
    const int x = f.Grid->columnViewportPosition(0) + f.Grid->columnWidth(0) - 5;
    const auto pixel = [&](int row) {
        return image.pixelColor(x, f.Grid->rowViewportPosition(row) + f.Grid->rowHeight(row) / 2);
    };
    QCOMPARE(pixel(1), pixel(0));
    QApplication::setStyle(antes);
}

// Qt delivers the second press of a double click as a double-click event.
void TstDBGridKpr::doubleClickIsAPress()
{
    GridFixture f(5, QSize(300, 150));
    QVERIFY(f.Ok);
    int clicks = 0;
    f.Grid->OnCliqueDoMouse = [&](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        ++clicks;
    };
    const QPointF at(RowPoint(f.Grid.get(), 1));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, f.Grid->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(f.Grid->viewport(), &event);
    }
    QCOMPARE(clicks, 2);

    // A handler's exception stays in the grid's handler.
    f.Grid->OnCliqueDoMouse = [](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        throw Exception(QStringLiteral("falhou"));
    };
    QTest::ignoreMessage(QtWarningMsg, "TDBGridKpr::mousePressEvent: falhou");
    QTest::mousePress(f.Grid->viewport(), Qt::LeftButton, Qt::NoModifier, at.toPoint());
    QTest::mouseRelease(f.Grid->viewport(), Qt::LeftButton, Qt::NoModifier, at.toPoint());
}

void TstDBGridKpr::editTextCache()
{
    GridFixture f(5, QSize(420, 240));
    QVERIFY(f.Ok);
    const QModelIndex index = f.Model->index(3, 1);
    f.Grid->setCurrentIndex(index);
    f.Grid->edit(index);
    QLineEdit *editor = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((editor = f.Grid->viewport()->findChild<QLineEdit *>()) != nullptr,
                             2000);
    QCOMPARE(f.Grid->EditText(), QStringLiteral("nome3"));

    editor->setText(QStringLiteral("novo nome"));
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits on Return through a queued call.
    QTRY_COMPARE_WITH_TIMEOUT(f.Grid->EditText(), QStringLiteral("novo nome"), 2000);
    QCOMPARE(f.Model->data(index).toString(), QStringLiteral("novo nome"));

    // The programmatic pair keeps the member too.
    const QModelIndex other = f.Model->index(1, 1);
    QCOMPARE(f.Grid->GetEditText(other), QStringLiteral("nome1"));
    QCOMPARE(f.Grid->EditText(), QStringLiteral("nome1"));
    f.Grid->SetEditText(other, QStringLiteral("outro"));
    QCOMPARE(f.Grid->EditText(), QStringLiteral("outro"));
    QCOMPARE(f.Model->data(other).toString(), QStringLiteral("outro"));
}

QTEST_MAIN(TstDBGridKpr)
#include "tst_dbgridkpr.moc"
