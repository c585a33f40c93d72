#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"
#include "ui/grid_delegates.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QWheelEvent>

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
    // The queue's districts in a grid beside an edit of the current row's district, shown.
    std::unique_ptr<QWidget> gridBesideEdit()
    {
        auto window = std::make_unique<QWidget>();
        auto *layout = new QHBoxLayout(window.get());
        layout->addWidget(new DBGrid(dm().DSVozy_Raion, {GridColumn{"Район", "Raion"}}, m_messages));
        layout->addWidget(new DBEdit(dm().DSVozy_Raion, "Raion", m_messages));
        window->show();
        return window;
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
        const auto window = gridBesideEdit();
        DBGrid *grid = window->findChild<DBGrid *>();
        auto *edit = window->findChild<DBEdit *>();
        edit->selectAll();
        typeText(edit, "9x");
        click(*grid, 2, 0);
        QCOMPARE(m_messages.errors(), QStringList{"'9x' is not a valid integer value"});
        QCOMPARE(queue().recNo(), 0);
        QCOMPARE(queue().state(), Dataset::State::Edit);
        QTRY_COMPARE(selectedRow(*grid), 0);
    }

    // The row being left was deleted at another workstation while edited here: the move says so
    // once, the edit goes and the cursor moves on, and later moves say nothing.
    void aRowDeletedElsewhereWhileEditedIsLeft()
    {
        const auto window = gridBesideEdit();
        DBGrid *grid = window->findChild<DBGrid *>();
        auto *edit = window->findChild<DBEdit *>();
        click(*grid, 1, 0);
        const qint64 edited = queue().currentId();
        edit->selectAll();
        typeText(edit, "7");
        m_store->anotherWorkstation()->execute(QString("DELETE FROM vozyraion WHERE Id = %1").arg(edited));
        click(*grid, 3, 0);
        QCOMPARE(m_messages.errors().size(), 1);
        QVERIFY2(m_messages.errors().first().startsWith("Запись не найдена: её удалили"),
                 qPrintable(m_messages.errors().first()));
        QCOMPARE(queue().state(), Dataset::State::Browse);
        QCOMPARE(m_store->count("vozyraion"), 3);
        QCOMPARE(m_store->count("vozyraion", "Raion = 7"), 0);
        QTRY_COMPARE(selectedRow(*grid), queue().recNo());
        QVERIFY(queue().currentId() != edited);
        click(*grid, 0, 0);
        QCOMPARE(queue().recNo(), 0);
        QCOMPARE(m_messages.errors().size(), 1);
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

    // A grid over more rows than its window: the row keys, the scroll bar, the wheel and clicks go
    // over every row, the window follows, the cursor stays the dataset's, and a cell editor open
    // when the window moves commits to its own row.
    void aWindowOfRowsReachesEveryRow()
    {
        for (int i = 0; i < 40; ++i)
            insert("vozyraion", {{"Vozy", 100 + i}, {"Raion", 1}, {"Status", 0}});
        queue().refresh();
        const int total = 44;
        GridColumn number{"№", "Vozy"};
        number.readOnly = false;
        DBGrid grid(dm().DSVozy_Raion, {number}, m_messages);
        grid.setWindowRows(10);
        grid.resize(200, grid.horizontalHeader()->sizeHint().height() + 5 * grid.rowHeight(0));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QScrollBar *bar = grid.rowScrollBar();
        QVERIFY(bar->isVisible());
        QVERIFY(!grid.verticalScrollBar()->isVisible());
        QCOMPARE(bar->maximum(), total - bar->pageStep());
        const GridModel &model = *grid.gridModel();
        const int page = grid.viewport()->height() / grid.rowHeight(0);
        // The bar's value is the top row shown in full: at the window's end the top row shows in part.
        const auto cursorShown = [&] {
            const int row = selectedRow(grid);
            const int top = model.datasetRow(grid.rowAt(0));
            return model.rowCount() <= 10 && row >= 0 && model.datasetRow(row) == queue().recNo() &&
                   grid.viewport()->rect().contains(grid.visualRect(model.index(row, 0)).center()) &&
                   (bar->value() == top || bar->value() == top + 1);
        };

        const struct
        {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int row;
        } keys[]{
            {Qt::Key_Down, Qt::NoModifier, 1},
            {Qt::Key_PageDown, Qt::NoModifier, 1 + page},
            {Qt::Key_PageDown, Qt::NoModifier, 1 + 2 * page},
            {Qt::Key_PageDown, Qt::NoModifier, 1 + 3 * page},
            {Qt::Key_End, Qt::ControlModifier, total - 1},
            {Qt::Key_Down, Qt::NoModifier, total - 1},
            {Qt::Key_PageUp, Qt::NoModifier, total - 1 - page},
            {Qt::Key_Up, Qt::NoModifier, total - 2 - page},
            {Qt::Key_Home, Qt::ControlModifier, 0},
            {Qt::Key_Up, Qt::NoModifier, 0},
        };
        for (const auto &key : keys) {
            QTest::keyClick(&grid, key.key, key.modifiers);
            QCOMPARE(queue().recNo(), key.row);
            QVERIFY2(cursorShown(), qPrintable(QStringLiteral("row %1").arg(key.row)));
        }

        // The bar shows rows far from the cursor, which stays; a click chooses a shown row.
        bar->setValue(20);
        QCOMPARE(model.datasetRow(grid.rowAt(0)), 20);
        QCOMPARE(model.index(grid.rowAt(0), 0).data().toString(), queue().textAt(20, "Vozy"));
        QCOMPARE(queue().recNo(), 0);
        QCOMPARE(selectedRow(grid), -1);
        click(grid, grid.rowAt(0), 0);
        QCOMPARE(queue().recNo(), 20);
        // The keys go on from the cursor, wherever the bar was left.
        bar->setValue(0);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(queue().recNo(), 21);
        QVERIFY(cursorShown());

        // The wheel turns the bar over every row.
        const int before = bar->value();
        QWheelEvent down(QPointF(10, 10), grid.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                         QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &down);
        QCOMPARE(bar->value(), before + QApplication::wheelScrollLines());

        // A pending row after the last, past the window, which went back to the top.
        bar->setValue(0);
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        bar->setValue(0);
        queue().append();
        QCOMPARE(queue().recNo(), total);
        QVERIFY(cursorShown());
        queue().cancel();
        QCOMPARE(queue().recNo(), total - 1);
        QVERIFY(cursorShown());

        // A cell editor open when the bar moves the window commits to its own row.
        QTest::keyClick(&grid, Qt::Key_7);
        QVERIFY(grid.viewport()->findChild<QLineEdit *>());
        bar->setValue(0);
        QCOMPARE(queue().recNo(), total - 1);
        QCOMPARE(queue().state(), Dataset::State::Edit);
        queue().post();
        QCOMPARE(m_store->scalar("SELECT Vozy FROM vozyraion WHERE Id = 44"), QVariant(7));
        QCOMPARE(m_store->count("vozyraion", "Vozy = 7"), 1);
    }

    // A cell's text is drawn as written, never as markup; cut to the cell with an ellipsis; and in
    // the font of the cell, though the same text was drawn before in another.
    void cellTextsAreDrawnAsWritten()
    {
        TextCellDelegate delegate;
        QStyledItemDelegate styles;
        QStandardItemModel model(1, 1);
        const auto inkRight = [&](const QString &text, int width, bool bold = false,
                                  const QStyledItemDelegate *drawing = nullptr) {
            model.setData(model.index(0, 0), text);
            QFont font = QApplication::font();
            font.setBold(bold);
            model.setData(model.index(0, 0), font, Qt::FontRole);
            QImage image(400, 30, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.rect = QRect(0, 0, width, 30);
            option.state = QStyle::State_Enabled | QStyle::State_Active;
            option.palette = QApplication::palette();
            (drawing ? drawing : &delegate)->paint(&painter, option, model.index(0, 0));
            painter.end();
            int right = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) != QColor(Qt::white).rgb())
                        right = std::max(right, x);
            return right;
        };
        QVERIFY(inkRight("<b>Ок</b>", 400) > 2 * inkRight("Ок", 400));
        const QString longName = "Краснопресненская набережная";
        const QFontMetrics metrics(QApplication::font());
        const int narrow = metrics.horizontalAdvance(longName) / 2;
        QVERIFY(inkRight(longName, narrow) < narrow);
        QVERIFY(std::abs(inkRight(longName, narrow) - inkRight(longName, narrow, false, &styles)) <= 2);
        const QString wide = "ШШШШШШШШШШШШ";
        QVERIFY(inkRight(wide, 400, true) > inkRight(wide, 400, false));
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
