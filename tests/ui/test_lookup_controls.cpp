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
};

QTEST_MAIN(TestLookupControls)
#include "test_lookup_controls.moc"
