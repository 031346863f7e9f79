#include "app/SingleInstance.h"

#include "app/LockFileHolder.h"
#include "platform/ApplicationInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QtDebug>

SingleInstance::SingleInstance(const QString& lockDirectory, const QString& baseName)
    : m_path(QDir(lockDirectory).filePath(lockFileName(baseName)))
{
    // The process id is there for administrators; whether the holder still runs is the system's lock alone.
    const LockFileHolder::Attempt attempt =
        LockFileHolder::lock(m_path, QByteArray::number(QCoreApplication::applicationPid()) + '\n');
    m_handle = attempt.handle;
    m_onlyInstance = attempt.outcome != LockFileHolder::Outcome::HeldElsewhere;
    if (attempt.outcome != LockFileHolder::Outcome::Unusable)
        return;
    m_problem = QStringLiteral("The single-instance lock %1 is not in use: %2. A second scheduler started meanwhile "
                               "would run beside this one.")
                    .arg(QDir::toNativeSeparators(m_path), attempt.reason);
    qWarning("%ls", qUtf16Printable(m_problem));
}

SingleInstance::~SingleInstance()
{
    LockFileHolder::release(m_handle);
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

std::unique_ptr<SingleInstance> acquireSingleInstance(const ApplicationInfo& application)
{
    auto instance = std::make_unique<SingleInstance>(SingleInstance::defaultLockDirectory(), application.baseName());
    if (!instance->isOnlyInstance())
        return nullptr;
    return instance;
}
