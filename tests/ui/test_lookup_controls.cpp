#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"

#include <QSignalSpy>

// Lookup lists and drop-downs: they offer what the looked-in dataset lets through, show the row that
// matches the key field, and only a choice of the user stores the matched value in the key field.
class TestLookupControls : public UiTestCase
{
    Q_OBJECT

    Dataset &journal() { return *dm().Gurnal; }
    Dataset &streets() { return *dm().Table5; }

    void fill() override
    {
        insert("ulica", {{"IdRion", 1}, {"Ulica", "Ленина"}});
        insert("ulica", {{"IdRion", 2}, {"Ulica", "Мира"}});
        insert("ulica", {{"IdRion", 2}, {"Ulica", "Садовая"}});
        insert("gurnal", {{"IdOtkudaUlica", 3}});
        insert("gurnal", {{"IdOtkudaUlica", 999}}); // a street deleted since
    }
    static QStringList rowsOf(const QAbstractItemModel *model)
    {
        QStringList rows;
        for (int i = 0; i < model->rowCount(); ++i)
            rows << model->index(i, 0).data().toString();
        return rows;
    }
    static int selectedRow(const DBLookupListBox &list)
    {
        const QModelIndexList rows = list.selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }

private Q_SLOTS:
    void offerTheLookedInViewAndShowTheKeysRow()
    {
        DBLookupListBox list(dm().DSGurnal, "Otkuda_Ulica", m_messages);
        DBLookupComboBox combo(dm().DSGurnal, "Otkuda_Ulica", m_messages);
        QSignalSpy listChosen(&list, &DBLookupListBox::chosen);
        QSignalSpy comboChosen(&combo, &DBLookupComboBox::chosen);
        QCOMPARE(rowsOf(list.model()), (QStringList{"Ленина", "Мира", "Садовая"}));
        QCOMPARE(selectedRow(list), 2);
        QCOMPARE(combo.currentText(), QStringLiteral("Садовая"));

        streets().setFilter("IdRion=2");
        streets().setFiltered(true);
        QCOMPARE(rowsOf(combo.model()), (QStringList{"Мира", "Садовая"}));
        QCOMPARE(selectedRow(list), 1); // the key's row moved with the view
        QCOMPARE(combo.currentIndex(), 1);

        journal().next(); // a dangling key: no row shown
        QCOMPARE(selectedRow(list), -1);
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.currentText(), QString());

        // None of this was a choice.
        journal().append();
        insert("ulica", {{"IdRion", 2}, {"Ulica", "Новая"}});
        QCOMPARE(rowsOf(list.model()).size(), 3);
        QCOMPARE(listChosen.size() + comboChosen.size(), 0);
        QVERIFY(!journal().isModified());
    }

    // Entering a list that shows no row chooses nothing; the first arrow key chooses its first row.
    void choosingInTheListStoresTheMatchedId()
    {
        streets().setFilter("IdRion=2");
        streets().setFiltered(true);
        journal().next();
        DBLookupListBox list(dm().DSGurnal, "Otkuda_Ulica", m_messages);
        QSignalSpy chosen(&list, &DBLookupListBox::chosen);
        list.show();
        QApplication::setActiveWindow(&list);
        QVERIFY(QTest::qWaitForWindowActive(&list));
        list.setFocus(Qt::TabFocusReason);
        QCOMPARE(journal().state(), Dataset::State::Browse);
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(journal().value("IdOtkudaUlica"), QVariant(2)); // Мира
        QCOMPARE(journal().state(), Dataset::State::Edit);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                          list.visualRect(list.model()->index(1, 0)).center());
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.at(1).at(0), QVariant(1));
        journal().post();
        QCOMPARE(m_store->scalar("SELECT IdOtkudaUlica FROM gurnal WHERE Id = 2"), QVariant(3));
    }

    void choosingInTheDropDownStoresTheMatchedId()
    {
        journal().next();
        DBLookupComboBox combo(dm().DSGurnal, "Otkuda_Ulica", m_messages);
        QSignalSpy chosen(&combo, &DBLookupComboBox::chosen);
        QVERIFY(!combo.isEditable());
        QTest::keyClick(&combo, Qt::Key_Down);
        QTest::keyClick(&combo, Qt::Key_Down);
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.at(1).at(0), QVariant(1));
        QCOMPARE(journal().value("IdOtkudaUlica"), QVariant(2));
        QCOMPARE(combo.currentText(), QStringLiteral("Мира"));
    }

    // Typing the first letters chooses the first entry that begins with them, as a click would.
    void typingChoosesTheFirstMatchingEntry_data()
    {
        QTest::addColumn<bool>("dropDown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("key");
        QTest::newRow("list, one letter") << false << "м" << QVariant(2);
        QTest::newRow("list, two letters") << false << "Са" << QVariant(3);
        QTest::newRow("list, no match") << false << "Я" << QVariant(3);
        QTest::newRow("drop-down, one letter") << true << "л" << QVariant(1);
        QTest::newRow("drop-down, two letters") << true << "Ми" << QVariant(2);
    }

    void typingChoosesTheFirstMatchingEntry()
    {
        QFETCH(bool, dropDown);
        QFETCH(QString, typed);
        QFETCH(QVariant, key);
        std::unique_ptr<QWidget> control;
        if (dropDown)
            control = std::make_unique<DBLookupComboBox>(dm().DSGurnal, "Otkuda_Ulica", m_messages);
        else
            control = std::make_unique<DBLookupListBox>(dm().DSGurnal, "Otkuda_Ulica", m_messages);
        control->show();
        control->setFocus();
        typeText(control.get(), typed);
        QCOMPARE(journal().value("IdOtkudaUlica"), key);
    }

    // With the looked-in cursor moved, the chosen row is the one its dataset stands on; a row pending
    // there is settled first, and a choice whose row that settling took out of the view stores nothing.
    void aChoiceMovesTheLookedInCursor_data()
    {
        QTest::addColumn<bool>("moves");
        QTest::addColumn<QString>("pendingStreet"); // moved to another district before the choice
        QTest::addColumn<int>("chosenRow");
        QTest::addColumn<QVariant>("key");
        QTest::addColumn<QVariant>("streetsCursor");
        QTest::newRow("not asked") << false << QString() << 1 << QVariant(3) << QVariant(2);
        QTest::newRow("moves") << true << QString() << 1 << QVariant(3) << QVariant(3);
        QTest::newRow("another row settled") << true << "Мира" << 1 << QVariant(3) << QVariant(3);
        QTest::newRow("its own row settled away") << true << "Садовая" << 1 << QVariant(3) << QVariant(2);
    }

    void aChoiceMovesTheLookedInCursor()
    {
        QFETCH(bool, moves);
        QFETCH(QString, pendingStreet);
        QFETCH(int, chosenRow);
        QFETCH(QVariant, key);
        QFETCH(QVariant, streetsCursor);
        streets().setFilter("IdRion=2");
        streets().setFiltered(true);
        DBLookupComboBox combo(dm().DSGurnal, "Otkuda_Ulica", m_messages);
        combo.setMovesLookInCursor(moves);
        streets().locate("Ulica", pendingStreet.isEmpty() ? QStringLiteral("Мира") : pendingStreet);
        if (!pendingStreet.isEmpty()) {
            streets().edit();
            streets().setValue("IdRion", 1);
        }
        journal().append();
        combo.setCurrentIndex(chosenRow);
        Q_EMIT combo.activated(chosenRow);
        QCOMPARE(journal().value("IdOtkudaUlica"), pendingStreet == "Садовая" ? QVariant() : key);
        QCOMPARE(streets().value("Id"), streetsCursor);
    }

    // A key whose row the looked-in view leaves out is shown as the whole table has it.
    void aKeyOutsideTheViewIsShownFromTheWholeTable()
    {
        Dataset wholeStreets(m_store->db(), "bd\\ulica.db");
        streets().setFilter("IdRion=1");
        streets().setFiltered(true);
        DBLookupComboBox combo(dm().DSGurnal, "Otkuda_Ulica", m_messages);
        DBText label(dm().DSGurnal, "Otkuda_Ulica");
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(label.text(), QString());
        combo.showOutsideViewFrom(&wholeStreets);
        label.showOutsideViewFrom(&wholeStreets);
        QCOMPARE(combo.placeholderText(), QStringLiteral("Садовая"));
        QCOMPARE(label.text(), QStringLiteral("Садовая"));

        m_store->db().execute("UPDATE ulica SET Ulica = 'Вишнёвая' WHERE Id = 3");
        m_store->db().notifyWritten("ulica");
        QCOMPARE(label.text(), QStringLiteral("Вишнёвая"));
        QCOMPARE(combo.placeholderText(), QStringLiteral("Вишнёвая"));

        streets().setFiltered(false); // back in the view: shown as its row
        QCOMPARE(combo.currentText(), QStringLiteral("Вишнёвая"));
        QCOMPARE(combo.placeholderText(), QString());

        journal().next(); // a dangling key shows nothing either way
        QCOMPARE(label.text(), QString());
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(combo.placeholderText(), QString());
    }
};

QTEST_MAIN(TestLookupControls)
#include "test_lookup_controls.moc"
