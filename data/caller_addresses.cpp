#include "data/caller_addresses.h"

#include "data/database.h"
#include "data/schema.h"

#include <QSqlQuery>

#include <algorithm>

namespace {

// A stored number keeps its digits exactly up to this length.
constexpr int MostDigits = 15;
// Up to this many addresses, those of every number with the digits are sorted by their last orders;
// beyond, the digits are common enough among the numbers with the same first three that the latest
// of those are soon found.
constexpr int FewAddresses = 1000;

const QString &addressesInRange()
{
    static const QString sql = QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM gurnal_callers WHERE "
                                              "Telefon >= ? AND Telefon < ? LIMIT ?) AS found");
    return sql;
}

const QString &latestInRange()
{
    static const QString sql =
        QStringLiteral(
            "SELECT Telefon, IdOtkudaRaion, IdOtkudaUlica, Dom, Kvartira, LastId, Orders FROM gurnal_callers "
            "WHERE Telefon >= ? AND Telefon < ? ORDER BY LastId DESC LIMIT %1")
            .arg(CallerAddresses::MaximumAddresses);
    return sql;
}

const QString &latestOfHead()
{
    static const QString sql =
        QStringLiteral("SELECT Telefon, IdOtkudaRaion, IdOtkudaUlica, Dom, Kvartira, LastId, Orders "
                       "FROM gurnal_callers INDEXED BY gurnal_callers_Head "
                       "WHERE substr(%1, 1, 3) = ? AND %1 >= ? AND %1 < ? ORDER BY LastId DESC LIMIT %2")
            .arg(Schema::telephoneDigits())
            .arg(CallerAddresses::MaximumAddresses);
    return sql;
}

const QString &dateOfOrder()
{
    static const QString sql = QStringLiteral("SELECT DDate FROM gurnal WHERE Id = ?");
    return sql;
}

const QString &districtName()
{
    static const QString sql = QStringLiteral("SELECT Raion FROM raion WHERE Id = ?");
    return sql;
}

const QString &streetName()
{
    static const QString sql = QStringLiteral("SELECT Ulica FROM ulica WHERE Id = ?");
    return sql;
}

bool onlyDigits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// An empty field as the datasets give it.
QVariant valueOrNull(const QVariant &value)
{
    return value.isNull() ? QVariant() : value;
}

} // namespace

CallerAddresses::CallerAddresses(Database &db)
    : m_db(db)
{
}

QStringList CallerAddresses::statements()
{
    return {addressesInRange(), latestInRange(), ::latestOfHead(),
            dateOfOrder(),      districtName(),  streetName()};
}

QList<CallerAddress> CallerAddresses::find(const QString &digits) const
{
    QString prefix = digits;
    while (prefix.startsWith(u'0'))
        prefix.remove(0, 1);
    if (prefix.size() < MinimumDigits || prefix.size() > MostDigits || !onlyDigits(prefix))
        return {};
    const QList<Range> ranges = rangesOf(prefix.toLongLong(), prefix.size());
    return named(atMost(ranges, FewAddresses) ? latestInRanges(ranges) : latestOfHead(prefix));
}

// The stored numbers that begin with the prefix: for each length, the numbers from the prefix
// followed by zeros up to the next prefix followed by zeros.
QList<CallerAddresses::Range> CallerAddresses::rangesOf(qint64 prefix, int digits)
{
    QList<Range> ranges;
    qint64 scale = 1;
    for (int length = digits; length <= MostDigits; ++length, scale *= 10)
        ranges.append({prefix * scale, (prefix + 1) * scale});
    return ranges;
}

bool CallerAddresses::atMost(const QList<Range> &ranges, int addresses) const
{
    QSqlQuery query = m_db.prepare(addressesInRange());
    int seen = 0;
    for (const Range &range : ranges) {
        query.bindValue(0, range.from);
        query.bindValue(1, range.to);
        query.bindValue(2, addresses + 1 - seen);
        Database::exec(query);
        seen += query.next() ? query.value(0).toInt() : 0;
        if (seen > addresses)
            return false;
    }
    return true;
}

CallerAddresses::Found CallerAddresses::read(const QSqlQuery &query)
{
    Found found;
    CallerAddress &address = found.address;
    address.telephone = QString::number(static_cast<qint64>(query.value(0).toDouble()));
    address.district = valueOrNull(query.value(1));
    address.street = valueOrNull(query.value(2));
    address.house = valueOrNull(query.value(3));
    address.flat = valueOrNull(query.value(4));
    found.lastId = query.value(5).toLongLong();
    address.orders = query.value(6).toInt();
    return found;
}

QList<CallerAddresses::Found> CallerAddresses::latestInRanges(const QList<Range> &ranges) const
{
    QSqlQuery query = m_db.prepare(latestInRange());
    QList<Found> found;
    for (const Range &range : ranges) {
        query.bindValue(0, range.from);
        query.bindValue(1, range.to);
        Database::exec(query);
        while (query.next())
            found.append(read(query));
    }
    return found;
}

QList<CallerAddresses::Found> CallerAddresses::latestOfHead(const QString &prefix) const
{
    QSqlQuery query = m_db.prepare(::latestOfHead());
    query.addBindValue(prefix.left(3));
    query.addBindValue(prefix);
    query.addBindValue(prefix + u':'); // the character after '9': every longer number is below it
    Database::exec(query);
    QList<Found> found;
    while (query.next())
        found.append(read(query));
    return found;
}

// The latest addresses with the names of their districts and streets and the dates of their last orders.
QList<CallerAddress> CallerAddresses::named(QList<Found> found) const
{
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.lastId > b.lastId; });
    QList<CallerAddress> addresses;
    QSqlQuery date = m_db.prepare(dateOfOrder());
    for (const Found &one : found.first(std::min<qsizetype>(found.size(), MaximumAddresses))) {
        CallerAddress address = one.address;
        address.districtName = name(districtName(), &address.district);
        address.streetName = name(streetName(), &address.street);
        date.bindValue(0, one.lastId);
        Database::exec(date);
        address.lastDate = date.next() ? QDate::fromString(date.value(0).toString(), Qt::ISODate) : QDate();
        addresses.append(address);
    }
    return addresses;
}

// The name of a district or street; a reference to a row deleted since is dropped.
QString CallerAddresses::name(const QString &sql, QVariant *id) const
{
    if (id->isNull())
        return {};
    QSqlQuery query = m_db.prepare(sql);
    query.addBindValue(*id);
    Database::exec(query);
    if (!query.next()) {
        *id = QVariant();
        return {};
    }
    return query.value(0).toString();
}
