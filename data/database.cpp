#include "data/database.h"

#include "data/data_error.h"
#include "data/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

namespace {

// The failures a dispatcher can do something about are said in the program's words; the store's own
// text follows in parentheses for whoever looks into it.
QString storeMessage(const QSqlError &error)
{
    QString text = (error.databaseText().isEmpty() ? error.text() : error.databaseText()).trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Ошибка базы данных");
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

std::unique_ptr<Database> Database::open(const QString &file)
{
    if (!QFileInfo(file).isFile())
        throw DataError(QStringLiteral("Не найдена база данных: %1").arg(QDir::toNativeSeparators(file)));
    // The store would open for reading only and refuse the first order stored.
    if (!QFileInfo(file).isWritable())
        throw DataError(QStringLiteral("Файл базы данных %1 доступен только для чтения. Программа не может "
                                       "сохранять в нём заказы.")
                            .arg(QDir::toNativeSeparators(file)));
    return std::unique_ptr<Database>(new Database(file, false));
}

std::unique_ptr<Database> Database::create(const QString &file)
{
    if (QFileInfo::exists(file))
        throw DataError(QStringLiteral("База данных уже существует: %1").arg(QDir::toNativeSeparators(file)));
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        throw DataError(QStringLiteral("Не удалось создать каталог: %1")
                            .arg(QDir::toNativeSeparators(QFileInfo(file).absolutePath())));
    return std::unique_ptr<Database>(new Database(file, true));
}

QString Database::storeFile(const QString &workingDir)
{
    return QDir(workingDir).filePath(QStringLiteral("bd/vozy.db"));
}

Database::Database(const QString &file, bool create)
    : m_file(file)
{
    static int connections = 0;
    m_connection = QStringLiteral("vozy-%1").arg(++connections);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    const auto giveUp = [this, &db, &file, create](const QString &message) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
        const QString shownFile = QDir::toNativeSeparators(file);
        if (message.contains(shownFile))
            return DataError(message);
        return DataError((create ? QStringLiteral("Не удалось создать базу данных %1: %2")
                                 : QStringLiteral("Не удалось открыть базу данных %1: %2"))
                             .arg(shownFile, message));
    };
    if (!db.open())
        throw giveUp(storeMessage(db.lastError()));
    try {
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
        throw giveUp(error.message());
    }
}

Database::~Database()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlQuery Database::prepare(const QString &sql) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DataError(storeMessage(query.lastError()));
    return query;
}

void Database::exec(QSqlQuery &query)
{
    if (!query.exec())
        throw DataError(storeMessage(query.lastError()));
}

void Database::execute(const QString &sql) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(sql))
        throw DataError(storeMessage(query.lastError()));
}

int Database::schemaVersion() const
{
    QSqlQuery query = prepare(QStringLiteral("PRAGMA user_version"));
    exec(query);
    return query.next() ? query.value(0).toInt() : 0;
}

void Database::migrate()
{
    const int from = schemaVersion();
    if (from > Schema::latestVersion())
        throw DataError(
            QStringLiteral("База данных создана более новой версией программы (версия схемы %1).").arg(from));
    for (int version = from + 1; version <= Schema::latestVersion(); ++version) {
        Transaction transaction(*this);
        for (const QString &statement : Schema::migration(version))
            execute(statement);
        execute(QStringLiteral("PRAGMA user_version=%1").arg(version));
        transaction.commit();
    }
}

void Database::notifyWritten(const QString &table, const QObject *writer)
{
    if (m_depth > 0)
        m_writtenInTransaction.insert(table);
    Q_EMIT tableWritten(table, writer);
}

Database::Transaction::Transaction(Database &db)
    : m_db(db)
    , m_depth(db.m_depth)
{
    if (m_depth == 0) {
        m_db.execute(QStringLiteral("BEGIN IMMEDIATE"));
        m_db.m_writtenInTransaction.clear();
    } else {
        m_db.execute(QStringLiteral("SAVEPOINT vozy_%1").arg(m_depth));
    }
    ++m_db.m_depth;
}

void Database::Transaction::commit()
{
    if (m_done)
        return;
    if (m_depth == 0)
        m_db.execute(QStringLiteral("COMMIT"));
    else
        m_db.execute(QStringLiteral("RELEASE vozy_%1").arg(m_depth));
    m_done = true;
    --m_db.m_depth;
    if (m_depth == 0)
        m_db.m_writtenInTransaction.clear();
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
    // The rows that the datasets re-read inside the scope are gone again.
    const QSet<QString> written = m_db.m_writtenInTransaction;
    if (m_depth == 0)
        m_db.m_writtenInTransaction.clear();
    for (const QString &table : written)
        Q_EMIT m_db.tableWritten(table, nullptr);
}
