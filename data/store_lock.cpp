#include "data/store_lock.h"

#include "data/data_error.h"

#include <QDir>
#include <QFileInfo>

StoreLock::StoreLock(const QString &storeFile)
    : m_lock(lockFile(storeFile))
{
    const QString shownStore = QDir::toNativeSeparators(storeFile);
    const QString shownLock = QDir::toNativeSeparators(m_lock.fileName());
    if (!QFileInfo(storeFile).isFile())
        throw DataError(QStringLiteral("Не найдена база данных: %1").arg(shownStore));
    // The program runs for a whole shift: its lock never goes stale by age.
    m_lock.setStaleLockTime(0);
    if (m_lock.tryLock(0))
        return;
    if (m_lock.error() != QLockFile::LockFailedError)
        throw DataError(QStringLiteral("Не удалось создать файл блокировки %1: нет права записи в каталог "
                                       "базы данных.")
                            .arg(shownLock));
    qint64 pid = 0;
    QString host;
    QString application;
    m_lock.getLockInfo(&pid, &host, &application);
    throw DataError(QStringLiteral("С базой данных %1 уже работает другая копия программы (компьютер «%2», "
                                   "процесс %3). Вторая копия не запускается: работайте в первой или "
                                   "закройте её. Если первая копия не запущена, удалите файл %4.")
                        .arg(shownStore, host, QString::number(pid), shownLock));
}

QString StoreLock::lockFile(const QString &storeFile)
{
    const QFileInfo store(storeFile);
    return store.dir().filePath(store.completeBaseName() + QStringLiteral(".lock"));
}
