#include "ui/db_grid.h"

#include "data/data_error.h"
#include "data/data_source.h"
#include "data/dataset.h"
#include "ui/error_guard.h"
#include "ui/grid_delegates.h"
#include "ui/grid_header.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

DBGrid::DBGrid(DataSource *source, QVector<GridColumn> columns, Messages &messages, QWidget *parent)
    : QTableView(parent)
    , m_model(nullptr)
    , m_rowBar(new QScrollBar(Qt::Vertical))
    , m_messages(messages)
{
    Dataset *dataset = source->dataset();
    const bool editable =
        std::any_of(columns.begin(), columns.end(), [](const GridColumn &c) { return !c.readOnly; });
    setItemDelegate(new TextCellDelegate(this));
    for (int i = 0; i < columns.size(); ++i) {
        const GridColumn &column = columns.at(i);
        if (column.checkBox)
            setItemDelegateForColumn(i, new CheckBoxColumnDelegate(this));
        else if (!column.readOnly && dataset->isLookup(column.field))
            setItemDelegateForColumn(i, new LookupColumnDelegate(dataset, column.field, this));
    }
    auto *header = new GridHeader(this);
    header->setSectionsClickable(true); // as the toolkit's own header of a table
    setHorizontalHeader(header);
    m_model = new GridModel(dataset, std::move(columns), this);
    setModel(m_model);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid for the next control, as in every other control; arrows move between rows.
    setTabKeyNavigation(false);
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
    m_deletesOnCtrlDelete = editable;
    verticalHeader()->hide();
    // Rows as tall as their text (and a check glyph), not the style's roomy default.
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), indicator) + 8);
    horizontalHeader()->setHighlightSections(false);

    // The own scroll bar stands where the toolkit's would; its place is shown while the window is
    // taller than the grid, as the toolkit's would be.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem); // the toolkit's bar counts rows
    verticalScrollBar()->hide();
    addScrollBarWidget(m_rowBar, Qt::AlignTop);
    connect(m_rowBar, &QScrollBar::valueChanged, this, &DBGrid::showFromRow);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &DBGrid::syncRowBar);
    connect(m_model, &GridModel::windowChanged, this, &DBGrid::syncRowBar);

    // The model answers the dataset's signals first (it was connected first), so the rows are
    // there when the grid follows the cursor.
    connect(dataset, &Dataset::currentChanged, this, &DBGrid::followCursor);
    // Shown once the commit that failed is over, not from inside the view's own editing.
    connect(
        m_model, &GridModel::editFailed, this, [this](const QString &message) { m_messages.error(message); },
        Qt::QueuedConnection);
    connect(this, &QAbstractItemView::doubleClicked, this, &DBGrid::onDoubleClicked);
    followCursor();
}

Dataset *DBGrid::dataset() const
{
    return m_model->dataset();
}

void DBGrid::setWindowRows(int rows)
{
    finishEditing();
    m_model->setWindowRows(rows);
    followCursor();
}

int DBGrid::cursorRow() const
{
    try {
        return dataset()->recNo();
    } catch (const DataError &) {
        return -1;
    }
}

void DBGrid::followCursor()
{
    if (m_moving)
        return;
    const int row = cursorRow();
    if (row >= 0 && m_model->modelRow(row) < 0)
        bringIntoWindow(row);
    selectCursorRow(true);
}

// The dataset's row selected when the window holds it; nothing selected when it does not.
void DBGrid::selectCursorRow(bool scrollToIt)
{
    const int row = m_model->modelRow(cursorRow());
    m_following = true;
    if (row >= 0) {
        const int column = std::max(currentIndex().column(), 0);
        const QModelIndex index = m_model->index(row, std::min(column, m_model->columnCount() - 1));
        selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        if (scrollToIt)
            scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    m_following = false;
}

// The window moved so that it holds the dataset's row `row` near its middle. An open cell editor
// belongs to a row of the window, so it is closed first, its text committed to its own row.
void DBGrid::bringIntoWindow(int row)
{
    finishEditing();
    if (m_model->moveWindow(row - m_model->windowRows() / 2))
        selectCursorRow(false);
}

// The shown scroll bar moved: the view scrolls within its window, or the window moves first.
void DBGrid::showFromRow(int top)
{
    QScrollBar *within = verticalScrollBar();
    if (top - m_model->firstRow() < 0 || top - m_model->firstRow() > within->maximum())
        bringIntoWindow(top + within->pageStep() / 2);
    within->setValue(top - m_model->firstRow());
    syncRowBar();
}

// The toolkit sets its bar's range and page here, the page after the range, with no signal of it.
void DBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    syncRowBar();
}

void DBGrid::syncRowBar()
{
    const QScrollBar *within = verticalScrollBar();
    const QSignalBlocker quiet(m_rowBar);
    m_rowBar->setRange(0, within->maximum() + m_model->totalRows() - m_model->rowCount());
    m_rowBar->setSingleStep(within->singleStep());
    m_rowBar->setPageStep(within->pageStep());
    m_rowBar->setValue(m_model->firstRow() + within->value());
}

void DBGrid::finishEditing()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

// The row keys count from the dataset's row over every row, wherever the window stands; the other
// keys move within the row, as the toolkit does.
QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const int total = m_model->totalRows();
    const int cursor = cursorRow();
    if (total == 0 || cursor < 0)
        return QTableView::moveCursor(action, modifiers);
    if (m_model->modelRow(cursor) < 0)
        bringIntoWindow(cursor);
    const int page = std::max(1, viewport()->height() / std::max(1, rowHeight(0)));
    const bool control = modifiers & Qt::ControlModifier;
    std::optional<int> target;
    switch (action) {
    case MoveUp:
        target = cursor - 1;
        break;
    case MoveDown:
        target = cursor + 1;
        break;
    case MovePageUp:
        target = cursor - page;
        break;
    case MovePageDown:
        target = cursor + page;
        break;
    case MoveHome:
        if (control)
            target = 0;
        break;
    case MoveEnd:
        if (control)
            target = total - 1;
        break;
    default:
        break;
    }
    if (!target)
        return QTableView::moveCursor(action, modifiers);
    const int row = std::clamp(*target, 0, total - 1);
    if (m_model->modelRow(row) < 0)
        bringIntoWindow(row);
    return m_model->index(m_model->modelRow(row), std::max(currentIndex().column(), 0));
}

void DBGrid::wheelEvent(QWheelEvent *event)
{
    if (event->angleDelta().y() == 0) {
        QTableView::wheelEvent(event);
        return;
    }
    QCoreApplication::sendEvent(m_rowBar, event);
}

void DBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (m_following) {
        QTableView::currentChanged(current, previous);
        return;
    }
    // An open cell editor commits to its own row (the base class does it) before the cursor moves.
    m_moving = true;
    QTableView::currentChanged(current, previous);
    bool moved = true;
    if (current.isValid() && current.row() != previous.row()) {
        moved = moveDatasetTo(m_model->datasetRow(current.row()));
    }
    m_moving = false;
    if (moved)
        followCursor();
    // Once more when the click or key that chose the row has finished selecting: the move may have
    // failed (the grid goes back to the row that could not be left) or re-read the view.
    QMetaObject::invokeMethod(this, &DBGrid::followCursor, Qt::QueuedConnection);
}

// Tab in a cell editor ends the edit and leaves the grid, as Tab does from the grid itself, rather
// than opening the next cell's editor.
void DBGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool leaving =
        hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
    QTableView::closeEditor(editor, leaving ? QAbstractItemDelegate::NoHint : hint);
    if (leaving)
        focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
}

void DBGrid::onDoubleClicked(const QModelIndex &index)
{
    // A double click on a cell that edits opens its editor and is not a double click on the row.
    if (m_model->flags(index) & Qt::ItemIsEditable)
        return;
    if (moveDatasetTo(m_model->datasetRow(index.row())))
        Q_EMIT rowDoubleClicked();
}

bool DBGrid::moveDatasetTo(int row)
{
    const auto move = [this, row] {
        if (dataset()->recNo() != row)
            dataset()->moveTo(row);
    };
    if (guarded(m_messages, move))
        return true;
    // A row edited here that another workstation deleted can never be stored: once the refusal has
    // been shown, the edit goes and the cursor moves on, instead of every later move refusing again.
    // Whatever else refused the move has been said; a store that cannot answer here drops nothing.
    bool dropped = false;
    try {
        dropped = dataset()->cancelEditOfDeletedRow();
    } catch (const DataError &) {
    }
    return dropped && guarded(m_messages, move);
}

void DBGrid::keyPressEvent(QKeyEvent *event)
{
    if (m_deletesOnCtrlDelete && event->key() == Qt::Key_Delete &&
        event->modifiers() == Qt::ControlModifier) {
        event->accept();
        guarded(m_messages, [this] {
            if (!dataset()->isEmpty() &&
                m_messages.confirm(QStringLiteral("Delete record?")) == Messages::Answer::Yes)
                dataset()->deleteRecord();
        });
        return;
    }
    QTableView::keyPressEvent(event);
}
