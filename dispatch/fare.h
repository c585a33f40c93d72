#pragma once

#include <QString>

#include <optional>

class Dataset;

// The fare of an order: the distance between its two districts from the distance table, priced by
// the running tariff. Nothing of it is stored.
namespace Fare {

// The running tariff as typed in the tariff window, read only when a price needs it.
struct Tariff
{
    QString minimumDistance; // MR: kilometres that the fixed price covers
    QString fixedPrice;      // PC
    QString pricePerKm;      // ZPK: each kilometre beyond
};

// The kilometres from one district to another: the first distance record of that pair in the table's
// order, in that direction only; none when a district is empty, no record matches or its KM is empty.
// A pending distance record is settled first (stored if changed, dropped if not), and the distance
// table is left unfiltered whatever the outcome. Throws DataError when the store fails.
std::optional<double> distance(Dataset &distances, const QVariant &fromDistrict, const QVariant &toDistrict);

// The fare for `km` as it is shown: within the minimum distance the fixed price's own text, beyond it
// PC + (KM - MR) * ZPK in the locale's notation. Throws DataError "'%s' is not a valid floating point
// value" for a tariff text that the price needs and that is not a number, and "Floating point
// overflow" for a price past the largest number.
QString price(double km, const Tariff &tariff);

} // namespace Fare
