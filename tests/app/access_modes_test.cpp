#include "app/access_modes.h"
#include "app/access_window.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "tests/app/shell_tests.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

// Closes whatever modal window opens while `context` lives, and counts them.
void closeModalsWhile(QObject *context, int *opened)
{
    QTimer::singleShot(0, context, [context, opened] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            ++*opened;
            modal->close();
        }
        closeModalsWhile(context, opened);
    });
}

} // namespace

class AccessModesTest : public QObject
{
    Q_OBJECT

private:
    std::optional<Shell> m_shell;
    std::unique_ptr<Workstation> m_workstation;

    Workstation &logIn(bool administrator)
    {
        m_shell->entry(m_shell->employee("Иванов"), "", administrator);
        m_workstation = std::make_unique<Workstation>(m_shell->db.dir(), m_shell->messages, m_shell->quit());
        m_workstation->login().ComboBox1->setCurrentIndex(0);
        m_workstation->login().Button1Click();
        return *m_workstation;
    }

private slots:
    void initTestCase() { useRussianLocale(); }
    void init() { m_shell.emplace(); }

    void cleanup()
    {
        m_workstation.reset();
        m_shell.reset();
    }

    void switchesExactlyTheAdministratorsItems_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::newRow("administrator") << true;
        QTest::newRow("ordinary") << false;
    }

    void switchesExactlyTheAdministratorsItems()
    {
        QFETCH(bool, administrator);
        Workstation &ws = logIn(administrator);
        TForm1 &main = ws.mainWindow();
        TForm18 &window = *ws.accessWindow();

        for (QAction *item :
             {main.MenuTaxi->menuAction(), main.N5, main.N8, main.N7, main.N6, main.N26, main.N13, main.N15})
            QVERIFY2(item->isVisible() == administrator, qPrintable(item->objectName()));
        QCOMPARE(main.N26->isEnabled(), administrator);
        for (QAction *item :
             main.MenuSettings->actions() + main.MenuFile->actions() + main.MenuHelp->actions())
            QVERIFY2(item->isVisible() || adminOnly(main, item), qPrintable(item->objectName()));
        for (QAction *item : {main.N21, main.N19, main.N17, main.N24, main.N25, main.N23})
            QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));

        QCOMPARE(window.DBGrid1->isEnabled(), administrator);
        QCOMPARE(window.DBGrid1->palette().color(QPalette::Base) == QColor(192, 192, 192), !administrator);
        for (QWidget *control :
             std::initializer_list<QWidget *>{window.Button3, window.Button5, window.DBCheckBox1})
            QVERIFY(control->isHidden() != administrator && control->isEnabled() == administrator);
        for (QWidget *control : std::initializer_list<QWidget *>{window.Button1, window.Edit1, window.Edit2})
            QVERIFY(!control->isHidden() && control->isEnabled());
    }

    // Hidden items are one path; the handlers refuse as well, whatever reaches them.
    void anOrdinaryUserCannotRunAnAdministratorsAction()
    {
        Workstation &ws = logIn(false);
        int opened = 0;
        QObject context;
        closeModalsWhile(&context, &opened);
        for (auto handler : {&TForm1::N26Click, &TForm1::N5Click, &TForm1::N8Click, &TForm1::N7Click,
                             &TForm1::N6Click, &TForm1::N13Click, &TForm1::N15Click})
            (ws.mainWindow().*handler)();
        ws.accessWindow()->Button3Click();
        ws.accessWindow()->Button5Click();
        QTest::qWait(50);

        QCOMPARE(opened, 0);
        QVERIFY(m_shell->messages.shown.isEmpty());
        QCOMPARE(m_shell->db.count("pwl"), 1);
        QCOMPARE(ws.dataModule()->pwl->state(), Dataset::State::Browse);
    }

private:
    static bool adminOnly(const TForm1 &main, const QAction *item)
    {
        return QList<const QAction *>{main.N6, main.N26, main.N13, main.N15}.contains(item);
    }
};

SHELL_TEST(AccessModesTest);

#include "access_modes_test.moc"
