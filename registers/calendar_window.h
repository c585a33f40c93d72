#pragma once

#include <QDialog>

#include <optional>

class QCalendarWidget;
class QComboBox;
class QGroupBox;
class QPushButton;
class QSpinBox;

// Calendar: a month list, a year box and a month calendar; keeps the day, month and year last
// confirmed with "   OK" for the date buttons of the other windows.
class TForm10 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm10(QWidget *parent = nullptr);

    // The date last confirmed with "   OK"; 0, 0 and 0 before the first confirmation.
    int day() const { return m_day; }
    int month() const { return m_month; }
    int year() const { return m_year; }
    // The kept date as day.month.year, each number without leading zeros: 9.1.2001.
    QString dateText() const;

    // Shows the calendar modally and gives the text of the date confirmed there; nothing when the
    // window was closed without "   OK", so that a date box keeps what it holds.
    std::optional<QString> chooseDate();

    QGroupBox *GroupBox1 = nullptr; // " Дата "
    QComboBox *ComboBox1 = nullptr; // the months
    QSpinBox *SpinEdit1 = nullptr;  // the year
    QCalendarWidget *MonthCalendar1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // "   OK"

private:
    void buildForm();
    void FormCreate();
    void ComboBox1Change();
    void SpinEdit1Change();
    void followPage(int year, int month);
    void BitBtn1Click();
    void showOn(int year, int month);

    int m_day = 0;
    int m_month = 0;
    int m_year = 0;
    bool m_following = false; // the list and the box are being put on the calendar's page
};
