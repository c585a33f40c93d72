#pragma once

#include <QString>
#include <QVariantMap>

#include <memory>

class Database;
class TestDatabase;

// A fault of the store injected into a test's store, lifted again by lift() or at the end of its
// scope, on either engine. The store gives up on a lock after 50 ms here, not the program's five
// seconds.
class StoreFault
{
public:
    enum class Kind
    {
        Locked,   // another connection holds the write lock
        ReadOnly, // the store refuses every write
        DiskFull  // the store may not grow by a page
    };

    // For DiskFull, `filler` is a row like the one the test will store: rows like it are added to its
    // table until the table's last page has no room for another.
    StoreFault(TestDatabase &store, Kind kind, const QString &fillerTable = {},
               const QVariantMap &filler = {});
    ~StoreFault();
    StoreFault(const StoreFault &) = delete;
    StoreFault &operator=(const StoreFault &) = delete;

    void lift();

    static Kind kindNamed(const QString &name); // "locked", "read-only", "disk full"
    // The column "fault" of a test's data table, with the faults every write meets: "locked" and
    // "read-only".
    static void addWriteFaultRows();
    // A part of the message that the store's refusal shows.
    static QString said(Kind kind);

private:
    void injectOnServer(const QString &fillerTable);

    TestDatabase &m_store;
    Kind m_kind;
    bool m_lifted = false;
    std::unique_ptr<Database> m_other;
    QString m_fullTable;
};
