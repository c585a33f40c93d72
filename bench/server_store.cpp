#include "bench/server_store.h"

#include "bench/server_connection.h"
#include "bench/sqlite_statement.h"
#include "data/connection_string.h"
#include "data/database.h"
#include "data/schema.h"
#include "data/server_sql.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QVersionNumber>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <stdexcept>

namespace {

bool asRoot()
{
    return geteuid() == 0;
}

// The newest server installed: /usr/lib/postgresql/<version>/bin.
QString serverPrograms()
{
    QDir installed(QStringLiteral("/usr/lib/postgresql"));
    QString newest;
    for (const QString &version : installed.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFile::exists(installed.filePath(version + QStringLiteral("/bin/pg_ctl"))) &&
            (newest.isEmpty() || QVersionNumber::fromString(version) > QVersionNumber::fromString(newest)))
            newest = version;
    }
    if (newest.isEmpty())
        throw std::runtime_error("no PostgreSQL server installed (Debian package postgresql)");
    return installed.filePath(newest + QStringLiteral("/bin"));
}

} // namespace

TemporaryCluster::TemporaryCluster()
    : m_bin(serverPrograms())
{
    if (!m_parent.isValid())
        throw std::runtime_error("no temporary directory");
    m_dir = m_parent.filePath(QStringLiteral("cluster"));
    if (!QDir().mkpath(m_dir))
        throw std::runtime_error("cannot create the cluster's directory");
    if (asRoot()) {
        const passwd *nobody = getpwnam("nobody");
        if (nobody == nullptr || chmod(QFile::encodeName(m_parent.path()).constData(), 0711) != 0 ||
            chown(QFile::encodeName(m_dir).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
            throw std::runtime_error("cannot give the cluster's directory to the user nobody");
    }
    chmod(QFile::encodeName(m_dir).constData(), 0700);
    run(m_bin + QStringLiteral("/initdb"),
        {QStringLiteral("-D"), m_dir + QStringLiteral("/data"), QStringLiteral("-U"), QStringLiteral("vozy"),
         QStringLiteral("--auth=trust"), QStringLiteral("--locale=C.UTF-8"), QStringLiteral("-E"),
         QStringLiteral("UTF8")});
    run(m_bin + QStringLiteral("/pg_ctl"),
        {QStringLiteral("-D"), m_dir + QStringLiteral("/data"), QStringLiteral("-l"),
         m_dir + QStringLiteral("/server.log"), QStringLiteral("-w"), QStringLiteral("-t"),
         QStringLiteral("60"), QStringLiteral("-o"),
         QStringLiteral("-k %1 -c listen_addresses=''").arg(m_dir), QStringLiteral("start")});
    ConnectionString connection;
    connection.set(QStringLiteral("host"), m_dir);
    connection.set(QStringLiteral("port"), QStringLiteral("5432"));
    connection.set(QStringLiteral("dbname"), QStringLiteral("postgres"));
    connection.set(QStringLiteral("user"), QStringLiteral("vozy"));
    m_connection = connection.text();
}

TemporaryCluster::~TemporaryCluster()
{
    try {
        run(m_bin + QStringLiteral("/pg_ctl"),
            {QStringLiteral("-D"), m_dir + QStringLiteral("/data"), QStringLiteral("-m"),
             QStringLiteral("fast"), QStringLiteral("stop")});
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vozy-bench: the temporary server did not stop: %s\n", e.what());
    }
}

void TemporaryCluster::run(const QString &program, const QStringList &arguments) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (asRoot())
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("nobody"),
                                                             QStringLiteral("--"), program} +
                                                     arguments);
    else
        process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw std::runtime_error(
            QStringLiteral("%1 failed: %2")
                .arg(QFileInfo(program).fileName(), QString::fromLocal8Bit(process.readAll()).trimmed())
                .toStdString());
}

namespace {

// A value of an SQLite row as COPY's text format spells it in the server's column.
void appendValue(QByteArray &line, sqlite3_stmt *row, int column)
{
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL:
        line += "\\N";
        break;
    case SQLITE_INTEGER:
        line += QByteArray::number(sqlite3_column_int64(row, column));
        break;
    case SQLITE_FLOAT:
        line += QByteArray::number(sqlite3_column_double(row, column), 'g', 17);
        break;
    case SQLITE_BLOB: {
        const QByteArray blob(static_cast<const char *>(sqlite3_column_blob(row, column)),
                              sqlite3_column_bytes(row, column));
        line += "\\\\x" + blob.toHex();
        break;
    }
    default:
        line += copyText(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(row, column)),
                                    sqlite3_column_bytes(row, column)));
    }
}

// Every row of `table` from the SQLite store into the server's table, a few thousand rows a chunk.
void copyTable(ServerConnection &server, sqlite3 *source, const TableDef &table)
{
    QStringList quoted, columns;
    for (const FieldDef &f : table.fields) {
        quoted << QLatin1Char('"') + f.name + QLatin1Char('"');
        columns << f.name.toLower();
    }
    SqliteStatement rows(source, QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY \"Id\"")
                                     .arg(quoted.join(QLatin1Char(',')), table.name)
                                     .toUtf8()
                                     .constData());
    bool read = false; // SQLite would start the rows again after their end
    server.copy(table.name, columns, [&] {
        QByteArray chunk;
        for (int n = 0; n < 4096 && !read; ++n) {
            if (!rows.step()) {
                read = true;
                break;
            }
            for (int c = 0; c < columns.size(); ++c) {
                if (c > 0)
                    chunk += '\t';
                appendValue(chunk, rows.handle(), c);
            }
            chunk += '\n';
        }
        return chunk;
    });
}

// The indexes and triggers that a bulk copy does without, made again at the end, the rows the
// triggers keep computed once by the migrations' own statements, and the identities' sequences moved
// past the rows copied, as the identity trigger moves them row by row.
class DeferredServerSchema
{
public:
    explicit DeferredServerSchema(ServerConnection &server)
        : m_server(server)
    {
        for (const QStringList &index : server.exec(QStringLiteral(
                 "SELECT indexname, indexdef FROM pg_indexes WHERE schemaname = 'public' AND indexname "
                 "NOT IN (SELECT conname FROM pg_constraint) ORDER BY indexname"))) {
            server.exec(QStringLiteral("DROP INDEX %1").arg(index.at(0)));
            m_indexes << index.at(1);
        }
        for (const TableDef &t : Schema::tables())
            server.exec(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER").arg(t.name));
    }

    void restore()
    {
        for (int version = 2; version <= Schema::latestVersion(); ++version) {
            for (const QString &statement : ServerSql::migration(version)) {
                if (statement.startsWith(QLatin1String("INSERT INTO")))
                    m_server.exec(statement);
            }
        }
        for (const TableDef &t : Schema::tables()) {
            m_server.exec(
                QStringLiteral("SELECT setval('%1_id_seq', max(id)) FROM %1 HAVING max(id) IS NOT NULL")
                    .arg(t.name));
            m_server.exec(QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER USER").arg(t.name));
        }
        for (const QString &index : std::as_const(m_indexes))
            m_server.exec(index);
    }

private:
    ServerConnection &m_server;
    QStringList m_indexes;
};

} // namespace

ServerStore::ServerStore(const QString &server, const SyntheticStore &source, Fill fill)
    : m_server(server)
    , m_name(QStringLiteral("vozy_bench_%1_%2%3")
                 .arg(QCoreApplication::applicationPid())
                 .arg(source.orders)
                 .arg(fill == Fill::Bulk ? "" : "_rows"))
{
    ConnectionString connection = ConnectionString::parse(server);
    connection.set(QStringLiteral("dbname"), m_name);
    m_connection = connection.text();
    connection.set(QStringLiteral("dbname"), m_name + QStringLiteral("_raw"));
    m_rawConnection = connection.text();

    ServerConnection admin(server);
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    admin.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' "
                              "LC_CTYPE 'C.UTF-8'")
                   .arg(m_name));
    Database::createServer(m_connection); // the program's own schema, then closed
    {
        SqliteConnection from(source.file);
        ServerConnection to(m_connection);
        to.exec(QStringLiteral("BEGIN"));
        std::optional<DeferredServerSchema> deferred;
        if (fill == Fill::Bulk)
            deferred.emplace(to);
        for (const TableDef &table : Schema::tables())
            copyTable(to, from.handle(), table);
        if (deferred)
            deferred->restore();
        to.exec(QStringLiteral("COMMIT"));
        // What the server's own maintenance does soon after a load, before the first measurement.
        to.exec(QStringLiteral("VACUUM ANALYZE"));
    }
    admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1_raw WITH (FORCE)").arg(m_name));
    admin.exec(QStringLiteral("CREATE DATABASE %1_raw TEMPLATE %1").arg(m_name));
    m_bytes =
        admin.exec(QStringLiteral("SELECT pg_database_size('%1')").arg(m_name)).at(0).at(0).toLongLong();
}

ServerStore::~ServerStore()
{
    try {
        ServerConnection admin(m_server);
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1_raw WITH (FORCE)").arg(m_name));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vozy-bench: %s\n", e.what());
    }
}
