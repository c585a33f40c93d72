#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/clock.h"
#include "data/data_module.h"
#include "reports/journal_window.h"
#include "reports/report_date_window.h"
#include "tests/app/shell_tests.h"
#include "ui/db_grid.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>

#include <memory>
#include <optional>

// The journal and the report as the main window's menu opens them in the running program.
class TestReportsMenu : public QObject
{
    Q_OBJECT

    std::optional<Shell> m_shell;
    std::unique_ptr<Workstation> m_workstation;

    Workstation &logIn(const QString &user)
    {
        m_workstation = std::make_unique<Workstation>(m_shell->db.dir(), m_shell->messages, m_shell->quit());
        TForm0 &login = m_workstation->login();
        login.ComboBox1->setCurrentIndex(login.ComboBox1->findText(user));
        QTest::mouseClick(login.Button1, Qt::LeftButton);
        return *m_workstation;
    }

private Q_SLOTS:
    void initTestCase()
    {
        useRussianLocale();
        setUpApplication(*qApp);
    }

    // Two districts with a street each, a dispatcher, a driver, and an order from each street; the
    // second order is done.
    void init()
    {
        m_shell.emplace();
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
        m_shell->entry(m_shell->employee("Администратор"), "", true);
        m_shell->entry(m_shell->employee("Иванова"), "");
        TestDatabase &db = m_shell->db;
        for (const int district : {1, 2}) {
            db.insert("raion", {{"Raion", QStringLiteral("Район %1").arg(district)}});
            db.insert("ulica", {{"IdRion", district}, {"Ulica", QStringLiteral("Улица %1").arg(district)}});
        }
        db.insert("taxisti", {{"Number", 101}, {"Familiya", "Иванов"}});
        for (const int street : {1, 2})
            db.insert("gurnal", {{"IdVozy", 1},
                                 {"IdOtkudaRaion", street},
                                 {"IdOtkudaUlica", street},
                                 {"DDate", "2026-12-07"},
                                 {"Status", street == 1}});
    }

    void cleanup()
    {
        m_workstation.reset();
        m_shell.reset();
        Clock::clearFixed();
    }

    // Every order's street shows while the journal is open, whatever district order entry chose;
    // afterwards the street filter and the current-orders filter are on again. "Удалить" is an
    // administrator's.
    void theJournalListsEveryOrderWithItsStreet_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("mayDelete");
        QTest::newRow("administrator") << "Администратор" << true;
        QTest::newRow("dispatcher") << "Иванова" << false;
    }
    void theJournalListsEveryOrderWithItsStreet()
    {
        QFETCH(QString, user);
        QFETCH(bool, mayDelete);
        Workstation &ws = logIn(user);
        QVERIFY(ws.mainWindow().N11->isEnabled());
        Dataset &streets = *ws.dataModule()->Table5;
        streets.setFilter("IdRion=2");
        streets.setFiltered(true);
        TForm14 &journal = *ws.journalWindow();

        QStringList shownStreets;
        bool deleteEnabled = !mayDelete;
        whenModalAppears([&](QWidget *modal) {
            QCOMPARE(modal, &journal);
            const GridModel &grid = *journal.DBGrid1->gridModel();
            for (int row = 0; row < grid.rowCount(); ++row)
                shownStreets << grid.index(row, 6).data().toString();
            deleteEnabled = journal.Button1->isEnabled();
            QTest::mouseClick(journal.Button2, Qt::LeftButton);
        });
        ws.mainWindow().N11->trigger();
        QCOMPARE(shownStreets, QStringList({"Улица 1", "Улица 2"}));
        QCOMPARE(deleteEnabled, mayDelete);
        QVERIFY(streets.isFiltered());
        QCOMPARE(streets.filter(), QString("IdRion=2"));
        QVERIFY(journal.Table1->isFiltered());
        QCOMPARE(journal.Table1->recordCount(), 1);
    }

    // Each opening proposes the day before the clock's; "Сформировать" shows the report in Qt's
    // Russian print preview, and the date window closes with it.
    void theReportOpensInThePreview()
    {
        Workstation &ws = logIn("Иванова");
        QVERIFY(ws.mainWindow().N1111->isEnabled());
        QString proposed, caption;
        int pages = 0;
        whenModalAppears([&](QWidget *modal) {
            auto *dateWindow = qobject_cast<TForm20 *>(modal);
            QVERIFY(dateWindow != nullptr);
            proposed = dateWindow->MaskEdit1->text();
            whenModalAppears([&](QWidget *preview) {
                caption = preview->windowTitle();
                pages = preview->findChild<QPrintPreviewWidget *>()->pageCount();
                preview->close();
            });
            QTest::mouseClick(dateWindow->Button2, Qt::LeftButton);
        });
        ws.mainWindow().N1111->trigger();
        QCOMPARE(proposed, QString(" 7.12.26"));
        QCOMPARE(caption, QString("Просмотр печати: Отчёт по принятым заказам"));
        QCOMPARE(pages, 1);
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        Clock::setFixed(QDateTime(QDate(2027, 1, 1), QTime(0, 1)));
        whenModalAppears([&](QWidget *modal) {
            proposed = modal->findChild<QLineEdit *>("MaskEdit1")->text();
            modal->close();
        });
        ws.mainWindow().N1111->trigger();
        QCOMPARE(proposed, QString("31.12.26"));
    }
};

QTEST_MAIN(TestReportsMenu)
#include "test_reports_menu.moc"
