#pragma once

#include <QString>

// How windows speak to the user: simple messages, questions and the application's error box.
// Tests put in their own implementation and answer the questions.
class Messages
{
public:
    enum class Answer
    {
        Yes,
        No
    };

    virtual ~Messages() = default;

    // A simple message captioned with the application title, one OK button.
    virtual void inform(const QString &text) = 0;
    // A question with its own caption, a question icon and Yes and No (Yes the default).
    virtual Answer ask(const QString &caption, const QString &text) = 0;
    // The application's error box, captioned with the application title.
    virtual void error(const QString &text) = 0;
    // The toolkit's own confirmation, captioned with the application title, with OK and Cancel
    // (OK the default); Yes stands for OK. A seam that answers questions answers this one too.
    virtual Answer confirm(const QString &text);

    // The deletion question: true only when answered Yes.
    bool confirmDeletion(const QString &text = defaultDeletionText());
    static QString defaultDeletionText(); // " Внимание: Объект будет удалён. Удалить объект? "
    static QString driverDeletionText(); // " Внимание: После удаления объекта будут утеряны ... Продолжить? "
};

// The real boxes (QMessageBox), parented to the active window.
class MessageBoxes : public Messages
{
public:
    void inform(const QString &text) override;
    Answer ask(const QString &caption, const QString &text) override;
    void error(const QString &text) override;
    Answer confirm(const QString &text) override;
};

// The application title that captions simple messages and errors: АРМ "Возар".
QString applicationTitle();
