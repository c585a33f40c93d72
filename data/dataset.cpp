#include "data/dataset.h"

#include "data/data_error.h"
#include "data/database.h"
#include "data/field_editor.h"
#include "data/schema.h"
#include "data/value_text.h"

#include <QSqlQuery>

#include <algorithm>

namespace {

constexpr int PageSize = 128;
constexpr int MaxCachedPages = 256;
constexpr int MaxCachedLookups = 20000;

const QString NotEditing = QStringLiteral("Dataset not in edit or insert mode");
const QString EmptyDataset = QStringLiteral("Cannot perform this operation on an empty dataset");

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QVariant fromStore(FieldType type, const QVariant &raw)
{
    if (raw.isNull())
        return {};
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return raw.toLongLong();
    case FieldType::Number:
        return raw.toDouble();
    case FieldType::Logical:
        return raw.toLongLong() != 0;
    case FieldType::Date:
        return QDate::fromString(raw.toString(), Qt::ISODate);
    case FieldType::Time:
        return QTime::fromString(raw.toString(), QStringLiteral("HH:mm:ss"));
    case FieldType::Text:
        return raw.toString();
    case FieldType::Blob:
        return raw.toByteArray();
    }
    return raw;
}

} // namespace

Dataset::Dataset(Database &db, const QString &tablePath, QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_table(Schema::table(tablePath))
{
    // Opening: the table must be there and readable.
    QSqlQuery probe =
        m_db.prepare(QStringLiteral("SELECT %1 FROM %2 LIMIT 0").arg(selectColumns(), quoted(m_table.name)));
    Database::exec(probe);
    m_changed.fill(false, m_table.fields.size());
    connect(&m_db, &Database::tableWritten, this, &Dataset::onTableWritten);
}

// ---- fields -------------------------------------------------------------------------------------

void Dataset::addLookup(const Lookup &lookup)
{
    Q_ASSERT(lookup.lookIn);
    m_lookups << lookup;
    if (lookup.lookIn != this) {
        connect(lookup.lookIn, &Dataset::viewReset, this, &Dataset::onLookupSourceChanged,
                Qt::UniqueConnection);
        connect(lookup.lookIn, &Dataset::lookupsChanged, this, &Dataset::onLookupSourceChanged,
                Qt::UniqueConnection);
    }
}

int Dataset::storedIndex(const QString &field) const
{
    return m_table.indexOf(field);
}

int Dataset::lookupIndex(const QString &field) const
{
    for (int i = 0; i < m_lookups.size(); ++i) {
        if (m_lookups.at(i).name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
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
        throw DataError(QStringLiteral("Field '%1' not found").arg(name));
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

// ---- reading the view ---------------------------------------------------------------------------

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

QString Dataset::selectColumns() const
{
    QStringList columns;
    for (const FieldDef &f : m_table.fields)
        columns << quoted(f.name);
    return columns.join(QStringLiteral(", "));
}

Dataset::Row Dataset::rowFromQuery(const QSqlQuery &query) const
{
    Row row;
    row.values.resize(m_table.fields.size());
    for (int i = 0; i < m_table.fields.size(); ++i)
        row.values[i] = fromStore(m_table.field(i).type, query.value(i));
    row.id = row.values.at(0).toLongLong();
    return row;
}

QVector<Dataset::Row> Dataset::fetch(const QString &sqlTail, const QVariantList &values) const
{
    QSqlQuery query = m_db.prepare(
        QStringLiteral("SELECT %1 FROM %2 %3").arg(selectColumns(), quoted(m_table.name), sqlTail));
    for (const QVariant &v : values)
        query.addBindValue(v);
    Database::exec(query);
    QVector<Row> rows;
    while (query.next())
        rows << rowFromQuery(query);
    return rows;
}

int Dataset::recordCount() const
{
    if (m_count < 0) {
        const SqlCondition c = viewCondition();
        QSqlQuery query = m_db.prepare(
            QStringLiteral("SELECT COUNT(*) FROM %1%2")
                .arg(quoted(m_table.name), c.isEmpty() ? QString() : QStringLiteral(" WHERE ") + c.sql));
        for (const QVariant &v : c.values)
            query.addBindValue(v);
        Database::exec(query);
        m_count = query.next() ? query.value(0).toInt() : 0;
    }
    return m_count;
}

int Dataset::countBelow(qint64 id) const
{
    const SqlCondition c = viewCondition() && SqlCondition{QStringLiteral("\"Id\" < ?"), {id}};
    QSqlQuery query =
        m_db.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(quoted(m_table.name), c.sql));
    for (const QVariant &v : c.values)
        query.addBindValue(v);
    Database::exec(query);
    return query.next() ? query.value(0).toInt() : 0;
}

// A page is PageSize consecutive rows of the view. Pages are read by key from a neighbour when
// one is at hand, else by offset from the nearer end, so scrolling years of orders stays cheap.
const QVector<Dataset::Row> &Dataset::page(int index) const
{
    if (const auto it = m_pages.constFind(index); it != m_pages.constEnd())
        return *it;
    if (m_pages.size() >= MaxCachedPages)
        m_pages.clear();

    const SqlCondition view = viewCondition();
    const auto where = [&view](const SqlCondition &extra) {
        const SqlCondition c = view && extra;
        return std::pair{c.isEmpty() ? QString() : QStringLiteral("WHERE ") + c.sql, c.values};
    };
    QVector<Row> rows;
    const auto before = m_pages.constFind(index - 1);
    const auto after = m_pages.constFind(index + 1);
    if (index == 0) {
        const auto [clause, values] = where({});
        rows = fetch(QStringLiteral("%1 ORDER BY \"Id\" LIMIT %2").arg(clause).arg(PageSize), values);
    } else if (before != m_pages.constEnd() && before->size() == PageSize) {
        const auto [clause, values] = where({QStringLiteral("\"Id\" > ?"), {before->last().id}});
        rows = fetch(QStringLiteral("%1 ORDER BY \"Id\" LIMIT %2").arg(clause).arg(PageSize), values);
    } else if (after != m_pages.constEnd() && !after->isEmpty()) {
        const auto [clause, values] = where({QStringLiteral("\"Id\" < ?"), {after->first().id}});
        rows = fetch(QStringLiteral("%1 ORDER BY \"Id\" DESC LIMIT %2").arg(clause).arg(PageSize), values);
        std::reverse(rows.begin(), rows.end());
    } else {
        const int count = recordCount();
        const int start = index * PageSize;
        if (start < count) {
            const int length = std::min(PageSize, count - start);
            const auto [clause, values] = where({});
            if (start <= count / 2) {
                rows = fetch(QStringLiteral("%1 ORDER BY \"Id\" LIMIT %2 OFFSET %3")
                                 .arg(clause)
                                 .arg(length)
                                 .arg(start),
                             values);
            } else {
                rows = fetch(QStringLiteral("%1 ORDER BY \"Id\" DESC LIMIT %2 OFFSET %3")
                                 .arg(clause)
                                 .arg(length)
                                 .arg(count - start - length),
                             values);
                std::reverse(rows.begin(), rows.end());
            }
        }
    }
    return *m_pages.insert(index, rows);
}

bool Dataset::rowAt(int position, Row *row) const
{
    if (position < 0)
        return false;
    const QVector<Row> &rows = page(position / PageSize);
    const int offset = position % PageSize;
    if (offset >= rows.size())
        return false;
    *row = rows.at(offset);
    return true;
}

qint64 Dataset::idAt(int position) const
{
    Row row;
    return rowAt(position, &row) ? row.id : 0;
}

int Dataset::positionOf(qint64 id) const
{
    if (id <= 0)
        return -1;
    for (auto it = m_pages.constBegin(); it != m_pages.constEnd(); ++it) {
        const QVector<Row> &rows = *it;
        if (rows.isEmpty() || id < rows.first().id || id > rows.last().id)
            continue;
        const auto found = std::lower_bound(rows.begin(), rows.end(), id,
                                            [](const Row &r, qint64 value) { return r.id < value; });
        // A page holds consecutive rows of the view: an id within its range and not in it is not in the view.
        if (found == rows.end() || found->id != id)
            return -1;
        return it.key() * PageSize + int(found - rows.begin());
    }
    return contains(id) ? countBelow(id) : -1;
}

bool Dataset::contains(qint64 id) const
{
    const SqlCondition member = viewCondition() && SqlCondition{QStringLiteral("\"Id\" = ?"), {id}};
    QSqlQuery query =
        m_db.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(quoted(m_table.name), member.sql));
    for (const QVariant &v : member.values)
        query.addBindValue(v);
    Database::exec(query);
    return query.next();
}

void Dataset::ensurePosition() const
{
    if (m_anchor == Anchor::Exact)
        return;
    if (m_anchor == Anchor::Stale && m_currentId > 0) {
        const int position = positionOf(m_currentId);
        if (position >= 0) {
            m_currentPos = position;
            m_anchor = Anchor::Exact;
            return;
        }
        const int count = recordCount();
        m_currentPos = count == 0 ? -1 : std::min(countBelow(m_currentId), count - 1);
    } else {
        m_currentPos = 0;
    }
    m_currentId = idAt(m_currentPos);
    if (m_currentId == 0)
        m_currentPos = -1;
    m_anchor = Anchor::Exact;
}

bool Dataset::isEmpty() const
{
    return m_state != State::Insert && recordCount() == 0;
}

int Dataset::recNo() const
{
    if (m_state == State::Insert)
        return recordCount();
    ensurePosition();
    return m_currentPos;
}

qint64 Dataset::currentId() const
{
    if (m_state == State::Insert)
        return 0;
    ensurePosition();
    return m_currentId;
}

// ---- moving -------------------------------------------------------------------------------------

void Dataset::moveTo(int position)
{
    settle();
    const int count = recordCount();
    if (count == 0)
        return;
    position = std::clamp(position, 0, count - 1);
    const qint64 id = idAt(position);
    if (id == 0)
        return;
    m_currentId = id;
    m_currentPos = position;
    m_anchor = Anchor::Exact;
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
    m_currentId = row.id;
    m_anchor = Anchor::Stale;
    Q_EMIT currentChanged();
    return true;
}

bool Dataset::gotoId(qint64 id)
{
    settle();
    const int position = positionOf(id);
    if (position < 0)
        return false;
    m_currentId = id;
    m_currentPos = position;
    m_anchor = Anchor::Exact;
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

// A pending row is stored when something was set in it and dropped when nothing was.
void Dataset::settle()
{
    if (m_state == State::Browse)
        return;
    updateRecord();
    if (isModified())
        post();
    else
        cancel();
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
    ensurePosition();
    Row row;
    if (!rowAt(m_currentPos, &row))
        throw DataError(EmptyDataset);
    m_pending = row;
    m_changed.fill(false);
    m_state = State::Edit;
    Q_EMIT stateChanged();
}

void Dataset::post()
{
    requireEditing();
    updateRecord();
    const int countBefore = m_count;
    const int positionBefore = m_anchor == Anchor::Exact ? m_currentPos : -1;

    if (m_state == State::Insert) {
        QStringList columns, marks;
        for (int i = 1; i < m_table.fields.size(); ++i) {
            columns << quoted(m_table.field(i).name);
            marks << QStringLiteral("?");
        }
        QSqlQuery query = m_db.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                           .arg(quoted(m_table.name), columns.join(QStringLiteral(", ")),
                                                marks.join(QStringLiteral(", "))));
        for (int i = 1; i < m_table.fields.size(); ++i)
            query.addBindValue(Filter::storeValue(m_table.field(i), m_pending.values.at(i)));
        Database::exec(query);
        m_currentId = query.lastInsertId().toLongLong();
    } else {
        QStringList assignments;
        QVariantList values;
        for (int i = 1; i < m_table.fields.size(); ++i) {
            if (!m_changed.at(i))
                continue;
            assignments << quoted(m_table.field(i).name) + QStringLiteral(" = ?");
            values << Filter::storeValue(m_table.field(i), m_pending.values.at(i));
        }
        if (!assignments.isEmpty()) {
            QSqlQuery query =
                m_db.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE \"Id\" = ?")
                                 .arg(quoted(m_table.name), assignments.join(QStringLiteral(", "))));
            for (const QVariant &v : values)
                query.addBindValue(v);
            query.addBindValue(m_pending.id);
            Database::exec(query);
            if (query.numRowsAffected() == 0)
                throw DataError(QStringLiteral("Запись не найдена: её удалили, пока она редактировалась."));
        }
        m_currentId = m_pending.id;
    }
    const bool inserted = m_state == State::Insert;
    m_state = State::Browse;
    m_pending = Row();
    m_changed.fill(false);
    placeCursorAfterWrite(m_currentId, countBefore, inserted ? countBefore : positionBefore,
                          inserted ? 1 : 0);
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

void Dataset::deleteRecord()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    qint64 id = 0;
    if (m_state == State::Edit) {
        id = m_pending.id;
    } else {
        if (recordCount() == 0)
            throw DataError(EmptyDataset);
        id = currentId();
    }
    const int countBefore = m_count;
    const int positionBefore = m_anchor == Anchor::Exact ? m_currentPos : -1;
    QSqlQuery query =
        m_db.prepare(QStringLiteral("DELETE FROM %1 WHERE \"Id\" = ?").arg(quoted(m_table.name)));
    query.addBindValue(id);
    Database::exec(query);
    const bool wasEditing = m_state == State::Edit;
    m_state = State::Browse;
    m_pending = Row();
    m_changed.fill(false);
    // The row that followed takes the deleted row's place.
    placeCursorAfterWrite(id, countBefore, positionBefore, -1);
    if (wasEditing)
        Q_EMIT stateChanged();
    m_db.notifyWritten(m_table.name, this);
}

bool Dataset::deleteId(qint64 id)
{
    QSqlQuery query =
        m_db.prepare(QStringLiteral("DELETE FROM %1 WHERE \"Id\" = ?").arg(quoted(m_table.name)));
    query.addBindValue(id);
    Database::exec(query);
    if (query.numRowsAffected() == 0)
        return false;
    if (m_state == State::Edit && m_pending.id == id)
        cancel();
    // Every dataset over the table, this one included, finds its cursor again by identity.
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
    invalidate();
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
        throw DataError(QStringLiteral("Field '%1' not found").arg(field));
    return lookupValue(lookup, valueOf(row, m_lookups.at(lookup).key));
}

QVariant Dataset::lookupValue(int index, const QVariant &key) const
{
    if (key.isNull())
        return {};
    const QString cacheKey = QString::number(index) + QLatin1Char('\x1f') + key.toString();
    if (const auto it = m_lookupCache.constFind(cacheKey); it != m_lookupCache.constEnd())
        return *it;
    const Lookup &lookup = m_lookups.at(index);
    QVariant result;
    Row row;
    if (lookup.lookIn->findFirst(lookup.match, key, &row))
        result = lookup.lookIn->valueOf(row, lookup.result);
    if (!result.isNull()) {
        if (lookup.type == FieldType::Text)
            result = (result.typeId() == QMetaType::Double ? ValueText::formatNumber(result.toDouble())
                                                           : result.toString())
                         .left(lookup.width);
        else if (lookup.type == FieldType::Integer)
            result = qRound64(result.toDouble());
    }
    if (m_lookupCache.size() >= MaxCachedLookups)
        m_lookupCache.clear();
    m_lookupCache.insert(cacheKey, result);
    return result;
}

bool Dataset::findFirst(const QString &field, const QVariant &value, Row *row) const
{
    const int stored = storedIndex(field);
    if (stored < 0)
        throw DataError(QStringLiteral("Field '%1' not found").arg(field));
    if (value.isNull())
        return false;
    QVariant key;
    try {
        key = Filter::storeValue(m_table.field(stored), ValueText::coerce(m_table.field(stored), value));
    } catch (const DataError &) {
        return false; // a value of another kind matches nothing
    }
    const SqlCondition c =
        viewCondition() && SqlCondition{quoted(m_table.field(stored).name) + QStringLiteral(" = ?"), {key}};
    const QVector<Row> rows = fetch(QStringLiteral("WHERE %1 ORDER BY \"Id\" LIMIT 1").arg(c.sql), c.values);
    if (rows.isEmpty())
        return false;
    *row = rows.first();
    return true;
}

QVariant Dataset::value(const QString &field) const
{
    if (m_state != State::Browse)
        return valueOf(m_pending, field);
    ensurePosition();
    Row row;
    if (!rowAt(m_currentPos, &row)) {
        if (!hasField(field))
            throw DataError(QStringLiteral("Field '%1' not found").arg(field));
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
    if (!rowAt(position, &row))
        return {};
    return valueOf(row, field);
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
            throw DataError(QStringLiteral("Field '%1' not found").arg(field));
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
    invalidate();
    resetToFirst();
    emitReset();
}

void Dataset::setFiltered(bool on)
{
    settle();
    m_filtered = on;
    invalidate();
    resetToFirst();
    emitReset();
}

void Dataset::setMasterLink(Dataset *master, const QString &masterField, const QString &detailField)
{
    if (storedIndex(detailField) < 0)
        throw DataError(QStringLiteral("Field '%1' not found").arg(detailField));
    settle();
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    m_masterField = masterField;
    m_detailField = detailField;
    m_masterKey = master ? master->value(masterField) : QVariant();
    if (master)
        connect(master, &Dataset::currentChanged, this, &Dataset::onMasterChanged);
    invalidate();
    resetToFirst();
    emitReset();
}

void Dataset::onMasterChanged()
{
    const QVariant key = m_master->state() == State::Insert ? QVariant() : m_master->value(m_masterField);
    if (key == m_masterKey && key.isNull() == m_masterKey.isNull())
        return;
    try {
        settle();
    } catch (const DataError &) {
        return; // the pending detail row stays, and with it the rows it belongs to
    }
    m_masterKey = key;
    invalidate();
    resetToFirst();
    emitReset();
}

// ---- notifications ------------------------------------------------------------------------------

void Dataset::invalidate()
{
    m_count = -1;
    m_pages.clear();
    if (m_anchor == Anchor::Exact)
        m_anchor = Anchor::Stale;
}

void Dataset::resetToFirst()
{
    m_currentId = 0;
    m_currentPos = -1;
    m_anchor = Anchor::First;
}

void Dataset::emitReset()
{
    Q_EMIT viewReset();
    Q_EMIT currentChanged();
}

void Dataset::onTableWritten(const QString &table, const QObject *writer)
{
    if (table != m_table.name)
        return;
    if (writer != this)
        invalidate();
    emitReset();
}

// After a write of its own the dataset knows how its view changed, so a journal of years of orders
// is not counted again for every order stored. `countChange` is what the write did to the table:
// +1 for a new row, 0 for a changed one, -1 for a deleted one.
void Dataset::placeCursorAfterWrite(qint64 id, int countBefore, int positionBefore, int countChange)
{
    invalidate();
    m_currentId = id;
    m_anchor = Anchor::Stale;
    if (countBefore < 0 || positionBefore < 0)
        return;
    const bool stays = countChange >= 0 && contains(id);
    const bool wasInView = countChange <= 0; // an edited or deleted row was the current one
    m_count = countBefore + (stays ? 1 : 0) - (wasInView ? 1 : 0);
    if (stays) {
        m_currentPos = positionBefore;
        m_anchor = Anchor::Exact;
        return;
    }
    // The row left the view: the row that followed it takes its place, or the last one.
    m_currentPos = m_count == 0 ? -1 : std::min(positionBefore, m_count - 1);
    m_currentId = idAt(m_currentPos);
    if (m_currentId == 0)
        m_currentPos = -1;
    m_anchor = Anchor::Exact;
}

void Dataset::onLookupSourceChanged()
{
    if (m_notifyingLookups)
        return;
    m_notifyingLookups = true;
    m_lookupCache.clear();
    Q_EMIT lookupsChanged();
    m_notifyingLookups = false;
}
