#include "reports/report_date_window.h"

#include "data/clock.h"
#include "data/data_error.h"
#include "data/value_text.h"
#include "dispatch/tariff_window.h"
#include "registers/calendar_window.h"
#include "reports/orders_report_model.h"
#include "reports/report_layout.h"
#include "ui/error_guard.h"
#include "ui/messages.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TForm20::TForm20(TForm15 &layout, TForm10 &calendar, TForm23 &tariff, Messages &messages, QWidget *parent)
    : QDialog(parent)
    , m_layout(layout)
    , m_calendar(calendar)
    , m_tariff(tariff)
    , m_messages(messages)
{
    buildForm();
    FormCreate();
}

void TForm20::buildForm()
{
    setObjectName("TForm20");
    setWindowTitle("Отчёт по заказам");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    MaskEdit1 = new QLineEdit(this);
    MaskEdit1->setObjectName("MaskEdit1");
    MaskEdit1->setReadOnly(true);
    MaskEdit1->setMaxLength(8);
    MaskEdit1->setText("  .  .  ");
    // Fixed pitch, as in a masked box: the blank before a one-digit day or month holds a digit's place.
    QFont fixedPitch = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixedPitch.setPointSizeF(MaskEdit1->font().pointSizeF());
    MaskEdit1->setFont(fixedPitch);
    MaskEdit1->setFixedWidth(MaskEdit1->fontMetrics().horizontalAdvance("00.00.00") + 16);
    Label1 = new QLabel("На дату :", this);
    Label1->setObjectName("Label1");
    Label1->setBuddy(MaskEdit1);

    Button1 = new QPushButton("+", this);
    Button1->setObjectName("Button1");
    Button1->setAutoDefault(false);
    Button1->setToolTip("Выбрать дату в календаре");
    Button1->setFixedWidth(Button1->sizeHint().height());
    Button2 = new QPushButton("Сформировать", this);
    Button2->setObjectName("Button2");
    QFont bold = Button2->font();
    bold.setBold(true);
    Button2->setFont(bold);
    Button2->setDefault(true);

    connectGuarded(Button1, &QPushButton::clicked, this, m_messages, [this] { Button1Click(); });
    connectGuarded(Button2, &QPushButton::clicked, this, m_messages, [this] { Button2Click(); });

    auto *date = new QHBoxLayout;
    date->addWidget(Label1);
    date->addWidget(MaskEdit1);
    date->addWidget(Button1);
    date->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(date);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(MaskEdit1, Button1);
    setTabOrder(Button1, Button2);
    Button2->setFocus();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, sizeHint(), screen->availableGeometry())
                 .topLeft());
}

QString TForm20::boxText(int day, int month, int year)
{
    return QStringLiteral("%1.%2.%3")
        .arg(day, 2, 10, QLatin1Char(' '))
        .arg(month, 2, 10, QLatin1Char(' '))
        .arg(year % 100, 2, 10, QLatin1Char('0'));
}

// Yesterday, every time the window is opened: the menu creates it anew each time.
void TForm20::FormCreate()
{
    const QDate yesterday = Clock::today().addDays(-1);
    MaskEdit1->setText(boxText(yesterday.day(), yesterday.month(), yesterday.year()));
}

// A calendar closed without "   OK" leaves the box as it was.
void TForm20::Button1Click()
{
    if (m_calendar.chooseDate())
        MaskEdit1->setText(boxText(m_calendar.day(), m_calendar.month(), m_calendar.year()));
}

// The box's two-digit year is read as the filter reads it: within fifty years of the clock's year,
// which is where the clock-stamped dates of the journal lie.
void TForm20::Button2Click()
{
    const QString rateText = m_tariff.driverRate();
    const std::optional<int> rate = wholeRate(rateText);
    if (!rate) {
        m_messages.inform(QStringLiteral("Ставка для таксистов «%1» — не целое число рублей.\n"
                                         "Отчёт не сформирован: исправьте ставку в окне «Настройка тарифа».")
                              .arg(rateText));
        return;
    }
    const QDate date = ValueText::parseDotted(MaskEdit1->text());
    if (!date.isValid())
        throw DataError(QStringLiteral("'%1' is not a valid date").arg(MaskEdit1->text()));
    m_layout.setDateLabel(MaskEdit1->text());
    m_layout.build(date, *rate);
    m_layout.Preview(this);
    close();
}
