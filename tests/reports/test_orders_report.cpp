#include "data/data_error.h"
#include "data/data_module.h"
#include "data/orders_report.h"
#include "data/value_text.h"
#include "reports/orders_report_model.h"
#include "reports/report_layout.h"
#include "reports/report_renderer.h"
#include "tests/ui/ui_test_case.h"

#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const QDate Day(2026, 12, 7);

// A row as it is printed: callsign, the three names, count, rate, amount.
QString printed(const OrdersReportRow &row)
{
    return QStringList{row.number,
                       row.familiya,
                       row.name,
                       row.otchestvo,
                       QString::number(row.orders),
                       QString::number(row.rate),
                       QString::number(row.amount)}
        .join(' ');
}

QStringList printed(const OrdersReport &report)
{
    QStringList rows;
    for (const OrdersReportRow &row : report.rows)
        rows << printed(row);
    return rows;
}

// The output of a poppler tool, which the machine's set-up installs.
QString run(const QString &tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return QStringLiteral("%1 is missing: run scripts/setup-machine").arg(tool);
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// The orders report: its rows and figures from the journal, its pages, and the PDF it prints.
class TestOrdersReport : public UiTestCase
{
    Q_OBJECT

    qint64 driver(int callsign, const QString &surname, const QVariant &name = "Иван",
                  const QVariant &patronymic = "Петрович")
    {
        return insert(
            "taxisti",
            {{"Number", callsign}, {"Familiya", surname}, {"Name", name}, {"Otchestvo", patronymic}});
    }

    qint64 order(const QVariant &driverId, const QDate &date, bool current)
    {
        return insert("gurnal",
                      {{"IdVozy", driverId}, {"DDate", date.toString(Qt::ISODate)}, {"Status", current}});
    }

    // What walking the drivers with the report's detail dataset gives: each driver with orders on the
    // date, in the drivers' table's order.
    QStringList walkedRows(const QDate &date, int rate)
    {
        std::unique_ptr<Dataset> detail(makeReportDetail(dm(), nullptr));
        detail->setFilter("DDate='" + date.toString("d.M.yyyy") + "'");
        detail->setFiltered(true);
        Dataset &drivers = *dm().Table1;
        QStringList rows;
        for (int i = 0; i < drivers.recordCount(); ++i) {
            drivers.moveTo(i);
            const int orders = detail->recordCount();
            if (orders == 0)
                continue;
            rows << QStringList{drivers.text("Number"),
                                drivers.text("Familiya"),
                                drivers.text("Name"),
                                drivers.text("Otchestvo"),
                                QString::number(orders),
                                QString::number(rate),
                                QString::number(qint64(orders) * rate)}
                        .join(' ');
        }
        return rows;
    }

    QString printToPdf(const OrdersReport &report)
    {
        const QString file = m_store->dir() + "/report.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        ReportRenderer::setUpPage(printer);
        ReportRenderer(report).paint(printer);
        return file;
    }

    // The text of each page of a PDF, as pdftotext lays it out.
    static QStringList pagesOf(const QString &pdf)
    {
        QStringList pages = run("pdftotext", {"-layout", pdf, "-"}).split('\f');
        pages.removeLast(); // after the last page's form feed
        return pages;
    }

private Q_SLOTS:
    // Current and done orders count; an order without a driver, one of a deleted driver and one of
    // another day do not; a cancelled order is gone. Drivers come in the table's order, whatever the
    // order of their orders.
    void countsEachDriversOrdersOfTheDate()
    {
        const qint64 ivanov = driver(101, "Иванов");
        const qint64 petrov = driver(102, "Петров", QVariant(), "Олегович");
        const qint64 sidorov = driver(103, "Сидоров");
        const qint64 gone = driver(104, "Уволенный");
        order(petrov, Day, true);
        order(ivanov, Day, false);
        order(ivanov, Day, true);
        order(QVariant(), Day, true);
        order(gone, Day, false);
        order(petrov, Day.addDays(1), true);
        const qint64 cancelled = order(sidorov, Day, true);
        m_store->db().execute(QStringLiteral("DELETE FROM gurnal WHERE Id = %1").arg(cancelled));
        m_store->db().execute(QStringLiteral("DELETE FROM taxisti WHERE Id = %1").arg(gone));
        m_store->db().notifyWritten("taxisti");

        const OrdersReport report = buildOrdersReport(dm(), Day, " 7.12.26", 16);
        QCOMPARE(report.dateLabel, QString(" 7.12.26"));
        QVERIFY(report.hasPages);
        QCOMPARE(printed(report),
                 QStringList({"101 Иванов Иван Петрович 2 16 32", "102 Петров  Олегович 1 16 16"}));
    }

    // One grouped query gives what the driver-by-driver walk gives, on journals drawn at random.
    void matchesTheWalkThroughTheDrivers_data()
    {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {1u, 7u, 42u, 2026u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void matchesTheWalkThroughTheDrivers()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const QDate days[] = {Day.addDays(-1), Day, Day.addDays(1)};
        QList<qint64> drivers;
        for (int i = 0; i < 9; ++i)
            drivers << driver(200 + int(random.bounded(50)), QStringLiteral("Таксист%1").arg(i));
        for (int i = 0; i < 120; ++i) {
            const int pick = int(random.bounded(drivers.size() + 2));
            const QVariant driverId = pick < drivers.size()    ? QVariant(drivers.at(pick))
                                      : pick == drivers.size() ? QVariant()
                                                               : QVariant(999); // no such driver
            order(driverId, days[random.bounded(3)], random.bounded(2) == 1);
        }
        m_store->db().execute(QStringLiteral("DELETE FROM taxisti WHERE Id = %1").arg(drivers.at(4)));
        m_store->db().notifyWritten("taxisti");

        for (const QDate &day : days)
            QCOMPARE(printed(buildOrdersReport(dm(), day, QString(), 23)), walkedRows(day, 23));
    }

    void theRateIsAWholeNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rate"); // -1: refused
        QTest::newRow("the default") << "16" << 16;
        QTest::newRow("blanks around") << " 20 " << 20;
        QTest::newRow("negative") << "-5" << -5;
        QTest::newRow("decimal comma") << "16,5" << -1;
        QTest::newRow("decimal point") << "16.5" << -1;
        QTest::newRow("with a word") << "16 руб" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("too large") << "99999999999" << -1;
    }
    void theRateIsAWholeNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, rate);
        QCOMPARE(wholeRate(text).value_or(-1), rate);
    }

    // A hundred drivers: three A4 pages in Arial's place, each with the column header and the
    // footer, the title on the first only, every driver's row once.
    void printsThePagesToPdf()
    {
        for (int i = 1; i <= 100; ++i) {
            const qint64 id = driver(1000 + i, QStringLiteral("Фамилия%1").arg(i), "Имя", "Отчество");
            for (int n = 0; n < i % 3 + 1; ++n)
                order(id, Day, n % 2 == 0);
        }
        const QString pdf = printToPdf(buildOrdersReport(dm(), Day, " 7.12.26", 16));

        QVERIFY(
            run("pdfinfo", {pdf})
                .contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)")));
        QVERIFY(run("pdffonts", {pdf}).contains(QRegularExpression("LiberationSans|Arial")));
        const QStringList pages = pagesOf(pdf);
        QCOMPARE(pages.size(), 3);
        const QRegularExpression title("Отчёт по принятым заказам\\s+Дата:\\s+7\\.12\\.26");
        const QRegularExpression header(
            "Номер\\s+Фамилия\\s+Имя\\s+Отчество\\s+Коллич\\.\\s+Ставка\\s+Сумма");
        const QRegularExpression footer("Диспетчер:[\\s_]*\\(подпись\\)");
        const QRegularExpression row(
            "^\\s*(\\d+)\\s+Фамилия(\\d+)\\s+Имя\\s+Отчество\\s+(\\d+)\\s+16\\s+(\\d+)\\s*$",
            QRegularExpression::MultilineOption);
        QList<int> rowsPerPage;
        int expected = 1;
        for (int p = 0; p < pages.size(); ++p) {
            const QString &text = pages.at(p);
            QCOMPARE(text.contains(title), p == 0);
            QVERIFY2(text.contains(header), qPrintable(QString::number(p)));
            QVERIFY2(text.contains(footer), qPrintable(QString::number(p)));
            int rows = 0;
            for (auto m = row.globalMatch(text); m.hasNext(); ++rows, ++expected) {
                const auto match = m.next();
                const int orders = expected % 3 + 1;
                QCOMPARE(match.captured(1).toInt(), 1000 + expected);
                QCOMPARE(match.captured(2).toInt(), expected);
                QCOMPARE(match.captured(3).toInt(), orders);
                QCOMPARE(match.captured(4).toInt(), orders * 16);
            }
            rowsPerPage << rows;
        }
        QCOMPARE(rowsPerPage, QList<int>({31, 35, 34}));
    }

    // A date without orders: title, header and footer; no drivers at all: not a page.
    void printsTheBandsOfAnEmptyDateAndNothingWithoutDrivers()
    {
        TForm15 layout(dm(), m_messages);
        layout.setDateLabel(" 1. 1.26");
        layout.build(Day, 16);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_store->dir() + "/none.pdf");
        layout.print(printer);
        QVERIFY(!QFile::exists(printer.outputFileName()));

        driver(101, "Иванов");
        order(1, Day.addDays(1), true);
        layout.build(Day, 16);
        printer.setOutputFileName(m_store->dir() + "/empty.pdf");
        layout.print(printer);
        const QStringList pages = pagesOf(printer.outputFileName());
        QCOMPARE(pages.size(), 1);
        QVERIFY(
            pages.first().contains(QRegularExpression("Отчёт по принятым заказам\\s+Дата:\\s+1\\. 1\\.26")));
        QVERIFY(pages.first().contains(QRegularExpression("Номер.*Сумма")));
        QVERIFY(pages.first().contains("Диспетчер:"));
        QVERIFY(!pages.first().contains("Иванов"));
    }

    void aPrinterThatCannotOpenIsAnError()
    {
        driver(101, "Иванов");
        TForm15 layout(dm(), m_messages);
        layout.build(Day, 16);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_store->dir() + "/no such folder/report.pdf");
        QVERIFY_THROWS_EXCEPTION(DataError, layout.print(printer));
    }
};

QTEST_MAIN(TestOrdersReport)
#include "test_orders_report.moc"
