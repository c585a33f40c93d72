#include "data/clock.h"
#include "dispatch/tariff_window.h"
#include "registers/calendar_window.h"
#include "reports/report_date_window.h"
#include "reports/report_layout.h"
#include "tests/ui/ui_test_case.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>

namespace {

// The windows that the report's date window works with, as the menu item finds them.
struct ReportByDate
{
    ReportByDate(TDataModule2 &dm, Messages &messages)
        : tariff(messages)
        , layout(dm, messages)
        , window(layout, calendar, tariff, messages)
    {
        window.show();
    }

    // Presses "Сформировать" and closes the preview it opens; the preview's page count, -1 when no
    // preview opened within the bound.
    int makeReport(int boundMs = 5000)
    {
        int pages = -1;
        whenModalAppears(
            [&pages](QWidget *modal) {
                const auto *preview = modal->findChild<QPrintPreviewWidget *>();
                pages = preview != nullptr ? preview->pageCount() : -2;
                modal->close();
            },
            boundMs);
        QTest::mouseClick(window.Button2, Qt::LeftButton);
        return pages;
    }

    QStringList rows() const
    {
        QStringList printed;
        for (const OrdersReportRow &row : layout.report().rows)
            printed << QStringLiteral("%1 %2 %3 %4 %5")
                           .arg(row.number, row.familiya)
                           .arg(row.orders)
                           .arg(row.rate)
                           .arg(row.amount);
        return printed;
    }

    TForm10 calendar;
    TForm23 tariff;
    TForm15 layout;
    TForm20 window;
};

} // namespace

// The date window of the orders report: yesterday proposed, the calendar's date in the box's fixed
// form, and the report of the date shown, at the rate of the moment.
class TestReportDateWindow : public UiTestCase
{
    Q_OBJECT

    // Two drivers with orders of 7 December 2026; the second driver's come first in the journal.
    void fill() override
    {
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
        const qint64 ivanov = insert("taxisti", {{"Number", 101}, {"Familiya", "Иванов"}});
        const qint64 petrov = insert("taxisti", {{"Number", 102}, {"Familiya", "Петров"}});
        for (const auto &[driver, date, current] :
             {std::tuple{petrov, "2026-12-07", true}, std::tuple{ivanov, "2026-12-07", false},
              std::tuple{petrov, "2026-12-07", false}, std::tuple{ivanov, "2026-12-08", true}})
            insert("gurnal", {{"IdVozy", driver}, {"DDate", date}, {"Status", current}});
    }

private Q_SLOTS:
    void cleanupTestCase() { Clock::clearFixed(); }

    void proposesYesterday_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a one-digit day") << QDateTime(QDate(2026, 12, 8), QTime(0, 5)) << " 7.12.26";
        QTest::newRow("the old year") << QDateTime(QDate(2027, 1, 1), QTime(12, 0)) << "31.12.26";
        QTest::newRow("a leap day") << QDateTime(QDate(2024, 3, 1), QTime(23, 59)) << "29. 2.24";
        QTest::newRow("a year ending in 00") << QDateTime(QDate(2100, 1, 10), QTime(8, 0)) << " 9. 1.00";
    }
    void proposesYesterday()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, shown);
        Clock::setFixed(now);
        ReportByDate report(dm(), m_messages);
        QCOMPARE(report.window.MaskEdit1->text(), shown);
        QVERIFY(report.window.MaskEdit1->isReadOnly());
    }

    // "+" writes the date confirmed in the calendar; a calendar closed otherwise leaves the box.
    void theCalendarPicksTheDate_data()
    {
        QTest::addColumn<QDate>("picked");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("7 December 2026") << QDate(2026, 12, 7) << true << " 7.12.26";
        QTest::newRow("9 March 2005") << QDate(2005, 3, 9) << true << " 9. 3.05";
        QTest::newRow("closed without OK") << QDate(2005, 3, 9) << false << " 7.12.26";
    }
    void theCalendarPicksTheDate()
    {
        QFETCH(QDate, picked);
        QFETCH(bool, confirmed);
        QFETCH(QString, shown);
        ReportByDate report(dm(), m_messages);
        whenModalAppears([&](QWidget *modal) {
            QCOMPARE(modal, &report.calendar);
            report.calendar.MonthCalendar1->setSelectedDate(picked);
            confirmed ? report.calendar.BitBtn1->click() : void(report.calendar.close());
        });
        QTest::mouseClick(report.window.Button1, Qt::LeftButton);
        QCOMPARE(report.window.MaskEdit1->text(), shown);
    }

    // The box's fixed form selects the orders of the date it shows, whatever the locale; current and
    // done orders count, and the drivers come in the drivers' table's order.
    void reportsTheDateShownInEveryLocale_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char *locale : {"C", "en_US", "en_GB", "ru_RU"})
            QTest::newRow(locale) << locale;
    }
    void reportsTheDateShownInEveryLocale()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        ReportByDate report(dm(), m_messages);
        const int pages = report.makeReport();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QCOMPARE(pages, 1);
        QCOMPARE(report.layout.report().dateLabel, QString(" 7.12.26"));
        QCOMPARE(report.rows(), QStringList({"101 Иванов 1 16 16", "102 Петров 2 16 32"}));
        QVERIFY(!report.window.isVisible());
        QVERIFY(m_messages.shown.isEmpty());
    }

    // The rate is read from the tariff window when the report is made; the report keeps none.
    void aChangedRateChangesTheNextReport()
    {
        ReportByDate report(dm(), m_messages);
        report.makeReport();
        QCOMPARE(report.rows(), QStringList({"101 Иванов 1 16 16", "102 Петров 2 16 32"}));

        report.tariff.Edit4->setText("25");
        TForm20 again(report.layout, report.calendar, report.tariff, m_messages);
        again.show();
        whenModalAppears([](QWidget *preview) { preview->close(); });
        QTest::mouseClick(again.Button2, Qt::LeftButton);
        QCOMPARE(report.rows(), QStringList({"101 Иванов 1 25 25", "102 Петров 2 25 50"}));
    }

    // A rate that is not a whole number: a clear message, no report, and the window stays.
    void aRateThatIsNotAWholeNumber_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::newRow("decimal") << "16,5";
        QTest::newRow("a word") << "шестнадцать";
        QTest::newRow("empty") << "";
    }
    void aRateThatIsNotAWholeNumber()
    {
        QFETCH(QString, rate);
        ReportByDate report(dm(), m_messages);
        report.tariff.Edit4->setText(rate);
        QCOMPARE(report.makeReport(300), -1);
        QTest::qWait(400); // the bound of the watch for a preview runs out
        QCOMPARE(m_messages.texts(),
                 QStringList{"Ставка для таксистов «" + rate +
                             "» — не целое число рублей.\nОтчёт не сформирован: исправьте ставку в окне "
                             "«Настройка тарифа»."});
        QVERIFY(report.layout.report().rows.isEmpty());
        QVERIFY(report.window.isVisible());
    }
};

QTEST_MAIN(TestReportDateWindow)
#include "test_report_date_window.moc"
