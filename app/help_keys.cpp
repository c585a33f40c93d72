#include "app/help_keys.h"

#include "help/help_window.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

const char *const HelpTopicProperty = "helpTopic";

} // namespace

void setHelpTopic(QWidget *widget, int topic)
{
    widget->setProperty(HelpTopicProperty, topic);
}

int helpTopicOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w != nullptr; w = w->parentWidget()) {
        const int topic = w->property(HelpTopicProperty).toInt();
        if (topic > 0)
            return topic;
    }
    return 0;
}

HelpKeys::HelpKeys(HelpWindow &help, QObject *parent)
    : QObject(parent)
    , m_help(help)
{
}

bool HelpKeys::eventFilter(QObject *watched, QEvent *event)
{
    // A key press goes to the focused widget first, so the receiver tells whose window asks.
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F1)
        return false;
    const auto *widget = qobject_cast<const QWidget *>(watched);
    const int topic = helpTopicOf(widget);
    if (topic == 0)
        return false;
    m_help.showTopic(topic);
    return true;
}
