#pragma once

#include "data/data_module.h"
#include "data/database.h"

#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

// A fresh store in a temporary working directory, for one test: an SQLite file, or, in the tests'
// server half (VOZY_TEST_ENGINE=postgres), a database of its own on the server VOZY_TEST_SERVER names.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();

    // Whether this run's stores are on the server.
    static bool onServer();
    // A new empty database on the test server and its connection; dropped by dropServerDatabase.
    static QString createServerDatabase();
    static void dropServerDatabase(const QString &connection);
    // A new database on the test server, a copy of `from` (another database's name).
    static QString createServerDatabase(const QString &from);
    // A new database with the program's tables, copied from one made once for the run.
    static QString migratedServerDatabase();

    const QString &dir() const { return m_dirPath; }
    Database &db() { return *m_db; }
    // How another workstation connects to this store, and a connection of its own to it (on SQLite,
    // another copy of the program, which the program itself refuses to start).
    QString connection() const { return m_db->file(); }
    std::unique_ptr<Database> anotherWorkstation() const;

    // Inserts a row with the given fields and returns its Id.
    qint64 insert(const QString &table, const QVariantMap &fields);
    // A single value by SQL, for checks that go past the datasets.
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    int count(const QString &table, const QString &where = QString(), const QVariantList &values = {});
    // Every row of every table but `except`, as text: what a test compares to see that nothing else
    // changed.
    QString dump(const QString &except = QString());

    // A trigger that makes the store refuse the writes `when` names ("BEFORE INSERT ON gorod") with
    // `reason`, on the rows `condition` picks ("NEW.Gorod = 'плохо'"; every row when empty): a store
    // failure at a chosen step. allow() lifts it.
    void refuse(const QString &when, const QString &reason, const QString &condition = QString());
    void allow();

    // The shared data module over this store, created on first use.
    TDataModule2 &module();

private:
    QTemporaryDir m_dir;
    QString m_dirPath;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<TDataModule2> m_module;
    QString m_refusedTable;
};

// Skips a test that looks into SQLite itself (its file, pragmas, plans, statement trace).
#define SKIP_ON_SERVER(why)                                                                                  \
    do {                                                                                                     \
        if (TestDatabase::onServer())                                                                        \
            QSKIP("SQLite only: " why);                                                                      \
    } while (false)
