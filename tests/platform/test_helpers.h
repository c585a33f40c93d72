#pragma once

#include "data/data_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The message of the DataError that the call throws; a null string when it throws none.
template <typename Call> QString dataErrorOf(Call &&call)
{
    try {
        call();
    } catch (const DataError &error) {
        return error.message();
    }
    return {};
}

// Creates the missing parent directories as well.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

// Empty when the file cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
