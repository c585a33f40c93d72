#pragma once

#include <QDate>
#include <QString>

// A store as a taxi service leaves it after years of work: 2 cities with 50 districts, 2,000
// streets, a distance for every ordered pair of districts, 500 drivers with schedule rows, 450 of
// them in the queues (the drivers of the 200 current orders busy), 20 dispatchers with access
// entries, and the orders of the last 1,095 days, the last 200 current. One order in fifty was
// cancelled, so the journal's identities have gaps. The orders come from a town's callers: one
// number for about fifteen orders, a few numbers calling very often, most rarely, each picked up
// at one or two addresses of their own. The last day, the report's date, has a day's orders of a
// service of this size at every size of the journal, so that the report's figure shows what the
// journal's years cost it and not what a busier date does.
struct SyntheticStore
{
    static constexpr int Districts = 50;
    static constexpr int StreetsPerDistrict = 40;
    static constexpr int Drivers = 500;
    static constexpr int QueuedDrivers = 450;
    static constexpr int Dispatchers = 20;
    static constexpr int CurrentOrders = 200;
    static constexpr int Days = 1095;
    static constexpr int LastDayOrders = 900;

    QString file;
    qint64 orders = 0;
    QDate lastDay; // the orders end on this day: yesterday
};

// How the rows go in: in bulk, the indexes built and the triggers' rows computed once at the end; or
// row by row under the triggers, as the program's own writes would leave them (the slow way, which a
// bulk fill must match).
enum class Fill
{
    Bulk,
    RowByRow
};

// Creates the store at `file` with the program's own schema, then fills it in one transaction
// with prepared statements on a connection of its own.
SyntheticStore generateStore(const QString &file, qint64 orders, Fill fill = Fill::Bulk);
