#pragma once

#include <QStyledItemDelegate>

class Dataset;

// The editor of a display-field column: a drop-down of the looked-in dataset's current view. The
// chosen row is handed to the model, which stores its matched value in the key field.
class LookupColumnDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    LookupColumnDelegate(Dataset *dataset, const QString &field, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    Dataset *m_dataset;
    QString m_field;
};

// A logical field's cell drawn as a raised button holding a check glyph, ticked when the field is
// true (an empty field reads false). Editing still takes the field's text.
class CheckBoxColumnDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
