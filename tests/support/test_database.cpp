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

} // namespace

bool TestDatabase::onServer()
{
    return qEnvironmentVariable("VOZY_TEST_ENGINE") == QLatin1String("postgres");
}

QString TestDatabase::createServerDatabase()
{
    static int created = 0;
    const QString name =
        QStringLiteral("vozy_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++created);
    onMaintenance(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' "
                                 "LC_CTYPE 'C.UTF-8'")
                      .arg(name));
    ConnectionString connection = ConnectionString::parse(serverAdmin());
    connection.set(QStringLiteral("dbname"), name);
    return connection.text();
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
    , m_db(onServer() ? Database::createServer(createServerDatabase())
                      : Database::create(Database::storeFile(m_dir.path())))
{
}

TestDatabase::~TestDatabase()
{
    m_module.reset();
    if (!m_db || m_db->engine() != Database::Engine::Postgres)
        return;
    const QString connection = m_db->file();
    m_db.reset();
    dropServerDatabase(connection);
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

TDataModule2 &TestDatabase::module()
{
    if (!m_module)
        m_module = std::make_unique<TDataModule2>(*m_db);
    return *m_module;
}
