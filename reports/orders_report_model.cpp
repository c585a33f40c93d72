#include "reports/orders_report_model.h"

#include "data/data_module.h"
#include "data/field_type.h"
#include "data/orders_report.h"
#include "data/value_text.h"

#include <QDate>

OrdersReport buildOrdersReport(TDataModule2 &dm, const QDate &date, const QString &dateLabel, int rate)
{
    OrdersReport report;
    report.dateLabel = dateLabel;
    // The report walks the drivers' table: without a driver there is nothing to walk, not even a page.
    report.hasPages = dm.Table1->recordCount() > 0;
    if (!report.hasPages)
        return report;
    const QVector<DriverOrders> drivers = ordersOfDate(dm.database(), date);
    for (const DriverOrders &driver : drivers) {
        report.rows.append({.number = ValueText::display(FieldType::Number, driver.number),
                            .familiya = driver.familiya.toString(),
                            .name = driver.name.toString(),
                            .otchestvo = driver.otchestvo.toString(),
                            .orders = driver.orders,
                            .rate = rate,
                            .amount = qint64(driver.orders) * rate});
    }
    return report;
}

std::optional<int> wholeRate(const QString &text)
{
    bool ok = false;
    const int rate = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return rate;
}
