#pragma once

#include <QObject>

class DataSource;
class Dataset;
class TDataModule2;

// The current-orders view: the journal window's dataset of the orders in progress (filter
// "Status=true", on from creation) and its data source. It lives from start-up to the end of the run;
// the "Журнал" tab and the queue window work on it, and the journal window owns it once it is built.
class CurrentOrdersView : public QObject
{
    Q_OBJECT

public:
    explicit CurrentOrdersView(TDataModule2 &dm, QObject *parent = nullptr);

    Dataset *const Table1;
    DataSource *const DataSource1;
};
