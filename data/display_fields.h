#pragma once

#include "data/field_type.h"

#include "data/table_row.h"

#include <QSet>
#include <QVariant>
#include <QVector>

class Dataset;

// A display field: the `result` field of the first row of `lookIn`'s current view whose `match`
// field equals the looking dataset's `key` field; empty when there is none.
struct DisplayField
{
    QString name;
    FieldType type = FieldType::Text; // Text or Integer
    int width = 0;
    QString key;
    Dataset *lookIn = nullptr;
    QString match;
    QString result;
};

// A dataset's display fields. Their values are worked out when read and kept nowhere here: the
// looked-in dataset keeps the rows it found, per row, and drops them as those rows change.
class DisplayFields
{
public:
    void add(const DisplayField &field) { m_fields << field; }
    int indexOf(const QString &name) const; // -1 when there is no such display field
    const DisplayField &at(int index) const { return m_fields.at(index); }
    const QVector<DisplayField> &all() const { return m_fields; }

    // The value that display field `index` shows for the key field's value `key`, cut to the
    // field's width (texts) or rounded (integers).
    QVariant value(int index, const QVariant &key) const;

    // Finds the looked-in rows of display field `index` for many rows of `owner` at once, a
    // statement per looked-in dataset (and per dataset that one looks through) instead of one per row.
    void prefetch(const Dataset &owner, const QVector<TableRow> &rows, int index) const;

    // A grid's rows are looked up in windows of this many. startWindow() says whether the display
    // field of a window is still to be looked up, and counts it done; forgetWindows() starts over
    // when the rows or the looked-in views change.
    static constexpr int WindowRows = 64;
    bool startWindow(int window, int index) const;
    void forgetWindows() const { m_windowsDone.clear(); }

private:
    QVector<DisplayField> m_fields;
    mutable QSet<qint64> m_windowsDone;
};
