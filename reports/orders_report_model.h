#pragma once

#include <QString>
#include <QVector>

#include <optional>

class QDate;
class TDataModule2;

// A driver's row of the orders report, as it is printed.
struct OrdersReportRow
{
    QString number; // callsign
    QString familiya;
    QString name;
    QString otchestvo;
    int orders = 0;
    int rate = 0;
    qint64 amount = 0; // orders times rate
};

// The report "Отчёт по принятым заказам" of one date: the date label of its title and a row for each
// driver of the drivers' table who has orders on the date, current or done, in the table's order. A
// date without orders gives title, column header and footer only; an empty drivers' table gives no
// pages at all.
struct OrdersReport
{
    QString dateLabel;
    QVector<OrdersReportRow> rows;
    bool hasPages = false;
};

// The report of `date` at `rate` roubles per order; `dateLabel` is the date as the date box shows it.
// Throws DataError with the store's message.
OrdersReport buildOrdersReport(TDataModule2 &dm, const QDate &date, const QString &dateLabel, int rate);

// The drivers' rate as the report reads it from the tariff window: a whole number, blanks around it
// allowed; nothing when the text is anything else.
std::optional<int> wholeRate(const QString &text);
