#include "bench/server_connection.h"
#include "bench/server_store.h"
#include "bench/sqlite_statement.h"
#include "bench/synthetic_store.h"
#include "tests/support/test_database.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Every table and schema object of an SQLite store as text, each table's rows in key order.
QString sqliteContents(const QString &file)
{
    SqliteConnection connection(file);
    QString text;
    SqliteStatement objects(connection.handle(),
                            "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name");
    QStringList tables;
    while (objects.step()) {
        for (int c = 0; c < 4; ++c)
            text += QString::fromUtf8(reinterpret_cast<const char *>(objects.text(c))) + '|';
        text += '\n';
        if (QByteArray(reinterpret_cast<const char *>(objects.text(0))) == "table")
            tables << QString::fromUtf8(reinterpret_cast<const char *>(objects.text(1)));
    }
    for (const QString &table : tables) {
        SqliteStatement rows(
            connection.handle(),
            QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1, 2").arg(table).toUtf8().constData());
        text += table + '\n';
        while (rows.step()) {
            for (int c = 0; c < rows.columns(); ++c)
                text += QString::fromUtf8(reinterpret_cast<const char *>(rows.text(c))) + '|';
            text += '\n';
        }
    }
    SqliteStatement version(connection.handle(), "PRAGMA user_version");
    version.step();
    return text + QString::number(version.integer(0));
}

// The same of a server's database: its tables' rows, the identities' sequences, the indexes and the
// triggers with whether they are on.
QString serverContents(const QString &connection)
{
    ServerConnection server(connection);
    QString text;
    const auto add = [&](const QString &sql) {
        for (const QStringList &row : server.exec(sql))
            text += row.join('|') + '\n';
    };
    add("SELECT indexdef FROM pg_indexes WHERE schemaname = 'public' ORDER BY indexname");
    add("SELECT tgrelid::regclass, tgname, tgenabled FROM pg_trigger WHERE NOT tgisinternal ORDER BY 1, 2");
    add("SELECT sequencename, last_value FROM pg_sequences ORDER BY 1");
    for (const QStringList &table :
         server.exec("SELECT tablename FROM pg_tables WHERE schemaname = 'public' ORDER BY 1")) {
        text += table.at(0) + '\n';
        add(QStringLiteral("SELECT * FROM %1 t ORDER BY t::text").arg(table.at(0)));
    }
    return text;
}

} // namespace

// The benchmark's stores, filled in bulk, are the stores the program's own writes would leave.
class TestSyntheticStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aBulkFillLeavesWhatRowByRowWritesLeave()
    {
        SKIP_ON_SERVER("the SQLite store's generation");
        QTemporaryDir dir;
        const SyntheticStore bulk = generateStore(dir.filePath("bulk.db"), 3000, Fill::Bulk);
        const SyntheticStore rows = generateStore(dir.filePath("rows.db"), 3000, Fill::RowByRow);
        const QString contents = sqliteContents(bulk.file);
        QVERIFY(contents.contains("gurnal_callers_insert"));
        QVERIFY(contents.contains("rowblocks"));
        QCOMPARE(contents, sqliteContents(rows.file));
    }

    void aBulkCopyToTheServerLeavesWhatRowByRowWritesLeave()
    {
        if (!TestDatabase::onServer())
            QSKIP("the server's half");
        QTemporaryDir dir;
        const SyntheticStore store = generateStore(dir.filePath("vozy.db"), 3000);
        const QString server = qEnvironmentVariable("VOZY_TEST_SERVER");
        const ServerStore bulk(server, store, Fill::Bulk);
        const ServerStore rows(server, store, Fill::RowByRow);
        const QString contents = serverContents(bulk.connection());
        QVERIFY(contents.contains("gurnal_callers_insert|O"));
        QCOMPARE(contents, serverContents(rows.connection()));
        QCOMPARE(serverContents(bulk.rawConnection()), contents);
    }
};

QTEST_GUILESS_MAIN(TestSyntheticStore)
#include "test_synthetic_store.moc"
