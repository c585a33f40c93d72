#pragma once

#include <QDialog>

class AccessLevel;
class DBGrid;
class DataSource;
class Dataset;
class Messages;
class QPushButton;
class TDataModule2;

// Order journal: every order, current and done; owns the current-orders view.
class TForm14 : public QDialog
{
    Q_OBJECT

public:
    // `Table1` is the current-orders view (made by makeCurrentOrdersView over `dm`, filter
    // "Status=true" on) and `DataSource1` its data source, which the main window's "Журнал" tab
    // shows as well. The window lists every order while it is shown and leaves the view filtered
    // whenever it is hidden.
    TForm14(Dataset *Table1, DataSource *DataSource1, TDataModule2 &dm, AccessLevel &access,
            Messages &messages, QWidget *parent = nullptr);

    void Button1Click(); // "Удалить"
    void Button2Click(); // "Ок"

    Dataset *const Table1;
    DataSource *const DataSource1;
    DBGrid *DBGrid1 = nullptr;
    QPushButton *Button1 = nullptr; // "Удалить"
    QPushButton *Button2 = nullptr; // "Ок"

public Q_SLOTS:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildForm();
    void fsd();
    void sdgf();

    AccessLevel &m_access;
    Messages &m_messages;
};
