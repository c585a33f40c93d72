#include "tests/support/ui_support.h"

#include "ui/db_grid.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

void ScriptedMessages::inform(const QString &text)
{
    shown.append({Kind::Inform, applicationTitle(), text});
}

Messages::Answer ScriptedMessages::ask(const QString &caption, const QString &text)
{
    shown.append({Kind::Ask, caption, text});
    if (m_answers.isEmpty()) {
        ++questionsUnanswered;
        return Answer::No;
    }
    return m_answers.dequeue();
}

void ScriptedMessages::error(const QString &text)
{
    shown.append({Kind::Error, applicationTitle(), text});
}

QStringList ScriptedMessages::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result << s.text;
    return result;
}

QStringList ScriptedMessages::errors() const
{
    QStringList result;
    for (const Shown &s : shown) {
        if (s.kind == Kind::Error)
            result << s.text;
    }
    return result;
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void typeIntoCell(DBGrid *grid, int row, int column, const QString &text)
{
    const QModelIndex cell = grid->model()->index(row, column);
    grid->setFocus();
    grid->edit(cell);
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(cell));
    QVERIFY(editor);
    editor->selectAll();
    typeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid->indexWidget(cell)); // the commit comes after the key
}

void whenModalAppears(const std::function<void(QWidget *)> &action, int timeoutMs)
{
    // A box already open when the timer is armed is not the one the coming click opens.
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    const QDeadlineTimer deadline(timeoutMs);
    auto *timer = new QTimer(qApp);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, before, deadline, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != before.data()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (deadline.hasExpired()) {
            qWarning("whenModalAppears: no modal widget appeared in time");
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
