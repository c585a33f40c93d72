#include "data/data_error.h"
#include "data/data_module.h"
#include "data/database.h"
#include "data/dataset.h"
#include "tests/support/test_database.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

// Two workstations on one server database: each a data module on a connection of its own. What does
// not depend on the server's news runs on two connections to one SQLite file as well.
#define SERVER_ONLY()                                                                                        \
    do {                                                                                                     \
        if (!TestDatabase::onServer())                                                                       \
            QSKIP("One SQLite file serves one copy of the program.");                                        \
    } while (false)

class TestWorkstations : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_first;
    std::unique_ptr<Database> m_secondStore;
    std::unique_ptr<TDataModule2> m_second;

private Q_SLOTS:
    void init()
    {
        m_first = std::make_unique<TestDatabase>();
        m_secondStore = m_first->anotherWorkstation();
        m_second = std::make_unique<TDataModule2>(*m_secondStore);
    }

    void cleanup()
    {
        m_second.reset();
        m_secondStore.reset();
        m_first.reset();
    }

    // Each workstation's queue and current orders follow the other's writes within a second, without
    // reading the table again; a rolled back transaction tells nobody anything.
    void viewsFollowTheOtherWorkstation()
    {
        SERVER_ONLY();
        Dataset &mine = *m_first->module().Vozy_raion;
        Dataset &theirs = *m_second->Vozy_raion;
        Dataset &theirOrders = *m_second->Gurnal;
        theirs.setFilter(QStringLiteral("Raion=1 and Status=False"));
        theirs.setFiltered(true);
        theirOrders.setFilter(QStringLiteral("Status=true"));
        theirOrders.setFiltered(true);
        QCOMPARE(theirs.recordCount(), 0);
        QCOMPARE(theirOrders.recordCount(), 0);
        QSignalSpy told(m_secondStore.get(), &Database::tableWritten);

        QRandomGenerator random(14);
        int expected = 0;
        for (int round = 0; round < 20; ++round) {
            const int step = int(random.bounded(3));
            if (step == 0 || mine.recordCount() == 0) {
                mine.append();
                mine.setValue(QStringLiteral("Vozy"), round + 1);
                mine.setValue(QStringLiteral("Raion"), 1);
                mine.setValue(QStringLiteral("Status"), false);
                mine.post();
                ++expected;
            } else if (step == 1) {
                QVERIFY(mine.deleteId(mine.currentId()));
                --expected;
            } else {
                Database::Transaction undone(m_first->db());
                mine.append();
                mine.setValue(QStringLiteral("Raion"), 1);
                mine.post();
            }
            QTRY_COMPARE_WITH_TIMEOUT(theirs.recordCount(), expected, 1000);
        }
        QVERIFY(!told.isEmpty());

        m_first->insert(QStringLiteral("gurnal"),
                        {{QStringLiteral("Status"), true}, {QStringLiteral("IdVozy"), 3}});
        QTRY_COMPARE_WITH_TIMEOUT(theirOrders.recordCount(), 1, 1000);
        QCOMPARE(theirOrders.value(QStringLiteral("IdVozy")).toLongLong(), 3);
        m_first->db().execute(QStringLiteral("UPDATE gurnal SET Status = 0"));
        QTRY_COMPARE_WITH_TIMEOUT(theirOrders.recordCount(), 0, 1000);
    }

    // The server drops the connection mid-shift (restarted, or the network gone for a while): the
    // next write fails with a plain message and stores nothing, and the one after works again.
    void aLostConnectionIsSaidAndOpenedAgain()
    {
        SERVER_ONLY();
        // The statements prepared on the lost connection are let go without asking it to free them.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Unable to free statement")));
        Dataset &cities = *m_first->module().Table4;
        const auto addCity = [&](const QString &name) {
            cities.append();
            cities.setValue(QStringLiteral("Gorod"), name);
            cities.post();
        };
        addCity(QStringLiteral("Первый"));
        m_secondStore->execute(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                              "datname = current_database() AND pid <> pg_backend_pid()"));
        try {
            addCity(QStringLiteral("Второй"));
            QFAIL("a write on a lost connection must fail");
        } catch (const DataError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Нет связи с сервером базы данных.")),
                     qPrintable(e.message()));
        }
        QCOMPARE(m_second->Table4->recordCount(), 1);
        cities.post(); // the row stayed pending
        QCOMPARE(cities.recordCount(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_second->Table4->recordCount(), 2, 1000);
        m_second->Table4->append();
        m_second->Table4->setValue(QStringLiteral("Gorod"), QStringLiteral("Третий"));
        m_second->Table4->post();
        QTRY_COMPARE_WITH_TIMEOUT(cities.recordCount(), 3, 1000); // told to the new connection

        // A workstation closed while its server is away lets its statements go quietly too.
        m_first->db().execute(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                             "datname = current_database() AND pid <> pg_backend_pid()"));
        m_second.reset();
        m_secondStore.reset();
    }

    // An administrator deletes a row that another workstation is editing: that workstation's save
    // says so, stores nothing, and keeps the typed row for the dispatcher to see or cancel.
    void aRowDeletedWhileEditedElsewhereIsNotStored()
    {
        const qint64 kept =
            m_first->insert(QStringLiteral("gorod"), {{QStringLiteral("Gorod"), QStringLiteral("Первый")}});
        const qint64 deleted =
            m_first->insert(QStringLiteral("gorod"), {{QStringLiteral("Gorod"), QStringLiteral("Второй")}});
        Dataset &mine = *m_first->module().Table4;
        QVERIFY(mine.gotoId(deleted));
        mine.edit();
        mine.setValue(QStringLiteral("Gorod"), QStringLiteral("Изменён"));
        QVERIFY(m_second->Table4->deleteId(deleted));
        const QString before = m_first->dump();

        try {
            mine.post();
            QFAIL("the deleted row must not be saved");
        } catch (const DataError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Запись не найдена: её удалили")),
                     qPrintable(e.message()));
            if (TestDatabase::onServer())
                QVERIFY2(e.message().contains(QStringLiteral("на другом рабочем месте")),
                         qPrintable(e.message()));
        }
        QCOMPARE(m_first->dump(), before);
        QCOMPARE(m_first->count(QStringLiteral("gorod")), 1);
        QCOMPARE(mine.state(), Dataset::State::Edit);
        mine.cancel();
        QCOMPARE(m_first->scalar(QStringLiteral("SELECT Gorod FROM gorod WHERE Id = ?"), {kept}).toString(),
                 QStringLiteral("Первый"));
    }
};

QTEST_GUILESS_MAIN(TestWorkstations)
#include "test_workstations.moc"
