#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QSqlDatabase;

// A connection to a PostgreSQL server as its client library spells one: "host=... port=... dbname=...
// user=...", pairs separated by blanks, blanks around "=" allowed, a value in single quotes when it
// holds blanks or is empty, a backslash taking the next character as it is. The password is the
// server's business (~/.pgpass) and is never kept in the program's settings, so it is refused, as is
// any key the client library does not know: a misspelt key would otherwise be passed on and fail far
// from where it was written.
class ConnectionString
{
public:
    // Throws DataError saying what is wrong and where.
    static ConnectionString parse(const QString &text);

    // The value of `key`; empty when the key is not given.
    QString value(const QString &key) const;
    bool contains(const QString &key) const;
    // Sets `key`, replacing its value when it is given.
    void set(const QString &key, const QString &value);
    void remove(const QString &key);
    const QList<QPair<QString, QString>> &pairs() const { return m_pairs; }

    // The connection set on the toolkit's driver: host, port, database and user as its own, the other
    // keys as its options. Throws DataError for a port that is not a number.
    void applyTo(QSqlDatabase &db) const;

    // The pairs spelt again, each value quoted as the client library reads it.
    QString text() const;
    // A value quoted as the client library reads it.
    static QString quoted(const QString &value);

private:
    QList<QPair<QString, QString>> m_pairs;
};
