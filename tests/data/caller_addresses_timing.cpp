// Times the repeat callers' look-up on a journal of many orders:
//   caller_addresses_timing [orders=1000000] [store file, kept and reused when it exists]
// and then times the first start of the same store made before the callers were kept.
// The callers are a town's: most numbers are mobile (eleven digits, a few operator codes), the rest
// six-digit town numbers; a few callers order very often (an hotel, a hospital) and most rarely.

#include "data/caller_addresses.h"
#include "data/database.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

struct Caller
{
    qint64 telephone;
    int addresses;
};

QList<Caller> fillJournal(Database &db, int orders)
{
    std::mt19937 random(7);
    const int codes[] = {916, 917, 926, 903, 905, 963, 985};
    QList<Caller> callers;
    std::vector<double> weights;
    for (int i = 0; i < std::max(50, orders / 15); ++i) {
        const bool mobile = random() % 10 < 7;
        const qint64 telephone = mobile
                                     ? 80000000000LL + codes[random() % 7] * 10000000LL + random() % 10000000
                                     : 200000 + random() % 600000;
        callers.append({telephone, 1 + static_cast<int>(random() % 5 / 3)});
        weights.push_back(1.0 / std::pow(i + 1, 0.8));
    }
    std::shuffle(weights.begin(), weights.end(), random);
    std::discrete_distribution<int> pick(weights.begin(), weights.end());

    Database::Transaction transaction(db);
    QSqlQuery insert = db.prepare("INSERT INTO gurnal (IdOperator, IdVozy, IdOtkudaRaion, IdOtkudaUlica, "
                                  "IdKudaRaion, Ttime, Dom, Kvartira, Telefon, DDate, Status) "
                                  "VALUES (1, 1, ?, ?, 2, '10:00:00', ?, ?, ?, ?, 0)");
    const QDate first(2020, 1, 1);
    for (int i = 0; i < orders; ++i) {
        const Caller &caller = callers.at(pick(random));
        const int address = static_cast<int>(random() % caller.addresses);
        const qint64 place = caller.telephone % 9973 + address;
        insert.bindValue(0, 1 + place % 10);
        insert.bindValue(1, 1 + place % 200);
        insert.bindValue(2, QString::number(1 + place % 120));
        insert.bindValue(3, place % 3 == 0 ? QVariant() : QVariant(double(1 + place % 199)));
        insert.bindValue(4, double(caller.telephone));
        insert.bindValue(5, first.addDays(qint64(i) * 2000 / orders).toString(Qt::ISODate));
        Database::exec(insert);
    }
    transaction.commit();
    return callers;
}

// The number that ordered most, or least, among those `where` lets through.
QString numberBy(Database &db, const QString &where, const QString &order)
{
    QSqlQuery query = db.prepare("SELECT CAST(Telefon AS INTEGER) FROM gurnal WHERE " + where +
                                 " GROUP BY Telefon ORDER BY count(*) " + order + " LIMIT 1");
    Database::exec(query);
    return query.next() ? query.value(0).toString() : QString();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int orders = argc > 1 ? QString(argv[1]).toInt() : 1000000;
    QTemporaryDir dir;
    const QString file = argc > 2 ? QString(argv[2]) : Database::storeFile(dir.path());
    QTextStream out(stdout);
    std::unique_ptr<Database> db;
    if (QFile::exists(file)) {
        db = Database::open(file);
    } else {
        QElapsedTimer filling;
        filling.start();
        db = Database::create(file);
        fillJournal(*db, orders);
        out << "filled " << orders << " orders in " << filling.elapsed() / 1000.0 << " s\n";
    }
    const QString heavy = numberBy(*db, "Telefon > 1e10", "DESC");
    const QString town = numberBy(*db, "Telefon < 1e6", "DESC");
    const QString rare = numberBy(*db, "Telefon BETWEEN 89850000000 AND 89859999999", "ASC");
    const std::pair<const char *, QString> cases[] = {
        {"3 digits, mobile", "891"},      {"3 digits, town", town.left(3)}, {"7 digits", heavy.left(7)},
        {"whole number, busiest", heavy}, {"whole number, rare", rare},     {"no such number", "100"}};
    CallerAddresses addresses(*db);
    for (const auto &[name, digits] : cases) {
        std::vector<double> times;
        int lines = 0;
        for (int run = 0; run < 101; ++run) {
            QElapsedTimer timer;
            timer.start();
            lines = addresses.find(digits).size();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(times.begin(), times.end());
        out << QString("%1 (%2): %3 lines, median %4 ms, slowest %5 ms\n")
                   .arg(name, digits)
                   .arg(lines)
                   .arg(times.at(times.size() / 2), 0, 'f', 3)
                   .arg(times.back(), 0, 'f', 3);
    }
    // The start of a store made before the callers were kept: they are counted from the journal.
    for (const char *statement : {"DROP TRIGGER gurnal_callers_insert", "DROP TRIGGER gurnal_callers_delete",
                                  "DROP TRIGGER gurnal_callers_update", "DROP TABLE gurnal_callers",
                                  "DROP INDEX gurnal_Telefon", "PRAGMA user_version=2"})
        db->execute(statement);
    db.reset();
    QElapsedTimer upgrade;
    upgrade.start();
    db = Database::open(file);
    out << "first start of an older store: " << upgrade.elapsed() / 1000.0 << " s\n";
    return 0;
}
