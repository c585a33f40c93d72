#pragma once

#include <QObject>

class HelpWindow;
class QWidget;

// F1 opens the help topic of the window that has the focus. A window (or any widget in it) names
// its topic in the dynamic property "helpTopic", so that windows of every layer can take part
// without knowing this class; the nearest widget up from the focused one that names a topic wins.
void setHelpTopic(QWidget *widget, int topic);
int helpTopicOf(const QWidget *widget); // 0 when neither the widget nor its parents name one

// The application-wide F1 key, installed once on the application.
class HelpKeys : public QObject
{
    Q_OBJECT

public:
    explicit HelpKeys(HelpWindow &help, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    HelpWindow &m_help;
};
