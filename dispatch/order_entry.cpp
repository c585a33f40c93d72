#include "dispatch/order_entry.h"

#include "data/clock.h"
#include "data/data_module.h"
#include "data/database.h"
#include "dispatch/cost_frame.h"
#include "dispatch/dispatch_look.h"
#include "dispatch/repeat_caller.h"
#include "ui/data_colors.h"
#include "ui/db_controls.h"
#include "ui/digits_only.h"
#include "ui/error_guard.h"
#include "ui/messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

// The queue table read whole, with the queue's display fields: a driver is found in it wherever his
// record stands.
Dataset *makeQueueTable(TDataModule2 &dm, QObject *parent)
{
    auto *table = new Dataset(dm.database(), QStringLiteral("bd\\vozyraion.db"), parent);
    for (const char *field : {"TTVozy", "TTRaion", "TTVozyNumber", "TVozyAuto", "TTNumberAutoTaxi"})
        table->addLookup(dm.Vozy_raion->lookupDef(QString::fromLatin1(field)));
    return table;
}

// The frames of the middle column share its height with the lists: they are laid out close.
QGridLayout *compactGrid(QGroupBox *frame)
{
    auto *layout = new QGridLayout(frame);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setVerticalSpacing(2);
    return layout;
}

DBLookupListBox *tallList(const char *name, DataSource *source, const QString &field, Messages &messages,
                          QWidget *parent)
{
    auto *list = new DBLookupListBox(source, field, messages, parent);
    list->setObjectName(name);
    list->setFixedWidth(128);
    return list;
}

// A key that presses a button, named in the button's tooltip; a disabled button ignores it.
void addShortcut(QPushButton *target, const QList<QKeySequence> &keys, const QString &keyName,
                 QWidget *context)
{
    for (const QKeySequence &key : keys) {
        auto *shortcut = new QShortcut(key, context);
        QObject::connect(shortcut, &QShortcut::activated, target, &QPushButton::click);
    }
    target->setToolTip(QStringLiteral("%1 (%2)").arg(target->text(), keyName));
}

} // namespace

OrderEntryTab::OrderEntryTab(TDataModule2 &dm, TForm23 &tariff, std::function<QString()> operatorId,
                             Messages &messages, QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_tariff(tariff)
    , m_operatorId(std::move(operatorId))
    , m_messages(messages)
    , m_queueTable(makeQueueTable(dm, this))
{
    buildForm();
    setTabOrders();
    addShortcuts();
    // The telephone box offers the addresses of a repeat caller (F3).
    CallerList = (new RepeatCaller(*this, dm, messages))->list();
    // The tab starts idle, showing the journal's current row read-only.
    goIdle();
}

void OrderEntryTab::buildForm()
{
    setObjectName("OrderEntryTab");
    DataSource *journal = m_dm.DSGurnal;

    GroupBox3 = new QGroupBox(this);
    GroupBox3->setObjectName("GroupBox3");
    DBLookupListBox1 = tallList("DBLookupListBox1", journal, "Otkuda_Raion", m_messages, GroupBox3);
    DBLookupListBox2 = tallList("DBLookupListBox2", journal, "Otkuda_Ulica", m_messages, GroupBox3);
    DBLookupListBox3 = tallList("DBLookupListBox3", journal, "Kuda_Raion", m_messages, GroupBox3);
    connectGuarded(DBLookupListBox1, &DBLookupListBox::chosen, this, m_messages,
                   [this] { DBLookupListBox1Click(); });

    Label2 = boldCaptionLabel("Label2", "Позывной:", GroupBox3);
    DBLookupComboBox2 = new DBLookupComboBox(journal, "VozyNumber", m_messages, GroupBox3);
    DBLookupComboBox2->setObjectName("DBLookupComboBox2");
    Label3 = boldCaptionLabel("Label3", "Водитель:", GroupBox3);
    DBLookupComboBox1 = new DBLookupComboBox(journal, "Vozy", m_messages, GroupBox3);
    DBLookupComboBox1->setObjectName("DBLookupComboBox1");
    for (DBLookupComboBox *driverList : {DBLookupComboBox2, DBLookupComboBox1}) {
        driverList->setMovesLookInCursor(true);
        driverList->showOutsideViewFrom(m_queueTable);
        connectGuarded(driverList, &DBLookupComboBox::chosen, this, m_messages, [this] { driverChosen(); });
    }

    CheckBox1 = new QCheckBox("Фильтр очереди", GroupBox3);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setChecked(true);
    CheckBox2 = new QCheckBox("Автоназначение", GroupBox3);
    CheckBox2->setObjectName("CheckBox2");
    CheckBox2->setChecked(true);
    connectGuarded(CheckBox1, &QCheckBox::clicked, this, m_messages, [this] { CheckBox1Click(); });
    connectGuarded(CheckBox2, &QCheckBox::clicked, this, m_messages, [this] { CheckBox2Click(); });

    Label10 = captionLabel("Label10", "Дополнительная информация:", GroupBox3);
    DBEdit4 = new DBEdit(journal, "Iinfo", m_messages, GroupBox3);
    DBEdit4->setObjectName("DBEdit4");

    Button2 = pushButton("Button2", "Новый", GroupBox3);
    Button1 = pushButton("Button1", "Оформить", GroupBox3);
    setBold(Button1);
    Button10 = pushButton("Button10", "Отмена", GroupBox3);
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });
    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });
    connectGuarded(Button10, &QPushButton::clicked, this, m_messages, [this] { Button10Click(); });

    auto *driverLists = new QGridLayout;
    driverLists->addWidget(Label2, 0, 0);
    driverLists->addWidget(DBLookupComboBox2, 1, 0);
    driverLists->addWidget(Label3, 0, 1);
    driverLists->addWidget(DBLookupComboBox1, 1, 1);
    driverLists->setColumnStretch(1, 2);
    driverLists->setColumnStretch(0, 1);
    auto *options = new QHBoxLayout;
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox2);
    options->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    buttons->addWidget(Button10);

    auto *middle = new QVBoxLayout;
    middle->setSpacing(4);
    middle->addLayout(driverLists);
    middle->addLayout(options);
    middle->addWidget(buildCarFrame());
    middle->addWidget(buildCostFrame());
    middle->addWidget(buildOrderFrame());
    middle->addWidget(Label10);
    middle->addWidget(DBEdit4);
    middle->addStretch();
    middle->addLayout(buttons);

    auto *frame = new QHBoxLayout(GroupBox3);
    frame->setContentsMargins(6, 6, 6, 6);
    frame->addWidget(DBLookupListBox1);
    frame->addWidget(DBLookupListBox2);
    frame->addLayout(middle, 1);
    frame->addWidget(DBLookupListBox3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(GroupBox3);
}

QGroupBox *OrderEntryTab::buildCarFrame()
{
    GroupBox4 = new QGroupBox(" Информация о машине ", GroupBox3);
    GroupBox4->setObjectName("GroupBox4");
    DBText1 = valueText("DBText1", m_dm.DSGurnal, "VozyNumber", GroupBox4);
    DBText2 = valueText("DBText2", m_dm.DSGurnal, "TaxiAuto", GroupBox4);
    DBText3 = valueText("DBText3", m_dm.DSGurnal, "VozyAutoNumber", GroupBox4);
    addCaptionedRows(compactGrid(GroupBox4), {{boldCaptionLabel("Label4", "Позывной:", GroupBox4), DBText1},
                                              {boldCaptionLabel("Label5", "Машина:", GroupBox4), DBText2},
                                              {boldCaptionLabel("Label6", "Номер:", GroupBox4), DBText3}});
    for (DBText *shown : {DBText1, DBText2, DBText3})
        shown->showOutsideViewFrom(m_queueTable);
    return GroupBox4;
}

// The distance and the fare of the order, worked out on demand; usable in both states of the tab.
QGroupBox *OrderEntryTab::buildCostFrame()
{
    auto *frame = new CostFrame(m_dm, m_tariff, m_messages, GroupBox3);
    GroupBox5 = frame;
    Button9 = frame->Button9;
    return frame;
}

QGroupBox *OrderEntryTab::buildOrderFrame()
{
    GroupBox6 = new QGroupBox(" Информация о заказе ", GroupBox3);
    GroupBox6->setObjectName("GroupBox6");
    DBEdit1 = new DBEdit(m_dm.DSGurnal, "Dom", m_messages, GroupBox6);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit2 = new DBEdit(m_dm.DSGurnal, "Kvartira", m_messages, GroupBox6);
    DBEdit2->setObjectName("DBEdit2");
    DBEdit3 = new DBEdit(m_dm.DSGurnal, "Telefon", m_messages, GroupBox6);
    DBEdit3->setObjectName("DBEdit3");
    // erere: the flat and the telephone take digits only.
    DigitsOnly::install(DBEdit2);
    DigitsOnly::install(DBEdit3);
    QGridLayout *layout = compactGrid(GroupBox6);
    layout->addWidget(captionLabel("Label14", "Номер дома:", GroupBox6), 0, 0);
    layout->addWidget(DBEdit1, 0, 1);
    layout->addWidget(captionLabel("Label15", "Номер квартиры:", GroupBox6), 0, 2);
    layout->addWidget(DBEdit2, 0, 3);
    layout->addWidget(captionLabel("Label16", "Телефон:", GroupBox6), 1, 0);
    layout->addWidget(DBEdit3, 1, 1, 1, 3);
    return GroupBox6;
}

void OrderEntryTab::setTabOrders()
{
    const QList<QWidget *> order{DBLookupListBox1, DBLookupListBox2,  DBEdit1,           DBEdit2,   DBEdit3,
                                 DBLookupListBox3, DBLookupComboBox2, DBLookupComboBox1, CheckBox1, CheckBox2,
                                 Button9,          DBEdit4,           Button1,           Button10,  Button2};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

// The dispatcher takes the order with the telephone at the ear: the buttons have keys of their own.
void OrderEntryTab::addShortcuts()
{
    addShortcut(Button2, {QKeySequence(Qt::Key_F2)}, "F2", this);
    addShortcut(Button1, {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)},
                "Ctrl+Enter", this);
    addShortcut(Button10, {QKeySequence(Qt::Key_Escape)}, "Esc", this);
}

// The tall lists, the surname list and the four boxes; the callsign list has steps of its own.
QList<QWidget *> OrderEntryTab::dataControls() const
{
    return {DBLookupListBox1, DBLookupListBox2, DBLookupListBox3, DBLookupComboBox1,
            DBEdit1,          DBEdit2,          DBEdit3,          DBEdit4};
}

bool OrderEntryTab::isEditing() const
{
    return Button1->isEnabled();
}

void OrderEntryTab::Button2Click()
{
    Q_EMIT editingChanged(true);
    setDataControlEnabled(DBLookupComboBox2, true);
    CheckBox2->setEnabled(true);
    Button10->setEnabled(true);
    for (QWidget *control : dataControls())
        setDataControlEnabled(control, true);
    CheckBox1->setEnabled(true);
    Button1->setEnabled(true);
    Button2->setEnabled(false);

    m_dm.Gurnal->append();
    // The filter text is the one the last pick-up choice left: before any, the whole queue.
    m_dm.Vozy_raion->setFiltered(CheckBox1->isChecked());
    applyAutoAssignment();
    DBLookupListBox1->setFocus(Qt::OtherFocusReason);
}

// With both boxes ticked the order gets the head of the pick-up district's queue: the free driver
// whose record there has the lowest Id.
void OrderEntryTab::DBLookupListBox1Click()
{
    const QString district = QString::number(m_dm.Gurnal->value("IdOtkudaRaion").toLongLong());
    Dataset &streets = *m_dm.Table5;
    streets.setFilter("IdRion=" + district);
    streets.setFiltered(true);
    Dataset &queue = *m_dm.Vozy_raion;
    queue.setFilter("Raion=" + district + " and Status=False");
    if (CheckBox1->isChecked())
        queue.setFiltered(true);
    // Unticked, the order keeps whatever driver it had, even one who stands elsewhere.
    if (CheckBox2->isChecked())
        takeDriver();
}

void OrderEntryTab::CheckBox1Click()
{
    m_dm.Vozy_raion->setFiltered(CheckBox1->isChecked());
    applyAutoAssignment();
}

void OrderEntryTab::CheckBox2Click()
{
    applyAutoAssignment();
}

void OrderEntryTab::takeDriver()
{
    const Dataset &queue = *m_dm.Vozy_raion;
    const bool none = queue.isEmpty();
    m_dm.Gurnal->setValue("IdVozy", none ? QVariant() : queue.value("Vozy"));
    m_sourceRecord = none ? 0 : queue.currentId();
}

void OrderEntryTab::clearDriver()
{
    m_dm.Gurnal->setValue("IdVozy", QVariant());
    m_sourceRecord = 0;
}

void OrderEntryTab::applyAutoAssignment()
{
    if (CheckBox2->isChecked())
        takeDriver();
    else
        clearDriver();
}

// A driver picked by hand: the drop-down has put the queue on his record and his Id into the order.
void OrderEntryTab::driverChosen()
{
    m_sourceRecord = m_dm.Vozy_raion->currentId();
}

// The driver's new busy record, the deletion of the one he was taken from, and the order itself are
// one transaction: a failure leaves the queue and the journal as they were and the order pending, so
// a retried "Оформить" neither duplicates nor loses the driver's record.
void OrderEntryTab::Button1Click()
{
    Dataset &journal = *m_dm.Gurnal;
    if (journal.isNull("IdKudaRaion")) {
        m_messages.inform("Не выбран район назначения!");
        return;
    }
    // A row still pending in the queue (one being edited in the queue window) is settled before the
    // transaction begins, so that undoing the order's writes cannot take it along. The queue's views
    // follow the store's changes, so nothing needs re-reading.
    m_dm.Vozy_raion->settle();

    bool taken = false;
    {
        Database::Transaction transaction(m_dm.database());
        const QDateTime now = Clock::now();
        journal.setValue("Ttime", now.time());
        journal.setValue("DDate", now.date());
        journal.setText("IdOperator", m_operatorId());
        journal.setValue("Status", true);
        taken = !journal.isNull("IdVozy") && !moveDriver();
        if (!taken) {
            journal.post();
            transaction.commit();
        }
    }
    if (taken) {
        // Another workstation gave him an order first: this one is undone and stays pending, with
        // the next driver of the queue offered in his place, whether or not the news of the record
        // he was taken from has come yet.
        m_dm.database().rowChangedElsewhere(QStringLiteral("vozyraion"), m_sourceRecord);
        applyAutoAssignment();
        m_messages.inform(QStringLiteral("Этого водителя только что назначили на заказ на другом рабочем "
                                         "месте. Заказ не оформлен: выберите водителя ещё раз."));
        return;
    }
    goIdle();
}

// The driver goes, busy, to the end of the destination district's queue; the record he was taken
// from is deleted wherever it stands now, whatever the queue view shows. When that record is gone
// and he stands busy in another one, another workstation gave him an order meanwhile (its
// transaction comes first on the server): false, and nothing is to be stored. Gone otherwise (taken
// off the line here while the order was typed), nothing is deleted and he still goes.
bool OrderEntryTab::moveDriver()
{
    const Dataset &journal = *m_dm.Gurnal;
    Dataset &queue = *m_dm.Vozy_raion;
    queue.append();
    // A record the store refused is dropped, not left pending for the next write to store.
    const auto dropUnstored = qScopeGuard([&queue] { queue.cancel(); });
    queue.setValue("Vozy", journal.value("IdVozy"));
    queue.setValue("Status", true);
    queue.setValue("Raion", journal.value("IdKudaRaion"));
    queue.post();
    if (m_sourceRecord == 0 || queue.deleteId(m_sourceRecord))
        return true;
    return busyRecords(journal.value("IdVozy")) < 2; // the one just appended, and no other
}

qint64 OrderEntryTab::busyRecords(const QVariant &driver) const
{
    qint64 count = 0;
    m_dm.database().select(
        QStringLiteral("SELECT COUNT(*) FROM \"vozyraion\" WHERE \"Vozy\" = ? AND \"Status\" = 1"), {driver},
        [&count](const StoreRow &row) { count = row.integer(0); });
    return count;
}

void OrderEntryTab::Button10Click()
{
    m_dm.Gurnal->cancel();
    goIdle();
}

void OrderEntryTab::goIdle()
{
    // The focus goes to "Новый" first: a focused control that is disabled hands the focus on to the
    // next one in the window, which would be disabled in its turn.
    Button2->setEnabled(true);
    Button2->setFocus(Qt::OtherFocusReason);
    setDataControlEnabled(DBLookupComboBox2, false);
    for (QWidget *control : dataControls())
        control->setEnabled(false);
    Button1->setEnabled(false);
    CheckBox1->setEnabled(false);
    Button10->setEnabled(false);
    for (QWidget *control : dataControls())
        paintDataControl(control, DataColor::Silver);
    CheckBox2->setEnabled(false);
    m_sourceRecord = 0;
    Q_EMIT editingChanged(false);
}
