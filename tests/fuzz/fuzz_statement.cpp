// The statement holder's text: every text is read into an UPDATE of one table or refused with a
// clear error. An accepted text becomes SQL of field names and placeholders alone, and the store runs
// it (rolled back, so that every input meets the same store).
#include "data/data_error.h"
#include "data/database.h"
#include "data/schema.h"
#include "data/statement.h"
#include "tests/fuzz/fuzz_support.h"

#include <QSqlQuery>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::environment();
    const QString text = Fuzz::text(data, size);
    Statement::Compiled compiled;
    try {
        compiled = Statement::compile(text);
    } catch (const DataError &e) {
        FUZZ_REQUIRE(!e.message().isEmpty(), text);
        return 0;
    }
    const TableDef &table = Schema::table(compiled.table);
    FUZZ_REQUIRE(compiled.sql.startsWith(QStringLiteral("UPDATE \"%1\" SET ").arg(table.name)), compiled.sql);
    Fuzz::requireOnlyNamesAndPlaceholders(compiled.sql, table, compiled.values.size(), text);

    Database &store = Fuzz::store();
    try {
        Database::Transaction undone(store);
        QSqlQuery query = store.prepare(compiled.sql);
        for (const QVariant &value : compiled.values)
            query.addBindValue(value);
        Database::exec(query);
    } catch (const DataError &e) {
        Fuzz::fail("the store runs every accepted statement", text + QStringLiteral(" → ") + e.message());
    }
    return 0;
}
