#include "data/statement.h"

#include "data/data_error.h"
#include "data/database.h"
#include "data/expression_parser.h"
#include "data/schema.h"

#include <QRegularExpression>
#include <QSqlQuery>

Statement::Statement(Database &db, const QString &sql)
    : m_db(db)
    , m_sql(sql)
{
}

Statement::Compiled Statement::compile(const QString &text)
{
    static const QRegularExpression update(
        QStringLiteral("^\\s*UPDATE\\s+(?:\"([^\"]+)\"|(\\S+))\\s+SET\\s+(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = update.match(text);
    if (!m.hasMatch())
        throw DataError(QStringLiteral("Ошибка в запросе «%1»: ожидается UPDATE таблица SET поле=значение.")
                            .arg(quotedInMessage(text)));
    const TableDef &table = Schema::table(m.captured(1).isEmpty() ? m.captured(2) : m.captured(1));

    ExpressionParser parser(m.captured(3), table);
    QStringList assignments;
    QVariantList values;
    QStringList assigned;
    do {
        const FieldDef &field = parser.field();
        if (field.type == FieldType::AutoInc)
            parser.fail(QStringLiteral("поле «%1» изменить нельзя").arg(field.name));
        if (assigned.contains(field.name))
            parser.fail(QStringLiteral("поле «%1» задано дважды").arg(field.name));
        assigned << field.name;
        parser.expectSymbol("=");
        QVariant value;
        if (!parser.acceptWord("null"))
            value = Filter::storeValue(field, parser.value(field));
        assignments << QStringLiteral("\"%1\" = ?").arg(field.name);
        values << value;
    } while (parser.acceptSymbol(","));
    SqlCondition where;
    if (parser.acceptWord("where"))
        where = parser.condition();
    if (!parser.atEnd())
        parser.fail(QStringLiteral("лишний текст «%1»").arg(parser.peek().text));

    return {table.name,
            QStringLiteral("UPDATE \"%1\" SET %2%3")
                .arg(table.name, assignments.join(QStringLiteral(", ")),
                     where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.sql),
            values + where.values};
}

int Statement::execute()
{
    const Compiled compiled = compile(m_sql);
    QSqlQuery query = m_db.prepare(compiled.sql);
    for (const QVariant &v : compiled.values)
        query.addBindValue(v);
    Database::exec(query);
    const int changed = query.numRowsAffected();
    m_db.notifyWritten(compiled.table);
    return changed;
}
