#include "data/data_error.h"
#include "data/dataset.h"
#include "data/view_index.h"
#include "tests/support/test_database.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <map>
#include <memory>

// Views keep their counts, positions and rows from the rows the store reports changed, never
// counting again. Every kind of write is checked here against the table itself and a dataset
// opened afresh, in long seeded random sequences.
class TestViewChanges : public QObject
{
    Q_OBJECT

private:
    // A dataset under test with the SQL of the view it should show and where its cursor should be.
    struct Watched
    {
        Dataset *dataset = nullptr;
        QString sql; // condition of its view, for the check against the table
        bool followsMaster = false;
        qint64 expected = 0; // identity of the row the cursor must be on; 0: the first row
    };

    std::unique_ptr<TestDatabase> m_store;
    QRandomGenerator m_random;
    std::vector<std::unique_ptr<Dataset>> m_owned;
    QVector<Watched> m_watched;
    Dataset *m_drivers = nullptr;
    QString m_step;

    int pick(int bound) { return int(m_random.bounded(bound)); }
    bool chance(int percent) { return pick(100) < percent; }

    QVector<qint64> idsOf(const Watched &w)
    {
        QVector<qint64> ids;
        QSqlQuery q = m_store->db().prepare(QStringLiteral("SELECT Id FROM vozyraion%1 ORDER BY Id")
                                                .arg(w.sql.isEmpty() ? QString() : " WHERE " + w.sql));
        Database::exec(q);
        while (q.next())
            ids << q.value(0).toLongLong();
        return ids;
    }

    // Where a cursor on `id` stands in `ids`: on the row itself, else on the row that followed it,
    // else on the last one; 0 (the first row) stays the first row.
    static qint64 follow(qint64 id, const QVector<qint64> &ids)
    {
        if (ids.isEmpty())
            return 0;
        if (id == 0)
            return ids.first();
        const auto it = std::lower_bound(ids.begin(), ids.end(), id);
        return it == ids.end() ? ids.last() : *it;
    }

    // After a write that moves no cursor on purpose: every cursor follows its row. `target` puts
    // the writer's cursor on the written row first.
    void afterWrite(const Dataset *writer = nullptr, qint64 target = 0)
    {
        for (Watched &w : m_watched) {
            if (w.dataset == writer)
                w.expected = target;
            w.expected = follow(w.expected, idsOf(w));
        }
    }

    void reset(Watched &w) { w.expected = follow(0, idsOf(w)); }

    Watched &any() { return m_watched[pick(int(m_watched.size()))]; }

    QString masterSql() const { return QStringLiteral("Vozy = %1").arg(m_drivers->currentId()); }

    qint64 anyStoredRow()
    {
        return m_store->scalar("SELECT Id FROM vozyraion ORDER BY random() LIMIT 1").toLongLong();
    }

    void setRow(Dataset &d)
    {
        if (!d.isFiltered() || chance(50))
            d.setValue("Vozy", 1 + pick(5));
        d.setValue("Raion", 1 + pick(3));
        d.setValue("Status", chance(50));
    }

    Dataset *open(const QString &name)
    {
        auto *d = new Dataset(m_store->db(), "bd\\vozyraion.db");
        d->setObjectName(name);
        d->addLookup({"TTRaion", FieldType::Text, 20, "Raion", m_store->module().Table6, "Id", "Raion"});
        m_owned.emplace_back(d);
        return d;
    }

    // ---- the operations ----

    void ownAppend(Watched &w)
    {
        Dataset &d = *w.dataset;
        d.append();
        setRow(d);
        if (chance(30)) {
            m_step += " with another write while pending";
            Watched &other = any();
            if (other.dataset != &d)
                ownEdit(other);
        }
        if (chance(15)) {
            d.cancel();
            return;
        }
        d.post();
        afterWrite(&d, m_store->scalar("SELECT MAX(Id) FROM vozyraion").toLongLong());
    }

    void ownEdit(Watched &w)
    {
        Dataset &d = *w.dataset;
        if (d.recordCount() == 0)
            return;
        const qint64 id = d.currentId();
        d.edit();
        setRow(d);
        if (chance(15)) {
            d.cancel();
            return;
        }
        d.post();
        afterWrite(&d, id);
    }

    void ownDelete(Watched &w)
    {
        Dataset &d = *w.dataset;
        if (d.recordCount() == 0)
            return;
        const qint64 id = d.currentId();
        d.deleteRecord();
        afterWrite(&d, id);
    }

    void deleteById(Watched &w)
    {
        const qint64 id = anyStoredRow();
        if (id > 0) {
            QVERIFY(w.dataset->deleteId(id));
            afterWrite();
        }
    }

    void query1()
    {
        Statement &q = m_store->module().Query1;
        q.setSql(
            chance(50)
                ? QStringLiteral("UPDATE bd\\vozyraion.db SET Status=false WHERE (Vozy=%1)").arg(1 + pick(5))
                : QStringLiteral("UPDATE bd\\vozyraion.db SET Raion=%1, Status=true WHERE (Vozy=%2)")
                      .arg(1 + pick(3))
                      .arg(1 + pick(5)));
        q.execute();
        afterWrite();
    }

    // Writes of SQL on the store's connection, told to nobody: rows far apart in identity, so
    // that views span many blocks.
    void rawWrite()
    {
        Database &db = m_store->db();
        const qint64 max = m_store->scalar("SELECT MAX(Id) FROM vozyraion").toLongLong();
        switch (pick(3)) {
        case 0:
            db.execute(
                QStringLiteral("INSERT INTO vozyraion (Id, Vozy, Raion, Status) VALUES (%1, %2, %3, %4)")
                    .arg(max + 1 + pick(3000))
                    .arg(1 + pick(5))
                    .arg(1 + pick(3))
                    .arg(pick(2)));
            break;
        case 1:
            db.execute(QStringLiteral("DELETE FROM vozyraion WHERE Id = %1").arg(anyStoredRow()));
            break;
        default:
            db.execute(
                QStringLiteral("UPDATE vozyraion SET Status = 1 - Status WHERE Vozy = %1").arg(1 + pick(5)));
        }
        afterWrite();
    }

    void rolledBack()
    {
        {
            Database::Transaction t(m_store->db());
            for (int i = 0, n = 1 + pick(3); i < n; ++i) {
                Watched &w = any();
                switch (pick(4)) {
                case 0:
                    ownAppend(w);
                    break;
                case 1:
                    ownEdit(w);
                    break;
                case 2:
                    ownDelete(w);
                    break;
                default:
                    deleteById(w);
                }
            }
            if (chance(20)) {
                m_step += " committed";
                t.commit();
            }
        }
        afterWrite();
    }

    void renameDistrict()
    {
        Dataset &districts = *m_store->module().Table6;
        if (chance(50)) {
            districts.moveTo(pick(districts.recordCount()));
            districts.edit();
            districts.setValue("Raion", QStringLiteral("Район %1").arg(pick(100)));
            districts.post();
        } else {
            m_store->db().execute(QStringLiteral("UPDATE raion SET Raion = 'Новый %1' WHERE Id = %2")
                                      .arg(pick(100))
                                      .arg(1 + pick(3)));
        }
    }

    // The view's condition as the check reads the table.
    static QString sqlOf(const Dataset &d)
    {
        if (!d.isFiltered() || d.filter().isEmpty())
            return {};
        if (d.filter() == QLatin1String("Status=true"))
            return QStringLiteral("Status = 1");
        static const QRegularExpression district(QStringLiteral("^Raion=(\\d) and Status=False$"));
        return QStringLiteral("Raion = %1 AND Status = 0").arg(district.match(d.filter()).captured(1));
    }

    void changeFilter(Watched &w)
    {
        Dataset &d = *w.dataset;
        if (w.followsMaster)
            return;
        if (chance(50)) {
            d.setFilter(QStringLiteral("Raion=%1 and Status=False").arg(1 + pick(3)));
            if (!d.isFiltered())
                return; // a text set while off changes nothing
        } else {
            d.setFiltered(chance(70));
        }
        w.sql = sqlOf(d);
        reset(w);
    }

    void moveMaster()
    {
        const qint64 before = m_drivers->currentId();
        m_drivers->moveTo(pick(m_drivers->recordCount()));
        for (Watched &w : m_watched) {
            if (!w.followsMaster)
                continue;
            w.sql = masterSql();
            if (m_drivers->currentId() != before)
                reset(w);
        }
    }

    void move(Watched &w)
    {
        Dataset &d = *w.dataset;
        const QVector<qint64> ids = idsOf(w);
        const int at = int(ids.indexOf(follow(w.expected, ids)));
        int to = 0;
        switch (pick(4)) {
        case 0:
            to = pick(int(ids.size()) + 2) - 1;
            d.moveTo(to);
            break;
        case 1:
            to = int(ids.size()) - 1;
            d.last();
            break;
        case 2:
            to = at + 1;
            d.next();
            break;
        default:
            to = at - 1;
            d.prior();
        }
        if (!ids.isEmpty())
            w.expected = ids.at(std::clamp(to, 0, int(ids.size()) - 1));
    }

    // ---- the check ----

    QString districtName(qint64 raion)
    {
        return m_store->scalar("SELECT substr(Raion, 1, 20) FROM raion WHERE Id = ?", {raion}).toString();
    }

    void checkAll()
    {
        for (const Watched &w : std::as_const(m_watched)) {
            Dataset &d = *w.dataset;
            const QString where = m_step + " / " + d.objectName();
            const QVector<qint64> ids = idsOf(w);
            Dataset fresh(m_store->db(), "bd\\vozyraion.db");
            if (w.followsMaster) {
                fresh.setMasterLink(m_drivers, "Id", "Vozy");
            } else if (d.isFiltered()) {
                fresh.setFilter(d.filter());
                fresh.setFiltered(true);
            }
            QVERIFY2(d.recordCount() == ids.size(), qPrintable(where));
            QVERIFY2(fresh.recordCount() == ids.size(), qPrintable(where));
            const qint64 current = follow(w.expected, ids);
            QVERIFY2(d.currentId() == current,
                     qPrintable(where + QStringLiteral(": on %1, not %2").arg(d.currentId()).arg(current)));
            QVERIFY2(d.recNo() == ids.indexOf(current), qPrintable(where));
            QVERIFY2(d.positionOf(ids.isEmpty() ? 1 : ids.last()) == ids.size() - 1, qPrintable(where));
            for (int p = 0; p < ids.size(); ++p) {
                QVERIFY2(d.idAt(p) == ids.at(p), qPrintable(where + QStringLiteral(" at %1").arg(p)));
                for (const char *field : {"Vozy", "Raion", "Status"})
                    QVERIFY2(d.valueAt(p, field) == fresh.valueAt(p, field),
                             qPrintable(where + QStringLiteral(" at %1, %2").arg(p).arg(field)));
                QVERIFY2(d.textAt(p, "TTRaion") == districtName(d.valueAt(p, "Raion").toLongLong()),
                         qPrintable(where + QStringLiteral(" at %1, district").arg(p)));
            }
        }
    }

private Q_SLOTS:
    void init()
    {
        m_store = std::make_unique<TestDatabase>();
        if (!TestDatabase::onServer())
            m_store->db().execute(
                "PRAGMA synchronous=OFF"); // no power cut here: thousands of writes in seconds
        for (const char *name : {"Центр", "Заречье", "Вокзал"})
            m_store->insert("raion", {{"Raion", name}});
        for (int driver = 1; driver <= 5; ++driver)
            m_store->insert("taxisti", {{"Familiya", QStringLiteral("Водитель %1").arg(driver)}});
        for (int i = 0; i < 40; ++i)
            m_store->insert("vozyraion", {{"Vozy", 1 + i % 5}, {"Raion", 1 + i % 3}, {"Status", i % 4 == 0}});
        TDataModule2 &dm = m_store->module();
        m_drivers = dm.Table1;
        Dataset *queue = dm.Vozy_raion;
        queue->addLookup({"TTRaion", FieldType::Text, 20, "Raion", dm.Table6, "Id", "Raion"});
        queue->setFilter("Raion=1 and Status=False");
        queue->setFiltered(true);
        Dataset *whole = open("whole");
        Dataset *busy = open("busy");
        busy->setFilter("Status=true");
        busy->setFiltered(true);
        Dataset *detail = open("detail");
        detail->setMasterLink(m_drivers, "Id", "Vozy");
        m_watched = {{queue, "Raion = 1 AND Status = 0"},
                     {whole, QString()},
                     {busy, "Status = 1"},
                     {detail, masterSql(), true}};
        for (Watched &w : m_watched)
            reset(w);
    }
    void cleanup()
    {
        m_watched.clear();
        m_owned.clear();
        m_store.reset();
    }

    void everyViewMatchesTheTableAfterEveryKindOfWrite_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void everyViewMatchesTheTableAfterEveryKindOfWrite()
    {
        QFETCH(quint32, seed);
        m_random.seed(seed);
        checkAll();
        for (int step = 0; step < 1000; ++step) {
            Watched &w = any();
            const int kind = pick(13);
            m_step = QStringLiteral("step %1, operation %2 by %3")
                         .arg(step)
                         .arg(kind)
                         .arg(w.dataset->objectName());
            // Keep the table small, so that every page can be checked at every step.
            const bool large = m_store->count("vozyraion") > 60;
            switch (kind) {
            case 0:
            case 1:
                large ? ownDelete(w) : ownAppend(w);
                break;
            case 2:
                ownEdit(w);
                break;
            case 3:
                ownDelete(w);
                break;
            case 4:
                deleteById(w);
                break;
            case 5:
                query1();
                break;
            case 6:
                rawWrite();
                break;
            case 7:
                rolledBack();
                break;
            case 8:
                changeFilter(w);
                break;
            case 9:
                moveMaster();
                break;
            case 10:
                renameDistrict();
                break;
            case 11:
                w.dataset->refresh();
                break;
            default:
                move(w);
            }
            if (QTest::currentTestFailed())
                return;
            checkAll();
            if (QTest::currentTestFailed())
                return;
        }
    }

    // The positions of a view spread over thousands of blocks, with a bound on the identities held:
    // against a plain ordered set, through random changes and random reads.
    void blockIndexMatchesAnOrderedList()
    {
        QRandomGenerator random(7);
        QVector<qint64> rows; // the store: ascending identities
        for (int i = 0; i < 20000; ++i)
            rows << 1 + random.bounded(2000000);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        const auto from = [&rows](qint64 id) { return std::lower_bound(rows.begin(), rows.end(), id); };
        const auto reader = [&](qint64 first, qint64 last) {
            return QVector<qint64>(from(first), from(last + 1));
        };
        std::map<qint64, int> counts;
        for (qint64 id : rows)
            ++counts[ViewIndex::blockOf(id)];
        ViewIndex index(reader);
        index.setBlockCounts(
            QVector<std::pair<qint64, int>>(counts.begin(), counts.end()),
            [&](qint64 block) { return int(reader(block << 10, (block << 10) + 1023).size()); });
        for (int step = 0; step < 20000; ++step) {
            const qint64 id = 1 + random.bounded(2000000);
            const auto place = from(id);
            const bool present = place != rows.end() && *place == id;
            if (random.bounded(2) == 0) {
                const bool in = random.bounded(2) == 0;
                if (in && !present)
                    rows.insert(place, id);
                else if (!in && present)
                    rows.erase(place);
                index.rowChanged(id, in);
            }
            QCOMPARE(index.count(), int(rows.size()));
            const int position = random.bounded(int(rows.size()));
            QCOMPARE(index.idAt(position), rows.at(position));
            QCOMPARE(index.positionOf(rows.at(position)), position);
            QCOMPARE(index.countBelow(id), int(from(id) - rows.begin()));
            const bool now = from(id) != rows.end() && *from(id) == id;
            QCOMPARE(index.positionOf(id), now ? int(from(id) - rows.begin()) : -1);
        }
        QVERIFY(index.bytes() < 4 * 1024 * 1024); // the bound on identities held
    }
};

QTEST_GUILESS_MAIN(TestViewChanges)
#include "test_view_changes.moc"
