#include "app/access_modes.h"
#include "app/access_window.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/data_module.h"
#include "registers/city_structure_window.h"
#include "registers/colours_window.h"
#include "tests/app/shell_tests.h"
#include "tests/support/statement_trace.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

// Closes every modal window that opens while it lives, and remembers which opened.
class ModalCatcher
{
public:
    ModalCatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                opened << modal->objectName();
                modal->close();
            }
        });
        m_timer.start(5);
    }

    QStringList opened;

private:
    QTimer m_timer;
};

// The administrator's menu items, with a key of their own for the test: a key that reached a hidden
// item would open its window.
const QList<QPair<const char *, QKeySequence>> AdminItems = {
    {"N5", QKeySequence("Ctrl+Shift+1")},  {"N8", QKeySequence("Ctrl+Shift+2")},
    {"N7", QKeySequence("Ctrl+Shift+3")},  {"N6", QKeySequence("Ctrl+Shift+4")},
    {"N26", QKeySequence("Ctrl+Shift+5")}, {"N13", QKeySequence("Ctrl+Shift+6")},
    {"N15", QKeySequence("Ctrl+Shift+7")}};

const QString Hostile = QStringLiteral("XQZ'); DROP TABLE gurnal;--");

} // namespace

// Dispatchers share the workstation in turn: an ordinary one reaches no administrator's window by any
// path, none sees what another typed into a password box, and no typed, stored, file or registry
// value ever becomes part of a statement.
class AccessAndSecretsTest : public QObject
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
        login.Edit1->clear();
        typeText(login.Edit1, password);
        QTest::mouseClick(login.Button1, Qt::LeftButton);
        QVERIFY(m_workstation->mainWindow().isVisible());
    }

    // Opens the access-levels window from the menu and runs `inside` while it is shown.
    void inAccessWindow(const std::function<void(TForm18 &)> &inside)
    {
        TForm18 &window = *m_workstation->accessWindow();
        whenModalAppears([&](QWidget *) {
            inside(window);
            window.close();
        });
        m_workstation->mainWindow().N17->trigger();
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
        m_shell->entry(m_shell->employee("Администратор"), "", true);
        m_shell->entry(m_shell->employee("Иванова"), "1234");
    }

    void cleanup()
    {
        m_workstation.reset();
        m_databaseDir.reset();
        m_shell.reset();
    }

    // What the administrator typed is gone when the window closes, however it is closed, and the next
    // dispatcher after the end of the shift finds every box empty.
    void passwordBoxesAreEmptyForTheNextDispatcher_data()
    {
        QTest::addColumn<bool>("byOk");
        QTest::newRow("closed by Ок") << true;
        QTest::newRow("closed by its title bar") << false;
    }

    void passwordBoxesAreEmptyForTheNextDispatcher()
    {
        QFETCH(bool, byOk);
        start();
        logIn(0, "");
        TForm18 &window = *m_workstation->accessWindow();
        inAccessWindow([&](TForm18 &shown) {
            for (QLineEdit *box : {shown.Edit1, shown.Edit2, shown.Edit3})
                typeText(box, "секрет");
            QTest::mouseClick(shown.Button1, Qt::LeftButton); // repeated alike: changes the password
            typeText(shown.Edit1, "ещё");
            if (byOk)
                QTest::mouseClick(shown.Button2, Qt::LeftButton);
        });
        for (QLineEdit *box : {window.Edit1, window.Edit2, window.Edit3})
            QCOMPARE(box->text(), QString());

        m_workstation->mainWindow().N21->trigger();
        window.Edit2->setText("left by a program"); // however text got there, showing clears it
        logIn(1, "1234");
        QStringList seen;
        inAccessWindow([&](TForm18 &shown) {
            seen = {shown.Edit1->text(), shown.Edit2->text(), shown.Edit3->text()};
        });
        QCOMPARE(seen, QStringList({"", "", ""}));
    }

    // Keys, the menus walked by keyboard and the handlers called directly: an ordinary dispatcher
    // opens no administrator's window; an administrator opens them all the same ways.
    void anOrdinaryUserReachesNoAdministratorWindow_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<QStringList>("opened");
        // The calendar, the journal, the report's date, the access levels and the help are everyone's.
        const QStringList everyones{"TForm10", "TForm12", "TForm14", "TForm18", "TForm20", "TForm21"};
        QTest::newRow("ordinary") << false << everyones;
        QTest::newRow("administrator")
            << true << everyones + QStringList{"TForm3",  "TForm5",  "TForm7", "TForm9",
                                               "TForm16", "TForm17", "TForm23"};
    }

    void anOrdinaryUserReachesNoAdministratorWindow()
    {
        QFETCH(bool, administrator);
        QFETCH(QStringList, opened);
        start();
        logIn(administrator ? 0 : 1, administrator ? "" : "1234");
        TForm1 &main = m_workstation->mainWindow();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        for (const auto &[name, keys] : AdminItems)
            main.findChild<QAction *>(name)->setShortcut(keys);
        const QString before = m_shell->db.dump();
        ModalCatcher catcher;

        // Every key with every modifier, the test's own keys among them.
        QList<int> keys{Qt::Key_Insert, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space};
        for (int key = Qt::Key_0; key <= Qt::Key_9; ++key)
            keys << key;
        for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key)
            keys << key;
        for (int key = Qt::Key_F2; key <= Qt::Key_F12; ++key)
            keys << key;
        for (const Qt::KeyboardModifiers modifiers :
             {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::AltModifier),
              Qt::ControlModifier | Qt::ShiftModifier, Qt::ControlModifier | Qt::AltModifier}) {
            for (const int key : keys)
                QTest::keyClick(&main, Qt::Key(key), modifiers);
        }
        // Every item that the keyboard reaches in the menus but "Файл" (end of shift, exit).
        for (QAction *menuItem : main.menuBar()->actions()) {
            QMenu *menu = menuItem->menu();
            if (menu == nullptr || menu == main.MenuFile)
                continue;
            for (int steps = 1; steps <= menu->actions().size(); ++steps) {
                menu->popup(main.mapToGlobal(QPoint(10, 10)));
                for (int i = 0; i < steps; ++i)
                    QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, Qt::Key_Return);
                menu->close();
            }
        }
        // The handlers themselves check the right, whatever path reaches them.
        for (void (TForm1::*handler)() :
             {&TForm1::N5Click, &TForm1::N8Click, &TForm1::N7Click, &TForm1::N6Click, &TForm1::N26Click,
              &TForm1::N13Click, &TForm1::N15Click})
            (main.*handler)();

        QStringList distinct = catcher.opened;
        distinct.removeDuplicates();
        std::sort(distinct.begin(), distinct.end());
        std::sort(opened.begin(), opened.end());
        QCOMPARE(distinct, opened);
        QCOMPARE(m_shell->messages.errors(), QStringList());
        QCOMPARE(m_shell->db.dump(), before);
    }

    // In the access-levels window an ordinary dispatcher changes nothing but his own password: the
    // list, its delete key, the right and the hidden buttons do nothing.
    void anOrdinaryUserChangesNoEntry()
    {
        start();
        logIn(1, "1234");
        const QString before = m_shell->db.dump();
        inAccessWindow([&](TForm18 &window) {
            QVERIFY(!window.DBGrid1->isEnabled());
            QTest::keyClick(window.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
            QTest::keyClick(window.DBGrid1, Qt::Key_A);
            QTest::keyClick(window.DBGrid1, Qt::Key_Return);
            QTest::keyClick(window.DBCheckBox1, Qt::Key_Space);
            QTest::mouseClick(window.Button3, Qt::LeftButton);
            QTest::mouseClick(window.Button5, Qt::LeftButton);
            window.Button3Click();
            window.Button5Click();
            QTest::keyClick(&window, Qt::Key_Delete, Qt::ControlModifier);
        });
        m_shell->messages.answerNext(Messages::Answer::Yes); // a deletion question, if one came
        QCOMPARE(m_shell->db.dump(), before);
        QCOMPARE(m_shell->messages.shown.size(), 0);
    }

    // Hostile text from every source the program reads: the registry's directory, the settings file,
    // the staff's names, typed passwords and names. The store's own record of what it ran holds none
    // of it, and every table is still there.
    void noValueBecomesPartOfAStatement()
    {
        SKIP_ON_SERVER("the statements are traced through SQLite's own hook");
        const int tablesBefore = m_shell->db.count("sqlite_master", "type = 'table'");
        const QString directory = m_databaseDir->filePath(Hostile);
        QVERIFY(QDir().mkpath(directory));
        m_shell->setDataBaseDir(directory);
        QFile ini(QDir(directory).filePath("VOZY.INI"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(("[Options]\nST=" + Hostile + "\nMR=" + Hostile + "\n").toUtf8());
        ini.close();
        const qint64 hostileAdmin = m_shell->employee(Hostile);
        m_shell->entry(hostileAdmin, "'--", true);

        start();
        StatementTrace trace(m_workstation->dataModule()->database());
        logIn(2, "'--");
        inAccessWindow([&](TForm18 &window) {
            for (QLineEdit *box : {window.Edit2, window.Edit3})
                typeText(box, "');--");
            QTest::mouseClick(window.Button1, Qt::LeftButton);
        });
        whenModalAppears([&](QWidget *modal) {
            auto *colours = qobject_cast<TForm17 *>(modal);
            QTest::mouseClick(colours->Button6, Qt::LeftButton);
            typeText(colours->DBEdit1, Hostile);
            QTest::mouseClick(colours->Button7, Qt::LeftButton);
        });
        m_workstation->mainWindow().N13->trigger();
        whenModalAppears([&](QWidget *modal) {
            auto *city = qobject_cast<TForm5 *>(modal);
            QTest::mouseClick(city->Button1, Qt::LeftButton);
            m_workstation->dataModule()->Table4->setText("Gorod", Hostile);
            QTest::mouseClick(city->Button3, Qt::LeftButton);
            modal->close();
        });
        m_workstation->mainWindow().N6->trigger();
        m_workstation->mainWindow().N21->trigger();
        logIn(1, "1234");
        inAccessWindow([](TForm18 &window) {
            typeText(window.Edit1, Hostile.left(10));
            QTest::mouseClick(window.Button1, Qt::LeftButton);
        });

        QCOMPARE(m_shell->db.count("color", "Color = ?", {Hostile.left(15)}), 1);
        QCOMPARE(m_shell->db.count("gorod", "Gorod = ?", {Hostile.left(20)}), 1);
        QVERIFY(m_shell->db.count("pwl", "Pwl = ?", {coder(QStringLiteral("');--"))}) == 1);
        QVERIFY(trace.statements().size() > 10);
        for (const QString &statement : trace.statements()) {
            QVERIFY2(!statement.contains("XQZ") && !statement.contains("DROP") && !statement.contains("');"),
                     qPrintable(statement));
        }
        QCOMPARE(m_shell->db.count("sqlite_master", "type = 'table'"), tablesBefore);
    }
};

SHELL_TEST(AccessAndSecretsTest);

#include "access_and_secrets_test.moc"
