#include "ui/grid_delegates.h"

#include "data/data_error.h"
#include "data/dataset.h"
#include "ui/grid_model.h"

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QPainter>

namespace {

// Enough for several screens of every grid; past it the texts are laid out afresh.
constexpr int LaidOutTexts = 4096;

} // namespace

const QStaticText &TextCellDelegate::laidOut(const QStyleOptionViewItem &cell, int width) const
{
    Shown &shown = m_laidOut[{cell.text, width}];
    if (shown.font != cell.font || shown.text.text().isNull()) {
        const QFontMetrics &metrics = cell.fontMetrics;
        shown.font = cell.font;
        shown.text.setTextFormat(Qt::PlainText); // a name is never markup
        shown.text.setPerformanceHint(QStaticText::AggressiveCaching);
        shown.text.setText(metrics.horizontalAdvance(cell.text) > width
                               ? metrics.elidedText(cell.text, cell.textElideMode, width)
                               : cell.text);
        shown.text.prepare(QTransform(), cell.font);
    }
    return shown.text;
}

void TextCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QWidget *widget = cell.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);

    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Normal
                                                                             : QPalette::Inactive;
    if (!cell.text.isEmpty()) {
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect room = cell.rect.adjusted(margin, 0, -margin, 0);
        if (m_laidOut.size() > LaidOutTexts)
            m_laidOut.clear();
        const QStaticText &text = laidOut(cell, room.width());
        const QRect place = QStyle::alignedRect(cell.direction, cell.displayAlignment,
                                                text.size().toSize().boundedTo(room.size()), room);
        painter->save();
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(
            group, (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        painter->setClipRect(room, Qt::IntersectClip);
        painter->drawStaticText(place.topLeft(), text);
        painter->restore();
    }

    if (cell.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(cell);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &cell, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = cell.palette.color(
            group, (cell.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

LookupColumnDelegate::LookupColumnDelegate(Dataset *dataset, const QString &field, QObject *parent)
    : TextCellDelegate(parent)
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

namespace {

// The dataset's row of a grid model's cell: the model shows a window of the rows.
int datasetRow(const QModelIndex &index)
{
    const auto *model = qobject_cast<const GridModel *>(index.model());
    return model ? model->datasetRow(index.row()) : index.row();
}

} // namespace

void LookupColumnDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    int row = -1;
    try {
        const Dataset::Lookup &lookup = m_dataset->lookupDef(m_field);
        Dataset::Row found;
        if (lookup.lookIn->findFirst(lookup.match, m_dataset->valueAt(datasetRow(index), lookup.key), &found))
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
