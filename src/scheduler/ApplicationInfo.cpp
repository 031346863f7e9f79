#include "scheduler/ApplicationInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString RunningApplicationInfo::directory() const
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString RunningApplicationInfo::baseName() const
{
    return executableBaseName(QCoreApplication::applicationFilePath());
}

QString executableBaseName(const QString& executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

QString fileInDirectory(const QString& directory, const QString& relativePath)
{
    // cleanPath keeps a directory given with a trailing separator, or the root, from doubling it.
    return QDir::toNativeSeparators(
        QDir::cleanPath(QDir::fromNativeSeparators(directory) + QLatin1Char('/') + relativePath));
}
