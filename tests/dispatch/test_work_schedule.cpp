#include "data/data_module.h"
#include "dispatch/schedule_window.h"
#include "dispatch/shift_dialog.h"
#include "tests/support/test_database.h"
#include "tests/support/ui_support.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QApplication>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include <memory>

// The work schedule and its shift dialog: rows added, changed and deleted through the real windows.
class TestWorkSchedule : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_store;
    ScriptedMessages m_messages;
    std::unique_ptr<TForm11> m_shift;
    std::unique_ptr<TForm9> m_window;
    qint64 m_petrov = 0;
    qint64 m_sidorov = 0;

    TDataModule2 &dm() { return m_store->module(); }
    Dataset &schedule() { return *dm().Grafic; }

    // What the shift dialog showed when it opened, and what the test did there.
    struct Seen
    {
        bool shown = false;
        QString callsign;
        QString driver;
    };

    // Runs in the shift dialog once it is up: chooses the driver by his initial, types the times,
    // presses "   OK". The dialog stays open when storing fails.
    void fillShiftWhenShown(Seen *seen, const QString &initial, const QString &start, const QString &end)
    {
        whenModalAppears([=, this](QWidget *modal) {
            seen->shown = modal == m_shift.get();
            if (!initial.isEmpty())
                typeText(m_shift->DBLookupComboBox1, initial);
            seen->callsign = m_shift->DBText1->text();
            seen->driver = m_shift->DBLookupComboBox1->currentText();
            for (auto [box, text] : {std::pair{m_shift->DBEdit1, start}, std::pair{m_shift->DBEdit2, end}}) {
                box->selectAll();
                typeText(box, text);
            }
            QTest::mouseClick(m_shift->BitBtn1, Qt::LeftButton);
            if (m_shift->isVisible())
                m_shift->reject(); // a refused time: the test looks at the pending row
        });
    }

    QVariant stored(const char *field, qint64 id)
    {
        return m_store->scalar(QString("SELECT \"%1\" FROM grafic WHERE Id = ?").arg(field), {id});
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void init()
    {
        m_store = std::make_unique<TestDatabase>();
        m_messages = ScriptedMessages();
        const qint64 volga = m_store->insert("auto", {{"Name", "Волга"}});
        m_petrov = m_store->insert("taxisti", {{"Familiya", "Петров"}, {"Number", 101}, {"IdAuto", volga}});
        m_sidorov = m_store->insert("taxisti", {{"Familiya", "Сидоров"}, {"Number", 102}});
        m_shift = std::make_unique<TForm11>(dm(), m_messages);
        m_window = std::make_unique<TForm9>(dm(), *m_shift, m_messages);
        m_window->show();
    }

    void cleanup()
    {
        m_window.reset();
        m_shift.reset();
        m_store.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // The callsign follows the chosen driver; a driver may hold several shifts, each listed.
    void addingShifts()
    {
        Seen first;
        fillShiftWhenShown(&first, "С", "8:00", "20:00");
        QTest::mouseClick(m_window->Button1, Qt::LeftButton);
        QVERIFY(first.shown);
        QCOMPARE(first.callsign, QString("102"));
        QCOMPARE(first.driver, QString("Сидоров"));
        QCOMPARE(schedule().state(), Dataset::State::Browse);
        const qint64 row = schedule().currentId();
        QCOMPARE(stored("IdTaxist", row), QVariant(m_sidorov));
        QCOMPARE(stored("Timestart", row), QVariant("08:00:00"));
        QCOMPARE(stored("Timeend", row), QVariant("20:00:00"));

        Seen second;
        QTest::qWait(QApplication::keyboardInputInterval()); // a new search, not the first one's letters
        fillShiftWhenShown(&second, "С", "20:00", "8:00");
        QTest::mouseClick(m_window->Button1, Qt::LeftButton);
        const GridModel &grid = *m_window->DBGrid1->gridModel();
        QCOMPARE(grid.rowCount(), 2);
        for (int r = 0; r < 2; ++r) {
            QCOMPARE(grid.index(r, 0).data().toString(), QString("102"));
            QCOMPARE(grid.index(r, 1).data().toString(), QString("Сидоров"));
        }
        QCOMPARE(grid.index(1, 2).data().toString(), QString("20:00:00"));
    }

    // "Изменить" edits the current row, and on an empty schedule begins one as "Добавить" does.
    void changing_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("callsign");
        QTest::addColumn<bool>("hasDriver");
        QTest::newRow("a row") << 1 << "101" << true;
        QTest::newRow("no row") << 0 << "" << false;
    }

    void changing()
    {
        QFETCH(int, rows);
        QFETCH(QString, callsign);
        QFETCH(bool, hasDriver);
        for (int i = 0; i < rows; ++i)
            m_store->insert("grafic", {{"IdTaxist", m_petrov}, {"Timestart", "09:00:00"}});
        schedule().refresh();
        Seen seen;
        fillShiftWhenShown(&seen, "", "10:30", "18:00");
        QTest::mouseClick(m_window->Button2, Qt::LeftButton);
        QCOMPARE(seen.callsign, callsign);
        QCOMPARE(m_store->count("grafic"), 1);
        const qint64 row = schedule().currentId();
        QCOMPARE(!stored("IdTaxist", row).isNull(), hasDriver);
        QCOMPARE(stored("Timestart", row), QVariant("10:30:00"));
    }

    // A text that is not a time stops the storing with the conversion message; the row stays pending.
    void aWrongTimeIsRefused()
    {
        Seen seen;
        fillShiftWhenShown(&seen, "П", "25:00", "20:00");
        QTest::mouseClick(m_window->Button1, Qt::LeftButton);
        QCOMPARE(m_messages.errors(), QStringList{"'25:00' is not a valid time"});
        QCOMPARE(schedule().state(), Dataset::State::Insert);
        QCOMPARE(m_store->count("grafic"), 0);
    }

    // Deleting asks first; the driver's queue place stays and shows him empty once his row is gone.
    void deleting_data()
    {
        const QStringList asked{" Внимание: Объект будет удалён. Удалить объект? "};
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<int>("rowsLeft");
        QTest::addColumn<QString>("queueShows");
        QTest::newRow("empty schedule") << 0 << int(Messages::Answer::Yes) << QStringList() << 0 << " ";
        QTest::newRow("No") << 1 << int(Messages::Answer::No) << asked << 1 << "101 Петров";
        QTest::newRow("Yes") << 1 << int(Messages::Answer::Yes) << asked << 0 << " ";
    }

    void deleting()
    {
        QFETCH(int, rows);
        QFETCH(int, answer);
        QFETCH(QStringList, questions);
        QFETCH(int, rowsLeft);
        QFETCH(QString, queueShows);
        for (int i = 0; i < rows; ++i)
            m_store->insert("grafic", {{"IdTaxist", m_petrov}});
        const qint64 place =
            m_store->insert("vozyraion", {{"Vozy", m_petrov}, {"Raion", 1}, {"Status", false}});
        schedule().refresh();
        Dataset &queue = *dm().Vozy_raion;
        queue.refresh();
        m_messages.answerNext(Messages::Answer(answer));
        QTest::mouseClick(m_window->Button3, Qt::LeftButton);

        QCOMPARE(m_messages.texts(), questions);
        for (const ScriptedMessages::Shown &question : std::as_const(m_messages.shown))
            QCOMPARE(question.caption, QString("Подтверждение удаления"));
        QCOMPARE(m_store->count("grafic"), rowsLeft);
        QCOMPARE(m_store->count("vozyraion", "Id = ?", {place}), 1);
        QCOMPARE(queue.text("TTVozyNumber") + ' ' + queue.text("TTVozy"), queueShows);
    }
};

QTEST_MAIN(TestWorkSchedule)

#include "test_work_schedule.moc"
