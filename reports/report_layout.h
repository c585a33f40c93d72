#pragma once

#include "reports/orders_report_model.h"

#include <QObject>

class Messages;
class QDate;
class QPrinter;
class QWidget;
class TDataModule2;

// Report layout "Формирование отчёта": the report "Отчёт по принятым заказам" of a date, built from
// the journal and shown in the print preview, from which it is printed. It is never shown itself.
class TForm15 : public QObject
{
    Q_OBJECT

public:
    TForm15(TDataModule2 &dm, Messages &messages, QObject *parent = nullptr);

    // The date label of the title, as the date box shows the date.
    void setDateLabel(const QString &text) { m_dateLabel = text; }

    // Builds the report of the date at the drivers' rate. Throws DataError with the store's message.
    void build(const QDate &date, int rate);
    const OrdersReport &report() const { return m_report; }

    // The report in the print preview, modally, until the preview is closed.
    void Preview(QWidget *parent);
    // The report onto a printer or into a PDF file, on its own page layout. Throws DataError when the
    // printer cannot be opened.
    void print(QPrinter &printer) const;

private:
    TDataModule2 &m_dm;
    Messages &m_messages;
    QString m_dateLabel;
    OrdersReport m_report;
};
