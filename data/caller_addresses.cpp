#include "data/caller_addresses.h"

#include "data/database.h"
#include "data/schema.h"
#include "data/store_reader.h"

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

// The latest addresses of the callers `searched` (a FROM and WHERE of gurnal_callers), each with the
// names of its district and street and the date of its last order: looked up for those few only,
// after the limit.
QString latestWithNames(const QString &searched)
{
    return QStringLiteral(
               "SELECT f.Telefon, f.IdOtkudaRaion, r.Id, r.Raion, f.IdOtkudaUlica, u.Id, u.Ulica, f.Dom, "
               "f.Kvartira, g.DDate, f.LastId, f.Orders FROM (SELECT Telefon, IdOtkudaRaion, IdOtkudaUlica, "
               "Dom, Kvartira, LastId, Orders FROM %1 ORDER BY LastId DESC LIMIT %2) AS f "
               "LEFT JOIN raion AS r ON r.Id = f.IdOtkudaRaion LEFT JOIN ulica AS u ON u.Id = "
               "f.IdOtkudaUlica "
               "LEFT JOIN gurnal AS g ON g.Id = f.LastId")
        .arg(searched)
        .arg(CallerAddresses::MaximumAddresses);
}

const QString &latestInRange()
{
    static const QString sql =
        latestWithNames(QStringLiteral("gurnal_callers WHERE Telefon >= ? AND Telefon < ?"));
    return sql;
}

const QString &latestOfHead()
{
    static const QString sql = latestWithNames(
        QStringLiteral("gurnal_callers INDEXED BY gurnal_callers_Head WHERE substr(%1, 1, 3) = ? AND %1 >= ? "
                       "AND %1 < ?")
            .arg(Schema::telephoneDigits()));
    return sql;
}

bool onlyDigits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

CallerAddresses::CallerAddresses(Database &db)
    : m_db(db)
{
}

QStringList CallerAddresses::statements()
{
    return {addressesInRange(), latestInRange(), ::latestOfHead()};
}

QList<CallerAddress> CallerAddresses::find(const QString &digits) const
{
    QString prefix = digits;
    while (prefix.startsWith(u'0'))
        prefix.remove(0, 1);
    if (prefix.size() < MinimumDigits || prefix.size() > MostDigits || !onlyDigits(prefix))
        return {};
    const QList<Range> ranges = rangesOf(prefix.toLongLong(), prefix.size());
    return latest(atMost(ranges, FewAddresses) ? latestInRanges(ranges) : latestOfHead(prefix));
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
    int seen = 0;
    for (const Range &range : ranges) {
        m_db.select(addressesInRange(), {range.from, range.to, addresses + 1 - seen},
                    [&seen](const StoreRow &row) { seen += int(row.integer(0)); });
        if (seen > addresses)
            return false;
    }
    return true;
}

CallerAddresses::Found CallerAddresses::read(const StoreRow &row)
{
    Found found;
    CallerAddress &address = found.address;
    address.telephone = QString::number(static_cast<qint64>(row.value(0, FieldType::Number).toDouble()));
    // A reference to a district or street deleted since is dropped.
    address.district = row.isNull(2) ? QVariant() : row.value(1, FieldType::Integer);
    address.districtName = row.value(3, FieldType::Text).toString();
    address.street = row.isNull(5) ? QVariant() : row.value(4, FieldType::Integer);
    address.streetName = row.value(6, FieldType::Text).toString();
    address.house = row.value(7, FieldType::Text);
    address.flat = row.value(8, FieldType::Number);
    address.lastDate = row.value(9, FieldType::Date).toDate();
    found.lastId = row.integer(10);
    address.orders = int(row.integer(11));
    return found;
}

QList<CallerAddresses::Found> CallerAddresses::latestInRanges(const QList<Range> &ranges) const
{
    QList<Found> found;
    for (const Range &range : ranges)
        m_db.select(latestInRange(), {range.from, range.to},
                    [&found](const StoreRow &row) { found.append(read(row)); });
    return found;
}

QList<CallerAddresses::Found> CallerAddresses::latestOfHead(const QString &prefix) const
{
    QList<Found> found;
    // The character after '9' bounds every longer number from above.
    m_db.select(::latestOfHead(), {prefix.left(3), prefix, QString(prefix + u':')},
                [&found](const StoreRow &row) { found.append(read(row)); });
    return found;
}

QList<CallerAddress> CallerAddresses::latest(QList<Found> found)
{
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.lastId > b.lastId; });
    QList<CallerAddress> addresses;
    for (const Found &one : found.first(std::min<qsizetype>(found.size(), MaximumAddresses)))
        addresses.append(one.address);
    return addresses;
}
