// Filter texts: every text is read into a condition or refused with a clear error. An accepted text
// becomes SQL of field names and placeholders alone, and the store runs it.
#include "data/data_error.h"
#include "data/database.h"
#include "data/filter.h"
#include "data/schema.h"
#include "tests/fuzz/fuzz_support.h"

#include <QSqlQuery>

// The first byte chooses the table, the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::environment();
    if (size == 0)
        return 0;
    const TableDef &table = Schema::tables().at(data[0] % Schema::tables().size());
    const QString text = Fuzz::text(data + 1, size - 1);
    SqlCondition condition;
    try {
        condition = Filter::parse(text, table);
    } catch (const DataError &e) {
        FUZZ_REQUIRE(!e.message().isEmpty(), text);
        return 0;
    }
    Fuzz::requireOnlyNamesAndPlaceholders(condition.sql, table, condition.values.size(), text);

    const QString sql = QStringLiteral("SELECT COUNT(*) FROM \"%1\"%2")
                            .arg(table.name, condition.isEmpty() ? QString() : " WHERE " + condition.sql);
    try {
        QSqlQuery query = Fuzz::store().prepare(sql);
        for (const QVariant &value : condition.values)
            query.addBindValue(value);
        Database::exec(query);
    } catch (const DataError &e) {
        Fuzz::fail("the store runs every accepted filter", text + QStringLiteral(" → ") + e.message());
    }
    return 0;
}
