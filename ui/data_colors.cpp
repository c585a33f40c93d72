#include "ui/data_colors.h"

#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QPalette>
#include <QStyle>
#include <QWidget>

namespace {

const QColor DisabledText(109, 109, 109);

} // namespace

void paintDataControl(QWidget *control, DataColor color)
{
    const QColor base = color == DataColor::Silver
                            ? QColor(192, 192, 192)
                            : QApplication::style()->standardPalette().color(QPalette::Base);
    QPalette palette = control->palette();
    // Every group, so that the colour holds whether the control is enabled, disabled or in a
    // window that is not active.
    palette.setColor(QPalette::All, QPalette::Base, base);
    // A drop-down that nothing can be typed into is drawn as a button, in the button's colour.
    if (qobject_cast<QComboBox *>(control) != nullptr)
        palette.setColor(QPalette::All, QPalette::Button, base);
    // A disabled control still shows its row, so its text must stand out from the silver: the
    // toolkit's own disabled grey is nearly the silver itself.
    palette.setColor(QPalette::Disabled, QPalette::Text, DisabledText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, DisabledText);
    control->setPalette(palette);
}

void setDataControlEnabled(QWidget *control, bool enabled)
{
    control->setEnabled(enabled);
    paintDataControl(control, enabled ? DataColor::Window : DataColor::Silver);
}
