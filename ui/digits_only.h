#pragma once

#include <QObject>

class QLineEdit;

// Lets only the digits 0 to 9 and backspace reach a line edit: every other typed character
// (Enter, space, minus, the control characters of clipboard shortcuts) is discarded; Tab moves on, and pasted
// or dropped text that holds anything but digits is refused. Keys without text (arrows, Delete) pass.
class DigitsOnly : public QObject
{
    Q_OBJECT

public:
    static void install(QLineEdit *edit); // the filter is owned by the edit

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit DigitsOnly(QObject *parent);
};
