#include "bench/figures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <stdexcept>

void print(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void printTable(const QVector<Figure> &figures)
{
    if (!figures.isEmpty())
        print(
            QStringLiteral("\n%1, %2 orders:")
                .arg(figures.first().store == QLatin1String("postgres") ? "PostgreSQL server" : "SQLite file")
                .arg(figures.first().orders));
    print(QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
              .arg("operation", -17)
              .arg("orders", 9)
              .arg("median", 9)
              .arg("raw", 8)
              .arg("ratio", 6)
              .arg("target", -12)
              .arg("met", -4)
              .arg("measured through"));
    for (const Figure &f : figures) {
        const bool mb = f.name == QLatin1String("rss");
        print(QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
                  .arg(f.name, -17)
                  .arg(f.orders, 9)
                  .arg(QString::number(f.median, 'f', mb ? 0 : 3) + (mb ? " MB" : " ms"), 9)
                  .arg(f.raw ? QString::number(*f.raw, 'f', 3) : QStringLiteral("—"), 8)
                  .arg(f.ratio() ? QString::number(*f.ratio(), 'f', 2) : QStringLiteral("—"), 6)
                  .arg(f.target(), -12)
                  .arg(f.informative ? "—"
                       : f.met()     ? "yes"
                                     : "NO",
                       -4)
                  .arg(f.via));
    }
}

void printServerBesideFile(const QVector<Figure> &server, const QVector<Figure> &file)
{
    print(QStringLiteral("\nthe program on the server / the program on the SQLite file:"));
    print(QStringLiteral("%1 %2 %3 %4 %5")
              .arg("operation", -17)
              .arg("orders", 9)
              .arg("server", 10)
              .arg("SQLite", 10)
              .arg("ratio", 6));
    for (const Figure &s : server) {
        for (const Figure &f : file) {
            if (f.name != s.name || f.orders != s.orders)
                continue;
            const QString unit =
                s.name == QLatin1String("rss") ? QStringLiteral(" MB") : QStringLiteral(" ms");
            const int digits = s.name == QLatin1String("rss") ? 0 : 3;
            print(QStringLiteral("%1 %2 %3 %4 %5")
                      .arg(s.name, -17)
                      .arg(s.orders, 9)
                      .arg(QString::number(s.median, 'f', digits) + unit, 10)
                      .arg(QString::number(f.median, 'f', digits) + unit, 10)
                      .arg(f.median > 0 ? QString::number(s.median / f.median, 'f', 2) : QStringLiteral("—"),
                           6));
        }
    }
}

void printGrowth(const QVector<Figure> &figures, qint64 smallest, qint64 largest)
{
    print(QStringLiteral("\ngrowth from %1 to %2 orders (target ≤ 2 ×, memory excepted):")
              .arg(smallest)
              .arg(largest));
    for (const Figure &small : figures) {
        if (small.orders != smallest || small.name == QLatin1String("rss"))
            continue;
        for (const Figure &large : figures) {
            if (large.orders == largest && large.name == small.name && large.store == small.store)
                print(QStringLiteral("  %1 %2 %3 ×  %4")
                          .arg(small.store, -8)
                          .arg(small.name, -17)
                          .arg(large.median / small.median, 5, 'f', 2)
                          .arg(large.median <= 2 * small.median ? "yes" : "NO"));
        }
    }
}

void writeJson(const QString &file, const QVector<Figure> &figures)
{
    QJsonArray all;
    for (const Figure &f : figures) {
        all.append(QJsonObject{{"store", f.store},
                               {"name", f.name},
                               {"orders", f.orders},
                               {"median_ms", f.median},
                               {"raw_ms", f.raw ? QJsonValue(*f.raw) : QJsonValue()},
                               {"ratio", f.ratio() ? QJsonValue(*f.ratio()) : QJsonValue()}});
    }
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(all).toJson()) < 0)
        throw std::runtime_error(("cannot write " + file).toStdString());
}
