#include "dispatch/current_orders_view.h"
#include "dispatch/driver_location_dialog.h"
#include "dispatch/positions_tab.h"
#include "dispatch/queue_window.h"
#include "tests/dispatch/small_city.h"
#include "tests/support/store_fault.h"
#include "ui/db_grid.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

#include <memory>

// The queue window: a tall, narrow, fixed window over the shared queue view, its busy cells drawn as
// check boxes, and its context menu.
class TestQueueWindow : public SmallCity
{
    Q_OBJECT

    std::unique_ptr<TForm13> m_dialog;
    std::unique_ptr<PositionsTab> m_positions;
    std::unique_ptr<CurrentOrdersView> m_currentOrders;
    std::unique_ptr<TForm25> m_window;

    Dataset &queue() { return *dm().Vozy_raion; }

    TForm25 &window()
    {
        if (!m_window) {
            m_dialog = std::make_unique<TForm13>(dm(), m_messages);
            m_positions = std::make_unique<PositionsTab>(dm(), *m_dialog, m_messages);
            m_currentOrders = std::make_unique<CurrentOrdersView>(dm());
            m_window = std::make_unique<TForm25>(dm(), *m_positions, *m_currentOrders->Table1, m_messages);
            m_window->show();
        }
        return *m_window;
    }
    void release() override
    {
        m_window.reset();
        m_currentOrders.reset();
        m_positions.reset();
        m_dialog.reset();
    }

    QImage cell(int row)
    {
        DBGrid &grid = *window().DBGRID;
        return grid.viewport()->grab(grid.visualRect(grid.model()->index(row, 0))).toImage();
    }

private Q_SLOTS:
    void aTallNarrowFixedWindowFirstAtTheCentre()
    {
        TForm25 &w = window();
        QCOMPARE(w.windowTitle(), QString("Очередь"));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(w.height() > 1.5 * w.width());
        QVERIFY(!w.isModal());
        const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(w.pos(), QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, w.size(), desktop).topLeft());
        w.move(w.pos() + QPoint(40, 30));
        const QPoint moved = w.pos();
        w.hide();
        w.show();
        QCOMPARE(w.pos(), moved);
    }

    void theGridAndTheDriversDetails()
    {
        stand(Kuznetsov, Central);
        stand(Sokolov, North, true);
        TForm25 &w = window();
        QAbstractItemModel &model = *w.DBGRID->model();
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("№"));
        QVERIFY(model.headerData(1, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
        QVERIFY(model.index(0, 1).data(Qt::FontRole).value<QFont>().bold());
        for (int column = 0; column < 3; ++column)
            QVERIFY(model.index(0, column).flags() & Qt::ItemIsEditable);
        queue().moveTo(1);
        QCOMPARE(w.DBText1->text(), QString("103"));
        QCOMPARE(w.DBText2->text(), QString("ВАЗ-2107"));
        QCOMPARE(w.DBText3->text(), QString("А103ВС"));
        QCOMPARE(w.DBText1->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QVERIFY(w.DBText1->font().bold());
    }

    // A raised button with a check glyph: ticked for busy, clear for free and for an empty flag alike.
    void busyCellsAreDrawnAsCheckBoxes()
    {
        stand(Kuznetsov, Central, true);
        stand(Sokolov, Central, false);
        stand(Popov, Central, QVariant());
        window();
        queue().moveTo(2); // the selection's colour kept away from the cells compared
        QVERIFY(cell(0) != cell(1));
        queue().moveTo(0);
        QCOMPARE(cell(1), cell(2));
    }

    void theContextMenu()
    {
        TForm25 &w = window();
        QStringList items;
        for (const QAction *item : w.PopupMenu1->actions())
            items << (item->isSeparator() ? "-" : item->text());
        QCOMPARE(items, (QStringList{"Назначить на текущий заказ", "-", "Опросить водителя", "-",
                                     "Поставить на линию", "Снять с линии"}));
        QCOMPARE(w.PopupMenu1->defaultAction(), w.N3);
        for (const QAction *item : {w.N1, w.N3, w.N5, w.N6})
            QVERIFY(!item->icon().isNull());
    }

    // The current order gets the queue record's driver, replacing any; no queue record changes, and
    // without a current order nothing is written at all.
    void assigningTheCurrentOrder_data()
    {
        QTest::addColumn<QVariantList>("orders"); // drivers of the orders, true the current ones
        QTest::addColumn<QString>("journalAfter");
        QTest::newRow("no current order") << QVariantList{} << "";
        QTest::newRow("only done orders") << QVariantList{QVariant()} << "1:-/0";
        QTest::newRow("without a driver") << QVariantList{QVariant(), true} << "1:-/0 2:3/1";
        QTest::newRow("replacing a driver") << QVariantList{int(Popov)} << "1:3/1";
    }

    void assigningTheCurrentOrder()
    {
        QFETCH(QVariantList, orders);
        QFETCH(QString, journalAfter);
        for (const QVariant &order : orders)
            insert("gurnal", {{"IdVozy", order.typeId() == QMetaType::Int ? order : QVariant()},
                              {"Status", order.isNull() ? 0 : 1}});
        stand(Kuznetsov, Central);
        stand(Sokolov, North, true);
        const QString before = queueRows();
        TForm25 &w = window();
        m_currentOrders->Table1->last();
        queue().moveTo(1);
        w.N1->trigger();
        QCOMPARE(
            m_store
                ->scalar(
                    "SELECT ifnull(group_concat(Id || ':' || ifnull(IdVozy, '-') || '/' || Status, ' '), '') "
                    "FROM gurnal")
                .toString(),
            journalAfter);
        QCOMPARE(queueRows(), before);
        QCOMPARE(m_messages.shown.size(), 0);
    }

    // A cell changed in the grid is stored when the cursor leaves its row; a store that refuses it
    // keeps the cursor on the row, the change pending and the queue as it was, until it can be stored.
    void aRefusedCellChangeKeepsTheRowPending_data() { StoreFault::addWriteFaultRows(); }

    void aRefusedCellChangeKeepsTheRowPending()
    {
        QFETCH(QString, fault);
        stand(Kuznetsov, Central);
        stand(Sokolov, North);
        TForm25 &w = window();
        queue().first();
        typeIntoCell(w.DBGRID, 0, 0, "True");
        QCOMPARE(queue().state(), Dataset::State::Edit);
        const QString before = queueRows();
        StoreFault injected(*m_store, StoreFault::kindNamed(fault));

        w.DBGRID->setFocus();
        QTest::keyClick(w.DBGRID, Qt::Key_Down);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY2(m_messages.errors().first().contains(StoreFault::said(StoreFault::kindNamed(fault))),
                 qPrintable(m_messages.errors().first()));
        QCOMPARE(queue().state(), Dataset::State::Edit);
        QCOMPARE(queue().recNo(), 0);
        QTRY_COMPARE(w.DBGRID->currentIndex().row(), 0); // the grid goes back to the row it could not leave
        QCOMPARE(queueRows(), before);

        injected.lift();
        QTest::keyClick(w.DBGRID, Qt::Key_Down);
        QCOMPARE(m_messages.errors().size(), 1);
        QCOMPARE(queue().state(), Dataset::State::Browse);
        QCOMPARE(queueRows(), QString("1:2@1/t 2:3@2/f"));
    }

    // The items run the buttons of the positions tab, also while that tab is disabled.
    void theItemsRunThePositionsButtons()
    {
        stand(Kuznetsov, Central);
        stand(Sokolov, North);
        TForm25 &w = window();
        m_positions->setEnabled(false);
        queue().moveTo(1);
        bool listsFixed = false;
        whenModalAppears([&](QWidget *) {
            listsFixed = !m_dialog->DBLookupListBox1->isEnabled();
            QTest::mouseClick(m_dialog->Button2, Qt::LeftButton);
        });
        w.N3->trigger();
        QVERIFY(listsFixed);
        whenModalAppears([&](QWidget *) {
            QCOMPARE(queue().state(), Dataset::State::Insert);
            QTest::mouseClick(m_dialog->Button2, Qt::LeftButton);
        });
        w.N5->trigger();
        w.N6->trigger();
        QCOMPARE(queueRows(), QString("1:2@1/f"));
    }
};

QTEST_MAIN(TestQueueWindow)
#include "test_queue_window.moc"
