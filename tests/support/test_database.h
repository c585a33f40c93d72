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

    const QString &dir() const { return m_dirPath; }
    Database &db() { return *m_db; }
    // How another workstation connects to this store.
    QString connection() const { return m_db->file(); }

    // Inserts a row with the given fields and returns its Id.
    qint64 insert(const QString &table, const QVariantMap &fields);
    // A single value by SQL, for checks that go past the datasets.
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    int count(const QString &table, const QString &where = QString(), const QVariantList &values = {});
    // Every row of every table but `except`, as text: what a test compares to see that nothing else
    // changed.
    QString dump(const QString &except = QString());

    // The shared data module over this store, created on first use.
    TDataModule2 &module();

private:
    QTemporaryDir m_dir;
    QString m_dirPath;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<TDataModule2> m_module;
};

// Skips a test that looks into SQLite itself (its file, pragmas, plans, statement trace).
#define SKIP_ON_SERVER(why)                                                                                  \
    do {                                                                                                     \
        if (TestDatabase::onServer())                                                                        \
            QSKIP("SQLite only: " why);                                                                      \
    } while (false)
