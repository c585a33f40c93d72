#include "data/orders_report.h"

#include "data/database.h"

#include <QSqlQuery>

namespace {

QVariant number(const QVariant &raw)
{
    return raw.isNull() ? QVariant() : QVariant(raw.toDouble());
}

QVariant text(const QVariant &raw)
{
    return raw.isNull() ? QVariant() : QVariant(raw.toString());
}

} // namespace

QVector<DriverOrders> ordersOfDate(Database &db, const QDate &date)
{
    QSqlQuery &query = db.cachedQuery(
        QStringLiteral("SELECT t.\"Id\", t.\"Number\", t.\"Familiya\", t.\"Name\", t.\"Otchestvo\", COUNT(*) "
                       "FROM \"gurnal\" g JOIN \"taxisti\" t ON t.\"Id\" = g.\"IdVozy\" "
                       "WHERE g.\"DDate\" = ? GROUP BY t.\"Id\" ORDER BY t.\"Id\""));
    query.bindValue(0, date.toString(Qt::ISODate));
    Database::exec(query);
    QVector<DriverOrders> rows;
    while (query.next())
        rows.append({query.value(0).toLongLong(), number(query.value(1)), text(query.value(2)),
                     text(query.value(3)), text(query.value(4)), query.value(5).toInt()});
    query.finish();
    return rows;
}
