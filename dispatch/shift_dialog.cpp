#include "dispatch/shift_dialog.h"

#include "data/data_module.h"
#include "ui/db_controls.h"
#include "ui/error_guard.h"
#include "ui/ok_button.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *label(const char *name, const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}

DBEdit *timeBox(const char *name, DataSource *source, const QString &field, Messages &messages,
                QWidget *parent)
{
    auto *e = new DBEdit(source, field, messages, parent);
    e->setObjectName(name);
    // Room for the locale's long time, and no more.
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 16);
    return e;
}

} // namespace

TForm11::TForm11(TDataModule2 &dm, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_dm(dm)
    , m_messages(messages)
{
    buildForm();
}

void TForm11::buildForm()
{
    setObjectName("TForm11");
    setWindowTitle("Смена");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    DataSource *shift = m_dm.DSGrafic;
    DBText1 = new DBText(shift, "Number", this);
    DBText1->setObjectName("DBText1");
    QFont bold = DBText1->font();
    bold.setBold(true);
    DBText1->setFont(bold);
    DBLookupComboBox1 = new DBLookupComboBox(shift, "familiya", m_messages, this);
    DBLookupComboBox1->setObjectName("DBLookupComboBox1");
    DBLookupComboBox1->setMinimumContentsLength(15);
    DBEdit1 = timeBox("DBEdit1", shift, "Timestart", m_messages, this);
    DBEdit2 = timeBox("DBEdit2", shift, "Timeend", m_messages, this);
    Label1 = label("Label1", "Номер:", nullptr, this);
    Label2 = label("Label2", "Такси:", DBLookupComboBox1, this);
    Label3 = label("Label3", "С", DBEdit1, this);
    Label4 = label("Label4", "до", DBEdit2, this);
    BitBtn1 = makeOkButton("BitBtn1", this);
    connectGuarded(BitBtn1, &QPushButton::clicked, this, m_messages, [this] { BitBtn1Click(); });

    auto *times = new QHBoxLayout;
    times->addWidget(Label3);
    times->addWidget(DBEdit1);
    times->addSpacing(8);
    times->addWidget(Label4);
    times->addWidget(DBEdit2);
    times->addStretch();
    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(DBText1, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(DBLookupComboBox1, 1, 1);
    fields->addLayout(times, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(DBLookupComboBox1, DBEdit1);
    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, BitBtn1);
}

// A time box whose text is not a time stops the storing with the conversion message; the dialog
// stays open on the row.
void TForm11::BitBtn1Click()
{
    m_dm.Grafic->post();
    accept();
}
