// Dates, times and numbers as people type and read them: any text converts or is refused with the
// conversion message; what a value shows reads back as the same value, in every locale tried; a text
// is cut to its field's width, never inside a character.
#include "data/data_error.h"
#include "data/value_text.h"
#include "tests/fuzz/fuzz_support.h"

#include <QLocale>

#include <array>
#include <cmath>

namespace {

const std::array<QLocale, 4> &locales()
{
    static const std::array<QLocale, 4> all = {
        QLocale(QLocale::Russian, QLocale::Russia), QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedKingdom)};
    return all;
}

const std::array<FieldDef, 6> &fields()
{
    static const std::array<FieldDef, 6> all = {FieldDef{QStringLiteral("Km"), FieldType::Integer, 0},
                                                FieldDef{QStringLiteral("KM"), FieldType::Number, 0},
                                                FieldDef{QStringLiteral("Iinfo"), FieldType::Text, 20},
                                                FieldDef{QStringLiteral("DDate"), FieldType::Date, 0},
                                                FieldDef{QStringLiteral("Ttime"), FieldType::Time, 0},
                                                FieldDef{QStringLiteral("Status"), FieldType::Logical, 0}};
    return all;
}

QString detail(const QString &typed, const QString &shown)
{
    return QStringLiteral("%1: «%2» shown as «%3»").arg(QLocale().name(), typed, shown);
}

void numberReadsBack(const QString &text)
{
    double value = 0;
    try {
        value = ValueText::parseNumber(text);
    } catch (const DataError &) {
        return;
    }
    FUZZ_REQUIRE(std::isfinite(value), text);
    const QString shown = ValueText::formatNumber(value);
    try {
        FUZZ_REQUIRE(ValueText::formatNumber(ValueText::parseNumber(shown)) == shown, detail(text, shown));
    } catch (const DataError &) {
        Fuzz::fail("a shown number reads back", detail(text, shown));
    }
}

void dateReadsBack(const QString &text)
{
    QDate date;
    try {
        date = ValueText::parseDate(text);
    } catch (const DataError &) {
        return;
    }
    FUZZ_REQUIRE(date.isValid(), text);
    const QString shown = ValueText::formatDate(date);
    try {
        FUZZ_REQUIRE(ValueText::parseDate(shown) == date, detail(text, shown));
    } catch (const DataError &) {
        Fuzz::fail("a shown date reads back", detail(text, shown));
    }
}

void timeReadsBack(const QString &text)
{
    QTime time;
    try {
        time = ValueText::parseTime(text);
    } catch (const DataError &) {
        return;
    }
    FUZZ_REQUIRE(time.isValid(), text);
    const QString shown = ValueText::formatTime(time);
    try {
        FUZZ_REQUIRE(ValueText::parseTime(shown) == time, detail(text, shown));
    } catch (const DataError &) {
        Fuzz::fail("a shown time reads back", detail(text, shown));
    }
}

void fieldReadsBack(const FieldDef &field, const QString &text)
{
    QVariant value;
    try {
        value = ValueText::parse(field, text);
    } catch (const DataError &e) {
        FUZZ_REQUIRE(!e.message().isEmpty(), text);
        return;
    }
    if (field.type == FieldType::Text) {
        const QString cut = value.toString();
        FUZZ_REQUIRE(cut.size() <= field.width, text);
        FUZZ_REQUIRE(cut.isEmpty() || !cut.back().isHighSurrogate(), text);
    }
    FUZZ_REQUIRE(ValueText::coerce(field, value) == value, detail(text, value.toString()));
    const QString shown = ValueText::display(field.type, value);
    try {
        const QVariant again = ValueText::parse(field, shown);
        if (field.type == FieldType::Number)
            FUZZ_REQUIRE(ValueText::display(field.type, again) == shown, detail(text, shown));
        else
            FUZZ_REQUIRE(again == value, detail(text, shown));
    } catch (const DataError &) {
        Fuzz::fail("a shown value reads back", field.name + QLatin1Char(' ') + detail(text, shown));
    }
}

} // namespace

// The first byte chooses the locale, the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::environment();
    if (size == 0)
        return 0;
    const QLocale previous;
    QLocale::setDefault(locales().at(data[0] % locales().size()));
    const QString text = Fuzz::text(data + 1, size - 1);
    numberReadsBack(text);
    dateReadsBack(text);
    timeReadsBack(text);
    for (const FieldDef &field : fields())
        fieldReadsBack(field, text);
    QLocale::setDefault(previous);
    return 0;
}
