#include "dispatch/driver_location_dialog.h"
#include "dispatch/positions_tab.h"
#include "tests/dispatch/small_city.h"
#include "ui/db_grid.h"

#include <QHeaderView>
#include <QPushButton>

#include <functional>
#include <memory>

// Driver positions: the grid of the queue, "Принять", "Опросить" and "Закончить", and the dialog in
// which a queue record is entered, which ends only through its buttons.
class TestPositions : public SmallCity
{
    Q_OBJECT

    std::unique_ptr<TForm13> m_dialog;
    std::unique_ptr<PositionsTab> m_tab;

    Dataset &queue() { return *dm().Vozy_raion; }

    PositionsTab &tab()
    {
        if (!m_tab) {
            m_dialog = std::make_unique<TForm13>(dm(), m_messages);
            m_tab = std::make_unique<PositionsTab>(dm(), *m_dialog, m_messages);
            m_tab->resize(700, 300);
            m_tab->show();
        }
        return *m_tab;
    }
    void release() override
    {
        m_tab.reset();
        m_dialog.reset();
    }

    // Clicks a button of the tab and works the dialog that it opens; returns whether one opened.
    bool inDialog(QPushButton *button, const std::function<void(TForm13 &)> &work)
    {
        bool opened = false;
        whenModalAppears([&](QWidget *modal) {
            opened = modal == m_dialog.get();
            work(*m_dialog);
            if (m_dialog->isVisible()) // the test's own way out, when its work left the dialog open
                m_dialog->done(QDialog::Rejected);
        });
        QTest::mouseClick(button, Qt::LeftButton); // returns once the dialog has closed
        return opened;
    }

private Q_SLOTS:
    void theGridShowsTheQueue()
    {
        stand(Kuznetsov, Central);
        stand(Lebedev, North, true);
        DBGrid &grid = *tab().DBGrid1;
        QStringList titles;
        for (int i = 0; i < grid.model()->columnCount(); ++i)
            titles << grid.model()->headerData(i, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"Позывной", "Фамилия", "Район", "Машина", "Авто№"}));
        const QModelIndex callsign = grid.model()->index(0, 0);
        QCOMPARE(callsign.data().toString(), QString("102"));
        QVERIFY(callsign.data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(Qt::Alignment(callsign.data(Qt::TextAlignmentRole).toInt()), Qt::AlignCenter);
        QVERIFY(!(callsign.flags() & Qt::ItemIsEditable));
        QCOMPARE(grid.selectionBehavior(), QAbstractItemView::SelectRows);
        // A driver without a shift stands with an empty callsign, surname and car.
        QCOMPARE(grid.model()->index(1, 0).data().toString(), QString());
        QCOMPARE(grid.model()->index(1, 1).data().toString(), QString());
        QCOMPARE(grid.model()->index(1, 2).data().toString(), QString("Северный"));
    }

    // "Принять": the dialog with both driver lists; the other list and the details follow a choice.
    // A record whose busy box was never touched has an empty Status and stands in no district view.
    void acceptingPutsADriverAtTheEnd()
    {
        stand(Kuznetsov, Central);
        const bool opened = inDialog(tab().Button6, [this](TForm13 &d) {
            QVERIFY(d.DBLookupListBox1->isEnabled() && d.DBLookupListBox2->isEnabled());
            QCOMPARE(d.DBCheckBox1->checkState(), Qt::PartiallyChecked);
            QCOMPARE(entries(d.DBLookupListBox1->model()), (QStringList{"101", "102", "103", "104"}));
            click(d.DBLookupListBox2, "Соколов");
            QCOMPARE(d.DBLookupListBox1->currentIndex().data().toString(), QString("103"));
            QCOMPARE(d.DBText2->text(), QString("ВАЗ-2107"));
            QCOMPARE(d.DBText3->text(), QString("А103ВС"));
            d.DBLookupComboBox1->setCurrentIndex(0);
            Q_EMIT d.DBLookupComboBox1->activated(0);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        });
        QVERIFY(opened);
        QCOMPARE(queueRows(), QString("1:2@1/f 2:3@1/-"));
        queue().setFilter("Raion=1 and Status=False");
        queue().setFiltered(true);
        QCOMPARE(queue().recordCount(), 1);

        // Accepting him again gives a second record.
        inDialog(tab().Button6, [this](TForm13 &d) {
            click(d.DBLookupListBox1, "103");
            d.DBLookupComboBox1->setCurrentIndex(1);
            Q_EMIT d.DBLookupComboBox1->activated(1);
            QTest::mouseClick(d.DBCheckBox1, Qt::LeftButton);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        });
        QCOMPARE(queueRows(), QString("1:2@1/f 2:3@1/- 3:3@2/t"));
    }

    // "Ок" checks the district first, then the driver; the dialog stays with the record pending.
    void okNeedsADistrictAndADriver_data()
    {
        QTest::addColumn<QString>("callsign"); // typed into the callsign list
        QTest::addColumn<QString>("district"); // typed into the district drop-down
        QTest::addColumn<QString>("message");
        QTest::newRow("neither") << ""
                                 << ""
                                 << "Не указано местонахождение таксиста!";
        QTest::newRow("no district") << "101"
                                     << ""
                                     << "Не указано местонахождение таксиста!";
        QTest::newRow("no driver") << ""
                                   << "Зав"
                                   << "Не указан таксист!";
    }

    void okNeedsADistrictAndADriver()
    {
        QFETCH(QString, callsign);
        QFETCH(QString, district);
        QFETCH(QString, message);
        inDialog(tab().Button6, [&](TForm13 &d) {
            typeText(d.DBLookupListBox1, callsign);
            typeText(d.DBLookupComboBox1, district);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
            QVERIFY(d.isVisible());
            QCOMPARE(queue().state(), Dataset::State::Insert);
            QTest::mouseClick(d.Button2, Qt::LeftButton); // "Отмена" drops the new record
        });
        QCOMPARE(m_messages.texts(), QStringList{message});
        QCOMPARE(queue().state(), Dataset::State::Browse);
        QCOMPARE(m_store->count("vozyraion"), 0);
    }

    // Only "Ок" and "Отмена" end the dialog: the title bar and Esc do not.
    void theDialogEndsOnlyThroughItsButtons()
    {
        stand(Kuznetsov, Central);
        inDialog(tab().Button4, [this](TForm13 &d) {
            QVERIFY(!d.close());
            QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY(d.isVisible());
            QCOMPARE(queue().state(), Dataset::State::Edit);
            QTest::mouseClick(d.Button2, Qt::LeftButton);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(queue().state(), Dataset::State::Browse);
    }

    // "Опросить" (button or double click) changes district and busy flag in place: the record keeps
    // its Id, so in the new district it stands where that Id puts it, not at the end.
    void pollingMovesADriverInPlace()
    {
        stand(Kuznetsov, Central);
        stand(Sokolov, North);
        stand(Popov, North);
        queue().moveTo(0);
        const QPoint firstRow = tab().DBGrid1->visualRect(tab().DBGrid1->model()->index(0, 1)).center();
        whenModalAppears([this](QWidget *) {
            TForm13 &d = *m_dialog;
            QVERIFY(!d.DBLookupListBox1->isEnabled() && !d.DBLookupListBox2->isEnabled());
            d.DBLookupComboBox1->setCurrentIndex(1);
            Q_EMIT d.DBLookupComboBox1->activated(1);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        });
        QTest::mouseClick(tab().DBGrid1->viewport(), Qt::LeftButton, Qt::NoModifier, firstRow);
        QTest::mouseDClick(tab().DBGrid1->viewport(), Qt::LeftButton, Qt::NoModifier, firstRow);
        QCOMPARE(queueRows(), QString("1:2@2/f 2:3@2/f 3:4@2/f"));
        QVERIFY(m_dialog->DBLookupListBox1->isEnabled() && m_dialog->DBLookupListBox2->isEnabled());
    }

    // "Закончить" deletes without a question; Ctrl+Delete asks the toolkit's; on an empty queue
    // neither they nor "Опросить" do anything.
    void takingDriversOffTheLine()
    {
        stand(Kuznetsov, Central);
        stand(Sokolov, North);
        stand(Popov, North);
        queue().moveTo(1);
        QTest::mouseClick(tab().Button5, Qt::LeftButton);
        QCOMPARE(queueRows(), QString("1:2@1/f 3:4@2/f"));
        m_messages.answerNext(Messages::Answer::Yes);
        QTest::keyClick(tab().DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(m_messages.texts(), QStringList{"Delete record?"});
        QCOMPARE(queueRows(), QString("1:2@1/f"));
        QTest::mouseClick(tab().Button5, Qt::LeftButton);
        QCOMPARE(m_store->count("vozyraion"), 0);

        QTest::mouseClick(tab().Button5, Qt::LeftButton);
        QTest::mouseClick(tab().Button4, Qt::LeftButton);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(queue().state(), Dataset::State::Browse);
        QCOMPARE(m_messages.errors(), QStringList());
    }
};

QTEST_MAIN(TestPositions)
#include "test_positions.moc"
