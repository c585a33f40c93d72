#include "tests/support/store_fault.h"

#include "data/data_error.h"
#include "data/database.h"
#include "data/schema.h"
#include "tests/support/test_database.h"

#include <QTest>

StoreFault::StoreFault(TestDatabase &store, Kind kind, const QString &fillerTable, const QVariantMap &filler)
    : m_store(store)
    , m_kind(kind)
{
    if (TestDatabase::onServer()) {
        injectOnServer(fillerTable);
        return;
    }
    m_store.db().execute(QStringLiteral("PRAGMA busy_timeout = 50"));
    switch (kind) {
    case Kind::Locked:
        m_other = Database::open(m_store.db().file());
        m_other->execute(QStringLiteral("BEGIN IMMEDIATE"));
        break;
    case Kind::ReadOnly:
        m_store.db().execute(QStringLiteral("PRAGMA query_only = 1"));
        break;
    case Kind::DiskFull:
        m_store.db().execute(QStringLiteral("PRAGMA max_page_count = 1")); // no page beyond those there
        try {
            for (int i = 0; i < 10000; ++i)
                m_store.insert(fillerTable, filler);
        } catch (const DataError &) {
            return; // the last page is full
        }
        throw DataError(QStringLiteral("the store never filled up"));
    }
}

// The same faults as a server gives them: another connection's lock on every table, a session that
// may only read (as on a standby server), and the server's own code for a full disk.
void StoreFault::injectOnServer(const QString &fillerTable)
{
    switch (m_kind) {
    case Kind::Locked: {
        m_store.db().execute(QStringLiteral("SET lock_timeout = 50"));
        QStringList tables;
        for (const TableDef &table : Schema::tables())
            tables << table.name;
        m_other = Database::openServer(m_store.db().file());
        m_other->execute(QStringLiteral("BEGIN"));
        m_other->execute(
            QStringLiteral("LOCK TABLE %1 IN EXCLUSIVE MODE").arg(tables.join(QLatin1Char(','))));
        break;
    }
    case Kind::ReadOnly:
        m_store.db().execute(QStringLiteral("SET default_transaction_read_only = on"));
        break;
    case Kind::DiskFull:
        m_store.db().execute(
            QStringLiteral("CREATE OR REPLACE FUNCTION disk_full() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN RAISE EXCEPTION 'could not extend file' USING "
                           "ERRCODE = 'disk_full'; END $$"));
        m_store.db().execute(QStringLiteral("CREATE TRIGGER disk_full BEFORE INSERT OR UPDATE ON %1 FOR EACH "
                                            "ROW EXECUTE FUNCTION disk_full()")
                                 .arg(fillerTable));
        m_fullTable = fillerTable;
        break;
    }
}

StoreFault::~StoreFault()
{
    lift();
}

void StoreFault::lift()
{
    if (m_lifted)
        return;
    m_lifted = true;
    const bool server = TestDatabase::onServer();
    switch (m_kind) {
    case Kind::Locked:
        m_other->execute(QStringLiteral("ROLLBACK"));
        m_other.reset();
        break;
    case Kind::ReadOnly:
        m_store.db().execute(server ? QStringLiteral("SET default_transaction_read_only = off")
                                    : QStringLiteral("PRAGMA query_only = 0"));
        break;
    case Kind::DiskFull:
        m_store.db().execute(server ? QStringLiteral("DROP TRIGGER disk_full ON %1").arg(m_fullTable)
                                    : QStringLiteral("PRAGMA max_page_count = 1073741823"));
        break;
    }
}

void StoreFault::addWriteFaultRows()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("locked by another copy") << QStringLiteral("locked");
    QTest::newRow("read-only") << QStringLiteral("read-only");
}

StoreFault::Kind StoreFault::kindNamed(const QString &name)
{
    if (name == QLatin1String("locked"))
        return Kind::Locked;
    if (name == QLatin1String("read-only"))
        return Kind::ReadOnly;
    return Kind::DiskFull;
}

QString StoreFault::said(Kind kind)
{
    switch (kind) {
    case Kind::Locked:
        return QStringLiteral("занята другой программой");
    case Kind::ReadOnly:
        return QStringLiteral("только для чтения");
    case Kind::DiskFull:
        return QStringLiteral("Недостаточно места на диске");
    }
    return {};
}
