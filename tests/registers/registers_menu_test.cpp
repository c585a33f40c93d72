#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/data_module.h"
#include "help/help_window.h"
#include "tests/app/shell_tests.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>

// The settings menu opens the city structure, car models and colours windows; the order entry's
// street list is one district's again once each has closed.
class TestRegistersMenu : public QObject
{
    Q_OBJECT

    std::optional<Shell> m_shell;
    std::unique_ptr<Workstation> m_workstation;

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
        for (const char *district : {"Центр", "Порт"})
            m_shell->db.insert("raion", {{"Raion", district}});
        for (const char *street : {"Ленина", "Мира", "Речная"})
            m_shell->db.insert("ulica", {{"IdRion", QString(street) == "Ленина" ? 1 : 2}, {"Ulica", street}});
        m_workstation = std::make_unique<Workstation>(m_shell->db.dir(), m_shell->messages, m_shell->quit());
        TForm0 &login = m_workstation->login();
        login.ComboBox1->setCurrentIndex(0);
        QTest::mouseClick(login.Button1, Qt::LeftButton);
    }

    void cleanup()
    {
        m_workstation.reset();
        m_shell.reset();
    }

    void theMenuOpensTheRegisters_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("filteredWhileOpen");
        QTest::newRow("Схема города") << "N6"
                                      << "TForm5" << false;
        QTest::newRow("Список автомобилей") << "N15"
                                            << "TForm16" << true;
        QTest::newRow("Таблица цветов") << "N13"
                                        << "TForm17" << true;
    }

    void theMenuOpensTheRegisters()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(bool, filteredWhileOpen);
        Dataset &streets = *m_workstation->dataModule()->Table5;
        streets.setFilter("IdRion=2");
        streets.setFiltered(true);
        auto *action = m_workstation->mainWindow().findChild<QAction *>(item);
        QVERIFY(action->isEnabled() && action->isVisible());

        QString opened;
        bool filtered = !filteredWhileOpen;
        int topic = 0;
        whenModalAppears([&](QWidget *modal) {
            opened = modal->objectName();
            filtered = streets.isFiltered();
            QTest::keyClick(modal, Qt::Key_F1);
            topic = m_workstation->help().currentTopic();
            modal->close();
        });
        action->trigger();
        QCOMPARE(opened, window);
        QCOMPARE(filtered, filteredWhileOpen);
        QCOMPARE(topic, int(HelpWindow::RegistersTopic));
        QVERIFY(streets.isFiltered());
        QCOMPARE(streets.filter(), QStringLiteral("IdRion=2"));
        QCOMPARE(streets.recordCount(), 2);
        QCOMPARE(m_shell->messages.shown.size(), 0);
        QVERIFY(!m_workstation->mainWindow().findChild<QDialog *>("TForm5")); // gone with its showing
    }
};

QTEST_MAIN(TestRegistersMenu)
#include "registers_menu_test.moc"
