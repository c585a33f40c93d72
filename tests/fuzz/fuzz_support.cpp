#include "tests/fuzz/fuzz_support.h"

#include "data/clock.h"
#include "data/database.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace Fuzz {

void environment()
{
    static bool ready = false;
    if (ready)
        return;
    ready = true;
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv); // lives as long as the process
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
}

Database &store()
{
    static QTemporaryDir dir;
    static const std::unique_ptr<Database> db = [] {
        auto created = Database::create(Database::storeFile(dir.path()));
        created->execute(QStringLiteral("PRAGMA synchronous = OFF"));
        return created;
    }();
    return *db;
}

QString text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

void fail(const char *promise, const QString &detail)
{
    std::fprintf(stderr, "Broken promise: %s\n  %s\n", promise, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

void requireOnlyNamesAndPlaceholders(const QString &sql, const TableDef &table, qsizetype values,
                                     const QString &input)
{
    static const QStringList keywords = {
        QStringLiteral("AND"),  QStringLiteral("OR"),  QStringLiteral("NOT"),    QStringLiteral("IS"),
        QStringLiteral("NULL"), QStringLiteral("SET"), QStringLiteral("UPDATE"), QStringLiteral("WHERE")};
    static const QString signs = QStringLiteral("()=<>,");
    const QString detail = QStringLiteral("input «%1», SQL «%2»").arg(input, sql);
    qsizetype placeholders = 0;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        if (c == u' ' || signs.contains(c)) {
            ++i;
        } else if (c == u'?') {
            ++placeholders;
            ++i;
        } else if (c == u'"') {
            const qsizetype close = sql.indexOf(u'"', i + 1);
            FUZZ_REQUIRE(close > i, detail);
            const QString name = sql.mid(i + 1, close - i - 1);
            FUZZ_REQUIRE(name == table.name ||
                             (table.indexOf(name) >= 0 && table.field(table.indexOf(name)).name == name),
                         detail);
            i = close + 1;
        } else {
            qsizetype end = i;
            while (end < sql.size() && sql.at(end).isLetter())
                ++end;
            FUZZ_REQUIRE(keywords.contains(sql.mid(i, end - i)), detail);
            i = end;
        }
    }
    FUZZ_REQUIRE(placeholders == values, detail);
}

} // namespace Fuzz
