#include "dispatch/repeat_caller.h"

#include "data/data_module.h"
#include "data/value_text.h"
#include "dispatch/order_entry.h"
#include "ui/db_controls.h"
#include "ui/error_guard.h"
#include "ui/suggestion_list.h"

#include <QShortcut>

RepeatCaller::RepeatCaller(OrderEntryTab &tab, TDataModule2 &dm, Messages &messages)
    : QObject(&tab)
    , m_tab(tab)
    , m_dm(dm)
    , m_addresses(dm.database())
    , m_list(new SuggestionList(
          tab.DBEdit3, {"Телефон", "Район", "Улица", "Дом", "Кв.", "Последний заказ", "Заказов"}, &tab))
{
    m_list->setObjectName("CallerList");
    auto *shortcut = new QShortcut(QKeySequence(Qt::Key_F3), &tab);
    connect(shortcut, &QShortcut::activated, this, &RepeatCaller::focusTelephone);
    tab.DBEdit3->setToolTip("Телефон (F3)");
    connectGuarded(tab.DBEdit3, &QLineEdit::textEdited, this, messages, [this] { lookUp(); });
    connectGuarded(m_list, &SuggestionList::taken, this, messages, [this] { take(); });
    connect(&tab, &OrderEntryTab::editingChanged, m_list, &QWidget::hide);
}

void RepeatCaller::focusTelephone()
{
    if (!m_tab.isEditing())
        return;
    m_tab.DBEdit3->setFocus(Qt::ShortcutFocusReason);
    m_tab.DBEdit3->selectAll();
}

void RepeatCaller::lookUp()
{
    m_shown.clear();
    m_list->setLines({});
    if (!m_tab.isEditing())
        return;
    m_shown = m_addresses.find(m_tab.DBEdit3->text());
    QList<QStringList> lines;
    for (const CallerAddress &address : m_shown)
        lines << QStringList{address.telephone,
                             address.districtName,
                             address.streetName,
                             address.house.toString(),
                             ValueText::display(FieldType::Number, address.flat),
                             ValueText::formatDate(address.lastDate),
                             QString::number(address.orders)};
    m_list->setLines(lines);
}

// The address as the dispatcher would have filled it: the pick-up district chosen (with the street
// filter, the queue view and the driver following), then the street, the house and the flat.
void RepeatCaller::take()
{
    const int line = m_list->currentLine();
    if (line < 0 || line >= m_shown.size())
        return;
    const CallerAddress address = m_shown.at(line);
    // The digits typed give way to the whole number before the box is left with them.
    m_tab.DBEdit3->setText(address.telephone);
    m_tab.DBEdit3->updateRecord();
    Dataset &journal = *m_dm.Gurnal;
    journal.edit();
    journal.setText("Telefon", address.telephone);
    journal.setValue("IdOtkudaRaion", address.district);
    if (!address.district.isNull())
        m_tab.DBLookupListBox1Click();
    journal.setValue("IdOtkudaUlica", address.street);
    journal.setValue("Dom", address.house);
    journal.setValue("Kvartira", address.flat);
    m_tab.DBLookupListBox3->setFocus(Qt::OtherFocusReason);
}
