#include "ui/digits_only.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>
#include <memory>

namespace {

bool allDigits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool passes(const QString &typed)
{
    return typed == QLatin1String("\b") || (typed.size() == 1 && allDigits(typed));
}

bool clipboardPasses(QClipboard::Mode mode = QClipboard::Clipboard)
{
    const QClipboard *clipboard = QApplication::clipboard();
    return clipboard && allDigits(clipboard->text(mode));
}

// The line edit's own paste item, found by the caption it is given (translated or not).
QAction *pasteItem(const QMenu *menu)
{
    const QString caption = QLineEdit::tr("&Paste");
    const QList<QAction *> actions = menu->actions();
    const auto found = std::find_if(actions.begin(), actions.end(), [&caption](const QAction *action) {
        return action->text() == caption || action->text().startsWith(caption + QLatin1Char('\t'));
    });
    return found == actions.end() ? nullptr : *found;
}

} // namespace

DigitsOnly::DigitsOnly(QObject *parent)
    : QObject(parent)
{
}

void DigitsOnly::install(QLineEdit *edit)
{
    edit->installEventFilter(new DigitsOnly(edit));
}

bool DigitsOnly::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Tab is no character typed into the box: it moves the focus on, as from any other box.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        // A paste key without a character of its own (Shift+Insert) is judged by what it would paste.
        if (key->matches(QKeySequence::Paste) && !clipboardPasses())
            return true;
        return !key->text().isEmpty() && !passes(key->text());
    }
    case QEvent::InputMethod: {
        const auto *input = static_cast<QInputMethodEvent *>(event);
        return !allDigits(input->commitString());
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (drop->mimeData() && allDigits(drop->mimeData()->text()))
            return false;
        drop->ignore();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        // The middle button pastes the selection where the system has one.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        return mouse->button() == Qt::MiddleButton && !clipboardPasses(QClipboard::Selection);
    }
    case QEvent::ContextMenu: {
        // The box's own menu, with its paste item switched off while the clipboard holds a non-digit.
        const auto *request = static_cast<QContextMenuEvent *>(event);
        std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        if (!clipboardPasses()) {
            QAction *paste = pasteItem(menu.get());
            if (!paste)
                return true; // a menu whose paste cannot be told apart is not offered at all
            paste->setEnabled(false);
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu.release()->popup(request->globalPos());
        return true;
    }
    default:
        return false;
    }
}
