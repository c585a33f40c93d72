#include "dispatch/cost_frame.h"

#include "data/data_module.h"
#include "data/value_text.h"
#include "dispatch/fare.h"
#include "dispatch/tariff_window.h"
#include "ui/error_guard.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

const QString NoData = QStringLiteral("Нет данных");

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// A figure's label: wide enough for "Нет данных" in its own font, so that the units never move.
QLabel *figure(const char *name, QWidget *parent, bool emphasised)
{
    QLabel *l = label(name, QString(), parent);
    l->setTextFormat(Qt::PlainText);
    if (emphasised) {
        QFont font = l->font();
        font.setBold(true);
        l->setFont(font);
        QPalette palette = l->palette();
        palette.setColor(QPalette::WindowText, Qt::red);
        l->setPalette(palette);
    }
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(NoData) + 4);
    return l;
}

} // namespace

CostFrame::CostFrame(TDataModule2 &dm, TForm23 &tariff, Messages &messages, QWidget *parent)
    : QGroupBox(QStringLiteral(" Стоимость "), parent)
    , m_dm(dm)
    , m_tariff(tariff)
    , m_messages(messages)
{
    buildForm();
}

void CostFrame::buildForm()
{
    setObjectName("CostFrame");
    DistanceCaption = label("DistanceCaption", "Растояние:", this);
    Distance = figure("Distance", this, false);
    DistanceUnit = label("DistanceUnit", "км.", this);
    CostCaption = label("CostCaption", "Стоимость:", this);
    Cost = figure("Cost", this, true);
    CostUnit = label("CostUnit", "рублей", this);

    Button9 = new QPushButton("Посчитать", this);
    Button9->setObjectName("Button9");
    Button9->setAutoDefault(false);
    connectGuarded(Button9, &QPushButton::clicked, this, m_messages, [this] { Button9Click(); });

    // As compact as the order tab's other frames, which share its narrow middle column.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(2);
    layout->addWidget(DistanceCaption, 0, 0);
    layout->addWidget(Distance, 0, 1);
    layout->addWidget(DistanceUnit, 0, 2);
    layout->addWidget(CostCaption, 1, 0);
    layout->addWidget(Cost, 1, 1);
    layout->addWidget(CostUnit, 1, 2);
    layout->setColumnStretch(3, 1);
    layout->addWidget(Button9, 0, 4, 2, 1, Qt::AlignVCenter);
}

void CostFrame::Button9Click()
{
    const Dataset &order = *m_dm.Gurnal;
    const std::optional<double> km =
        Fare::distance(*m_dm.rastoyan, order.value("IdOtkudaRaion"), order.value("IdKudaRaion"));
    if (!km) {
        showNoData();
        return;
    }
    // The distance shows even when the tariff then turns out not to be a number.
    Distance->setText(ValueText::formatNumber(*km));
    Cost->setText(
        Fare::price(*km, {m_tariff.minimumDistance(), m_tariff.fixedPrice(), m_tariff.pricePerKm()}));
}

void CostFrame::showNoData()
{
    Distance->setText(NoData);
    Cost->setText(NoData);
}
