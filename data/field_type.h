#pragma once

#include <QString>
#include <QVector>

// The kinds of value a stored field holds, and how each is kept in the store:
// numbers REAL, integers and identities INTEGER, logicals INTEGER 0/1, dates TEXT YYYY-MM-DD,
// times TEXT HH:MM:SS, texts TEXT of a fixed width, the encoded password a BLOB.
enum class FieldType
{
    AutoInc,
    Integer,
    Number,
    Text,
    Date,
    Time,
    Logical,
    Blob
};

struct FieldDef
{
    QString name;
    FieldType type = FieldType::Integer;
    int width = 0; // characters, for texts only
};

struct TableDef
{
    QString name; // the table's file name without extension: "gurnal"
    QVector<FieldDef> fields;

    int indexOf(const QString &field) const; // case-insensitive; -1 when absent
    const FieldDef &field(int index) const { return fields.at(index); }
};
