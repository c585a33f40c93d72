#pragma once

#include <QDate>
#include <QVariant>
#include <QVector>

class Database;

// A row of the orders-by-date report: a driver who has orders on the date, and how many.
struct DriverOrders
{
    qint64 driverId = 0;
    QVariant number; // callsign, as the drivers' dataset gives it
    QVariant familiya;
    QVariant name;
    QVariant otchestvo;
    int orders = 0;
};

// The report's rows for a date: the drivers of the drivers' table, in its order, that have orders
// (current or done) on that date, each with the count of them; orders without a driver belong to
// no one. One grouped query gives what walking the drivers with the report's detail dataset gives.
QVector<DriverOrders> ordersOfDate(Database &db, const QDate &date);
