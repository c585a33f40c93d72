#include "dispatch/queue_window.h"

#include "data/data_module.h"
#include "dispatch/dispatch_look.h"
#include "dispatch/positions_tab.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"
#include "ui/drawn_icon.h"
#include "ui/error_guard.h"

#include <QAction>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr QSize WindowSize(230, 470);

// The menu's images: a driver given to an order, a radio call, a car put on and taken off the line.
QIcon assignIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 9, 12));
        p.setPen(QPen(QColor(30, 130, 50), 2));
        p.drawLine(QPointF(8, 10), QPointF(10.5, 13));
        p.drawLine(QPointF(10.5, 13), QPointF(15, 6.5));
    });
}

QIcon pollIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(40, 90, 170), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(8, 8), QPointF(8, 15));
        for (const double r : {2.5, 5.0, 7.0})
            p.drawArc(QRectF(8 - r, 7 - r, 2 * r, 2 * r), 30 * 16, 120 * 16);
        p.setBrush(QColor(40, 90, 170));
        p.drawEllipse(QPointF(8, 7.5), 1.3, 1.3);
    });
}

// A car on the line with a plus sign over it, or off it with a minus.
QIcon carIcon(bool onTheLine)
{
    return drawnIcon([onTheLine](QPainter &p) {
        p.setPen(QColor(50, 50, 50));
        p.setBrush(QColor(250, 200, 20));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 5), 1.5, 1.5);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(4.5, 12), 1.6, 1.6);
        p.drawEllipse(QPointF(11.5, 12), 1.6, 1.6);
        p.setPen(QPen(onTheLine ? QColor(30, 130, 50) : QColor(190, 30, 30), 2));
        p.drawLine(QPointF(6, 3), QPointF(10, 3));
        if (onTheLine)
            p.drawLine(QPointF(8, 1), QPointF(8, 5));
    });
}

} // namespace

TForm25::TForm25(TDataModule2 &dm, PositionsTab &positions, Dataset &currentOrders, Messages &messages,
                 QWidget *parent)
    : QWidget(parent)
    , m_dm(dm)
    , m_positions(positions)
    , m_currentOrders(currentOrders)
    , m_messages(messages)
{
    buildForm();
    buildMenu();
}

void TForm25::buildForm()
{
    setObjectName("TForm25");
    setWindowTitle("Очередь");
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    DataSource *queue = m_dm.DSVozy_Raion;

    GridColumn status{"Сост.", "Status"};
    status.checkBox = true;
    status.readOnly = false;
    GridColumn callsign{"№", "TTVozyNumber", Qt::AlignCenter, true, Qt::AlignCenter, true, false};
    GridColumn district{"Район", "TTRaion"};
    district.readOnly = false;
    DBGRID = new DBGrid(queue, {status, callsign, district}, m_messages, this);
    DBGRID->setObjectName("DBGRID");
    DBGRID->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    DBGRID->setColumnWidth(0, 48);
    DBGRID->setColumnWidth(1, 52);
    DBGRID->setContextMenuPolicy(Qt::CustomContextMenu);

    Label1 = captionLabel("Label1", "Позывной:", this);
    DBText1 = valueText("DBText1", queue, "TTVozyNumber", this);
    Label2 = captionLabel("Label2", "Автомашина:", this);
    DBText2 = valueText("DBText2", queue, "TVozyAuto", this);
    Label3 = captionLabel("Label3", "Номер:", this);
    DBText3 = valueText("DBText3", queue, "TTNumberAutoTaxi", this);

    auto *details = new QGridLayout;
    addCaptionedRows(details, {{Label1, DBText1}, {Label2, DBText2}, {Label3, DBText3}});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGRID, 1);
    layout->addLayout(details);
    setFixedSize(WindowSize);
}

void TForm25::buildMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    const auto item = [this](const char *name, const QString &text, const QIcon &icon,
                             const std::function<void()> &handler) {
        QAction *action = PopupMenu1->addAction(icon, text);
        action->setObjectName(name);
        connectGuarded(action, &QAction::triggered, this, m_messages, handler);
        return action;
    };
    N1 = item("N1", "Назначить на текущий заказ", assignIcon(), [this] { N1Click(); });
    PopupMenu1->addSeparator();
    N3 = item("N3", "Опросить водителя", pollIcon(), [this] { m_positions.Button4Click(); });
    PopupMenu1->setDefaultAction(N3);
    PopupMenu1->addSeparator();
    N5 = item("N5", "Поставить на линию", carIcon(true), [this] { m_positions.Button6Click(); });
    N6 = item("N6", "Снять с линии", carIcon(false), [this] { m_positions.Button5Click(); });

    connect(DBGRID, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(DBGRID->viewport()->mapToGlobal(at)); });
}

// The current order (the row of the current-orders view) gets the queue record's driver; his queue
// record stays as it is.
void TForm25::N1Click()
{
    if (m_currentOrders.isEmpty())
        return;
    m_currentOrders.edit();
    m_currentOrders.setValue("IdVozy", m_dm.Vozy_raion->value("Vozy"));
    m_currentOrders.post();
}

void TForm25::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // At the centre of the desktop the first time; where the dispatcher put it after that.
    if (m_placed || event->spontaneous())
        return;
    m_placed = true;
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry())
                 .topLeft());
}

void TForm25::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        Q_EMIT hidden();
}
