#include "data/data_error.h"
#include "data/dataset.h"
#include "tests/support/test_database.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

// Display fields: chains through other datasets, first match, dangling references, and the
// looked-in dataset's current view.
class TestLookups : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_store;
    qint64 m_driver = 0;
    qint64 m_model = 0;

    TDataModule2 &dm() { return m_store->module(); }
    qint64 insert(const char *table, const QVariantMap &fields)
    {
        return m_store->insert(QString::fromLatin1(table), fields);
    }

private Q_SLOTS:
    void init()
    {
        m_store = std::make_unique<TestDatabase>();
        m_model = insert("auto", {{"Name", "Волга ГАЗ-3110"}});
        m_driver =
            insert("taxisti",
                   {{"Familiya", "Петров"}, {"Number", 17.0}, {"IdAuto", m_model}, {"NumberAuto", "А123ВС"}});
        insert("grafic", {{"IdTaxist", m_driver}});
    }
    void cleanup() { m_store.reset(); }

    void queueShowsTheDriverThroughHisScheduleRow()
    {
        const qint64 unscheduled = insert("taxisti", {{"Familiya", "Сидоров"}, {"Number", 18}});
        insert("vozyraion", {{"Vozy", m_driver}, {"Raion", 1}, {"Status", 0}});
        insert("vozyraion", {{"Vozy", unscheduled}, {"Raion", 1}, {"Status", 0}});
        Dataset &queue = *dm().Vozy_raion;
        QCOMPARE(queue.text("TTVozy"), QStringLiteral("Петров"));
        QCOMPARE(queue.value("TTVozyNumber"), QVariant(qlonglong(17)));
        QCOMPARE(queue.text("TVozyAuto"),
                 QStringLiteral("Волга ГАЗ-3110")); // three steps: queue, schedule, driver, model
        QCOMPARE(queue.text("TTNumberAutoTaxi"), QStringLiteral("А123ВС"));
        queue.next();
        QVERIFY(queue.isNull("TTVozy")); // no schedule row: nothing to show
        QVERIFY(queue.isNull("TTVozyNumber"));
        QVERIFY(queue.isNull("TVozyAuto"));
    }

    void journalShowsTheDriverThroughTheQueueAndTheViewThroughTheDriversTable()
    {
        const qint64 order = insert("gurnal", {{"IdVozy", m_driver}, {"Status", 1}});
        Q_UNUSED(order);
        std::unique_ptr<Dataset> current(makeCurrentOrdersView(dm(), nullptr));
        Dataset &journal = *dm().Gurnal;
        // Not in any queue: the queue-based fields are empty, the drivers' table still answers.
        QVERIFY(journal.isNull("Vozy"));
        QVERIFY(current->isNull("Taxxx"));
        QVERIFY(current->isNull("TaxxNumber"));
        QCOMPARE(current->text("Vozy"), QStringLiteral("Петров"));
        QCOMPARE(current->value("VozyNumber"), QVariant(qlonglong(17)));
        QCOMPARE(current->text("AutoVozy"),
                 QStringLiteral("Волга ГАЗ-3110")); // keyed on another display field
        QCOMPARE(current->text("AutoNumber"), QStringLiteral("А123ВС"));

        // Put on the line: the queue-based fields follow at once.
        dm().Vozy_raion->append();
        dm().Vozy_raion->setValue("Vozy", m_driver);
        dm().Vozy_raion->setValue("Raion", 1);
        dm().Vozy_raion->post();
        QCOMPARE(journal.text("Vozy"), QStringLiteral("Петров"));
        QCOMPARE(journal.value("VozyNumber"), QVariant(qlonglong(17)));
        QCOMPARE(current->text("Taxxx"), QStringLiteral("Петров"));
    }

    void displayWidthCutsTheShownText()
    {
        insert("gurnal", {{"IdVozy", m_driver}, {"Status", 1}});
        std::unique_ptr<Dataset> current(makeCurrentOrdersView(dm(), nullptr));
        QCOMPARE(current->text("AutoVozy"), QStringLiteral("Волга ГАЗ-3110")); // 14 of 15
        dm().Table2->edit();
        dm().Table2->setValue("Name", "Мерседес-Бенц Е-класс");
        dm().Table2->post();
        QCOMPARE(current->text("AutoVozy"), QStringLiteral("Мерседес-Бенц Е"));      // 15
        QCOMPARE(dm().Table1->text("Auto"), QStringLiteral("Мерседес-Бенц Е-клас")); // 20
    }

    void firstMatchWinsAndDanglingShowsEmpty()
    {
        insert("grafic", {{"IdTaxist", m_driver}}); // a second shift of the same driver
        const qint64 other = insert("taxisti", {{"Familiya", "Другой"}});
        insert("vozyraion", {{"Vozy", m_driver}, {"Raion", 1}});
        Dataset &schedule = *dm().Grafic;
        QCOMPARE(schedule.recordCount(), 2);
        // The queue record finds the first schedule row; both show the same driver.
        QCOMPARE(dm().Vozy_raion->text("TTVozy"), QStringLiteral("Петров"));

        insert("gurnal", {{"IdOperator", 99}, {"IdOtkudaRaion", 42}, {"IdVozy", other}});
        Dataset &journal = *dm().Gurnal;
        QVERIFY(journal.isNull("Operator"));
        QVERIFY(journal.isNull("Otkuda_Raion"));
        QVERIFY(journal.isNull("Vozy"));
        QCOMPARE(journal.text("Operator"), QString());
    }

    void theLookedInFilterApplies()
    {
        const qint64 lenina = insert("ulica", {{"IdRion", 1}, {"Ulica", "Ленина"}});
        const qint64 mira = insert("ulica", {{"IdRion", 2}, {"Ulica", "Мира"}});
        insert("gurnal", {{"IdOtkudaUlica", lenina}});
        insert("gurnal", {{"IdOtkudaUlica", mira}});
        Dataset &journal = *dm().Gurnal;
        Dataset &streets = *dm().Table5;
        QSignalSpy changed(&journal, &Dataset::lookupsChanged);
        QCOMPARE(journal.textAt(1, "Otkuda_Ulica"), QStringLiteral("Мира"));
        streets.setFilter("IdRion=1");
        streets.setFiltered(true);
        QVERIFY(changed.count() > 0);
        QCOMPARE(journal.textAt(0, "Otkuda_Ulica"), QStringLiteral("Ленина"));
        QCOMPARE(journal.textAt(1, "Otkuda_Ulica"), QString()); // outside the street list of district 1
        streets.setFiltered(false);
        QCOMPARE(journal.textAt(1, "Otkuda_Ulica"), QStringLiteral("Мира"));
    }

    void aDeletedRowEmptiesTheDisplayFieldsThatPointedAtIt()
    {
        const qint64 district = insert("raion", {{"Raion", "Центр"}});
        insert("ulica", {{"IdRion", district}, {"Ulica", "Ленина"}});
        insert("rastoyan", {{"IdRaion1", district}, {"IdRaion2", district}, {"KM", 3.5}});
        Dataset &streets = *dm().Table5;
        Dataset &distances = *dm().rastoyan;
        QCOMPARE(streets.text("Raion"), QStringLiteral("Центр"));
        QCOMPARE(distances.text("Raion2"), QStringLiteral("Центр"));
        dm().Table6->deleteRecord();
        QCOMPARE(streets.text("Raion"), QString());
        QCOMPARE(distances.text("Raion1"), QString());
        QCOMPARE(m_store->count("ulica"), 1);
        QCOMPARE(m_store->count("rastoyan"), 1);
    }

    void lookupFieldsAreReadOnly()
    {
        Dataset &schedule = *dm().Grafic;
        schedule.edit();
        QVERIFY_THROWS_EXCEPTION(DataError, schedule.setValue("familiya", "Иванов"));
        QVERIFY(!schedule.isModified());
    }
};

QTEST_GUILESS_MAIN(TestLookups)
#include "test_lookups.moc"
