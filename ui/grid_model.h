#pragma once

#include <QAbstractTableModel>
#include <QVector>

class Dataset;

// A grid column: its title, the field it shows and how.
struct GridColumn
{
    QString title;
    QString field;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool bold = false;
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool boldTitle = false;
    bool readOnly = true;
    bool checkBox = false; // a logical field drawn as a raised button holding a check glyph
};

// The rows of a dataset's view as a table; a pending appended row shows at the end. Values are read
// on demand, so a grid over years of orders opens at once. The views are shown a window of at most
// windowRows() consecutive rows, starting at firstRow(): a view keeps an entry for every row it is
// told of, and a million of them would make the journal's grid cost what the journal holds. Model
// rows are rows of the window; datasetRow() and modelRow() translate.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role
    {
        ValueRole = Qt::UserRole, // the field's value as stored, for drawing
        LookInRowRole,            // setData only: the chosen row of a display field's looked-in dataset
    };

    GridModel(Dataset *dataset, QVector<GridColumn> columns, QObject *parent = nullptr);

    static constexpr int DefaultWindowRows = 10000;

    Dataset *dataset() const { return m_dataset; }
    const GridColumn &column(int index) const { return m_columns.at(index); }

    // Every row of the view, the pending one included; the window's rows are rowCount().
    int totalRows() const { return m_total; }
    int firstRow() const { return m_first; }
    int windowRows() const { return m_windowRows; }
    void setWindowRows(int rows);
    int datasetRow(int modelRow) const { return m_first + modelRow; }
    int modelRow(int datasetRow) const;
    // The window moved to start at `first`, kept within the rows; whether it moved.
    bool moveWindow(int first);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Editing a cell begins an edit of the row (moving the cursor there first) and sets the field
    // from the text; a display-field column sets its key field from the chosen value (its text, or
    // the looked-in row with LookInRowRole). A step the dataset refuses stops the edit there and is
    // reported through editFailed(), as a view cannot take an exception.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    void editFailed(const QString &message);
    void windowChanged(); // the rows in all or the window's place among them

private:
    int datasetRows() const;
    void resetRows();
    void setRows(int total, int first);
    void onCurrentChanged();
    void allRowsChanged();
    bool resolveLookup(const GridColumn &column, const QVariant &value, int role, QVariant *key) const;

    Dataset *m_dataset;
    QVector<GridColumn> m_columns;
    int m_windowRows = DefaultWindowRows;
    int m_total = 0;
    int m_first = 0;
    int m_rows = 0; // of the window
};
