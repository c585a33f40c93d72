#include "data/clock.h"
#include "registers/calendar_window.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

// The calendar opens on today, is steered by its month list and year box, and keeps only what "   OK"
// confirmed.
class TestCalendar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 3, 31), QTime(12, 0))); }
    void cleanup() { Clock::clearFixed(); }

    void opensOnTodayWithNothingKept()
    {
        TForm10 calendar;
        QCOMPARE(calendar.MonthCalendar1->selectedDate(), QDate(2026, 3, 31));
        QCOMPARE(calendar.ComboBox1->currentText(), QString("Март"));
        QCOMPARE(calendar.SpinEdit1->value(), 2026);
        QCOMPARE(calendar.MonthCalendar1->firstDayOfWeek(), Qt::Sunday);
        QCOMPARE(QList<int>({calendar.day(), calendar.month(), calendar.year()}), QList<int>({0, 0, 0}));
        QCOMPARE(calendar.dateText(), QString("0.0.0"));
    }

    // A day that the new month or year lacks gives way to the month's last day.
    void monthListAndYearBoxSteerTheCalendar_data()
    {
        QTest::addColumn<int>("month"); // list position
        QTest::addColumn<int>("year");
        QTest::addColumn<QDate>("shown");
        QTest::newRow("April") << 3 << 2026 << QDate(2026, 4, 30);
        QTest::newRow("February of a leap year") << 1 << 2024 << QDate(2024, 2, 29);
        QTest::newRow("January of the first year") << 0 << 1800 << QDate(1800, 1, 31);
        QTest::newRow("beyond the last year") << 11 << 3001 << QDate(3000, 12, 31);
    }

    void monthListAndYearBoxSteerTheCalendar()
    {
        QFETCH(int, month);
        QFETCH(int, year);
        QFETCH(QDate, shown);
        TForm10 calendar;
        calendar.SpinEdit1->setValue(year);
        calendar.ComboBox1->setCurrentIndex(month);
        QCOMPARE(calendar.MonthCalendar1->selectedDate(), shown);
        QCOMPARE(calendar.SpinEdit1->value(), shown.year());
    }

    // The calendar's own keys turn its page; the list and the box follow it.
    void theListAndTheBoxFollowThePage()
    {
        TForm10 calendar;
        calendar.MonthCalendar1->setSelectedDate(QDate(2027, 1, 1));
        QCOMPARE(calendar.ComboBox1->currentIndex(), 0);
        QCOMPARE(calendar.SpinEdit1->value(), 2027);
        QCOMPARE(calendar.MonthCalendar1->selectedDate(), QDate(2027, 1, 1));
    }

    // "   OK" keeps the date; closing the window otherwise keeps the last confirmation and gives
    // nothing to a date button.
    void keepsOnlyWhatOkConfirmed()
    {
        TForm10 calendar;
        QTimer::singleShot(0, &calendar, [&calendar] {
            calendar.MonthCalendar1->setSelectedDate(QDate(2001, 1, 9));
            QTest::mouseClick(calendar.BitBtn1, Qt::LeftButton);
        });
        QCOMPARE(calendar.chooseDate().value_or("closed"), QString("9.1.2001"));
        QCOMPARE(QList<int>({calendar.day(), calendar.month(), calendar.year()}), QList<int>({9, 1, 2001}));

        QTimer::singleShot(0, &calendar, [&calendar] {
            calendar.MonthCalendar1->setSelectedDate(QDate(2010, 12, 25));
            calendar.close();
        });
        QCOMPARE(calendar.chooseDate().value_or("closed"), QString("closed"));
        QCOMPARE(calendar.dateText(), QString("9.1.2001"));
        QCOMPARE(calendar.MonthCalendar1->selectedDate(), QDate(2010, 12, 25)); // kept between showings
    }
};

QTEST_MAIN(TestCalendar)

#include "test_calendar.moc"
