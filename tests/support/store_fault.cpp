#include "tests/support/store_fault.h"

#include "data/data_error.h"
#include "data/database.h"
#include "tests/support/test_database.h"

#include <QTest>

StoreFault::StoreFault(TestDatabase &store, Kind kind, const QString &fillerTable, const QVariantMap &filler)
    : m_store(store)
    , m_kind(kind)
{
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

StoreFault::~StoreFault()
{
    lift();
}

void StoreFault::lift()
{
    if (m_lifted)
        return;
    m_lifted = true;
    switch (m_kind) {
    case Kind::Locked:
        m_other->execute(QStringLiteral("ROLLBACK"));
        m_other.reset();
        break;
    case Kind::ReadOnly:
        m_store.db().execute(QStringLiteral("PRAGMA query_only = 0"));
        break;
    case Kind::DiskFull:
        m_store.db().execute(QStringLiteral("PRAGMA max_page_count = 1073741823"));
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
