#pragma once

#include <QDialog>

class DBGrid;
class Messages;
class QPushButton;
class TDataModule2;
class TForm8;

// Staff list: every dispatcher; passwords and rights are given in the access-levels window.
class TForm7 : public QDialog
{
    Q_OBJECT

public:
    TForm7(TDataModule2 &dm, TForm8 &staffData, Messages &messages, QWidget *parent = nullptr);

    void Button2Click(); // "Добавить"
    void Button4Click(); // "Изменить", and a double click on the list
    void Button3Click(); // "Удалить"

    DBGrid *DBGrid1 = nullptr;
    QPushButton *Button2 = nullptr; // "Добавить"
    QPushButton *Button4 = nullptr; // "Изменить"
    QPushButton *Button3 = nullptr; // "Удалить"
    QPushButton *Button1 = nullptr; // "Ок"

private:
    void buildForm();

    TDataModule2 &m_dm;
    TForm8 &m_staffData;
    Messages &m_messages;
};
