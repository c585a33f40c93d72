#include "bench/synthetic_store.h"

#include "bench/sqlite_statement.h"
#include "data/database.h"
#include "data/password_coder.h"
#include "data/schema.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <vector>

namespace {

QString numbered(const char *what, qint64 n)
{
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(what)).arg(n);
}

void fillCity(sqlite3 *db, QRandomGenerator &random)
{
    SqliteStatement city(db, "INSERT INTO gorod (Gorod) VALUES (?)");
    for (const char *name : {"Северск", "Заречный"})
        city.bind(1, QString::fromUtf8(name)).run();
    SqliteStatement district(db, "INSERT INTO raion (IdGorod, Raion) VALUES (?, ?)");
    SqliteStatement street(db, "INSERT INTO ulica (IdRion, Ulica) VALUES (?, ?)");
    for (qint64 d = 1; d <= SyntheticStore::Districts; ++d) {
        district.bind(1, sqlite3_int64(d <= SyntheticStore::Districts / 2 ? 1 : 2))
            .bind(2, numbered("Район", d))
            .run();
        for (int s = 0; s < SyntheticStore::StreetsPerDistrict; ++s)
            street.bind(1, sqlite3_int64(d)).bind(2, numbered("Улица", (d - 1) * 40 + s + 1)).run();
    }
    SqliteStatement distance(db, "INSERT INTO rastoyan (IdRaion1, IdRaion2, KM) VALUES (?, ?, ?)");
    for (qint64 from = 1; from <= SyntheticStore::Districts; ++from) {
        for (qint64 to = 1; to <= SyntheticStore::Districts; ++to)
            distance.bind(1, sqlite3_int64(from))
                .bind(2, sqlite3_int64(to))
                .bind(3, from == to ? 2.0 : 1 + random.bounded(300) / 10.0)
                .run();
    }
    SqliteStatement model(db, "INSERT INTO auto (Name) VALUES (?)");
    for (const char *name : {"Волга ГАЗ-3110", "ВАЗ-2107", "Лада Калина", "Шкода Октавия", "Киа Рио"})
        model.bind(1, QString::fromUtf8(name)).run();
    SqliteStatement colour(db, "INSERT INTO color (Color) VALUES (?)");
    for (const char *name : {"белый", "чёрный", "серый", "жёлтый"})
        colour.bind(1, QString::fromUtf8(name)).run();
}

void fillPeople(sqlite3 *db, QRandomGenerator &random)
{
    SqliteStatement driver(db,
                           "INSERT INTO taxisti (IdAuto, Idcvet, IdGorod, IdUlica, Number, Name, Familiya, "
                           "Otchestvo, NumberAuto, Telephone) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    SqliteStatement shift(db, "INSERT INTO grafic (IdTaxist, Timestart, Timeend, Sost) VALUES (?, ?, ?, 0)");
    for (qint64 d = 1; d <= SyntheticStore::Drivers; ++d) {
        driver.bind(1, sqlite3_int64(1 + random.bounded(5)))
            .bind(2, sqlite3_int64(1 + random.bounded(4)))
            .bind(3, sqlite3_int64(1 + random.bounded(2)))
            .bind(4, sqlite3_int64(1 + random.bounded(2000)))
            .bind(5, double(100 + d))
            .bind(6, numbered("Имя", d))
            .bind(7, numbered("Фамилия", d))
            .bind(8, numbered("Отчество", d))
            .bind(9, QStringLiteral("А%1ВС").arg(d, 3, 10, QLatin1Char('0')))
            .bind(10, double(89000000000 + d))
            .run();
        shift.bind(1, sqlite3_int64(d))
            .bind(2, QStringLiteral("08:00:00"))
            .bind(3, QStringLiteral("20:00:00"))
            .run();
    }
    SqliteStatement employee(db, "INSERT INTO sotrud (Name, Family, Otchestvo, IdGorod) VALUES (?, ?, ?, 1)");
    SqliteStatement entry(db, "INSERT INTO pwl (IdOperator, Pwl, G, Login) VALUES (?, ?, ?, ?)");
    for (qint64 e = 1; e <= SyntheticStore::Dispatchers; ++e) {
        employee.bind(1, numbered("Имя", e))
            .bind(2, numbered("Диспетчер", e))
            .bind(3, numbered("Отчество", e))
            .run();
        entry.bind(1, sqlite3_int64(e))
            .bindBlob(2, coder(QStringLiteral("пароль")))
            .bind(3, sqlite3_int64(e == 1))
            .bind(4, numbered("d", e))
            .run();
    }
    // The drivers of the current orders stand busy in their destination districts; the other
    // queued drivers stand free, spread over the districts.
    SqliteStatement queued(db, "INSERT INTO vozyraion (Vozy, Raion, Status) VALUES (?, ?, ?)");
    for (qint64 d = 1; d <= SyntheticStore::QueuedDrivers; ++d)
        queued.bind(1, d)
            .bind(2, sqlite3_int64(1 + (d % SyntheticStore::Districts)))
            .bind(3, sqlite3_int64(d <= SyntheticStore::CurrentOrders))
            .run();
}

// A town's callers: most numbers mobile (eleven digits under a few operator codes, so that many
// share their first digits), the rest six-digit town numbers. A few order very often (a hotel, a
// hospital), most rarely; each is picked up at one or two addresses of their own.
class Callers
{
public:
    Callers(qint64 orders, QRandomGenerator &random)
    {
        const int codes[] = {916, 917, 926, 903, 905, 963, 985};
        const qint64 count = std::max<qint64>(50, orders / 15);
        std::vector<double> weights;
        for (qint64 i = 0; i < count; ++i) {
            const bool mobile = random.bounded(10) < 7;
            Caller caller;
            caller.telephone =
                mobile ? 80000000000LL + codes[random.bounded(7)] * 10000000LL + random.bounded(10000000)
                       : 200000 + random.bounded(600000);
            caller.addresses = 1 + (random.bounded(5) >= 3);
            caller.pickup = 1 + random.bounded(SyntheticStore::Districts);
            caller.street = random.bounded(SyntheticStore::StreetsPerDistrict);
            caller.house = 1 + random.bounded(120);
            m_callers.push_back(caller);
            weights.push_back(1.0 / std::pow(double(i + 1), 0.8));
        }
        std::mt19937 shuffle(random.generate());
        std::shuffle(weights.begin(), weights.end(), shuffle);
        m_pick = std::discrete_distribution<qint64>(weights.begin(), weights.end());
    }

    struct Address
    {
        qint64 telephone;
        qint64 pickup;
        qint64 street; // ulica Id
        int house;
    };

    Address next(QRandomGenerator &random)
    {
        const Caller &c = m_callers.at(m_pick(random));
        const int second = random.bounded(c.addresses); // the caller's other address, next door
        const qint64 street = (c.street + second) % SyntheticStore::StreetsPerDistrict;
        return {c.telephone, c.pickup, (c.pickup - 1) * SyntheticStore::StreetsPerDistrict + 1 + street,
                c.house + second};
    }

private:
    struct Caller
    {
        qint64 telephone = 0;
        int addresses = 1;
        qint64 pickup = 1;
        int street = 0;
        int house = 1;
    };
    std::vector<Caller> m_callers;
    std::discrete_distribution<qint64> m_pick;
};

void fillJournal(sqlite3 *db, qint64 orders, const QDate &lastDay, QRandomGenerator &random)
{
    SqliteStatement order(db, "INSERT INTO gurnal (Id, IdOperator, IdVozy, IdOtkudaRaion, IdOtkudaUlica, "
                              "IdKudaRaion, Ttime, Dom, Kvartira, Telefon, Iinfo, DDate, Status) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QDate firstDay = lastDay.addDays(1 - SyntheticStore::Days);
    Callers callers(orders, random);
    const qint64 lastDayOrders = std::min<qint64>(SyntheticStore::LastDayOrders, orders / 10);
    const qint64 earlierOrders = orders - lastDayOrders;
    qint64 id = 0;
    for (qint64 n = 0; n < orders; ++n) {
        id += random.bounded(50) == 0 ? 2 : 1; // a cancelled order left its identity unused
        const qint64 current = n - (orders - SyntheticStore::CurrentOrders);
        qint64 day = SyntheticStore::Days - 1;
        qint64 second = (n - earlierOrders) * 86400 / std::max<qint64>(lastDayOrders, 1);
        if (n < earlierOrders) {
            day = n * (SyntheticStore::Days - 1) / earlierOrders;
            second = (n * (SyntheticStore::Days - 1) * 86400 / earlierOrders) % 86400;
        }
        const Callers::Address from = callers.next(random);
        order.bind(1, id)
            .bind(2, sqlite3_int64(1 + random.bounded(SyntheticStore::Dispatchers)))
            .bind(4, from.pickup)
            .bind(5, from.street)
            .bind(6, sqlite3_int64(1 + random.bounded(SyntheticStore::Districts)))
            .bind(7, QTime(0, 0).addSecs(int(second)).toString(QStringLiteral("HH:mm:ss")))
            .bind(8, QString::number(from.house))
            .bind(9, double(1 + from.house % 97))
            .bind(10, double(from.telephone))
            .bind(12, firstDay.addDays(day).toString(Qt::ISODate))
            .bind(13, sqlite3_int64(current >= 0));
        if (current >= 0)
            order.bind(3, current + 1); // the busy drivers of the queues
        else if (random.bounded(100) != 0)
            order.bind(3, sqlite3_int64(1 + random.bounded(SyntheticStore::Drivers)));
        if (random.bounded(10) == 0)
            order.bind(11, QStringLiteral("подъезд 2, код 15"));
        order.run();
    }
}

// The indexes and triggers of the store as its migrations made them. A bulk fill drops them and makes
// them again at the end: an index built once from sorted rows, and the rows the triggers keep (the
// block counts, the repeat callers) computed once by the migrations' own statements, cost a fraction
// of keeping them up row by row, and leave the same store.
class DeferredSchema
{
public:
    explicit DeferredSchema(sqlite3 *db)
        : m_db(db)
    {
        QStringList drops;
        {
            SqliteStatement objects(db, "SELECT type, name, sql FROM sqlite_master WHERE type IN ('index', "
                                        "'trigger') AND sql IS NOT NULL ORDER BY rowid");
            const auto text = [&](int column) {
                return QString::fromUtf8(reinterpret_cast<const char *>(objects.text(column)));
            };
            while (objects.step()) {
                drops << QStringLiteral("DROP %1 \"%2\"").arg(text(0), text(1));
                m_statements << text(2);
            }
        }
        for (const QString &drop : std::as_const(drops))
            SqliteStatement::exec(db, drop.toUtf8().constData());
    }

    void restore()
    {
        for (int version = 2; version <= Schema::latestVersion(); ++version) {
            for (const QString &statement : Schema::migration(version)) {
                if (statement.startsWith(QLatin1String("INSERT INTO")))
                    SqliteStatement::exec(m_db, statement.toUtf8().constData());
            }
        }
        for (const QString &statement : std::as_const(m_statements))
            SqliteStatement::exec(m_db, statement.toUtf8().constData());
    }

private:
    sqlite3 *m_db;
    QStringList m_statements;
};

} // namespace

SyntheticStore generateStore(const QString &file, qint64 orders, Fill fill)
{
    Database::create(file); // the program's own schema, then closed
    SyntheticStore store{file, orders, QDate::currentDate().addDays(-1)};
    SqliteConnection connection(file);
    sqlite3 *db = connection.handle();
    // A store being generated needs no protection from a power cut, and its pages are kept in
    // memory until the end; the measurements open it again with the program's settings (WAL,
    // synchronous=FULL).
    SqliteStatement::exec(db, "PRAGMA journal_mode=OFF");
    SqliteStatement::exec(db, "PRAGMA synchronous=OFF");
    SqliteStatement::exec(db, "PRAGMA cache_size=-1048576");
    SqliteStatement::exec(db, "BEGIN IMMEDIATE");
    std::optional<DeferredSchema> deferred;
    if (fill == Fill::Bulk)
        deferred.emplace(db);
    QRandomGenerator random(20261207);
    fillCity(db, random);
    fillPeople(db, random);
    fillJournal(db, orders, store.lastDay, random);
    if (deferred)
        deferred->restore();
    SqliteStatement::exec(db, "COMMIT");
    SqliteStatement::exec(db, "PRAGMA journal_mode=WAL");
    return store;
}
