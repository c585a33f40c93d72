#pragma once

#include <QDialog>

class DBEdit;
class DBLookupComboBox;
class Messages;
class QGroupBox;
class QLabel;
class QPushButton;
class TDataModule2;
class TForm10;

// Dispatcher data: every box of one staff record, his passport, registered address and telephone.
class TForm8 : public QDialog
{
    Q_OBJECT

public:
    TForm8(TDataModule2 &dm, TForm10 &calendar, Messages &messages, QWidget *parent = nullptr);

    void Button1Click(); // "+" beside "Дата выдачи:"
    void Button2Click(); // "+" beside "День рождения:"
    void Button3Click(); // "Ок"

    QLabel *Label1 = nullptr;  // "Номер:", in blue
    DBEdit *DBEdit1 = nullptr; // Number
    DBEdit *DBEdit2 = nullptr; // Family
    DBEdit *DBEdit3 = nullptr; // Name
    DBEdit *DBEdit4 = nullptr; // Otchestvo

    QGroupBox *GroupBox1 = nullptr; // " Паспортные данные "
    DBEdit *DBEdit5 = nullptr;      // NumberPasport
    DBEdit *DBEdit6 = nullptr;      // SeriyaPasport
    DBEdit *DBEdit7 = nullptr;      // DataVidachi
    QPushButton *Button1 = nullptr;
    DBEdit *DBEdit8 = nullptr; // KemVidan

    QGroupBox *GroupBox2 = nullptr;                // " Прописка "
    DBLookupComboBox *DBLookupComboBox1 = nullptr; // gorod
    DBLookupComboBox *DBLookupComboBox2 = nullptr; // ulica
    DBEdit *DBEdit9 = nullptr;                     // Dom
    DBEdit *DBEdit10 = nullptr;                    // Kvartira
    DBEdit *DBEdit11 = nullptr;                    // Denyrogedniya
    QPushButton *Button2 = nullptr;

    DBEdit *DBEdit12 = nullptr;     // Telephone
    QPushButton *Button3 = nullptr; // "Ок"

private:
    void buildForm();
    void buildPassport();
    void buildAddress();

    TDataModule2 &m_dm;
    TForm10 &m_calendar;
    Messages &m_messages;
};
