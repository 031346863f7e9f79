#include "platform/ApplicationInfo.h"

#include "platform/FilePaths.h"
#include "platform/UserStateFolder.h"

#include <QCoreApplication>
#include <QDir>

QString RunningApplicationInfo::directory() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString RunningApplicationInfo::baseName() const
{
    return executableBaseName(QCoreApplication::applicationFilePath());
}

QString RunningApplicationInfo::stateDirectory() const
{
    return userStateFolder();
}
