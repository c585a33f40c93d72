#pragma once

#include "data/dataset.h"
#include "tests/support/test_database.h"
#include "tests/support/ui_support.h"

#include <QApplication>
#include <QTest>

#include <memory>

// A fresh store and message seam for each test of a control, numbers in Russian notation, and no
// window left behind.
class UiTestCase : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<TestDatabase> m_store;
    ScriptedMessages m_messages;

    TDataModule2 &dm() { return m_store->module(); }
    qint64 insert(const char *table, const QVariantMap &fields) { return m_store->insert(table, fields); }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init()
    {
        m_store = std::make_unique<TestDatabase>();
        m_messages = ScriptedMessages();
        fill();
    }
    void cleanup()
    {
        release();
        m_store.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

private:
    virtual void fill() {}
    virtual void release() {} // the windows of the test go before its store
};
