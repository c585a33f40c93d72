#pragma once

#include "data/row_changes.h"
#include "data/store_reader.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <map>
#include <memory>
#include <vector>

// The table store: one SQLite file holding the twelve tables, or a PostgreSQL database holding the
// same tables for several workstations at once. Every write of the program goes
// through it, and it tells every dataset which table was written, so that no view stays stale.
// The store reports each row that a statement changed; the datasets adjust their views by those
// rows, so a write costs the rows it wrote, not a count of the table.
class Database : public QObject
{
    Q_OBJECT

public:
    // Opens an existing store; never creates one. Throws DataError when the file is missing or unusable.
    static std::unique_ptr<Database> open(const QString &file);
    // Creates a new store with the whole schema. Throws DataError when the file already exists.
    static std::unique_ptr<Database> create(const QString &file);
    // `bd/vozy.db` under a working directory.
    static QString storeFile(const QString &workingDir);

    // A database on a PostgreSQL server, named by its connection ("host=... port=... dbname=...
    // user=..."; the password is the server's own business, as in ~/.pgpass, and is refused here).
    // Open throws DataError when the database is not the program's; create, when it already is.
    static std::unique_ptr<Database> openServer(const QString &connection);
    static std::unique_ptr<Database> createServer(const QString &connection);

    enum class Engine
    {
        Sqlite,
        Postgres
    };

    ~Database() override;

    Engine engine() const { return m_engine; }
    // The SQLite file, or the server's connection.
    const QString &file() const { return m_file; }
    // A statement of the program as this store spells it.
    QString sql(const QString &statement) const;

    // A prepared statement; throws DataError with the store's message.
    QSqlQuery prepare(const QString &sql) const;
    // The same, prepared once and kept, for the statements every write runs. Used at once: the next
    // use of the same statement binds other values.
    QSqlQuery &prepareKept(const QString &sql) const;
    // Runs a prepared statement; throws DataError with the store's message.
    static void exec(QSqlQuery &query);
    // Runs one statement without values.
    void execute(const QString &sql) const;
    // The identity of the row an INSERT stored: the statement is given " RETURNING \"Id\"" on a
    // server (returningId()), which has no last row id of its connection.
    QString returningId() const;
    static qint64 insertedId(QSqlQuery &query);

    int schemaVersion() const;

    // A server's error as the dispatcher is shown it.
    static QString serverMessage(const QSqlError &error);

    // The data layer's own reads: runs a SELECT with its values bound, its statement prepared once
    // and kept, and calls `row` for each row. Throws DataError with the store's message.
    void select(const QString &sql, const QVariantList &values,
                const std::function<void(const StoreRow &)> &row);

    // Row changes: who follows a table's rows, and where changes come from besides this
    // connection's own statements (the writes of other workstations).
    void addListener(const QString &table, RowChangeListener *listener);
    void removeListener(const QString &table, RowChangeListener *listener);
    void addChangeFeed(std::unique_ptr<RowChangeFeed> feed);
    // Hands the row changes gathered since the last call to the listeners of their tables; cheap
    // when there are none. The datasets call it before they read.
    void deliverChanges();

    // Tells every dataset over `table`, and through it the controls that show it, that rows of the
    // table changed; the datasets' views have followed the changed rows already. `writer` is the
    // dataset that wrote, if a dataset did.
    void notifyWritten(const QString &table, const QObject *writer = nullptr);
    // A row that this workstation found changed by another one before the news of it came: every view
    // of the table reads it again now.
    void rowChangedElsewhere(const QString &table, qint64 id);

    // Runs a step whose failure the caller catches and goes on from. Inside a transaction on the server
    // a failed statement aborts the whole transaction: every later statement is refused and its COMMIT
    // undoes everything. There the step gets a savepoint of its own, so that its failure undoes the
    // step alone, as the embedded store undoes a failed statement by itself.
    void recoverable(const std::function<void()> &step);

    // Writes that belong together: all of them or none. Nests (inner scopes are savepoints).
    // A scope that ends without commit() rolls back and tells the datasets of every table it wrote.
    class Transaction
    {
    public:
        explicit Transaction(Database &db);
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;
        void commit();

    private:
        Database &m_db;
        int m_depth;
        bool m_done = false;
    };

Q_SIGNALS:
    void tableWritten(const QString &table, const QObject *writer);

private:
    Database(Engine engine, const QString &file, bool create);
    void openConnection(QSqlDatabase &db);
    void attachToConnection();
    void migrate();
    void setSchemaVersion(int version);
    bool hasChanges() const;
    void collectServerChanges();
    void followOtherWorkstations();
    void listen(QSqlDriver *driver);
    void checkConnection();
    void dropServerConnection();
    void commitOnServer();
    void startServerSession();
    bool runQuietly(const QString &sql);

    Engine m_engine;
    QString m_file;
    bool m_serverWrote = false;
    bool m_checkConnection = false;
    class NotifiedRowChanges *m_notified = nullptr; // among m_otherChanges
    QString m_connection;
    int m_depth = 0;
    QSet<QString> m_writtenInTransaction;

    std::unique_ptr<StoreReader> m_reader;
    mutable std::map<QString, QSqlQuery> m_kept; // prepareKept()'s statements
    std::unique_ptr<OwnRowChanges> m_ownChanges;
    std::vector<std::unique_ptr<RowChangeFeed>> m_otherChanges;
    QHash<QString, QList<RowChangeListener *>> m_listeners;
    bool m_delivering = false;
};
