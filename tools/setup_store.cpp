#include "tools/setup_store.h"

#include "data/database.h"
#include "tools/demo_data.h"

#include <QSqlQuery>

namespace SetupStore {

void addFirstAdministrator(Database &db)
{
    QSqlQuery staff = db.prepare(QStringLiteral("INSERT INTO sotrud (Family) VALUES (?)"));
    staff.addBindValue(QStringLiteral("Администратор"));
    Database::exec(staff);
    QSqlQuery entry = db.prepare(QStringLiteral("INSERT INTO pwl (IdOperator, G) VALUES (?, 1)"));
    entry.addBindValue(staff.lastInsertId());
    Database::exec(entry);
}

void create(const QString &workingDir, bool demo)
{
    const auto db = Database::create(Database::storeFile(workingDir));
    Database::Transaction transaction(*db);
    addFirstAdministrator(*db);
    if (demo)
        DemoData::fill(*db);
    transaction.commit();
}

} // namespace SetupStore
