#include "tests/support/test_database.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <chrono>

namespace {

constexpr int Districts = 3;
constexpr int Rounds = 12;

// A copy of the program at another workstation, answering one line for each line it is given.
class Rival
{
public:
    explicit Rival(const QString &connection)
    {
        m_process.setProgram(QStringLiteral(RIVAL_DISPATCHER));
        m_process.setArguments({connection});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~Rival()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }

    // Written at once: QProcess would otherwise hold the line until this rival's answer is awaited,
    // and two rivals sent lines together would get them one after the other's answer.
    void send(const QString &line)
    {
        m_process.write((line + QLatin1Char('\n')).toUtf8());
        m_process.waitForBytesWritten();
    }
    QString answer()
    {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(10000))
                return QStringLiteral("no answer (%1)").arg(m_process.state());
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

private:
    QProcess m_process;
};

// Two workstations, started and each answering "started".
struct Workstations
{
    explicit Workstations(const QString &connection)
        : first(connection)
        , second(connection)
    {
    }

    bool started()
    {
        return first.answer() == QLatin1String("started") && second.answer() == QLatin1String("started");
    }
    Rival &operator[](int i) { return i == 0 ? first : second; }

    // Each workstation's line with the moment it is to click at: a few milliseconds from now, the two
    // moments up to `spread` microseconds apart either way. Within half a millisecond either may come
    // first and the second click comes while the first is still being written; tens of milliseconds
    // apart, the second workstation has heard of the first's change before its click. The answers,
    // first workstation's first.
    std::array<QString, 2> race(QRandomGenerator &random, const QString &first, const QString &second,
                                int spread = 500)
    {
        using namespace std::chrono;
        const qint64 now = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
        const QString lines[2]{first, second};
        for (int i : {0, 1})
            (*this)[i].send(lines[i].arg(now + 5000 + random.bounded(spread)));
        return {(*this)[0].answer(), (*this)[1].answer()};
    }

    Rival first;
    Rival second;
};

} // namespace

// Two dispatchers at two workstations on one server database do the same thing at the same moment.
class TestTwoDispatchers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Exactly one gets the driver. The other's order stays being entered, nothing of it stored, with
    // a plain message and the next driver of the queue offered, whom a second "Оформить" gives it.
    // Seeded and repeated, with the presses up to half a millisecond apart either way.
    void oneDriverGoesToOneOrder()
    {
        if (!TestDatabase::onServer())
            QSKIP("One SQLite file serves one copy of the program.");
        TestDatabase store;
        for (const char *name : {"Центральный", "Северный", "Заводской"})
            store.insert(QStringLiteral("raion"), {{QStringLiteral("Raion"), QString::fromUtf8(name)}});
        addDrivers(store, 2 * Rounds);
        Workstations rivals(store.connection());
        QVERIFY(rivals.started());

        QRandomGenerator random(14);
        for (int round = 0; round < Rounds; ++round) {
            const qint64 from = random.bounded(Districts) + 1;
            const qint64 to = random.bounded(Districts) + 1;
            const qint64 head = 2 * round + 1;
            const qint64 next = head + 1;
            const qint64 headRecord = stand(store, head, from, false);
            stand(store, next, from, false);
            for (int i : {0, 1})
                rivals[i].send(QStringLiteral("new %1 %2 %3").arg(from).arg(headRecord).arg(to));
            for (int i : {0, 1})
                QCOMPARE(rivals[i].answer(), QStringLiteral("ready %1").arg(head));

            const auto answers = rivals.race(random, QStringLiteral("store %1"), QStringLiteral("store %1"));
            const int winner = answers[0].startsWith(QLatin1String("stored")) ? 0 : 1;
            QCOMPARE(answers[winner], QStringLiteral("stored %1").arg(head));
            QCOMPARE(
                answers[1 - winner],
                QStringLiteral("pending %1 Этого водителя только что назначили на заказ на другом рабочем "
                               "месте. Заказ не оформлен: выберите водителя ещё раз.")
                    .arg(next));
            QCOMPARE(store.count(QStringLiteral("gurnal")), 2 * round + 1);
            QCOMPARE(store.count(QStringLiteral("vozyraion"), QStringLiteral("Vozy = ?"), {head}), 1);
            QCOMPARE(store.count(QStringLiteral("vozyraion"),
                                 QStringLiteral("Vozy = ? AND Raion = ? AND Status = 1"), {head, to}),
                     1);

            rivals[1 - winner].send(QStringLiteral("store 0"));
            QCOMPARE(rivals[1 - winner].answer(), QStringLiteral("stored %1").arg(next));
            QCOMPARE(store.count(QStringLiteral("gurnal"), QStringLiteral("IdVozy = ?"), {head}), 1);
            QCOMPARE(store.count(QStringLiteral("gurnal"), QStringLiteral("IdVozy = ?"), {next}), 1);
            QCOMPARE(
                store.count(QStringLiteral("vozyraion"), QStringLiteral("Raion = ? AND Status = 0"), {from}),
                0);
        }
    }

    // Both dispatchers end one current order, each with "Выполнено" or "Отменить": one ends it as he
    // chose and frees its driver, once; the other's click changes nothing and says how it was ended.
    void oneOrderIsEndedOnce()
    {
        if (!TestDatabase::onServer())
            QSKIP("One SQLite file serves one copy of the program.");
        TestDatabase store;
        store.insert(QStringLiteral("raion"), {{QStringLiteral("Raion"), QStringLiteral("Центральный")}});
        addDrivers(store, Rounds);
        record(store, QStringLiteral("AFTER UPDATE ON vozyraion"), QStringLiteral("NEW.Vozy")); // freed
        Workstations rivals(store.connection());
        QVERIFY(rivals.started());

        QRandomGenerator random(14);
        for (int round = 0; round < Rounds; ++round) {
            const qint64 driver = round + 1;
            const qint64 queueRecord = stand(store, driver, 1, true);
            const qint64 order =
                store.insert(QStringLiteral("gurnal"), {{QStringLiteral("IdVozy"), driver},
                                                        {QStringLiteral("IdKudaRaion"), 1},
                                                        {QStringLiteral("Ttime"), QStringLiteral("10:00:00")},
                                                        {QStringLiteral("Status"), true}});
            for (int i : {0, 1})
                rivals[i].send(QStringLiteral("choose %1").arg(order));
            for (int i : {0, 1})
                QCOMPARE(rivals[i].answer(), QStringLiteral("chosen"));

            const bool done[2]{random.bounded(2) == 0, random.bounded(2) == 0};
            const auto answers = rivals.race(random, endLine(done[0]), endLine(done[1]));
            const int winner = answers[0] == QLatin1String("ended") ? 0 : 1;
            QCOMPARE(answers[winner], QStringLiteral("ended"));
            QCOMPARE(answers[1 - winner],
                     done[winner]
                         ? QStringLiteral("refused Этот заказ уже выполнен на другом рабочем месте.")
                         : QStringLiteral("refused Этот заказ уже отменён на другом рабочем месте."));
            if (done[winner])
                QCOMPARE(
                    store.scalar(QStringLiteral("SELECT Status FROM gurnal WHERE Id = ?"), {order}).toInt(),
                    0);
            else
                QCOMPARE(store.count(QStringLiteral("gurnal"), QStringLiteral("Id = ?"), {order}), 0);
            QCOMPARE(store.scalar(QStringLiteral("SELECT Status FROM vozyraion WHERE Id = ?"), {queueRecord})
                         .toInt(),
                     0);
            QCOMPARE(store.count(QStringLiteral("vozyraion"), QStringLiteral("Vozy = ?"), {driver}), 1);
            QCOMPARE(store.count(QStringLiteral("recorded"), QStringLiteral("Value = ?"),
                                 {QString::number(driver)}),
                     1);
        }
    }

    // One administrator saves a change to a driver while another deletes him. Either the deletion
    // comes first, and the save says so and writes nothing, or the save does, and the deletion then
    // removes the saved driver: never a driver back, never the server's own words. Seeded and
    // repeated, the clicks at nearly the same moment or with the deletion heard before the save.
    void aDriverDeletedWhileSavedElsewhereStaysDeleted()
    {
        if (!TestDatabase::onServer())
            QSKIP("One SQLite file serves one copy of the program.");
        TestDatabase store;
        addDrivers(store, 1);
        record(store, QStringLiteral("AFTER DELETE ON taxisti"),
               QStringLiteral("OLD.Number || ' ' || OLD.Familiya"));
        const QString kept = store.dump(QStringLiteral("recorded"));
        Workstations rivals(store.connection());
        QVERIFY(rivals.started());

        QRandomGenerator random(14);
        int savesFirst = 0;
        for (int round = 0; round < Rounds; ++round) {
            const int number = 200 + round;
            const qint64 driver = store.insert(QStringLiteral("taxisti"),
                                               {{QStringLiteral("Number"), number},
                                                {QStringLiteral("Familiya"), QStringLiteral("Прежний")},
                                                {QStringLiteral("IdAuto"), 1}});
            const int editor = int(random.bounded(2));
            rivals[1 - editor].send(QStringLiteral("find %1").arg(driver));
            QCOMPARE(rivals[1 - editor].answer(), QStringLiteral("found"));
            rivals[editor].send(QStringLiteral("edit %1 Новый").arg(driver));
            QCOMPARE(rivals[editor].answer(), QStringLiteral("editing"));

            QString lines[2];
            lines[editor] = QStringLiteral("save %1");
            lines[1 - editor] = QStringLiteral("delete %1");
            // Every other round the deletion may reach the window being edited before "Ок".
            const auto answers = rivals.race(random, lines[0], lines[1], round % 2 == 0 ? 500 : 30000);
            QCOMPARE(answers[1 - editor], QStringLiteral("deleted"));
            const bool saved = answers[editor] == QLatin1String("saved");
            if (!saved)
                QCOMPARE(answers[editor],
                         QStringLiteral("refused Запись не найдена: её удалили на другом рабочем "
                                        "месте, пока она редактировалась здесь. Изменения не "
                                        "сохранены."));
            savesFirst += saved;
            // The row deleted is the one stored: changed if and only if the save said so.
            QCOMPARE(store.count(QStringLiteral("recorded")), round + 1);
            QCOMPARE(store.count(QStringLiteral("recorded"), QStringLiteral("Value = ?"),
                                 {QStringLiteral("%1 %2").arg(number).arg(saved ? "Новый" : "Прежний")}),
                     1);
            QCOMPARE(store.dump(QStringLiteral("recorded")), kept);
        }
        qInfo("the save came first in %d rounds of %d", savesFirst, Rounds);
    }

private:
    static void addDrivers(TestDatabase &store, int count)
    {
        store.insert(QStringLiteral("auto"), {{QStringLiteral("Name"), QStringLiteral("ВАЗ-2107")}});
        for (int driver = 1; driver <= count; ++driver)
            store.insert(QStringLiteral("taxisti"), {{QStringLiteral("Number"), 100 + driver},
                                                     {QStringLiteral("Familiya"), QStringLiteral("Водитель")},
                                                     {QStringLiteral("IdAuto"), 1}});
    }

    static qint64 stand(TestDatabase &store, qint64 driver, qint64 district, bool busy)
    {
        return store.insert(QStringLiteral("vozyraion"), {{QStringLiteral("Vozy"), driver},
                                                          {QStringLiteral("Raion"), district},
                                                          {QStringLiteral("Status"), busy}});
    }

    // Each row `when` names ("AFTER DELETE ON taxisti"), as `value` gives it ("OLD.Familiya"), kept
    // in the table "recorded": what the program wrote, however the workstations tell of it.
    static void record(TestDatabase &store, const QString &when, const QString &value)
    {
        store.db().execute(QStringLiteral("CREATE TABLE recorded (Value text)"));
        store.db().execute(
            QStringLiteral("CREATE FUNCTION record() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                           "INSERT INTO recorded VALUES ((%1)::text); RETURN NULL; END $$")
                .arg(value));
        store.db().execute(
            QStringLiteral("CREATE TRIGGER record %1 FOR EACH ROW EXECUTE FUNCTION record()").arg(when));
    }

    static QString endLine(bool done)
    {
        return done ? QStringLiteral("end done %1") : QStringLiteral("end cancel %1");
    }
};

QTEST_GUILESS_MAIN(TestTwoDispatchers)
#include "test_two_dispatchers.moc"
