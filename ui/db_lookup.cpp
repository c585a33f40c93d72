#include "ui/db_controls.h"

#include "data/data_error.h"
#include "data/data_source.h"
#include "data/dataset.h"
#include "data/value_text.h"
#include "ui/error_guard.h"
#include "ui/grid_model.h"

#include <QFocusEvent>

namespace {

// The looked-in rows as a one-column list of the shown field, read as the list scrolls.
GridModel *lookupModel(Dataset *dataset, const QString &displayField, QObject *parent)
{
    const Dataset::Lookup &lookup = dataset->lookupDef(displayField);
    return new GridModel(lookup.lookIn, {GridColumn{QString(), lookup.result}}, parent);
}

// The row that shows the key field's value: the first of the looked-in view that matches it; -1 when
// none does (an empty or dangling key).
int keyRow(const Dataset *dataset, const QString &displayField)
{
    try {
        const Dataset::Lookup &lookup = dataset->lookupDef(displayField);
        Dataset::Row row;
        if (!lookup.lookIn->findFirst(lookup.match, dataset->value(lookup.key), &row))
            return -1;
        return lookup.lookIn->positionOf(row.id);
    } catch (const DataError &) {
        return -1;
    }
}

// Choosing a row stores its matched value in the key field, beginning an edit of the row. Moving the
// looked-in cursor there first settles a row pending in that dataset, which may move the rows of its
// view: the chosen row is found again by identity, and a choice whose row has left is no choice.
bool storeChoice(Dataset *dataset, const QString &displayField, int row, bool moveLookIn, Messages &messages)
{
    bool stored = false;
    const bool ran = guarded(messages, [dataset, &displayField, row, moveLookIn, &stored] {
        const Dataset::Lookup &lookup = dataset->lookupDef(displayField);
        const QVariant matched = lookup.lookIn->valueAt(row, lookup.match);
        if (moveLookIn && !lookup.lookIn->gotoId(lookup.lookIn->idAt(row)))
            return;
        dataset->edit();
        dataset->setValue(lookup.key, matched);
        stored = true;
    });
    return ran && stored;
}

template <typename Control>
void follow(Control *control, Dataset *dataset, Dataset *lookIn, void (Control::*showKey)())
{
    // The list's model answers lookIn's reset first (it was connected first), so its rows are there.
    QObject::connect(lookIn, &Dataset::viewReset, control, showKey);
    QObject::connect(lookIn, &Dataset::lookupsChanged, control, showKey);
    QObject::connect(dataset, &Dataset::currentChanged, control, showKey);
    QObject::connect(dataset, &Dataset::lookupsChanged, control, showKey);
}

} // namespace

QString lookupTextIn(const Dataset &dataset, const QString &displayField, const Dataset &table)
{
    try {
        const Dataset::Lookup &lookup = dataset.lookupDef(displayField);
        Dataset::Row row;
        if (!table.findFirst(lookup.match, dataset.value(lookup.key), &row))
            return {};
        const QString text = ValueText::display(lookup.type, table.valueOf(row, lookup.result));
        return lookup.type == FieldType::Text ? text.left(lookup.width) : text;
    } catch (const DataError &) {
        return {};
    }
}

DBLookupListBox::DBLookupListBox(DataSource *source, const QString &displayField, Messages &messages,
                                 QWidget *parent)
    : QListView(parent)
    , m_dataset(source->dataset())
    , m_field(displayField)
    , m_messages(messages)
    , m_model(lookupModel(m_dataset, displayField, this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows of one height are not measured one by one, so a long list opens at once.
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_showing)
            return;
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (rows.isEmpty())
            showKey(); // a row cannot be unchosen: the key's row is shown again
        else
            choose(rows.first().row());
    });
    follow(this, m_dataset, lookIn(), &DBLookupListBox::showKey);
    showKey();
}

Dataset *DBLookupListBox::lookIn() const
{
    return m_dataset->lookupDef(m_field).lookIn;
}

void DBLookupListBox::showKey()
{
    const int row = keyRow(m_dataset, m_field);
    m_showing = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const QModelIndex index = m_model->index(row, 0);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    m_showing = false;
}

void DBLookupListBox::choose(int row)
{
    if (!storeChoice(m_dataset, m_field, row, false, m_messages)) {
        showKey();
        return;
    }
    Q_EMIT chosen(row);
}

void DBLookupListBox::focusInEvent(QFocusEvent *event)
{
    QListView::focusInEvent(event);
    if (!selectionModel()->hasSelection()) {
        m_showing = true;
        selectionModel()->clearCurrentIndex();
        m_showing = false;
    }
}

DBLookupComboBox::DBLookupComboBox(DataSource *source, const QString &displayField, Messages &messages,
                                   QWidget *parent)
    : QComboBox(parent)
    , m_dataset(source->dataset())
    , m_field(displayField)
    , m_messages(messages)
    , m_model(lookupModel(m_dataset, displayField, this))
{
    setEditable(false);
    setModel(m_model);
    // Sizing the box by its widest entry would read every row of the looked-in view.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    if (auto *list = qobject_cast<QListView *>(view()))
        list->setUniformItemSizes(true);
    // activated() comes only from the user: the key's own showing never stores anything.
    connect(this, &QComboBox::activated, this, [this](int row) {
        if (!m_showing)
            choose(row);
    });
    follow(this, m_dataset, lookIn(), &DBLookupComboBox::showKey);
    showKey();
}

Dataset *DBLookupComboBox::lookIn() const
{
    return m_dataset->lookupDef(m_field).lookIn;
}

void DBLookupComboBox::showOutsideViewFrom(Dataset *table)
{
    m_outsideView = table;
    connect(table, &Dataset::viewReset, this, &DBLookupComboBox::showKey);
    connect(table, &Dataset::lookupsChanged, this, &DBLookupComboBox::showKey);
    showKey();
}

void DBLookupComboBox::showKey()
{
    const int row = keyRow(m_dataset, m_field);
    m_showing = true;
    setCurrentIndex(row < count() ? row : -1);
    // A box that shows no row shows its placeholder.
    setPlaceholderText(currentIndex() < 0 && m_outsideView ? lookupTextIn(*m_dataset, m_field, *m_outsideView)
                                                           : QString());
    m_showing = false;
}

void DBLookupComboBox::choose(int row)
{
    if (!storeChoice(m_dataset, m_field, row, m_movesLookInCursor, m_messages)) {
        showKey();
        return;
    }
    Q_EMIT chosen(row);
}
