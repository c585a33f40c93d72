#include "data/data_error.h"
#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"

#include <QPushButton>
#include <QVBoxLayout>

// Bound edit boxes: the first typed change begins the edit, the text reaches the field when the row
// is stored or the box is left, and a text that is no value stops there, kept.
class TestDBEdit : public UiTestCase
{
    Q_OBJECT

    Dataset &journal() { return *dm().Gurnal; }

    void fill() override
    {
        insert("gurnal", {{"Dom", "12а"}, {"Iinfo", "у подъезда"}});
        insert("gurnal", {{"Dom", "7/1"}, {"Kvartira", 40}, {"Telefon", 1}, {"Iinfo", "-"}});
    }

private Q_SLOTS:
    void storesWhatWasTyped_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // after the row was stored
        QTest::addColumn<QVariant>("stored");

        QTest::newRow("house number: text of 5") << "Dom"
                                                 << "007/12"
                                                 << "007/1" << QVariant("007/1");
        QTest::newRow("remarks: 20") << "Iinfo"
                                     << "звонить два раза, код 15"
                                     << "звонить два раза, ко" << QVariant("звонить два раза, ко");
        QTest::newRow("flat loses its zeros") << "Kvartira"
                                              << "007"
                                              << "7" << QVariant(7.0);
        QTest::newRow("telephone loses its zeros") << "Telefon"
                                                   << "0123456"
                                                   << "123456" << QVariant(123456.0);
        QTest::newRow("emptied number") << "Kvartira"
                                        << ""
                                        << "" << QVariant();
    }

    void storesWhatWasTyped()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QVariant, stored);
        journal().next();
        DBEdit edit(dm().DSGurnal, field, m_messages);
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Delete); // the first change begins the edit
        QCOMPARE(journal().state(), Dataset::State::Edit);
        typeText(&edit, typed);
        QVERIFY(!journal().isModified()); // the text is no value until the row is stored
        journal().post();
        QCOMPARE(edit.text(), shown);
        const QVariant value =
            m_store->scalar(QStringLiteral("SELECT %1 FROM gurnal WHERE Id = 2").arg(field));
        QCOMPARE(value.isNull(), stored.isNull());
        QCOMPARE(value.toString(), stored.toString());
    }

    void aTextThatIsNoNumberStopsTheStore()
    {
        journal().next();
        DBEdit flat(dm().DSGurnal, "Kvartira", m_messages);
        typeText(&flat, "a");
        QVERIFY_THROWS_EXCEPTION(DataError, journal().post());
        QCOMPARE(journal().state(), Dataset::State::Edit);
        QCOMPARE(flat.text(), QStringLiteral("a40"));
        QCOMPARE(m_store->scalar("SELECT Kvartira FROM gurnal WHERE Id = 2").toDouble(), 40.0);
    }

    // Leaving the box writes its text; a text that is no value is shown as an error and the box
    // keeps the text and the focus.
    void leavingTheBoxWritesTheText()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *flat = new DBEdit(dm().DSGurnal, "Kvartira", m_messages);
        auto *other = new QPushButton("Далее");
        layout->addWidget(flat);
        layout->addWidget(other);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        flat->setFocus();
        typeText(flat, "015");
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(journal().value("Kvartira"), QVariant(15.0));
        QCOMPARE(flat->text(), QStringLiteral("15"));

        flat->setFocus();
        typeText(flat, "x");
        other->setFocus(Qt::TabFocusReason);
        QCOMPARE(m_messages.errors(),
                 QStringList{"'x15' is not a valid floating point value for field 'Kvartira'"});
        QCOMPARE(flat->text(), QStringLiteral("x15"));
        QCOMPARE(QApplication::focusWidget(), flat);
    }

    void theTypedTextStaysWithItsRowOnly()
    {
        DBEdit dom(dm().DSGurnal, "Dom", m_messages);
        dom.selectAll();
        typeText(&dom, "99");
        journal().setValue("Iinfo", "срочно"); // another control's change to the same pending row
        QCOMPARE(dom.text(), QStringLiteral("99"));
        journal().cancel();
        QCOMPARE(dom.text(), QStringLiteral("12а"));
        journal().next(); // nothing pending, nothing stored on the way
        QCOMPARE(dom.text(), QStringLiteral("7/1"));
        QCOMPARE(m_store->scalar("SELECT Dom FROM gurnal WHERE Id = 1"), QVariant("12а"));
    }

    // A window's own dataset goes with the window, possibly before the boxes bound to it.
    void outlivesItsDataset()
    {
        auto *view = makeCurrentOrdersView(dm(), nullptr);
        DataSource source(view, "DataSource1");
        auto edit = std::make_unique<DBEdit>(&source, "Dom", m_messages);
        delete view;
        edit.reset();
    }
};

QTEST_MAIN(TestDBEdit)
#include "test_db_edit.moc"
