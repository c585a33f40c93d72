#pragma once

#include <QDate>
#include <QList>
#include <QStringList>
#include <QVariant>

class Database;
class StoreRow;

// A pick-up address of earlier orders from one telephone number.
struct CallerAddress
{
    QString telephone; // the digits of the stored number
    QVariant district; // raion Id; null when the orders had none or it has been deleted since
    QString districtName;
    QVariant street; // ulica Id; null likewise
    QString streetName;
    QVariant house; // Dom
    QVariant flat;  // Kvartira
    QDate lastDate; // DDate of the last of these orders
    int orders = 0; // how many there were
};

// The addresses that earlier orders from numbers beginning with some digits were picked up at: one
// per number and address, the one ordered from last first. They are read from the callers the
// journal keeps (each number's addresses with their counts and last orders), so that a look-up
// costs the same whether the digits are the first three or a whole number, on a month of orders or
// on years of them.
class CallerAddresses
{
public:
    static constexpr int MinimumDigits = 3;
    static constexpr int MaximumAddresses = 8;

    explicit CallerAddresses(Database &db);

    // `digits` as typed: leading zeros are dropped, as the stored number dropped them. Fewer than
    // MinimumDigits digits after them, or anything but digits, find nothing. Throws DataError with
    // the store's message.
    QList<CallerAddress> find(const QString &digits) const;

    // The statements of a look-up, for checking their plans.
    static QStringList statements();

private:
    struct Range
    {
        qint64 from;
        qint64 to; // exclusive
    };

    // An address as read, with the journal Id of its last order.
    struct Found
    {
        CallerAddress address;
        qint64 lastId = 0;
    };

    static QList<Range> rangesOf(qint64 prefix, int digits);
    static Found read(const StoreRow &row);
    bool atMost(const QList<Range> &ranges, int addresses) const;
    QList<Found> latestInRanges(const QList<Range> &ranges) const;
    QList<Found> latestOfHead(const QString &prefix) const;
    static QList<CallerAddress> latest(QList<Found> found);

    Database &m_db;
};
