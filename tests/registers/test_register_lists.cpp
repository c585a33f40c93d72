#include "data/data_module.h"
#include "dispatch/shift_dialog.h"
#include "registers/calendar_window.h"
#include "registers/driver_data_window.h"
#include "registers/drivers_list_window.h"
#include "registers/staff_data_window.h"
#include "registers/staff_list_window.h"
#include "tests/support/test_database.h"
#include "tests/support/ui_support.h"
#include "ui/db_controls.h"

#include <QApplication>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

// The lists of drivers and dispatchers: adding, changing and deleting through the real windows, and
// what each leaves in the tables that refer to the record.
class TestRegisterLists : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_store;
    ScriptedMessages m_messages;
    std::unique_ptr<TForm10> m_calendar;
    std::unique_ptr<TForm11> m_shift;
    std::unique_ptr<TForm4> m_driverData;
    std::unique_ptr<TForm3> m_drivers;
    std::unique_ptr<TForm8> m_staffData;
    std::unique_ptr<TForm7> m_staff;
    qint64 m_petrov = 0;
    qint64 m_ivanova = 0;

    TDataModule2 &dm() { return m_store->module(); }

    // Types into a box of a data window over whatever it holds.
    static void retype(QLineEdit *box, const QString &text)
    {
        box->selectAll();
        typeText(box, text);
    }

    // Once the driver data window is up: a callsign, a surname and a car, then "Ок"; once the shift
    // dialog follows, what it shows, the times, and "   OK".
    void fillNewDriverWhenShown(QString *callsign, QString *driver)
    {
        whenModalAppears([=, this](QWidget *) {
            retype(m_driverData->DBEdit1, "0а777");
            retype(m_driverData->DBEdit2, "Козлов");
            typeText(m_driverData->DBLookupComboBox1, "В");
            whenModalAppears([=, this](QWidget *) {
                *callsign = m_shift->DBText1->text();
                *driver = m_shift->DBLookupComboBox1->currentText();
                retype(m_shift->DBEdit1, "8:00");
                retype(m_shift->DBEdit2, "20:00");
                m_shift->BitBtn1->click();
            });
            m_driverData->Button4->click();
        });
    }

    // The state a deletion starts from.
    void prepare(const QString &state)
    {
        if (state == "new driver pending")
            dm().Table1->append();
        else if (state == "no employee")
            dm().sotrud->deleteRecord();
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void init()
    {
        m_store = std::make_unique<TestDatabase>();
        m_messages = ScriptedMessages();
        m_store->insert("auto", {{"Name", "Волга"}});
        m_petrov = m_store->insert("taxisti", {{"Familiya", "Петров"}, {"Number", 101}});
        m_store->insert("grafic", {{"IdTaxist", m_petrov}, {"Timestart", "09:00:00"}});
        m_store->insert("vozyraion", {{"Vozy", m_petrov}, {"Raion", 1}, {"Status", false}});
        m_ivanova = m_store->insert("sotrud", {{"Family", "Иванова"}});
        m_store->insert("pwl", {{"IdOperator", m_ivanova}});
        m_calendar = std::make_unique<TForm10>();
        m_shift = std::make_unique<TForm11>(dm(), m_messages);
        m_driverData = std::make_unique<TForm4>(dm(), *m_calendar, nullptr, nullptr, m_messages);
        m_drivers = std::make_unique<TForm3>(dm(), *m_driverData, *m_shift, m_messages);
        m_staffData = std::make_unique<TForm8>(dm(), *m_calendar, m_messages);
        m_staff = std::make_unique<TForm7>(dm(), *m_staffData, m_messages);
        m_drivers->show();
        m_staff->show();
    }

    void cleanup()
    {
        m_staff.reset();
        m_staffData.reset();
        m_drivers.reset();
        m_driverData.reset();
        m_shift.reset();
        m_calendar.reset();
        m_store.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Both windows confirmed: one new driver and one shift that points to him, through which the
    // queue knows him once he stands on the line.
    void addingADriverGivesHimOneShift()
    {
        QString callsign, driver;
        fillNewDriverWhenShown(&callsign, &driver);
        QTest::mouseClick(m_drivers->Button1, Qt::LeftButton);

        QCOMPARE(m_store->count("taxisti"), 2);
        const qint64 kozlov = dm().Table1->currentId();
        QCOMPARE(m_store->scalar("SELECT Number FROM taxisti WHERE Id = ?", {kozlov}), QVariant(777.0));
        QCOMPARE(callsign, QString("777"));
        QCOMPARE(driver, QString("Козлов"));
        QCOMPARE(m_store->count("grafic", "IdTaxist = ? AND Timestart = '08:00:00'", {kozlov}), 1);
        QCOMPARE(m_store->count("grafic"), 2);

        Dataset &queue = *dm().Vozy_raion;
        queue.setFilter("Raion=2 and Status=False");
        queue.setFiltered(true);
        queue.append();
        queue.setValue("Vozy", kozlov);
        queue.setValue("Raion", 2);
        queue.setValue("Status", false);
        queue.post();
        queue.first();
        QCOMPARE(queue.text("TTVozyNumber") + ' ' + queue.text("TTVozy") + ' ' + queue.text("TVozyAuto"),
                 QString("777 Козлов Волга"));
    }

    // Closed by its title-bar button the data window stores nothing, and no shift is begun for a
    // driver who has no Id yet: the schedule gets no row that belongs to nobody.
    void closingTheDataWindowBeginsNoShift()
    {
        bool shiftShown = false;
        QTimer watch; // closes the shift dialog, should it come, so that the test goes on either way
        connect(&watch, &QTimer::timeout, this, [&] {
            shiftShown = shiftShown || m_shift->isVisible();
            m_shift->reject();
        });
        watch.start(20);
        whenModalAppears([&](QWidget *) {
            retype(m_driverData->DBEdit2, "Козлов");
            m_driverData->close();
        });
        QTest::mouseClick(m_drivers->Button1, Qt::LeftButton);
        watch.stop();
        QVERIFY(!shiftShown);
        QCOMPARE(dm().Table1->state(), Dataset::State::Insert);
        QCOMPARE(dm().Grafic->state(), Dataset::State::Browse);
        QCOMPARE(m_store->count("grafic"), 1);
    }

    // Changing a driver or an employee stores the record and adds nothing.
    void changing_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::newRow("driver") << QString("drivers") << QString("taxisti") << QString("Familiya");
        QTest::newRow("employee") << QString("staff") << QString("sotrud") << QString("Family");
    }

    void changing()
    {
        QFETCH(QString, list);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QDialog *data = list == "drivers" ? static_cast<QDialog *>(m_driverData.get()) : m_staffData.get();
        QString before;
        whenModalAppears([&](QWidget *) {
            auto *surname = data->findChild<DBEdit *>("DBEdit2");
            before = surname->text();
            surname->end(false);
            typeText(surname, "а");
            data->findChild<QPushButton *>(list == "drivers" ? "Button4" : "Button3")->click();
        });
        QDialog *window = list == "drivers" ? static_cast<QDialog *>(m_drivers.get()) : m_staff.get();
        QTest::mouseClick(window->findChild<QPushButton *>(list == "drivers" ? "Button3" : "Button4"),
                          Qt::LeftButton);
        QCOMPARE(m_store->count(table), 1);
        QCOMPARE(m_store->scalar(QString("SELECT %1 FROM %2").arg(field, table)).toString(), before + "а");
        QCOMPARE(m_store->count("grafic"), 1);
        QCOMPARE(m_store->count("pwl"), 1);
    }

    // The record deleted at another workstation while its data window is open: "Ок" says so and
    // stores nothing, and once the window is closed the list moves on without saying it again.
    void aRecordDeletedElsewhereWhileOpen_data() { changing_data(); }

    void aRecordDeletedElsewhereWhileOpen()
    {
        QFETCH(QString, list);
        QFETCH(QString, table);
        QDialog *data = list == "drivers" ? static_cast<QDialog *>(m_driverData.get()) : m_staffData.get();
        whenModalAppears([&](QWidget *) {
            typeText(data->findChild<DBEdit *>("DBEdit2"), "а");
            m_store->db().execute(QString("DELETE FROM %1").arg(table));
            data->findChild<QPushButton *>(list == "drivers" ? "Button4" : "Button3")->click();
            data->close();
        });
        QDialog *window = list == "drivers" ? static_cast<QDialog *>(m_drivers.get()) : m_staff.get();
        QTest::mouseClick(window->findChild<QPushButton *>(list == "drivers" ? "Button3" : "Button4"),
                          Qt::LeftButton);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY2(m_messages.errors().first().startsWith("Запись не найдена: её удалили"),
                 qPrintable(m_messages.errors().first()));
        Dataset &rows = list == "drivers" ? *dm().Table1 : *dm().sotrud;
        QCOMPARE(rows.state(), Dataset::State::Browse);
        rows.first();
        QCOMPARE(m_store->count(table), 0);
        QCOMPARE(m_messages.errors().size(), 1);
    }

    // Only Yes deletes, and only the record: the rows that refer to it stay and show it empty.
    void deleting_data()
    {
        const QString object = " Внимание: Объект будет удалён. Удалить объект? ";
        const QString driver =
            " Внимание: После удаления объекта будут утеряны все связанные с ним данные. Продолжить? ";
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<int>("drivers");
        QTest::addColumn<int>("employees");
        QTest::addColumn<QString>("referrers"); // the shift's, the queue's and the access entry's name
        const auto row = [](const char *name, const char *list, const char *state, Messages::Answer answer,
                            const QString &question, int drivers, int employees, const char *referrers) {
            QTest::newRow(name) << QString(list) << QString(state) << int(answer)
                                << (question.isEmpty() ? QStringList() : QStringList{question}) << drivers
                                << employees << QString(referrers);
        };
        const Messages::Answer yes = Messages::Answer::Yes;
        row("driver, No", "drivers", "", Messages::Answer::No, driver, 1, 1, "Петров Петров Иванова");
        row("driver, Yes", "drivers", "", yes, driver, 0, 1, "  Иванова");
        row("new driver pending", "drivers", "new driver pending", yes, driver, 1, 1,
            "Петров Петров Иванова");
        row("employee, Yes", "staff", "", yes, object, 1, 0, "Петров Петров ");
        row("no employee", "staff", "no employee", yes, "", 1, 0, "Петров Петров ");
    }

    void deleting()
    {
        QFETCH(QString, list);
        QFETCH(QString, state);
        QFETCH(int, answer);
        QFETCH(QStringList, questions);
        QFETCH(int, drivers);
        QFETCH(int, employees);
        QFETCH(QString, referrers);
        prepare(state);
        m_messages.answerNext(Messages::Answer(answer));
        QDialog *window = list == "drivers" ? static_cast<QDialog *>(m_drivers.get()) : m_staff.get();
        QTest::mouseClick(window->findChild<QPushButton *>(list == "drivers" ? "Button2" : "Button3"),
                          Qt::LeftButton);

        QCOMPARE(m_messages.texts(), questions);
        QCOMPARE(m_store->count("taxisti"), drivers);
        QCOMPARE(m_store->count("sotrud"), employees);
        QCOMPARE(m_store->count("grafic") + m_store->count("vozyraion") + m_store->count("pwl"), 3);
        QCOMPARE(dm().Grafic->text("familiya") + ' ' + dm().Vozy_raion->text("TTVozy") + ' ' +
                     dm().pwl->text("Operator"),
                 referrers);
    }
};

QTEST_MAIN(TestRegisterLists)

#include "test_register_lists.moc"
