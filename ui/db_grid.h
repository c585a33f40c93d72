#pragma once

#include "ui/grid_model.h"

#include <QTableView>

class DataSource;
class Messages;

// A grid bound to a data source: whole-row selection that follows the dataset's current row and moves
// it when the user selects another row; arrows move between rows and Tab leaves the grid. Read-only unless
// columns say otherwise; in an editable grid, typing into a cell edits that row, a display-field column
// offers the looked-in dataset's values, and Ctrl+Delete deletes the current row after the question "Delete
// record?" (OK/Cancel). The view is given a window of the rows (see GridModel) and scrolls within it;
// the scroll bar it shows, the wheel and the row keys go over every row, moving the window as needed.
class DBGrid : public QTableView
{
    Q_OBJECT

public:
    DBGrid(DataSource *source, QVector<GridColumn> columns, Messages &messages, QWidget *parent = nullptr);

    GridModel *gridModel() const { return m_model; }
    Dataset *dataset() const;
    // The scroll bar shown, over every row: its value is the row at the top. The toolkit's own
    // verticalScrollBar() covers the window only and stays hidden.
    QScrollBar *rowScrollBar() const { return m_rowBar; }
    void setWindowRows(int rows); // more than the grid shows at once: 10,000 unless a test says less

    // Ctrl+Delete is on in editable grids; a read-only grid that deletes rows this way switches it on.
    void setDeletesOnCtrlDelete(bool on) { m_deletesOnCtrlDelete = on; }
    bool deletesOnCtrlDelete() const { return m_deletesOnCtrlDelete; }

Q_SIGNALS:
    void rowDoubleClicked(); // after the cursor moved to the row

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    int cursorRow() const;
    void followCursor();
    void selectCursorRow(bool scrollToIt);
    void bringIntoWindow(int row);
    void showFromRow(int top);
    void syncRowBar();
    void finishEditing();
    void onDoubleClicked(const QModelIndex &index);
    bool moveDatasetTo(int row); // whether the dataset is on the row

    GridModel *m_model;
    QScrollBar *m_rowBar;
    Messages &m_messages;
    bool m_following = false; // the grid is being put on the dataset's row
    bool m_moving = false;    // the dataset is being put on the grid's row
    bool m_deletesOnCtrlDelete = false;
};
