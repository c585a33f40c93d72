#pragma once

#include "data/display_fields.h"
#include "data/filter.h"
#include "data/table_row.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <memory>

class Database;
class DatasetView;
class FieldEditor;

// A cursor over one table, shared by every window that shows it: a current row, a filter, a
// pending new or changed row, and display fields looked up in other datasets. Its view (rows,
// count, positions) follows the store's row changes and reads rows by key as they are shown, so a
// journal of years of orders opens at once; this class keeps the editing rules.
class Dataset : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Browse,
        Edit,
        Insert
    };

    using Lookup = DisplayField;
    using Row = TableRow; // values in the table's field order

    Dataset(Database &db, const QString &tablePath, QObject *parent = nullptr);
    ~Dataset() override;

    Database &database() const { return m_db; }
    const TableDef &table() const { return m_table; }

    // Fields, stored and display.
    void addLookup(const Lookup &lookup);
    bool hasField(const QString &name) const;
    bool isLookup(const QString &name) const;
    FieldType fieldType(const QString &name) const;
    int fieldWidth(const QString &name) const; // characters of a text field, 0 otherwise
    const Lookup &lookupDef(const QString &name) const;

    // The view.
    int recordCount() const;         // stored rows that the view lets through
    bool isEmpty() const;            // no stored row and none pending
    int recNo() const;               // position of the current row; recordCount() while inserting; -1 none
    qint64 currentId() const;        // 0 while inserting or when the view is empty
    int positionOf(qint64 id) const; // -1 when the row is not in the view
    qint64 idAt(int position) const;

    // Moves; each first settles a pending row.
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int position);
    bool locate(const QString &field, const QVariant &value);
    bool gotoId(qint64 id);

    // Editing.
    State state() const { return m_state; }
    bool isModified() const; // a field of the pending row was set
    void append();
    void edit();
    void post();
    void cancel();
    // An edit of a row that another workstation deleted meanwhile, which no post can store, dropped;
    // whether it was. The store is asked, not the view, which hears of the deletion a moment later.
    bool cancelEditOfDeletedRow();
    void deleteRecord();
    // Deletes the stored row with this identity wherever it stands, in the view or outside it (the
    // filter does not matter). The cursor stays on its row, or, if that was the one deleted, goes to
    // the row that followed it. A pending row is left alone unless it is an edit of that very row,
    // which is dropped. False when the table holds no such row.
    bool deleteId(qint64 id);
    void refresh();
    // A pending row is stored when a field of it was set, dropped otherwise (what a move does first).
    void settle();
    // Has the controls that hold typed text write it into the pending row.
    void updateRecord();
    void addEditor(FieldEditor *editor);
    void removeEditor(FieldEditor *editor);

    // The current row (the pending one while editing or inserting).
    QVariant value(const QString &field) const;
    bool isNull(const QString &field) const { return value(field).isNull(); }
    QString text(const QString &field) const;
    void setValue(const QString &field, const QVariant &value);
    void setText(const QString &field, const QString &text);

    // Any row of the view, for grids and lists.
    QVariant valueAt(int position, const QString &field) const;
    QString textAt(int position, const QString &field) const;

    // The filter.
    const QString &filter() const { return m_filterText; }
    void setFilter(const QString &text);
    bool isFiltered() const { return m_filtered; }
    void setFiltered(bool on);

    // Master link: the view holds the rows whose `detailField` equals the master's current `masterField`.
    void setMasterLink(Dataset *master, const QString &masterField, const QString &detailField);

    // The first row of the view whose `field` equals `value`; false when none.
    bool findFirst(const QString &field, const QVariant &value, Row *row) const;
    // A field of a row of this table, display fields included.
    QVariant valueOf(const Row &row, const QString &field) const;
    // The first rows of the view for many values of `field` at once (each as findFirst finds it),
    // read with a statement for dozens of values; the rows found, each once.
    QVector<Row> findEach(const QString &field, const QVariantList &values) const;
    // Makes display field `field` cheap to read for these rows: its looked-in rows are found at
    // once, through every dataset the field looks through.
    void prefetchDisplay(const QVector<Row> &rows, const QString &field) const;

    // Memory held by the view's positions, rows and found display rows.
    qint64 viewBytes() const;

Q_SIGNALS:
    void viewReset();      // the rows of the view changed: count, order or values
    void currentChanged(); // the cursor moved, or the current row's values changed
    void stateChanged();
    void lookupsChanged(); // display fields may show other values

private:
    void settleDetails();
    void onTableWritten(const QString &table, const QObject *writer);
    void onLookupSourceChanged();
    void onMasterChanged();
    void viewChanged();
    void emitReset();

    SqlCondition viewCondition() const;
    bool currentRow(Row *row) const;
    QVariant matchKey(int stored, const QVariant &value) const;
    void prefetchWindow(int position, int lookup) const;
    int storedIndex(const QString &field) const; // -1 for a display field
    int lookupIndex(const QString &field) const; // -1 for a stored field
    std::pair<int, int> fieldIndexes(const QString &field) const;
    void requireEditing() const;

    Database &m_db;
    const TableDef &m_table;
    DisplayFields m_lookups;
    // Each field name the program has asked for, with its stored and display-field indexes: the
    // controls ask by name at every change of the row.
    mutable QHash<QString, std::pair<int, int>> m_fieldIndexes;
    std::unique_ptr<DatasetView> m_view;
    QVector<FieldEditor *> m_editors;

    QString m_filterText;
    SqlCondition m_filterCondition;
    bool m_filtered = false;

    QPointer<Dataset> m_master;
    QString m_masterField;
    QString m_detailField;
    QVariant m_masterKey;
    QList<QPointer<Dataset>> m_details; // the datasets whose master this one is

    State m_state = State::Browse;
    Row m_pending;
    QVector<bool> m_changed;
    bool m_notifyingLookups = false;
};
