#pragma once

#include <QString>
#include <QVector>

#include <optional>

// One measured figure of the benchmark: an operation on one store at one size, with its target.
struct Figure
{
    QString store; // "sqlite" or "postgres"
    QString name;
    qint64 orders = 0;
    double median = 0; // ms; MB for rss
    std::optional<double> raw;
    QString via;
    double limit = 0;         // the target: median (or ratio, when `relative`) at most this
    bool relative = false;    // the target is a ratio to the store doing the same work itself
    bool informative = false; // no target

    std::optional<double> ratio() const
    {
        return raw && *raw > 0 ? std::optional(median / *raw) : std::nullopt;
    }
    bool met() const { return informative || (relative ? ratio() && *ratio() <= limit : median <= limit); }
    QString target() const
    {
        if (informative)
            return QStringLiteral("—");
        if (relative)
            return QStringLiteral("≤ %1 × raw").arg(limit);
        return QStringLiteral("≤ %1 %2").arg(limit).arg(name == QLatin1String("rss") ? "MB" : "ms");
    }
};

// A line of the benchmark's output, written at once.
void print(const QString &text);
// The figures of one store at one size as a table, with their targets.
void printTable(const QVector<Figure> &figures);
// The program on the server beside the program on the SQLite file, operation by operation.
void printServerBesideFile(const QVector<Figure> &server, const QVector<Figure> &file);
// From the smallest to the largest size no figure but memory may grow more than twofold.
void printGrowth(const QVector<Figure> &figures, qint64 smallest, qint64 largest);
// One JSON object per figure. Throws std::runtime_error when the file cannot be written.
void writeJson(const QString &file, const QVector<Figure> &figures);
