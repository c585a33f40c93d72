#include "data/data_error.h"
#include "data/dataset.h"
#include "data/row_writer.h"
#include "data/schema.h"
#include "tests/support/store_fault.h"
#include "tests/support/test_database.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

// The record-editing rules that every window relies on, on a real store.
class TestDataset : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_store;

    Dataset &cities() { return *m_store->module().Table4; }
    void addCities(const QStringList &names)
    {
        for (const QString &name : names)
            m_store->insert(QStringLiteral("gorod"), {{QStringLiteral("Gorod"), name}});
    }
    QStringList storedCities()
    {
        QStringList names;
        QSqlQuery q = m_store->db().prepare(QStringLiteral("SELECT Gorod FROM gorod ORDER BY Id"));
        Database::exec(q);
        while (q.next())
            names << q.value(0).toString();
        return names;
    }

private Q_SLOTS:
    void init() { m_store = std::make_unique<TestDatabase>(); }
    void cleanup() { m_store.reset(); }

    void opensOnTheFirstRowInIdOrder()
    {
        addCities({QStringLiteral("Первый"), QStringLiteral("Второй")});
        Dataset &d = cities();
        QCOMPARE(d.recordCount(), 2);
        QCOMPARE(d.recNo(), 0);
        QCOMPARE(d.text(QStringLiteral("Gorod")), QStringLiteral("Первый"));
        d.next();
        QCOMPARE(d.text(QStringLiteral("Gorod")), QStringLiteral("Второй"));
        d.next(); // at the end: stays
        QCOMPARE(d.recNo(), 1);
        d.prior();
        QCOMPARE(d.recNo(), 0);
    }

    // Rule 1 and 2: append begins a pending row at the end; edit on an empty table begins a new row;
    // edit while pending does nothing.
    void appendAndEditBeginPendingRows()
    {
        Dataset &d = cities();
        QVERIFY(d.isEmpty());
        d.edit();
        QCOMPARE(d.state(), Dataset::State::Insert);
        d.setValue(QStringLiteral("Gorod"), QStringLiteral("Новый"));
        d.edit(); // already pending: nothing
        QCOMPARE(d.state(), Dataset::State::Insert);
        QCOMPARE(d.recNo(), 0);
        d.post();
        QCOMPARE(storedCities(), QStringList{QStringLiteral("Новый")});

        d.append();
        QCOMPARE(d.state(), Dataset::State::Insert);
        QCOMPARE(d.recNo(), 1); // after the last stored row
        QVERIFY(d.isNull(QStringLiteral("Gorod")));
        d.cancel();
        d.edit();
        QCOMPARE(d.state(), Dataset::State::Edit);
        QCOMPARE(d.text(QStringLiteral("Gorod")), QStringLiteral("Новый"));
    }

    // Rule 4: post writes and browses; post with nothing pending is refused; an unchanged new row
    // is stored by an explicit post.
    void postStoresAndIsRefusedWhenBrowsing()
    {
        Dataset &d = cities();
        try {
            d.post();
            QFAIL("post while browsing must be refused");
        } catch (const DataError &e) {
            QCOMPARE(e.message(), QStringLiteral("Dataset not in edit or insert mode"));
        }
        d.append();
        d.post();
        QCOMPARE(m_store->count(QStringLiteral("gorod")), 1);
        QCOMPARE(d.state(), Dataset::State::Browse);
        QVERIFY(d.isNull(QStringLiteral("Gorod")));
        QVERIFY_THROWS_EXCEPTION(DataError, d.setValue(QStringLiteral("Gorod"), QStringLiteral("x")));
    }

    // Rule 5: a changed pending row is stored before a move, append or edit; an unchanged one dropped.
    void settleBeforeMoving_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("change");
        QTest::addColumn<QStringList>("stored");
        const QStringList two{QStringLiteral("А"), QStringLiteral("Б")};
        const QStringList three{QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")};
        for (const char *step : {"first", "next", "moveTo", "append", "edit", "refresh", "locate"}) {
            QTest::addRow("%s after a change", step) << step << true << three;
            QTest::addRow("%s without a change", step) << step << false << two;
        }
    }
    void settleBeforeMoving()
    {
        QFETCH(QString, step);
        QFETCH(bool, change);
        QFETCH(QStringList, stored);
        addCities({QStringLiteral("А"), QStringLiteral("Б")});
        Dataset &d = cities();
        d.append();
        if (change)
            d.setValue(QStringLiteral("Gorod"), QStringLiteral("В"));
        if (step == QLatin1String("first"))
            d.first();
        else if (step == QLatin1String("next"))
            d.next();
        else if (step == QLatin1String("moveTo"))
            d.moveTo(0);
        else if (step == QLatin1String("append"))
            d.append();
        else if (step == QLatin1String("edit"))
            d.edit(); // pending: does nothing, so the row stays pending
        else if (step == QLatin1String("refresh"))
            d.refresh();
        else
            d.locate(QStringLiteral("Gorod"), QStringLiteral("А"));
        if (step == QLatin1String("edit")) {
            QCOMPARE(d.state(), Dataset::State::Insert);
            d.first();
        }
        QCOMPARE(storedCities(), stored);
    }

    void editStoresOnlyTheChangedRow()
    {
        addCities({QStringLiteral("А"), QStringLiteral("Б")});
        Dataset &d = cities();
        d.next();
        d.edit();
        d.setValue(QStringLiteral("Gorod"), QStringLiteral("Б2"));
        d.first();
        QCOMPARE(storedCities(), (QStringList{QStringLiteral("А"), QStringLiteral("Б2")}));
        QCOMPARE(d.recNo(), 0);
        d.edit();
        d.next(); // nothing changed: dropped, the move happens
        QCOMPARE(d.recNo(), 1);
        QCOMPARE(d.state(), Dataset::State::Browse);
    }

    // Rule 6: every filter switch settles, re-reads and goes to the first passing row; a text set while
    // the filter is off changes nothing until it is switched on.
    void filterSwitchingRereadsAndGoesFirst()
    {
        for (int district : {1, 2, 2, 1, 2})
            m_store->insert(QStringLiteral("ulica"), {{QStringLiteral("IdRion"), district},
                                                      {QStringLiteral("Ulica"), QString::number(district)}});
        Dataset &streets = *m_store->module().Table5;
        QCOMPARE(streets.filter(), QStringLiteral("IdRion=1"));
        QVERIFY(!streets.isFiltered());
        QCOMPARE(streets.recordCount(), 5);
        streets.moveTo(3);
        streets.setFilter(QStringLiteral("IdRion=2")); // off: nothing changes
        QCOMPARE(streets.recordCount(), 5);
        QCOMPARE(streets.recNo(), 3);

        QSignalSpy resets(&streets, &Dataset::viewReset);
        streets.setFiltered(true);
        QCOMPARE(streets.recordCount(), 3);
        QCOMPARE(streets.recNo(), 0);
        QCOMPARE(streets.currentId(), qint64(2));
        streets.next();
        streets.setFiltered(true); // the state it already has: re-read and first row again
        QCOMPARE(streets.currentId(), qint64(2));
        streets.setFilter(QStringLiteral("IdRion=1")); // on: applies at once
        QCOMPARE(streets.recordCount(), 2);
        QCOMPARE(streets.currentId(), qint64(1));
        QCOMPARE(resets.count(), 3);

        streets.append();
        streets.setValue(QStringLiteral("Ulica"), QStringLiteral("Новая"));
        streets.setFiltered(false); // settles the changed row first
        QCOMPARE(m_store->count(QStringLiteral("ulica")), 6);
        QCOMPARE(streets.recNo(), 0);
    }

    // Rule 7: delete removes the current stored row, drops a pending new row, is refused on empty.
    void deleting()
    {
        Dataset &d = cities();
        try {
            d.deleteRecord();
            QFAIL("delete on an empty dataset must be refused");
        } catch (const DataError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot perform this operation on an empty dataset"));
        }
        d.append();
        d.deleteRecord(); // drops the pending row on an empty table
        QCOMPARE(d.state(), Dataset::State::Browse);

        addCities({QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")});
        d.refresh();
        d.next();
        d.append();
        d.setValue(QStringLiteral("Gorod"), QStringLiteral("Г"));
        d.deleteRecord(); // the pending row goes, nothing stored goes
        QCOMPARE(storedCities(),
                 (QStringList{QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")}));

        d.moveTo(1);
        d.deleteRecord();
        QCOMPARE(storedCities(), (QStringList{QStringLiteral("А"), QStringLiteral("В")}));
        QCOMPARE(d.text(QStringLiteral("Gorod")), QStringLiteral("В")); // the next row takes the place
        d.deleteRecord(); // the last row: the one before becomes current
        QCOMPARE(d.text(QStringLiteral("Gorod")), QStringLiteral("А"));

        d.edit();
        d.setValue(QStringLiteral("Gorod"), QStringLiteral("изменён"));
        d.deleteRecord(); // an edited row is deleted, its change discarded
        QCOMPARE(m_store->count(QStringLiteral("gorod")), 0);
        QVERIFY(d.isEmpty());
    }

    // Deleting by identity reaches rows outside the filtered view; the cursor keeps its own row, or
    // moves to the next one when its own row was the one deleted.
    void deletingByIdentityIgnoresTheFilter()
    {
        Dataset &queue = *m_store->module().Vozy_raion;
        QVector<qint64> ids;
        for (const auto &[raion, status] : {std::pair{1, false}, {2, false}, {1, false}, {1, true}})
            ids << m_store->insert(QStringLiteral("vozyraion"), {{QStringLiteral("Vozy"), 7},
                                                                 {QStringLiteral("Raion"), raion},
                                                                 {QStringLiteral("Status"), status}});
        queue.setFilter(QStringLiteral("Raion=1 and Status=False"));
        queue.setFiltered(true);
        QCOMPARE(queue.recordCount(), 2);
        QCOMPARE(queue.currentId(), ids[0]);

        QVERIFY(queue.deleteId(ids[1])); // another district: outside the view
        QVERIFY(queue.deleteId(ids[3])); // busy: outside the view
        QCOMPARE(queue.currentId(), ids[0]);
        QCOMPARE(queue.recordCount(), 2);
        QVERIFY(queue.deleteId(ids[0])); // the current row: the next takes its place
        QCOMPARE(queue.currentId(), ids[2]);
        QCOMPARE(queue.recordCount(), 1);
        QVERIFY(!queue.deleteId(ids[0])); // gone already
        QCOMPARE(m_store->count(QStringLiteral("vozyraion")), 1);

        queue.edit();
        queue.setValue(QStringLiteral("Raion"), 5);
        QVERIFY(queue.deleteId(ids[2])); // the edited row itself: its change is dropped, not stored
        QCOMPARE(queue.state(), Dataset::State::Browse);
        QVERIFY(queue.isEmpty());
        QCOMPARE(m_store->count(QStringLiteral("vozyraion")), 0);
    }

    // Rule 9: a store error abandons the operation and the row stays pending.
    void storeErrorLeavesTheRowPending()
    {
        m_store->refuse(QStringLiteral("BEFORE INSERT ON gorod"), QStringLiteral("запрещено"),
                        QStringLiteral("NEW.Gorod = 'плохо'"));
        addCities({QStringLiteral("А")});
        Dataset &d = cities();
        d.append();
        d.setValue(QStringLiteral("Gorod"), QStringLiteral("плохо"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                if (attempt == 0)
                    d.post();
                else
                    d.first(); // the settling store fails: no move either
                QFAIL("the store must refuse the row");
            } catch (const DataError &e) {
                QVERIFY2(e.message().contains(QStringLiteral("запрещено")), qPrintable(e.message()));
            }
            QCOMPARE(d.state(), Dataset::State::Insert);
            QCOMPARE(d.text(QStringLiteral("Gorod")), QStringLiteral("плохо"));
        }
        QVERIFY_THROWS_EXCEPTION(DataError, d.setFiltered(true));
        QVERIFY(!d.isFiltered());
        d.setValue(QStringLiteral("Gorod"), QStringLiteral("хорошо"));
        d.post();
        QCOMPARE(storedCities(), (QStringList{QStringLiteral("А"), QStringLiteral("хорошо")}));
    }

    void twoDatasetsOverOneTableSeeEachOthersWrites()
    {
        addCities({QStringLiteral("А"), QStringLiteral("Б")});
        TDataModule2 &dm = m_store->module();
        std::unique_ptr<Dataset> current(makeCurrentOrdersView(dm, nullptr));
        Dataset &journal = *dm.Gurnal;
        QCOMPARE(current->recordCount(), 0);

        journal.append();
        journal.setValue(QStringLiteral("Status"), true);
        journal.setValue(QStringLiteral("Dom"), QStringLiteral("12а"));
        journal.post();
        QCOMPARE(current->recordCount(), 1);
        QCOMPARE(current->text(QStringLiteral("Dom")), QStringLiteral("12а"));

        current->edit();
        current->setText(QStringLiteral("Status"), QStringLiteral("false"));
        current->post();
        QCOMPARE(current->recordCount(), 0); // the done order leaves the view
        QCOMPARE(journal.value(QStringLiteral("Status")), QVariant(false));

        Dataset other(m_store->db(), QStringLiteral("bd/GOROD.DB"));
        other.moveTo(1);
        other.edit();
        other.setValue(QStringLiteral("Gorod"), QStringLiteral("Б2"));
        other.post();
        Dataset &shared = cities();
        shared.moveTo(1);
        QCOMPARE(shared.text(QStringLiteral("Gorod")), QStringLiteral("Б2"));
        other.deleteRecord();
        QCOMPARE(shared.recordCount(), 1);
        QCOMPARE(shared.text(QStringLiteral("Gorod")), QStringLiteral("А"));
    }

    void autoincrementNeverReusesTheLargestDeletedId()
    {
        addCities({QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")});
        Dataset &d = cities();
        d.last();
        QCOMPARE(d.currentId(), qint64(3));
        d.deleteRecord();
        d.append();
        d.setValue(QStringLiteral("Gorod"), QStringLiteral("Г"));
        d.post();
        QCOMPARE(d.currentId(), qint64(4));
        QCOMPARE(d.recNo(), 2);
    }

    void postedRowOutsideTheFilterLeavesTheCursorInTheView()
    {
        for (int district : {3, 3, 4})
            m_store->insert(QStringLiteral("vozyraion"), {{QStringLiteral("Vozy"), district * 10},
                                                          {QStringLiteral("Raion"), district},
                                                          {QStringLiteral("Status"), 0}});
        Dataset &queue = *m_store->module().Vozy_raion;
        queue.setFilter(QStringLiteral("Raion=3 and Status=False"));
        queue.setFiltered(true);
        QCOMPARE(queue.recordCount(), 2);
        queue.append();
        queue.setValue(QStringLiteral("Vozy"), 30);
        queue.setValue(QStringLiteral("Raion"), 4);
        queue.setValue(QStringLiteral("Status"), true);
        queue.post();
        QCOMPARE(queue.recordCount(), 2);
        QCOMPARE(queue.recNo(), 1);
        QCOMPARE(m_store->count(QStringLiteral("vozyraion")), 4);
        QCOMPARE(m_store->scalar(QStringLiteral("SELECT MAX(Id) FROM vozyraion")).toInt(), 4);
    }

    void aRowThatLeavesTheViewGivesItsPlaceToTheNext()
    {
        for (int i = 0; i < 4; ++i)
            m_store->insert(QStringLiteral("gurnal"), {{QStringLiteral("Status"), 1}});
        std::unique_ptr<Dataset> current(makeCurrentOrdersView(m_store->module(), nullptr));
        QCOMPARE(current->recordCount(), 4);
        for (const auto &[position, expectedId, left] : {std::tuple{1, 3, 3}, std::tuple{2, 3, 2}}) {
            current->moveTo(position);
            current->edit();
            current->setText(QStringLiteral("Status"), QStringLiteral("false"));
            current->post();
            QCOMPARE(current->recordCount(), left);
            QCOMPARE(current->currentId(), qint64(expectedId));
        }
        // A row stored by the journal while the view is open shows at the end.
        Dataset &journal = *m_store->module().Gurnal;
        journal.append();
        journal.setValue(QStringLiteral("Status"), true);
        journal.post();
        QCOMPARE(journal.recNo(), 4);
        QCOMPARE(current->recordCount(), 3);
        QCOMPARE(current->idAt(2), qint64(5));
        QCOMPARE(current->currentId(), qint64(3));
    }

    void numbersLoseLeadingZerosTextsKeepThem()
    {
        Dataset &journal = *m_store->module().Gurnal;
        journal.append();
        journal.setText(QStringLiteral("Kvartira"), QStringLiteral("007"));
        journal.setText(QStringLiteral("Telefon"), QStringLiteral("0012345"));
        journal.setText(QStringLiteral("Dom"), QStringLiteral("007"));
        journal.post();
        QCOMPARE(journal.text(QStringLiteral("Kvartira")), QStringLiteral("7"));
        QCOMPARE(journal.text(QStringLiteral("Telefon")), QStringLiteral("12345"));
        QCOMPARE(journal.text(QStringLiteral("Dom")), QStringLiteral("007"));
    }

    void textWidthsAreEnforced()
    {
        Dataset &journal = *m_store->module().Gurnal;
        QCOMPARE(journal.fieldWidth(QStringLiteral("Dom")), 5);
        QCOMPARE(journal.fieldWidth(QStringLiteral("Iinfo")), 20);
        journal.append();
        journal.setText(QStringLiteral("Dom"), QStringLiteral("12/345"));
        journal.setValue(QStringLiteral("Iinfo"), QStringLiteral("подъезд 3, код 1234, этаж 5"));
        journal.post();
        QCOMPARE(m_store->scalar(QStringLiteral("SELECT Dom FROM gurnal")).toString(),
                 QStringLiteral("12/34"));
        QCOMPARE(m_store->scalar(QStringLiteral("SELECT Iinfo FROM gurnal")).toString(),
                 QStringLiteral("подъезд 3, код 1234,"));
    }

    // Every text field of every table, set as typed text and as a value from code: at most its width
    // is stored, the start of what was given, never half a character.
    void everyTextWidthIsEnforced_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("width");
        for (const TableDef &table : Schema::tables()) {
            for (const FieldDef &field : table.fields) {
                if (field.type == FieldType::Text)
                    QTest::addRow("%s.%s", qPrintable(table.name), qPrintable(field.name))
                        << table.name << field.name << field.width;
            }
        }
    }

    void everyTextWidthIsEnforced()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(int, width);
        Dataset rows(m_store->db(), table);
        const QStringList given = {QString(2000, u'Ж'), QStringLiteral("😀").repeated(1000),
                                   QStringLiteral("'); DROP TABLE gurnal;--\\\"").repeated(80)};
        for (const QString &text : given) {
            for (const bool typed : {true, false}) {
                rows.append();
                if (typed)
                    rows.setText(field, text);
                else
                    rows.setValue(field, text);
                rows.post();
                const QString stored =
                    m_store
                        ->scalar(QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE Id = ?").arg(field, table),
                                 {rows.currentId()})
                        .toString();
                QVERIFY2(stored.size() <= width && stored.size() >= width - 1, qPrintable(stored));
                QVERIFY(text.startsWith(stored));
                QVERIFY(!stored.back().isHighSurrogate());
            }
        }
        QCOMPARE(m_store->count(table), given.size() * 2);
    }

    void conversionErrorsChangeNothing_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("number") << "Kvartira"
                                << "12a"
                                << "'12a' is not a valid floating point value for field 'Kvartira'";
        QTest::newRow("date") << "DDate"
                              << "31.02.2026"
                              << "'31.02.2026' is not a valid date";
        QTest::newRow("time") << "Ttime"
                              << "25:00"
                              << "'25:00' is not a valid time";
        QTest::newRow("integer") << "IdVozy"
                                 << "x"
                                 << "'x' is not a valid integer value";
        QTest::newRow("logical") << "Status"
                                 << "да"
                                 << "'да' is not a valid boolean value for field 'Status'";
    }
    void conversionErrorsChangeNothing()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        Dataset &journal = *m_store->module().Gurnal;
        journal.append();
        try {
            journal.setText(field, text);
            QFAIL("the text must be refused");
        } catch (const DataError &e) {
            QCOMPARE(e.message(), message);
        }
        QVERIFY(!journal.isModified());
        QVERIFY(journal.isNull(field));
    }

    void valuesRoundTripInTheLocale()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        Dataset &journal = *m_store->module().Gurnal;
        journal.append();
        journal.setText(QStringLiteral("DDate"), QStringLiteral("5.3.1970"));
        journal.setText(QStringLiteral("Ttime"), QStringLiteral("9:05:07"));
        journal.setText(QStringLiteral("Kvartira"), QStringLiteral("7,5"));
        journal.post();
        QCOMPARE(m_store->scalar(QStringLiteral("SELECT DDate FROM gurnal")).toString(),
                 QStringLiteral("1970-03-05"));
        QCOMPARE(m_store->scalar(QStringLiteral("SELECT Ttime FROM gurnal")).toString(),
                 QStringLiteral("09:05:07"));
        QCOMPARE(journal.text(QStringLiteral("DDate")), QStringLiteral("05.03.1970"));
        QCOMPARE(journal.text(QStringLiteral("Ttime")), QStringLiteral("09:05:07")); // the locale's long time
        QCOMPARE(journal.text(QStringLiteral("Kvartira")), QStringLiteral("7,5"));
    }

    void blobKeepsEveryByte()
    {
        const QByteArray bytes("\x5f\x00\xff\x03\x00", 5);
        Dataset &entries = *m_store->module().pwl;
        entries.append();
        entries.setValue(QStringLiteral("Pwl"), bytes);
        entries.post();
        QCOMPARE(entries.value(QStringLiteral("Pwl")).toByteArray(), bytes);
        Dataset again(m_store->db(), QStringLiteral("bd\\pwl.db"));
        QCOMPARE(again.value(QStringLiteral("Pwl")).toByteArray(), bytes);
    }

    void masterLinkFollowsTheDriver()
    {
        TDataModule2 &dm = m_store->module();
        const qint64 first = m_store->insert(QStringLiteral("taxisti"),
                                             {{QStringLiteral("Familiya"), QStringLiteral("Первый")}});
        const qint64 second = m_store->insert(QStringLiteral("taxisti"),
                                              {{QStringLiteral("Familiya"), QStringLiteral("Второй")}});
        for (qint64 driver : {second, first, second, qint64(0)})
            m_store->insert(QStringLiteral("gurnal"),
                            {{QStringLiteral("IdVozy"), driver ? QVariant(driver) : QVariant()},
                             {QStringLiteral("DDate"), QStringLiteral("2026-12-07")}});
        m_store->insert(QStringLiteral("gurnal"), {{QStringLiteral("IdVozy"), second},
                                                   {QStringLiteral("DDate"), QStringLiteral("2026-12-08")}});
        std::unique_ptr<Dataset> detail(makeReportDetail(dm, nullptr));
        dm.Table1->refresh();
        dm.Table1->first();
        QCOMPARE(detail->recordCount(), 1);
        dm.Table1->next();
        QCOMPARE(detail->recordCount(), 3);
        detail->setFilter(QStringLiteral("DDate=' 7.12.26'"));
        detail->setFiltered(true);
        QCOMPARE(detail->recordCount(), 2);
        QCOMPARE(detail->currentId(), qint64(1));
        dm.Table1->first();
        QCOMPARE(detail->recordCount(), 1);
        QCOMPARE(detail->currentId(), qint64(2));
    }

    void aBigViewOpensWithoutReadingEveryRow()
    {
        Database::Transaction t(m_store->db());
        QSqlQuery q =
            m_store->db().prepare(QStringLiteral("INSERT INTO gurnal (Status, IdVozy) VALUES (?, ?)"));
        for (int i = 0; i < 20000; ++i) {
            q.bindValue(0, i % 100 == 0 ? 1 : 0);
            q.bindValue(1, i % 50);
            Database::exec(q);
        }
        t.commit();
        m_store->db().notifyWritten(QStringLiteral("gurnal"));
        Dataset &journal = *m_store->module().Gurnal;
        QCOMPARE(journal.recordCount(), 20000);
        journal.moveTo(15000);
        QCOMPARE(journal.currentId(), qint64(15001));
        journal.moveTo(7777);
        QCOMPARE(journal.currentId(), qint64(7778));
        QCOMPARE(journal.valueAt(7776, QStringLiteral("Id")).toLongLong(), qint64(7777));
        QCOMPARE(journal.valueAt(19999, QStringLiteral("Id")).toLongLong(), qint64(20000));
        journal.last();
        QCOMPARE(journal.currentId(), qint64(20000));
        journal.setFilter(QStringLiteral("Status=true"));
        journal.setFiltered(true);
        QCOMPARE(journal.recordCount(), 200);
        journal.moveTo(150);
        QCOMPARE(journal.currentId(), qint64(15001));
        QCOMPARE(journal.positionOf(19901), 199);
        QCOMPARE(journal.positionOf(19902), -1);
    }

    // An empty text is one value whichever way it is written: null in the store, isNull in the
    // dataset, found by the filter that asks for an empty text and by "is null" alike.
    void anEmptyTextIsStoredAsNullOnEveryPath_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *path : {"typed", "set by code", "row writer", "statement"})
            QTest::newRow(path) << path;
    }

    void anEmptyTextIsStoredAsNullOnEveryPath()
    {
        QFETCH(QString, path);
        Dataset &journal = *m_store->module().Gurnal;
        const qint64 order =
            m_store->insert(QStringLiteral("gurnal"), {{QStringLiteral("Dom"), QStringLiteral("12а")},
                                                       {QStringLiteral("Iinfo"), QStringLiteral("x")}});
        journal.refresh();
        QVERIFY(journal.gotoId(order));
        if (path == QLatin1String("row writer")) {
            QVector<QVariant> values(journal.table().fields.size());
            values[journal.table().indexOf(QStringLiteral("Dom"))] = QString();
            values[journal.table().indexOf(QStringLiteral("Iinfo"))] = QStringLiteral("");
            m_store->db().execute(QStringLiteral("DELETE FROM gurnal"));
            RowWriter::insert(m_store->db(), journal.table(), values);
            m_store->db().notifyWritten(QStringLiteral("gurnal"));
            journal.first();
        } else if (path == QLatin1String("statement")) {
            m_store->module().Query1.setSql(QStringLiteral("UPDATE bd\\gurnal.db SET Dom='', Iinfo=''"));
            m_store->module().Query1.execute();
        } else {
            journal.edit();
            if (path == QLatin1String("typed")) {
                journal.setText(QStringLiteral("Dom"), QString());
                journal.setText(QStringLiteral("Iinfo"), QStringLiteral(""));
            } else {
                journal.setValue(QStringLiteral("Dom"), QString());
                journal.setValue(QStringLiteral("Iinfo"), QStringLiteral(""));
            }
            journal.post();
        }
        QCOMPARE(m_store->count(QStringLiteral("gurnal"), QStringLiteral("Dom IS NULL AND Iinfo IS NULL")),
                 1);
        QVERIFY(journal.isNull(QStringLiteral("Dom")) && journal.isNull(QStringLiteral("Iinfo")));
        for (const char *filter : {"Dom='' and Iinfo=''", "Dom=null and Iinfo is null"}) {
            journal.setFilter(QString::fromUtf8(filter));
            journal.setFiltered(true);
            QVERIFY2(journal.recordCount() == 1, filter);
        }
        journal.setFilter(QStringLiteral("Dom<>''"));
        QCOMPARE(journal.recordCount(), 0);
    }

    // A number set by the program is held to the same 32 bits as a typed one, and a refused value
    // leaves the field as it was.
    void anIntegerSetByCodeHasTheRangeOfTypedText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("largest") << QVariant(qlonglong(INT32_MAX)) << true;
        QTest::newRow("smallest") << QVariant(qlonglong(INT32_MIN)) << true;
        QTest::newRow("one past the largest") << QVariant(qlonglong(INT32_MAX) + 1) << false;
        QTest::newRow("one below the smallest") << QVariant(qlonglong(INT32_MIN) - 1) << false;
        QTest::newRow("64-bit") << QVariant(std::numeric_limits<qlonglong>::max()) << false;
        QTest::newRow("unsigned 64-bit") << QVariant(std::numeric_limits<qulonglong>::max()) << false;
        QTest::newRow("huge double") << QVariant(1e300) << false;
        QTest::newRow("not a number") << QVariant(std::nan("")) << false;
        QTest::newRow("a date") << QVariant(QDate(2026, 12, 9)) << false;
    }

    void anIntegerSetByCodeHasTheRangeOfTypedText()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        Dataset &journal = *m_store->module().Gurnal;
        journal.append();
        journal.setValue(QStringLiteral("Km"), 7);
        bool refused = false;
        try {
            journal.setValue(QStringLiteral("Km"), value);
        } catch (const DataError &e) {
            refused = true;
            QVERIFY2(e.message().contains(QStringLiteral("integer")), qPrintable(e.message()));
        }
        QCOMPARE(refused, !accepted);
        if (refused) {
            QCOMPARE(journal.value(QStringLiteral("Km")), QVariant(qlonglong(7)));
            // Typed, the same value is refused too.
            if (value.typeId() == QMetaType::LongLong)
                QVERIFY_THROWS_EXCEPTION(DataError, journal.setText(QStringLiteral("Km"), value.toString()));
        } else {
            journal.post();
            QCOMPARE(m_store->scalar(QStringLiteral("SELECT Km FROM gurnal")), value);
        }
    }

    // A master that cannot take its detail's pending row along stays where it is and says why; once
    // the row can be stored the move goes through, and the detail shows the new master's rows.
    void aMasterWaitsForItsDetailsPendingRow()
    {
        SKIP_ON_SERVER("the store is locked through SQLite's own file lock");
        TDataModule2 &dm = m_store->module();
        const qint64 first = m_store->insert(QStringLiteral("taxisti"),
                                             {{QStringLiteral("Familiya"), QStringLiteral("Первый")}});
        const qint64 second = m_store->insert(QStringLiteral("taxisti"),
                                              {{QStringLiteral("Familiya"), QStringLiteral("Второй")}});
        m_store->insert(QStringLiteral("gurnal"), {{QStringLiteral("IdVozy"), second}});
        std::unique_ptr<Dataset> detail(makeReportDetail(dm, nullptr));
        dm.Table1->refresh();
        QCOMPARE(dm.Table1->currentId(), first);
        detail->append();
        detail->setValue(QStringLiteral("Dom"), QStringLiteral("5"));

        StoreFault locked(*m_store, StoreFault::Kind::Locked);
        for (const auto &move : std::initializer_list<std::function<void()>>{
                 [&] { dm.Table1->next(); }, [&] { dm.Table1->gotoId(second); },
                 [&] { dm.Table1->deleteRecord(); }}) {
            try {
                move();
                QFAIL("the master moved past a pending row that could not be stored");
            } catch (const DataError &e) {
                QVERIFY2(e.message().contains(StoreFault::said(StoreFault::Kind::Locked)),
                         qPrintable(e.message()));
            }
            QCOMPARE(dm.Table1->currentId(), first);
            QCOMPARE(detail->state(), Dataset::State::Insert);
            QCOMPARE(detail->value(QStringLiteral("IdVozy")).toLongLong(), first);
            QCOMPARE(detail->recordCount(), 0);
        }

        locked.lift();
        dm.Table1->next();
        QCOMPARE(dm.Table1->currentId(), second);
        QCOMPARE(
            m_store->count(QStringLiteral("gurnal"), QStringLiteral("IdVozy = ? AND Dom = '5'"), {first}), 1);
        QCOMPARE(detail->state(), Dataset::State::Browse);
        QCOMPARE(detail->recordCount(), 1);
        QCOMPARE(detail->value(QStringLiteral("IdVozy")).toLongLong(), second);
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "test_dataset.moc"
