#include "scheduler/SingleInstance.h"

#include "platform/ApplicationInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtDebug>

SingleInstance::SingleInstance(const QString& lockDirectory, const QString& baseName)
    : m_lockFile(QDir(lockDirectory).filePath(lockFileName(baseName)))
{
    // Staleness by age alone would let a second copy take the lock of a first that has simply run for a
    // while; a lock is stale only when the process named in it is gone.
    m_lockFile.setStaleLockTime(0);

    // A folder, a FIFO, a link or a device in the lock's place is never a lock of ours, and reading a FIFO
    // would block the start for good: it is removed before QLockFile looks into it.
    const QFileInfo place(lockFilePath());
    if (place.isSymLink() || (place.exists() && !place.isFile())) {
        const bool removed = place.isDir() ? QDir().rmdir(lockFilePath()) : QFile::remove(lockFilePath());
        if (!removed) {
            runWithoutLock(QStringLiteral("something that is not a lock file is in its place and cannot be removed"));
            return;
        }
    }

    if (m_lockFile.tryLock(0)) {
        m_onlyInstance = true;
        return;
    }
    if (m_lockFile.error() != QLockFile::LockFailedError) {
        runWithoutLock(QStringLiteral("it cannot be made"));
        return;
    }
    // QLockFile has already taken over a lock that names a process that is gone; what names a running
    // process is a live holder. A lock that names no process at all is stale unless a live holder keeps it
    // locked (one that is writing it this very moment).
    qint64 pid = 0;
    QString host, application;
    if (m_lockFile.getLockInfo(&pid, &host, &application) || lockFileHasLiveHolder(lockFilePath()))
        return;
    m_onlyInstance = takeOver(QStringLiteral("damaged"));
}

bool SingleInstance::takeOver(const QString& what)
{
    if (QFile::remove(lockFilePath()) && m_lockFile.tryLock(0)) {
        qWarning("The single-instance lock %ls was %ls and held by no running process; it was taken over",
                 qUtf16Printable(QDir::toNativeSeparators(lockFilePath())), qUtf16Printable(what));
        return true;
    }
    runWithoutLock(QStringLiteral("it is %1 and cannot be removed").arg(what));
    return true;
}

void SingleInstance::runWithoutLock(const QString& why)
{
    m_onlyInstance = true;
    m_problem = QStringLiteral("The single-instance lock %1 is not in use: %2. A second scheduler started meanwhile "
                               "would run beside this one.")
                    .arg(QDir::toNativeSeparators(lockFilePath()), why);
    qWarning("%ls", qUtf16Printable(m_problem));
}

QString SingleInstance::defaultLockDirectory()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

QString SingleInstance::lockFileName(const QString& baseName)
{
    return baseName + QLatin1String(".lock");
}

std::unique_ptr<SingleInstance> Form_Initialize(const ApplicationInfo& application)
{
    auto instance = std::make_unique<SingleInstance>(SingleInstance::defaultLockDirectory(), application.baseName());
    if (!instance->isOnlyInstance())
        return nullptr;
    return instance;
}
