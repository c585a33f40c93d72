#include "tests/support/test_database.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <memory>

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

    void send(const QString &line) { m_process.write((line + QLatin1Char('\n')).toUtf8()); }
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

} // namespace

// Two dispatchers at two workstations on one server database store orders with the same head of a
// queue at the same moment.
class TestTwoDispatchers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Exactly one gets the driver. The other's order stays being entered, nothing of it stored, with
    // a plain message and the next driver of the queue offered, whom a second "Оформить" gives it.
    // Seeded and repeated, with the presses a few microseconds apart either way.
    void oneDriverGoesToOneOrder()
    {
        if (!TestDatabase::onServer())
            QSKIP("One SQLite file serves one copy of the program.");
        TestDatabase store;
        for (const char *name : {"Центральный", "Северный", "Заводской"})
            store.insert(QStringLiteral("raion"), {{QStringLiteral("Raion"), QString::fromUtf8(name)}});
        store.insert(QStringLiteral("auto"), {{QStringLiteral("Name"), QStringLiteral("ВАЗ-2107")}});
        for (int driver = 1; driver <= 2 * Rounds; ++driver)
            store.insert(QStringLiteral("taxisti"), {{QStringLiteral("Number"), 100 + driver},
                                                     {QStringLiteral("Familiya"), QStringLiteral("Водитель")},
                                                     {QStringLiteral("IdAuto"), 1}});
        Rival first(store.connection());
        Rival second(store.connection());
        Rival *rivals[2]{&first, &second};
        for (Rival *rival : rivals)
            QCOMPARE(rival->answer(), QStringLiteral("started"));

        QRandomGenerator random(14);
        for (int round = 0; round < Rounds; ++round) {
            const qint64 from = random.bounded(Districts) + 1;
            const qint64 to = random.bounded(Districts) + 1;
            const qint64 head = 2 * round + 1;
            const qint64 next = head + 1;
            const qint64 headRecord = stand(store, head, from);
            stand(store, next, from);
            for (Rival *rival : rivals)
                rival->send(QStringLiteral("new %1 %2 %3").arg(from).arg(headRecord).arg(to));
            for (Rival *rival : rivals)
                QCOMPARE(rival->answer(), QStringLiteral("ready %1").arg(head));

            const int firstPressed = int(random.bounded(2));
            for (int i : {firstPressed, 1 - firstPressed})
                rivals[i]->send(QStringLiteral("store %1").arg(random.bounded(2000)));
            const QString answers[2]{rivals[0]->answer(), rivals[1]->answer()};
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

            rivals[1 - winner]->send(QStringLiteral("store 0"));
            QCOMPARE(rivals[1 - winner]->answer(), QStringLiteral("stored %1").arg(next));
            QCOMPARE(store.count(QStringLiteral("gurnal"), QStringLiteral("IdVozy = ?"), {head}), 1);
            QCOMPARE(store.count(QStringLiteral("gurnal"), QStringLiteral("IdVozy = ?"), {next}), 1);
            QCOMPARE(
                store.count(QStringLiteral("vozyraion"), QStringLiteral("Raion = ? AND Status = 0"), {from}),
                0);
        }
    }

private:
    static qint64 stand(TestDatabase &store, qint64 driver, qint64 district)
    {
        return store.insert(QStringLiteral("vozyraion"), {{QStringLiteral("Vozy"), driver},
                                                          {QStringLiteral("Raion"), district},
                                                          {QStringLiteral("Status"), false}});
    }
};

QTEST_GUILESS_MAIN(TestTwoDispatchers)
#include "test_two_dispatchers.moc"
