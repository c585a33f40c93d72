#include "data/orders_report.h"

#include "data/database.h"

#include <QSqlQuery>

namespace {

// A value as the drivers' dataset reads it: empty stays empty.
QVariant number(const QVariant &raw)
{
    return raw.isNull() ? QVariant() : QVariant(raw.toDouble());
}

QVariant text(const QVariant &raw)
{
    return raw.isNull() ? QVariant() : QVariant(raw.toString());
}

} // namespace

// The join drops the orders without a driver and those whose driver is no longer in the table; the
// date is bound as the store keeps it, and the journal's date index finds the day's orders.
QVector<DriverOrders> ordersOfDate(Database &db, const QDate &date)
{
    QSqlQuery query = db.prepare(
        QStringLiteral("SELECT t.\"Id\", t.\"Number\", t.\"Familiya\", t.\"Name\", t.\"Otchestvo\", COUNT(*) "
                       "FROM \"gurnal\" g JOIN \"taxisti\" t ON t.\"Id\" = g.\"IdVozy\" "
                       "WHERE g.\"DDate\" = ? "
                       "GROUP BY t.\"Id\" "
                       "ORDER BY t.\"Id\""));
    query.addBindValue(date.toString(Qt::ISODate));
    Database::exec(query);
    QVector<DriverOrders> rows;
    while (query.next()) {
        rows.append({.driverId = query.value(0).toLongLong(),
                     .number = number(query.value(1)),
                     .familiya = text(query.value(2)),
                     .name = text(query.value(3)),
                     .otchestvo = text(query.value(4)),
                     .orders = query.value(5).toInt()});
    }
    return rows;
}
