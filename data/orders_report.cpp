#include "data/orders_report.h"

#include "data/database.h"

QVector<DriverOrders> ordersOfDate(Database &db, const QDate &date)
{
    QVector<DriverOrders> rows;
    // The server takes the driver's fields as grouped only through his own identity.
    const QString driverToo =
        db.engine() == Database::Engine::Postgres ? QStringLiteral(", t.\"Id\"") : QString();
    db.select(
        QStringLiteral("SELECT t.\"Id\", t.\"Number\", t.\"Familiya\", t.\"Name\", t.\"Otchestvo\", COUNT(*) "
                       "FROM \"gurnal\" g JOIN \"taxisti\" t ON t.\"Id\" = g.\"IdVozy\" "
                       "WHERE g.\"DDate\" = ? GROUP BY g.\"IdVozy\"%1 ORDER BY g.\"IdVozy\"")
            .arg(driverToo),
        {date.toString(Qt::ISODate)}, [&](const StoreRow &row) {
            rows.append({row.integer(0), row.value(1, FieldType::Number), row.value(2, FieldType::Text),
                         row.value(3, FieldType::Text), row.value(4, FieldType::Text), int(row.integer(5))});
        });
    return rows;
}
