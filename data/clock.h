#pragma once

#include <QDateTime>

// The one source of the current date and time, so that tests can fix it.
namespace Clock {

QDateTime now();
QDate today();
void setFixed(const QDateTime &moment); // tests only
void clearFixed();

} // namespace Clock
