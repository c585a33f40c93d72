#include "ui/error_guard.h"

#include "data/data_error.h"

#include <exception>

bool guarded(Messages &messages, const std::function<void()> &handler)
{
    QString message;
    try {
        handler();
        return true;
    } catch (const DataError &e) {
        message = e.message();
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    }
    // Shown after the handler's frames are gone, so the box never runs inside a half-finished catch.
    messages.error(message);
    return false;
}
