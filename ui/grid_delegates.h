#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class Dataset;

// A cell drawn as the style draws an item view's cell, its text in one line, elided as the style
// would. The style lays a cell's text out two and three times at every drawing, which made a screen
// of the journal cost milliseconds; here each text shown is laid out once and kept while the grid
// shows it (districts, streets, drivers and dates come back on every screen).
class TextCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    struct Shown
    {
        QFont font;
        QStaticText text;
    };
    const QStaticText &laidOut(const QStyleOptionViewItem &cell, int width) const;

    mutable QHash<std::pair<QString, int>, Shown> m_laidOut; // by the text and the width it has
};

// The editor of a display-field column: a drop-down of the looked-in dataset's current view. The
// chosen row is handed to the model, which stores its matched value in the key field.
class LookupColumnDelegate : public TextCellDelegate
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
