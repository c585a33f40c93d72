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
};

// The rows of a dataset's view as a table; a pending appended row shows at the end. Values are read
// on demand, so a grid over years of orders opens at once.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    GridModel(Dataset *dataset, QVector<GridColumn> columns, QObject *parent = nullptr);

    Dataset *dataset() const { return m_dataset; }
    const GridColumn &column(int index) const { return m_columns.at(index); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Editing a cell begins an edit of the row (moving the cursor there first) and sets the field
    // from the text; a display-field column sets its key field from the chosen value.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    Dataset *m_dataset;
    QVector<GridColumn> m_columns;
    int m_rows = 0;
};
