#include "tools/demo_data.h"

#include "data/clock.h"
#include "data/database.h"
#include "data/password_coder.h"

#include <QSqlQuery>
#include <QVariantList>

#include <cmath>

namespace DemoData {

const Dispatcher dispatchers[2] = {{"Иванова", "Ольга", "Петровна", "1234"},
                                   {"Смирнова", "Анна", "Сергеевна", "5678"}};

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

qint64 insert(Database &db, const char *table, const QStringList &columns, const QVariantList &values)
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery query = db.prepare(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(QString::fromLatin1(table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))) +
        db.returningId());
    for (const QVariant &v : values) // logicals are kept as 0/1 on either engine
        query.addBindValue(v.typeId() == QMetaType::Bool ? QVariant(v.toBool() ? 1 : 0) : v);
    Database::exec(query);
    return Database::insertedId(query);
}

struct District
{
    int city;
    const char *name;
    double x, y; // kilometres from the first city's centre, for the distance table
    const char *streets[5];
};

const District districts[] = {
    {0, "Центральный", 0, 0, {"Ленина", "Советская", "Мира", "Пушкина", "Театральная"}},
    {0, "Северный", 1.5, 5.5, {"Северная", "Лесная", "Молодёжная", "Школьная", "Полевая"}},
    {0, "Заводской", 6, -1, {"Заводская", "Индустриальная", "Рабочая", "Кирова", "Энергетиков"}},
    {0, "Южный", -1, -6, {"Южная", "Садовая", "Гагарина", "Космонавтов", "Победы"}},
    {1, "Заречный", 13, 4, {"Набережная", "Речная", "Береговая", "Луговая", "Рыбацкая"}},
    {1, "Слобода", 16, 9, {"Слободская", "Церковная", "Базарная", "Овражная", "Кузнечная"}},
};

struct Driver
{
    const char *surname, *name, *patronymic;
    int callsign, model, colour;
    const char *plate;
    const char *start, *end;
    int standsIn; // district index, or -1 when not on the line
};

const Driver drivers[] = {
    {"Петров", "Иван", "Сергеевич", 101, 0, 0, "А101ВС", "08:00:00", "20:00:00", 0},
    {"Кузнецов", "Алексей", "Иванович", 102, 1, 1, "В202ОР", "08:00:00", "20:00:00", 0},
    {"Соколов", "Дмитрий", "Павлович", 103, 2, 2, "Е303КМ", "08:00:00", "20:00:00", 0},
    {"Попов", "Сергей", "Николаевич", 104, 3, 3, "К404НА", "08:00:00", "20:00:00", 1},
    {"Лебедев", "Андрей", "Викторович", 105, 4, 4, "М505ТУ", "20:00:00", "08:00:00", 1},
    {"Козлов", "Николай", "Андреевич", 106, 5, 5, "Н606ХС", "20:00:00", "08:00:00", 2},
    {"Новиков", "Павел", "Олегович", 107, 0, 1, "О707АВ", "08:00:00", "20:00:00", 2},
    {"Морозов", "Виктор", "Юрьевич", 108, 1, 2, "Р808ЕК", "08:00:00", "20:00:00", 3},
    {"Волков", "Олег", "Михайлович", 109, 2, 3, "С909МН", "20:00:00", "08:00:00", 4},
    {"Алексеев", "Юрий", "Петрович", 110, 3, 0, "Т010ОР", "20:00:00", "08:00:00", 5},
    {"Фёдоров", "Михаил", "Алексеевич", 111, 4, 5, "У111СТ", "08:00:00", "20:00:00", -1},
    {"Егоров", "Роман", "Дмитриевич", 112, 5, 4, "Х212УХ", "20:00:00", "08:00:00", -1},
};

// Orders of the last three days, all done, so that the journal and the report of a date have
// something to show while the queues stay as the demo sets them: a few for each driver and day.
void addJournal(Database &db, const QVector<qint64> &staff, const QVector<qint64> &driverIds,
                const QVector<qint64> &districtIds, const QVector<qint64> &firstStreet)
{
    const QStringList columns{QStringLiteral("IdOperator"),    QStringLiteral("IdVozy"),
                              QStringLiteral("IdOtkudaRaion"), QStringLiteral("IdOtkudaUlica"),
                              QStringLiteral("IdKudaRaion"),   QStringLiteral("Ttime"),
                              QStringLiteral("Dom"),           QStringLiteral("Telefon"),
                              QStringLiteral("DDate"),         QStringLiteral("Status")};
    for (int daysAgo = 3; daysAgo >= 1; --daysAgo) {
        const QDate day = Clock::today().addDays(-daysAgo);
        int taken = 0;
        for (int driver = 0; driver < driverIds.size(); ++driver) {
            const int orders = (driver * 7 + daysAgo * 3 + 1) % 4;
            for (int i = 0; i < orders; ++i, ++taken) {
                const int from = (driver + i) % int(districtIds.size());
                const int to = (driver + 2 * i + daysAgo) % int(districtIds.size());
                const QTime time = QTime(8, 0).addSecs(taken * 23 * 60);
                insert(db, "gurnal", columns,
                       {staff[taken % staff.size()], driverIds[driver], districtIds[from],
                        firstStreet[from] + i % 5, districtIds[to], time.toString(QStringLiteral("HH:mm:ss")),
                        QString::number(1 + taken % 40), 2300000.0 + taken, day.toString(Qt::ISODate), 0});
            }
        }
    }
}

} // namespace

void fill(Database &db)
{
    const QStringList city{QStringLiteral("Gorod")};
    const qint64 cities[] = {insert(db, "gorod", city, {u("Светлогорск")}),
                             insert(db, "gorod", city, {u("Заречье")})};

    QVector<qint64> districtIds, firstStreet;
    for (const District &d : districts) {
        const qint64 id = insert(db, "raion", {QStringLiteral("IdGorod"), QStringLiteral("Raion")},
                                 {cities[d.city], u(d.name)});
        districtIds << id;
        for (int s = 0; s < 5; ++s) {
            const qint64 street = insert(db, "ulica", {QStringLiteral("IdRion"), QStringLiteral("Ulica")},
                                         {id, u(d.streets[s])});
            if (s == 0)
                firstStreet << street;
        }
    }
    // Every ordered pair, each district to itself included; a trip inside a district counts 3 km.
    for (int from = 0; from < districtIds.size(); ++from) {
        for (int to = 0; to < districtIds.size(); ++to) {
            const District &a = districts[from];
            const District &b = districts[to];
            const double km = from == to ? 3.0 : std::round(std::hypot(a.x - b.x, a.y - b.y) * 10.0) / 10.0;
            insert(db, "rastoyan",
                   {QStringLiteral("IdRaion1"), QStringLiteral("IdRaion2"), QStringLiteral("KM")},
                   {districtIds[from], districtIds[to], km});
        }
    }

    QVector<qint64> models, colours;
    for (const char *name : {"ВАЗ-2107", "ВАЗ-2110", "ГАЗ-3110", "Лада Гранта", "Рено Логан", "Киа Рио"})
        models << insert(db, "auto", {QStringLiteral("Name")}, {u(name)});
    for (const char *name : {"Белый", "Чёрный", "Серый", "Синий", "Красный", "Зелёный"})
        colours << insert(db, "color", {QStringLiteral("Color")}, {u(name)});

    QVector<qint64> driverIds;
    int n = 0;
    for (const Driver &d : drivers) {
        const qint64 id =
            insert(db, "taxisti",
                   {QStringLiteral("IdAuto"), QStringLiteral("Idcvet"), QStringLiteral("IdGorod"),
                    QStringLiteral("IdUlica"), QStringLiteral("Number"), QStringLiteral("Name"),
                    QStringLiteral("Familiya"), QStringLiteral("Otchestvo"), QStringLiteral("NumberAuto"),
                    QStringLiteral("Telephone"), QStringLiteral("Dom"), QStringLiteral("Kvartira"),
                    QStringLiteral("DenyRogdeniya")},
                   {models[d.model], colours[d.colour], cities[0], firstStreet[n % 4], d.callsign, u(d.name),
                    u(d.surname), u(d.patronymic), u(d.plate), 2300100.0 + n, 10.0 + n, double(n + 1),
                    QStringLiteral("1975-%1-15").arg(n + 1, 2, 10, QLatin1Char('0'))});
        driverIds << id;
        insert(db, "grafic",
               {QStringLiteral("IdTaxist"), QStringLiteral("Timestart"), QStringLiteral("Timeend")},
               {id, QString::fromLatin1(d.start), QString::fromLatin1(d.end)});
        if (d.standsIn >= 0)
            insert(db, "vozyraion",
                   {QStringLiteral("Vozy"), QStringLiteral("Raion"), QStringLiteral("Status")},
                   {id, districtIds[d.standsIn], 0});
        ++n;
    }

    int number = 2;
    QVector<qint64> staffIds;
    for (const Dispatcher &d : dispatchers) {
        const qint64 staff =
            insert(db, "sotrud",
                   {QStringLiteral("Number"), QStringLiteral("Family"), QStringLiteral("Name"),
                    QStringLiteral("Otchestvo"), QStringLiteral("IdGorod"), QStringLiteral("Idulica")},
                   {double(number++), u(d.surname), u(d.name), u(d.patronymic), cities[0], firstStreet[0]});
        insert(db, "pwl", {QStringLiteral("IdOperator"), QStringLiteral("Pwl"), QStringLiteral("G")},
               {staff, coder(u(d.password)), 0});
        staffIds << staff;
    }

    addJournal(db, staffIds, driverIds, districtIds, firstStreet);
}

} // namespace DemoData
