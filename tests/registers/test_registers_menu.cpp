#include "app/access_modes.h"
#include "app/access_window.h"
#include "app/help_keys.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/data_module.h"
#include "registers/staff_data_window.h"
#include "registers/staff_list_window.h"
#include "tests/app/shell_tests.h"
#include "ui/db_controls.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <memory>
#include <optional>

// The registers as the main window's menu opens them in the running program.
class TestRegistersMenu : public QObject
{
    Q_OBJECT

    std::optional<Shell> m_shell;
    std::unique_ptr<Workstation> m_workstation;

    Workstation &start()
    {
        m_workstation.reset(); // one program at a time, as on the machine
        m_workstation = std::make_unique<Workstation>(m_shell->db.dir(), m_shell->messages, m_shell->quit());
        return *m_workstation;
    }

    void logIn(const QString &user)
    {
        TForm0 &login = m_workstation->login();
        login.ComboBox1->setCurrentIndex(login.ComboBox1->findText(user));
        QTest::mouseClick(login.Button1, Qt::LeftButton);
    }

    QStringList loginList() const
    {
        QStringList users;
        for (int i = 0; i < m_workstation->login().ComboBox1->count(); ++i)
            users << m_workstation->login().ComboBox1->itemText(i);
        return users;
    }

private Q_SLOTS:
    void initTestCase()
    {
        useRussianLocale();
        setUpApplication(*qApp);
    }

    void init()
    {
        m_shell.emplace();
        m_shell->entry(m_shell->employee("Администратор"), "", true);
        const qint64 district = m_shell->db.insert("raion", {{"Raion", "Центр"}});
        m_shell->db.insert("ulica", {{"IdRion", district}, {"Ulica", "Ленина"}});
        m_shell->db.insert("ulica", {{"IdRion", district + 1}, {"Ulica", "Мира"}});
    }

    void cleanup()
    {
        m_workstation.reset();
        m_shell.reset();
    }

    // The drivers' and the staff's address drop-downs offer every street while their list is open;
    // afterwards order entry's street filter is on again with its text.
    void menuItemsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("streetsFiltered");
        QTest::addColumn<int>("helpTopic");
        QTest::newRow("Список такси") << "N5"
                                      << "TForm3" << false << 1003;
        QTest::newRow("Диспетчер") << "N7"
                                   << "TForm7" << false << 1003;
        QTest::newRow("График работы") << "N8"
                                       << "TForm9" << true << 1006;
        QTest::newRow("Календарь") << "N9"
                                   << "TForm10" << true << 1006;
    }

    void menuItemsOpenTheirWindows()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(bool, streetsFiltered);
        QFETCH(int, helpTopic);
        Workstation &ws = start();
        logIn("Администратор");
        Dataset &streets = *ws.dataModule()->Table5;
        streets.setFilter("IdRion=2");
        streets.setFiltered(true);

        QString opened;
        bool filteredInside = true;
        int topic = 0;
        whenModalAppears([&](QWidget *modal) {
            opened = modal->objectName();
            filteredInside = streets.isFiltered();
            topic = helpTopicOf(modal);
            modal->close();
        });
        ws.mainWindow().findChild<QAction *>(item)->trigger();
        QCOMPARE(opened, window);
        QCOMPARE(filteredInside, streetsFiltered);
        QCOMPARE(topic, helpTopic);
        QVERIFY(streets.isFiltered());
        QCOMPARE(streets.filter(), QString("IdRion=2"));
        QCOMPARE(streets.recordCount(), 1);
    }

    // An employee added in the register logs in only once the access-levels window gives him an
    // entry, and is offered for it from the next start.
    void aNewEmployeeLogsInFromTheNextStartAfterHisEntry()
    {
        Workstation &ws = start();
        logIn("Администратор");
        whenModalAppears([](QWidget *list) {
            auto *staffData = list->parentWidget()->findChild<TForm8 *>();
            whenModalAppears([staffData](QWidget *) {
                typeText(staffData->DBEdit2, "Сидорова");
                staffData->Button3->click();
            });
            static_cast<TForm7 *>(list)->Button2->click();
            list->close();
        });
        ws.mainWindow().N7->trigger();
        QCOMPARE(m_shell->db.count("sotrud", "Family = 'Сидорова'"), 1);
        QCOMPARE(m_shell->db.count("pwl") + m_shell->db.count("grafic"), 1); // no entry, no shift
        QCOMPARE(loginList(), QStringList{"Администратор"});

        TDataModule2 &dm = *ws.dataModule();
        const QVariant sidorova = dm.sotrud->value("Id");
        whenModalAppears([&dm, sidorova](QWidget *access) {
            static_cast<TForm18 *>(access)->Button3->click();
            dm.pwl->setValue("IdOperator", sidorova); // as choosing her in the grid's cell does
            dm.pwl->post();
            access->close();
        });
        ws.mainWindow().N17->trigger();
        QCOMPARE(loginList(), QStringList{"Администратор"});

        start();
        QCOMPARE(loginList(), QStringList({"Администратор", "Сидорова"}));
        logIn("Сидорова");
        QVERIFY(m_workstation->mainWindow().isVisible());
    }
};

QTEST_MAIN(TestRegistersMenu)

#include "test_registers_menu.moc"
