#pragma once

#include <QDialog>

class Messages;
class QLabel;
class QLineEdit;
class QPushButton;
class TForm10;
class TForm15;
class TForm23;

// Report by date: the date whose orders the report "Отчёт по принятым заказам" counts, yesterday
// unless another is picked in the calendar.
class TForm20 : public QDialog
{
    Q_OBJECT

public:
    // `layout` builds and previews the report; the calendar picks the date; the tariff window's rate
    // is read at the moment the report is made.
    TForm20(TForm15 &layout, TForm10 &calendar, TForm23 &tariff, Messages &messages,
            QWidget *parent = nullptr);

    // The date as the box shows it: day and month right-aligned in two places, the year's last two
    // digits (" 7.12.26").
    static QString boxText(int day, int month, int year);

    void Button1Click(); // "+"
    void Button2Click(); // "Сформировать"

    QLabel *Label1 = nullptr;       // "На дату :"
    QLineEdit *MaskEdit1 = nullptr; // the date, read-only
    QPushButton *Button1 = nullptr; // "+"
    QPushButton *Button2 = nullptr; // "Сформировать"

private:
    void buildForm();
    void FormCreate();

    TForm15 &m_layout;
    TForm10 &m_calendar;
    TForm23 &m_tariff;
    Messages &m_messages;
};
