#include "app/access_window.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/data_module.h"
#include "data/database.h"
#include "dispatch/tariff_window.h"
#include "help/help_window.h"
#include "tests/app/shell_tests.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>

#include <memory>
#include <optional>

namespace {

QStringList visibleWindows()
{
    QStringList names;
    for (const QWidget *window : QApplication::topLevelWidgets())
        names << (window->isVisible() ? window->objectName() : QString());
    names.removeAll(QString());
    return names;
}

} // namespace

class ProgramEntryTest : public QObject
{
    Q_OBJECT

private:
    std::optional<Shell> m_shell;
    std::optional<QTemporaryDir> m_databaseDir;
    std::unique_ptr<Workstation> m_workstation;

    Workstation &start()
    {
        m_workstation = std::make_unique<Workstation>(m_shell->db.dir(), m_shell->messages, m_shell->quit());
        return *m_workstation;
    }

    void logIn(int user, const QString &password)
    {
        TForm0 &login = m_workstation->login();
        login.ComboBox1->setCurrentIndex(user);
        typeText(login.Edit1, password);
        QTest::mouseClick(login.Button1, Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        useRussianLocale();
        setUpApplication(*qApp);
    }

    void init()
    {
        m_shell.emplace();
        m_databaseDir.emplace();
        m_shell->setDataBaseDir(m_databaseDir->path());
        QFile ini(m_databaseDir->filePath("VOZY.INI"));
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("[Options]\nST=20\n") > 0);
        m_shell->entry(m_shell->employee("Администратор"), "", true);
        m_shell->entry(m_shell->employee("Иванова"), "1234");
    }

    void cleanup()
    {
        m_workstation.reset();
        m_databaseDir.reset();
        m_shell.reset();
    }

    void startsWithOnlyTheLoginWindow()
    {
        Workstation &ws = start();
        QVERIFY(ws.started());
        QCOMPARE(visibleWindows(), QStringList{"TForm0"});
        QCOMPARE(ws.tariffWindow()->driverRate(), QString("20")); // the login's showing loaded it
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Да"));
    }

    // No store under the working directory; on a server, a database that is not the program's.
    void withoutAStoreTheProgramDoesNotRun()
    {
        QTemporaryDir empty;
        QString foreign;
        if (TestDatabase::onServer()) {
            foreign = TestDatabase::createServerDatabase();
            m_shell->setDataBaseServer(foreign);
        }
        const auto dropForeign = qScopeGuard([&foreign] {
            if (!foreign.isEmpty())
                TestDatabase::dropServerDatabase(foreign);
        });
        Workstation ws(empty.path(), m_shell->messages, m_shell->quit());
        QVERIFY(!ws.started());
        QCOMPARE(m_shell->messages.errors().size(), 1);
        QVERIFY(visibleWindows().isEmpty());
    }

    // Start-up stops at a store that cannot be used, and leaves its file as it was.
    void aDamagedStoreStopsTheStart()
    {
        SKIP_ON_SERVER("the damaged store is a file");
        QTemporaryDir work;
        const QString file = Database::storeFile(work.path());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile damaged(file);
        QByteArray garbage(8192, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919 + 13) % 251);
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(garbage) == garbage.size());
        damaged.close();

        Workstation ws(work.path(), m_shell->messages, m_shell->quit());
        QVERIFY(!ws.started());
        QCOMPARE(m_shell->messages.errors().size(), 1);
        QVERIFY2(m_shell->messages.errors().first().contains("повреждён"),
                 qPrintable(m_shell->messages.errors().first()));
        QVERIFY(visibleWindows().isEmpty());
        QVERIFY(damaged.open(QIODevice::ReadOnly));
        QCOMPARE(damaged.readAll(), garbage);
    }

    // The registry's directory as a list: said at creation and at the login window's showing, as the
    // steps that need it fail; the program runs, with nobody in the list to log in.
    void aRegistryValueThatIsNotAString()
    {
        m_shell->setDataBaseDir(QStringList{"/srv/a", "/srv/b"});
        Workstation &ws = start();
        QVERIFY(ws.started());
        QCOMPARE(m_shell->messages.errors(),
                 QStringList({"Invalid data type for 'DataBaseDir'", "Invalid data type for 'DataBaseDir'"}));
        QCOMPARE(ws.login().ComboBox1->count(), 0);
        QCOMPARE(visibleWindows(), QStringList{"TForm0"});
        QCOMPARE(ws.tariffWindow()->driverRate(), QString("16"));
    }

    void aSecondCopyDoesNotStart()
    {
        SKIP_ON_SERVER("on a server every workstation runs a copy of its own");
        Workstation &first = start();
        logIn(0, "");
        ScriptedMessages secondMessages;
        {
            Workstation second(m_shell->db.dir(), secondMessages, [] {});
            QVERIFY(!second.started());
            QCOMPARE(secondMessages.errors().size(), 1);
            QVERIFY2(secondMessages.errors().first().contains("уже работает другая копия программы"),
                     qPrintable(secondMessages.errors().first()));
        }
        QCOMPARE(visibleWindows(), QStringList{"TForm1"}); // the first works on
        QVERIFY(first.started());

        m_workstation.reset(); // the first ends: the next copy starts
        Workstation third(m_shell->db.dir(), secondMessages, [] {});
        QVERIFY(third.started());
    }

    void aShiftAndTheNext()
    {
        Workstation &ws = start();
        logIn(0, "");
        QCOMPARE(visibleWindows(), QStringList{"TForm1"});
        int listed = -1;
        whenModalAppears([&](QWidget *modal) {
            listed = modal == ws.accessWindow() ? ws.dataModule()->pwl->recordCount() : 0;
            modal->close();
        });
        ws.mainWindow().N17->trigger();
        QCOMPARE(listed, 2);

        // End of shift: until the next login the tray cannot bring the main window back.
        ws.tariffWindow()->Edit4->setText("30"); // typed, never saved
        ws.mainWindow().N21->trigger();
        ws.login().trayActivated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(visibleWindows(), QStringList{"TForm0"});
        QCOMPARE(ws.login().Edit1->text(), QString());
        QCOMPARE(ws.tariffWindow()->driverRate(), QString("20"));

        logIn(1, "1234");
        QCOMPARE(visibleWindows(), QStringList{"TForm1"});
        QVERIFY(!ws.mainWindow().MenuTaxi->menuAction()->isVisible());
        m_shell->messages.answerNext(Messages::Answer::Yes);
        QTest::mouseClick(ws.mainWindow().Button3, Qt::LeftButton);
        QCOMPARE(m_shell->quits, 1);
    }

    void f1OpensTheTopicOfTheFocusedWindow()
    {
        Workstation &ws = start();
        QTest::keyClick(ws.login().Edit1, Qt::Key_F1);
        QVERIFY(!ws.help().isVisible());
        logIn(0, "");
        QTest::keyClick(ws.mainWindow().PageControl1, Qt::Key_F1);
        QVERIFY(ws.help().isVisible());
        QCOMPARE(ws.help().currentTopic(), 1006);
        QTest::keyClick(ws.accessWindow()->Edit2, Qt::Key_F1);
        QCOMPARE(ws.help().currentTopic(), 1011);
    }
};

SHELL_TEST(ProgramEntryTest);

#include "program_entry_test.moc"
