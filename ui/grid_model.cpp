#include "ui/grid_model.h"

#include "data/data_error.h"
#include "data/dataset.h"

#include <QFont>

#include <algorithm>

#include <exception>

namespace {

QString messageOf(const std::exception &e)
{
    if (const auto *data = dynamic_cast<const DataError *>(&e))
        return data->message();
    return QString::fromUtf8(e.what());
}

// An index of this model's cells; views and testers also ask about others, which hold nothing.
bool isCell(const QAbstractItemModel *model, const QModelIndex &index, int rows, qsizetype columns)
{
    return index.isValid() && index.model() == model && !index.parent().isValid() && index.row() < rows &&
           index.column() < columns;
}

QFont boldFont()
{
    QFont font;
    font.setBold(true);
    return font;
}

} // namespace

GridModel::GridModel(Dataset *dataset, QVector<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_dataset(dataset)
    , m_columns(std::move(columns))
    , m_total(datasetRows())
    , m_rows(std::min(m_total, m_windowRows))
{
    connect(m_dataset, &Dataset::viewReset, this, &GridModel::resetRows);
    connect(m_dataset, &Dataset::currentChanged, this, &GridModel::onCurrentChanged);
    connect(m_dataset, &Dataset::lookupsChanged, this, &GridModel::allRowsChanged);
}

// The model is asked from paint events, where a store failure has nowhere to go; a view that
// cannot be read shows no rows, and the operation that broke the store reports it.
int GridModel::datasetRows() const
{
    try {
        return m_dataset->recordCount() + (m_dataset->state() == Dataset::State::Insert ? 1 : 0);
    } catch (const DataError &) {
        return 0;
    }
}

// The dataset has already changed when it says so. The views are told which rows came or went at
// the end and that every row may show something else, rather than that the model was reset: a reset
// makes a view forget its layout and measure its headers again, at every write to the table.
void GridModel::resetRows()
{
    setRows(datasetRows(), m_first);
    allRowsChanged();
}

void GridModel::setRows(int total, int first)
{
    m_total = total;
    m_first = std::clamp(first, 0, std::max(0, total - m_windowRows));
    const int rows = std::min(total - m_first, m_windowRows);
    if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    Q_EMIT windowChanged();
}

void GridModel::setWindowRows(int rows)
{
    m_windowRows = std::max(rows, 1);
    resetRows();
}

int GridModel::modelRow(int datasetRow) const
{
    const int row = datasetRow - m_first;
    return row >= 0 && row < m_rows ? row : -1;
}

bool GridModel::moveWindow(int first)
{
    const int before = m_first;
    setRows(m_total, first);
    if (m_first == before)
        return false;
    allRowsChanged();
    return true;
}

void GridModel::onCurrentChanged()
{
    if (datasetRows() != m_total) {
        resetRows();
        return;
    }
    int current = -1;
    try {
        current = modelRow(m_dataset->recNo());
    } catch (const DataError &) {
        return;
    }
    if (current >= 0 && !m_columns.isEmpty())
        Q_EMIT dataChanged(index(current, 0), index(current, int(m_columns.size()) - 1));
}

void GridModel::allRowsChanged()
{
    if (m_rows > 0 && !m_columns.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, int(m_columns.size()) - 1));
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!isCell(this, index, m_rows, m_columns.size()))
        return {};
    const GridColumn &column = m_columns.at(index.column());
    try {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_dataset->textAt(datasetRow(index.row()), column.field);
        case ValueRole:
            return m_dataset->valueAt(datasetRow(index.row()), column.field);
        case Qt::TextAlignmentRole:
            return column.alignment.toInt();
        case Qt::FontRole:
            return column.bold ? QVariant(boldFont()) : QVariant();
        default:
            return {};
        }
    } catch (const DataError &) {
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn &column = m_columns.at(section);
    switch (role) {
    case Qt::DisplayRole:
        return column.title;
    case Qt::TextAlignmentRole:
        return column.titleAlignment.toInt();
    case Qt::FontRole:
        return column.boldTitle ? QVariant(boldFont()) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!isCell(this, index, m_rows, m_columns.size()))
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return m_columns.at(index.column()).readOnly ? flags : flags | Qt::ItemIsEditable;
}

// The key value that a display-field column's choice stands for: the matched field of the chosen
// looked-in row, or of the first row whose shown text is the chosen text; empty text clears it.
bool GridModel::resolveLookup(const GridColumn &column, const QVariant &value, int role, QVariant *key) const
{
    const Dataset::Lookup &lookup = m_dataset->lookupDef(column.field);
    int row = -1;
    if (role == LookInRowRole) {
        row = value.toInt();
    } else {
        const QString text = value.toString();
        if (text.isEmpty()) {
            *key = QVariant();
            return true;
        }
        const int count = lookup.lookIn->recordCount();
        for (int i = 0; i < count && row < 0; ++i) {
            if (lookup.lookIn->textAt(i, lookup.result) == text)
                row = i;
        }
    }
    if (row < 0 || row >= lookup.lookIn->recordCount())
        return false;
    *key = lookup.lookIn->valueAt(row, lookup.match);
    return true;
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!(flags(index) & Qt::ItemIsEditable) || (role != Qt::EditRole && role != LookInRowRole))
        return false;
    const GridColumn &column = m_columns.at(index.column());
    try {
        const bool lookup = m_dataset->isLookup(column.field);
        QVariant key;
        if (lookup ? !resolveLookup(column, value, role, &key) : role != Qt::EditRole)
            return false;
        if (datasetRow(index.row()) != m_dataset->recNo())
            m_dataset->moveTo(datasetRow(index.row()));
        m_dataset->edit();
        if (lookup)
            m_dataset->setValue(m_dataset->lookupDef(column.field).key, key);
        else
            m_dataset->setText(column.field, value.toString());
        return true;
    } catch (const std::exception &e) {
        Q_EMIT editFailed(messageOf(e));
        return false;
    }
}
