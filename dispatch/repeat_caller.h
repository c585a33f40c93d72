#pragma once

#include "data/caller_addresses.h"

#include <QObject>

class Messages;
class OrderEntryTab;
class SuggestionList;
class TDataModule2;

// Repeat callers on the tab "Заказ": F3 goes to the telephone box, where the digits typed offer the
// addresses that earlier orders from numbers beginning with them were picked up at. Taking one fills
// the telephone and the pick-up address as the dispatcher would have chosen them, and moves on to
// the destination.
class RepeatCaller : public QObject
{
    Q_OBJECT

public:
    RepeatCaller(OrderEntryTab &tab, TDataModule2 &dm, Messages &messages);

    SuggestionList *list() const { return m_list; }

private:
    void focusTelephone();
    void lookUp();
    void take();

    OrderEntryTab &m_tab;
    TDataModule2 &m_dm;
    CallerAddresses m_addresses;
    QList<CallerAddress> m_shown;
    SuggestionList *m_list;
};
