#pragma once

#include <QDialog>

class DBGrid;
class Messages;
class QPushButton;
class TDataModule2;
class TForm11;
class TForm4;

// Drivers list: every driver with his car; adding a driver also gives him a shift in the schedule.
class TForm3 : public QDialog
{
    Q_OBJECT

public:
    TForm3(TDataModule2 &dm, TForm4 &driverData, TForm11 &shift, Messages &messages,
           QWidget *parent = nullptr);

    void Button1Click(); // "Добавить"
    void Button3Click(); // "Изменить", and a double click on the list
    void Button2Click(); // "Удалить"

    DBGrid *DBGrid1 = nullptr;
    QPushButton *Button1 = nullptr; // "Добавить"
    QPushButton *Button3 = nullptr; // "Изменить"
    QPushButton *Button2 = nullptr; // "Удалить"
    QPushButton *Button4 = nullptr; // "Ок"

private:
    void buildForm();

    TDataModule2 &m_dm;
    TForm4 &m_driverData;
    TForm11 &m_shift;
    Messages &m_messages;
};
