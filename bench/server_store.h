#pragma once

#include "bench/synthetic_store.h"

#include <QString>
#include <QTemporaryDir>

// A throw-away PostgreSQL cluster in a temporary directory, its socket there too, as the tests start
// one: the server's own settings (commits flushed), owned by the user nobody when run as root, which
// the server refuses. Stopped and removed with the object.
class TemporaryCluster
{
public:
    TemporaryCluster();
    ~TemporaryCluster();
    TemporaryCluster(const TemporaryCluster &) = delete;
    TemporaryCluster &operator=(const TemporaryCluster &) = delete;

    // The connection to its maintenance database.
    const QString &connection() const { return m_connection; }

private:
    void run(const QString &program, const QStringList &arguments) const;

    QTemporaryDir m_parent;
    QString m_dir;
    QString m_bin;
    QString m_connection;
};

// A synthetic store on a server: a database of its own made by the program's own migrations, the
// SQLite store's rows copied in, and a second database from it for the comparisons with the server
// itself. Both are dropped with the object.
class ServerStore
{
public:
    // `server` connects to any database of the server, whose user may create databases.
    ServerStore(const QString &server, const SyntheticStore &source, Fill fill = Fill::Bulk);
    ~ServerStore();
    ServerStore(const ServerStore &) = delete;
    ServerStore &operator=(const ServerStore &) = delete;

    const QString &connection() const { return m_connection; }
    const QString &rawConnection() const { return m_rawConnection; }
    qint64 bytes() const { return m_bytes; }

private:
    QString m_server, m_name, m_connection, m_rawConnection;
    qint64 m_bytes = 0;
};
