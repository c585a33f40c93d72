#include "tests/support/test_database.h"

#include "data/data_error.h"
#include "data/schema.h"

#include <QSqlQuery>
#include <QStringList>

TestDatabase::TestDatabase()
    : m_dirPath(m_dir.path())
    , m_db(Database::create(Database::storeFile(m_dir.path())))
{
}

qint64 TestDatabase::insert(const QString &table, const QVariantMap &fields)
{
    QStringList columns, marks;
    for (auto it = fields.constBegin(); it != fields.constEnd(); ++it) {
        columns << QLatin1Char('"') + it.key() + QLatin1Char('"');
        marks << QStringLiteral("?");
    }
    const QString sql = columns.isEmpty()
                            ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)
                            : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                  .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    QSqlQuery query = m_db->prepare(sql);
    for (const QVariant &v : fields)
        query.addBindValue(v);
    Database::exec(query);
    m_db->notifyWritten(table);
    return query.lastInsertId().toLongLong();
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &values)
{
    QSqlQuery query = m_db->prepare(sql);
    for (const QVariant &v : values)
        query.addBindValue(v);
    Database::exec(query);
    return query.next() ? query.value(0) : QVariant();
}

int TestDatabase::count(const QString &table, const QString &where, const QVariantList &values)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"%2")
                      .arg(table, where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where),
                  values)
        .toInt();
}

QString TestDatabase::dump(const QString &except)
{
    QString text;
    for (const TableDef &table : Schema::tables()) {
        if (table.name == except)
            continue;
        QSqlQuery rows = m_db->prepare(QStringLiteral("SELECT * FROM \"%1\" ORDER BY Id").arg(table.name));
        Database::exec(rows);
        while (rows.next()) {
            for (int i = 0; i < table.fields.size(); ++i)
                text += rows.value(i).toString() + QLatin1Char('|');
            text += QLatin1Char('\n');
        }
    }
    return text;
}

TDataModule2 &TestDatabase::module()
{
    if (!m_module)
        m_module = std::make_unique<TDataModule2>(*m_db);
    return *m_module;
}
