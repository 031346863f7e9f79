#include "app/SingleInstance.h"

#include "app/LockFileHolder.h"
#include "platform/ApplicationInfo.h"
#include "platform/LineSafeText.h"
#include "platform/UserStateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QtDebug>

namespace {

QString notInUse(const QString& path, const QString& why)
{
    return QStringLiteral("The single-instance lock %1 is not in use: %2.").arg(QDir::toNativeSeparators(path), why);
}

} // namespace

SingleInstance::SingleInstance(const QString& firstChoice, const QString& fallback, const QString& baseName)
{
    QStringList unusable;
    // True once the lock is held, here or by another process; false to go on with the next folder.
    const auto lockIn = [&](const QString& directory, bool makeIt) {
        if (directory.isEmpty())
            return false;
        m_path = QDir(directory).filePath(lockFileName(baseName));
        QString why;
        if (makeIt ? !makePrivateFolder(directory, &why) : !(why = privateFolderProblem(directory)).isEmpty()) {
            unusable << notInUse(m_path, QStringLiteral("its folder cannot be used (%1)").arg(why));
            return false;
        }
        // The process id is there for administrators; whether the holder still runs is the system's lock alone.
        const LockFileHolder::Attempt attempt =
            LockFileHolder::lock(m_path, QByteArray::number(QCoreApplication::applicationPid()) + '\n');
        m_handle = attempt.handle;
        m_onlyInstance = attempt.outcome != LockFileHolder::Outcome::HeldElsewhere;
        if (attempt.outcome != LockFileHolder::Outcome::Unusable)
            return true;
        unusable << notInUse(m_path, attempt.reason);
        return false;
    };
    const bool locked = lockIn(firstChoice, false) || lockIn(fallback, true);
    // A second start ends silently, whatever it met on the way.
    if (unusable.isEmpty() || !m_onlyInstance)
        return;
    unusable << (locked
                     ? QStringLiteral("This scheduler holds the lock %1 instead.").arg(QDir::toNativeSeparators(m_path))
                     : QStringLiteral("A second scheduler started meanwhile would run beside this one."));
    m_problem = QString::fromStdString(lineSafeText(unusable.join(QLatin1Char(' ')).toStdString()));
    qWarning("%ls", qUtf16Printable(m_problem));
}

SingleInstance::~SingleInstance()
{
    LockFileHolder::release(m_handle);
}

QString SingleInstance::defaultLockDirectory()
{
    return userRuntimeFolder();
}

QString SingleInstance::lockFileName(const QString& baseName)
{
    return baseName + QLatin1String(".lock");
}

std::unique_ptr<SingleInstance> acquireSingleInstance(const ApplicationInfo& application)
{
    auto instance = std::make_unique<SingleInstance>(SingleInstance::defaultLockDirectory(),
                                                     application.stateDirectory(), application.baseName());
    if (!instance->isOnlyInstance())
        return nullptr;
    return instance;
}
