#include "data/data_error.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/store_lock.h"
#include "tests/support/store_fault.h"
#include "tests/support/test_database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray garbage(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// The bytes of a real store holding a few cities, closed, so that the file holds everything.
QByteArray storeBytes()
{
    QTemporaryDir dir;
    const QString file = Database::storeFile(dir.path());
    {
        const auto db = Database::create(file);
        for (const char *city : {"Москва", "Тула", "Орёл"}) {
            QSqlQuery insert = db->prepare(QStringLiteral("INSERT INTO gorod (Gorod) VALUES (?)"));
            insert.addBindValue(QString::fromUtf8(city));
            Database::exec(insert);
        }
    }
    return readAll(file);
}

// A database of some other program: the old journal, no schema version.
QByteArray foreignDatabase()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("other.db"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(file);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE notes (text TEXT)"));
        QSqlQuery(db).exec(QStringLiteral("INSERT INTO notes VALUES ('x')"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    return readAll(file);
}

QString probe()
{
    return QStringLiteral(STORE_PROBE);
}

} // namespace

// What the store does when its file, its disk or another process is against it: a clear message,
// and nothing changed that the failing operation touched.
class TestStoreFaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDatabase> m_store;
    std::unique_ptr<Dataset> m_cities;

    Dataset &cities() { return *m_cities; }

    QStringList cityNames()
    {
        QSqlQuery query = m_store->db().prepare(QStringLiteral("SELECT Gorod FROM gorod ORDER BY Id"));
        Database::exec(query);
        QStringList names;
        while (query.next())
            names << query.value(0).toString();
        return names;
    }

private Q_SLOTS:
    void init()
    {
        m_store = std::make_unique<TestDatabase>();
        for (const char *city : {"Москва", "Тула"})
            m_store->insert(QStringLiteral("gorod"), {{QStringLiteral("Gorod"), QString::fromUtf8(city)}});
        m_cities = std::make_unique<Dataset>(m_store->db(), QStringLiteral("bd\\gorod.db"));
    }

    void cleanup()
    {
        m_cities.reset();
        m_store.reset();
    }

    void aDamagedFileIsLeftAsItWas_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        const QByteArray store = storeBytes();
        QTest::newRow("garbage") << garbage(16384, 1) << "повреждён";
        QTest::newRow("a store, garbage after its header")
            << store.left(100) + garbage(store.size() - 100, 2) << "повреждён";
        QTest::newRow("a store cut in half") << store.left(store.size() / 2) << "повреждён";
        QTest::newRow("an empty file") << QByteArray() << "не является базой данных программы";
        QTest::newRow("another program's database")
            << foreignDatabase() << "не является базой данных программы";
        QTest::newRow("text") << QByteArray("[Options]\nST=16\n") << "повреждён";
    }

    void aDamagedFileIsLeftAsItWas()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString file = Database::storeFile(dir.path());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(writeAll(file, bytes));
        try {
            Database::open(file);
            QFAIL("a damaged store must not open");
        } catch (const DataError &e) {
            QVERIFY2(e.message().contains(said), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(file)), qPrintable(e.message()));
        }
        QCOMPARE(readAll(file), bytes);
        QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files), QStringList{"vozy.db"});
    }

    // Run by another user when the tests run as root, who may write any file.
    void aReadOnlyFileIsNotOpened()
    {
        QTemporaryDir dir;
        const QString file = Database::storeFile(dir.path());
        Database::create(file);
        const QByteArray before = readAll(file);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup;
        QVERIFY(QFile::setPermissions(dir.path(), everyone | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(QFileInfo(file).path(), everyone | QFile::WriteOther));

        QProcess process;
        process.start(probe(), {QStringLiteral("--as-nobody"), QStringLiteral("open"), file});
        QVERIFY(process.waitForFinished(10000));
        const QString said = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(said.contains(QStringLiteral("доступен только для чтения")), qPrintable(said));
        QCOMPARE(readAll(file), before);
        QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files), QStringList{"vozy.db"});
    }

    void aFailedSaveKeepsTheRowPendingUntilItCanBeStored_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("operation");
        for (const char *operation : {"insert", "edit", "delete"}) {
            QTest::addRow("locked, %s", operation) << "locked" << operation;
            QTest::addRow("read-only, %s", operation) << "read-only" << operation;
        }
        // A deletion or a change in place needs no new room.
        QTest::newRow("disk full, insert") << "disk full"
                                           << "insert";
    }

    void aFailedSaveKeepsTheRowPendingUntilItCanBeStored()
    {
        QFETCH(QString, fault);
        QFETCH(QString, operation);
        const QString name(20, u'Ж');
        const std::function<void()> step = [&] {
            if (operation == QLatin1String("delete"))
                cities().deleteRecord();
            else
                cities().post();
        };
        StoreFault injected(*m_store, StoreFault::kindNamed(fault), QStringLiteral("gorod"),
                            {{QStringLiteral("Gorod"), name}});
        const QStringList before = cityNames();
        if (operation == QLatin1String("insert"))
            cities().append();
        else if (operation == QLatin1String("edit"))
            cities().edit();
        if (operation != QLatin1String("delete"))
            cities().setText(QStringLiteral("Gorod"), name);
        const Dataset::State pending = cities().state();

        try {
            step();
            QFAIL("the store must refuse");
        } catch (const DataError &e) {
            QVERIFY2(e.message().contains(StoreFault::said(StoreFault::kindNamed(fault))),
                     qPrintable(e.message()));
        }
        QCOMPARE(cities().state(), pending);
        QCOMPARE(cityNames(), before);

        injected.lift();
        step();
        QCOMPARE(cities().state(), Dataset::State::Browse);
        QStringList after = before;
        if (operation == QLatin1String("insert"))
            after << name;
        else if (operation == QLatin1String("edit"))
            after[0] = name;
        else
            after.removeFirst();
        QCOMPARE(cityNames(), after);
    }

    void aSecondCopyIsRefusedWhileTheFirstHoldsTheStore()
    {
        const QString file = m_store->db().file();
        auto first = std::make_unique<StoreLock>(file);
        try {
            StoreLock second(file);
            QFAIL("a second copy must be refused");
        } catch (const DataError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("уже работает другая копия программы")),
                     qPrintable(e.message()));
            QVERIFY2(e.message().contains(QString::number(QCoreApplication::applicationPid())),
                     qPrintable(e.message()));
        }
        first.reset();
        StoreLock again(file); // the first copy has ended
    }

    // The other copy is another process; killed, it cannot remove its lock, and the next copy takes
    // it over.
    void aKilledCopyLeavesNoLockBehind()
    {
        QProcess other;
        other.start(probe(), {QStringLiteral("lock"), m_store->dir()});
        QVERIFY(other.waitForReadyRead(10000));
        QCOMPARE(other.readAllStandardOutput().trimmed(), QByteArray("locked"));
        QVERIFY_THROWS_EXCEPTION(DataError, StoreLock(m_store->db().file()));

        ::kill(pid_t(other.processId()), SIGKILL);
        QVERIFY(other.waitForFinished(10000));
        QVERIFY(QFile::exists(StoreLock::lockFile(m_store->db().file())));
        StoreLock mine(m_store->db().file());

        QProcess late;
        late.start(probe(), {QStringLiteral("lock"), m_store->dir()});
        QVERIFY(late.waitForFinished(10000));
        QCOMPARE(late.exitCode(), 1);
        QVERIFY(QString::fromUtf8(late.readAllStandardOutput()).contains(QStringLiteral("уже работает")));
    }
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "test_store_faults.moc"
