#include "tests/support/test_database.h"

#include "data/connection_string.h"
#include "data/data_error.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

QString serverAdmin()
{
    return qEnvironmentVariable("VOZY_TEST_SERVER");
}

// Runs one statement on the test server's maintenance database.
void onMaintenance(const QString &sql)
{
    const QString name = QStringLiteral("vozy-test-maintenance");
    {
        QSqlDatabase admin = QSqlDatabase::contains(name)
                                 ? QSqlDatabase::database(name)
                                 : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        if (!admin.isOpen()) {
            ConnectionString::parse(serverAdmin()).applyTo(admin);
            if (!admin.open())
                throw DataError(QStringLiteral("Test server: ") + admin.lastError().text());
        }
        QSqlQuery query(admin);
        if (!query.exec(sql))
            throw DataError(QStringLiteral("Test server: ") + query.lastError().text());
    }
}

// The migrated database that each test's database is copied from.
QString &migratedTemplate()
{
    static QString connection;
    return connection;
}

// The last test's database, emptied for the next test. A copy costs the server a checkpoint, some
// tenths of a second; emptying the tables, a few milliseconds.
QString &spareDatabase()
{
    static QString connection;
    return connection;
}

QString queried(Database &db, const QString &sql)
{
    QSqlQuery query = db.prepare(sql);
    Database::exec(query);
    return query.next() ? query.value(0).toString() : QString();
}

// The database's tables, columns, triggers, functions and schema version: what a test may have
// changed besides rows, which emptying the tables would not undo.
QString shapeOf(Database &db)
{
    return queried(db, QStringLiteral(R"(SELECT md5(string_agg(x, ',' ORDER BY x)) FROM (
SELECT concat('c', c.relname, c.relkind::text) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace
    WHERE n.nspname = 'public'
UNION ALL SELECT concat('a', c.relname, a.attname, a.atttypid::text) FROM pg_attribute a
    JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace
    WHERE n.nspname = 'public' AND a.attnum > 0 AND NOT a.attisdropped
UNION ALL SELECT concat('t', tgname, tgrelid::text, tgenabled::text) FROM pg_trigger WHERE NOT tgisinternal
UNION ALL SELECT concat('p', p.oid::regprocedure::text, md5(p.prosrc)) FROM pg_proc p
    JOIN pg_namespace n ON n.oid = p.pronamespace WHERE n.nspname = 'public'
UNION ALL SELECT concat('v', version::text) FROM vozy_version) AS shape(x))"));
}

QString &templateShape()
{
    static QString shape;
    return shape;
}

// Empties a test's database for the next test when nothing but rows changed in it.
bool emptiedForReuse(Database &db)
{
    if (shapeOf(db) != templateShape())
        return false;
    db.execute(QStringLiteral("SET lock_timeout = 1000"));
    db.execute(QStringLiteral(R"(DO $$
DECLARE
    s record;
BEGIN
    EXECUTE (SELECT 'TRUNCATE ' || string_agg(quote_ident(tablename), ', ') FROM pg_tables
             WHERE schemaname = 'public' AND tablename <> 'vozy_version');
    FOR s IN SELECT sequencename FROM pg_sequences WHERE schemaname = 'public' LOOP
        EXECUTE 'ALTER SEQUENCE ' || quote_ident(s.sequencename) || ' RESTART';
    END LOOP;
END $$)"));
    return true;
}

} // namespace

bool TestDatabase::onServer()
{
    return qEnvironmentVariable("VOZY_TEST_ENGINE") == QLatin1String("postgres");
}

QString TestDatabase::createServerDatabase()
{
    return createServerDatabase(QStringLiteral("template0"));
}

QString TestDatabase::createServerDatabase(const QString &from)
{
    static int created = 0;
    const QString name =
        QStringLiteral("vozy_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++created);
    onMaintenance(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2 ENCODING 'UTF8' LC_COLLATE 'C' "
                                 "LC_CTYPE 'C.UTF-8'")
                      .arg(name, from));
    ConnectionString connection = ConnectionString::parse(serverAdmin());
    connection.set(QStringLiteral("dbname"), name);
    return connection.text();
}

// The tables made once for the whole run and copied for a test: the migrations take far longer than
// the server's copy of a database. Dropped when the run ends. The last test's database, emptied, is
// taken first.
QString TestDatabase::migratedServerDatabase()
{
    if (!spareDatabase().isEmpty())
        return std::exchange(spareDatabase(), {});
    QString &made = migratedTemplate();
    if (made.isEmpty()) {
        made = createServerDatabase();
        const auto db = Database::createServer(made);
        // SQLite's functions that the tests' own checks use, so that one check reads either engine.
        for (const char *statement :
             {"CREATE FUNCTION ifnull(v anyelement, otherwise text) RETURNS text LANGUAGE sql IMMUTABLE AS "
              "$$ SELECT coalesce(v::text, otherwise) $$",
              "CREATE FUNCTION group_concat_step(sofar text, v anyelement, separator text) RETURNS text "
              "LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN v IS NULL THEN sofar WHEN sofar IS NULL THEN "
              "v::text ELSE sofar || separator || v::text END $$",
              "CREATE FUNCTION group_concat_step(sofar text, v anyelement) RETURNS text LANGUAGE sql "
              "IMMUTABLE AS $$ SELECT group_concat_step(sofar, v, ',') $$",
              "CREATE AGGREGATE group_concat(anyelement, text) (SFUNC = group_concat_step, STYPE = text)",
              "CREATE AGGREGATE group_concat(anyelement) (SFUNC = group_concat_step, STYPE = text)",
              "CREATE FUNCTION hex(v bytea) RETURNS text LANGUAGE sql IMMUTABLE AS "
              "$$ SELECT upper(encode(v, 'hex')) $$"})
            db->execute(QString::fromLatin1(statement));
        templateShape() = shapeOf(*db);
        qAddPostRoutine([] {
            dropServerDatabase(migratedTemplate());
            if (!spareDatabase().isEmpty())
                dropServerDatabase(std::exchange(spareDatabase(), {}));
        });
    }
    return createServerDatabase(ConnectionString::parse(made).value(QStringLiteral("dbname")));
}

void TestDatabase::dropServerDatabase(const QString &connection)
{
    const QString name = ConnectionString::parse(connection).value(QStringLiteral("dbname"));
    try {
        onMaintenance(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    } catch (const DataError &) {
        // The server is gone already: the cluster goes with it.
    }
}

TestDatabase::TestDatabase()
    : m_dirPath(m_dir.path())
    , m_db(onServer() ? Database::openServer(migratedServerDatabase())
                      : Database::create(Database::storeFile(m_dir.path())))
{
}

TestDatabase::~TestDatabase()
{
    m_module.reset();
    if (!m_db || m_db->engine() != Database::Engine::Postgres)
        return;
    const QString connection = m_db->file();
    bool reusable = false;
    try {
        reusable = spareDatabase().isEmpty() && emptiedForReuse(*m_db);
    } catch (const DataError &) {
        // A connection the test left in a failed transaction, or the server gone: a fresh copy.
    }
    m_db.reset();
    if (reusable)
        spareDatabase() = connection;
    else
        dropServerDatabase(connection);
}

std::unique_ptr<Database> TestDatabase::anotherWorkstation() const
{
    return onServer() ? Database::openServer(connection()) : Database::open(connection());
}

qint64 TestDatabase::insert(const QString &table, const QVariantMap &fields)
{
    QStringList columns, marks;
    for (auto it = fields.constBegin(); it != fields.constEnd(); ++it) {
        columns << QLatin1Char('"') + it.key() + QLatin1Char('"');
        marks << QStringLiteral("?");
    }
    const QString sql = columns.isEmpty()
                            ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)
                            : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                  .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    QSqlQuery query = m_db->prepare(sql + m_db->returningId());
    for (const QVariant &v : fields) // logicals are kept as 0/1 on either engine
        query.addBindValue(v.typeId() == QMetaType::Bool ? QVariant(v.toBool() ? 1 : 0) : v);
    Database::exec(query);
    const qint64 id = Database::insertedId(query);
    m_db->notifyWritten(table);
    return id;
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = m_db->prepare(sql);
    for (const QVariant &v : values)
        query.addBindValue(v);
    Database::exec(query);
    return query.next() ? query.value(0) : QVariant();
}

int TestDatabase::count(const QString &table, const QString &where, const QVariantList &values)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"%2")
                      .arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where),
                  values)
        .toInt();
}

QString TestDatabase::dump(const QString &except)
{
    QString text;
    for (const TableDef &table : Schema::tables()) {
        if (table.name == except)
            continue;
        QSqlQuery rows =
            m_db->prepare(QStringLiteral("SELECT * FROM \"%1\" ORDER BY \"Id\"").arg(table.name));
        Database::exec(rows);
        while (rows.next()) {
            for (int i = 0; i < table.fields.size(); ++i)
                text += rows.value(i).toString() + QLatin1Char('|');
            text += QLatin1Char('\n');
        }
    }
    return text;
}

void TestDatabase::refuse(const QString &when, const QString &reason, const QString &condition)
{
    m_refusedTable = when.section(QStringLiteral(" ON "), 1).trimmed();
    const QString message = QString(reason).replace(QLatin1Char('\''), QStringLiteral("''"));
    if (onServer()) {
        m_db->execute(
            QStringLiteral("CREATE OR REPLACE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN RAISE EXCEPTION '%1'; END $$")
                .arg(message));
        m_db->execute(
            QStringLiteral("CREATE TRIGGER refuse %1 FOR EACH ROW %2 EXECUTE FUNCTION refuse()")
                .arg(when, condition.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(condition)));
        return;
    }
    m_db->execute(
        QStringLiteral("CREATE TRIGGER refuse %1 %2 BEGIN SELECT RAISE(ABORT, '%3'); END")
            .arg(when, condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition, message));
}

void TestDatabase::allow()
{
    m_db->execute(onServer() ? QStringLiteral("DROP TRIGGER refuse ON %1").arg(m_refusedTable)
                             : QStringLiteral("DROP TRIGGER refuse"));
}

TDataModule2 &TestDatabase::module()
{
    if (!m_module)
        m_module = std::make_unique<TDataModule2>(*m_db);
    return *m_module;
}
