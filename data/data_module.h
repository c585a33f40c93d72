#pragma once

#include "data/data_source.h"
#include "data/dataset.h"
#include "data/statement.h"

#include <QObject>

class Database;

// The data module: one shared dataset and data source for each of the twelve tables, with their
// display fields and first filters, and the statement holder. Every table is opened at creation.
class TDataModule2 : public QObject
{
    Q_OBJECT

public:
    // Throws DataError with the store's message when a table cannot be opened.
    explicit TDataModule2(Database &db, QObject *parent = nullptr);

    Database &database() const { return m_db; }

    Dataset *const Table1;     // taxisti: drivers
    Dataset *const Table2;     // auto: car models
    Dataset *const Table3;     // color: colours
    Dataset *const Table4;     // gorod: cities
    Dataset *const Table6;     // raion: districts
    Dataset *const Table5;     // ulica: streets
    Dataset *const sotrud;     // staff
    Dataset *const pwl;        // access entries
    Dataset *const Grafic;     // work schedule
    Dataset *const Vozy_raion; // driver positions (the district queues)
    Dataset *const Gurnal;     // order journal
    Dataset *const rastoyan;   // distances

    DataSource *const DSTaxist;
    DataSource *const DSAuto;
    DataSource *const DSColor;
    DataSource *const DSGorod;
    DataSource *const DSRaion;
    DataSource *const DSUlica;
    DataSource *const DSSotrud;
    DataSource *const DSpwl;
    DataSource *const DSGrafic;
    DataSource *const DSVozy_Raion;
    DataSource *const DSGurnal;
    DataSource *const DSRastoyan;

    Statement Query1;

private:
    void addDisplayFields();

    Database &m_db;
};

// The current-orders view of the journal window: every order with Status true, with its own
// display fields (the driver both from the drivers' table and through the queue).
Dataset *makeCurrentOrdersView(TDataModule2 &dm, QObject *parent);

// The report's detail rows: the journal read by driver, following the drivers' current row.
Dataset *makeReportDetail(TDataModule2 &dm, QObject *parent);
