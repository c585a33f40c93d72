#pragma once

#include <QHeaderView>

// A grid's column titles. Its size is measured once and again only when the titles, the font or the
// style change: the toolkit measures every title again each time the grid lays its rows out, which
// a write to the grid's table does.
class GridHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit GridHeader(QWidget *parent);

    void setModel(QAbstractItemModel *model) override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;

private:
    void forgetSize() { m_size = QSize(); }

    mutable QSize m_size;
};
