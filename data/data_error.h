#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the data layer: a store, conversion or settings failure with the message
// that the user is shown. The operation that raised it has changed nothing.
class DataError : public std::runtime_error
{
public:
    explicit DataError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }

    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// A text as a message quotes it: a long one by its start, so that the box stays on the screen.
inline QString quotedInMessage(const QString &text)
{
    constexpr qsizetype Shown = 100;
    return text.size() <= Shown ? text : text.left(Shown) + QStringLiteral("…");
}
