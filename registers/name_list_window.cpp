#include "registers/name_list_window.h"

#include "data/data_source.h"
#include "data/dataset.h"
#include "help/help_window.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"
#include "ui/error_guard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

NameListWindow::NameListWindow(const Form &form, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_table(*form.source->dataset())
    , m_messages(messages)
{
    buildForm(form);
}

QPushButton *NameListWindow::button(const char *name, const QString &text, void (NameListWindow::*handler)())
{
    auto *b = new QPushButton(text, this);
    b->setObjectName(name);
    // Enter belongs to the box and the list's cell editor; "Сохранить" closes the window.
    b->setAutoDefault(false);
    connectGuarded(b, &QPushButton::clicked, this, m_messages, [this, handler] { (this->*handler)(); });
    return b;
}

void NameListWindow::buildForm(const Form &form)
{
    setObjectName(form.name);
    setWindowTitle(form.caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // F1 opens the registers' topic (the application's help keys read this property).
    setProperty("helpTopic", HelpWindow::RegistersTopic);

    GridColumn name{form.columnTitle, form.field};
    name.readOnly = !form.listEditable;
    m_list = new DBGrid(form.source, {name}, m_messages, this);
    m_list->setObjectName(form.listName);
    m_list->horizontalHeader()->setStretchLastSection(true);

    m_nameBox = new DBEdit(form.source, form.field, m_messages, this);
    m_nameBox->setObjectName("DBEdit1");
    m_minus = button(form.minusName, "-", &NameListWindow::begin);
    m_minus->setFixedWidth(m_minus->sizeHint().height());
    m_minus->setToolTip("Изменить название");
    m_add = button(form.addName, "Добавить", &NameListWindow::add);
    m_delete = button(form.deleteName, "Удалить", &NameListWindow::remove);
    m_save = button(form.saveName, "Сохранить", &NameListWindow::save);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(m_nameBox, 1);
    nameRow->addWidget(m_minus);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_delete);
    buttons->addWidget(m_save);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(nameRow);
    layout->addLayout(buttons);
    setFixedSize(form.clientArea);

    setTabOrder(m_list, m_nameBox);
    setTabOrder(m_nameBox, m_minus);
    setTabOrder(m_minus, m_add);
    setTabOrder(m_add, m_delete);
    setTabOrder(m_delete, m_save);
}

// A pending row of the table is settled first: stored if changed, dropped if not.
void NameListWindow::add()
{
    m_additionPending = true;
    m_table.append();
    m_nameBox->setFocus();
}

void NameListWindow::begin()
{
    m_table.edit();
    m_nameBox->setFocus();
}

// No question and no check: the table refuses an empty list, and a new row is dropped.
void NameListWindow::remove()
{
    m_table.deleteRecord();
}

// A store the table refuses (nothing pending any more, a value it does not take) keeps the flag and
// the window open.
void NameListWindow::save()
{
    if (m_additionPending)
        m_table.post();
    m_additionPending = false;
    close();
}
