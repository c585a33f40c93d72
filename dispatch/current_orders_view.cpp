#include "dispatch/current_orders_view.h"

#include "data/data_module.h"

CurrentOrdersView::CurrentOrdersView(TDataModule2 &dm, QObject *parent)
    : QObject(parent)
    , Table1(makeCurrentOrdersView(dm, this))
    , DataSource1(new DataSource(Table1, QStringLiteral("DataSource1"), this))
{
}
