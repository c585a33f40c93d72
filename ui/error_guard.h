#pragma once

#include "ui/messages.h"

#include <QObject>

#include <functional>

// Runs one handler; an error it raises is shown in the application's error box and the handler
// stops there. No exception crosses the event loop. Returns false when the handler failed.
bool guarded(Messages &messages, const std::function<void()> &handler);

// connect() whose slot runs guarded.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection connectGuarded(Sender *sender, Signal signal, QObject *context, Messages &messages,
                                       Handler handler)
{
    return QObject::connect(sender, signal, context,
                            [&messages, handler](auto &&...) { guarded(messages, handler); });
}
