#include "ui/password_box.h"

#include <QLineEdit>

void makePasswordBox(QLineEdit *edit, int maxLength)
{
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(maxLength);
    // The style's own mask character varies (often a bullet); the workstation shows asterisks.
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
}
