#pragma once

#include "ui/grid_model.h"

#include <QTableView>

class DataSource;
class Messages;

// A grid bound to a data source: whole-row selection that follows the dataset's current row and moves
// it when the user selects another row. Read-only unless columns say otherwise; in an editable grid,
// typing into a cell edits that row, a display-field column offers the looked-in dataset's values,
// and Ctrl+Delete deletes the current row after the question "Delete record?" (OK/Cancel).
class DBGrid : public QTableView
{
    Q_OBJECT

public:
    DBGrid(DataSource *source, QVector<GridColumn> columns, Messages &messages, QWidget *parent = nullptr);

    GridModel *gridModel() const { return m_model; }
    Dataset *dataset() const;

Q_SIGNALS:
    void rowDoubleClicked(); // after the cursor moved to the row

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void followCursor();

    GridModel *m_model;
    Messages &m_messages;
    bool m_following = false;
};
