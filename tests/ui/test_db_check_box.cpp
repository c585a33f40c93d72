#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"

// The busy box of a queue record: three states shown, two chosen, and a click begins the edit.
class TestDBCheckBox : public UiTestCase
{
    Q_OBJECT

    Dataset &queue() { return *dm().Vozy_raion; }

private Q_SLOTS:
    void clickTicksOrClears_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("afterClick");
        QTest::newRow("empty") << QVariant() << int(Qt::PartiallyChecked) << true;
        QTest::newRow("busy") << QVariant(1) << int(Qt::Checked) << false;
        QTest::newRow("free") << QVariant(0) << int(Qt::Unchecked) << true;
    }

    void clickTicksOrClears()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, shown);
        QFETCH(bool, afterClick);
        insert("vozyraion", {{"Vozy", 3}, {"Status", stored}});
        DBCheckBox busy(dm().DSVozy_Raion, "Status", "Занят", m_messages);
        QCOMPARE(int(busy.checkState()), shown);
        busy.click();
        QCOMPARE(queue().state(), Dataset::State::Edit);
        queue().post();
        QCOMPARE(m_store->scalar("SELECT Status FROM vozyraion"), QVariant(afterClick ? 1 : 0));
        busy.click(); // and back, never to the undetermined state
        QCOMPARE(busy.checkState(), afterClick ? Qt::Unchecked : Qt::Checked);
    }
};

QTEST_MAIN(TestDBCheckBox)
#include "test_db_check_box.moc"
