#include "dispatch/fare.h"

#include "data/data_error.h"
#include "data/dataset.h"
#include "data/value_text.h"

#include <cmath>

namespace Fare {

namespace {

// No filter is left behind on the distance table: the city structure's list shows every record.
void leaveUnfiltered(Dataset &distances, const QString &previousFilter)
{
    if (distances.isFiltered())
        distances.setFiltered(false);
    distances.setFilter(previousFilter); // only the text, while the filter is off
}

} // namespace

std::optional<double> distance(Dataset &distances, const QVariant &fromDistrict, const QVariant &toDistrict)
{
    if (fromDistrict.isNull() || toDistrict.isNull())
        return std::nullopt;
    const QString previousFilter = distances.filter();
    QVariant km;
    try {
        distances.setFilter(QStringLiteral("IdRaion1='%1' and IdRaion2='%2'")
                                .arg(fromDistrict.toLongLong())
                                .arg(toDistrict.toLongLong()));
        // Switching the filter on settles a pending record first, then stands on the pair's first record.
        distances.setFiltered(true);
        km = distances.value(QStringLiteral("KM"));
    } catch (...) {
        leaveUnfiltered(distances, previousFilter);
        throw;
    }
    leaveUnfiltered(distances, previousFilter);
    if (km.isNull())
        return std::nullopt;
    return km.toDouble();
}

QString price(double km, const Tariff &tariff)
{
    const double minimumDistance = ValueText::parseNumber(tariff.minimumDistance);
    if (km <= minimumDistance)
        return tariff.fixedPrice; // shown as typed, never converted
    const double fixedPrice = ValueText::parseNumber(tariff.fixedPrice);
    const double pricePerKm = ValueText::parseNumber(tariff.pricePerKm);
    // In this order, in double precision: the kilometres beyond the minimum, their price, the fixed price.
    const double beyond = km - minimumDistance;
    const double fare = fixedPrice + beyond * pricePerKm;
    // A tariff of huge numbers gives no price, rather than "inf" in the fare label.
    if (!std::isfinite(fare))
        throw DataError(QStringLiteral("Floating point overflow"));
    return ValueText::formatNumber(fare);
}

} // namespace Fare
