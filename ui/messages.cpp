#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString deletionCaption()
{
    return QStringLiteral("Подтверждение удаления");
}

QMessageBox::StandardButton exec(QMessageBox::Icon icon, const QString &caption, const QString &text,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton byDefault)
{
    QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
    box.setDefaultButton(byDefault);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QString applicationTitle()
{
    return QString::fromUtf8("АРМ \"Возар\"");
}

Messages::Answer Messages::confirm(const QString &text)
{
    return ask(applicationTitle(), text);
}

bool Messages::confirmDeletion(const QString &text)
{
    return ask(deletionCaption(), text) == Answer::Yes;
}

QString Messages::defaultDeletionText()
{
    return QStringLiteral(" Внимание: Объект будет удалён. Удалить объект? ");
}

QString Messages::driverDeletionText()
{
    return QStringLiteral(
        " Внимание: После удаления объекта будут утеряны все связанные с ним данные. Продолжить? ");
}

void MessageBoxes::inform(const QString &text)
{
    exec(QMessageBox::Information, applicationTitle(), text, QMessageBox::Ok, QMessageBox::Ok);
}

Messages::Answer MessageBoxes::ask(const QString &caption, const QString &text)
{
    return exec(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
                   QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

void MessageBoxes::error(const QString &text)
{
    exec(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, QMessageBox::Ok);
}

Messages::Answer MessageBoxes::confirm(const QString &text)
{
    return exec(QMessageBox::Question, applicationTitle(), text, QMessageBox::Ok | QMessageBox::Cancel,
                QMessageBox::Ok) == QMessageBox::Ok
               ? Answer::Yes
               : Answer::No;
}
