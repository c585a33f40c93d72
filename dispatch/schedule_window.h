#pragma once

#include <QDialog>

class DBGrid;
class Messages;
class QPushButton;
class TDataModule2;
class TForm11;

// Work schedule: the drivers who work, each with the start and end of his shift; a driver is known
// to dispatch through his rows here.
class TForm9 : public QDialog
{
    Q_OBJECT

public:
    TForm9(TDataModule2 &dm, TForm11 &shift, Messages &messages, QWidget *parent = nullptr);

    void Button1Click(); // "Добавить"
    void Button2Click(); // "Изменить", and a double click on a row
    void Button3Click(); // "Удалить"

    DBGrid *DBGrid1 = nullptr;
    QPushButton *Button1 = nullptr; // "Добавить"
    QPushButton *Button2 = nullptr; // "Изменить"
    QPushButton *Button3 = nullptr; // "Удалить"
    QPushButton *Button4 = nullptr; // "Ок"

private:
    void buildForm();

    TDataModule2 &m_dm;
    TForm11 &m_shift;
    Messages &m_messages;
};
