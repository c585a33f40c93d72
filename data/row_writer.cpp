#include "data/row_writer.h"

#include "data/data_error.h"
#include "data/database.h"
#include "data/filter.h"

namespace RowWriter {
namespace {

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

qint64 insert(Database &db, const TableDef &table, const QVector<QVariant> &values)
{
    QStringList columns, marks;
    for (int i = 1; i < table.fields.size(); ++i) {
        columns << quoted(table.field(i).name);
        marks << QStringLiteral("?");
    }
    QSqlQuery &query = db.prepareKept(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(quoted(table.name), columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))) +
        db.returningId());
    for (int i = 1; i < table.fields.size(); ++i)
        query.addBindValue(Filter::storeValue(table.field(i), values.at(i)));
    Database::exec(query);
    return Database::insertedId(query);
}

void update(Database &db, const TableDef &table, const TableRow &row, const QVector<bool> &changed)
{
    QStringList assignments;
    QVariantList values;
    for (int i = 1; i < table.fields.size(); ++i) {
        if (!changed.at(i))
            continue;
        assignments << quoted(table.field(i).name) + QStringLiteral(" = ?");
        values << Filter::storeValue(table.field(i), row.values.at(i));
    }
    if (assignments.isEmpty())
        return;
    QSqlQuery &query = db.prepareKept(QStringLiteral("UPDATE %1 SET %2 WHERE \"Id\" = ?")
                                          .arg(quoted(table.name), assignments.join(QStringLiteral(", "))));
    for (const QVariant &v : values)
        query.addBindValue(v);
    query.addBindValue(row.id);
    Database::exec(query);
    if (query.numRowsAffected() > 0)
        return;
    // On a server the row can only have gone at another workstation, whose deletion came first.
    if (db.engine() == Database::Engine::Postgres)
        throw DataError(QStringLiteral("Запись не найдена: её удалили на другом рабочем месте, пока она "
                                       "редактировалась здесь. Изменения не сохранены."));
    throw DataError(QStringLiteral("Запись не найдена: её удалили, пока она редактировалась."));
}

bool remove(Database &db, const TableDef &table, qint64 id)
{
    QSqlQuery &query =
        db.prepareKept(QStringLiteral("DELETE FROM %1 WHERE \"Id\" = ?").arg(quoted(table.name)));
    query.addBindValue(id);
    Database::exec(query);
    return query.numRowsAffected() > 0;
}

} // namespace RowWriter
