#include "platform/FilePaths.h"

#include <QDir>
#include <QFileInfo>

QString executableBaseName(const QString& executablePath)
{
    QString name = QFileInfo(executablePath).fileName();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

QString fileInDirectory(const QString& directory, const QString& relativePath)
{
    // QDir::filePath puts no separator after one that ends the directory (the root "/" or "\", "C:\"), so no
    // doubled separator is left for cleanPath to keep: on Windows a leading "\\" would name a network share.
    return QDir::toNativeSeparators(
        QDir::cleanPath(QDir(QDir::fromNativeSeparators(directory)).filePath(relativePath)));
}
