#include "data/schema.h"

#include "data/data_error.h"

#include <QRegularExpression>

int TableDef::indexOf(const QString &field) const
{
    // The program names its fields as the schema spells them; the case-blind comparison is the rare
    // way round, and the costlier one.
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name == field)
            return i;
    }
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

namespace Schema {
namespace {

FieldDef id()
{
    return {QStringLiteral("Id"), FieldType::AutoInc, 0};
}
FieldDef integer(const char *name)
{
    return {QString::fromLatin1(name), FieldType::Integer, 0};
}
FieldDef number(const char *name)
{
    return {QString::fromLatin1(name), FieldType::Number, 0};
}
FieldDef text(const char *name, int width)
{
    return {QString::fromLatin1(name), FieldType::Text, width};
}
FieldDef date(const char *name)
{
    return {QString::fromLatin1(name), FieldType::Date, 0};
}
FieldDef time(const char *name)
{
    return {QString::fromLatin1(name), FieldType::Time, 0};
}
FieldDef logical(const char *name)
{
    return {QString::fromLatin1(name), FieldType::Logical, 0};
}
FieldDef blob(const char *name)
{
    return {QString::fromLatin1(name), FieldType::Blob, 0};
}

QVector<TableDef> makeTables()
{
    return {
        {QStringLiteral("taxisti"),
         {id(), integer("IdAuto"), integer("Idcvet"), integer("IdGorod"), integer("IdUlica"),
          number("Number"), text("Name", 15), text("Familiya", 15), text("Otchestvo", 15),
          text("NumberAuto", 10), number("Telephone"), number("Dom"), number("Kvartira"),
          number("NumberPasport"), number("SeriyaPasport"), text("KemVidan", 100), date("DataVidachi"),
          date("DenyRogdeniya")}},
        {QStringLiteral("auto"), {id(), text("Name", 20)}},
        {QStringLiteral("color"), {id(), text("Color", 15)}},
        {QStringLiteral("gorod"), {id(), text("Gorod", 20)}},
        {QStringLiteral("raion"), {id(), integer("IdGorod"), text("Raion", 20)}},
        {QStringLiteral("ulica"), {id(), integer("IdRion"), text("Ulica", 20)}},
        {QStringLiteral("sotrud"),
         {id(), integer("Idulica"), number("Number"), text("Name", 15), text("Family", 15),
          text("Otchestvo", 15), number("Telephone"), number("Dom"), number("Kvartira"),
          number("NumberPasport"), number("SeriyaPasport"), text("KemVidan", 100), date("DataVidachi"),
          date("Denyrogedniya"), integer("IdGorod")}},
        // The encoded password may hold any byte, zero included, and is kept whole whatever its length.
        {QStringLiteral("pwl"), {id(), integer("IdOperator"), blob("Pwl"), logical("G"), text("Login", 15)}},
        {QStringLiteral("grafic"),
         {id(), integer("IdTaxist"), time("Timestart"), time("Timeend"), logical("Sost")}},
        {QStringLiteral("vozyraion"), {id(), integer("Vozy"), integer("Raion"), logical("Status")}},
        {QStringLiteral("gurnal"),
         {id(), integer("IdOperator"), integer("IdVozy"), integer("IdOtkudaRaion"), integer("IdOtkudaUlica"),
          integer("IdKudaRaion"), time("Ttime"), text("Dom", 5), number("Kvartira"), number("Telefon"),
          integer("Km"), text("Iinfo", 20), date("DDate"), logical("Status")}},
        {QStringLiteral("rastoyan"), {id(), integer("IdRaion1"), integer("IdRaion2"), number("KM")}},
    };
}

QString columnSql(const FieldDef &f)
{
    const QString quoted = QLatin1Char('"') + f.name + QLatin1Char('"');
    switch (f.type) {
    case FieldType::AutoInc:
        return quoted + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Integer:
    case FieldType::Logical:
        return quoted + QStringLiteral(" INTEGER");
    case FieldType::Number:
        return quoted + QStringLiteral(" REAL");
    case FieldType::Text:
    case FieldType::Date:
    case FieldType::Time:
        return quoted + QStringLiteral(" TEXT");
    case FieldType::Blob:
        return quoted + QStringLiteral(" BLOB");
    }
    return quoted;
}

QStringList firstMigration()
{
    QStringList statements;
    for (const TableDef &t : tables()) {
        QStringList columns;
        for (const FieldDef &f : t.fields)
            columns << columnSql(f);
        statements
            << QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(t.name, columns.join(QStringLiteral(", ")));
    }
    // The report reads the journal by driver; the name is the one the program uses for it.
    statements
        << QStringLiteral("CREATE INDEX \"SecIdVozy\" ON \"gurnal\" (\"IdVozy\")")
        // Current orders and the orders of a date are views of the journal.
        << QStringLiteral("CREATE INDEX \"gurnal_Status\" ON \"gurnal\" (\"Status\")")
        << QStringLiteral("CREATE INDEX \"gurnal_DDate\" ON \"gurnal\" (\"DDate\")")
        // The report counts each driver's orders of one date.
        << QStringLiteral("CREATE INDEX \"gurnal_IdVozy_DDate\" ON \"gurnal\" (\"IdVozy\", \"DDate\")")
        << QStringLiteral("CREATE INDEX \"gurnal_IdOperator\" ON \"gurnal\" (\"IdOperator\")")
        // Queue lookups by driver and the district view.
        << QStringLiteral("CREATE INDEX \"vozyraion_Vozy\" ON \"vozyraion\" (\"Vozy\")")
        << QStringLiteral("CREATE INDEX \"vozyraion_Raion_Status\" ON \"vozyraion\" (\"Raion\", \"Status\")")
        << QStringLiteral("CREATE INDEX \"grafic_IdTaxist\" ON \"grafic\" (\"IdTaxist\")")
        << QStringLiteral("CREATE INDEX \"ulica_IdRion\" ON \"ulica\" (\"IdRion\")")
        << QStringLiteral("CREATE INDEX \"pwl_IdOperator\" ON \"pwl\" (\"IdOperator\")")
        << QStringLiteral("CREATE INDEX \"rastoyan_Pair\" ON \"rastoyan\" (\"IdRaion1\", \"IdRaion2\")");
    return statements;
}

// The block counts of every table, filled from the rows already stored and kept up by triggers.
// The delete trigger also keeps SQLite from emptying a table without reporting each row.
QStringList secondMigration()
{
    QStringList statements{
        // The orders of a date, counted per driver from the index alone (the report); it serves the
        // date's lookups as well as the index it replaces.
        QStringLiteral("DROP INDEX \"gurnal_DDate\""),
        QStringLiteral("CREATE INDEX \"gurnal_DDate_IdVozy\" ON \"gurnal\" (\"DDate\", \"IdVozy\")"),
        QStringLiteral("CREATE TABLE \"%1\" (\"TableName\" TEXT NOT NULL, \"Block\" INTEGER NOT NULL, "
                       "\"Rows\" INTEGER NOT NULL, PRIMARY KEY (\"TableName\", \"Block\")) WITHOUT ROWID")
            .arg(QLatin1String(BlockCounts))};
    const QString counts = QLatin1String(BlockCounts);
    const QString bits = QString::number(IdBlockBits);
    for (const TableDef &t : tables()) {
        const QString add =
            QStringLiteral("INSERT INTO \"%1\" VALUES ('%2', NEW.\"Id\" >> %3, 1) ON CONFLICT "
                           "(\"TableName\", \"Block\") DO UPDATE SET \"Rows\" = \"Rows\" + 1;")
                .arg(counts, t.name, bits);
        const QString remove =
            QStringLiteral("UPDATE \"%1\" SET \"Rows\" = \"Rows\" - 1 WHERE \"TableName\" = "
                           "'%2' AND \"Block\" = OLD.\"Id\" >> %3;")
                .arg(counts, t.name, bits);
        statements
            << QStringLiteral("INSERT INTO \"%1\" SELECT '%2', \"Id\" >> %3 AS b, COUNT(*) FROM \"%2\" "
                              "GROUP BY b")
                   .arg(counts, t.name, bits)
            << QStringLiteral("CREATE TRIGGER \"%1_blocks_insert\" AFTER INSERT ON \"%1\" BEGIN %2 END")
                   .arg(t.name, add)
            << QStringLiteral("CREATE TRIGGER \"%1_blocks_delete\" AFTER DELETE ON \"%1\" BEGIN %2 END")
                   .arg(t.name, remove)
            << QStringLiteral("CREATE TRIGGER \"%1_blocks_renumber\" AFTER UPDATE OF \"Id\" ON \"%1\" "
                              "WHEN NEW.\"Id\" <> OLD.\"Id\" BEGIN %2 %3 END")
                   .arg(t.name, remove, add);
    }
    return statements;
}

// The pick-up address of a journal row `row` (NEW, OLD or gurnal) as one text: its four fields quoted,
// so that empty ones are told apart and kept.
QString addressOf(const char *row)
{
    return QStringLiteral(
               "quote(%1.IdOtkudaRaion) || ',' || quote(%1.IdOtkudaUlica) || ',' || quote(%1.Dom) || "
               "',' || quote(%1.Kvartira)")
        .arg(QLatin1String(row));
}

// The journal row `row` counted in its number's address: a new one, or one order more.
QString countIn(const char *row)
{
    return QStringLiteral(
               "INSERT INTO gurnal_callers SELECT %1.Telefon, %2, %1.IdOtkudaRaion, %1.IdOtkudaUlica, "
               "%1.Dom, %1.Kvartira, %1.Id, 1 WHERE %1.Telefon IS NOT NULL "
               "ON CONFLICT (Telefon, Address) DO UPDATE SET Orders = Orders + 1, "
               "LastId = max(LastId, excluded.LastId);")
        .arg(QLatin1String(row), addressOf(row));
}

// The journal row `row` taken out of its number's address: one order less, the last one found again
// when it was this one, and the address gone with its last order.
QString uncountIn(const char *row)
{
    return QStringLiteral(
               "UPDATE gurnal_callers SET Orders = Orders - 1, LastId = CASE WHEN LastId = %1.Id THEN "
               "coalesce((SELECT max(Id) FROM gurnal WHERE Telefon = %1.Telefon AND IdOtkudaRaion IS "
               "%1.IdOtkudaRaion AND IdOtkudaUlica IS %1.IdOtkudaUlica AND Dom IS %1.Dom AND Kvartira IS "
               "%1.Kvartira), 0) ELSE LastId END WHERE Telefon = %1.Telefon AND Address = %2; "
               "DELETE FROM gurnal_callers WHERE Telefon = %1.Telefon AND Address = %2 AND Orders <= 0;")
        .arg(QLatin1String(row), addressOf(row));
}

// Repeat callers: the addresses earlier orders from a number were picked up at, each with its count
// of orders and its last one, kept by the journal's own writes. Counting a regular caller's orders
// afresh at every look-up would grow with the years; kept, it costs a row per stored order. The
// table has no row ids, so its writes are not reported as rows changed to the program's datasets.
QStringList thirdMigration()
{
    const QString changedAddress =
        QStringLiteral("OLD.Telefon IS NOT NEW.Telefon OR OLD.IdOtkudaRaion IS NOT NEW.IdOtkudaRaion OR "
                       "OLD.IdOtkudaUlica IS "
                       "NOT NEW.IdOtkudaUlica OR OLD.Dom IS NOT NEW.Dom OR OLD.Kvartira IS NOT NEW.Kvartira");
    return {
        // An address's last order is found again through it when that order goes.
        QStringLiteral("CREATE INDEX \"gurnal_Telefon\" ON \"gurnal\" "
                       "(\"Telefon\", \"IdOtkudaRaion\", \"IdOtkudaUlica\", \"Dom\", \"Kvartira\")"),
        QStringLiteral("CREATE TABLE gurnal_callers (Telefon REAL NOT NULL, Address TEXT NOT NULL, "
                       "IdOtkudaRaion INTEGER, IdOtkudaUlica INTEGER, Dom TEXT, Kvartira REAL, "
                       "LastId INTEGER NOT NULL, Orders INTEGER NOT NULL, PRIMARY KEY (Telefon, Address)) "
                       "WITHOUT ROWID"),
        // The addresses of numbers with the same first three digits, the latest first.
        QStringLiteral("CREATE INDEX gurnal_callers_Head ON gurnal_callers (substr(%1, 1, 3), LastId)")
            .arg(telephoneDigits()),
        QStringLiteral("INSERT INTO gurnal_callers SELECT Telefon, %1, IdOtkudaRaion, IdOtkudaUlica, Dom, "
                       "Kvartira, max(Id), count(*) FROM gurnal WHERE Telefon IS NOT NULL GROUP BY 1, 2")
            .arg(addressOf("gurnal")),
        QStringLiteral("CREATE TRIGGER gurnal_callers_insert AFTER INSERT ON gurnal BEGIN %1 END")
            .arg(countIn("NEW")),
        QStringLiteral("CREATE TRIGGER gurnal_callers_delete AFTER DELETE ON gurnal BEGIN %1 END")
            .arg(uncountIn("OLD")),
        QStringLiteral("CREATE TRIGGER gurnal_callers_update AFTER UPDATE OF Telefon, IdOtkudaRaion, "
                       "IdOtkudaUlica, Dom, Kvartira ON gurnal WHEN %1 BEGIN %2 %3 END")
            .arg(changedAddress, uncountIn("OLD"), countIn("NEW")),
    };
}

} // namespace

const char *const BlockCounts = "rowblocks";

QString telephoneDigits()
{
    return QStringLiteral("CAST(CAST(\"Telefon\" AS INTEGER) AS TEXT)");
}

const QVector<TableDef> &tables()
{
    static const QVector<TableDef> all = makeTables();
    return all;
}

const TableDef &table(const QString &path)
{
    QString name = path.trimmed();
    name = name.mid(qMax(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/'))) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    for (const TableDef &t : tables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    throw DataError(QStringLiteral("Таблица не найдена: %1").arg(path));
}

int latestVersion()
{
    return 3;
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

} // namespace Schema
