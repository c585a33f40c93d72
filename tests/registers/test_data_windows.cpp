#include "data/data_module.h"
#include "registers/calendar_window.h"
#include "registers/driver_data_window.h"
#include "registers/staff_data_window.h"
#include "tests/support/store_fault.h"
#include "tests/support/test_database.h"
#include "tests/support/ui_support.h"
#include "ui/db_controls.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

// The data windows of drivers and dispatchers: their keyboard order, number boxes, date buttons and
// "+" buttons, each driven as a user would and checked in the stored record.
class TestDataWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_store;
    ScriptedMessages m_messages;
    std::unique_ptr<TForm10> m_calendar;
    std::unique_ptr<QDialog> m_carModels; // stand-ins for the models and colours windows
    std::unique_ptr<QDialog> m_colours;
    std::unique_ptr<TForm4> m_driverData;
    std::unique_ptr<TForm8> m_staffData;

    TDataModule2 &dm() { return m_store->module(); }

    // The window of the row's register, shown on a new record (or on the stored one to change).
    QDialog *shown(const QString &which, bool stored = false)
    {
        QDialog *window = which == "driver" ? static_cast<QDialog *>(m_driverData.get()) : m_staffData.get();
        Dataset &table = which == "driver" ? *dm().Table1 : *dm().sotrud;
        stored ? table.edit() : table.append();
        window->show();
        QApplication::setActiveWindow(window);
        return window;
    }
    Dataset &tableOf(const QString &which) { return which == "driver" ? *dm().Table1 : *dm().sotrud; }
    QPushButton *okOf(const QString &which)
    {
        return which == "driver" ? m_driverData->Button4 : m_staffData->Button3;
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void init()
    {
        m_store = std::make_unique<TestDatabase>();
        m_messages = ScriptedMessages();
        m_store->insert("auto", {{"Name", "Волга"}});
        m_store->insert("color", {{"Color", "Белый"}});
        m_store->insert("taxisti", {{"Familiya", "Петров"}, {"DenyRogdeniya", "1980-02-01"}});
        m_store->insert("sotrud", {{"Family", "Иванова"}, {"DataVidachi", "1980-02-01"}});
        m_calendar = std::make_unique<TForm10>();
        m_carModels = std::make_unique<QDialog>();
        m_colours = std::make_unique<QDialog>();
        m_driverData =
            std::make_unique<TForm4>(dm(), *m_calendar, m_carModels.get(), m_colours.get(), m_messages);
        m_staffData = std::make_unique<TForm8>(dm(), *m_calendar, m_messages);
    }

    void cleanup()
    {
        m_staffData.reset();
        m_driverData.reset();
        m_colours.reset();
        m_carModels.reset();
        m_calendar.reset();
        m_store.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void keyboardOrder_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("driver") << "driver"
                                << QString("DBEdit1 DBEdit2 DBEdit3 DBEdit4 "
                                           "DBEdit6 DBEdit7 DBEdit9 DBEdit8 DBEdit10 Button3 Button5 "
                                           "DBLookupComboBox3 DBLookupComboBox4 DBEdit11 DBEdit12 DBEdit13 "
                                           "DBLookupComboBox1 DBLookupComboBox2 DBEdit5 Button1 Button2 "
                                           "Button4 DBEdit1")
                                       .split(' ');
        QTest::newRow("dispatcher")
            << "dispatcher"
            << QString("DBEdit1 DBEdit2 DBEdit3 DBEdit4 "
                       "DBEdit5 DBEdit6 DBEdit8 DBEdit7 Button1 "
                       "DBLookupComboBox1 DBLookupComboBox2 DBEdit9 DBEdit10 DBEdit11 Button2 "
                       "DBEdit12 Button3 DBEdit1")
                   .split(' ');
    }

    void keyboardOrder()
    {
        QFETCH(QString, which);
        QFETCH(QStringList, order);
        QDialog *window = shown(which);
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->findChild<QWidget *>(order.first())->setFocus();
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, order);
    }

    // Numbers read as identifiers take digits only and are stored without leading zeros; the plate
    // and the names take any character.
    void numberBoxes_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        const auto row = [](const char *name, const char *which, const char *box, const char *field,
                            const char *typed, const char *shown, const char *stored) {
            QTest::newRow(name) << QString(which) << QString(box) << QString(field) << QString(typed)
                                << QString(shown) << QString(stored);
        };
        row("callsign", "driver", "DBEdit1", "Number", "0а777", "0777", "777");
        row("passport number", "driver", "DBEdit6", "NumberPasport", "12-3,4", "1234", "1234");
        row("plate", "driver", "DBEdit5", "NumberAuto", "а123вс", "а123вс", "а123вс");
        row("staff number", "dispatcher", "DBEdit1", "Number", "007", "007", "7");
        row("flat", "dispatcher", "DBEdit10", "Kvartira", "0.5", "05", "5");
    }

    void numberBoxes()
    {
        QFETCH(QString, which);
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        auto *edit = this->shown(which)->findChild<DBEdit *>(box);
        typeText(edit, typed);
        QCOMPARE(edit->text(), shown);
        QTest::mouseClick(okOf(which), Qt::LeftButton);
        QCOMPARE(tableOf(which).state(), Dataset::State::Browse);
        QCOMPARE(tableOf(which).text(field), stored);
        QCOMPARE(edit->text(), stored);
    }

    // A date button writes the confirmed date as day.month.year over the box's text; a calendar
    // closed without "   OK" leaves the box as it was, before any confirmation as after one.
    void dateButtons_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("confirmedBefore");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QDate>("stored");
        const auto row = [](const char *name, const char *which, const char *button, const char *box,
                            const char *field, bool confirmedBefore, bool confirm, const char *shown) {
            QTest::newRow(name) << QString(which) << QString(button) << QString(box) << QString(field)
                                << confirmedBefore << confirm << QString(shown)
                                << (confirm ? QDate(2001, 1, 9) : QDate(1980, 2, 1));
        };
        row("birthday", "driver", "Button3", "DBEdit8", "DenyRogdeniya", false, true, "9.1.2001");
        row("closed at once", "driver", "Button3", "DBEdit8", "DenyRogdeniya", false, false, "01.02.1980");
        row("closed after a confirmation", "driver", "Button3", "DBEdit8", "DenyRogdeniya", true, false,
            "01.02.1980");
        row("dispatcher's issue date", "dispatcher", "Button1", "DBEdit7", "DataVidachi", false, true,
            "9.1.2001");
    }

    void dateButtons()
    {
        QFETCH(QString, which);
        QFETCH(QString, button);
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(bool, confirmedBefore);
        QFETCH(bool, confirm);
        QFETCH(QString, shown);
        QFETCH(QDate, stored);
        TForm10 &calendar = *m_calendar;
        const auto pick = [&calendar](const QDate &date, bool ok) {
            QTimer::singleShot(0, &calendar, [&calendar, date, ok] {
                calendar.MonthCalendar1->setSelectedDate(date);
                ok ? calendar.BitBtn1->click() : calendar.reject();
            });
        };
        pick(QDate(1970, 3, 5), confirmedBefore);
        calendar.chooseDate();

        QDialog *window = this->shown(which, true);
        pick(QDate(2001, 1, 9), confirm);
        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(window->findChild<DBEdit *>(box)->text(), shown);
        QTest::mouseClick(okOf(which), Qt::LeftButton);
        QCOMPARE(m_messages.errors(), QStringList());
        QCOMPARE(tableOf(which).value(field).toDate(), stored);
    }

    // A date the field cannot take stops the storing; the window stays open on the pending record.
    void aWrongDateKeepsTheWindowOpen()
    {
        shown("driver", true);
        m_driverData->DBEdit10->selectAll();
        typeText(m_driverData->DBEdit10, "31.2.2001");
        QTest::mouseClick(m_driverData->Button4, Qt::LeftButton);
        QCOMPARE(m_messages.errors(), QStringList{"'31.2.2001' is not a valid date"});
        QVERIFY(m_driverData->isVisible());
        QCOMPARE(dm().Table1->state(), Dataset::State::Edit);
    }

    // "+" shows the models or colours window; back from it, the drop-down offers what is there now.
    void plusButtonsShowModelsAndColours_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dropDown");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("key");
        QTest::newRow("model") << "Button1"
                               << "DBLookupComboBox1"
                               << "auto"
                               << "Name"
                               << "Нива"
                               << "IdAuto";
        QTest::newRow("colour") << "Button2"
                                << "DBLookupComboBox2"
                                << "color"
                                << "Color"
                                << "Синий"
                                << "Idcvet";
    }

    void plusButtonsShowModelsAndColours()
    {
        QFETCH(QString, button);
        QFETCH(QString, dropDown);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QString, added);
        QFETCH(QString, key);
        shown("driver");
        Dataset &looked = table == "auto" ? *dm().Table2 : *dm().Table3;
        QDialog *expected = table == "auto" ? m_carModels.get() : m_colours.get();
        QWidget *opened = nullptr;
        whenModalAppears([&](QWidget *modal) {
            opened = modal;
            looked.append();
            looked.setValue(field, added);
            looked.post();
            modal->close();
        });
        QTest::mouseClick(m_driverData->findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(opened, expected);

        auto *choice = m_driverData->findChild<DBLookupComboBox *>(dropDown);
        QCOMPARE(choice->count(), 2);
        typeText(choice, added.left(1));
        QCOMPARE(choice->currentText(), added);
        QCOMPARE(dm().Table1->value(key), looked.value("Id"));
    }

    // "Ок" on a store that refuses the write: the message says why, the window stays open with what
    // was typed, nothing is stored, and the same "Ок" stores the record once the store takes it.
    void aRefusedSaveKeepsTheWindowAsTyped_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("fault");
        for (const char *which : {"driver", "staff"}) {
            for (const char *fault : {"locked", "read-only"}) {
                QTest::addRow("%s, new, %s", which, fault) << which << false << fault;
                QTest::addRow("%s, changed, %s", which, fault) << which << true << fault;
            }
        }
    }

    void aRefusedSaveKeepsTheWindowAsTyped()
    {
        QFETCH(QString, which);
        QFETCH(bool, stored);
        QFETCH(QString, fault);
        const bool driver = which == "driver";
        QDialog *window = shown(which, stored);
        DBEdit *surname = driver ? m_driverData->DBEdit2 : m_staffData->DBEdit2;
        const QString table = driver ? "taxisti" : "sotrud";
        const QString field = driver ? "Familiya" : "Family";
        surname->selectAll();
        typeText(surname, "Смирнова");
        const QString before = m_store->dump();
        StoreFault injected(*m_store, StoreFault::kindNamed(fault));

        QTest::mouseClick(okOf(which), Qt::LeftButton);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY2(m_messages.errors().first().contains(StoreFault::said(StoreFault::kindNamed(fault))),
                 qPrintable(m_messages.errors().first()));
        QVERIFY(window->isVisible());
        QCOMPARE(surname->text(), QString("Смирнова"));
        QVERIFY(tableOf(which).state() != Dataset::State::Browse);
        QCOMPARE(m_store->dump(), before);

        injected.lift();
        QTest::mouseClick(okOf(which), Qt::LeftButton);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY(!window->isVisible());
        QCOMPARE(m_store->count(table, field + " = 'Смирнова'"), 1);
        QCOMPARE(m_store->count(table), stored ? 1 : 2);
    }

    // Without the models and colours windows the "+" buttons do nothing.
    void missingWindowsAreSkipped()
    {
        TForm4 window(dm(), *m_calendar, nullptr, nullptr, m_messages);
        window.Button1->click();
        window.Button2->click();
        QCOMPARE(m_messages.shown.size(), 0);
    }
};

QTEST_MAIN(TestDataWindows)

#include "test_data_windows.moc"
