#include "ui/grid_delegates.h"

#include "data/data_error.h"
#include "data/dataset.h"
#include "ui/grid_model.h"

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QPainter>

LookupColumnDelegate::LookupColumnDelegate(Dataset *dataset, const QString &field, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_dataset(dataset)
    , m_field(field)
{
}

QWidget *LookupColumnDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                            const QModelIndex &) const
{
    const Dataset::Lookup &lookup = m_dataset->lookupDef(m_field);
    auto *combo = new QComboBox(parent);
    combo->setModel(new GridModel(lookup.lookIn, {GridColumn{QString(), lookup.result}}, combo));
    // Sizing the drop-down by its widest entry would read every row of the looked-in view.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto *list = qobject_cast<QListView *>(combo->view()))
        list->setUniformItemSizes(true);
    // A choice is the end of the edit, as in a drop-down of its own.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        auto *self = const_cast<LookupColumnDelegate *>(this);
        Q_EMIT self->commitData(combo);
        Q_EMIT self->closeEditor(combo);
    });
    return combo;
}

void LookupColumnDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    int row = -1;
    try {
        const Dataset::Lookup &lookup = m_dataset->lookupDef(m_field);
        Dataset::Row found;
        if (lookup.lookIn->findFirst(lookup.match, m_dataset->valueAt(index.row(), lookup.key), &found))
            row = lookup.lookIn->positionOf(found.id);
    } catch (const DataError &) {
        row = -1; // nothing to show as chosen
    }
    combo->setCurrentIndex(row);
}

void LookupColumnDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                        const QModelIndex &index) const
{
    const int row = static_cast<QComboBox *>(editor)->currentIndex();
    if (row >= 0)
        model->setData(index, row, GridModel::LookInRowRole);
}

void CheckBoxColumnDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();

    // The cell's own background and selection, without its text.
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    cell.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    QStyleOptionButton button;
    button.rect = option.rect;
    button.palette = option.palette;
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    style->drawPrimitive(QStyle::PE_PanelButtonCommand, &button, painter, widget);
    const QRect interior = style->subElementRect(QStyle::SE_PushButtonContents, &button, widget);

    QStyleOptionButton check;
    check.palette = option.palette;
    const bool ticked = index.data(GridModel::ValueRole).toBool();
    check.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
    const QSize size(style->pixelMetric(QStyle::PM_IndicatorWidth, &check, widget),
                     style->pixelMetric(QStyle::PM_IndicatorHeight, &check, widget));
    check.rect = QStyle::alignedRect(option.direction, Qt::AlignCenter, size, interior);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, painter, widget);
}
