#include "app/access_modes.h"
#include "app/login_window.h"
#include "tests/app/shell_tests.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <memory>
#include <optional>

namespace {

const QString WrongPassword = "          Пароль введён не верно!          ";

} // namespace

class LoginWindowTest : public QObject
{
    Q_OBJECT

private:
    std::optional<Shell> m_shell;
    std::unique_ptr<AccessLevel> m_access;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<TForm0> m_login;

    TForm0 &login()
    {
        m_login = std::make_unique<TForm0>(&m_shell->db.db(), *m_access, m_shell->messages, m_shell->quit());
        m_login->setMainWindow(m_main.get());
        m_login->show();
        return *m_login;
    }

    void tryLogin(int user, const QString &password)
    {
        m_login->ComboBox1->setCurrentIndex(user);
        m_login->Edit1->clear();
        typeText(m_login->Edit1, password);
        QTest::mouseClick(m_login->Button1, Qt::LeftButton);
    }

private slots:
    void initTestCase() { useRussianLocale(); }

    void init()
    {
        m_shell.emplace();
        m_access = std::make_unique<AccessLevel>();
        m_main = std::make_unique<QWidget>();
    }

    void cleanup()
    {
        m_login.reset();
        m_main.reset();
        m_access.reset();
        m_shell.reset();
    }

    // One item per entry whose employee exists, in the entries' order; the first entry decides.
    void anEmployeeWithTwoEntries()
    {
        const qint64 ivanov = m_shell->employee("Иванов");
        const qint64 petrov = m_shell->employee("Петров");
        m_shell->entry(petrov, "p");
        m_shell->entry(ivanov, "first", true);
        m_shell->entry(ivanov, "second");
        m_shell->entry(999, "gone");

        TForm0 &form = login();
        QCOMPARE(form.ComboBox1->count(), 3);
        QCOMPARE(form.ComboBox1->itemText(2), QString("Иванов"));
        QCOMPARE(form.ComboBox2->itemText(2), QString::number(ivanov));
        QCOMPARE(form.ComboBox1->currentIndex(), -1);
        tryLogin(2, "second");
        QCOMPARE(m_shell->messages.texts(), QStringList{WrongPassword});
        tryLogin(2, "first");
        QVERIFY(m_main->isVisible());
        QVERIFY(form.check_adm());
        QCOMPARE(form.operatorId(), QString::number(ivanov));
    }

    void logsInWithTheRightPassword_data()
    {
        QTest::addColumn<QString>("stored"); // null: never set
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("loggedIn");
        // clang-format off
        QTest::newRow("no password set, empty typed")     << QString() << ""       << true;
        QTest::newRow("no password set, something typed") << QString() << "x"      << false;
        QTest::newRow("empty typed for a password")       << "abc"     << ""       << false;
        QTest::newRow("a prefix of it")                   << "abc"     << "ab"     << false;
        QTest::newRow("Cyrillic")                         << "пароль"  << "пароль" << true;
        QTest::newRow("encodes with a zero byte")         << "ac"      << "ac"     << true;
        // clang-format on
    }

    void logsInWithTheRightPassword()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, loggedIn);
        m_shell->entry(m_shell->employee("Иванов"), stored);

        TForm0 &form = login();
        tryLogin(0, typed);
        QCOMPARE(form.isVisible(), !loggedIn);
        QCOMPARE(m_main->isVisible(), loggedIn);
        QCOMPARE(m_shell->messages.texts(), loggedIn ? QStringList() : QStringList{WrongPassword});
        QVERIFY(!form.check_adm());
        // A wrong password leaves the choice and the text for another try.
        QCOMPARE(form.Edit1->text(), typed);
    }

    // Counted over all users since the window was last shown; each showing allows three again.
    void threeWrongPasswordsEndTheProgram()
    {
        m_shell->entry(m_shell->employee("Иванов"), "a");
        m_shell->entry(m_shell->employee("Петров"), "b");
        TForm0 &form = login();
        tryLogin(0, "x");
        tryLogin(1, "y");
        form.hide();
        form.show();
        tryLogin(1, "x");
        tryLogin(0, "y");
        QCOMPARE(m_shell->quits, 0);
        tryLogin(0, "z");
        QCOMPARE(m_shell->quits, 1);
    }

    // Not a wrong password: refused with its reason, and never counted.
    void aCharacterOutsideTheCodePage()
    {
        m_shell->entry(m_shell->employee("Иванов"), QString());
        TForm0 &form = login();
        for (int i = 0; i < 3; ++i)
            tryLogin(0, "密");
        QCOMPARE(m_shell->quits, 0);
        QCOMPARE(form.failureCount(), 0);
        QVERIFY(m_shell->messages.texts().first().contains("Windows-1251"));
    }

    void anEntryDeletedAfterTheListWasBuilt()
    {
        const qint64 entry = m_shell->entry(m_shell->employee("Иванов"), QString(), true);
        login();
        m_shell->db.db().execute(QString("DELETE FROM pwl WHERE Id = %1").arg(entry));
        tryLogin(0, "");
        QCOMPARE(m_shell->messages.texts(), QStringList{WrongPassword});
        QVERIFY(!m_main->isVisible());
    }

    // Chosen with the arrow keys or the mouse only; Enter is no "Войти".
    void theKeyboard()
    {
        m_shell->entry(m_shell->employee("Петров"), QString());
        m_shell->entry(m_shell->employee("Иванов"), QString());
        TForm0 &form = login();
        typeText(form.ComboBox1, "И ");
        QCOMPARE(form.ComboBox1->currentIndex(), -1);
        QTest::keyClick(form.ComboBox1, Qt::Key_Down);
        QCOMPARE(form.ComboBox1->currentText(), QString("Петров"));
        QTest::keyClick(form.Edit1, Qt::Key_Return);
        QVERIFY(form.isVisible());
        QVERIFY(m_shell->messages.shown.isEmpty());
    }

    void theTrayAndTheEnd()
    {
        TForm0 &form = login();
        form.trayActivated(QSystemTrayIcon::DoubleClick);
        QVERIFY(!m_main->isVisible());
        form.hide(); // as after a login, with the main window hidden to the tray
        form.trayActivated(QSystemTrayIcon::Trigger);
        QVERIFY(!m_main->isVisible());
        form.trayActivated(QSystemTrayIcon::DoubleClick);
        QVERIFY(m_main->isVisible());

        form.show();
        form.close();
        QCOMPARE(m_shell->quits, 1);
    }
};

SHELL_TEST(LoginWindowTest);

#include "login_window_test.moc"
