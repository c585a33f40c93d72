#include "registers/city_structure_window.h"
#include "registers/street_dialog.h"
#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

// The window as the menu opens it, with the long-lived street dialog it shows.
struct CityWindows
{
    CityWindows(TDataModule2 &dm, Messages &messages)
        : streetDialog(dm, messages)
        , form(dm, streetDialog, messages)
    {
        form.show();
    }

    QPushButton *button(const QString &name) const { return form.findChild<QPushButton *>(name); }

    // Clicks a button of the page it stands on, as the user reaches it.
    void click(int page, const QString &name)
    {
        form.PageControl1->setCurrentIndex(page);
        QTest::mouseClick(button(name), Qt::LeftButton);
    }

    TForm6 streetDialog;
    TForm5 form;
};

// Keys go where the focus is: the grid's first key opens its cell editor, which takes the rest.
void typeAtFocus(const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
}

QString cellText(const DBGrid *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

// Chooses a district from a cell's drop-down.
void chooseInCell(DBGrid *grid, int row, int column, int district)
{
    const QModelIndex cell = grid->model()->index(row, column);
    grid->edit(cell);
    auto *combo = qobject_cast<QComboBox *>(grid->indexWidget(cell));
    QVERIFY(combo);
    combo->setCurrentIndex(district);
    Q_EMIT combo->activated(district);
}

} // namespace

// The city structure window: cities, districts, the streets' scheme and the distances, with the
// street filter off while it is shown.
class TestCityStructure : public UiTestCase
{
    Q_OBJECT

    void fill() override
    {
        insert("gorod", {{"Gorod", "Светлогорск"}});
        insert("gorod", {{"Gorod", "Заречье"}});
        insert("raion", {{"IdGorod", 1}, {"Raion", "Центр"}});
        insert("raion", {{"IdGorod", 1}, {"Raion", "Порт"}});
        insert("raion", {{"IdGorod", 2}, {"Raion", "Слобода"}});
        insert("ulica", {{"IdRion", 1}, {"Ulica", "Ленина"}});
        insert("ulica", {{"IdRion", 2}, {"Ulica", "Мира"}});
        insert("ulica", {{"IdRion", 2}, {"Ulica", "Речная"}});
        insert("rastoyan", {{"IdRaion1", 1}, {"IdRaion2", 2}, {"KM", 5.0}});
        insert("rastoyan", {{"IdRaion1", 2}, {"IdRaion2", 1}, {"KM", 6.5}});
    }

    Dataset &datasetOf(const QString &table)
    {
        const QHash<QString, Dataset *> datasets{{"gorod", dm().Table4},
                                                 {"raion", dm().Table6},
                                                 {"ulica", dm().Table5},
                                                 {"rastoyan", dm().rastoyan}};
        return *datasets.value(table);
    }

private Q_SLOTS:
    void deletingAsksExceptOnTheDistances_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("before"); // "", "empty" or "new row"
        QTest::addColumn<int>("answer");     // -1: none queued
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("rowsLeft");

        const int yes = int(Messages::Answer::Yes);
        const int no = int(Messages::Answer::No);
        QTest::newRow("city, Yes") << 0 << "Button2"
                                   << "gorod"
                                   << "" << yes << true << 1;
        QTest::newRow("city, No") << 0 << "Button2"
                                  << "gorod"
                                  << "" << no << true << 2;
        QTest::newRow("district, Yes") << 0 << "Button16"
                                       << "raion"
                                       << "" << yes << true << 2;
        QTest::newRow("street, Yes") << 1 << "Button12"
                                     << "ulica"
                                     << "" << yes << true << 2;
        QTest::newRow("distance: no question") << 2 << "Button8"
                                               << "rastoyan"
                                               << "" << -1 << false << 1;
        QTest::newRow("empty cities: nothing asked") << 0 << "Button2"
                                                     << "gorod"
                                                     << "empty" << -1 << false << 0;
        QTest::newRow("empty distances") << 2 << "Button8"
                                         << "rastoyan"
                                         << "empty" << -1 << false << 0;
        QTest::newRow("new district: dropped") << 0 << "Button16"
                                               << "raion"
                                               << "new row" << yes << true << 3;
        QTest::newRow("new distance: dropped") << 2 << "Button8"
                                               << "rastoyan"
                                               << "new row" << -1 << false << 2;
    }

    void deletingAsksExceptOnTheDistances()
    {
        QFETCH(int, page);
        QFETCH(QString, button);
        QFETCH(QString, table);
        QFETCH(QString, before);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(int, rowsLeft);
        if (before == "empty")
            m_store->db().execute("DELETE FROM " + table);
        CityWindows windows(dm(), m_messages);
        Dataset &dataset = datasetOf(table);
        dataset.refresh();
        if (before == "new row")
            dataset.append();
        if (answer >= 0)
            m_messages.answerNext(Messages::Answer(answer));

        windows.click(page, button);
        QCOMPARE(m_messages.errors(), QStringList());
        QCOMPARE(m_messages.texts(), QStringList(asked ? 1 : 0, Messages::defaultDeletionText()));
        QCOMPARE(m_messages.shown.value(0).caption, asked ? "Подтверждение удаления" : QString());
        QCOMPARE(m_store->count(table), rowsLeft);
        QCOMPARE(dataset.state(), Dataset::State::Browse);
    }

    // Nothing follows a deleted row: what referred to it stays and shows it empty.
    void deletingLeavesWhatRefersToIt()
    {
        CityWindows windows(dm(), m_messages);
        m_messages.answerNext(Messages::Answer::Yes);
        windows.click(0, "Button2"); // Светлогорск
        QCOMPARE(windows.form.DBGrid3->model()->rowCount(), 3);

        dm().Table6->moveTo(1); // Порт
        m_messages.answerNext(Messages::Answer::Yes);
        windows.click(0, "Button16");
        QCOMPARE(m_store->count("raion"), 2);
        QCOMPARE(m_store->count("ulica", "IdRion = 2"), 2);
        QCOMPARE(cellText(windows.form.DBGrid4, 1, 0), QString());
        QCOMPARE(cellText(windows.form.DBGrid4, 1, 1), QStringLiteral("Мира"));
        QCOMPARE(cellText(windows.form.DBGrid2, 0, 0), QStringLiteral("Центр"));
        QCOMPARE(cellText(windows.form.DBGrid2, 0, 1), QString());
        QCOMPARE(cellText(windows.form.DBGrid2, 1, 0), QString());
        QCOMPARE(m_store->count("rastoyan"), 2);
    }

    // The copied city number is a change, so the second "Добавить" stores the first, nameless row.
    void aDistrictTakesTheCurrentCity_data()
    {
        QTest::addColumn<bool>("newCity");
        QTest::addColumn<QVariant>("city");
        QTest::newRow("stored city") << false << QVariant(2);
        QTest::newRow("city not yet stored: none") << true << QVariant();
    }

    void aDistrictTakesTheCurrentCity()
    {
        QFETCH(bool, newCity);
        QFETCH(QVariant, city);
        CityWindows windows(dm(), m_messages);
        dm().Table4->moveTo(1);
        if (newCity)
            QTest::mouseClick(windows.form.Button1, Qt::LeftButton);
        QTest::mouseClick(windows.form.Button13, Qt::LeftButton);
        QTest::mouseClick(windows.form.Button13, Qt::LeftButton);
        QCOMPARE(m_store->count("raion"), 4);
        const QVariant stored = m_store->scalar("SELECT IdGorod FROM raion WHERE Id = 4");
        QCOMPARE(stored.isNull(), !city.isValid());
        QCOMPARE(stored.toInt(), city.toInt());
        QCOMPARE(m_store->count("raion", "Id = 4 AND Raion IS NULL"), 1);
        QCOMPARE(dm().Table6->state(), Dataset::State::Insert);
        QCOMPARE(dm().Table4->state(), newCity ? Dataset::State::Insert : Dataset::State::Browse);
    }

    void aCityIsTypedIntoItsNewRow()
    {
        CityWindows windows(dm(), m_messages);
        QVERIFY(QTest::qWaitForWindowActive(&windows.form));
        QTest::mouseClick(windows.form.Button3, Qt::LeftButton); // nothing pending
        QCOMPARE(m_messages.errors(), QStringList{"Dataset not in edit or insert mode"});

        QTest::mouseClick(windows.form.Button1, Qt::LeftButton);
        QTest::mouseClick(windows.form.Button3, Qt::LeftButton);
        QCOMPARE(m_store->count("gorod", "Gorod IS NULL"), 1);

        QTest::mouseClick(windows.form.Button1, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), windows.form.DBGrid1);
        typeAtFocus("Озёрск");
        QTest::mouseClick(windows.form.Button3, Qt::LeftButton);
        QCOMPARE(m_store->count("gorod", "Gorod = 'Озёрск'"), 1);
        QCOMPARE(m_messages.errors().size(), 1);
    }

    // Both districts are chosen from drop-downs and the kilometres typed; the row waits for the
    // list to move on, and its reverse is never made.
    void aDistanceIsEnteredInItsRow()
    {
        CityWindows windows(dm(), m_messages);
        DBGrid *grid = windows.form.DBGrid2;
        windows.click(2, "Button6");
        chooseInCell(grid, 2, 0, 2);
        chooseInCell(grid, 2, 1, 0);
        typeIntoCell(grid, 2, 2, "2,5");
        QCOMPARE(cellText(grid, 2, 0), QStringLiteral("Слобода"));
        QCOMPARE(cellText(grid, 2, 2), QStringLiteral("2,5"));
        QCOMPARE(m_store->count("rastoyan"), 2);

        grid->setCurrentIndex(grid->model()->index(0, 0));
        QCOMPARE(m_store->count("rastoyan", "IdRaion1 = 3 AND IdRaion2 = 1 AND KM = 2.5"), 1);
        QCOMPARE(m_store->count("rastoyan", "IdRaion1 = 1 AND IdRaion2 = 3"), 0);
        QCOMPARE(m_messages.shown.size(), 0);
    }

    void aKmThatIsNotANumberIsRefused()
    {
        CityWindows windows(dm(), m_messages);
        windows.form.PageControl1->setCurrentIndex(2);
        typeIntoCell(windows.form.DBGrid2, 1, 2, "шесть");
        QTRY_COMPARE(m_messages.errors(),
                     QStringList{"'шесть' is not a valid floating point value for field 'KM'"});
        QCOMPARE(dm().rastoyan->state(), Dataset::State::Edit);
        QCOMPARE(dm().rastoyan->recNo(), 1);
        QCOMPARE(m_store->scalar("SELECT KM FROM rastoyan WHERE Id = 2"), QVariant(6.5));
    }

    void changingADistanceOnAnEmptyListBeginsANewOne_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<int>("state");
        QTest::newRow("rows") << false << int(Dataset::State::Edit);
        QTest::newRow("empty") << true << int(Dataset::State::Insert);
    }

    void changingADistanceOnAnEmptyListBeginsANewOne()
    {
        QFETCH(bool, empty);
        QFETCH(int, state);
        if (empty)
            m_store->db().execute("DELETE FROM rastoyan");
        CityWindows windows(dm(), m_messages);
        windows.click(2, "Button7");
        QCOMPARE(int(dm().rastoyan->state()), state);
        QCOMPARE(m_messages.shown.size(), 0);
    }

    // The dialog opens on the name, the district follows; choosing it by key stores its number.
    void aStreetIsAddedThroughTheDialog()
    {
        CityWindows windows(dm(), m_messages);
        TForm6 &dialog = windows.streetDialog;
        QWidgetList focus; // on opening and after each Tab
        whenModalAppears([&](QWidget *) {
            focus << QApplication::focusWidget();
            typeText(dialog.DBEdit1, "Озёрная");
            QTest::keyClick(dialog.DBEdit1, Qt::Key_Tab);
            focus << QApplication::focusWidget();
            QTest::keyClick(dialog.DBLookupComboBox1, Qt::Key_End);
            QTest::keyClick(dialog.DBLookupComboBox1, Qt::Key_Tab);
            focus << QApplication::focusWidget();
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        });
        windows.click(1, "Button10");
        QCOMPARE(focus, (QWidgetList{dialog.DBEdit1, dialog.DBLookupComboBox1, dialog.Button1}));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(m_store->count("ulica", "IdRion = 3 AND Ulica = 'Озёрная'"), 1);
        QCOMPARE(cellText(windows.form.DBGrid4, 3, 0), QStringLiteral("Слобода"));
        QCOMPARE(m_messages.shown.size(), 0);
    }

    // "Изменить" begins nothing: saving an unchanged street is refused and the dialog stays; a change
    // left in it by the title-bar button is stored when the window closes.
    void aStreetIsEditedInTheDialog()
    {
        CityWindows windows(dm(), m_messages);
        TForm6 &dialog = windows.streetDialog;
        dm().Table5->moveTo(1);
        bool stayedOpen = false;
        whenModalAppears([&](QWidget *) {
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            stayedOpen = dialog.isVisible();
            QTest::keyClick(dialog.DBEdit1, Qt::Key_End);
            typeText(dialog.DBEdit1, "-2");
            dialog.close();
        });
        windows.click(1, "Button11");
        QVERIFY(stayedOpen);
        QCOMPARE(m_messages.errors(), QStringList{"Dataset not in edit or insert mode"});
        QCOMPARE(m_store->count("ulica", "Ulica = 'Мира'"), 1);
        windows.form.close();
        QCOMPARE(m_store->count("ulica", "Ulica = 'Мира-2'"), 1);
    }

    // Order entry's street list is one district's; the window lists every street and, once closed,
    // switches the filter on again with the text it had (at first "IdRion=1", off).
    void theStreetFilterIsOffWhileTheWindowIsShown_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("streetsAfter");
        QTest::newRow("order entry's district") << "IdRion=2" << true << 2;
        QTest::newRow("as at start") << "IdRion=1" << false << 1;
    }

    void theStreetFilterIsOffWhileTheWindowIsShown()
    {
        QFETCH(QString, filter);
        QFETCH(bool, on);
        QFETCH(int, streetsAfter);
        Dataset &streets = *dm().Table5;
        streets.setFilter(filter);
        streets.setFiltered(on);
        {
            CityWindows windows(dm(), m_messages);
            QVERIFY(!streets.isFiltered());
            QCOMPARE(windows.form.DBGrid4->model()->rowCount(), 3);
            windows.form.close();
        }
        QVERIFY(streets.isFiltered());
        QCOMPARE(streets.filter(), filter);
        QCOMPARE(streets.recordCount(), streetsAfter);
    }
};

QTEST_MAIN(TestCityStructure)
#include "city_structure_test.moc"
