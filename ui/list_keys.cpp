#include "ui/list_keys.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QShortcut>

namespace {

void pressOn(QPushButton *button, const QKeySequence &key, QWidget *scope, Qt::ShortcutContext context)
{
    auto *shortcut = new QShortcut(key, scope);
    shortcut->setContext(context);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isVisible())
            button->click(); // does nothing while the button is disabled
    });
}

void nameKey(QPushButton *button, const QKeySequence &key)
{
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), key.toString(QKeySequence::NativeText)));
}

} // namespace

void addListKeys(QAbstractItemView *grid, QPushButton *add, QPushButton *change, QPushButton *remove)
{
    const QKeySequence insert(Qt::Key_Insert);
    const QKeySequence enter(Qt::Key_Return);
    const QKeySequence del(Qt::Key_Delete);
    pressOn(add, insert, add->window(), Qt::WindowShortcut);
    pressOn(change, enter, grid, Qt::WidgetShortcut);
    pressOn(change, QKeySequence(Qt::Key_Enter), grid, Qt::WidgetShortcut);
    pressOn(remove, del, remove->window(), Qt::WindowShortcut);
    nameKey(add, insert);
    nameKey(change, enter);
    nameKey(remove, del);
}
