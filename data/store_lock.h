#pragma once

#include <QLockFile>
#include <QString>

// One copy of the program per store. A second copy on the same working directory (a second
// dispatcher on a shared folder) would show views that never learn of the first copy's writes, and
// both could give one free driver an order. The lock is a file beside the store naming the copy
// that holds it; the lock of a copy that ended without removing it (killed, or the computer switched
// off) is recognised on the same computer by its process being gone, and taken over.
class StoreLock
{
public:
    // Throws DataError saying who holds the store, or why the lock cannot be taken.
    explicit StoreLock(const QString &storeFile);

    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;

    // `bd/vozy.lock` beside `bd/vozy.db`.
    static QString lockFile(const QString &storeFile);

private:
    QLockFile m_lock;
};
