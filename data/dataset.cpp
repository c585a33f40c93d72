#include "data/dataset.h"

#include "data/data_error.h"
#include "data/database.h"
#include "data/dataset_view.h"
#include "data/field_editor.h"
#include "data/row_writer.h"
#include "data/schema.h"
#include "data/value_text.h"

#include <algorithm>

namespace {

const QString NotEditing = QStringLiteral("Dataset not in edit or insert mode");
const QString EmptyDataset = QStringLiteral("Cannot perform this operation on an empty dataset");

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

DataError fieldNotFound(const QString &field)
{
    return DataError(QStringLiteral("Field '%1' not found").arg(field));
}

} // namespace

Dataset::Dataset(Database &db, const QString &tablePath, QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_table(Schema::table(tablePath))
{
    m_view = std::make_unique<DatasetView>(m_db, m_table);
    m_changed.fill(false, m_table.fields.size());
    connect(&m_db, &Database::tableWritten, this, &Dataset::onTableWritten);
}

Dataset::~Dataset() = default;

// ---- fields -------------------------------------------------------------------------------------

void Dataset::addLookup(const Lookup &lookup)
{
    Q_ASSERT(lookup.lookIn);
    m_lookups.add(lookup);
    m_fieldIndexes.clear();
    if (lookup.lookIn != this) {
        connect(lookup.lookIn, &Dataset::viewReset, this, &Dataset::onLookupSourceChanged,
                Qt::UniqueConnection);
        connect(lookup.lookIn, &Dataset::lookupsChanged, this, &Dataset::onLookupSourceChanged,
                Qt::UniqueConnection);
    }
}

int Dataset::storedIndex(const QString &field) const
{
    return fieldIndexes(field).first;
}

int Dataset::lookupIndex(const QString &field) const
{
    return fieldIndexes(field).second;
}

std::pair<int, int> Dataset::fieldIndexes(const QString &field) const
{
    auto found = m_fieldIndexes.constFind(field);
    if (found == m_fieldIndexes.cend())
        found = m_fieldIndexes.insert(field, {m_table.indexOf(field), m_lookups.indexOf(field)});
    return *found;
}

bool Dataset::hasField(const QString &name) const
{
    return storedIndex(name) >= 0 || lookupIndex(name) >= 0;
}

bool Dataset::isLookup(const QString &name) const
{
    return storedIndex(name) < 0 && lookupIndex(name) >= 0;
}

const Dataset::Lookup &Dataset::lookupDef(const QString &name) const
{
    const int index = lookupIndex(name);
    if (index < 0)
        throw fieldNotFound(name);
    return m_lookups.at(index);
}

FieldType Dataset::fieldType(const QString &name) const
{
    const int stored = storedIndex(name);
    if (stored >= 0)
        return m_table.field(stored).type;
    return lookupDef(name).type;
}

int Dataset::fieldWidth(const QString &name) const
{
    const int stored = storedIndex(name);
    if (stored >= 0)
        return m_table.field(stored).type == FieldType::Text ? m_table.field(stored).width : 0;
    const Lookup &lookup = lookupDef(name);
    return lookup.type == FieldType::Text ? lookup.width : 0;
}

// ---- the view -----------------------------------------------------------------------------------

SqlCondition Dataset::viewCondition() const
{
    SqlCondition condition = m_filtered ? m_filterCondition : SqlCondition();
    if (m_master) {
        if (m_masterKey.isNull())
            return {QStringLiteral("0"), {}};
        const FieldDef &detail = m_table.field(storedIndex(m_detailField));
        condition = condition && SqlCondition{quoted(detail.name) + QStringLiteral(" = ?"),
                                              {Filter::storeValue(detail, m_masterKey)}};
    }
    return condition;
}

int Dataset::recordCount() const
{
    return m_view->count();
}

bool Dataset::isEmpty() const
{
    return m_state != State::Insert && recordCount() == 0;
}

int Dataset::recNo() const
{
    if (m_state == State::Insert)
        return recordCount();
    return m_view->currentPosition();
}

qint64 Dataset::currentId() const
{
    if (m_state == State::Insert)
        return 0;
    return m_view->currentId();
}

int Dataset::positionOf(qint64 id) const
{
    return m_view->positionOf(id);
}

qint64 Dataset::idAt(int position) const
{
    return m_view->idAt(position);
}

bool Dataset::currentRow(Row *row) const
{
    const int position = m_view->currentPosition();
    return position >= 0 && m_view->rowAt(position, row);
}

qint64 Dataset::viewBytes() const
{
    return m_view->bytes();
}

// ---- moving -------------------------------------------------------------------------------------

void Dataset::moveTo(int position)
{
    settle();
    const int count = recordCount();
    if (count == 0)
        return;
    const qint64 id = idAt(std::clamp(position, 0, count - 1));
    if (id == 0)
        return;
    m_view->setCurrent(id);
    Q_EMIT currentChanged();
}

void Dataset::first()
{
    moveTo(0);
}

void Dataset::last()
{
    settle();
    moveTo(recordCount() - 1);
}

void Dataset::next()
{
    settle();
    const int position = recNo();
    if (position >= 0 && position + 1 < recordCount())
        moveTo(position + 1);
}

void Dataset::prior()
{
    settle();
    const int position = recNo();
    if (position > 0)
        moveTo(position - 1);
}

bool Dataset::locate(const QString &field, const QVariant &value)
{
    settle();
    Row row;
    if (!findFirst(field, value, &row))
        return false;
    m_view->setCurrent(row.id);
    Q_EMIT currentChanged();
    return true;
}

bool Dataset::gotoId(qint64 id)
{
    settle();
    if (positionOf(id) < 0)
        return false;
    m_view->setCurrent(id);
    Q_EMIT currentChanged();
    return true;
}

// ---- editing ------------------------------------------------------------------------------------

bool Dataset::isModified() const
{
    return m_state != State::Browse &&
           std::any_of(m_changed.begin(), m_changed.end(), [](bool c) { return c; });
}

void Dataset::requireEditing() const
{
    if (m_state == State::Browse)
        throw DataError(NotEditing);
}

// A pending row is stored when something was set in it and dropped when nothing was. The details'
// pending rows go first: a detail that cannot store its row stops the master where it is, so that
// the two never show rows of different masters.
void Dataset::settle()
{
    settleDetails();
    if (m_state == State::Browse)
        return;
    updateRecord();
    if (isModified())
        post();
    else
        cancel();
}

void Dataset::settleDetails()
{
    const QList<QPointer<Dataset>> details = m_details;
    for (const QPointer<Dataset> &detail : details) {
        if (detail)
            detail->settle();
    }
}

void Dataset::append()
{
    settle();
    m_pending = Row{0, QVector<QVariant>(m_table.fields.size())};
    m_changed.fill(false);
    if (m_master && !m_masterKey.isNull())
        m_pending.values[storedIndex(m_detailField)] =
            ValueText::coerce(m_table.field(storedIndex(m_detailField)), m_masterKey);
    m_state = State::Insert;
    Q_EMIT stateChanged();
    emitReset();
}

void Dataset::edit()
{
    if (m_state != State::Browse)
        return;
    if (recordCount() == 0) {
        append();
        return;
    }
    Row row;
    if (!currentRow(&row))
        throw DataError(EmptyDataset);
    m_pending = row;
    m_changed.fill(false);
    m_state = State::Edit;
    Q_EMIT stateChanged();
}

// The stored row becomes the current one; if the view does not let it through, the row that
// followed it takes its place (after a new row: the last one).
void Dataset::post()
{
    requireEditing();
    settleDetails();
    updateRecord();
    qint64 id = m_pending.id;
    if (m_state == State::Insert)
        id = RowWriter::insert(m_db, m_table, m_pending.values);
    else
        RowWriter::update(m_db, m_table, m_pending, m_changed);
    m_state = State::Browse;
    m_pending = Row();
    m_changed.fill(false);
    m_view->setCurrent(id);
    Q_EMIT stateChanged();
    m_db.notifyWritten(m_table.name, this);
}

void Dataset::cancel()
{
    if (m_state == State::Browse)
        return;
    const bool wasInsert = m_state == State::Insert;
    m_state = State::Browse;
    m_pending = Row();
    m_changed.fill(false);
    Q_EMIT stateChanged();
    if (wasInsert)
        emitReset();
    else
        Q_EMIT currentChanged();
}

bool Dataset::cancelEditOfDeletedRow()
{
    if (m_state != State::Edit)
        return false;
    bool stored = false;
    m_db.select(QStringLiteral("SELECT \"Id\" FROM \"%1\" WHERE \"Id\" = ?").arg(m_table.name),
                {m_pending.id}, [&](const StoreRow &) { stored = true; });
    if (stored)
        return false;
    cancel();
    return true;
}

void Dataset::deleteRecord()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    settleDetails();
    qint64 id = 0;
    if (m_state == State::Edit) {
        id = m_pending.id;
    } else {
        if (recordCount() == 0)
            throw DataError(EmptyDataset);
        id = currentId();
    }
    RowWriter::remove(m_db, m_table, id);
    const bool wasEditing = m_state == State::Edit;
    m_state = State::Browse;
    m_pending = Row();
    m_changed.fill(false);
    // The view follows the deletion: the row that followed takes the deleted row's place.
    m_view->setCurrent(id);
    if (wasEditing)
        Q_EMIT stateChanged();
    m_db.notifyWritten(m_table.name, this);
}

bool Dataset::deleteId(qint64 id)
{
    if (!RowWriter::remove(m_db, m_table, id))
        return false;
    if (m_state == State::Edit && m_pending.id == id)
        cancel();
    // Every dataset over the table, this one included, follows the deleted row.
    m_db.notifyWritten(m_table.name);
    return true;
}

void Dataset::updateRecord()
{
    if (m_state == State::Browse)
        return;
    const QVector<FieldEditor *> editors = m_editors;
    for (FieldEditor *editor : editors)
        editor->updateRecord();
}

void Dataset::addEditor(FieldEditor *editor)
{
    if (!m_editors.contains(editor))
        m_editors << editor;
}

void Dataset::removeEditor(FieldEditor *editor)
{
    m_editors.removeAll(editor);
}

void Dataset::refresh()
{
    settle();
    m_view->reload();
    emitReset();
}

// ---- values -------------------------------------------------------------------------------------

QVariant Dataset::valueOf(const Row &row, const QString &field) const
{
    const int stored = storedIndex(field);
    if (stored >= 0)
        return row.values.value(stored);
    const int lookup = lookupIndex(field);
    if (lookup < 0)
        throw fieldNotFound(field);
    return m_lookups.value(lookup, valueOf(row, m_lookups.at(lookup).key));
}

// The value as the store compares it in a stored field; null for a value of another kind, which
// matches nothing.
QVariant Dataset::matchKey(int stored, const QVariant &value) const
{
    if (value.isNull())
        return {};
    try {
        return Filter::storeValue(m_table.field(stored), ValueText::coerce(m_table.field(stored), value));
    } catch (const DataError &) {
        return {};
    }
}

bool Dataset::findFirst(const QString &field, const QVariant &value, Row *row) const
{
    const int stored = storedIndex(field);
    if (stored < 0)
        throw fieldNotFound(field);
    const QVariant key = matchKey(stored, value);
    return !key.isNull() && m_view->findFirst(stored, key, row);
}

QVector<Dataset::Row> Dataset::findEach(const QString &field, const QVariantList &values) const
{
    const int stored = storedIndex(field);
    if (stored < 0)
        throw fieldNotFound(field);
    QVariantList keys;
    for (const QVariant &value : values)
        keys << matchKey(stored, value);
    return m_view->findEach(stored, keys);
}

void Dataset::prefetchDisplay(const QVector<Row> &rows, const QString &field) const
{
    const int index = lookupIndex(field);
    if (index >= 0 && storedIndex(field) < 0)
        m_lookups.prefetch(*this, rows, index);
}

QVariant Dataset::value(const QString &field) const
{
    if (m_state != State::Browse)
        return valueOf(m_pending, field);
    Row row;
    if (!currentRow(&row)) {
        if (!hasField(field))
            throw fieldNotFound(field);
        return {};
    }
    return valueOf(row, field);
}

QString Dataset::text(const QString &field) const
{
    return ValueText::display(fieldType(field), value(field));
}

QVariant Dataset::valueAt(int position, const QString &field) const
{
    if (m_state != State::Browse && position == recNo())
        return valueOf(m_pending, field);
    Row row;
    if (!m_view->rowAt(position, &row))
        return {};
    if (isLookup(field))
        prefetchWindow(position, lookupIndex(field));
    return valueOf(row, field);
}

// A grid asks a display field row by row; the rows around are looked up with it, at once.
void Dataset::prefetchWindow(int position, int lookup) const
{
    const int window = position / DisplayFields::WindowRows;
    if (!m_lookups.startWindow(window, lookup))
        return;
    QVector<Row> rows;
    Row row;
    const int end = std::min((window + 1) * DisplayFields::WindowRows, recordCount());
    for (int p = window * DisplayFields::WindowRows; p < end; ++p) {
        if (m_view->rowAt(p, &row))
            rows << row;
    }
    m_lookups.prefetch(*this, rows, lookup);
}

QString Dataset::textAt(int position, const QString &field) const
{
    return ValueText::display(fieldType(field), valueAt(position, field));
}

void Dataset::setValue(const QString &field, const QVariant &value)
{
    requireEditing();
    const int stored = storedIndex(field);
    if (stored < 0) {
        if (lookupIndex(field) < 0)
            throw fieldNotFound(field);
        throw DataError(
            QStringLiteral("Поле «%1» нельзя изменить: оно показывает данные другой таблицы.").arg(field));
    }
    const FieldDef &def = m_table.field(stored);
    if (def.type == FieldType::AutoInc)
        throw DataError(
            QStringLiteral("Поле «%1» нельзя изменить: номер записи даёт база данных.").arg(field));
    m_pending.values[stored] = ValueText::coerce(def, value);
    m_changed[stored] = true;
    Q_EMIT currentChanged();
}

void Dataset::setText(const QString &field, const QString &text)
{
    const int stored = storedIndex(field);
    if (stored < 0) {
        setValue(field, text); // raises the right message
        return;
    }
    requireEditing();
    setValue(field, ValueText::parse(m_table.field(stored), text));
}

// ---- filter and master link ---------------------------------------------------------------------

// The view is read again and the cursor goes to its first row.
void Dataset::viewChanged()
{
    m_view->setCondition(viewCondition());
    emitReset();
}

void Dataset::setFilter(const QString &text)
{
    const SqlCondition condition = Filter::parse(text, m_table);
    if (!m_filtered) {
        m_filterText = text;
        m_filterCondition = condition;
        return;
    }
    settle();
    m_filterText = text;
    m_filterCondition = condition;
    viewChanged();
}

void Dataset::setFiltered(bool on)
{
    settle();
    m_filtered = on;
    viewChanged();
}

void Dataset::setMasterLink(Dataset *master, const QString &masterField, const QString &detailField)
{
    if (storedIndex(detailField) < 0)
        throw fieldNotFound(detailField);
    settle();
    if (m_master) {
        disconnect(m_master, nullptr, this, nullptr);
        m_master->m_details.removeAll(this);
    }
    m_master = master;
    m_masterField = masterField;
    m_detailField = detailField;
    m_masterKey = master ? master->value(masterField) : QVariant();
    if (master) {
        connect(master, &Dataset::currentChanged, this, &Dataset::onMasterChanged);
        master->m_details.append(this);
    }
    viewChanged();
}

void Dataset::onMasterChanged()
{
    const QVariant key = m_master->state() == State::Insert ? QVariant() : m_master->value(m_masterField);
    if (key == m_masterKey && key.isNull() == m_masterKey.isNull())
        return;
    // The master's own moves settled this row before they moved; what is left is a master row changed
    // under it by a write elsewhere. The detail follows its master even then: a row that cannot be
    // stored for the new master is dropped rather than shown among another master's rows.
    try {
        m_db.recoverable([this] { settle(); });
    } catch (const DataError &) {
        cancel();
    }
    m_masterKey = key;
    viewChanged();
}

// ---- notifications ------------------------------------------------------------------------------

void Dataset::emitReset()
{
    m_lookups.forgetWindows();
    Q_EMIT viewReset();
    Q_EMIT currentChanged();
}

// The view has already followed the rows that changed; the controls that show it are told here.
void Dataset::onTableWritten(const QString &table, const QObject *)
{
    if (table == m_table.name)
        emitReset();
}

void Dataset::onLookupSourceChanged()
{
    if (m_notifyingLookups)
        return;
    m_notifyingLookups = true;
    m_lookups.forgetWindows();
    Q_EMIT lookupsChanged();
    m_notifyingLookups = false;
}
