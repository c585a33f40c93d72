#include "data/server_sql.h"

#include "data/schema.h"

#include <QHash>
#include <QMutex>
#include <QRegularExpression>

namespace ServerSql {
namespace {

QString rewrite(const QString &sql)
{
    static const QRegularExpression indexHint(QStringLiteral("\\s+INDEXED\\s+BY\\s+\\w+"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression integerCast(QStringLiteral("\\bAS\\s+INTEGER\\s*\\)"),
                                                QRegularExpression::CaseInsensitiveOption);
    QString text = sql;
    text.replace(indexHint, QString());
    text.replace(integerCast, QStringLiteral("AS BIGINT)"));

    // Quoted names in lower case; the texts between single quotes are values and stay as they are.
    QString out;
    out.reserve(text.size());
    QChar quote;
    for (const QChar c : std::as_const(text)) {
        if (quote.isNull()) {
            if (c == u'\'' || c == u'"')
                quote = c;
            out += c;
        } else {
            if (c == quote)
                quote = QChar();
            out += quote == u'"' ? c.toLower() : c;
        }
    }
    return out;
}

QString tableColumns(const TableDef &table)
{
    QStringList columns;
    for (const FieldDef &f : table.fields) {
        const QString name = f.name.toLower();
        switch (f.type) {
        case FieldType::AutoInc:
            columns << name + QStringLiteral(" BIGINT PRIMARY KEY");
            break;
        case FieldType::Integer:
        case FieldType::Logical:
            columns << name + QStringLiteral(" BIGINT");
            break;
        case FieldType::Number:
            columns << name + QStringLiteral(" DOUBLE PRECISION");
            break;
        case FieldType::Text:
        case FieldType::Date:
        case FieldType::Time:
            columns << name + QStringLiteral(" TEXT");
            break;
        case FieldType::Blob:
            columns << name + QStringLiteral(" BYTEA");
            break;
        }
    }
    return columns.join(QStringLiteral(", "));
}

// Every table's identities come from a sequence of its own, through a trigger rather than a default,
// so that a row stored with its identity given moves the sequence past it: an identity is never
// given twice, even after the largest row was deleted, and the queue's order stays the order stored.
// Every changed row is noted for this connection (when it follows its changes) and told to the
// others when the transaction commits.
QStringList rowTriggers()
{
    QStringList statements{
        QStringLiteral(R"(CREATE FUNCTION vozy_identity() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
    sequence regclass := (TG_TABLE_NAME || '_id_seq')::regclass;
BEGIN
    IF NEW.id IS NULL THEN
        NEW.id := nextval(sequence);
    ELSIF NEW.id > coalesce(pg_sequence_last_value(sequence), 0) THEN
        PERFORM setval(sequence, NEW.id);
    END IF;
    RETURN NEW;
END $$)"),
        QStringLiteral(
            R"(CREATE FUNCTION vozy_report(tbl text, changed bigint) RETURNS void LANGUAGE plpgsql AS $$
BEGIN
    IF to_regclass('pg_temp.%1') IS NOT NULL THEN
        INSERT INTO pg_temp.%1 VALUES (tbl, changed);
    END IF;
    PERFORM pg_notify('%2', tbl || ' ' || changed);
END $$)")
            .arg(QLatin1String(ChangedRows), QLatin1String(ChangesChannel)),
        QStringLiteral(R"(CREATE FUNCTION vozy_row_changed() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP <> 'INSERT' THEN
        PERFORM vozy_report(TG_TABLE_NAME, OLD.id);
    END IF;
    IF TG_OP = 'INSERT' OR (TG_OP = 'UPDATE' AND NEW.id <> OLD.id) THEN
        PERFORM vozy_report(TG_TABLE_NAME, NEW.id);
    END IF;
    RETURN NULL;
END $$)"),
    };
    for (const TableDef &t : Schema::tables()) {
        statements << QStringLiteral("CREATE SEQUENCE %1_id_seq AS BIGINT").arg(t.name)
                   << QStringLiteral(
                          "CREATE TRIGGER %1_identity BEFORE INSERT OR UPDATE OF id ON %1 FOR EACH "
                          "ROW EXECUTE FUNCTION vozy_identity()")
                          .arg(t.name)
                   << QStringLiteral(
                          "CREATE TRIGGER %1_changed AFTER INSERT OR UPDATE OR DELETE ON %1 FOR EACH "
                          "ROW EXECUTE FUNCTION vozy_row_changed()")
                          .arg(t.name);
    }
    return statements;
}

QStringList firstMigration()
{
    QStringList statements{
        QStringLiteral("CREATE TABLE %1 (version INTEGER NOT NULL)").arg(QLatin1String(VersionTable)),
        QStringLiteral("INSERT INTO %1 VALUES (0)").arg(QLatin1String(VersionTable))};
    for (const TableDef &t : Schema::tables())
        statements << QStringLiteral("CREATE TABLE %1 (%2)").arg(t.name, tableColumns(t));
    // The indexes are the embedded store's own statements.
    for (const QString &statement : Schema::migration(1)) {
        if (statement.startsWith(QLatin1String("CREATE INDEX")))
            statements << translate(statement);
    }
    return statements + rowTriggers();
}

QStringList secondMigration()
{
    const QString counts = QLatin1String(Schema::BlockCounts);
    const QString bits = QString::number(Schema::IdBlockBits);
    QStringList statements{
        QStringLiteral("DROP INDEX gurnal_ddate"),
        QStringLiteral("CREATE INDEX gurnal_ddate_idvozy ON gurnal (ddate, idvozy)"),
        QStringLiteral(
            "CREATE TABLE %1 (tablename TEXT NOT NULL, block BIGINT NOT NULL, rows BIGINT NOT NULL, "
            "PRIMARY KEY (tablename, block))")
            .arg(counts),
        QStringLiteral(R"(CREATE FUNCTION %1_count() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP <> 'INSERT' THEN
        UPDATE %1 SET rows = rows - 1 WHERE tablename = TG_TABLE_NAME AND block = OLD.id >> %2;
    END IF;
    IF TG_OP <> 'DELETE' THEN
        INSERT INTO %1 VALUES (TG_TABLE_NAME, NEW.id >> %2, 1)
            ON CONFLICT (tablename, block) DO UPDATE SET rows = %1.rows + 1;
    END IF;
    RETURN NULL;
END $$)")
            .arg(counts, bits)};
    for (const TableDef &t : Schema::tables()) {
        statements << QStringLiteral("INSERT INTO %1 SELECT '%2', id >> %3 AS b, COUNT(*) FROM %2 GROUP BY b")
                          .arg(counts, t.name, bits)
                   << QStringLiteral(
                          "CREATE TRIGGER %1_blocks AFTER INSERT OR DELETE ON %1 FOR EACH ROW EXECUTE "
                          "FUNCTION %2_count()")
                          .arg(t.name, counts)
                   << QStringLiteral(
                          "CREATE TRIGGER %1_blocks_renumber AFTER UPDATE OF id ON %1 FOR EACH ROW WHEN "
                          "(NEW.id <> OLD.id) EXECUTE FUNCTION %2_count()")
                          .arg(t.name, counts);
    }
    return statements;
}

QString addressOf(const char *row)
{
    return QStringLiteral(
               "quote_nullable(%1.idotkudaraion) || ',' || quote_nullable(%1.idotkudaulica) || ',' || "
               "quote_nullable(%1.dom) || ',' || quote_nullable(%1.kvartira)")
        .arg(QLatin1String(row));
}

QStringList thirdMigration()
{
    const QString sameAddress = QStringLiteral(
        "idotkudaraion IS NOT DISTINCT FROM OLD.idotkudaraion AND idotkudaulica IS NOT DISTINCT FROM "
        "OLD.idotkudaulica AND dom IS NOT DISTINCT FROM OLD.dom AND kvartira IS NOT DISTINCT FROM "
        "OLD.kvartira");
    const QString changedAddress = QStringLiteral(
        "OLD.telefon IS DISTINCT FROM NEW.telefon OR OLD.idotkudaraion IS DISTINCT FROM NEW.idotkudaraion OR "
        "OLD.idotkudaulica IS DISTINCT FROM NEW.idotkudaulica OR OLD.dom IS DISTINCT FROM NEW.dom OR "
        "OLD.kvartira IS DISTINCT FROM NEW.kvartira");
    return {
        translate(Schema::migration(3).at(0)), // the journal's index by telephone and address
        QStringLiteral(
            "CREATE TABLE gurnal_callers (telefon DOUBLE PRECISION NOT NULL, address TEXT NOT NULL, "
            "idotkudaraion BIGINT, idotkudaulica BIGINT, dom TEXT, kvartira DOUBLE PRECISION, "
            "lastid BIGINT NOT NULL, orders BIGINT NOT NULL, PRIMARY KEY (telefon, address))"),
        QStringLiteral("CREATE INDEX gurnal_callers_head ON gurnal_callers (substr(%1, 1, 3), lastid)")
            .arg(translate(Schema::telephoneDigits())),
        QStringLiteral(
            "INSERT INTO gurnal_callers SELECT telefon, %1, idotkudaraion, idotkudaulica, dom, "
            "kvartira, max(id), count(*) FROM gurnal WHERE telefon IS NOT NULL GROUP BY 1, 2, 3, 4, "
            "5, 6")
            .arg(addressOf("gurnal")),
        QStringLiteral(R"(CREATE FUNCTION gurnal_callers_count() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP <> 'INSERT' AND OLD.telefon IS NOT NULL THEN
        UPDATE gurnal_callers SET orders = orders - 1, lastid = CASE WHEN lastid = OLD.id THEN
            coalesce((SELECT max(id) FROM gurnal WHERE telefon = OLD.telefon AND %1), 0) ELSE lastid END
            WHERE telefon = OLD.telefon AND address = %2;
        DELETE FROM gurnal_callers WHERE telefon = OLD.telefon AND address = %2 AND orders <= 0;
    END IF;
    IF TG_OP <> 'DELETE' AND NEW.telefon IS NOT NULL THEN
        INSERT INTO gurnal_callers VALUES (NEW.telefon, %3, NEW.idotkudaraion, NEW.idotkudaulica, NEW.dom,
                                           NEW.kvartira, NEW.id, 1)
            ON CONFLICT (telefon, address) DO UPDATE SET orders = gurnal_callers.orders + 1,
                lastid = greatest(gurnal_callers.lastid, excluded.lastid);
    END IF;
    RETURN NULL;
END $$)")
            .arg(sameAddress, addressOf("OLD"), addressOf("NEW")),
        QStringLiteral("CREATE TRIGGER gurnal_callers_insert AFTER INSERT OR DELETE ON gurnal FOR EACH ROW "
                       "EXECUTE FUNCTION gurnal_callers_count()"),
        QStringLiteral("CREATE TRIGGER gurnal_callers_update AFTER UPDATE OF telefon, idotkudaraion, "
                       "idotkudaulica, dom, kvartira ON gurnal FOR EACH ROW WHEN (%1) EXECUTE FUNCTION "
                       "gurnal_callers_count()")
            .arg(changedAddress),
    };
}

} // namespace

QString translate(const QString &sql)
{
    static QMutex guard;
    static QHash<QString, QString> translated;
    const QMutexLocker lock(&guard);
    if (const auto it = translated.constFind(sql); it != translated.constEnd())
        return *it;
    const QString text = rewrite(sql);
    if (translated.size() < 4096)
        translated.insert(sql, text);
    return text;
}

QStringList migration(int version)
{
    switch (version) {
    case 1:
        return firstMigration();
    case 2:
        return secondMigration();
    case 3:
        return thirdMigration();
    default:
        return {};
    }
}

} // namespace ServerSql
