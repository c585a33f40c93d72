#include "app/access_modes.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "data/clock.h"
#include "help/help_window.h"
#include "tests/app/shell_tests.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <memory>
#include <optional>

namespace {

// "Выход", or the title bar's close button.
void exitBy(TForm1 &form, const QString &how)
{
    if (how == "button")
        QTest::mouseClick(form.Button3, Qt::LeftButton);
    else
        form.close();
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    std::optional<Shell> m_shell;
    std::unique_ptr<AccessLevel> m_access;
    std::unique_ptr<HelpWindow> m_help;
    std::unique_ptr<TForm0> m_login;
    std::unique_ptr<TForm1> m_main;

    // As after a login, on the last tab.
    TForm1 &loggedIn()
    {
        m_login->hide();
        m_main->show();
        m_main->PageControl1->setCurrentIndex(2);
        return *m_main;
    }

private slots:
    void initTestCase() { useRussianLocale(); }

    void init()
    {
        m_shell.emplace();
        m_access = std::make_unique<AccessLevel>();
        m_help = std::make_unique<HelpWindow>();
        m_login = std::make_unique<TForm0>(nullptr, *m_access, m_shell->messages, m_shell->quit());
        m_main = std::make_unique<TForm1>(*m_login, *m_access, *m_help, m_shell->messages, m_shell->quit());
        m_login->setMainWindow(m_main.get());
        m_login->show();
    }

    void cleanup()
    {
        Clock::clearFixed();
        m_main.reset();
        m_login.reset();
        m_help.reset();
        m_access.reset();
        m_shell.reset();
    }

    void theClientAreaAndTheClock()
    {
        TForm1 &form = loggedIn();
        QCOMPARE(form.centralWidget()->size(), QSize(776, 512));
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(form.Label1->text(), QString());
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3)));
        form.Timer1Timer();
        QCOMPARE(form.Label1->text(), QString("08.12.2026 09:05:03"));
    }

    // An administrator's switch must not enable the items whose windows are not there yet.
    void everyItemIsEnabledForAnAdministrator()
    {
        m_access->adm_on();
        for (QAction *item : {m_main->N26, m_main->N5, m_main->N8, m_main->N7, m_main->N9, m_main->N6,
                              m_main->N13, m_main->N15, m_main->N11, m_main->N1111})
            QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));
        QVERIFY(m_main->N29->isEnabled() && m_main->N29->isCheckable());
    }

    void exitAsksFirst_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << "button";
        QTest::newRow("title bar") << "close";
    }

    void exitAsksFirst()
    {
        QFETCH(QString, how);
        TForm1 &form = loggedIn();
        m_shell->messages.answerNext(Messages::Answer::No);
        exitBy(form, how);
        QCOMPARE(m_shell->messages.shown.size(), 1);
        QCOMPARE(m_shell->messages.shown.first().caption, QString("Подтверждение выхода"));
        QCOMPARE(m_shell->messages.shown.first().text, QString(" Действительно хотите выйти? "));
        QVERIFY(form.isVisible());
        QCOMPARE(form.PageControl1->currentIndex(), 2);
        QCOMPARE(m_shell->quits, 0);

        m_shell->messages.answerNext(Messages::Answer::Yes);
        exitBy(form, how);
        QCOMPARE(m_shell->quits, 1);
    }

    void minimisingHidesToTheTray()
    {
        m_main->setHidesToTray(true);
        TForm1 &form = loggedIn();
        form.showMinimized();
        QTRY_VERIFY(!form.isVisible());
        m_login->trayActivated(QSystemTrayIcon::DoubleClick);
        QVERIFY(form.isVisible() && !form.isMinimized());
        QCOMPARE(form.PageControl1->currentIndex(), 2);

        form.showMaximized();
        QTRY_VERIFY(!form.isVisible());
        m_login->trayActivated(QSystemTrayIcon::DoubleClick);
        QVERIFY(!form.isMaximized());
    }

    // Without a tray nothing could bring a hidden window back: it is minimised as usual.
    void minimisingWithoutATray()
    {
        TForm1 &form = loggedIn();
        form.showMinimized();
        QTRY_VERIFY(form.isMinimized());
        QVERIFY(form.isVisible());
        form.showMaximized();
        QTRY_VERIFY(!form.isMaximized());
        QVERIFY(form.isVisible());
    }
};

SHELL_TEST(MainWindowTest);

#include "main_window_test.moc"
