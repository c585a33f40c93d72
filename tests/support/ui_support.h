#pragma once

#include "ui/messages.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

class DBGrid;
class QWidget;

// A message seam for tests: records what the program says and answers its questions from a queue.
class ScriptedMessages : public Messages
{
public:
    enum class Kind
    {
        Inform,
        Ask,
        Error
    };
    struct Shown
    {
        Kind kind;
        QString caption;
        QString text;
    };

    void inform(const QString &text) override;
    Answer ask(const QString &caption, const QString &text) override;
    void error(const QString &text) override;

    void answerNext(Answer answer) { m_answers.enqueue(answer); }

    QList<Shown> shown;
    QStringList texts() const; // the texts shown, in order
    QStringList errors() const;
    int questionsUnanswered = 0; // questions asked with no answer queued (answered No)

private:
    QQueue<Answer> m_answers;
};

// Types text into a widget one character at a time (Cyrillic included).
void typeText(QWidget *widget, const QString &text);

// Opens a cell's editor, types the text over what it held and commits it with Enter.
void typeIntoCell(DBGrid *grid, int row, int column, const QString &text);

// Runs `action` on the next modal widget that appears within the bound, from a timer armed now;
// use it before the click that opens the modal box. Returns at once.
void whenModalAppears(const std::function<void(QWidget *)> &action, int timeoutMs = 5000);
