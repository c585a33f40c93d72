#include "registers/calendar_window.h"

#include "data/clock.h"
#include "ui/ok_button.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr QSize ClientArea(274, 273);
constexpr int FirstYear = 1800;
constexpr int LastYear = 3000;

const char *const Months[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                              "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};

} // namespace

TForm10::TForm10(QWidget *parent)
    : QDialog(parent)
{
    buildForm();
    FormCreate();
}

void TForm10::buildForm()
{
    setObjectName("TForm10");
    setWindowTitle("Календарь");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    GroupBox1 = new QGroupBox(" Дата ", this);
    GroupBox1->setObjectName("GroupBox1");
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName("ComboBox1");
    for (const char *month : Months)
        ComboBox1->addItem(QString::fromUtf8(month));
    SpinEdit1 = new QSpinBox(GroupBox1);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit1->setRange(FirstYear, LastYear);
    MonthCalendar1 = new QCalendarWidget(GroupBox1);
    MonthCalendar1->setObjectName("MonthCalendar1");
    MonthCalendar1->setFirstDayOfWeek(Qt::Sunday);
    MonthCalendar1->setDateRange(QDate(FirstYear, 1, 1), QDate(LastYear, 12, 31));
    // The month list and the year box above are the calendar's navigation.
    MonthCalendar1->setNavigationBarVisible(false);
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    BitBtn1 = makeOkButton("BitBtn1", this);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1Change(); });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { SpinEdit1Change(); });
    connect(MonthCalendar1, &QCalendarWidget::currentPageChanged, this, &TForm10::followPage);
    // A double click on a day, or Enter in the calendar, confirms as "   OK" does.
    connect(MonthCalendar1, &QCalendarWidget::activated, this, [this] { BitBtn1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    auto *date = new QGridLayout(GroupBox1);
    date->addWidget(ComboBox1, 0, 0);
    date->addWidget(SpinEdit1, 0, 1);
    date->addWidget(MonthCalendar1, 1, 0, 1, 2);
    date->setColumnStretch(0, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);

    setTabOrder(ComboBox1, SpinEdit1);
    setTabOrder(SpinEdit1, MonthCalendar1);
    setTabOrder(MonthCalendar1, BitBtn1);
    setFixedSize(ClientArea.expandedTo(minimumSizeHint()));
}

void TForm10::FormCreate()
{
    const QDate today = Clock::today();
    MonthCalendar1->setSelectedDate(today);
    showOn(today.year(), today.month());
}

void TForm10::showOn(int year, int month)
{
    m_following = true;
    ComboBox1->setCurrentIndex(month - 1);
    SpinEdit1->setValue(year);
    m_following = false;
}

// The calendar's own keys may turn its page; the list and the box follow.
void TForm10::followPage(int year, int month)
{
    if (!m_following)
        showOn(year, month);
}

void TForm10::ComboBox1Change()
{
    if (m_following || ComboBox1->currentIndex() < 0)
        return;
    const QDate shown = MonthCalendar1->selectedDate();
    const QDate first(shown.year(), ComboBox1->currentIndex() + 1, 1);
    // The 31st of a month has no place in a shorter one: the month's last day stands in for it.
    MonthCalendar1->setSelectedDate(first.addDays(std::min(shown.day(), first.daysInMonth()) - 1));
}

// The box gives a value only when it holds a year: an emptied or half-typed box changes nothing.
void TForm10::SpinEdit1Change()
{
    if (m_following)
        return;
    const QDate shown = MonthCalendar1->selectedDate();
    const QDate first(SpinEdit1->value(), shown.month(), 1);
    MonthCalendar1->setSelectedDate(first.addDays(std::min(shown.day(), first.daysInMonth()) - 1));
}

void TForm10::BitBtn1Click()
{
    const QDate chosen = MonthCalendar1->selectedDate();
    m_day = chosen.day();
    m_month = chosen.month();
    m_year = chosen.year();
    accept();
}

QString TForm10::dateText() const
{
    return QStringLiteral("%1.%2.%3").arg(m_day).arg(m_month).arg(m_year);
}

std::optional<QString> TForm10::chooseDate()
{
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return dateText();
}
