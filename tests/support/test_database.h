#pragma once

#include "data/data_module.h"
#include "data/database.h"

#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

// A fresh store in a temporary working directory, for one test.
class TestDatabase
{
public:
    TestDatabase();

    const QString &dir() const { return m_dirPath; }
    Database &db() { return *m_db; }

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
