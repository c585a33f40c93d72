#include "ui/ok_button.h"

#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace {

// Drawn rather than shipped, like the program's other images.
QIcon tickIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    painter.setPen(QPen(QColor(20, 130, 40), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    return QIcon(pixmap);
}

} // namespace

QPushButton *makeOkButton(const char *name, QWidget *parent)
{
    auto *button = new QPushButton(tickIcon(), QStringLiteral("   OK"), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}
