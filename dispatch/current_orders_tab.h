#pragma once

#include <QWidget>

#include <functional>

class DBGrid;
class DataSource;
class Dataset;
class Messages;
class QPushButton;
class TDataModule2;

// Current orders: the orders in progress, read-only, with the two buttons that end an order (done or
// cancelled) and free its driver where he stands.
class CurrentOrdersTab : public QWidget
{
    Q_OBJECT

public:
    // `DataSource1` shows the journal window's current-orders view.
    CurrentOrdersTab(DataSource *DataSource1, TDataModule2 &dm, Messages &messages,
                     QWidget *parent = nullptr);

    void Button7Click(); // "Выполнено"
    void Button8Click(); // "Отменить"

    DBGrid *OrdersGrid = nullptr;
    QPushButton *Button7 = nullptr; // "Выполнено"
    QPushButton *Button8 = nullptr; // "Отменить"

private:
    void buildForm(DataSource *DataSource1);
    void endOrder(const std::function<void()> &journalStep, bool needsDriver);
    QString endedAtAnotherWorkstation(qint64 order);
    void freeDriver(const QString &driver);

    Dataset *m_orders;
    TDataModule2 &m_dm;
    Messages &m_messages;
};
