#include "app/access_modes.h"

#include "ui/data_colors.h"

#include <QAction>
#include <QWidget>

AccessLevel::AccessLevel(QObject *parent)
    : QObject(parent)
{
}

void AccessLevel::addAdminAction(QAction *action)
{
    m_actions.append(action);
    applyTo(action);
}

void AccessLevel::addAdminWidget(QWidget *widget)
{
    m_widgets.append(widget);
    applyToWidget(widget);
}

void AccessLevel::addAdminEnabled(QWidget *widget)
{
    m_enabled.append(widget);
    applyToEnabled(widget);
}

void AccessLevel::addAdminDataControl(QWidget *control)
{
    m_dataControls.append(control);
    applyToDataControl(control);
}

void AccessLevel::adm_on()
{
    m_admin = true;
    apply();
}

void AccessLevel::adm_off()
{
    m_admin = false;
    apply();
}

void AccessLevel::apply()
{
    for (const QPointer<QAction> &action : std::as_const(m_actions))
        applyTo(action);
    for (const QPointer<QWidget> &widget : std::as_const(m_widgets))
        applyToWidget(widget);
    for (const QPointer<QWidget> &widget : std::as_const(m_enabled))
        applyToEnabled(widget);
    for (const QPointer<QWidget> &control : std::as_const(m_dataControls))
        applyToDataControl(control);
    Q_EMIT modeChanged(m_admin);
}

void AccessLevel::applyTo(QAction *action) const
{
    if (action == nullptr)
        return;
    action->setVisible(m_admin);
    action->setEnabled(m_admin);
}

void AccessLevel::applyToWidget(QWidget *widget) const
{
    if (widget == nullptr)
        return;
    widget->setVisible(m_admin);
    widget->setEnabled(m_admin);
}

void AccessLevel::applyToEnabled(QWidget *widget) const
{
    if (widget != nullptr)
        widget->setEnabled(m_admin);
}

void AccessLevel::applyToDataControl(QWidget *control) const
{
    if (control != nullptr)
        setDataControlEnabled(control, m_admin);
}
