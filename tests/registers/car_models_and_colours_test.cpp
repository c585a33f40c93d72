#include "registers/car_models_window.h"
#include "registers/colours_window.h"
#include "tests/support/store_fault.h"
#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Either window, by the controls they share.
struct NameWindow
{
    std::unique_ptr<NameListWindow> window;
    DBGrid *list = nullptr;
    DBEdit *box = nullptr;
    QPushButton *add = nullptr;
    QPushButton *remove = nullptr;
    QPushButton *save = nullptr;
    QString table;
    QString field;
    QString displayField; // the drivers' display field that shows the name

    Dataset &dataset() const { return *list->dataset(); }
    void click(QPushButton *button) const { QTest::mouseClick(button, Qt::LeftButton); }
};

NameWindow nameWindow(bool colours, TDataModule2 &dm, Messages &messages)
{
    if (colours) {
        auto window = std::make_unique<TForm17>(dm, messages);
        NameWindow w{nullptr,         window->DBGrid2, window->DBEdit1, window->Button6, window->Button9,
                     window->Button7, "color",         "Color",         "color"};
        w.window = std::move(window);
        return w;
    }
    auto window = std::make_unique<TForm16>(dm, messages);
    NameWindow w{nullptr,         window->DBGrid1, window->DBEdit1, window->Button1, window->Button3,
                 window->Button4, "auto",          "Name",          "Auto"};
    w.window = std::move(window);
    return w;
}

} // namespace

// The car models and colours windows: "Сохранить" stores only an addition begun with "Добавить",
// and what the table layer refuses is said and changes nothing.
class TestCarModelsAndColours : public UiTestCase
{
    Q_OBJECT

    void fill() override
    {
        insert("auto", {{"Name", "Волга"}});
        insert("auto", {{"Name", "Нива"}});
        insert("color", {{"Color", "белый"}});
        insert("color", {{"Color", "синий"}});
    }

    static void bothWindows()
    {
        QTest::addColumn<bool>("colours");
        QTest::newRow("car models") << false;
        QTest::newRow("colours") << true;
    }

    int named(const NameWindow &w, const QString &name)
    {
        return m_store->count(w.table, w.field + (name.isNull() ? " IS NULL" : " = ?"),
                              name.isNull() ? QVariantList() : QVariantList{name});
    }

private Q_SLOTS:
    void anAdditionIsStoredBySave_data()
    {
        QTest::addColumn<bool>("colours");
        QTest::addColumn<QString>("typed");
        QTest::newRow("car model") << false << "Лада";
        QTest::newRow("car model, nothing typed") << false << QString();
        QTest::newRow("colour") << true << "красный";
        QTest::newRow("colour, nothing typed") << true << QString();
    }

    void anAdditionIsStoredBySave()
    {
        QFETCH(bool, colours);
        QFETCH(QString, typed);
        const NameWindow w = nameWindow(colours, dm(), m_messages);
        w.window->show();
        w.click(w.add);
        QVERIFY(w.window->additionPending());
        typeText(w.box, typed);
        w.click(w.save);
        QCOMPARE(m_messages.shown.size(), 0);
        QVERIFY(!w.window->isVisible());
        QVERIFY(!w.window->additionPending());
        QCOMPARE(m_store->count(w.table), 3);
        QCOMPARE(named(w, typed), 1);
    }

    // A store held by another program, refusing writes, or out of room: "Сохранить" says so, the
    // typed name stays pending in the open window, and the same click stores it once the store is free.
    void aRefusedSaveKeepsTheNameUntilTheStoreIsFree_data()
    {
        QTest::addColumn<bool>("colours");
        QTest::addColumn<QString>("fault");
        for (const bool colours : {false, true}) {
            for (const char *fault : {"locked", "read-only", "disk full"})
                QTest::addRow("%s, %s", colours ? "colours" : "car models", fault) << colours << fault;
        }
    }

    void aRefusedSaveKeepsTheNameUntilTheStoreIsFree()
    {
        QFETCH(bool, colours);
        QFETCH(QString, fault);
        const NameWindow w = nameWindow(colours, dm(), m_messages);
        const QString name = colours ? "бирюзовый" : "Лада Веста";
        StoreFault injected(*m_store, StoreFault::kindNamed(fault), w.table, {{w.field, name}});
        const int rows = m_store->count(w.table);
        const int sameName = named(w, name); // the rows that filled the store
        w.window->show();
        w.click(w.add);
        typeText(w.box, name);
        w.click(w.save);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY2(m_messages.errors().first().contains(StoreFault::said(StoreFault::kindNamed(fault))),
                 qPrintable(m_messages.errors().first()));
        QVERIFY(w.window->isVisible());
        QVERIFY(w.window->additionPending());
        QCOMPARE(w.dataset().state(), Dataset::State::Insert);
        QCOMPARE(w.box->text(), name);
        QCOMPARE(m_store->count(w.table), rows);

        injected.lift();
        w.click(w.save);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY(!w.window->isVisible());
        QCOMPARE(m_store->count(w.table), rows + 1);
        QCOMPARE(named(w, name), sameName + 1);
    }

    // A changed name is not stored by "Сохранить": it waits in the table until the list moves on.
    void aChangedNameWaitsForTheListToMove_data() { bothWindows(); }

    void aChangedNameWaitsForTheListToMove()
    {
        QFETCH(bool, colours);
        const NameWindow w = nameWindow(colours, dm(), m_messages);
        w.window->show();
        QTest::keyClick(w.box, Qt::Key_End);
        typeText(w.box, "2");
        w.click(w.save);
        QCOMPARE(m_messages.shown.size(), 0);
        QVERIFY(!w.window->isVisible());
        QCOMPARE(m_store->count(w.table, w.field + " LIKE '%2'"), 0);
        QCOMPARE(w.dataset().state(), Dataset::State::Edit);

        w.window->show();
        w.list->setCurrentIndex(w.list->model()->index(1, 0));
        QCOMPARE(m_store->count(w.table, "Id = 1 AND " + w.field + " LIKE '%2'"), 1);
    }

    void deleting_data()
    {
        QTest::addColumn<bool>("colours");
        QTest::addColumn<QString>("before"); // "", "empty" or "new row"
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<int>("rowsLeft");
        const QStringList none;
        const QStringList empty{"Cannot perform this operation on an empty dataset"};
        for (const bool colours : {false, true}) {
            const char *window = colours ? "colours" : "car models";
            QTest::addRow("%s: the current row, no question", window) << colours << "" << none << 1;
            QTest::addRow("%s: empty list", window) << colours << "empty" << empty << 0;
            QTest::addRow("%s: a new row is dropped", window) << colours << "new row" << none << 2;
        }
    }

    void deleting()
    {
        QFETCH(bool, colours);
        QFETCH(QString, before);
        QFETCH(QStringList, errors);
        QFETCH(int, rowsLeft);
        const NameWindow w = nameWindow(colours, dm(), m_messages);
        if (before == "empty") {
            m_store->db().execute("DELETE FROM " + w.table);
            w.dataset().refresh();
        }
        w.window->show();
        if (before == "new row")
            w.click(w.add);
        w.click(w.remove);
        QCOMPARE(m_messages.texts(), errors);
        QCOMPARE(m_store->count(w.table), rowsLeft);
        QCOMPARE(w.dataset().state(), Dataset::State::Browse);
        QVERIFY(w.window->isVisible());
    }

    // Closed by its title bar, the window keeps the flag; once the new row was settled elsewhere,
    // "Сохранить" is refused and the window stays, until "Добавить" begins a row again.
    void theFlagOutlivesTheWindowsClosing_data() { bothWindows(); }

    void theFlagOutlivesTheWindowsClosing()
    {
        QFETCH(bool, colours);
        const NameWindow w = nameWindow(colours, dm(), m_messages);
        w.window->show();
        w.click(w.add);
        w.window->close();
        QVERIFY(w.window->additionPending());
        QCOMPARE(w.dataset().state(), Dataset::State::Insert);
        w.dataset().first(); // unchanged: dropped

        w.window->show();
        w.click(w.save);
        QCOMPARE(m_messages.errors(), QStringList{"Dataset not in edit or insert mode"});
        QVERIFY(w.window->isVisible());
        QVERIFY(w.window->additionPending());

        w.click(w.add);
        typeText(w.box, "серый");
        w.click(w.save);
        QVERIFY(!w.window->isVisible());
        QCOMPARE(m_store->count(w.table), 3);
        QCOMPARE(named(w, "серый"), 1);
    }

    void onlyTheColoursAreEditedInTheList_data() { bothWindows(); }

    void onlyTheColoursAreEditedInTheList()
    {
        QFETCH(bool, colours);
        const NameWindow w = nameWindow(colours, dm(), m_messages);
        w.window->show();
        QTest::keyClick(w.list, Qt::Key_X);
        QCOMPARE(w.list->indexWidget(w.list->currentIndex()) != nullptr, colours); // a cell editor opened
    }

    // The drivers' "+" shows the window over their own modal dialog; on return the drop-down offers
    // what was added.
    void anAdditionIsOfferedAtOnceBehindTheDriversDialog_data() { bothWindows(); }

    void anAdditionIsOfferedAtOnceBehindTheDriversDialog()
    {
        QFETCH(bool, colours);
        const NameWindow w = nameWindow(colours, dm(), m_messages);
        QDialog driver;
        auto *dropDown = new DBLookupComboBox(dm().DSTaxist, w.displayField, m_messages, &driver);
        auto *plus = new QPushButton("+", &driver);
        auto *layout = new QVBoxLayout(&driver);
        layout->addWidget(dropDown);
        layout->addWidget(plus);
        connect(plus, &QPushButton::clicked, w.window.get(), &QDialog::exec);

        QStringList offered;
        whenModalAppears([&](QWidget *) {
            whenModalAppears([&](QWidget *) {
                w.click(w.add);
                typeText(w.box, "Москвич");
                w.click(w.save);
            });
            QTest::mouseClick(plus, Qt::LeftButton);
            for (int i = 0; i < dropDown->count(); ++i)
                offered << dropDown->itemText(i);
            driver.close();
        });
        driver.exec();
        QCOMPARE(offered.size(), 3);
        QCOMPARE(offered.last(), QStringLiteral("Москвич"));
    }
};

QTEST_MAIN(TestCarModelsAndColours)
#include "car_models_and_colours_test.moc"
