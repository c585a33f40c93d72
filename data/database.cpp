#include "data/database.h"

#include "data/connection_string.h"
#include "data/data_error.h"
#include "data/schema.h"
#include "data/server_sql.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

#include <utility>

namespace {

// The server's reason alone: its text comes as "ERROR:  reason", then lines of context for whoever
// wrote the statement, then the error's code.
QString serverReason(const QString &text)
{
    QString reason = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC|ОШИБКА|ВАЖНО|ПАНИКА):\\s+"));
    static const QRegularExpression code(QStringLiteral("\\s*\\([0-9A-Z]{5}\\)$"));
    reason.remove(severity);
    reason.remove(code);
    return reason.isEmpty() ? text : reason;
}

// The failures a dispatcher can do something about are said in the program's words; the store's own
// text follows in parentheses for whoever looks into it.
QString storeMessage(const QSqlError &error, Database::Engine engine = Database::Engine::Sqlite)
{
    QString text = (error.databaseText().isEmpty() ? error.text() : error.databaseText()).trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Ошибка базы данных");
    if (engine == Database::Engine::Postgres) {
        // SQLSTATE: class 08 is the connection, 57P the server shutting down or gone.
        const QString state = error.nativeErrorCode();
        if (error.type() == QSqlError::ConnectionError || state.startsWith(QLatin1String("08")) ||
            state.startsWith(QLatin1String("57P")) ||
            text.contains(QLatin1String("server closed the connection")) ||
            text.contains(QLatin1String("no connection to the server")))
            return QStringLiteral("Нет связи с сервером базы данных. Действие не выполнено; повторите его, "
                                  "когда связь восстановится. (") +
                   text + QLatin1Char(')');
        if (state == QLatin1String("40001") || state == QLatin1String("40P01") ||
            state == QLatin1String("55P03"))
            return QStringLiteral("База данных занята другой программой. Действие не выполнено; повторите "
                                  "его позже. (") +
                   text + QLatin1Char(')');
        if (state == QLatin1String("25006")) // a standby server, or a database set to read only
            return QStringLiteral("База данных открыта только для чтения. Действие не выполнено. (") + text +
                   QLatin1Char(')');
        if (state == QLatin1String("53100"))
            return QStringLiteral("Недостаточно места на диске сервера базы данных. Действие не выполнено; "
                                  "освободите место и повторите его. (") +
                   text + QLatin1Char(')');
        return serverReason(text);
    }
    bool known = false;
    const int primaryCode = error.nativeErrorCode().toInt(&known) & 0xFF;
    QString plain;
    switch (known ? primaryCode : 0) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        plain = QStringLiteral("База данных занята другой программой. Действие не выполнено; повторите его "
                               "позже.");
        break;
    case 8: // SQLITE_READONLY
        plain = QStringLiteral("База данных открыта только для чтения. Действие не выполнено.");
        break;
    case 13: // SQLITE_FULL
        plain = QStringLiteral("Недостаточно места на диске для базы данных. Действие не выполнено; "
                               "освободите место и повторите его.");
        break;
    case 10: // SQLITE_IOERR
        plain = QStringLiteral("Ошибка чтения или записи файла базы данных. Действие не выполнено.");
        break;
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        plain = QStringLiteral("Файл базы данных повреждён или не является базой данных.");
        break;
    case 14: // SQLITE_CANTOPEN
        plain = QStringLiteral("Файл базы данных не удаётся открыть: нет доступа к нему или к его каталогу.");
        break;
    default:
        return text;
    }
    return plain + QStringLiteral(" (") + text + QLatin1Char(')');
}

} // namespace

QString Database::serverMessage(const QSqlError &error)
{
    return storeMessage(error, Engine::Postgres);
}

std::unique_ptr<Database> Database::open(const QString &file)
{
    if (!QFileInfo(file).isFile())
        throw DataError(QStringLiteral("Не найдена база данных: %1").arg(QDir::toNativeSeparators(file)));
    // The store would open for reading only and refuse the first order stored.
    if (!QFileInfo(file).isWritable())
        throw DataError(QStringLiteral("Файл базы данных %1 доступен только для чтения. Программа не может "
                                       "сохранять в нём заказы.")
                            .arg(QDir::toNativeSeparators(file)));
    return std::unique_ptr<Database>(new Database(Engine::Sqlite, file, false));
}

std::unique_ptr<Database> Database::create(const QString &file)
{
    if (QFileInfo::exists(file))
        throw DataError(QStringLiteral("База данных уже существует: %1").arg(QDir::toNativeSeparators(file)));
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        throw DataError(QStringLiteral("Не удалось создать каталог: %1")
                            .arg(QDir::toNativeSeparators(QFileInfo(file).absolutePath())));
    return std::unique_ptr<Database>(new Database(Engine::Sqlite, file, true));
}

std::unique_ptr<Database> Database::openServer(const QString &connection)
{
    return std::unique_ptr<Database>(new Database(Engine::Postgres, connection, false));
}

std::unique_ptr<Database> Database::createServer(const QString &connection)
{
    return std::unique_ptr<Database>(new Database(Engine::Postgres, connection, true));
}

QString Database::storeFile(const QString &workingDir)
{
    return QDir(workingDir).filePath(QStringLiteral("bd/vozy.db"));
}

// The rows other workstations changed, as the server told them: "table id" on the changes' channel.
class NotifiedRowChanges final : public RowChangeFeed
{
public:
    bool hasChanges() const override { return !m_pending.isEmpty(); }
    RowChanges take() override { return std::exchange(m_pending, {}); }
    // The table the row is in; empty for a notification that is not a row's.
    QString add(const QString &payload)
    {
        const QString table = payload.section(QLatin1Char(' '), 0, 0);
        bool number = false;
        const qint64 id = payload.section(QLatin1Char(' '), 1, 1).toLongLong(&number);
        if (table.isEmpty() || !number)
            return {};
        m_pending[table].add(id);
        return table;
    }
    // Whatever was told while the connection was lost is lost with it: the tables are read again.
    void missed(const QList<QString> &tables)
    {
        for (const QString &table : tables)
            m_pending[table].wholeTable = true;
    }

private:
    RowChanges m_pending;
};

namespace {

// The drivers of the server connections open now, to tell a connection that one of its statements wrote.
QHash<const QSqlDriver *, Database *> &serverConnections()
{
    static QHash<const QSqlDriver *, Database *> connections;
    return connections;
}

} // namespace

void Database::openConnection(QSqlDatabase &db)
{
    ConnectionString::parse(m_file).applyTo(db);
}

Database::Database(Engine engine, const QString &file, bool create)
    : m_engine(engine)
    , m_file(file)
{
    static int connections = 0;
    m_connection = QStringLiteral("vozy-%1").arg(++connections);
    const bool server = engine == Engine::Postgres;
    QSqlDatabase db =
        QSqlDatabase::addDatabase(server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), m_connection);
    const auto giveUp = [this, &db, &file, create, server](const QString &message) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
        const QString shownFile = server ? file : QDir::toNativeSeparators(file);
        if (message.contains(shownFile))
            return DataError(message);
        return DataError((create ? QStringLiteral("Не удалось создать базу данных %1: %2")
                                 : QStringLiteral("Не удалось открыть базу данных %1: %2"))
                             .arg(shownFile, message));
    };
    if (server) {
        if (!db.isValid())
            throw giveUp(QStringLiteral("нет драйвера PostgreSQL (пакет libqt6sql6-psql)"));
        try {
            openConnection(db);
        } catch (const DataError &error) {
            throw giveUp(error.message());
        }
    } else {
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!db.open())
        throw giveUp(storeMessage(db.lastError(), engine));
    try {
        attachToConnection();
        if (server) {
            const int version = schemaVersion();
            if (!create && version == 0)
                throw DataError(
                    QStringLiteral("База данных на сервере не является базой данных программы: %1")
                        .arg(file));
            if (create && version != 0)
                throw DataError(QStringLiteral("База данных уже существует: %1").arg(file));
            // Times are kept as texts; the server's notion of the date never enters them.
            startServerSession();
            migrate();
            return;
        }
        // Read before anything is written: a damaged or foreign file is left byte for byte as it was.
        if (!create && schemaVersion() == 0)
            throw DataError(QStringLiteral("Файл не является базой данных программы: %1")
                                .arg(QDir::toNativeSeparators(file)));
        // WAL keeps readers and a crash harmless; FULL sync so that a stored order survives power loss.
        execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        execute(QStringLiteral("PRAGMA synchronous=FULL"));
        // References may point at deleted rows by design.
        execute(QStringLiteral("PRAGMA foreign_keys=OFF"));
        migrate();
    } catch (const DataError &error) {
        serverConnections().remove(db.driver());
        m_ownChanges.reset();
        m_reader.reset();
        throw giveUp(error.message());
    } catch (...) {
        serverConnections().remove(db.driver());
        m_ownChanges.reset();
        m_reader.reset();
        giveUp(QString());
        throw;
    }
}

Database::~Database()
{
    m_ownChanges.reset();
    if (m_engine == Engine::Postgres) {
        dropServerConnection();
        return;
    }
    m_reader.reset();
    m_kept.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

// The server's connection closed and its driver deleted before the statements prepared on it are
// released, so that releasing them asks nothing of a connection that may be lost already.
void Database::dropServerConnection()
{
    std::unique_ptr<StoreReader> statements = std::move(m_reader);
    if (statements)
        statements->forgetServer();
    const std::map<QString, QSqlQuery> kept = std::exchange(m_kept, {});
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        serverConnections().remove(db.driver());
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

// The store's connection reports the rows it changes and reads the data layer's rows directly.
void Database::attachToConnection()
{
    if (m_engine == Engine::Postgres) {
        // The server's connection cannot be hooked: the tables' triggers note the rows changed in a
        // table of the connection's own, which is read after each write.
        const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        serverConnections().insert(db.driver(), this);
        m_reader = std::make_unique<StoreReader>(db);
        if (!m_ownChanges) {
            m_ownChanges = std::make_unique<OwnRowChanges>();
            followOtherWorkstations();
        }
        listen(db.driver());
        return;
    }
    const QVariant handle = QSqlDatabase::database(m_connection, false).driver()->handle();
    sqlite3 *connection = nullptr;
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        connection = *static_cast<sqlite3 *const *>(handle.constData());
    if (connection == nullptr)
        throw DataError(
            QStringLiteral("Хранилище не сообщает об изменённых строках: нет соединения SQLite."));
    m_reader = std::make_unique<StoreReader>(connection);
    m_ownChanges = std::make_unique<SqliteRowChanges>(connection);
}

// The server tells every connection that listens which rows the others' transactions changed, when
// they commit; the views follow those rows as they follow this workstation's own.
void Database::followOtherWorkstations()
{
    auto feed = std::make_unique<NotifiedRowChanges>();
    m_notified = feed.get();
    m_otherChanges.push_back(std::move(feed));
}

void Database::listen(QSqlDriver *driver)
{
    connect(driver, &QSqlDriver::notification, this,
            [this](const QString &, QSqlDriver::NotificationSource source, const QVariant &payload) {
                if (source == QSqlDriver::SelfSource)
                    return;
                const QString table = m_notified->add(payload.toString());
                if (table.isEmpty() || m_depth > 0 || m_delivering)
                    return; // delivered with this workstation's next read
                try {
                    deliverChanges();
                    Q_EMIT tableWritten(table, nullptr);
                } catch (const DataError &) {
                    // The server went away: the rows are read again when it is back.
                }
            });
    if (!driver->subscribeToNotification(QLatin1String(ServerSql::ChangesChannel)))
        throw DataError(QStringLiteral("Сервер базы данных не сообщает об изменениях других рабочих мест."));
}

// After a failed statement, before the next one outside a transaction: a connection that the server
// dropped (restarted, or gone for a while) is opened again, so that the workstation works on once the
// server is back. Inside a transaction nothing is reopened: its statements must not run half on a
// new connection.
void Database::checkConnection()
{
    if (!m_checkConnection || m_depth > 0 || m_engine != Engine::Postgres)
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    {
        QSqlQuery probe(db);
        if (db.isOpen() && probe.exec(QStringLiteral("SELECT 1"))) {
            m_checkConnection = false;
            return;
        }
    }
    // A new connection in place of the lost one: the driver goes with the old, and its statements with it.
    db = QSqlDatabase();
    dropServerConnection();
    db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    openConnection(db);
    if (!db.open())
        throw DataError(storeMessage(db.lastError(), m_engine));
    m_checkConnection = false;
    attachToConnection();
    startServerSession();
    m_notified->missed(m_listeners.keys());
}

// What a server connection keeps for its whole life: the table its own changed rows are noted in,
// and a write that waits for another workstation's lock gives up after five seconds, as the embedded
// store does, rather than hanging the window.
void Database::startServerSession()
{
    execute(QStringLiteral("CREATE TEMPORARY TABLE IF NOT EXISTS %1 (tbl TEXT, id BIGINT)")
                .arg(QLatin1String(ServerSql::ChangedRows)));
    execute(QStringLiteral("SET lock_timeout = '5s'"));
}

void Database::select(const QString &sql, const QVariantList &values,
                      const std::function<void(const StoreRow &)> &row)
{
    if (m_engine == Engine::Postgres) {
        checkConnection();
        try {
            m_reader->select(this->sql(sql), values, row);
        } catch (const DataError &error) {
            m_checkConnection = true;
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            QSqlQuery probe(db);
            if (m_depth == 0 && !probe.exec(QStringLiteral("SELECT 1")))
                throw DataError(storeMessage(
                    QSqlError(QString(), error.message(), QSqlError::ConnectionError), m_engine));
            throw;
        }
        return;
    }
    m_reader->select(sql, values, row);
}

QString Database::sql(const QString &statement) const
{
    return m_engine == Engine::Postgres ? ServerSql::translate(statement) : statement;
}

// The rows the connection's own statements changed, as the triggers noted them.
void Database::collectServerChanges()
{
    if (!m_serverWrote || m_ownChanges == nullptr)
        return;
    m_serverWrote = false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("DELETE FROM pg_temp.%1 RETURNING tbl, id")
                        .arg(QLatin1String(ServerSql::ChangedRows))))
        return; // a failed transaction: its rows are put back and read again when it is rolled back
    while (query.next())
        m_ownChanges->record(query.value(0).toString(), query.value(1).toLongLong());
}

void Database::addListener(const QString &table, RowChangeListener *listener)
{
    m_listeners[table].append(listener);
}

void Database::removeListener(const QString &table, RowChangeListener *listener)
{
    m_listeners[table].removeOne(listener);
}

void Database::addChangeFeed(std::unique_ptr<RowChangeFeed> feed)
{
    m_otherChanges.push_back(std::move(feed));
}

bool Database::hasChanges() const
{
    if (m_serverWrote)
        return true;
    if (m_ownChanges->hasChanges())
        return true;
    return std::any_of(m_otherChanges.begin(), m_otherChanges.end(),
                       [](const auto &feed) { return feed->hasChanges(); });
}

void Database::deliverChanges()
{
    if (m_delivering || !hasChanges())
        return;
    m_delivering = true;
    // The listeners catch a failed read and read again later; inside a transaction on the server the
    // failure must not take the transaction with it.
    const bool guarded =
        m_engine == Engine::Postgres && m_depth > 0 && runQuietly(QStringLiteral("SAVEPOINT vozy_reads"));
    const auto done = qScopeGuard([this, guarded] {
        m_delivering = false;
        if (guarded && !runQuietly(QStringLiteral("RELEASE vozy_reads"))) {
            runQuietly(QStringLiteral("ROLLBACK TO vozy_reads"));
            runQuietly(QStringLiteral("RELEASE vozy_reads"));
        }
    });
    // The listeners only read, which changes nothing; the loop is for the feeds of other workstations.
    while (hasChanges()) {
        collectServerChanges();
        RowChanges changes = m_ownChanges->take();
        for (const auto &feed : m_otherChanges) {
            const RowChanges more = feed->take();
            for (auto it = more.constBegin(); it != more.constEnd(); ++it)
                changes[it.key()].add(it.value());
        }
        for (auto it = changes.constBegin(); it != changes.constEnd(); ++it) {
            const QList<RowChangeListener *> listeners = m_listeners.value(it.key());
            for (RowChangeListener *listener : listeners)
                listener->rowsChanged(it.value());
        }
    }
}

// A statement that changes no row of the tables and whose failure the caller handles.
bool Database::runQuietly(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    return query.exec(sql);
}

void Database::recoverable(const std::function<void()> &step)
{
    if (m_engine != Engine::Postgres || m_depth == 0) {
        step();
        return;
    }
    Transaction savepoint(*this);
    step();
    savepoint.commit();
}

QSqlQuery Database::prepare(const QString &sql) const
{
    const_cast<Database *>(this)->checkConnection();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (query.prepare(this->sql(sql)))
        return query;
    const_cast<Database *>(this)->m_checkConnection = m_engine == Engine::Postgres;
    throw DataError(storeMessage(query.lastError(), m_engine));
}

// Compiling a statement costs more than running it. The statements go with the connection: a
// server's connection opened again prepares them again.
QSqlQuery &Database::prepareKept(const QString &sql) const
{
    const_cast<Database *>(this)->checkConnection();
    auto kept = m_kept.find(sql);
    if (kept == m_kept.end())
        kept = m_kept.emplace(sql, prepare(sql)).first;
    return kept->second;
}

void Database::exec(QSqlQuery &query)
{
    Database *server = serverConnections().value(query.driver());
    if (server != nullptr)
        server->m_serverWrote = true;
    if (query.exec())
        return;
    if (server != nullptr)
        server->m_checkConnection = true;
    throw DataError(storeMessage(query.lastError(), server ? Engine::Postgres : Engine::Sqlite));
}

void Database::execute(const QString &sql) const
{
    auto *self = const_cast<Database *>(this);
    self->checkConnection();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (m_engine == Engine::Postgres)
        self->m_serverWrote = true;
    if (query.exec(this->sql(sql)))
        return;
    self->m_checkConnection = m_engine == Engine::Postgres;
    throw DataError(storeMessage(query.lastError(), m_engine));
}

QString Database::returningId() const
{
    return m_engine == Engine::Postgres ? QStringLiteral(" RETURNING \"Id\"") : QString();
}

qint64 Database::insertedId(QSqlQuery &query)
{
    if (query.isSelect() && query.next())
        return query.value(0).toLongLong();
    return query.lastInsertId().toLongLong();
}

int Database::schemaVersion() const
{
    if (m_engine == Engine::Postgres) {
        QSqlQuery query = prepare(QStringLiteral("SELECT to_regclass('%1') IS NOT NULL")
                                      .arg(QLatin1String(ServerSql::VersionTable)));
        exec(query);
        if (!query.next() || !query.value(0).toBool())
            return 0;
        query = prepare(QStringLiteral("SELECT version FROM %1").arg(QLatin1String(ServerSql::VersionTable)));
        exec(query);
        return query.next() ? query.value(0).toInt() : 0;
    }
    QSqlQuery query = prepare(QStringLiteral("PRAGMA user_version"));
    exec(query);
    return query.next() ? query.value(0).toInt() : 0;
}

void Database::setSchemaVersion(int version)
{
    if (m_engine == Engine::Postgres)
        execute(QStringLiteral("UPDATE %1 SET version = %2")
                    .arg(QLatin1String(ServerSql::VersionTable))
                    .arg(version));
    else
        execute(QStringLiteral("PRAGMA user_version=%1").arg(version));
}

void Database::migrate()
{
    const int from = schemaVersion();
    if (from > Schema::latestVersion())
        throw DataError(
            QStringLiteral("База данных создана более новой версией программы (версия схемы %1).").arg(from));
    for (int version = from + 1; version <= Schema::latestVersion(); ++version) {
        Transaction transaction(*this);
        const QStringList statements =
            m_engine == Engine::Postgres ? ServerSql::migration(version) : Schema::migration(version);
        for (const QString &statement : statements)
            execute(statement);
        setSchemaVersion(version);
        transaction.commit();
    }
}

// Inside a transaction the controls are told once, when it is over: an order stored writes the queue
// twice, and each time every control over the queue would show it again.
void Database::notifyWritten(const QString &table, const QObject *writer)
{
    deliverChanges();
    if (m_depth > 0)
        m_writtenInTransaction.insert(table);
    else
        Q_EMIT tableWritten(table, writer);
}

void Database::rowChangedElsewhere(const QString &table, qint64 id)
{
    m_ownChanges->record(table, id);
    notifyWritten(table);
}

Database::Transaction::Transaction(Database &db)
    : m_db(db)
    , m_depth(db.m_depth)
{
    if (m_depth == 0) {
        m_db.execute(m_db.m_engine == Engine::Postgres ? QStringLiteral("BEGIN")
                                                       : QStringLiteral("BEGIN IMMEDIATE"));
        m_db.m_writtenInTransaction.clear();
    } else {
        m_db.execute(QStringLiteral("SAVEPOINT vozy_%1").arg(m_depth));
    }
    m_db.m_ownChanges->beginScope();
    ++m_db.m_depth;
}

// The server answers the COMMIT of a transaction that a failed statement aborted by rolling it back,
// without an error: the driver's commit says so, and the writes are not reported as stored.
void Database::commitOnServer()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (db.commit())
        return;
    const QSqlError error = db.lastError();
    // The driver gives an empty code in parentheses when the server said nothing but ROLLBACK.
    QString said = error.databaseText().trimmed();
    if (said.endsWith(QLatin1String("()")))
        said.chop(2);
    if (!said.trimmed().isEmpty()) {
        m_checkConnection = true;
        throw DataError(storeMessage(error, m_engine));
    }
    throw DataError(
        QStringLiteral("Сервер базы данных отменил изменения: одна из записей не удалась. Действие "
                       "не выполнено."));
}

void Database::Transaction::commit()
{
    if (m_done)
        return;
    if (m_depth == 0 && m_db.m_engine == Engine::Postgres)
        m_db.commitOnServer();
    else if (m_depth == 0)
        m_db.execute(QStringLiteral("COMMIT"));
    else
        m_db.execute(QStringLiteral("RELEASE vozy_%1").arg(m_depth));
    m_done = true;
    m_db.m_ownChanges->commitScope();
    --m_db.m_depth;
    if (m_depth == 0) {
        const QSet<QString> written = std::exchange(m_db.m_writtenInTransaction, {});
        for (const QString &table : written)
            Q_EMIT m_db.tableWritten(table, nullptr);
    }
}

Database::Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        if (m_depth == 0) {
            m_db.execute(QStringLiteral("ROLLBACK"));
        } else {
            m_db.execute(QStringLiteral("ROLLBACK TO vozy_%1").arg(m_depth));
            m_db.execute(QStringLiteral("RELEASE vozy_%1").arg(m_depth));
        }
    } catch (const DataError &) {
        // The store has already given up the transaction; there is nothing left to undo.
    }
    --m_db.m_depth;
    // The rows changed inside the scope are as they were again: the datasets read them once more.
    const QSet<QString> written = m_db.m_writtenInTransaction + m_db.m_ownChanges->rollbackScope();
    if (m_depth == 0)
        m_db.m_writtenInTransaction.clear();
    m_db.deliverChanges();
    for (const QString &table : written)
        Q_EMIT m_db.tableWritten(table, nullptr);
}
