#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>

// The data grid: its selection and the dataset's cursor follow each other, a refused move leaves the
// grid on the row that could not be left, and an editable grid edits, offers lists and deletes.
class TestDBGrid : public UiTestCase
{
    Q_OBJECT

    Dataset &queue() { return *dm().Vozy_raion; }

    void fill() override
    {
        for (const char *name : {"Северный", "Южный", "Заречный"})
            insert("raion", {{"Raion", name}});
        for (int i = 0; i < 4; ++i)
            insert("vozyraion", {{"Vozy", 10 + i}, {"Raion", 1 + i % 3}, {"Status", i % 2}});
    }

    // The queue window's grid: the busy flag as a check box and the district by name.
    std::unique_ptr<DBGrid> queueGrid(bool editable)
    {
        GridColumn status{"Сост.", "Status"};
        status.checkBox = true;
        status.readOnly = !editable;
        GridColumn district{"Район", "TTRaion"};
        district.readOnly = !editable;
        auto grid =
            std::make_unique<DBGrid>(dm().DSVozy_Raion, QVector<GridColumn>{status, district}, m_messages);
        grid->resize(300, 300);
        grid->show();
        return grid;
    }
    static void click(DBGrid &grid, int row, int column = 1, bool twice = false)
    {
        const QPoint cell = grid.visualRect(grid.gridModel()->index(row, column)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell);
        if (twice) // the double click's own event follows a click
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    }
    static int selectedRow(const DBGrid &grid)
    {
        const QModelIndexList rows = grid.selectionModel()->selectedRows();
        return rows.size() == 1 && rows.first().row() == grid.currentIndex().row() ? rows.first().row() : -1;
    }

private Q_SLOTS:
    void selectionAndCursorFollowEachOther()
    {
        const auto grid = queueGrid(false);
        queue().moveTo(2);
        QCOMPARE(selectedRow(*grid), 2);
        click(*grid, 1);
        QCOMPARE(queue().recNo(), 1);
        QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(queue().recNo(), 3);
        queue().append();
        QCOMPARE(selectedRow(*grid), 4); // the new row, at the end
        queue().cancel();
        QCOMPARE(selectedRow(*grid), 3);
        m_store->db().execute("DELETE FROM vozyraion WHERE Id <> 2");
        queue().refresh();
        QCOMPARE(selectedRow(*grid), 0);

        // A double click tells once the cursor is on the row.
        int rowWhenTold = -1;
        connect(grid.get(), &DBGrid::rowDoubleClicked, this, [&] { rowWhenTold = queue().recNo(); });
        click(*grid, 0, 1, true);
        QCOMPARE(rowWhenTold, 0);
    }

    // The titles are measured once, and again when the font they are drawn in changes.
    void theTitlesAreMeasuredAgainInAnotherFont()
    {
        const auto grid = queueGrid(false);
        const int height = grid->horizontalHeader()->sizeHint().height();
        QFont larger = grid->horizontalHeader()->font();
        larger.setPointSizeF(larger.pointSizeF() * 3);
        grid->horizontalHeader()->setFont(larger);
        QVERIFY(grid->horizontalHeader()->sizeHint().height() > height);
    }

    // The row being left holds a text that is not a value: the move is refused, the error shown,
    // and the grid goes back to the row, which stays pending.
    void aRefusedMoveKeepsTheGridOnItsRow()
    {
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        auto *grid = new DBGrid(dm().DSVozy_Raion, {GridColumn{"Район", "Raion"}}, m_messages);
        auto *edit = new DBEdit(dm().DSVozy_Raion, "Raion", m_messages);
        layout->addWidget(grid);
        layout->addWidget(edit);
        window.show();
        edit->selectAll();
        typeText(edit, "9x");
        click(*grid, 2, 0);
        QCOMPARE(m_messages.errors(), QStringList{"'9x' is not a valid integer value"});
        QCOMPARE(queue().recNo(), 0);
        QCOMPARE(queue().state(), Dataset::State::Edit);
        QTRY_COMPARE(selectedRow(*grid), 0);
    }

    void ctrlDeleteAsksTheToolkitQuestion_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("answer"); // -1: none queued (answered No)
        QTest::addColumn<int>("rowsLeft");

        QTest::newRow("OK") << true << int(Messages::Answer::Yes) << 3;
        QTest::newRow("Cancel") << true << int(Messages::Answer::No) << 4;
        QTest::newRow("read-only grid: not asked") << false << -1 << 4;
    }

    void ctrlDeleteAsksTheToolkitQuestion()
    {
        QFETCH(bool, editable);
        QFETCH(int, answer);
        QFETCH(int, rowsLeft);
        const auto grid = queueGrid(editable);
        m_messages.answerNext(Messages::Answer(std::max(answer, 0)));
        queue().moveTo(1);
        QTest::keyClick(grid.get(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(m_messages.texts(), QStringList(editable ? 1 : 0, "Delete record?"));
        QCOMPARE(m_store->count("vozyraion"), rowsLeft);
        QCOMPARE(m_store->count("vozyraion", "Id = 2"), rowsLeft - 3);
    }

    // Clicking another row while a cell editor is open: the editor commits to its own row, which is
    // stored when the cursor moves on.
    void clickingAwayFromAnOpenEditorStoresItsRow()
    {
        const auto grid = queueGrid(true);
        queue().moveTo(1);
        grid->setCurrentIndex(grid->gridModel()->index(1, 0));
        QTest::keyClick(grid.get(), Qt::Key_F); // the typed key opens the editor with it
        QVERIFY(grid->viewport()->findChild<QLineEdit *>());
        click(*grid, 3);
        QCOMPARE(queue().recNo(), 3);
        QCOMPARE(queue().state(), Dataset::State::Browse);
        QCOMPARE(m_store->scalar("SELECT Status FROM vozyraion WHERE Id = 2"), QVariant(0));
        QTRY_COMPARE(selectedRow(*grid), 3);
    }

    // Tab leaves the grid, read-only or editable, from the grid and from an open cell editor alike.
    void tabLeavesTheGrid_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("editorOpen");
        QTest::newRow("read-only") << false << false;
        QTest::newRow("editable") << true << false;
        QTest::newRow("cell editor open") << true << true;
    }

    void tabLeavesTheGrid()
    {
        QFETCH(bool, editable);
        QFETCH(bool, editorOpen);
        QWidget window;
        auto *layout = new QHBoxLayout(&window);
        GridColumn district{"Район", "Raion"};
        district.readOnly = !editable;
        auto *grid = new DBGrid(dm().DSVozy_Raion, {district}, m_messages);
        auto *after = new QLineEdit;
        layout->addWidget(grid);
        layout->addWidget(after);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
        grid->setCurrentIndex(grid->gridModel()->index(1, 0));
        QWidget *focused = grid;
        if (editorOpen) {
            QTest::keyClick(grid, Qt::Key_3); // the typed key opens the editor with it
            focused = QApplication::focusWidget();
            QVERIFY(focused != grid && grid->isAncestorOf(focused));
        }
        QTest::keyClick(focused, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), after);
        QCOMPARE(queue().recNo(), 1);
        QCOMPARE(queue().value("Raion"), QVariant(editorOpen ? 3 : 2));
    }

    void displayFieldCellOffersTheLookedInView()
    {
        dm().Table6->setFilter("Id<>2");
        dm().Table6->setFiltered(true);
        const auto grid = queueGrid(true);
        queue().moveTo(2); // stands in Заречный
        grid->edit(grid->gridModel()->index(2, 1));
        auto *combo = grid->viewport()->findChild<QComboBox *>();
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QStringLiteral("Северный"));
        QCOMPARE(combo->currentText(), QStringLiteral("Заречный"));
        combo->setCurrentIndex(0);
        Q_EMIT combo->activated(0);
        QCOMPARE(queue().value("Raion"), QVariant(1));
        QCOMPARE(queue().state(), Dataset::State::Edit);
    }
};

QTEST_MAIN(TestDBGrid)
#include "test_db_grid.moc"
