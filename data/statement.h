#pragma once

#include <QString>
#include <QVariantList>

class Database;

// A statement holder without a table of its own: it is given the text of an UPDATE statement as
// the program writes it ("UPDATE bd\vozyraion.db SET Status=false WHERE (Vozy=4)") and runs it with
// its values bound. Every dataset over the table sees the change.
class Statement
{
public:
    explicit Statement(Database &db, const QString &sql = QString());

    const QString &sql() const { return m_sql; }
    void setSql(const QString &sql) { m_sql = sql; }

    // The statement as the store runs it: the table, the SQL with a placeholder for every value,
    // and the values. Throws DataError when the text is not an UPDATE of one table.
    struct Compiled
    {
        QString table;
        QString sql;
        QVariantList values;
    };
    static Compiled compile(const QString &text);

    // Throws DataError when the text is not an UPDATE of one table or the store refuses it.
    // Returns the number of rows changed.
    int execute();

private:
    Database &m_db;
    QString m_sql;
};
