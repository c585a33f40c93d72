#include "tools/setup_store.h"

#include "data/data_error.h"
#include "data/database.h"
#include "tools/demo_data.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

namespace SetupStore {

void addFirstAdministrator(Database &db)
{
    QSqlQuery staff = db.prepare(QStringLiteral("INSERT INTO sotrud (Family) VALUES (?)") + db.returningId());
    staff.addBindValue(QStringLiteral("Администратор"));
    Database::exec(staff);
    QSqlQuery entry = db.prepare(QStringLiteral("INSERT INTO pwl (IdOperator, G) VALUES (?, 1)"));
    entry.addBindValue(Database::insertedId(staff));
    Database::exec(entry);
}

void create(const QString &workingDir, bool demo)
{
    const QString file = Database::storeFile(workingDir);
    const bool existed = QFileInfo::exists(file); // refused below, and never removed
    try {
        const auto db = Database::create(file);
        Database::Transaction transaction(*db);
        addFirstAdministrator(*db);
        if (demo)
            DemoData::fill(*db);
        transaction.commit();
    } catch (const DataError &) {
        // A store begun and not finished would be refused by the program, and by the next run of this
        // tool as one that exists: it goes, so that the run can be repeated once the cause is gone.
        if (!existed) {
            for (const char *suffix : {"", "-wal", "-shm", "-journal"})
                QFile::remove(file + QLatin1String(suffix));
        }
        throw;
    }
}

void createOnServer(const QString &connection, bool demo)
{
    // One transaction for the schema's first use and the rows: a failure leaves the database empty.
    const auto db = Database::createServer(connection);
    Database::Transaction transaction(*db);
    addFirstAdministrator(*db);
    if (demo)
        DemoData::fill(*db);
    transaction.commit();
}

} // namespace SetupStore
