#include "data/clock.h"

namespace Clock {
namespace {
QDateTime fixedMoment;
}

QDateTime now()
{
    return fixedMoment.isValid() ? fixedMoment : QDateTime::currentDateTime();
}
QDate today()
{
    return now().date();
}
void setFixed(const QDateTime &moment)
{
    fixedMoment = moment;
}
void clearFixed()
{
    fixedMoment = QDateTime();
}

} // namespace Clock
