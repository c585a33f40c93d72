#include "ui/db_grid.h"

#include "data/data_error.h"
#include "data/data_source.h"
#include "data/dataset.h"
#include "ui/error_guard.h"
#include "ui/grid_delegates.h"
#include "ui/grid_header.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

DBGrid::DBGrid(DataSource *source, QVector<GridColumn> columns, Messages &messages, QWidget *parent)
    : QTableView(parent)
    , m_model(nullptr)
    , m_messages(messages)
{
    Dataset *dataset = source->dataset();
    const bool editable =
        std::any_of(columns.begin(), columns.end(), [](const GridColumn &c) { return !c.readOnly; });
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

void DBGrid::followCursor()
{
    if (m_moving)
        return;
    int row = -1;
    try {
        row = dataset()->recNo();
    } catch (const DataError &) {
        row = -1;
    }
    m_following = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const int column = std::max(currentIndex().column(), 0);
        const QModelIndex index = m_model->index(row, std::min(column, m_model->columnCount() - 1));
        selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    m_following = false;
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
        moved = guarded(m_messages, [this, row = current.row()] {
            if (dataset()->recNo() != row)
                dataset()->moveTo(row);
        });
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
    const bool moved = guarded(m_messages, [this, row = index.row()] {
        if (dataset()->recNo() != row)
            dataset()->moveTo(row);
    });
    if (moved)
        Q_EMIT rowDoubleClicked();
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
