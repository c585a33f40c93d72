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

// Driver data: every box of one driver record, his car, passport and registered address.
class TForm4 : public QDialog
{
    Q_OBJECT

public:
    // The car models and colours windows are shown by the "+" buttons; either may be missing, and
    // then its button does nothing.
    TForm4(TDataModule2 &dm, TForm10 &calendar, QDialog *carModels, QDialog *colours, Messages &messages,
           QWidget *parent = nullptr);

    void Button1Click(); // "+" beside "Тип:"
    void Button2Click(); // "+" beside "Цвет:"
    void Button3Click(); // "+" beside "День рождения:"
    void Button5Click(); // "+" beside "Дата выдачи:"
    void Button4Click(); // "Ок"

    QLabel *Label1 = nullptr;  // "Номер:", in blue
    DBEdit *DBEdit1 = nullptr; // Number
    DBEdit *DBEdit2 = nullptr; // Familiya
    DBEdit *DBEdit3 = nullptr; // Name
    DBEdit *DBEdit4 = nullptr; // Otchestvo

    QGroupBox *GroupBox1 = nullptr;                // " Автомашина "
    DBLookupComboBox *DBLookupComboBox1 = nullptr; // Auto
    QPushButton *Button1 = nullptr;
    DBLookupComboBox *DBLookupComboBox2 = nullptr; // color
    QPushButton *Button2 = nullptr;
    DBEdit *DBEdit5 = nullptr; // NumberAuto

    QGroupBox *GroupBox2 = nullptr; // " Паспортные данные "
    DBEdit *DBEdit6 = nullptr;      // NumberPasport
    DBEdit *DBEdit7 = nullptr;      // SeriyaPasport
    DBEdit *DBEdit8 = nullptr;      // DenyRogdeniya
    QPushButton *Button3 = nullptr;
    DBEdit *DBEdit9 = nullptr;  // KemVidan
    DBEdit *DBEdit10 = nullptr; // DataVidachi
    QPushButton *Button5 = nullptr;

    QGroupBox *GroupBox3 = nullptr;                // " Прописка "
    DBLookupComboBox *DBLookupComboBox3 = nullptr; // Gorod
    DBLookupComboBox *DBLookupComboBox4 = nullptr; // Ulica
    DBEdit *DBEdit11 = nullptr;                    // Dom
    DBEdit *DBEdit12 = nullptr;                    // Kvartira
    DBEdit *DBEdit13 = nullptr;                    // Telephone

    QPushButton *Button4 = nullptr; // "Ок"

private:
    void buildForm();
    void buildCar();
    void buildPassport();
    void buildAddress();
    void setKeyboardOrder();

    TDataModule2 &m_dm;
    TForm10 &m_calendar;
    QDialog *m_carModels;
    QDialog *m_colours;
    Messages &m_messages;
};
