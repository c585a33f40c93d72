#include "app/access_modes.h"
#include "app/access_window.h"
#include "data/data_module.h"
#include "tests/app/shell_tests.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QLineEdit>
#include <QPushButton>

#include <memory>
#include <optional>

namespace {

const QString Changed = "               Пароль сменён!               ";
const QString WrongOld = "    Не правельно набран пароль!    ";

} // namespace

class AccessWindowTest : public QObject
{
    Q_OBJECT

private:
    std::optional<Shell> m_shell;
    std::unique_ptr<AccessLevel> m_access;
    std::unique_ptr<TForm18> m_window;
    qint64 m_admin = 0;
    qint64 m_petrov = 0;
    qint64 m_sidorov = 0; // no entry
    qint64 m_petrovEntry = 0;

    Dataset &entries() { return *m_shell->db.module().pwl; }

    // Shown to the logged-in employee, on Petrov's entry.
    TForm18 &shownTo(qint64 employee, bool administrator)
    {
        m_access->setOperatorId(QString::number(employee));
        administrator ? m_access->adm_on() : m_access->adm_off();
        m_window = std::make_unique<TForm18>(m_shell->db.module(), *m_access, m_shell->messages);
        m_window->show();
        entries().gotoId(m_petrovEntry);
        return *m_window;
    }

    void change(const QString &old, const QString &typed, const QString &repeated)
    {
        m_window->Edit1->setText(old);
        m_window->Edit2->setText(typed);
        m_window->Edit3->setText(repeated);
        QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    }

    QByteArray stored(const char *column = "Pwl")
    {
        return m_shell->db.scalar(QString("SELECT %1 FROM pwl WHERE Id = ?").arg(column), {m_petrovEntry})
            .toByteArray();
    }

private slots:
    void initTestCase() { useRussianLocale(); }

    void init()
    {
        m_shell.emplace();
        m_access = std::make_unique<AccessLevel>();
        m_admin = m_shell->employee("Иванов");
        m_petrov = m_shell->employee("Петров");
        m_sidorov = m_shell->employee("Сидоров");
        m_shell->entry(m_admin, "adm", true);
        m_petrovEntry = m_shell->entry(m_petrov, "abc");
    }

    void cleanup()
    {
        m_window.reset();
        m_access.reset();
        m_shell.reset();
    }

    void anOrdinaryUserSeesOnlyHisOwnEntry()
    {
        shownTo(m_petrov, false);
        QCOMPARE(entries().recordCount(), 1);
        QCOMPARE(entries().currentId(), m_petrovEntry);
        m_window.reset();
        shownTo(m_admin, true);
        QCOMPARE(entries().recordCount(), 2);
    }

    void changesThePassword_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("administrator, no old one")      << true  << ""    << "xyz" << "xyz" << Changed;
        QTest::newRow("administrator, a wrong old one") << true  << "zzz" << "xyz" << "xyz" << Changed;
        QTest::newRow("ordinary, the right old one")    << false << "abc" << "xyz" << "xyz" << Changed;
        QTest::newRow("ordinary, to an empty one")      << false << "abc" << ""    << ""    << Changed;
        QTest::newRow("ordinary, a wrong old one")      << false << "abd" << "xyz" << "xyz" << WrongOld;
        QTest::newRow("ordinary, no old one")           << false << ""    << "xyz" << "xyz" << WrongOld;
        QTest::newRow("repeated differently")           << true  << ""    << "xyz" << "xyZ" << QString("Пароли не совпадают!");
        // clang-format on
    }

    void changesThePassword()
    {
        QFETCH(bool, administrator);
        QFETCH(QString, old);
        QFETCH(QString, typed);
        QFETCH(QString, repeated);
        QFETCH(QString, message);
        TForm18 &window = shownTo(administrator ? m_admin : m_petrov, administrator);
        change(old, typed, repeated);

        const bool changed = message == Changed;
        QCOMPARE(m_shell->messages.texts(), QStringList{message});
        QCOMPARE(stored(), changed ? coder(typed) : coder(QString("abc")));
        QCOMPARE(entries().state(), Dataset::State::Browse);
        QCOMPARE(window.Edit2->text(), changed ? QString() : typed);
    }

    // Whole, byte for byte: "abc" is 5F FF 03, and "ac" encodes with a zero byte.
    void storesTheEncodedPasswordWhole()
    {
        shownTo(m_admin, true);
        change("", "abc", "abc");
        QCOMPARE(stored("hex(Pwl)"), QByteArray("5FFF03"));
        change("", "ac", "ac");
        QCOMPARE(stored("hex(Pwl)"), QByteArray("5F00"));
    }

    void refusesACharacterOutsideTheCodePage()
    {
        shownTo(m_petrov, false);
        change("abc", "ab密", "ab密");
        QVERIFY(m_shell->messages.texts().value(0).contains("Windows-1251"));
        QCOMPARE(stored(), coder(QString("abc")));
    }

    // An empty entry, the employee chosen in the grid, the right ticked, the password set.
    void anAdministratorAddsAnEntry()
    {
        TForm18 &window = shownTo(m_admin, true);
        QTest::mouseClick(window.Button3, Qt::LeftButton);
        QVERIFY(window.DBGrid1->model()->setData(window.DBGrid1->model()->index(2, 0), "Сидоров"));
        QTest::mouseClick(window.DBCheckBox1, Qt::LeftButton);
        change("", "new", "new");
        QCOMPARE(m_shell->db.scalar("SELECT G FROM pwl WHERE IdOperator = ?", {m_sidorov}).toInt(), 1);
        QCOMPARE(m_shell->db.scalar("SELECT Pwl FROM pwl WHERE IdOperator = ?", {m_sidorov}).toByteArray(),
                 coder(QString("new")));
    }

    void deletesOnlyOnYes()
    {
        TForm18 &window = shownTo(m_admin, true);
        m_shell->messages.answerNext(Messages::Answer::No);
        QTest::mouseClick(window.Button5, Qt::LeftButton);
        QCOMPARE(m_shell->db.count("pwl"), 2);
        m_shell->messages.answerNext(Messages::Answer::Yes);
        QTest::mouseClick(window.Button5, Qt::LeftButton);
        QCOMPARE(m_shell->db.count("pwl", "Id = ?", {m_petrovEntry}), 0);
        QCOMPARE(m_shell->messages.shown.last().caption, QString("Подтверждение удаления"));
    }

    // Editing an empty view would add an entry, which only an administrator may do.
    void anOrdinaryUserWithoutAnEntry()
    {
        shownTo(m_sidorov, false);
        change("", "x", "x");
        QCOMPARE(m_shell->messages.texts(), QStringList{WrongOld});
        QCOMPARE(m_shell->db.count("pwl"), 2);
    }
};

SHELL_TEST(AccessWindowTest);

#include "access_window_test.moc"
