#include "ui/grid_header.h"

#include <QEvent>

GridHeader::GridHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
}

void GridHeader::setModel(QAbstractItemModel *model)
{
    if (this->model() != nullptr)
        disconnect(this->model(), &QAbstractItemModel::headerDataChanged, this, nullptr);
    QHeaderView::setModel(model);
    forgetSize();
    if (model != nullptr)
        connect(model, &QAbstractItemModel::headerDataChanged, this, [this] { forgetSize(); });
}

QSize GridHeader::sizeHint() const
{
    if (!m_size.isValid())
        m_size = QHeaderView::sizeHint();
    return m_size;
}

bool GridHeader::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::Polish:
        forgetSize();
        break;
    default:
        break;
    }
    return QHeaderView::event(event);
}
