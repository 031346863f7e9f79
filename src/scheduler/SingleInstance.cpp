#include "scheduler/SingleInstance.h"

#include "scheduler/ApplicationInfo.h"

#include <QDir>
#include <QStandardPaths>
#include <QtDebug>

SingleInstance::SingleInstance(const QString& lockDirectory, const QString& baseName)
    : m_lockFile(QDir(lockDirectory).filePath(lockFileName(baseName)))
{
    // Staleness by age alone would let a second copy take the lock of a first that has simply run for a
    // while; a lock is stale only when the process named in it is gone.
    m_lockFile.setStaleLockTime(0);
    if (m_lockFile.tryLock(0)) {
        m_onlyInstance = true;
        return;
    }
    m_onlyInstance = m_lockFile.error() != QLockFile::LockFailedError;
    if (m_onlyInstance)
        qWarning("Cannot make the single-instance lock %ls; running without it", qUtf16Printable(lockFilePath()));
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
